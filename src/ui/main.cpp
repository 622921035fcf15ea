// tqm5writer: the TQ-M5 programming program.
//   tqm5writer [--device PATH] [FILE]
// --device binds the selected port (COM1 at start) to PATH for this run, for
// example a /dev/serial/by-id link or the emulator's pseudo-terminal. FILE
// (a memory file, a radio image, a CSV file or a font file, told by its
// extension in any case) is opened once the window shows: what a file
// manager runs on a double-click.
// With TQM5_STARTUP_PROBE=1 in the environment the program prints one line
// ("painted" and the milliseconds since it started) once the main window has
// painted for the first time, and quits: what the start-up benchmark runs.
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

#include "app/document.h"
#include "app/file_commands.h"
#include "app/startup.h"
#include "files/config_file.h"
#include "serial/qt_serial_link.h"
#include "ui/main_window.h"

namespace {

// Reports the first paint of anything inside the window, then quits.
class FirstPaintProbe : public QObject {
public:
    FirstPaintProbe(QWidget* window, const QElapsedTimer& clock) : window_(window), clock_(clock) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            (watched == window_ || window_->isAncestorOf(static_cast<QWidget*>(watched)))) {
            seen_ = true;
            // The rest of this paint pass runs before the zero timer fires.
            QTimer::singleShot(0, [this] {
                std::printf("painted %lld ms\n", static_cast<long long>(clock_.elapsed()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget* window_;
    const QElapsedTimer& clock_;
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName("tqm5writer");
    QApplication::setApplicationVersion("1.1");
    QCommandLineParser args;
    args.setApplicationDescription("TQM5 Writer: programming software for the TQ-M5 handheld");
    args.addHelpOption();
    QCommandLineOption device("device", "Use the serial device PATH for the selected port.", "PATH");
    args.addOption(device);
    args.addPositionalArgument("file", "A memory file (.M5), radio image (.m5img), CSV file (.csv) or font file (.FM5) to open.",
                               "[FILE]");
    args.process(app);

    tqm5::useProgramFont();

    tqm5::Document doc;
    tqm5::startUp(doc);
    // The port chosen last time, from the program's folder or, where that
    // cannot be written, the user's configuration folder.
    const std::string config = tqm5::configFilePath(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(),
        QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).toStdString());
    tqm5::readConfiguration(doc, config);
    tqm5::QtSerialLink link;
    if (args.isSet(device)) link.bindDevice(doc.port, args.value(device));
    tqm5::MainWindow window(doc, link, nullptr, nullptr, tqm5::PageBuilding::AfterFirstPaint);
    window.commands().files.configPath = config;
    // What each radio held when last read or written, and the journal of a
    // cut write, go to the data folder (Write Changes, resuming).
    window.commands().runner.keepImagesOnDisk = true;
    FirstPaintProbe probe(&window, clock);
    if (qEnvironmentVariableIntValue("TQM5_STARTUP_PROBE") == 1) app.installEventFilter(&probe);
    window.show();
    if (const std::string problem = tqm5::startUpProblem(); !problem.empty())
        QTimer::singleShot(0, &window, [&window, problem] {
            window.host().message(problem, " Error", tqm5::Host::Buttons::Ok);
        });
    if (const QStringList files = args.positionalArguments(); !files.isEmpty()) {
        const QString path = files.first();
        QTimer::singleShot(0, &window, [&window, path] { window.openFile(path); });
    }
    return app.exec();
}
