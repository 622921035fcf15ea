#pragma once
// A TQ-M5 on the far end of the cable: its 128 KiB memory and the three
// exchanges it answers (identification, read block, write block), with
// seeded fault injection so that clients can be tested against a line that
// misbehaves the way real cables and radios do.
//
// Plain C++; no I/O except loading and saving the memory image. Not
// thread-safe: PtyServer serialises access with its own mutex.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tqm5::emu {

using Bytes = std::vector<uint8_t>;

constexpr std::size_t MemorySize = 0x20000;
// The longest command the radio knows is a 64-byte write: 139 bytes with
// its CR. Longer lines are noise and are dropped without being kept.
constexpr std::size_t MaxLineLength = 160;
constexpr int ReadBlockLength = 64;
constexpr int MaxWriteLength = 64;

// The radio's memory. Addresses past the end wrap to the start, so a block
// that straddles 0x1FFFF never reaches outside the image.
class RadioMemory {
public:
    RadioMemory() { bytes_.fill(0); }

    uint8_t at(uint32_t address) const { return bytes_[address % MemorySize]; }
    Bytes read(uint32_t address, std::size_t length) const;
    void write(uint32_t address, const Bytes& data);
    void clear() { bytes_.fill(0); }

    const std::array<uint8_t, MemorySize>& bytes() const { return bytes_; }
    // Replaces the whole image; throws std::invalid_argument unless `image`
    // holds exactly MemorySize bytes.
    void assign(const Bytes& image);

    // Image files are the raw 128 KiB. load() throws std::runtime_error when
    // the file cannot be read or has another size, and then changes nothing.
    void load(const std::string& path);
    // Written to a temporary file in the same folder and renamed over
    // `path`, so an interrupted save never leaves half an image. Throws
    // std::runtime_error on failure.
    void save(const std::string& path) const;

private:
    std::array<uint8_t, MemorySize> bytes_;
};

enum class CommandKind { Identify, Read, Write };

enum class FaultKind {
    None,
    NoAnswer,    // the radio stays silent
    Short,       // the last 1 to 4 bytes are missing
    ExtraByte,   // one stray byte follows the answer
    BrokenTail,  // read: the closing CR LF is wrong; identify/write: "NG" instead of "OK"
    Late,        // the whole answer comes after Emulator::Options::lateDelay
    OtherAddress,  // a well-formed answer that echoes another address (read: that
                   // block's data); identify: a read echo with "OK" in place
    // Forced only, never drawn at random (no client can tell): a write is
    // answered "OK" but its data is not stored. Other commands answer normally.
    NotStored,
};
// Kinds the random draw chooses from, in draw order.
constexpr int RandomFaultKinds = 6;
const char* faultName(FaultKind kind);

// One answered (or deliberately unanswered) exchange.
struct Answer {
    uint64_t exchange = 0;  // 1 for the first well-formed command
    CommandKind kind = CommandKind::Identify;
    std::size_t commandLength = 0;  // bytes of the command, CR included
    Bytes bytes;                    // what goes on the wire; empty for NoAnswer
    FaultKind fault = FaultKind::None;
    std::chrono::milliseconds delay{0};  // wait before the first byte
};

struct EmulatorStats {
    uint64_t exchanges = 0;  // well-formed commands received
    uint64_t faults = 0;     // of these, answered with a fault
    uint64_t ignored = 0;    // lines that were no command at all
    uint64_t writes = 0;     // write commands stored
};

class Emulator {
public:
    struct Options {
        double faultRate = 0.0;  // chance per exchange, 0 to 1
        uint64_t seed = 1;
        std::chrono::milliseconds lateDelay{1300};
        std::size_t logLimit = 100000;  // oldest entries are dropped beyond this
    };

    Emulator() : Emulator(Options{}) {}
    explicit Emulator(const Options& options);

    RadioMemory& memory() { return memory_; }
    const RadioMemory& memory() const { return memory_; }

    // Consumes bytes from the line. Every command completed by these bytes
    // (a CR ends it) produces one Answer, in order; malformed lines produce
    // none and are only logged. A write command stores its data as soon as
    // it is received, whatever fault its answer gets (the radio has the data
    // even when the PC never hears back), except under FaultKind::NotStored.
    std::vector<Answer> feed(const uint8_t* data, std::size_t length);
    std::vector<Answer> feed(const Bytes& data) { return feed(data.data(), data.size()); }
    // feed() with the answers' bytes joined, delays ignored; for tests and
    // tools that do not care about timing.
    Bytes transact(const Bytes& data);

    // --- faults -------------------------------------------------------------
    // Random faults: each exchange draws from the seeded generator whether
    // it is hit and how, so one seed always gives the same sequence. Forced
    // faults below take precedence without shifting that sequence.
    void setFaultRate(double rate);
    void setSeed(uint64_t seed);
    // Fault for exchange number `exchange` (counted as Answer::exchange).
    void forceFault(uint64_t exchange, FaultKind kind);
    // Fault for each of the next `count` exchanges, whatever their kind.
    void failNext(int count, FaultKind kind = FaultKind::NoAnswer);
    // Fault for each of the next `count` identification commands.
    void failIdentifications(int count, FaultKind kind = FaultKind::NoAnswer);
    void clearForcedFaults();

    // --- log and counters -----------------------------------------------------
    // One line per received line, e.g. "7 R 01200", "8 W 01200 64 [no answer]",
    // "- ignored (bad digits): QK~F0120gR".
    const std::deque<std::string>& log() const { return log_; }
    void clearLog() { log_.clear(); }
    // Called with every new log line as well (for a log file).
    std::function<void(const std::string&)> onLog;
    const EmulatorStats& stats() const { return stats_; }

private:
    struct Draw {
        double chance;
        uint64_t kind, param;
    };
    struct Command {
        CommandKind kind = CommandKind::Identify;
        uint32_t address = 0;
        Bytes data;  // a write's data
    };
    void processLine(const std::string& line);
    void ignore(const std::string& line, const char* reason);
    void answer(const std::string& line, const Command& command);
    FaultKind chooseFault(CommandKind kind, const Draw& draw);
    uint64_t nextRandom();
    void addLog(std::string line);

    Options options_;
    RadioMemory memory_;
    std::string line_;
    bool overlong_ = false;
    uint64_t rng_ = 0;
    std::map<uint64_t, FaultKind> forced_;
    int failNextCount_ = 0;
    FaultKind failNextKind_ = FaultKind::None;
    int failIdCount_ = 0;
    FaultKind failIdKind_ = FaultKind::None;
    std::deque<std::string> log_;
    EmulatorStats stats_;
    std::vector<Answer>* out_ = nullptr;
};

}  // namespace tqm5::emu
