// Full Memory Read and Memory Write against the emulator on a
// pseudo-terminal, through the program's real serial link.
//   (a) without wire timing: seconds and overhead per exchange
//   (b) with wire timing at 57600 baud: measured time / pure wire time
//   (c) CPU seconds the program used during (b)
// The emulator runs as its own process so that (c) counts only the program.
#include <QCoreApplication>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "channels/channel_transfers.h"
#include "emulator_paths.h"
#include "protocol/host.h"
#include "serial/qt_serial_link.h"

using namespace tqm5;

namespace {

struct QuietHost : Host {
    Choice message(const std::string&, const std::string&, Buttons) override { return Choice::Ok; }
    void processEvents() override { QCoreApplication::processEvents(); }
    void setProgressMax(int) override {}
    void setProgressValue(int) override {}
    void setProgressText(const std::string&) override {}
    void enableTransferControls() override {}
};

struct Emulator {
    pid_t pid = -1;
    std::string path;
    explicit Emulator(bool wire) {
        int out[2];
        if (pipe(out) != 0) return;
        pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            const char* args[] = {emu::EmulatorBinary, "--image", emu::DemoImage, "--no-save", "--print-path",
                                  wire ? "--wire-timing" : nullptr, nullptr};
            execv(emu::EmulatorBinary, const_cast<char**>(args));
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
    ~Emulator() {
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
    const auto t0 = std::chrono::steady_clock::now();
    Run r;
    r.outcome = transfer();
    r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    r.cpu = cpuSeconds() - cpu0;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int exchangesRead = 1624;          // identification + 1623 rows
    constexpr int exchangesWrite = 1624 + 12;    // + the pass-channel index
    // Bytes on the wire per read exchange: 11 sent + 143 answered.
    const double wireRead = exchangesRead * 154.0 * 10 / 57600;
    const double wireWrite = (17 + 11 + 1623 * (139 + 145) + 11 * (137 + 143) + (39 + 45)) * 10.0 / 57600;

    for (bool wire : {false, true}) {
        Emulator radio(wire);
        if (radio.path.empty()) {
            std::fprintf(stderr, "emulator did not start\n");
            return 1;
        }
        ChannelGrid grid;
        TransferState state;
        QtSerialLink link;
        link.bindDevice(1, QString::fromStdString(radio.path));
        QuietHost host;
        TransferContext ctx{grid, state, link, host, 1, 1000};
        const Run read = measure([&] { return memoryRead(ctx); });
        const Run write = measure([&] { return memoryWrite(ctx); });
        if (read.outcome != TransferOutcome::Success || write.outcome != TransferOutcome::Success) {
            std::fprintf(stderr, "transfer failed\n");
            return 1;
        }
        if (!wire) {
            std::printf("(a) no wire timing: full read %.3f s (%.3f ms per exchange), full write %.3f s (%.3f ms per exchange)\n",
                        read.wall, read.wall * 1000 / exchangesRead, write.wall, write.wall * 1000 / exchangesWrite);
        } else {
            std::printf("(b) wire timing: read %.3f s for %.3f s of wire time, ratio %.4f; write %.3f s for %.3f s, ratio %.4f\n",
                        read.wall, wireRead, read.wall / wireRead, write.wall, wireWrite, write.wall / wireWrite);
            std::printf("(c) program CPU during (b): read %.3f s (%.2f%% of wall), write %.3f s (%.2f%% of wall)\n",
                        read.cpu, 100 * read.cpu / read.wall, write.cpu, 100 * write.cpu / write.wall);
        }
    }
    return 0;
}
