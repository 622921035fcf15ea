#pragma once
// What the program keeps of each radio between runs, in the user's data
// folder beside the safety copies: the image the radio was last read into or
// written from (so a later run can write only what changed), and the
// journal of a write that did not finish (so the next one can resume it).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/radio_image.h"

namespace tqm5 {

// $XDG_DATA_HOME/tqm5writer/radios, or ~/.local/share/tqm5writer/radios.
std::string keptImageFolder();

// The name a radio is kept under: its device ("/dev/ttyUSB0" gives
// "dev_ttyUSB0"), or "port-3" when only a port number is known.
std::string radioKey(const std::string& device, int port);

// The image knows every region a write sends (all but the write-protect byte).
bool knowsWhatWritesSend(const RadioImage& image);

// The image is kept only when it knows every region a write sends (all but
// the write-protect byte); a success when it was saved, or with nothing to
// save.
Result<void> keepRadioImage(const std::string& key, const RadioImage& image);
// The kept image, every region known (the write-protect byte as kept); none
// when there is none. A failure says why a kept one cannot be used.
Result<std::optional<RadioImage>> keptRadioImage(const std::string& key);
// Forgets the kept image (after a write whose end is unknown).
void forgetRadioImage(const std::string& key);

// One program at a time on a radio: an exclusive lock on a file beside its
// kept image, held while the claim lives.
class RadioClaim {
public:
    // Fails with HeldText when another program holds the radio.
    static Result<RadioClaim> take(const std::string& key);
    static const char* const HeldText;
    RadioClaim(RadioClaim&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    RadioClaim& operator=(RadioClaim&& other) noexcept;
    RadioClaim(const RadioClaim&) = delete;
    RadioClaim& operator=(const RadioClaim&) = delete;
    ~RadioClaim();

private:
    explicit RadioClaim(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// --- the journal of a write ----------------------------------------------------
struct WriteJournal {
    RadioImage target;                  // what the write was to leave in the radio
    std::vector<uint32_t> plan;         // the blocks it was to send, in order
    std::vector<uint32_t> acknowledged;  // those the radio took, in order
};

// A journal's text read: the plan and the blocks taken, and the check of
// the target image it was started with (eight hexadecimal digits). A line
// the end of the program cut short is left out; anything else damaged is
// refused, saying why.
struct JournalText {
    std::string imageCheck;
    std::vector<uint32_t> plan;
    std::vector<uint32_t> acknowledged;
};
Result<JournalText> parseJournal(std::string_view text);

// Starts a journal for a write of the blocks at `plan` leaving `target`.
Result<void> startJournal(const std::string& key, const RadioImage& target, const std::vector<uint32_t>& plan);
// Notes one block the radio took.
Result<void> noteAcknowledged(const std::string& key, uint32_t address);
// The journal left by a write that did not finish; none when there is none.
// A failure says why one cannot be used.
Result<std::optional<WriteJournal>> openJournal(const std::string& key);
void removeJournal(const std::string& key);

}  // namespace tqm5
