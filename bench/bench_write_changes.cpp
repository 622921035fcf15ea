// Writing only what changed, resuming a cut write and programming eight
// radios at once, against the emulator at 57600 baud with wire timing and
// answers handed over in 16-byte pieces:
//   - Write Changes after five cleared channels (check, write, read-back)
//   - Write Changes after one changed setting
//   - a full write cut at half way, then resumed: its time against the pure
//     wire time of the exchanges the resume made (check, rest, read-back)
//   - `tqm5 restore` of the whole radio onto one radio, then onto eight at
//     once: the ratio of the two times
//   ./bench_write_changes [--no-fleet]
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/radio_backup.h"
#include "app/startup.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "files/radio_image.h"
#include "serial/qt_serial_link.h"
#include "wire_time.h"

using namespace tqm5;
using Clock = std::chrono::steady_clock;

namespace {

struct QuietHost : Host {
    Choice message(const std::string& text, const std::string&, Buttons) override {
        last = text;
        return Choice::Ok;
    }
    void processEvents() override { QCoreApplication::processEvents(); }
    void setProgressMax(int) override {}
    void setProgressValue(int) override {}
    void setProgressText(const std::string&) override {}
    void enableTransferControls() override {}
    std::string last;
};

emu::PtyServer::Options wired() {
    emu::PtyServer::Options o;
    o.wireTiming = true;
    o.pieceBytes = 16;
    return o;
}

template <typename F>
double seconds(F&& f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool fleet = !(argc > 1 && std::string(argv[1]) == "--no-fleet");
    const auto dir = std::filesystem::temp_directory_path() / "tqm5-bench-changes";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);

    emu::PtyServer radio(emu::Emulator::Options{}, wired());
    radio.loadImage(emu::DemoImage);
    std::mutex m;
    double wire = 0;
    int writes = 0;
    radio.withEmulator([&](emu::Emulator& e) {
        e.onLog = [&](const std::string& line) {
            std::lock_guard<std::mutex> lock(m);
            wire += bench::wireSecondsOf(line);
            writes += line.find(" W ") != std::string::npos;
        };
    });
    radio.start();
    const auto resetCount = [&] {
        std::lock_guard<std::mutex> lock(m);
        wire = 0;
        writes = 0;
    };

    Document doc;
    startUp(doc);
    QtSerialLink link;
    link.bindDevice(1, QString::fromStdString(radio.devicePath()));
    QuietHost host;
    Commands commands(doc, link, host);
    PlanAllData steps(commands);
    std::printf("at 57600 baud, 16-byte pieces (the demo radio)\n");
    const double read = seconds([&] { commands.allData.readAll(steps); });
    std::printf("Read All                        %7.2f s\n", read);

    // Five channels the radio holds, far apart, cleared one by one.
    std::vector<int> held;
    for (int row = 1; row <= 1000; ++row)
        if (doc.grid.inUse(row)) held.push_back(row);
    for (int i = 0; i < 5 && !held.empty(); ++i) {
        const int row = held[held.size() * std::size_t(i) / 5];
        doc.grid.setSelection(row, row);
        commands.channels.clearRows();
    }
    resetCount();
    TransferOutcome out{};
    const double five = seconds([&] { out = commands.allData.writeChanges(); });
    std::printf("Write Changes, 5 channels       %7.2f s (%d blocks written, %s; target 1.5 s)\n", five, writes,
                out == TransferOutcome::Success ? "ok" : host.last.c_str());

    commands.settings.select(0, doc.setMode.position(0) == 0 ? 1 : 0);
    resetCount();
    const double one = seconds([&] { out = commands.allData.writeChanges(); });
    std::printf("Write Changes, 1 setting        %7.2f s (%d blocks written, %s; target 0.5 s)\n", one, writes,
                out == TransferOutcome::Success ? "ok" : host.last.c_str());

    // A whole-radio write cut half way, then resumed.
    commands.runner.keepImagesOnDisk = true;
    commands.allData.offerResumeFirst = false;
    commands.runner.attemptsPerBlock = 1;
    const RadioImage image = doc.radio;
    resetCount();
    double fullWire = 0;
    radio.withEmulator([&](emu::Emulator& e) {
        e.onLog = [&, count = 0](const std::string& line) mutable {
            std::lock_guard<std::mutex> lock(m);
            fullWire += bench::wireSecondsOf(line);
            if (line.find(" W ") != std::string::npos && ++count == 850) e.failNext(1000000);
        };
    });
    commands.allData.writeImage(image, false, false);
    radio.withEmulator([&](emu::Emulator& e) {
        e.clearForcedFaults();
        e.onLog = [&](const std::string& line) {
            std::lock_guard<std::mutex> lock(m);
            wire += bench::wireSecondsOf(line);
            writes += line.find(" W ") != std::string::npos;
        };
    });
    resetCount();
    const double resumed = seconds([&] { out = commands.allData.resumeWrite(); });
    std::printf("resume after a cut at 850 blocks %6.2f s for %.2f s of wire time (check, %d blocks, read-back): "
                "ratio %.3f (target 1.1) %s\n",
                resumed, wire, writes, resumed / wire, out == TransferOutcome::Success ? "ok" : host.last.c_str());

    if (fleet) {
        const std::string file = (dir / "radio.m5img").string();
        if (!saveImageFile(file, image)) return std::fprintf(stderr, "cannot save %s\n", file.c_str()), 1;
        std::vector<std::unique_ptr<emu::PtyServer>> radios;
        for (int i = 0; i < 8; ++i) {
            radios.push_back(std::make_unique<emu::PtyServer>(emu::Emulator::Options{}, wired()));
            radios.back()->loadImage(emu::DemoImage);
            radios.back()->start();
        }
        const auto restore = [&](int count) {
            std::string cmd = std::string(TQM5_CLI_BINARY) + " --quiet restore " + file;
            for (int i = 0; i < count; ++i) cmd += " --device " + radios[std::size_t(i)]->devicePath();
            int status = 0;
            const double s = seconds([&] { status = std::system((cmd + " >/dev/null 2>&1").c_str()); });
            return std::make_pair(s, status);
        };
        const auto single = restore(1);
        const auto eight = restore(8);
        std::printf("tqm5 restore, 1 radio           %7.2f s %s\n", single.first, single.second == 0 ? "ok" : "FAILED");
        std::printf("tqm5 restore, 8 radios at once  %7.2f s %s: ratio %.3f (target 1.15)\n", eight.first,
                    eight.second == 0 ? "ok" : "FAILED", eight.first / single.first);
        for (auto& r : radios) r->stop();
    }
    radio.stop();
    std::filesystem::remove_all(dir);
    return 0;
}
