// Read All and Write All from the main window against the demo radio at
// 57600 baud, answers handed over in 16-byte pieces as USB adapters do:
// seconds, and the ratio to the pure wire time of the same exchanges.
//   QT_QPA_PLATFORM=offscreen ./bench_all_data
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "app/startup.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "wire_time.h"
#include "serial/qt_serial_link.h"
#include "ui/main_window.h"
#include "demo_window.h"

using namespace tqm5;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    emu::PtyServer::Options options;
    options.wireTiming = true;
    options.pieceBytes = 16;
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
    Document doc;
    startUp(doc);
    QtSerialLink link;
    link.bindDevice(1, QString::fromStdString(radio.devicePath()));
    SilentWindowHost host;
    MainWindow window(doc, link, &host);
    window.show();
    QApplication::processEvents();

    auto timed = [&](const char* what, auto run) {
        {
            std::lock_guard<std::mutex> lock(m);
            wire = 0;
        }
        const auto t0 = std::chrono::steady_clock::now();
        const TransferOutcome out = run();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::lock_guard<std::mutex> lock(m);
        std::printf("%-10s %s: %.2f s for %.2f s of wire time, ratio %.4f\n", what,
                    out == TransferOutcome::Success ? "ok" : "FAILED", s, wire, s / wire);
    };
    std::printf("Read All and Write All at 57600 baud, 16-byte pieces (the demo radio)\n");
    timed("Read All", [&] { return window.readAll(); });
    timed("Write All", [&] { return window.writeAll(); });
    return 0;
}
