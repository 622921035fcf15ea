// The font window against the emulated radio on a pseudo-terminal: the
// pixel grid and its commands, the font file menu, the four transfers, the
// timeouts and the read-all mode.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/startup.h"
#include "emulator/demo_image.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "font/font_file.h"
#include "serial/qt_serial_link.h"
#include "support/bare_pty.h"
#include "support/window_rig.h"
#include "ui/font_window.h"
#include "ui/main_window.h"

using namespace tqm5;

namespace {

struct Rig : test::WindowRig {
    std::unique_ptr<FontWindow> window;
    Rig() {
        window = std::make_unique<FontWindow>(doc, link, host);
        window->show();
    }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    QTableWidget* grid() { return window->findChild<QTableWidget*>("MSFlexGrid1"); }
    QComboBox* list() { return window->findChild<QComboBox*>("FONT_LIST"); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // Runs a transfer button to its end.
    bool run(const char* name, int ms = 10000) {
        click(name);
        QElapsedTimer clock;
        clock.start();
        while (!window->transfer().idle() && clock.elapsed() < ms) QTest::qWait(5);
        return window->transfer().idle();
    }
    bool lit(int row, int col) {
        return grid()->item(row, col)->background().color() == QColor(0, 0, 128);
    }
};

bool drawnAsDemo(const GlyphSet& s, int g) {
    const auto& drawn = emu::demoContent().glyphs[static_cast<std::size_t>(g)];
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c)
            if (s.pixel(g, r, c) != (drawn[static_cast<std::size_t>(r)][c] == '#')) return false;
    return true;
}

}  // namespace

class TestFontWindow : public QObject {
    Q_OBJECT
private slots:
    void drawingOnTheGrid() {
        Rig r;
        GlyphSet& g = r.doc.glyphs;
        auto centre = [&](int row, int col) { return r.grid()->visualRect(r.grid()->model()->index(row, col)).center(); };
        QTest::mouseClick(r.grid()->viewport(), Qt::LeftButton, {}, centre(2, 3));
        QVERIFY(g.pixel(0, 2, 3));
        QVERIFY(r.lit(2, 3));
        QCOMPARE(r.grid()->item(2, 3)->foreground().color(), QColor(255, 0, 0));
        QTest::mouseClick(r.grid()->viewport(), Qt::LeftButton, {}, centre(2, 3));
        QVERIFY(!g.pixel(0, 2, 3));
        QVERIFY(!r.lit(2, 3));

        // NEXT on "8" and BACK on "1" do nothing.
        r.click("FONT_BACK");
        QCOMPARE(r.window->shownGlyph(), 0);
        r.list()->setCurrentIndex(7);
        r.click("FONT_NEXT");
        QCOMPARE(r.window->shownGlyph(), 7);
        r.click("FONT_BACK");
        QCOMPARE(r.window->shownGlyph(), 6);
        // Typing into the list is ignored.
        QTest::keyClick(r.list(), Qt::Key_2);
        QCOMPARE(r.window->shownGlyph(), 6);

        // A range selected from bottom-right to top-left sets the same pixels.
        auto select = [&](int r1, int c1, int r2, int c2) {
            r.grid()->setCurrentCell(r1, c1);
            r.grid()->setRangeSelected(QTableWidgetSelectionRange(std::min(r1, r2), std::min(c1, c2),
                                                                  std::max(r1, r2), std::max(c1, c2)), true);
        };
        select(9, 12, 3, 4);
        r.click("IKKATU_ON");
        GlyphSet expected;
        expected.setRect(6, 3, 4, 9, 12, true);
        QVERIFY(expected == g);
        QVERIFY(r.lit(9, 12) && r.lit(3, 4) && !r.lit(2, 4));
        r.grid()->clearSelection();
        select(5, 5, 6, 6);
        r.click("IKKATU_OFF");
        QVERIFY(!g.pixel(6, 5, 5) && !g.pixel(6, 6, 6) && g.pixel(6, 7, 7));

        r.click("FONT_CLEAR");
        QVERIFY(!g.pixel(6, 7, 7) && !r.lit(7, 7));
        g.setPixel(1, 0, 0, true);
        r.click("ALL_CLEAR");
        QCOMPARE(r.shown, std::vector<std::string>{"ALL Clear| Clear"});
        QVERIFY(g == GlyphSet{});
        QCOMPARE(r.window->shownGlyph(), 0);
        QVERIFY(r.button("READ_ALL")->isEnabled());
    }

    void fontFileMenu() {
        Rig r;
        QTemporaryDir dir;
        r.doc.glyphs.setRect(4, 0, 0, 1, 15, true);
        const QString path = dir.filePath("mine.FM5");
        r.window->chooseSaveFile = [&] { return path; };
        r.window->findChild<QAction*>("FONT_SAVE")->trigger();
        QCOMPARE(r.shown.back(), std::string("Save File| Finish"));

        r.doc.glyphs = GlyphSet{};
        r.list()->setCurrentIndex(4);
        r.window->chooseOpenFile = [&] { return path; };
        r.window->findChild<QAction*>("FONT_READ")->trigger();
        QCOMPARE(r.shown.back(), std::string("Read Font File| Finish"));
        QVERIFY(r.doc.glyphs.pixel(4, 1, 15));
        QVERIFY(r.lit(1, 15));  // the shown glyph was repainted

        // A ninth block: the eight stay, and the grid shows them.
        QFile nine(dir.filePath("nine.FM5"));
        QVERIFY(nine.open(QIODevice::WriteOnly));
        std::string text = fontFileText(GlyphSet{}, "x");
        text.resize(text.rfind("File End"));
        nine.write(QByteArray::fromStdString(text + "3\r\n"));
        nine.close();
        r.window->chooseOpenFile = [&] { return nine.fileName(); };
        r.window->findChild<QAction*>("FONT_READ")->trigger();
        QCOMPARE(r.shown.back(), std::string("Read Font File| Finish"));
        QVERIFY(!r.lit(1, 15));

        // The wrong name, a cut file and a cancel.
        const std::size_t before = r.shown.size();
        const std::pair<QString, std::string> refused[] = {
            {dir.filePath("mine.txt"), "This File don't Open"},
            {dir.filePath("cut.FM5"), "This font file cannot be read: line 2 opens glyph block 1 but the file ends "
                                      "before its 16 rows. No glyph was changed."}};
        for (const auto& [bad, said] : refused) {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Save\r\n0\r\n0000000000000000\r\n");
            f.close();
            r.window->chooseOpenFile = [&] { return bad; };
            r.window->findChild<QAction*>("FONT_READ")->trigger();
            QCOMPARE(r.shown.back(), said + "| Error");
        }
        QCOMPARE(r.shown.size(), before + 2);
        r.window->chooseOpenFile = [] { return QString(); };
        r.window->findChild<QAction*>("FONT_READ")->trigger();
        QCOMPARE(r.shown.size(), before + 2);
        QVERIFY(r.doc.glyphs == GlyphSet{});
    }

    void readAndWriteOneGlyphAndAll() {
        Rig r;
        r.list()->setCurrentIndex(2);
        QVERIFY(r.run("R_FONT"));
        QCOMPARE(r.shown, std::vector<std::string>{"Success Font Read| Finish"});
        QCOMPARE(r.logged("R 01040"), 1);
        QVERIFY(drawnAsDemo(r.doc.glyphs, 2));
        QVERIFY(!drawnAsDemo(r.doc.glyphs, 1));
        const auto& row = emu::demoContent().glyphs[2];
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) QCOMPARE(r.lit(y, x), row[static_cast<std::size_t>(y)][x] == '#');
        QVERIFY(r.button("R_FONT")->isEnabled());

        QVERIFY(r.run("READ_ALL"));
        QCOMPARE(r.shown.back(), std::string("All Font Data Read| Finish"));
        for (int g = 0; g < 8; ++g) QVERIFY(drawnAsDemo(r.doc.glyphs, g));
        QCOMPARE(r.window->shownGlyph(), 0);

        // Write one changed glyph ("8"), then all eight.
        r.list()->setCurrentIndex(7);
        r.doc.glyphs.setRect(7, 0, 0, 15, 15, true);
        QVERIFY(r.run("FONT_WRITE"));
        QCOMPARE(r.shown.back(), std::string("Success Font Write| Finish"));
        QCOMPARE(r.radio.readMemory(0x010E0, 32), Bytes(32, 0xFF));
        r.radio.withEmulator([](emu::Emulator& e) { e.memory().write(0x01000, Bytes(224, 0)); });
        QVERIFY(r.run("WRITE_ALL"));
        QCOMPARE(r.shown.back(), std::string("All Font Data Write| Finish"));
        for (int g = 0; g < 8; ++g) QCOMPARE(r.radio.readMemory(radio::glyphAddress(g), 32), r.doc.glyphs.encode(g));
        QVERIFY(r.list()->isEnabled());
        QCOMPARE(r.window->findChild<QProgressBar*>("ProgressBar1")->value(), 0);
    }

    // The window's transfers hold the radio as the main window's do: while
    // another program holds it nothing goes out and the message says why;
    // a read then holds it only while it runs.
    void transfersHoldTheRadio() {
        const QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        Rig r;
        TransferRunner runner(r.doc, r.link, r.host);
        runner.keepImagesOnDisk = true;
        r.window->holdRadioWith(runner);
        {
            const Result<RadioClaim> other = RadioClaim::take(runner.radioKey());
            QVERIFY(other);
            r.click("R_FONT");
            QCOMPARE(r.shown, std::vector<std::string>{std::string(TransferRunner::RadioHeldText) + "| Error"});
            QCOMPARE(r.logged(" I"), 0);
        }
        QVERIFY(r.run("R_FONT"));
        QCOMPARE(r.shown.back(), std::string("Success Font Read| Finish"));
        QVERIFY(RadioClaim::take(runner.radioKey()));
    }

    void silentRadioIsComErrorAfterTheTwentyFirstTimeout() {
        Rig r;
        r.radio.withEmulator([](emu::Emulator& e) { e.failNext(1000); });
        QVERIFY(r.run("R_FONT", 15000));
        QCOMPARE(r.shown, std::vector<std::string>{"Com Error| Error"});
        QCOMPARE(int(r.radio.log().size()), 21);  // the identification, sent 21 times
        QVERIFY(r.button("R_FONT")->isEnabled());
    }

    // The adapter pulled while a reply is awaited ends the transfer at once
    // as "Port Error", not as "Com Error" after 21 timeouts.
    void portGoneMidTransferIsPortErrorAtOnce() {
        Rig r;
        test::BarePty pty;
        QVERIFY(!pty.path.empty());
        r.link.bindDevice(1, QString::fromStdString(pty.path));
        r.click("R_FONT");
        QTRY_COMPARE(r.window->transfer().state(), int(FontTransfer::Replied + FontTransfer::ReadIdentify));
        const int timeouts = r.window->transfer().timeouts();
        pty.hangUp();
        QTRY_VERIFY(r.window->transfer().idle());
        QCOMPARE(r.shown, std::vector<std::string>{"Port Error| Error"});
        QCOMPARE(r.window->transfer().timeouts(), timeouts);
        QVERIFY(r.button("R_FONT")->isEnabled() && r.list()->isEnabled());
    }

    void timeoutInReadAllStartsAgainFromGlyphOne() {
        Rig r;
        // Exchange 1 identifies, 2 to 4 read glyphs 0 to 2; glyph 3 goes unanswered.
        r.radio.withEmulator([](emu::Emulator& e) { e.forceFault(5, emu::FaultKind::NoAnswer); });
        QVERIFY(r.run("READ_ALL"));
        QCOMPARE(r.shown, std::vector<std::string>{"All Font Data Read| Finish"});
        QCOMPARE(r.logged("R 01000"), 2);
        QCOMPARE(r.logged("R 01060"), 2);
        QCOMPARE(r.logged("R 010E0"), 1);
        for (int g = 0; g < 8; ++g) QVERIFY(drawnAsDemo(r.doc.glyphs, g));
    }

    void readAllModeFromTheMainWindow() {
        Rig r;
        r.window.reset();
        MainWindow main(r.doc, r.link, &r.host);
        main.show();
        r.doc.state.readAllMode = true;
        r.doc.state.busy = BusyReadAll;  // Read All may open it mid-run
        QCOMPARE(main.openFontWindow(true), FontTransfer::Outcome::Success);
        QVERIFY(r.shown.empty());
        for (int g = 0; g < 8; ++g) QVERIFY(drawnAsDemo(r.doc.glyphs, g));

        // Otherwise a running transfer keeps it shut, and the FONT button opens it.
        r.doc.state.readAllMode = false;
        QCOMPARE(main.openFontWindow(), FontTransfer::Outcome::None);
        r.doc.state.busy = Idle;
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* f = qobject_cast<FontWindow*>(QApplication::activeModalWidget());
            opened = f != nullptr;
            if (f) QTest::mouseClick(f->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        });
        auto* font = main.findChild<QPushButton*>("Command1");
        QVERIFY(font);
        QCOMPARE(font->text(), QString("FONT"));
        font->click();
        QVERIFY(opened);
    }
};

QTEST_MAIN(TestFontWindow)
#include "test_font_window.moc"
