#pragma once
// The DTMF auto-dialer: ten memories of up to 16 characters and five timing
// lists, the rules for typing into a memory, and the radio's DTMF region
// (three blocks) with its codec.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/listeners.h"
#include "engine/plan.h"

namespace tqm5 {

enum DtmfList : int { DtmfWait, DtmfHead, DtmfBurst, DtmfPause, DtmfDialCh, DtmfLists };

struct DtmfListInfo {
    const char* control;  // object name
    const char* caption;
    std::vector<std::string> entries;
    int reset;  // start-up and reset position
};
const DtmfListInfo& dtmfList(int list);

struct DtmfSettings {
    static constexpr int Memories = 10;
    static constexpr int MemoryChars = 16;
    std::array<std::string, Memories> memories;
    // List positions. -1: the radio holds a value no entry stands for; it
    // is kept in `raw` and written back unchanged.
    std::array<int, DtmfLists> lists{1, 5, 5, 2, 0};
    std::array<uint8_t, DtmfLists> raw{};

    Listeners<> changed;  // memories or lists changed
};

// Empties the memories and puts the lists at their reset positions.
void resetDtmf(DtmfSettings& dtmf);

bool isDtmfCharacter(char32_t ch);
// What typing a key into a memory box does.
enum class DtmfKey { Accept, Refuse, ClearThenAccept };
DtmfKey dtmfKey(const std::string& text, char32_t key);
// Leaving a memory box: only DTMF characters, in order, at most 16.
std::string cleanDtmf(const std::string& text);

// The region's three blocks.
constexpr int DtmfBlocks = 3;
uint32_t dtmfBlockAddress(int block);
int dtmfBlockLength(int block);
// The bytes of one block as a write sends them.
std::vector<uint8_t> encodeDtmfBlock(int block, const DtmfSettings& dtmf);
// Takes one block (the 64 bytes a read returns) into `into`.
void decodeDtmfBlock(int block, const std::vector<uint8_t>& data, DtmfSettings& into);
// The lists holding a value no entry stands for, one line each.
std::vector<std::string> dtmfNotes(const DtmfSettings& dtmf);
// Copies memories and lists (not the listeners).
void copyDtmfValues(DtmfSettings& to, const DtmfSettings& from);
// Copies them and tells the listeners.
void applyDtmf(DtmfSettings& to, const DtmfSettings& from);

// The memories and lists an image holds (the listeners told).
void takeDtmf(const RadioImage& image, DtmfSettings& dtmf);
// The three DTMF blocks as plan blocks (three attempts each), for the
// settings transfers and the DTMF frame's own buttons. A read's bytes go
// into the plan's image, which the plan takes once everything arrived.
void appendDtmfReads(engine::Plan& plan, const std::array<engine::Progress, 3>& before);
void appendDtmfWrites(engine::Plan& plan, const DtmfSettings& dtmf, const std::array<engine::Progress, 3>& before);
// Attempts each step of a feature transfer has.
constexpr int StepAttempts = 3;

constexpr int BusyDtmfRead = 11;
constexpr int BusyDtmfWrite = 12;
// The DTMF frame's "Read" and "Write": the three blocks alone.
engine::Plan dtmfReadPlan(DtmfSettings& dtmf);
engine::Plan dtmfWritePlan(DtmfSettings& dtmf);

}  // namespace tqm5
