// The window's radio images and verification: the menu items, Write All
// with "Verify After Write", saving and opening an image, and the safety
// copy Read All leaves.
#include <QApplication>
#include <QMenuBar>
#include <QtTest>

#include <algorithm>
#include <filesystem>

#include "app/document_diff.h"
#include "app/startup.h"
#include "emulator/demo_image.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "channels/record_codec.h"
#include "files/safety_copies.h"
#include "serial/qt_serial_link.h"
#include "support/random_radio.h"
#include "support/window_rig.h"
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
    QStringList captions(const char* menu) {
        QStringList out;
        for (QAction* a : window->findChild<QMenu*>(menu)->actions())
            if (!a->isSeparator()) out << a->text();
        return out;
    }
};

}  // namespace

class TestRadioImageWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const auto data = std::filesystem::temp_directory_path() / ("tqm5-ui-image-" + std::to_string(::getpid()));
        std::filesystem::remove_all(data);
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.string()));
    }

    void menusHoldTheNewItemsBelowTheSpecifiedOnes() {
        Rig r;
        QCOMPARE(r.captions("FILE"), (QStringList{"Open(&O)", "Save(&S)", "Import(&I)", "Export(&E)",
                                                  "Save Radio Image…", "Open Radio Image…", "Import Common CSV…",
                                                  "Export Common CSV…", "Print…", "Export PDF…"}));
        QCOMPARE(r.captions("Tusin_Botton"),
                 (QStringList{"Write All Data(&A)", "Read All Data(&B)", "Write Changes(&C)", "Verify After Write"}));
        auto* verify = r.window->findChild<QAction*>("VerifyAfterWrite");
        QVERIFY(verify->isCheckable());
        QVERIFY(!verify->isChecked());
        QVERIFY(!r.window->commands().allData.verifyAfterWrite);
        verify->trigger();
        QVERIFY(r.window->commands().allData.verifyAfterWrite);
    }

    // A write the radio answers but does not store: unnoticed without the
    // verification, reported with its address with it.
    void verifyAfterWriteCatchesADroppedWrite() {
        for (bool verify : {false, true}) {
            Rig r;
            QCOMPARE(r.window->readAll(), TransferOutcome::Success);
            r.radio.setMemory(Bytes(emu::MemorySize, 0));
            r.shown.clear();
            r.window->commands().allData.verifyAfterWrite = verify;
            // The run's first exchange identifies; the third writes row 2.
            r.radio.withEmulator([](emu::Emulator& e) { e.forceFault(e.stats().exchanges + 3, emu::FaultKind::NotStored); });
            const TransferOutcome out = r.window->writeAll();
            QCOMPARE(r.shown.size(), std::size_t(1));
            if (!verify) {
                QCOMPARE(out, TransferOutcome::Success);
                QCOMPARE(r.shown.front(), std::string("Success| Finish"));
            } else {
                QCOMPARE(out, TransferOutcome::Error);
                QCOMPARE(r.shown.front(), std::string(VerifyFailedText) + "0x01240 (channel Bank000-1): wrote 02, read 00| Error");
                QCOMPARE(r.window->commands().allData.lastMismatches.size(), std::size_t(1));
            }
            QVERIFY(!r.doc.state.busyNow());
        }
    }

    // What one window saves another opens to the same values, and a Read All
    // left a safety copy that opens the same way. Written to another radio
    // with Write All, the image's areas arrive byte for byte, bytes no
    // control shows included.
    void savedImageOpensToTheSameValues() {
        const auto dir = std::filesystem::temp_directory_path() / ("tqm5-ui-save-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const QString path = QString::fromStdString((dir / "a.m5img").string());
        Rig r;
        r.radio.setMemory(test::RandomRadio(8).memory());
        QCOMPARE(r.window->readAll(), TransferOutcome::Success);
        r.shown.clear();
        QVERIFY(r.window->saveRadioImage(path));
        QCOMPARE(r.shown, (std::vector<std::string>{"Success| Finish"}));
        std::vector<std::string> copies;
        for (const auto& e : std::filesystem::directory_iterator(safetyCopyFolder())) copies.push_back(e.path().string());
        QVERIFY(!copies.empty());
        std::sort(copies.begin(), copies.end());  // named by time: the last is this Read All's

        for (const QString& file : {path, QString::fromStdString(copies.back())}) {
            Rig other;
            QVERIFY(other.window->openRadioImage(file));
            QCOMPARE(other.shown, (std::vector<std::string>{"Success| Finish"}));
            QCOMPARE(documentDifferences(r.doc, other.doc), std::vector<std::string>{});
            QVERIFY(other.doc.glyphs.anyKnown());
        }
        {
            Rig other;
            QVERIFY(other.window->openRadioImage(path));
            QCOMPARE(other.window->writeAll(), TransferOutcome::Success);
            const Bytes want = r.radio.memory(), got = other.radio.memory();
            for (const radio::Area& area : {radio::Title, radio::OneTouch, radio::BankLayout, radio::GroupsFirst,
                                            radio::GroupsSecond, radio::Dtmf, radio::Font, radio::ChannelRecords})
                for (uint32_t at = area.address; at < area.end(); ++at) {
                    const bool groupByte7 = at >= 0x100 && at < 0x158 && (at - 0x100) % 8 == 7;
                    if (!groupByte7 && want[at] != got[at])
                        QFAIL(qPrintable(QString("byte %1 was %2, now %3")
                                             .arg(at, 5, 16, QChar('0')).arg(want[at], 2, 16, QChar('0'))
                                             .arg(got[at], 2, 16, QChar('0'))));
                }
        }
        // An image whose file is sound but one of whose records the program
        // cannot read changes nothing either, and names the record.
        {
            Result<RadioImage> image = loadImageFile(path.toStdString());
            QVERIFY(image);
            image->put(addressOfRow(11), Bytes(64, 0xFF));
            const std::string bad = (dir / "bad-record.m5img").string();
            QVERIFY(saveImageFile(bad, image.value()));
            Rig fresh;
            const Document before = fresh.doc;
            QVERIFY(!fresh.window->openRadioImage(QString::fromStdString(bad)));
            QCOMPARE(fresh.shown.size(), std::size_t(1));
            QVERIFY2(fresh.shown.front().find("the channels at 0x01480 (Bank000-10)") != std::string::npos,
                     fresh.shown.front().c_str());
            QCOMPARE(documentDifferences(before, fresh.doc), std::vector<std::string>{});
            QVERIFY(!fresh.doc.origin.known);
        }
        // A damaged file changes nothing and says why.
        {
            std::FILE* f = std::fopen(path.toStdString().c_str(), "r+b");
            std::fseek(f, 500, SEEK_SET);
            std::fputc(0x55, f);
            std::fclose(f);
        }
        Rig damaged;
        QVERIFY(!damaged.window->openRadioImage(path));
        QCOMPARE(damaged.shown.size(), std::size_t(1));
        QVERIFY(damaged.shown.front().find("damaged") != std::string::npos);
        QVERIFY(!damaged.doc.glyphs.anyKnown());
        std::filesystem::remove_all(dir);
    }
};

QTEST_MAIN(TestRadioImageWindow)
#include "test_radio_image_window.moc"
