// The File menu: Save, Open, Export and Import from the window, with the
// dialogs answered by a test hook.
#include <QAction>
#include <QTabBar>
#include <QLineEdit>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/startup.h"
#include "serial/qt_serial_link.h"
#include "support/recording_widget_host.h"
#include "ui/file_dialogs.h"
#include "ui/main_window.h"

using namespace tqm5;

namespace {

struct Window {
    Document doc;
    QtSerialLink link;
    test::RecordingWidgetHost host;
    std::unique_ptr<MainWindow> window;
    std::vector<std::pair<std::string, std::string>> shown;
    std::vector<FileDialogKind> asked;
    QString answer;
    Host::Choice reply = Host::Choice::Ok;  // to questions
    Window() {
        startUp(doc);
        host.sink = [this](const std::string& t, const std::string& ti, Host::Buttons) {
            shown.emplace_back(t, ti);
            return reply;
        };
        fileDialogOverride() = [this](FileDialogKind k) {
            asked.push_back(k);
            return answer;
        };
        window = std::make_unique<MainWindow>(doc, link, &host);
        window->show();
    }
    ~Window() { fileDialogOverride() = nullptr; }
    void trigger(const char* name, const QString& path) {
        answer = path;
        QAction* a = window->findChild<QAction*>(name);
        QVERIFY(a && a->isEnabled());
        a->trigger();
    }
    QString cell(int row, int col) { return window->grid()->model()->index(row - 1, col - 1).data().toString(); }
    // A file dropped on the window, as a file manager drops it.
    void drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &drop);
        QCoreApplication::processEvents();
    }
};

QByteArray slurp(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestFiles : public QObject {
    Q_OBJECT
private slots:
    void saveAndOpenFromTheMenu() {
        QTemporaryDir dir;
        const QString path = dir.filePath("mine.M5");
        Window w;
        w.doc.grid.setCell(5, ColFreq, "145.00000MHz");
        w.doc.grid.setCell(5, ColName, "Saved");
        w.doc.grid.attr(5).inUse = 1;
        w.doc.markEdited(5, 5);
        w.trigger("TEST_CLICK", path);
        QCOMPARE(w.asked.back(), FileDialogKind::SaveMemoryFile);
        QCOMPARE(w.shown.back(), (std::pair<std::string, std::string>{"Save File", "Finish"}));
        QVERIFY(!w.doc.hasUnsavedEdits());  // closing asks nothing

        Window other;
        QVERIFY(!other.doc.origin.known);
        other.trigger("ReadFile", path);
        QCOMPARE(other.shown.back(), (std::pair<std::string, std::string>{"Read File", "Finish"}));
        QCOMPARE(other.cell(5, ColName), QString("Saved"));
        QVERIFY(other.doc.origin.known);  // Memory Write asks no question

        // Cancel: nothing happens.
        const std::size_t before = other.shown.size();
        other.trigger("ReadFile", QString());
        other.trigger("TEST_CLICK", QString());
        QCOMPARE(other.shown.size(), before);
    }

    void exportAndImportFromTheMenu() {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.CSV");
        Window w;
        w.doc.grid.setCell(5, ColFreq, "145.00000MHz");
        for (int c = ColMode; c <= ColOffset; ++c) w.doc.grid.setCell(5, c, w.doc.grid.cell(CallVhfRow, c));
        w.doc.grid.setCell(5, ColName, "Listed");
        w.doc.grid.setNameString(4, "Listed");
        w.doc.grid.attr(5) = w.doc.grid.attr(CallVhfRow);
        w.trigger("FILE_EXPORT", path);
        QCOMPARE(w.shown.back(), (std::pair<std::string, std::string>{"Save File", "Finish"}));

        Window other;
        other.trigger("FILE_INPORT", path);
        QCOMPARE(other.asked.back(), FileDialogKind::ImportCsv);
        QCOMPARE(other.shown.back(), (std::pair<std::string, std::string>{"Inport CSV File", " Finish"}));
        QCOMPARE(other.cell(5, ColName), QString("Listed"));
        QCOMPARE(other.cell(5, ColFreq), QString("145.00000MHz"));
        QVERIFY(other.doc.origin.known);

        // On the Bank page, right after a size was typed: the rows carry the
        // new layout's labels.
        w.window->findChild<QTabBar*>("TabStrip1")->setCurrentIndex(1);
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        auto* box = w.window->findChild<QLineEdit*>("Text1[0]");
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "99");
        w.doc.banks.setSize(1, 101);
        w.trigger("FILE_EXPORT", path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("\r\n\"Bank001-0\",") && text.contains("\r\n\"Bank001-100\","));
        QVERIFY(!text.contains("\"Bank000-99\""));
    }

    // A name typed without an extension is saved with its kind's, so Open
    // takes it; each kind of file remembers its own last folder.
    void savedNamesGetTheirExtensionAndFoldersAreRemembered() {
        QTemporaryDir dir;
        Window w;
        w.trigger("TEST_CLICK", dir.filePath("gui1"));
        QVERIFY(QFileInfo::exists(dir.filePath("gui1.M5")));
        QVERIFY(!QFileInfo::exists(dir.filePath("gui1")));
        w.trigger("FILE_EXPORT", dir.filePath("list"));
        QVERIFY(QFileInfo::exists(dir.filePath("list.CSV")));
        w.trigger("ReadFile", dir.filePath("gui1.M5"));
        QCOMPARE(w.shown.back(), (std::pair<std::string, std::string>{"Read File", "Finish"}));

        QStandardPaths::setTestModeEnabled(true);
        QTemporaryDir other;
        rememberFolder(FileDialogKind::ExportCsv, other.filePath("x.CSV"));
        rememberFolder(FileDialogKind::SaveMemoryFile, dir.filePath("y.M5"));
        QCOMPARE(lastFolder(FileDialogKind::OpenMemoryFile), QFileInfo(dir.path()).absoluteFilePath());
        QCOMPARE(lastFolder(FileDialogKind::ImportCsv), QFileInfo(other.path()).absoluteFilePath());
        QStandardPaths::setTestModeEnabled(false);
    }

    void commonCsvAndPdfFromTheMenu() {
        QTemporaryDir dir;
        Window w;
        w.trigger("ImportCommonCsv", TQM5_TEST_DATA "/common.csv");
        QCOMPARE(w.asked.back(), FileDialogKind::ImportCommonCsv);
        QCOMPARE(w.shown[0], (std::pair<std::string, std::string>{"7 channels imported into Bank000-0 to Bank000-6.", "Finish"}));
        QCOMPARE(w.cell(7, ColName), QString("ハム"));
        w.doc.grid.setSelection(1, 7);
        w.trigger("ExportCommonCsv", dir.filePath("out"));
        QCOMPARE(slurp(dir.filePath("out.csv")).replace("\r\n", "\n"), slurp(TQM5_TEST_DATA "/common-exported.csv"));
        // The import is one step to undo and redo.
        QVERIFY(w.window->commands().channels.undo());
        QVERIFY(!w.doc.grid.inUse(7));
        QVERIFY(w.window->commands().channels.redo());
        QCOMPARE(w.cell(7, ColName), QString("ハム"));

        // Printed: one page for each of banks 0 and 1, the priority and
        // the call channels; the names in the Japanese font.
        w.doc.grid.setCell(102, ColFreq, "433.00000MHz");
        w.doc.grid.setCell(102, ColName, "ＪＡ１局");
        w.doc.grid.attr(102).inUse = 1;
        w.doc.grid.setCell(FirstPrioRow + 4, ColFreq, "145.20000MHz");
        w.doc.grid.setCell(FirstPrioRow + 4, ColName, "Prio four");
        w.doc.grid.attr(FirstPrioRow + 4).inUse = 1;
        w.doc.grid.selectRow(3);
        w.trigger("ExportPdf", dir.filePath("list"));
        QCOMPARE(w.asked.back(), FileDialogKind::ExportPdf);
        QCOMPARE(w.shown.back(), (std::pair<std::string, std::string>{"Save File", "Finish"}));
        const QByteArray pdf = slurp(dir.filePath("list.pdf"));
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pdf.count("/Type /Page") - pdf.count("/Type /Pages"), 4);
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils, scripts/install-deps.sh) is needed to read the text");
        QProcess run;
        run.start(pdftotext, {"-layout", dir.filePath("list.pdf"), "-"});
        QVERIFY(run.waitForFinished(60000));
        const QString text = QString::fromUtf8(run.readAllStandardOutput());
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 4);
        const QString date = QDate::currentDate().toString(Qt::ISODate);
        const std::vector<std::vector<QString>> expected{
            {"Bank 000", "Bank000-6", "ハム", "Rpt Minus", "145.65000MHz", "Page 1 of 4"},
            {"Bank 001", "Bank001-1", "ＪＡ１局", "433.00000MHz", "Page 2 of 4"},
            {"Priority channels", "PRIO - 4", "Prio four", "Page 3 of 4"},
            {"Call channels", "CALL-1.2", "1295.00000MHz", "Page 4 of 4"}};
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(pages[i].contains("TQ-M5 channel list") && pages[i].contains(date), qPrintable(pages[i]));
            for (const QString& t : expected[static_cast<std::size_t>(i)]) QVERIFY2(pages[i].contains(t), qPrintable(t + " in " + pages[i]));
        }
    }

    // A file dropped on the window opens after the unsaved-edits question;
    // one named on the command line opens by its extension in any case.
    void dropAndCommandLineOpen() {
        QTemporaryDir dir;
        Window w;
        w.doc.grid.setCell(5, ColFreq, "145.00000MHz");
        w.doc.grid.setCell(5, ColName, "Saved");
        w.doc.grid.attr(5).inUse = 1;
        w.trigger("TEST_CLICK", dir.filePath("mine.m5"));
        w.doc.grid.setCell(5, ColName, "Edited");
        w.doc.markEdited(5, 5);
        w.reply = Host::Choice::Cancel;
        w.drop(dir.filePath("mine.m5"));
        QCOMPARE(w.shown.back().first, "Some channels were edited but neither written to the radio nor saved. Open " +
                                           QFile::encodeName(dir.filePath("mine.m5")).toStdString() +
                                           " and lose these edits?");
        QCOMPARE(w.shown.back().second, std::string("Caution"));
        QCOMPARE(w.doc.grid.cell(5, ColName), std::string("Edited"));
        w.reply = Host::Choice::Ok;
        w.drop(dir.filePath("mine.m5"));
        QCOMPARE(w.shown.back(), (std::pair<std::string, std::string>{"Read File", "Finish"}));
        QCOMPARE(w.cell(5, ColName), QString("Saved"));

        Window fresh;
        QVERIFY(fresh.window->openFile(TQM5_TEST_DATA "/common.csv"));
        QCOMPARE(fresh.cell(1, ColName), QString("Simplex"));
        QVERIFY(fresh.window->openFile(dir.filePath("mine.m5")));
        QCOMPARE(fresh.cell(5, ColName), QString("Saved"));
        QVERIFY(!fresh.window->openFile(dir.filePath("notes.txt")));
        QVERIFY(fresh.shown.back().first.find("none of them") != std::string::npos);
    }

    void nothingWhileATransferRuns() {
        Window w;
        w.doc.state.busy = BusyMemoryRead;
        for (const char* name : {"ReadFile", "TEST_CLICK", "FILE_INPORT", "FILE_EXPORT", "ImportCommonCsv",
                                 "ExportCommonCsv", "ExportPdf"})
            w.window->findChild<QAction*>(name)->trigger();
        QVERIFY(w.asked.empty());
        QVERIFY(w.shown.empty());
        w.doc.state.busy = Idle;
    }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"
