// The File menu: Save, Open, Export and Import from the window, with the
// dialogs answered by a test hook.
#include <QAction>
#include <QTabBar>
#include <QLineEdit>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/startup.h"
#include "serial/qt_serial_link.h"
#include "support/recording_widget_host.h"
#include "ui/file_dialogs.h"
#include "ui/form1.h"

using namespace tqm5;

namespace {

struct Window {
    Document doc;
    QtSerialLink link;
    test::RecordingWidgetHost host;
    std::unique_ptr<Form1> form;
    std::vector<std::pair<std::string, std::string>> shown;
    std::vector<FileDialogKind> asked;
    QString answer;
    Window() {
        startUp(doc);
        host.sink = [this](const std::string& t, const std::string& ti, Host::Buttons) {
            shown.emplace_back(t, ti);
            return Host::Choice::Ok;
        };
        fileDialogOverride() = [this](FileDialogKind k) {
            asked.push_back(k);
            return answer;
        };
        form = std::make_unique<Form1>(doc, link, &host);
        form->show();
    }
    ~Window() { fileDialogOverride() = nullptr; }
    void trigger(const char* name, const QString& path) {
        answer = path;
        QAction* a = form->findChild<QAction*>(name);
        QVERIFY(a && a->isEnabled());
        a->trigger();
    }
    QString cell(int row, int col) { return form->grid()->model()->index(row - 1, col - 1).data().toString(); }
};

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
        w.form->findChild<QTabBar*>("TabStrip1")->setCurrentIndex(1);
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        auto* box = w.form->findChild<QLineEdit*>("Text1[0]");
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

    void nothingWhileATransferRuns() {
        Window w;
        w.doc.state.busy = BusyMemoryRead;
        for (const char* name : {"ReadFile", "TEST_CLICK", "FILE_INPORT", "FILE_EXPORT"})
            w.form->findChild<QAction*>(name)->trigger();
        QVERIFY(w.asked.empty());
        QVERIFY(w.shown.empty());
        w.doc.state.busy = Idle;
    }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"
