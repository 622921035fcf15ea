// The Bank page, the group window and the one-touch frame as a user meets
// them, with the demo radio on a pseudo-terminal.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "app/startup.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "serial/qt_serial_link.h"
#include "support/recording_widget_host.h"
#include "ui/group_window.h"
#include "ui/main_window.h"
#include "ui/one_touch_frame.h"

using namespace tqm5;

namespace {

struct Shown {
    std::string text, title;
};

struct Window {
    emu::PtyServer radio;
    Document doc;
    QtSerialLink link;
    test::RecordingWidgetHost host;
    std::unique_ptr<MainWindow> window;
    std::vector<Shown> shown;
    Host::Choice answer = Host::Choice::Ok;
    Window() {
        radio.loadImage(emu::DemoImage);
        radio.start();
        startUp(doc);
        link.bindDevice(1, QString::fromStdString(radio.devicePath()));
        host.sink = [this](const std::string& t, const std::string& ti, Host::Buttons) {
            shown.push_back({t, ti});
            return answer;
        };
        window = std::make_unique<MainWindow>(doc, link, &host);
        window->show();
    }
    template <typename T>
    T* child(const QString& name) { return window->findChild<T*>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QLineEdit* box(int bank) { return child<QLineEdit>(QString("Text1[%1]").arg(bank)); }
    void showTab(int index) { child<QTabBar>("TabStrip1")->setCurrentIndex(index); }
    QString label(int row) { return window->grid()->model()->headerData(row - 1, Qt::Vertical).toString(); }
};

}  // namespace

class TestBankPage : public QObject {
    Q_OBJECT
private slots:
    void totalFollowsTheSizesAndGatesBankWrite() {
        Window w;
        w.showTab(1);
        auto* total = w.child<QLineEdit>("Total_Mem");
        auto* write = w.button("WRITE_BANK");
        QCOMPARE(total->text(), QString("1000"));
        QVERIFY(write->isEnabled());

        // 99 typed into bank 0 and applied with Enter: 999, red, no writing.
        w.box(0)->setFocus();
        w.box(0)->selectAll();
        QTest::keyClicks(w.box(0), "99");
        QTest::keyClick(w.box(0), Qt::Key_Return);
        QCOMPARE(w.doc.banks.size[0], 99);
        QCOMPARE(total->text(), QString("999"));
        QCOMPARE(total->palette().color(QPalette::Text), QColor(255, 0, 0));
        QVERIFY(!write->isEnabled());

        // A read that ends in "Error" enables the controls again, but not this.
        w.radio.withEmulator([](emu::Emulator& e) { e.failIdentifications(3); });
        QTest::mouseClick(w.button("READ_BANK"), Qt::LeftButton);
        QCOMPARE(w.shown.back().text, std::string("Error"));
        QVERIFY(w.button("READ_BANK")->isEnabled());
        QVERIFY(!write->isEnabled());

        // Leaving for the Memory page asks; Cancel keeps the Bank page.
        w.answer = Host::Choice::Cancel;
        w.showTab(0);
        QCOMPARE(w.shown.back().text, std::string("Bank Total Error. Init Data?"));
        QCOMPARE(w.window->findChild<QStackedWidget*>()->currentIndex(), 1);
        QCOMPARE(w.doc.banks.total(), 999);

        // Up on the last focused slider mends it.
        w.child<QSlider>("Slider1[0]")->setFocus();
        QTest::mouseClick(w.button("BANK_UP[0]"), Qt::LeftButton);
        QCOMPARE(total->text(), QString("1000"));
        QVERIFY(write->isEnabled());
    }

    // A size being typed counts before Up and before a page change, as when
    // its box loses the focus; during a transfer the sizes take no edit.
    void aSizeBeingTypedCountsFirst() {
        Window w;
        w.showTab(1);
        QApplication::setActiveWindow(w.window.get());
        w.child<QSlider>("Slider1[1]")->setFocus();  // bank 1 is the one Up acts on
        QCOMPARE(w.doc.banks.selected, 1);
        w.box(0)->setFocus();
        w.box(0)->selectAll();
        QTest::keyClicks(w.box(0), "50");
        QTest::mouseClick(w.button("BANK_UP[0]"), Qt::LeftButton);
        QCOMPARE(w.doc.banks.size[0], 50);
        QCOMPARE(w.doc.banks.size[1], 101);

        w.box(2)->setFocus();
        w.box(2)->selectAll();
        QTest::keyClicks(w.box(2), "149");
        w.answer = Host::Choice::Cancel;
        w.showTab(0);  // 50 + 101 + 149 + 700: the total is whole again, nothing asked
        QCOMPARE(w.doc.banks.size[2], 149);
        QVERIFY(w.shown.empty());
        QCOMPARE(w.window->findChild<QStackedWidget*>()->currentIndex(), 0);

        w.showTab(1);
        bool disabled = false;
        w.radio.withEmulator([](emu::Emulator& e) { e.failIdentifications(3); });
        QTimer::singleShot(0, [&] { disabled = !w.child<QSlider>("Slider1[0]")->isEnabled() && !w.box(0)->isEnabled(); });
        QTest::mouseClick(w.button("READ_BANK"), Qt::LeftButton);
        QVERIFY(disabled);
        QVERIFY(w.child<QSlider>("Slider1[0]")->isEnabled() && w.box(0)->isEnabled());
    }

    void boxesTakeDigitsOnlyAndApplyOnLeaving() {
        Window w;
        w.showTab(1);
        struct Case { const char* typed; const char* shown; } cases[] = {
            {"1234", "100"}, {"0012", "12"}, {"12a3", "123"}, {"", "0"},
        };
        for (const Case& c : cases) {
            QLineEdit* box = w.box(5);
            box->setFocus();
            box->clear();
            QTest::keyClicks(box, c.typed);
            QFocusEvent leave(QEvent::FocusOut);  // leave it
            QApplication::sendEvent(box, &leave);
            QCOMPARE(box->text(), QString(c.shown));
            QCOMPARE(w.child<QSlider>("Slider1[5]")->value(), QString(c.shown).toInt());
        }
    }

    void groupWindowReadsTogglesAndKeepsUnavailableBanks() {
        Window w;
        w.showTab(1);
        Commands& commands = w.window->commands();
        // A layout that does not total 1000 is left as it is.
        commands.banks.setSize(0, 102);
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        w.button("GROUP_SET")->click();
        QCOMPARE(w.doc.banks.total(), 1002);
        QCOMPARE(w.doc.banks.size[0], 102);
        commands.banks.setSize(0, 100);
        QVERIFY(commands.groups.openWindow());  // default layout: banks 10-49 hold nothing
        GroupWindow groups(commands, false, w.window.get());
        groups.show();
        QCOMPARE(groups.windowTitle(), QString("BANK-LINK Setting"));
        QTableWidget* grid = groups.grid();
        QCOMPARE(grid->rowCount(), 12);
        QCOMPARE(grid->columnCount(), 55);
        QCOMPARE(grid->item(11, 0)->text(), QString("GroupB"));
        QCOMPARE(grid->item(0, groupGridColumn(49))->text(), QString("49"));

        QCOMPARE(groups.read(), TransferOutcome::Success);
        QCOMPARE(w.shown.back().text, std::string("OK"));
        // Group 10 links banks 7 and 12; bank 12 is unavailable here but kept.
        QVERIFY(w.doc.groups.isMember(10, 12));
        QCOMPARE(grid->item(11, groupGridColumn(12))->background().color(), QColor(0x80, 0x80, 0x80));
        QCOMPARE(grid->item(11, groupGridColumn(7))->background().color(), QColor(0x00, 0x00, 0x80));
        emit grid->cellClicked(11, groupGridColumn(12));
        QVERIFY(w.doc.groups.isMember(10, 12));
        emit grid->cellClicked(0, groupGridColumn(3));  // the heading row
        emit grid->cellClicked(5, 0);                   // a name
        emit grid->cellClicked(1, groupGridColumn(3));
        QVERIFY(w.doc.groups.isMember(0, 3));
        QVERIFY(grid->item(1, groupGridColumn(3))->background().color() == QColor(0x00, 0x00, 0x80));

        QCOMPARE(groups.write(), TransferOutcome::Success);
        QCOMPARE(w.shown.back().text, std::string("Success Group Data Write"));
        QCOMPARE(w.radio.readMemory(0x0150, 2), (Bytes{0x01, 0x08}));  // bank 12 went back
        QTest::mouseClick(groups.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(w.doc.groups.member, GroupFlags{});
    }

    // The grid from the keyboard: the arrows move a cell cursor over the
    // bank cells, Space ticks as a click does, and a click leaves the focus
    // on the grid, so neither Space nor Enter then presses a button.
    void groupGridFromTheKeyboard() {
        Window w;
        w.showTab(1);
        QVERIFY(w.window->commands().groups.openWindow());  // banks 10-49 hold nothing
        GroupWindow groups(w.window->commands(), false, w.window.get());
        groups.show();  // and made active, so that the focus is the keyboard's
        groups.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&groups));
        QTableWidget* grid = groups.grid();
        const GroupTable& table = w.doc.groups;
        groups.findChild<QPushButton*>("GROUP_WRITE")->setFocus();  // as after a write
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(1, groupGridColumn(3))).center());
        QVERIFY(table.isMember(0, 3));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid));
        const std::size_t messages = w.shown.size();
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(!table.isMember(0, 3));
        QCOMPARE(w.shown.size(), messages);  // nothing was read or written

        const struct { Qt::Key key; int row, bank; } moves[] = {  // over the bank cells only
            {Qt::Key_End, 1, 49}, {Qt::Key_Right, 1, 49}, {Qt::Key_PageDown, 11, 49}, {Qt::Key_Down, 11, 49},
            {Qt::Key_Home, 11, 0}, {Qt::Key_Up, 10, 0}, {Qt::Key_Right, 10, 1}};
        for (auto m : moves) {
            QTest::keyClick(grid, m.key);
            QCOMPARE(grid->currentRow(), m.row);
            QCOMPARE(grid->currentColumn(), groupGridColumn(m.bank));
        }
        QTest::keyClick(grid, Qt::Key_Space);
        QVERIFY(table.isMember(9, 1));
        for (int i = 0; i < 9; ++i) QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(grid->currentColumn(), groupGridColumn(10));
        QTest::keyClick(grid, Qt::Key_Space);  // bank 10 holds no channels
        QVERIFY(!table.isMember(9, 10));
    }

    void groupWindowInReadAllModeReadsAndCloses() {
        Window w;
        GroupWindow groups(w.window->commands(), true, w.window.get());
        QTimer::singleShot(5000, &groups, &QDialog::reject);  // never hang the test
        QCOMPARE(groups.exec(), int(QDialog::Accepted));
        QCOMPARE(w.shown.back().text, std::string("Success ALL DATA READ"));
        QCOMPARE(w.shown.back().title, std::string(" Finish"));
        QVERIFY(w.doc.groups.isMember(0, 1));
    }

    void oneTouchFrameShowsKeysItCanAndKeepsTheOthers() {
        Window w;
        QTest::mouseClick(w.button("READ_BANK"), Qt::LeftButton);  // from the Memory page
        QCOMPARE(w.shown.back().text, std::string("Success"));
        QCOMPARE(w.label(1000), QString("Bank012-299"));  // relabelled at once
        w.showTab(2);
        QTest::mouseClick(w.button("READ_ONE_TOUCH"), Qt::LeftButton);
        QCOMPARE(w.shown.back().text, std::string("Success"));
        auto* bank5 = w.child<QComboBox>("COMMON_BANK[4]");
        QCOMPARE(bank5->currentText(), QString("12"));
        QVERIFY(!w.child<QCheckBox>("NO_SET[4]")->isChecked());
        QVERIFY(w.child<QCheckBox>("NO_SET[6]")->isChecked());
        QCOMPARE(w.child<QComboBox>("COMMON_CH[1]")->currentText(), QString("2"));
        QTest::keyClick(w.child<QComboBox>("COMMON_BANK[1]"), Qt::Key_5);  // typing chooses nothing
        QCOMPARE(w.doc.oneTouch.key(1).bank, 1);
        QTest::keyClick(w.child<QComboBox>("COMMON_BANK[1]"), Qt::Key_Down);  // Down the next bank in the list
        QCOMPARE(w.doc.oneTouch.key(1).bank, 2);

        // Bank 12 emptied: key 5 keeps bank 12 channel 0, shown as no selection.
        w.showTab(1);
        w.doc.banks.setSize(12, 0);
        w.doc.banks.setSize(0, 400);
        w.showTab(2);
        QCOMPARE(bank5->currentIndex(), -1);
        QVERIFY(bank5->toolTip().contains("12"));
        QCOMPARE(w.doc.oneTouch.encode()[12], 12);
        w.radio.withEmulator([](emu::Emulator& e) { e.memory().write(0x018C, {0xFF}); });
        QTest::mouseClick(w.button("WRITE_ONE_TOUCH"), Qt::LeftButton);
        QCOMPARE(w.radio.readMemory(0x018C, 1), Bytes{12});

        QTest::mouseClick(w.button("COMMON_ONE_TOUCH_RESET"), Qt::LeftButton);
        QVERIFY(w.child<QCheckBox>("NO_SET[4]")->isChecked());
        QCOMPARE(bank5->currentIndex(), 0);
    }
};

QTEST_MAIN(TestBankPage)
#include "test_bank_page.moc"
