// Renders the README's pictures: the Memory page after reading the demo
// radio, and the detail editor on a dual pair.
//   screenshots OUTPUT_FOLDER
#include <QApplication>
#include <QDir>
#include <QTimer>

#include "app/startup.h"
#include "channels/channel_transfers.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/qt_serial_link.h"

using namespace tqm5;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? argv[1] : ".";
    QDir().mkpath(out);
    QFont font = QApplication::font();
    font.setFamilies({font.family(), "Noto Sans CJK JP"});
    QApplication::setFont(font);

    emu::PtyServer radio;
    radio.loadImage(emu::DemoImage);
    radio.start();
    Document doc;
    startUp(doc);
    QtSerialLink link;
    link.bindDevice(1, QString::fromStdString(radio.devicePath()));
    Form1 window(doc, link);
    window.messageSink = [](const std::string&, const std::string&, Host::Buttons) { return Host::Choice::Ok; };
    window.resize(1180, 760);
    window.show();
    if (window.memoryRead() != TransferOutcome::Success) return 1;
    doc.grid.setSelection(1101, 1101);
    doc.grid.selectRow(1101);
    QApplication::processEvents();
    window.grab().save(out + "/memory-page.png");

    doc.grid.selectRow(1);
    QApplication::processEvents();
    window.grab().save(out + "/main-window.png");

    Form2 editor(doc.grid, 1101, &window);
    editor.show();
    QApplication::processEvents();
    editor.grab().save(out + "/detail-editor-dual.png");
    return 0;
}
