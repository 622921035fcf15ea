// Read All and Write All from the main window against the demo radio on a
// pseudo-terminal: the chain of steps, the messages, and what reaches the
// radio.
#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>

#include "app/startup.h"
#include "emulator/demo_image.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "radio/memory_map.h"
#include "serial/qt_serial_link.h"
#include "support/random_radio.h"
#include "support/window_rig.h"
#include "ui/file_dialogs.h"
#include "ui/main_window.h"

using namespace tqm5;

namespace {

struct Rig : test::WindowRig {
    std::unique_ptr<MainWindow> window;
    Rig() {
        window = std::make_unique<MainWindow>(doc, link, &host);
        window->commands().runner.timeoutMs = 150;
        window->show();
    }
    // Exchange number of the first logged command containing `what`.
    uint64_t exchangeOf(const std::string& what) {
        for (const auto& l : radio.log())
            if (l.find(what) != std::string::npos) return std::stoull(l);
        return 0;
    }
};

}  // namespace

class TestAllData : public QObject {
    Q_OBJECT
private slots:
    // A full Read All then Write All gives the radio back exactly what it
    // held, in every region the program writes.
    void readAllThenWriteAllKeepsTheRadio() {
        Rig r;
        const Bytes before = r.radio.memory();
        QCOMPARE(r.window->readAll(), TransferOutcome::Success);
        QCOMPARE(r.shown, (std::vector<std::string>{"Success ALL DATA READ| Finish"}));
        QVERIFY(r.doc.glyphs.anyKnown());
        QCOMPARE(r.doc.banks.total(), 1000);
        r.shown.clear();
        r.radio.withEmulator([](emu::Emulator& e) { e.clearLog(); });
        QCOMPARE(r.window->writeAll(), TransferOutcome::Success);
        QCOMPARE(r.shown, (std::vector<std::string>{"Success| Finish"}));
        const Bytes after = r.radio.memory();
        for (std::size_t a = 0; a < before.size(); ++a)
            if (before[a] != after[a]) QFAIL(qPrintable(QString("byte %1 changed").arg(a, 5, 16, QChar('0'))));
        // The groups and all eight glyphs went out without a new identification.
        QCOMPARE(r.logged("W 00100"), 1);
        QCOMPARE(r.logged("W 010E0"), 1);
        QCOMPARE(r.logged(" I"), 5);  // memory, banks, one-touch, title, settings
    }

    // Random radios through the window: Read All and Save; then, in the same
    // window or after a fresh start (the file alone carries what no control
    // shows), Open and Write All give the radio back every byte but the two a
    // write always sets (settings byte 118 and the unused last byte of each
    // group record).
    void readAllSaveOpenWriteAllKeepEveryByte() {
        for (uint64_t seed : {4u, 5u}) {
            Rig r;
            r.radio.setMemory(test::RandomRadio(seed).memory());
            const Bytes before = r.radio.memory();
            QCOMPARE(r.window->readAll(), TransferOutcome::Success);
            QTemporaryDir dir;
            const QString path = dir.filePath("radio.M5");
            fileDialogOverride() = [&](FileDialogKind) { return path; };
            r.window->findChild<QAction*>("TEST_CLICK")->trigger();
            Rig fresh;
            fresh.radio.setMemory(before);
            Rig& w = seed % 2 ? fresh : r;
            w.window->findChild<QAction*>("ReadFile")->trigger();
            fileDialogOverride() = nullptr;
            QCOMPARE(w.shown.back(), std::string("Read File|Finish"));
            QCOMPARE(w.window->writeAll(), TransferOutcome::Success);
            const Bytes after = w.radio.memory();
            for (uint32_t a = 0; a < before.size(); ++a) {
                const bool groupByte7 = a >= 0x100 && a < 0x158 && (a - 0x100) % 8 == 7;
                if (a != 118 && !groupByte7 && before[a] != after[a])
                    QFAIL(qPrintable(QString("seed %1: byte %2 was %3, now %4")
                                         .arg(seed).arg(a, 5, 16, QChar('0')).arg(before[a], 2, 16, QChar('0'))
                                         .arg(after[a], 2, 16, QChar('0'))));
            }
        }
    }

    // Write Changes: refused before the radio is known; after Read All and
    // one cleared row, exactly that row's record goes out (nothing else
    // changed), the radio ends as a full write would leave it, and a second
    // Write Changes finds nothing to send.
    void writeChangesSendsOnlyWhatChanged() {
        Rig r;
        auto* item = r.window->findChild<QAction*>("WriteChanges");
        QVERIFY(item);
        item->trigger();
        QVERIFY(r.shown.back().rfind(WriteChangesNeedsReadText, 0) == 0);
        QCOMPARE(r.logged(" W "), 0);
        QCOMPARE(r.window->readAll(), TransferOutcome::Success);
        r.doc.grid.setSelection(5, 5);
        r.window->commands().channels.clearRows();
        const Bytes before = r.radio.memory();
        r.radio.withEmulator([](emu::Emulator& e) { e.clearLog(); });
        r.shown.clear();
        item->trigger();
        QCOMPARE(r.shown, (std::vector<std::string>{"Success| Finish"}));
        QCOMPARE(r.logged(" W "), 1);
        const Bytes changed = r.radio.memory();
        int differing = 0;
        for (std::size_t a = 0; a < before.size(); ++a) differing += before[a] != changed[a];
        QVERIFY(differing > 0 && differing <= 64);
        // The same document written whole leaves the same bytes.
        r.radio.setMemory(before);
        QCOMPARE(r.window->writeAll(), TransferOutcome::Success);
        QVERIFY(r.radio.memory() == changed);
        r.shown.clear();
        item->trigger();
        QCOMPARE(r.shown, (std::vector<std::string>{std::string(NothingChangedText) + "| Finish"}));
    }

    // A silent radio: one "Error" per step, the font and group windows still
    // open (and close by themselves), and the run ends with "Error".
    void readAllWithTheRadioSilent() {
        Rig r;
        r.radio.withEmulator([](emu::Emulator& e) { e.failIdentifications(1000, emu::FaultKind::NoAnswer); });
        QCOMPARE(r.window->readAll(), TransferOutcome::Error);
        const std::vector<std::string> expected = {
            "Error| Error", "Error| Error", "Error| Error", "Error| Error", "Error| Error",  // the five reads
            "Com Error| Error",                                                           // the font window
            "Error| Error",                                                               // the group window
            "Error| Error"};                                                              // the run
        QCOMPARE(r.shown, expected);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!r.doc.state.busyNow());
        QVERIFY(!r.doc.state.readAllMode);
    }

    // Only the one-touch step fails: its "Error", the rest written, and the
    // run ends with "Error", not "Success".
    void writeAllWithOneStepFailing() {
        uint64_t oneTouch = 0;
        {
            Rig dry;
            dry.doc.origin.known = true;
            dry.doc.known = AreaOrigins{true, true, true, true, true, true};
            QCOMPARE(dry.window->writeAll(), TransferOutcome::Success);
            oneTouch = dry.exchangeOf("W 00180");
        }
        QVERIFY(oneTouch > 1000);
        Rig r;
        r.doc.origin.known = true;
        r.doc.known = AreaOrigins{true, true, true, true, true, true};
        r.radio.withEmulator([oneTouch](emu::Emulator& e) {
            for (uint64_t x = oneTouch; x < oneTouch + 3; ++x) e.forceFault(x, emu::FaultKind::BrokenTail);
        });
        QCOMPARE(r.window->writeAll(), TransferOutcome::Error);
        QCOMPARE(r.shown, (std::vector<std::string>{"Error| Error", "Error| Error"}));
        QCOMPARE(r.logged("W 001A0"), 1);  // the title after it was still written
        QCOMPARE(r.logged("W 00100"), 1);
    }

    // A step that ends in "Port Error" (the adapter pulled after the
    // channels) fails the run like an "Error" does, and a Read All then
    // keeps no safety copy. Stop ends a chain where it stands.
    void chainsEndInErrorOrStopped() {
        enum End { PortGone, Stop };
        for (End end : {PortGone, Stop})
            for (bool write : {false, true}) {
                Rig r;
                r.doc.origin.known = true;
                r.doc.known = AreaOrigins{true, true, true, true, true, true};
                int copies = 0;
                auto copied = r.window->commands().allData.readAllSucceeded.connect([&] { ++copies; });
                auto token = r.window->commands().runner.transferStarting.connect([&](const engine::Plan& p) {
                    if (end == Stop) {
                        if (p.what == "one-touch keys") QTimer::singleShot(0, [&] { r.window->commands().runner.requestStop(); });
                        return;
                    }
                    const bool gone = p.what == "bank layout";
                    r.link.bindDevice(1, gone ? QString("/dev/tqm5-no-such-port") : QString::fromStdString(r.radio.devicePath()));
                });
                const TransferOutcome out = write ? r.window->writeAll() : r.window->readAll();
                if (end == PortGone) {
                    QCOMPARE(out, TransferOutcome::Error);
                    QCOMPARE(r.shown.at(0), std::string("Port Error| Error"));
                    QCOMPARE(r.shown.back(), std::string("Error| Error"));
                } else {
                    QCOMPARE(out, TransferOutcome::Stopped);
                    QCOMPARE(r.shown.back(), std::string("Stopped| Stop"));
                    QCOMPARE(r.logged("001A0"), 0);  // the title step never ran
                    QVERIFY(!r.doc.state.readAllMode && !r.doc.state.stopping);
                    QVERIFY(r.window->findChild<QWidget*>("READ_Botton")->isEnabled());
                }
                QCOMPARE(copies, 0);
                QVERIFY(!r.doc.state.busyNow());
            }
    }

    // Glyphs the program never read, loaded or drew stay the radio's own; the
    // groups the program holds are written though their window never opened.
    void writeAllKeepsTheRadiosGlyphsUnlessKnown() {
        for (bool drawn : {false, true}) {
            Rig r;
            r.doc.origin.known = true;  // as after opening a memory file
            r.doc.known = AreaOrigins{true, true, true, true, true, true};
            r.doc.groups.member[3][7] = true;
            if (drawn) {
                r.doc.glyphs.setPixel(4, 0, 0, true);
                r.doc.glyphs.setKnown(4, true);
            }
            const Bytes fontBefore = r.radio.readMemory(radio::Font.address, radio::Font.length);
            QCOMPARE(r.window->writeAll(), TransferOutcome::Success);
            const Bytes fontAfter = r.radio.readMemory(radio::Font.address, radio::Font.length);
            for (int g = 0; g < 8; ++g) {
                const auto from = std::size_t(32 * g);
                const bool same = std::equal(fontBefore.begin() + from, fontBefore.begin() + from + 32, fontAfter.begin() + from);
                QCOMPARE(same, !(drawn && g == 4));
            }
            QCOMPARE(r.logged("W 010"), drawn ? 1 : 0);
            QCOMPARE(r.radio.readMemory(radio::GroupsFirst.address + 3 * 8, 1)[0] & 0x01, 0x01);  // bank 7: bit 0 of byte 0
        }
    }
};

QTEST_MAIN(TestAllData)
#include "test_all_data.moc"
