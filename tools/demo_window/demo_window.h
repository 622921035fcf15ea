#pragma once
// The main window talking to the demo radio on a pseudo-terminal, messages
// answered silently: what the screenshot tool and the window benchmark run.
#include "app/startup.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "ui/form1.h"
#include "serial/qt_serial_link.h"

namespace tqm5 {

struct DemoWindow {
    emu::PtyServer radio;
    Document doc;
    QtSerialLink link;
    Form1 window{doc, link};

    DemoWindow() {
        radio.loadImage(emu::DemoImage);
        radio.start();
        startUp(doc);
        link.bindDevice(1, QString::fromStdString(radio.devicePath()));
        window.messageSink = [](const std::string&, const std::string&, Host::Buttons) { return Host::Choice::Ok; };
        window.resize(1180, 760);
        window.show();
    }
};

}  // namespace tqm5
