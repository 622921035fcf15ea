// The Set Mode and Common Set pages as a user meets them: lists that take
// no keys, the language switch keeping every choice, the scan timer, the
// DTMF and title boxes with their filters, and the settings read from the
// demo radio through the buttons.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QtTest>

#include "app/startup.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "serial/qt_serial_link.h"
#include "support/window_rig.h"
#include "ui/main_window.h"

using namespace tqm5;

namespace {

struct Rig : test::WindowRig {
    std::unique_ptr<MainWindow> window;
    Rig() {
        window = std::make_unique<MainWindow>(doc, link, &host);
        window->show();
    }
    template <typename T>
    T* child(const QString& name) {
        T* c = window->findChild<T*>(name);
        if (!c) qFatal("no control %s", qPrintable(name));
        return c;
    }
    QComboBox* combo(const QString& name) { return child<QComboBox>(name); }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    void showTab(int index) {
        window->findChild<QTabBar*>("TabStrip1")->setCurrentIndex(index);
        QApplication::processEvents();
    }
    // Picks an entry as the mouse would.
    void choose(const QString& name, int index) {
        QComboBox* c = combo(name);
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
};

}  // namespace

class TestSetModePage : public QObject {
    Q_OBJECT
private slots:
    void startsInEnglishAndSwitchesKeepingPositions() {
        Rig r;
        r.showTab(3);
        QCOMPARE(r.child<QLabel>("Set_Mode_Display[1]_Label")->text(), QString("Illumination"));
        QCOMPARE(r.combo("Set_Mode_Display[0]")->currentText(), QString("English"));
        QCOMPARE(r.combo("Set_Mode_Display[3]")->currentText(), QString(" 8"));
        QVERIFY(!r.child<QRadioButton>("Option1[0]")->isChecked());
        QVERIFY(!r.child<QRadioButton>("Option1[1]")->isChecked());
        QCOMPARE(r.child<QLabel>("DOUSA")->text(), QString("Opening Slide"));

        r.choose("Set_Mode_Key[3]", 3);
        QCOMPARE(r.combo("Set_Mode_Key[3]")->currentText(), QString("Both bands"));
        const int relabels = r.doc.setMode.relabels;
        QTest::mouseClick(r.child<QRadioButton>("Option1[0]"), Qt::LeftButton);
        QCOMPARE(r.combo("Set_Mode_Key[3]")->currentIndex(), 3);
        QCOMPARE(r.combo("Set_Mode_Key[3]")->currentText(), QString("両ﾊﾞﾝﾄﾞ"));
        QCOMPARE(r.child<QLabel>("Set_Mode_Display[1]_Label")->text(), QString("照明設定"));
        QCOMPARE(r.child<QLabel>("Set_Mode_Send[6]_Label")->text(), QString("電波型式"));  // the Common Set page too
        QCOMPARE(r.child<QLabel>("DOUSA")->text(), QString("ｵｰﾌﾟﾆﾝｸﾞｽﾗｲﾄﾞ動作"));
        QCOMPARE(r.combo("Set_Mode_Key[6]")->itemText(0), QString("language／言語"));

        // Choosing English twice relabels once, through the Language item as well.
        r.choose("Set_Mode_Display[0]", 1);
        QCOMPARE(r.doc.setMode.relabels, relabels + 2);
        QTest::mouseClick(r.child<QRadioButton>("Option1[1]"), Qt::LeftButton);
        QCOMPARE(r.doc.setMode.relabels, relabels + 2);
        QCOMPARE(r.combo("Set_Mode_Key[3]")->currentText(), QString("Both bands"));
    }

    // The arrow keys choose as the mouse does (the document follows);
    // typed characters choose nothing.
    void listsChooseWithArrowsNotTyping() {
        Rig r;
        r.showTab(3);
        QComboBox* c = r.combo("Set_Mode_Power[0]");
        c->setFocus();
        c->setMaxVisibleItems(3);  // Page Up and Down move by the entries seen less one
        const int last = c->count() - 1, page = 2;
        const struct { Qt::Key key; int expected; } steps[] = {
            {Qt::Key_Up, 0}, {Qt::Key_Down, 1}, {Qt::Key_PageDown, 1 + page}, {Qt::Key_End, last},
            {Qt::Key_Down, last}, {Qt::Key_PageUp, last - page}, {Qt::Key_Home, 0}};
        for (auto s : steps) {
            QTest::keyClick(c, s.key);
            QCOMPARE(c->currentIndex(), s.expected);
            QCOMPARE(r.doc.setMode.position("Set_Mode_Power[0]"), s.expected);
        }
        QTest::keyClicks(c, "3O");
        QCOMPARE(c->currentIndex(), 0);
    }

    void scanTimerBox() {
        Rig r;
        r.showTab(3);
        auto* check = r.child<QCheckBox>("Set_Mode_Scan_Check");
        auto* box = r.child<QLineEdit>("Set_Mode_Scan_Time");
        QVERIFY(!box->isEnabled());
        QTest::mouseClick(check, Qt::LeftButton);
        QVERIFY(box->isEnabled());
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, "12a34");
        QCOMPARE(box->text(), QString("123"));
        box->setText("999");
        r.combo("Set_Mode_Power[0]")->setFocus();
        QApplication::processEvents();
        QCOMPARE(box->text(), QString("1"));
        r.click("Set_Mode_Clear");
        QVERIFY(!check->isChecked());
        QVERIFY(!box->isEnabled());
    }

    void dtmfBoxes() {
        Rig r;
        r.showTab(3);
        auto* box = r.child<QLineEdit>("COMMON_DTMF[4]");
        box->setFocus();
        QTest::keyClicks(box, "12a*#");
        QCOMPARE(box->text(), QString("12*#"));
        box->setText("12a3");
        r.combo("Set_Mode_Power[0]")->setFocus();
        QApplication::processEvents();
        QCOMPARE(box->text(), QString("123"));
        box->setFocus();
        box->setText("12345678901234567890");  // pasted
        r.combo("Set_Mode_Power[0]")->setFocus();
        QApplication::processEvents();
        QCOMPARE(box->text(), QString("1234567890123456"));
        QCOMPARE(r.doc.dtmf.memories[4], "1234567890123456");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClicks(box, "7");
        QCOMPARE(box->text().size(), 16);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text().size(), 15);
        r.click("RESET_DTMF");
        QVERIFY(box->text().isEmpty());
    }

    void titleBox() {
        Rig r;
        r.showTab(2);
        auto* title = r.child<QLineEdit>("TITLE_TEXT");
        title->setFocus();
        QTest::keyClicks(title, "ABCDEFGHIJKLMN");
        QTest::mouseClick(r.child<QPushButton>("Command2[2]"), Qt::LeftButton);
        QCOMPARE(title->text(), QString("ABCDEFGHIJKLMN:3~"));  // counted 16
        title->setFocus();
        QTest::keyClick(title, Qt::Key_End);
        QTest::keyClicks(title, "Z");
        QCOMPARE(title->text(), QString("ABCDEFGHIJKLMN:3~"));
        QTest::keyClick(title, Qt::Key_Backspace);
        QCOMPARE(r.doc.title.text, "ABCDEFGHIJKLMN:3");
        r.click("TITLE_WRITE");
        QCOMPARE(r.shown.back(), std::string("Success| Finish"));
        r.click("TITLE_CLEAR");
        QVERIFY(title->text().isEmpty());
        r.click("TITLE_READ");
        QCOMPARE(title->text(), QString("ABCDEFGHIJKLMN:3"));
        QCOMPARE(r.combo("Combo1")->currentText(), QString("OFF"));
    }

    void settingsReadFromTheButtons() {
        Rig r;
        r.showTab(2);
        r.click("SETTING_READ");
        QCOMPARE(r.shown, (std::vector<std::string>{"Success| Finish"}));
        QCOMPARE(r.combo("Set_Mode_Sound[4]")->currentText(), QString("8"));
        QCOMPARE(r.combo("Set_Mode_Display[13]")->currentText(), QString("4"));
        QCOMPARE(r.combo("Set_Mode_Key[6]")->currentText(), QString("Scan mode"));
        QCOMPARE(r.combo("COMMON_DIAL_CH")->currentText(), QString("3Ch"));
        QCOMPARE(r.child<QLineEdit>("COMMON_DTMF[0]")->text(), QString("0123456789"));
        QCOMPARE(r.child<QLineEdit>("COMMON_DTMF[5]")->text(), QString("1234567890ABCD*#"));
        QVERIFY(r.child<QPushButton>("Set_Mode_Write")->isEnabled());
        QVERIFY(!r.doc.state.busyNow());

        // A value no list shows: blank, reported once, and the read goes on.
        r.radio.withEmulator([](emu::Emulator& e) { e.memory().write(45, {0x20}); });
        r.shown.clear();
        r.click("Set_Mode_Read");
        QCOMPARE(r.shown.size(), std::size_t(2));
        QCOMPARE(r.shown[1], std::string(UnshownValuesText) + "\nAuto-power-off: 0x20| Finish");
        QCOMPARE(r.combo("Set_Mode_Power[0]")->currentIndex(), -1);
        r.click("Set_Mode_Write");
        QCOMPARE(r.radio.readMemory(45, 1)[0], 0x20);
    }
};

QTEST_MAIN(TestSetModePage)
#include "test_set_mode_page.moc"
