#pragma once
// Bank-link groups: which of the 50 banks each of the 11 groups links, the
// group window's grid layout, the two group areas of the radio and their
// transfers.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/listeners.h"
#include "engine/plan.h"
#include "features/bank_layout.h"
#include "protocol/serial_link.h"

namespace tqm5 {

constexpr int GroupCount = 11;
constexpr int GroupTimeoutMs = 200;  // the group window's response timer

using GroupFlags = std::array<std::array<bool, BankLayout::Banks>, GroupCount>;

struct GroupTable {
    GroupFlags member{};
    // Banks that hold no channel in the layout the window opened with. They
    // cannot be ticked; their flags are kept as they are, so a read followed
    // by a write gives the radio back exactly what it held.
    std::array<bool, BankLayout::Banks> unavailable{};
    Listeners<> changed;

    bool isMember(int group, int bank) const;
    // Flips one flag; nothing for an unavailable bank or a cell outside the
    // table. True when it changed.
    bool toggle(int group, int bank);
    void clear();
    void markAvailability(const BankLayout& layout);
    void assign(const GroupFlags& flags);
};

std::string groupName(int group);  // "0Group" .. "9Group", "GroupB"

// --- the window's grid: 12 rows by 55 columns ---------------------------------
// Row 0 holds the bank numbers, rows 1-11 groups 0-10; column 0 the names,
// bank b in column b + 1 + b div 10, columns 11, 22, 33, 44 separators.
constexpr int GroupGridRows = 12;
constexpr int GroupGridCols = 55;
constexpr int groupGridColumn(int bank) { return bank + 1 + bank / 10; }
// The bank of a grid column, or -1 for the names, a separator or outside.
int bankOfGroupColumn(int col);
// The group of a grid row, or -1 for the heading row or outside.
int groupOfGroupRow(int row);
bool isGroupSeparator(int col);

// --- the radio's group areas ------------------------------------------------------
// Area 0 holds groups 0-5 (48 bytes at 0x00100), area 1 groups 6-10 (40
// bytes at 0x00130), eight bytes per group: bit 7 - j of byte k is bank
// 8k + j, bits 7 and 6 of byte 6 banks 48 and 49, byte 7 unused.
constexpr int GroupAreas = 2;
uint32_t groupAreaAddress(int area);
int groupAreaBytes(int area);
std::vector<uint8_t> encodeGroupArea(const GroupFlags& flags, int area);
// Reads the area's groups from a block read at its address (64 bytes, of
// which the first 48 or 40 count) into `flags`.
bool decodeGroupArea(const std::vector<uint8_t>& data, int area, GroupFlags& flags);
// Both areas an image holds into the table (its listeners told).
void takeGroups(const RadioImage& image, GroupTable& table);

// The radio takes the unused eighth byte of every group as two 0x00 bytes in
// place of its two hexadecimal digits, so a write of groups 0-5 is 107 bytes
// on the line: the data bytes of an area's write that go as 0x00 bytes.
std::vector<int> groupAreaNulBytes(int area);
// The same for a block written at `address`: the group areas' bytes, or none.
std::vector<int> nulBytesAt(uint32_t address);

// Reads both areas into a scratch table and changes the table only once
// both arrived.
engine::Plan groupReadPlan(GroupTable& table);
engine::Plan groupWritePlan(const GroupTable& table);

extern const char* const GroupReadDoneText;     // "OK"
extern const char* const GroupReadDoneTitle;    // " Success"
extern const char* const GroupReadAllText;      // "Success ALL DATA READ"
extern const char* const GroupWriteDoneText;    // "Success Group Data Write"

}  // namespace tqm5
