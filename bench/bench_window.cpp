// The main window while many rows change: All Clear on a full grid and a
// full Memory Read from the emulator, with the grid view attached.
//   QT_QPA_PLATFORM=offscreen ./bench_window
#include <QApplication>
#include <QPushButton>

#include <chrono>
#include <cstdio>

#include "demo_window.h"

using namespace tqm5;

namespace {
template <typename F>
double millis(F f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DemoWindow demo;
    Document& doc = demo.doc;
    MainWindow& window = demo.window;
    QApplication::processEvents();

    auto fill = [&] {
        for (int r = 1; r < FirstBugRow; ++r) {
            doc.grid.setCell(r, ColFreq, "145.00000MHz");
            doc.grid.setCell(r, ColName, "NAME");
            doc.grid.attr(r).inUse = 1;
        }
        QApplication::processEvents();
    };
    fill();
    auto* allClear = window.findChild<QPushButton*>("ALL_Reset");
    const double clearMs = millis([&] {
        allClear->click();
        QApplication::processEvents();
    });
    const double readMs = millis([&] {
        window.memoryRead();
        QApplication::processEvents();
    });
    std::printf("All Clear of 1600 filled rows: %.1f ms\n", clearMs);
    std::printf("Full Memory Read into the window (no wire timing): %.1f ms\n", readMs);
    return 0;
}
