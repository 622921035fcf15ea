#pragma once
// The emulated radio on a pseudo-terminal. Clients open the slave device
// (or the published link to it) like any serial port; a thread reads the
// master side, feeds the Emulator and writes its answers back.
//
// The server keeps a descriptor of the slave open for its whole life, so
// clients may open and close the device as often as they like without the
// master seeing a hang-up. It also behaves like a real port towards them:
// bytes the radio sends while no client has the device open are lost, and
// bytes a client left unread are discarded when the last client closes.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/radio_emulator.h"

namespace tqm5::emu {

struct PtyServerOptions {
    // Pace every answer as 57600 baud with 10 bits a byte would: the
    // answer starts once the command itself could have crossed the wire
    // and each byte leaves at its own deadline on a steady clock.
    bool wireTiming = false;
    int baud = 57600;
    // Symlink to publish for the slave device; an existing symlink there
    // is replaced, anything else is refused. Removed by the destructor.
    std::string linkPath;
    // Lose answers while no client has the device open, as a real port
    // does. Off: answers queue in the pseudo-terminal until read.
    bool dropWhileClosed = true;
    // How the answer reaches the client, as a USB serial adapter hands it
    // over: in pieces of this many bytes (1: byte by byte), each when its
    // last byte has come off the line.
    std::size_t pieceBytes = 1;
    // The adapter's latency timer: started by the first byte of a piece, it
    // hands over whatever has come in when it fires, so a piece that does
    // not fill (the end of an answer) is held up to this long. 0: off.
    std::chrono::milliseconds latency{0};
};

// One hand-over of an answer to the client: `bytes` more bytes, `at` after
// the moment the answer starts onto the line.
struct HandOver {
    std::chrono::nanoseconds at{0};
    std::size_t bytes = 0;
};
// When an answer of `total` bytes reaches the client: byte i comes off the
// line at (i + 1) byte times (all at once when `byteTime` is 0), and is
// handed over by the piece and latency rules of PtyServerOptions.
std::vector<HandOver> handOverSchedule(std::size_t total, std::chrono::nanoseconds byteTime,
                                       std::size_t pieceBytes, std::chrono::nanoseconds latency);

class PtyServer {
public:
    using Options = PtyServerOptions;

    // Opens the pseudo-terminal and publishes the link; the thread starts
    // with start(). Throws std::system_error / std::runtime_error.
    PtyServer() : PtyServer(Emulator::Options{}, Options{}) {}
    explicit PtyServer(const Emulator::Options& emulator, const Options& options = {});
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    void start();
    // Returns promptly even in the middle of a paced or late answer.
    void stop();
    bool running() const { return thread_.joinable(); }

    const std::string& slavePath() const { return slavePath_; }
    const std::string& linkPath() const { return options_.linkPath; }
    // The link when there is one, else the slave device.
    const std::string& devicePath() const {
        return options_.linkPath.empty() ? slavePath_ : options_.linkPath;
    }

    // Runs `f(Emulator&)` under the server's lock: the way to reach the
    // memory, the forced faults or the log while the thread runs. `f` must
    // not call back into the server (the lock is not recursive).
    template <class F>
    auto withEmulator(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(emulator_);
    }
    Bytes memory() const;                 // copy of the whole image
    Bytes readMemory(uint32_t address, std::size_t length) const;
    void setMemory(const Bytes& image);   // exactly MemorySize bytes
    void loadImage(const std::string& path);
    void saveImage(const std::string& path) const;
    std::vector<std::string> log() const;
    EmulatorStats stats() const;
    // Answers (or their rest) lost because no client had the device open.
    uint64_t answersDropped() const { return dropped_.load(); }
    // How often the thread found the device left by its last client (and
    // discarded what was queued for it).
    uint64_t lastCloses() const { return lastCloses_.load(); }
    // When the last byte of the latest answer was handed to the client.
    std::chrono::steady_clock::time_point lastHandOver() const {
        return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(lastHandOver_.load()));
    }

private:
    void run();
    void readMaster();
    void deliver(const Answer& answer, std::chrono::steady_clock::time_point start);
    bool writeOut(const uint8_t* data, std::size_t length);
    // Sleeps until `deadline`, keeping track of clients; false on stop().
    bool waitUntil(std::chrono::steady_clock::time_point deadline);
    void drainWatch();
    bool probeClients();
    bool clientPresent();
    void reopenSlave();
    void keepRaw();
    void closeAll();

    Options options_;
    mutable std::mutex mutex_;
    Emulator emulator_;
    int master_ = -1, slave_ = -1, watch_ = -1;
    int wake_[2] = {-1, -1};
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    int clients_ = 0;  // clients with the device open, as the thread counts them
    std::atomic<uint64_t> dropped_{0}, lastCloses_{0};
    std::atomic<std::chrono::steady_clock::rep> lastHandOver_{0};
    std::chrono::steady_clock::time_point lastEnd_{};
    std::chrono::nanoseconds byteTime_{};
};

}  // namespace tqm5::emu
