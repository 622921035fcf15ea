// tqm5writer: the TQ-M5 programming program.
//   tqm5writer [--device PATH]
// --device binds the selected port (COM1 at start) to PATH for this run, for
// example a /dev/serial/by-id link or the emulator's pseudo-terminal.
#include <QApplication>
#include <QCommandLineParser>
#include <QFont>

#include "app/document.h"
#include "app/startup.h"
#include "ui/form1.h"
#include "serial/qt_serial_link.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("tqm5writer");
    QApplication::setApplicationVersion("1.1");
    QCommandLineParser args;
    args.setApplicationDescription("TQM5 Writer: programming software for the TQ-M5 handheld");
    args.addHelpOption();
    QCommandLineOption device("device", "Use the serial device PATH for the selected port.", "PATH");
    args.addOption(device);
    args.process(app);

    QFont font = QApplication::font();
    font.setFamilies({font.family(), "Noto Sans CJK JP"});
    QApplication::setFont(font);

    tqm5::Document doc;
    tqm5::startUp(doc);
    tqm5::QtSerialLink link;
    if (args.isSet(device)) link.bindDevice(doc.port, args.value(device));
    tqm5::Form1 window(doc, link);
    window.resize(1100, 720);
    window.show();
    return app.exec();
}
