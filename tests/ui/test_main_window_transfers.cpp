// The main window against the emulated radio on a pseudo-terminal: the
// buttons, the busy guard, closing mid-transfer and the detail editor.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include "app/startup.h"
#include "channels/record_codec.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "serial/qt_serial_link.h"
#include "support/window_rig.h"
#include "ui/channel_editor.h"
#include "ui/main_window.h"

using namespace tqm5;

namespace {

struct Rig : test::WindowRig {
    std::unique_ptr<MainWindow> window;
    Rig() {
        window = std::make_unique<MainWindow>(doc, link, &host);
        window->show();
    }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // Runs `f` on the modal dialog once it is up.
    void onDialog(std::function<void(ChannelEditor*)> f) {
        QTimer::singleShot(0, [f] {
            auto* d = qobject_cast<ChannelEditor*>(QApplication::activeModalWidget());
            QVERIFY(d);
            f(d);
        });
    }
};

}  // namespace

class TestMainWindowTransfers : public QObject {
    Q_OBJECT
private slots:
    void readAndWriteFromTheButtons() {
        Rig r;
        r.click("READ_Botton");
        QCOMPARE(r.shown, (std::vector<std::string>{"Success| Finish"}));
        QVERIFY(r.doc.grid.inUse(1));
        QVERIFY(!r.doc.grid.cell(1, ColFreq).empty());
        QCOMPARE(r.window->findChild<QLineEdit*>("Progress")->text(), QString("0%"));
        QCOMPARE(r.doc.state.busy, int(Idle));
        QVERIFY(!r.link.isOpen());

        r.doc.grid.selectRow(5);
        r.doc.grid.setCell(5, ColFreq, "146.52000MHz");
        r.doc.grid.attr(5).inUse = 1;
        r.click("WRITE_Botton");
        QCOMPARE(r.shown.back(), std::string("Success| Finish"));
        const Record rec = encodeRecord(r.doc.grid, 5);
        QCOMPARE(r.radio.readMemory(addressOfRow(5), 64), Bytes(rec.begin(), rec.end()));
    }

    void clickDuringWriteDoesNothing() {
        Rig r;
        r.doc.origin.known = true;
        QTimer::singleShot(20, [&] { r.click("READ_Botton"); });
        r.click("WRITE_Botton");
        QCOMPARE(r.shown, (std::vector<std::string>{"Success| Finish"}));
        QCOMPARE(r.logged(" R "), 0);
        QVERIFY(r.logged(" W ") > 1000);
    }

    void closingDuringReadStopsIt() {
        Rig r;
        QTimer::singleShot(30, [&] { r.window->close(); });
        QCOMPARE(r.window->memoryRead(), TransferOutcome::Closed);
        QVERIFY(!r.window->isVisible());
        QVERIFY(!r.link.isOpen());
        QVERIFY(r.shown.empty());
        QVERIFY(r.radio.stats().exchanges < 1624);
        QVERIFY(r.doc.state.closing);
    }

    void editorOnDualPairAndSingleRow() {
        Rig r;
        // The sub half opens the pair from its main row.
        r.doc.grid.selectRow(1102);
        r.onDialog([](ChannelEditor* d) {
            QCOMPARE(d->findChild<QLabel*>("Label2")->text(), QString("Dual0(Main) "));
            QCOMPARE(d->findChild<QLabel*>("Label3")->text(), QString("Dual0(Sub) "));
            QCOMPARE(d->width(), 896);
            auto* f1 = d->findChild<QLineEdit*>("DETAIL_FREQ_1");
            auto* f2 = d->findChild<QLineEdit*>("DETAIL_FREQ_2");
            f1->clear();
            QTest::keyClicks(f1, "145");
            f2->clear();
            QTest::keyClicks(f2, "1");
            auto* g1 = d->findChild<QLineEdit*>("DETAIL_FREQ_1_2");
            g1->clear();
            QTest::keyClicks(g1, "2000");
            QTest::mouseClick(d->findChild<QPushButton*>("Command1_2[1]"), Qt::LeftButton);
            QTest::mouseClick(d->findChild<QPushButton*>("DETAIL_ENTER"), Qt::LeftButton);
        });
        QTest::keyClick(r.window->grid(), Qt::Key_Return);
        QCOMPARE(r.doc.grid.cell(1101, ColFreq), std::string("145.10000MHz"));
        QCOMPARE(QString::fromStdString(r.doc.grid.cell(1102, ColFreq)).left(4), QString("145."));
        QVERIFY(QString::fromStdString(r.doc.grid.cell(1102, ColName)).endsWith(":2~"));
        QVERIFY(QString::fromStdString(r.doc.grid.nameString(1101)).endsWith(QChar(0x2461)));
        QVERIFY(r.doc.grid.inUse(1101) && r.doc.grid.inUse(1102));
        QCOMPARE(r.doc.grid.row(), 1101);

        // A frequency the rules refuse leaves the row exactly as it was.
        r.doc.grid.selectRow(1101);
        const auto before = r.doc.grid.cell(1101, ColFreq);
        r.onDialog([](ChannelEditor* d) {
            auto* f1 = d->findChild<QLineEdit*>("DETAIL_FREQ_1");
            f1->clear();
            QTest::keyClicks(f1, "830");
            QTest::mouseClick(d->findChild<QPushButton*>("DETAIL_ENTER"), Qt::LeftButton);
        });
        QTest::keyClick(r.window->grid(), Qt::Key_Return);
        QCOMPARE(r.doc.grid.cell(1101, ColFreq), before);
        QVERIFY(r.doc.grid.inUse(1101));

        // Bug rows cannot be edited: no dialog comes up.
        r.doc.grid.selectRow(1610);
        QTest::keyClick(r.window->grid(), Qt::Key_Return);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Memory Write asks before it overwrites the radio with channels that
    // never came from it; Cancel sends nothing.
    void writeGuards() {
        Rig r;
        r.answer = Host::Choice::Cancel;
        QCOMPARE(r.window->memoryWrite(), TransferOutcome::Ignored);
        QCOMPARE(r.window->oneMemoryWrite(), TransferOutcome::Ignored);
        QCOMPARE(r.shown.size(), size_t(2));
        QVERIFY(r.shown[0].find("not read from the radio") != std::string::npos);
        QVERIFY(r.shown[0].ends_with("|Caution"));
        QCOMPARE(r.radio.stats().exchanges, uint64_t(0));

        // A read that stops at row 812 names the last row it read.
        r.radio.withEmulator([](emu::Emulator& e) {
            for (uint64_t x = 813; x < 813 + 30; ++x) e.forceFault(x, emu::FaultKind::BrokenTail);
        });
        r.answer = Host::Choice::Ok;
        QCOMPARE(r.window->memoryRead(), TransferOutcome::Error);
        r.shown.clear();
        r.answer = Host::Choice::Cancel;
        QCOMPARE(r.window->memoryWrite(), TransferOutcome::Ignored);
        QCOMPARE(r.shown.size(), size_t(1));
        QVERIFY(r.shown[0].find("stopped after row 811 (Bank008-10)") != std::string::npos);

        // A complete read makes the grid the radio's: no question, and a
        // failed read before it does not silence the write's "Success".
        r.answer = Host::Choice::Ok;
        QCOMPARE(r.window->memoryRead(), TransferOutcome::Success);
        r.shown.clear();
        QCOMPARE(r.window->memoryWrite(), TransferOutcome::Success);
        QCOMPARE(r.shown, (std::vector<std::string>{"Success| Finish"}));

        // A read that fails at the identification read no row at all, even
        // after a read that completed.
        r.radio.withEmulator([](emu::Emulator& e) { e.failIdentifications(3, emu::FaultKind::NoAnswer); });
        QCOMPARE(r.window->memoryRead(), TransferOutcome::Error);
        r.shown.clear();
        r.answer = Host::Choice::Cancel;
        QCOMPARE(r.window->memoryWrite(), TransferOutcome::Ignored);
        QCOMPARE(r.shown.size(), size_t(1));
        QVERIFY(r.shown[0].find("stopped before row 1") != std::string::npos);
    }

    // Every other write asks too while what it sends is only the program's
    // start-up values: Cancel sends nothing, OK writes, and what was written
    // (or read) asks no more.
    void everyPageWriteAsksOnAFreshStart() {
        struct Case {
            const char* control;  // a button, or the Write All menu item
            const char* names;    // what the question lists
        };
        const Case cases[] = {{"WRITE_BANK", "bank layout."},
                              {"WRITE_ONE_TOUCH", "one-touch keys."},
                              {"TITLE_WRITE", "opening title."},
                              {"SETTING_WRITE", "settings, DTMF memories."},
                              {"Set_Mode_Write", "settings, DTMF memories."},
                              {"WRITE_DTMF", "DTMF memories."},
                              {"GROUP_WRITE", "bank-link groups."},
                              {"ALL_WRITE", "channels, bank layout, one-touch keys, opening title, settings, DTMF "
                                            "memories, bank-link groups."}};
        for (const Case& c : cases) {
            Rig r;
            const auto press = [&] {
                if (std::string(c.control) == "GROUP_WRITE") return r.window->commands().groups.write();
                if (std::string(c.control) == "ALL_WRITE") return r.window->writeAll();
                r.button(c.control)->click();
                return TransferOutcome::Success;
            };
            r.answer = Host::Choice::Cancel;
            press();
            QCOMPARE(r.shown.size(), size_t(1));
            QVERIFY2(r.shown[0].ends_with(std::string(c.names) + " Write them over what the radio holds?|Caution"),
                     r.shown[0].c_str());
            QCOMPARE(r.radio.stats().exchanges, uint64_t(0));
            if (std::string(c.control) == "ALL_WRITE") continue;  // a full write is long; Read All covers it
            r.answer = Host::Choice::Ok;
            r.shown.clear();
            press();
            QVERIFY(r.radio.stats().exchanges > 0);
            r.shown.clear();
            press();
            QVERIFY2(r.shown.size() == 1 && r.shown[0].find("|Caution") == std::string::npos, c.control);
        }
    }

    // Stop (the button or Escape) ends a read as a failed read ends, the
    // rows read so far named by the write guard; a write asks first, and
    // Cancel lets it finish.
    void stopEndsATransfer() {
        for (bool escape : {false, true}) {
            Rig r;
            r.window->activateWindow();
            // Stopped once some rows arrived, however slow the machine is.
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                if (r.doc.grid.cell(1, ColFreq).empty() && r.window->findChild<QProgressBar*>("ProgressBar1")->value() < 2)
                    return;
                poll.stop();
                QVERIFY(r.button("StopButton")->isEnabled());
                if (escape) QTest::keyClick(r.window.get(), Qt::Key_Escape);
                else r.click("StopButton");
            });
            poll.start(5);
            QCOMPARE(r.window->memoryRead(), TransferOutcome::Stopped);
            QCOMPARE(r.shown, (std::vector<std::string>{"Stopped| Stop"}));
            QVERIFY(r.button("READ_Botton")->isEnabled());
            QVERIFY(!r.button("StopButton")->isEnabled());
            QVERIFY(!r.link.isOpen());
            const int stopped = r.doc.origin.readStoppedAfter;
            QVERIFY(stopped > 0 && stopped < 1000);
            r.shown.clear();
            r.answer = Host::Choice::Cancel;
            QCOMPARE(r.window->memoryWrite(), TransferOutcome::Ignored);
            QVERIFY(r.shown.at(0).find("stopped after row " + std::to_string(stopped)) != std::string::npos);
        }
        for (Host::Choice choice : {Host::Choice::Cancel, Host::Choice::Ok}) {
            Rig r;
            r.doc.origin.known = true;
            r.answer = choice;
            QTimer::singleShot(60, [&] { r.click("StopButton"); });
            const TransferOutcome outcome = r.window->memoryWrite();
            QVERIFY(r.shown.at(0).find("Stop the write?") != std::string::npos);
            const bool finished = choice == Host::Choice::Cancel;
            QCOMPARE(outcome, finished ? TransferOutcome::Success : TransferOutcome::Stopped);
            QCOMPARE(r.shown.back(), std::string(finished ? "Success| Finish" : "Stopped| Stop"));
            QCOMPARE(r.logged(" W 00EB5"), finished ? 1 : 0);  // the pass-channel index comes last
            QVERIFY(!r.doc.state.busyNow() && !r.doc.state.stopping);
        }
        // With nothing running, Stop and Escape do nothing.
        Rig r;
        QVERIFY(!r.window->commands().runner.requestStop());
        QVERIFY(!r.button("StopButton")->isEnabled());
    }

    // Closing during a write asks; Cancel lets the write finish, OK stops it.
    void closingDuringWriteAsks() {
        for (Host::Choice choice : {Host::Choice::Cancel, Host::Choice::Ok}) {
            Rig r;
            r.doc.origin.known = true;
            r.answer = choice;
            QTimer::singleShot(40, [&] { r.window->close(); });
            const TransferOutcome outcome = r.window->memoryWrite();
            QVERIFY(!r.shown.empty());
            QVERIFY(r.shown[0].find("A write to the radio is running") != std::string::npos);
            if (choice == Host::Choice::Cancel) {
                QCOMPARE(outcome, TransferOutcome::Success);
                QCOMPARE(r.shown.back(), std::string("Success| Finish"));
                QVERIFY(r.logged(" W 00EB5") == 1);  // the index was written too
            } else {
                QCOMPARE(outcome, TransferOutcome::Closed);
                QVERIFY(!r.window->isVisible());
                QVERIFY(!r.link.isOpen());
            }
        }
        // Edits neither written nor saved: closing asks; Cancel keeps the window.
        Rig r;
        r.answer = Host::Choice::Cancel;
        r.doc.grid.selectRow(10);
        r.window->commands().channels.deleteRows();
        r.window->close();
        QVERIFY(r.window->isVisible());
        QVERIFY(r.shown.back().find("neither written to the radio nor saved") != std::string::npos);
    }

    // While a transfer runs, what ignores input looks disabled; every end
    // brings it back.
    void controlsLookDisabledDuringATransfer() {
        const char* const names[] = {"READ_Botton", "WRITE_Botton", "MEM_ONE_READ", "MEM_ONE_WRITE",
                                     "Clear_Botton", "ALL_Reset", "LIST_SET[0]", "LIST_SET[1]", "MSFlexGrid1",
                                     "TabStrip1"};
        enum End { Success, Error, PortError };
        for (End end : {Success, Error, PortError}) {
            Rig r;
            if (end == Error)
                r.radio.withEmulator([](emu::Emulator& e) { e.failIdentifications(3, emu::FaultKind::BrokenTail); });
            if (end == PortError) r.link.bindDevice(1, "/dev/tqm5-no-such-port");
            bool checked = false;
            r.host.sink = [&](const std::string& text, const std::string& title, Host::Buttons) {
                r.shown.push_back(text + "|" + title);
                return Host::Choice::Ok;
            };
            QTimer::singleShot(15, [&] {
                if (!r.doc.state.busyNow()) return;
                for (const char* n : names) QVERIFY2(!r.window->findChild<QWidget*>(n)->isEnabled(), n);
                for (const char* m : {"FILE", "MenuComPort", "Tusin_Botton", "MenuHelp"})
                    QVERIFY(!r.window->findChild<QMenu*>(m)->menuAction()->isEnabled());
                checked = true;
            });
            r.window->memoryRead();
            QVERIFY(end != Success || checked);
            for (const char* n : names) QVERIFY2(r.window->findChild<QWidget*>(n)->isEnabled(), n);
            for (const char* m : {"FILE", "MenuComPort", "Tusin_Botton", "MenuHelp"})
                QVERIFY(r.window->findChild<QMenu*>(m)->menuAction()->isEnabled());
            QCOMPARE(r.shown.back(), std::string(end == Success ? "Success| Finish"
                                                 : end == Error ? "Error| Error"
                                                                : "Port Error| Error"));
        }
    }
};

QTEST_MAIN(TestMainWindowTransfers)
#include "test_main_window_transfers.moc"
