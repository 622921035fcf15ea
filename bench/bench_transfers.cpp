// Memory Read and Memory Write against the emulator on a pseudo-terminal,
// through the program's real serial link, for each way an adapter hands
// answers over (byte by byte, 16- or 64-byte pieces, pieces held by a
// latency timer):
//   - a full read as fast as the emulator answers (no wire timing)
//   - read and write at 57600 baud: time, pure wire time, their ratio, and
//     the ratio to what the line and the adapter allow (the wire time plus
//     the latency timer's holds)
//   - the program's CPU time as a share of the wall time
//   - how long after an answer's last byte reached the port the wait returned
// The emulator runs as its own process for the timed transfers, so that the
// CPU figure counts only the program.
//
//   bench_transfers [--rows N] [--modes byte,16,64,16/2] [--exchanges N]
// --rows N times N rows (identification plus N blocks) and extrapolates to
// the full 1623 rows; the default is the full transfer.
#include <QCoreApplication>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/startup.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "protocol/clone_protocol.h"
#include "protocol/host.h"
#include "protocol/transfer_state.h"
#include "serial/qt_serial_link.h"

using namespace tqm5;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRows = 1623;
constexpr auto kByteTime = std::chrono::nanoseconds(10LL * 1000000000LL / 57600);

struct QuietHost : Host {
    Choice message(const std::string&, const std::string&, Buttons) override { return Choice::Ok; }
    void processEvents() override { QCoreApplication::processEvents(); }
    void setProgressMax(int) override {}
    void setProgressValue(int) override {}
    void setProgressText(const std::string&) override {}
    void enableTransferControls() override {}
};

struct Mode {
    std::string name;
    int piece = 1, latencyMs = 0;
};

Mode parseMode(const std::string& s) {
    Mode m{s};
    if (s == "byte") return m;
    const auto slash = s.find('/');
    m.piece = std::atoi(s.substr(0, slash).c_str());
    if (slash != std::string::npos) m.latencyMs = std::atoi(s.substr(slash + 1).c_str());
    if (m.piece < 1) m.piece = 1;
    return m;
}

std::string describe(const Mode& m) {
    std::string d = m.piece == 1 ? "byte by byte" : std::to_string(m.piece) + "-byte pieces";
    if (m.latencyMs > 0) d += ", " + std::to_string(m.latencyMs) + " ms latency timer";
    return d;
}

struct EmulatorProcess {
    pid_t pid = -1;
    std::string path;
    EmulatorProcess(bool wire, const Mode& mode) {
        int out[2];
        if (pipe(out) != 0) return;
        const std::string piece = std::to_string(mode.piece), latency = std::to_string(mode.latencyMs);
        pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            std::vector<const char*> args = {emu::EmulatorBinary, "--image", emu::DemoImage, "--no-save",
                                             "--print-path", "--piece-bytes", piece.c_str(),
                                             "--latency-ms", latency.c_str()};
            if (wire) args.push_back("--wire-timing");
            args.push_back(nullptr);
            execv(emu::EmulatorBinary, const_cast<char**>(args.data()));
            _exit(127);
        }
        close(out[1]);
        char buf[256];
        ssize_t n = read(out[0], buf, sizeof buf - 1);
        close(out[0]);
        if (n > 0) {
            buf[n] = 0;
            path = buf;
            while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
        }
    }
    ~EmulatorProcess() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Run {
    double wall = 0, cpu = 0;
    TransferOutcome outcome{};
};

template <typename F>
Run measure(F transfer) {
    const double cpu0 = cpuSeconds();
    const auto t0 = Clock::now();
    Run r;
    r.outcome = transfer();
    r.wall = std::chrono::duration<double>(Clock::now() - t0).count();
    r.cpu = cpuSeconds() - cpu0;
    return r;
}

// Command and answer lengths of every exchange of a transfer.
struct Exchange {
    std::size_t command, answer;
};
std::vector<Exchange> readExchanges(int rows) {
    std::vector<Exchange> x{{11, 17}};
    x.insert(x.end(), static_cast<std::size_t>(rows), Exchange{11, 143});
    return x;
}
std::vector<Exchange> writeExchanges(int rows) {
    std::vector<Exchange> x{{11, 17}};
    x.insert(x.end(), static_cast<std::size_t>(rows), Exchange{139, 145});
    if (rows == kRows) {  // the pass-channel index: 11 blocks of 63 bytes and one of 14
        x.insert(x.end(), 11, Exchange{137, 143});
        x.push_back({39, 45});
    }
    return x;
}
// Seconds on the line alone, and with the adapter's hand-over rules.
double wireSeconds(const std::vector<Exchange>& xs) {
    double s = 0;
    for (const auto& x : xs) s += std::chrono::duration<double>(kByteTime * long(x.command + x.answer)).count();
    return s;
}
double deliverySeconds(const std::vector<Exchange>& xs, const Mode& m) {
    double s = 0;
    for (const auto& x : xs) {
        const auto plan = emu::handOverSchedule(x.answer, kByteTime, std::size_t(m.piece),
                                                std::chrono::milliseconds(m.latencyMs));
        s += std::chrono::duration<double>(kByteTime * long(x.command) + plan.back().at).count();
    }
    return s;
}

// The program's own path: a document and its commands on the link.
struct Transfer {
    Document doc;
    QtSerialLink link;
    QuietHost host;
    Commands commands{doc, link, host};
    explicit Transfer(const std::string& path) {
        startUp(doc);
        link.bindDevice(1, QString::fromStdString(path));
    }
    TransferOutcome read(int rows) {
        if (rows == kRows) return commands.channels.memoryRead();
        doc.grid.setSelection(1, rows);
        return commands.channels.oneMemoryRead();
    }
    TransferOutcome write(int rows) {
        if (rows == kRows) return commands.channels.memoryWrite();
        doc.grid.setSelection(1, rows);
        return commands.channels.oneMemoryWrite();
    }
};

// Read exchanges against an emulator in this process, which notes when it
// handed each answer's last byte over: how long the wait took to notice.
void lateness(const Mode& m, int exchanges, bool wire = true) {
    emu::PtyServer::Options o;
    o.wireTiming = wire;
    o.pieceBytes = std::size_t(m.piece);
    o.latency = std::chrono::milliseconds(m.latencyMs);
    emu::PtyServer radio(emu::Emulator::Options{}, o);
    radio.start();
    QtSerialLink link;
    link.bindDevice(1, QString::fromStdString(radio.devicePath()));
    QuietHost host;
    TransferState state;
    CloneProtocol protocol(link, host, state, 1);
    std::vector<double> us;
    for (int i = 0; i < exchanges; ++i) {
        if (!protocol.readBlock(0x1200 + 64u * uint32_t(i % kRows), 64)) continue;
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - radio.lastHandOver()).count());
    }
    protocol.endSession();
    std::sort(us.begin(), us.end());
    if (us.empty()) return;
    const auto within = std::upper_bound(us.begin(), us.end(), 1000.0) - us.begin();
    std::printf("    answer's last byte to the wait's return (%zu reads): median %.0f us, 99th %.0f us, max %.0f us, "
                "%.1f%% within 1 ms\n",
                us.size(), us[us.size() / 2], us[us.size() * 99 / 100], us.back(), 100.0 * double(within) / double(us.size()));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int rows = kRows, latencyReads = 300;
    std::vector<Mode> modes;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rows" && i + 1 < argc) {
            rows = std::clamp(std::atoi(argv[++i]), 1, kRows);
        } else if (a == "--exchanges" && i + 1 < argc) {
            latencyReads = std::max(0, std::atoi(argv[++i]));
        } else if (a == "--modes" && i + 1 < argc) {
            std::stringstream list(argv[++i]);
            for (std::string m; std::getline(list, m, ',');) modes.push_back(parseMode(m));
        } else {
            std::fprintf(stderr, "usage: bench_transfers [--rows N] [--modes byte,16,64,16/2] [--exchanges N]\n");
            return 2;
        }
    }
    if (modes.empty()) modes = {parseMode("byte"), parseMode("16"), parseMode("64"), parseMode("16/2")};

    {
        EmulatorProcess radio(false, Mode{"byte"});
        if (radio.path.empty()) return std::fprintf(stderr, "emulator did not start\n"), 1;
        Transfer t(radio.path);
        const Run read = measure([&] { return t.read(kRows); });
        if (read.outcome != TransferOutcome::Success) return std::fprintf(stderr, "transfer failed\n"), 1;
        std::printf("full read without wire timing: %.3f s (%.3f ms per exchange)\n", read.wall,
                    read.wall * 1000 / (kRows + 1));
        // A link faster than the line, with a held tail: the wait must not
        // assume the line's pace.
        if (latencyReads > 0) {
            std::printf("  without wire timing, 16-byte pieces, 3 ms latency timer:\n");
            lateness(parseMode("16/3"), latencyReads, false);
        }
    }

    const auto rx = readExchanges(rows), wx = writeExchanges(rows);
    const auto fullRx = readExchanges(kRows), fullWx = writeExchanges(kRows);
    const double scaleRead = wireSeconds(fullRx) / wireSeconds(rx), scaleWrite = wireSeconds(fullWx) / wireSeconds(wx);
    std::printf("at 57600 baud, %s\n", rows == kRows ? "full transfers"
                                                     : ("rows 1 to " + std::to_string(rows) +
                                                        ", full transfers extrapolated by wire time").c_str());
    for (const Mode& m : modes) {
        EmulatorProcess radio(true, m);
        if (radio.path.empty()) return std::fprintf(stderr, "emulator did not start\n"), 1;
        Transfer t(radio.path);
        const Run read = measure([&] { return t.read(rows); });
        const Run write = measure([&] { return t.write(rows); });
        if (read.outcome != TransferOutcome::Success || write.outcome != TransferOutcome::Success)
            return std::fprintf(stderr, "transfer failed (%s)\n", m.name.c_str()), 1;
        std::printf("  %s:\n", describe(m).c_str());
        const auto line = [&](const char* what, const Run& r, const std::vector<Exchange>& xs, double scale) {
            const double wire = wireSeconds(xs), delivery = deliverySeconds(xs, m);
            std::printf("    %-5s %7.3f s, wire %7.3f s, ratio %.4f (to line + adapter %.4f), CPU %.2f%% of wall",
                        what, r.wall, wire, r.wall / wire, r.wall / delivery, 100 * r.cpu / r.wall);
            if (scale != 1.0) std::printf("; full: ~%.1f s", r.wall * scale);
            std::printf("\n");
        };
        line("read", read, rx, scaleRead);
        line("write", write, wx, scaleWrite);
        if (latencyReads > 0) lateness(m, latencyReads);
    }
    return 0;
}
