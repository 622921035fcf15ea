// tqm5-emulator: a TQ-M5 on a pseudo-terminal, for TQM5 Writer to talk to
// when there is no radio at hand.
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/pty_server.h"

namespace {

using tqm5::emu::Emulator;
using tqm5::emu::PtyServer;

const char kUsage[] =
    "usage: tqm5-emulator [options]\n"
    "  --image FILE      memory image: loaded at start when it exists, saved on exit\n"
    "  --no-save         do not save the image on exit\n"
    "  --link PATH       publish a symbolic link to the device at PATH\n"
    "  --wire-timing     answer at the speed of a 57600 baud line\n"
    "  --piece-bytes N   hand answers over in pieces of N bytes (default 1: byte by byte),\n"
    "                    each when its last byte would have arrived\n"
    "  --latency-ms M    latency timer: a piece that does not fill is held up to M ms\n"
    "  --fault-rate P    chance 0..1 that an exchange is answered badly (no answer,\n"
    "                    short, extra byte, broken tail, late, another address's echo)\n"
    "  --seed N          seed of the fault sequence (default 1)\n"
    "  --drop-write N    exchange N (counted as in the log), when a write, is answered\n"
    "                    OK but not stored; may be given more than once\n"
    "  --log FILE        append every received command to FILE\n"
    "  --print-path      print only the device path on stdout\n";

struct Args {
    std::string image, link, logFile;
    bool save = true, wireTiming = false, printPath = false;
    double faultRate = 0;
    uint64_t seed = 1;
    long pieceBytes = 1, latencyMs = 0;
    std::vector<uint64_t> dropWrites;
};

// A whole number in [low, high], nothing after it.
bool parseCount(const char* v, long low, long high, long& out) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(v, &end, 10);
    if (*v == '\0' || *end != '\0' || errno != 0 || n < low || n > high) return false;
    out = n;
    return true;
}

bool parse(int argc, char** argv, Args& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        auto value = [&](const char*& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        const char* v = nullptr;
        char* end = nullptr;
        if (opt == "--image" && value(v)) {
            a.image = v;
        } else if (opt == "--link" && value(v)) {
            a.link = v;
        } else if (opt == "--log" && value(v)) {
            a.logFile = v;
        } else if (opt == "--fault-rate" && value(v)) {
            a.faultRate = std::strtod(v, &end);
            if (*v == '\0' || *end != '\0' || !(a.faultRate >= 0 && a.faultRate <= 1)) return false;
        } else if (opt == "--seed" && value(v)) {
            errno = 0;
            a.seed = std::strtoull(v, &end, 0);
            if (*v == '\0' || *end != '\0' || errno != 0) return false;
        } else if (opt == "--piece-bytes" && value(v)) {
            if (!parseCount(v, 1, 4096, a.pieceBytes)) return false;
        } else if (opt == "--latency-ms" && value(v)) {
            if (!parseCount(v, 0, 1000, a.latencyMs)) return false;
        } else if (opt == "--drop-write" && value(v)) {
            long n = 0;
            if (!parseCount(v, 1, 1000000000L, n)) return false;
            a.dropWrites.push_back(static_cast<uint64_t>(n));
        } else if (opt == "--no-save") {
            a.save = false;
        } else if (opt == "--wire-timing") {
            a.wireTiming = true;
        } else if (opt == "--print-path") {
            a.printPath = true;
        } else {
            return false;
        }
    }
    return true;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Args args;
    if (!parse(argc, argv, args)) {
        std::cerr << kUsage;
        return 2;
    }

    // Signals are taken by sigwait() below; blocked before the server's
    // thread exists so that it inherits the mask and never sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::ofstream logFile;
    if (!args.logFile.empty()) {
        logFile.open(args.logFile, std::ios::app);
        if (!logFile) {
            std::cerr << "tqm5-emulator: cannot open log " << args.logFile << ": "
                      << std::strerror(errno) << "\n";
            return 1;
        }
    }

    Emulator::Options emuOptions;
    emuOptions.faultRate = args.faultRate;
    emuOptions.seed = args.seed;
    PtyServer::Options serverOptions;
    serverOptions.wireTiming = args.wireTiming;
    serverOptions.linkPath = args.link;
    serverOptions.pieceBytes = static_cast<std::size_t>(args.pieceBytes);
    serverOptions.latency = std::chrono::milliseconds(args.latencyMs);

    try {
        PtyServer server(emuOptions, serverOptions);
        // An image that exists but cannot be loaded is never overwritten.
        if (!args.image.empty() && fileExists(args.image)) server.loadImage(args.image);
        if (!args.dropWrites.empty()) {
            server.withEmulator([&](Emulator& e) {
                for (uint64_t n : args.dropWrites) e.forceFault(n, tqm5::emu::FaultKind::NotStored);
            });
        }
        if (logFile.is_open()) {
            server.withEmulator([&](Emulator& e) {
                e.onLog = [&](const std::string& line) { logFile << line << std::endl; };
            });
        }
        server.start();

        std::string banner = "tqm5-emulator: radio on ";
        banner += server.slavePath();
        if (!args.link.empty()) banner += " (link " + args.link + ")";
        if (args.pieceBytes > 1 || args.latencyMs > 0) {
            banner += ", pieces of " + std::to_string(args.pieceBytes) + " bytes";
            if (args.latencyMs > 0) banner += ", latency timer " + std::to_string(args.latencyMs) + " ms";
        }
        if (args.faultRate > 0) {
            std::ostringstream f;
            f << ", fault rate " << args.faultRate << " seed " << args.seed;
            banner += f.str();
        }
        if (args.printPath) {
            std::cout << server.slavePath() << std::endl;
            std::cerr << banner << std::endl;
        } else {
            std::cout << banner << std::endl;
        }

        int sig = 0;
        while (sigwait(&stopSignals, &sig) != 0) {
        }
        server.stop();

        const auto stats = server.stats();
        std::cerr << "tqm5-emulator: " << strsignal(sig) << "; " << stats.exchanges
                  << " exchanges, " << stats.faults << " faults, " << stats.ignored
                  << " lines ignored\n";
        if (!args.image.empty() && args.save) {
            server.saveImage(args.image);
            std::cerr << "tqm5-emulator: image saved to " << args.image << "\n";
        }
        server.withEmulator([](Emulator& e) { e.onLog = nullptr; });
    } catch (const std::exception& e) {
        std::cerr << "tqm5-emulator: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
