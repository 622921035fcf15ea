#pragma once
// The main window talking to the demo radio on a pseudo-terminal, messages
// answered silently: what the screenshot tool and the window benchmark run.
#include "app/startup.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "ui/main_window.h"
#include "serial/qt_serial_link.h"

namespace tqm5 {

// Answers every message with OK and shows none.
struct SilentWindowHost : WidgetHost {
    Choice message(const std::string&, const std::string&, Buttons) override { return Choice::Ok; }
};

struct DemoWindow {
    emu::PtyServer radio;
    Document doc;
    QtSerialLink link;
    SilentWindowHost host;
    MainWindow window{doc, link, &host};

    DemoWindow() {
        radio.loadImage(emu::DemoImage);
        radio.start();
        startUp(doc);
        link.bindDevice(1, QString::fromStdString(radio.devicePath()));
        window.resize(1180, 760);
        window.show();
    }
};

}  // namespace tqm5
