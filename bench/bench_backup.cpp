// `tqm5 backup` then `tqm5 restore --verify`, run as programs against the
// demo radio at 57600 baud with wire timing: seconds, and the ratio to the
// pure wire time of the same exchanges (commands and answers).
//   ./bench_backup [piece-bytes]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "wire_time.h"

using namespace tqm5;

int main(int argc, char** argv) {
    emu::PtyServer::Options options;
    options.wireTiming = true;
    options.pieceBytes = argc > 1 ? static_cast<std::size_t>(std::atoi(argv[1])) : 1;
    emu::PtyServer radio(emu::Emulator::Options{}, options);
    radio.loadImage(emu::DemoImage);
    std::mutex m;
    double wire = 0;
    radio.withEmulator([&](emu::Emulator& e) {
        e.onLog = [&](const std::string& line) {
            std::lock_guard<std::mutex> lock(m);
            wire += bench::wireSecondsOf(line);
        };
    });
    radio.start();
    const auto dir = std::filesystem::temp_directory_path() / "tqm5-bench-backup";
    std::filesystem::create_directories(dir);
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    const std::string image = (dir / "bench.m5img").string();
    const std::string tqm5 = std::string(TQM5_CLI_BINARY) + " --quiet --device " + radio.devicePath() + " ";

    double totalSeconds = 0, totalWire = 0;
    auto timed = [&](const char* what, const std::string& args) {
        {
            std::lock_guard<std::mutex> lock(m);
            wire = 0;
        }
        const auto t0 = std::chrono::steady_clock::now();
        const int status = std::system((tqm5 + args + " 2>/dev/null").c_str());
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::lock_guard<std::mutex> lock(m);
        totalSeconds += s;
        totalWire += wire;
        std::printf("%-22s %s: %7.2f s for %7.2f s of wire time, ratio %.4f\n", what, status == 0 ? "ok" : "FAILED",
                    s, wire, s / wire);
    };
    std::printf("tqm5 at 57600 baud, answers in pieces of %zu bytes (the demo radio)\n", options.pieceBytes);
    timed("backup", "backup -o " + image);
    timed("restore --verify", "restore --verify " + image);
    std::printf("%-22s    : %7.2f s for %7.2f s of wire time, ratio %.4f\n", "both", totalSeconds, totalWire,
                totalSeconds / totalWire);
    radio.stop();
    std::filesystem::remove_all(dir);
    return 0;
}
