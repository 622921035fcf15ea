#pragma once
// What a feature hands the transfer engine: the blocks to move, in order,
// with their retry budgets, the progress to show and what to do with the
// bytes. The engine does the rest (identification, retries, the closing
// window, the outcome and its message, the end-of-transfer reset).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "protocol/serial_link.h"
#include "radio/radio_image.h"

namespace tqm5::engine {

// Progress shown at a point of the run; a negative field leaves that part
// of the display as it is.
struct Progress {
    int value = -1;    // progress bar value
    int percent = -1;  // shown as "<percent>%"
    int max = -1;      // progress bar maximum, set before the value
};

struct Block {
    enum class Kind { Read, Write };
    Kind kind = Kind::Read;
    uint32_t address = 0;
    int length = 0;  // bytes to read; a write sends what `encode` returns
    int budget = 0;  // index into Plan::budgets: blocks naming one budget share it

    // Runs before the first attempt; then `before` is shown.
    std::function<void()> prepare;
    Progress before;
    Progress after;  // shown once the block is accepted
    // Write: the bytes to send, asked once before the first attempt, or
    // before every attempt when `encodeEachAttempt` (what they come from may
    // change while the block is retried).
    std::function<Bytes()> encode;
    bool encodeEachAttempt = false;
    // Write: bytes of the data that go on the line as two 0x00 bytes instead
    // of their digits (the block's own wire form; see writeCommand).
    std::vector<int> nulBytes;
    // Read: looks at the accepted bytes (after they went into the plan's
    // image): the channel rows show them at once; an area checks that its
    // values can be shown at all. False when they cannot be used: the run
    // then ends as if the port had failed, and nothing more is read.
    std::function<bool(const Bytes&)> decode;
    // Runs once the block is accepted (after `decode`).
    std::function<void()> accepted;
};

struct Plan {
    int busyCode = 1;
    // What the plan moves, in a few words ("channels"), for a progress
    // display that names the step.
    std::string what;
    int identifyAttempts = 3;  // 0: the session needs no identification
    std::vector<int> budgets;  // failed exchanges each budget tolerates
    // The progress bar's maximum, set with the bar back at 0 as the run
    // starts (before `prepare`), or once the radio identified itself
    // (before `identified`) when `progressOnceIdentified`. 0 leaves the bar
    // as it is.
    int progressMax = 0;
    bool progressOnceIdentified = false;
    // Runs once the busy code is set, before the identification.
    std::function<void()> prepare;
    // Runs after a successful identification, before the first block.
    std::function<void()> identified;
    std::vector<Block> blocks;
    // Where the read blocks' bytes go as each is accepted; `completed`
    // decodes the plan's area from it, so the document changes only once
    // every block arrived.
    std::shared_ptr<RadioImage> image;
    // The write blocks encode the document's values (not an image's bytes):
    // where the radio is known to hold bytes that give the very same values,
    // the program sends those instead.
    bool fromDocument = false;
    // Shown once the last block was accepted, before `completed`.
    Progress done;
    // Runs after the last block was accepted, before the success ending.
    std::function<void()> completed;
    // Runs in the success ending, once "100%" shows and before the message.
    std::function<void()> succeeded;
};

// The messages every transfer ends with.
extern const char* const SuccessText;    // "Success"
extern const char* const FinishTitle;    // " Finish"
extern const char* const ErrorText;      // "Error"
extern const char* const ErrorTitle;     // " Error"
extern const char* const PortErrorText;  // "Port Error"

std::string percentText(int percent);  // "42%"

}  // namespace tqm5::engine
