#pragma once
// What a window test stands on: the demo radio on a pseudo-terminal, a
// document started as the program starts it, the serial link bound to the
// radio as port 1, and a host that records every message box ("text|title")
// and answers questions with `answer`.
#include <string>
#include <vector>

#include "app/startup.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "serial/qt_serial_link.h"
#include "support/recording_widget_host.h"

namespace tqm5::test {

struct WindowRig {
    emu::PtyServer radio;
    Document doc;
    QtSerialLink link;
    RecordingWidgetHost host;
    std::vector<std::string> shown;
    Host::Choice answer = Host::Choice::Ok;  // to questions

    WindowRig() {
        radio.loadImage(emu::DemoImage);
        radio.start();
        startUp(doc);
        link.bindDevice(1, QString::fromStdString(radio.devicePath()));
        host.sink = [this](const std::string& text, const std::string& title, Host::Buttons b) {
            shown.push_back(text + "|" + title);
            return b == Host::Buttons::Ok ? Host::Choice::Ok : answer;
        };
    }
    // How many commands the radio logged that contain `what`.
    int logged(const std::string& what) {
        int n = 0;
        for (const auto& l : radio.log()) n += l.find(what) != std::string::npos;
        return n;
    }
};

}  // namespace tqm5::test
