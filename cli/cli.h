#pragma once
// The command line `tqm5`: what every command shares. Each command lives in
// its own source file and returns the program's exit status.
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/commands.h"
#include "files/radio_image.h"
#include "protocol/host.h"
#include "serial/qt_serial_link.h"

namespace tqm5::cli {

// Exit statuses.
enum Exit : int { Ok = 0, Failed = 1, Usage = 2 };

// Attempts every block of a transfer gets: a backup or restore runs
// thousands of exchanges, and the window's budgets for a whole run would
// end it after a few dozen faults scattered over a good line.
constexpr int BlockAttempts = 5;

struct Options {
    std::string device;  // the first --device when a path; empty: the port number
    std::vector<std::string> devices;  // every --device, in the order given
    int port = 1;
    bool yes = false;     // questions are answered OK
    bool quiet = false;   // no progress bar
    bool verify = false;
    bool changes = false;  // write and restore: only the blocks that differ from the kept image
    bool resume = false;   // write and restore: resume the write to this radio that was cut
    bool progressLines = false;  // a line on stderr as each step begins, instead of a bar
    std::string output;   // -o
    std::string font;     // --font
    std::string layout;   // --layout: empty (the program's own CSV) or "common"
    std::string row;      // --row: where a common-layout import starts (a row label or number)
    std::vector<std::string> args;  // the command's own arguments
};

// Messages become lines on stderr; questions answer Cancel unless --yes; the
// progress is a bar with percent and time left, drawn only on a terminal.
class TerminalHost : public Host {
public:
    explicit TerminalHost(const Options& options);
    ~TerminalHost() override;
    Choice message(const std::string& text, const std::string& title, Buttons buttons) override;
    // Between polls: a Ctrl-C stops the transfer at its next wait, as
    // closing the window does.
    void processEvents() override;
    TransferState* state = nullptr;
    // The engine's progress values are the window's (they jump for some
    // steps); the bar counts each step's blocks instead.
    void setProgressMax(int) override {}
    void setProgressValue(int) override {}
    // A step begins: `blocks` blocks of `what`, on a line of its own.
    void beginStep(const std::string& what, int blocks);
    // One block of the step was accepted.
    void advance();
    void setProgressText(const std::string&) override {}
    void enableTransferControls() override {}
    // Ends the bar's line.
    void finishProgress();

private:
    void draw();
    bool bar_ = false;
    bool lines_ = false;
    bool yes_ = false;
    bool drawn_ = false;
    std::string label_;
    int max_ = 100, value_ = 0, lastPercent_ = -1;
    long lastSecond_ = -1;
    std::chrono::steady_clock::time_point started_;
};

// The radio on the chosen port: one document, the serial link and the
// commands on them.
class Radio {
public:
    explicit Radio(const Options& options);
    // Takes the radio's lock for the whole run, so that no other tqm5 or
    // TQM5 Writer window talks to it meanwhile; false (already told) when
    // another holds it.
    bool claim();
    Document doc;
    QtSerialLink link;
    TerminalHost host;
    Commands commands;
    // Each step's bar: named and sized when a plan starts, moved by every
    // block the radio accepts.
    Listeners<const engine::Plan&>::Token stepping;
    Listeners<bool, uint32_t, const Bytes&>::Token counting;
    // What the port is called in messages.
    std::string portName() const;
    // Runs `plan` silently (only the command tells the outcome) with its
    // blocks counted on the progress bar.
    TransferOutcome run(const engine::Plan& plan);
    // Plain words for a transfer that did not succeed.
    std::string failure(TransferOutcome outcome) const;

private:
    bool claimed_ = false;
};

// Resumes the cut write to the radio (--resume); the exit status.
int resumeWrite(Radio& radio);
// Loads the image kept of the radio into its document (--changes); false
// (already told) when there is none or it cannot be used.
bool loadKeptImage(Radio& radio);
// Tells how a whole-radio write ended; the exit status.
int writeEnded(Radio& radio, TransferOutcome out, const std::string& done);

// "tqm5: <text>" on stderr.
void error(const std::string& text);
// The last failure told (by error() or an error message), for the result
// line of --progress-lines; empty when none was.
const std::string& lastFailure();
// With --progress-lines, every run ends with one line a caller can take
// apart: "tqm5: result: ok" or "tqm5: result: failed: <the last failure>".
constexpr const char* ResultLinePrefix = "result: ";

// Reads every region of the radio; nothing on failure (already told).
std::optional<RadioImage> readRadio(Radio& radio);
// Saves a safety copy and says where (on stderr).
void safetyCopy(const RadioImage& image, const Options& options);

// Loads a memory file into `radio`'s document as Open does; false (already
// told) when it cannot be used.
bool openMemoryFile(Radio& radio, const std::string& path);

int read(const Options& options);
int write(const Options& options);
int exportCsv(const Options& options);
int importCsv(const Options& options);
int backup(const Options& options);
int restore(const Options& options);
int diff(const Options& options);
int help();
// write or restore on every device given, at once; the exit status.
int fleet(const std::string& command, const Options& options);
extern const char* const UsageText;

}  // namespace tqm5::cli
