// The channel detail editor as a user meets it: fields, filters, buttons.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "ui/channel_editor.h"

using namespace tqm5;

namespace {

template <typename T>
T* child(QWidget& w, const QString& name) {
    T* c = w.findChild<T*>(name);
    if (!c) qFatal("no control %s", qPrintable(name));
    return c;
}

void retype(QLineEdit* e, const QString& keys) {
    e->clear();
    QTest::keyClicks(e, keys);
}

void showActive(QWidget& w) {
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

}  // namespace

class TestChannelEditor : public QObject {
    Q_OBJECT
private slots:
    void dualPairIsEditedSideBySide() {
        ChannelGrid g;
        g.setCell(1101, ColFreq, "145.00000MHz");
        g.setCell(1101, ColMode, "NFM");
        g.setCell(1101, ColOffset, "0.600MHz");
        g.attr(1101).inUse = 1;
        ChannelEditor f(g, 1101);
        showActive(f);

        QCOMPARE(f.windowTitle(), QString("Memory Setting"));
        QCOMPARE(f.width(), 896);
        QCOMPARE(child<QLabel>(f, "Label1[1]")->text(), QString("Memory 2"));
        QCOMPARE(child<QLabel>(f, "Label2")->text(), QString("Dual0(Main) "));
        QCOMPARE(child<QLabel>(f, "Label3")->text(), QString("Dual0(Sub) "));
        QVERIFY(child<QRadioButton>(f, "DETAIL_MODE[2]")->isChecked());
        QVERIFY(!child<QRadioButton>(f, "DETAIL_MODE[1]")->isEnabled());
        QVERIFY(!child<QRadioButton>(f, "DETAIL_MODE_2[3]")->isEnabled());
        QCOMPARE(child<QComboBox>(f, "TRAIN_COMBO_2")->currentText(), QString("JR"));

        // Digits only, four at most; a pasted letter is refused too.
        auto* mhz = child<QLineEdit>(f, "DETAIL_FREQ_1");
        retype(mhz, "12a345");
        QCOMPARE(mhz->text(), QString("1234"));
        mhz->setCursorPosition(2);
        mhz->insert("x");
        QCOMPARE(mhz->text(), QString("1234"));
        retype(child<QLineEdit>(f, "DETAIL_FREQ_2"), "1");
        retype(child<QLineEdit>(f, "DETAIL_FREQ_1_2"), "433");

        // Offset kHz "5" means 0.5 MHz once the field is left.
        auto* khz = child<QLineEdit>(f, "DETAIL_SHIFT_FREQ_2_2");
        khz->setFocus();
        retype(khz, "5");
        child<QLineEdit>(f, "DETAIL_NAME_2")->setFocus();
        QCOMPARE(khz->text(), QString("500"));

        // Lists are picked, not typed into.
        auto* tx = child<QComboBox>(f, "TX_TONE_COMBO_2");
        QTest::keyClicks(tx, "2");
        QCOMPARE(tx->currentIndex(), 8);
        QTest::keyClick(tx, Qt::Key_Down);
        QCOMPARE(tx->currentIndex(), 9);

        // Names: 16 counted bytes, ":n~" counting 2, no Ctrl+V.
        auto* name = child<QLineEdit>(f, "DETAIL_NAME_2");
        retype(name, "ABCDEFGHIJKLMNOPQ");
        QCOMPARE(name->text(), QString("ABCDEFGHIJKLMNOP"));
        QTest::keyClick(name, Qt::Key_Backspace);
        QTest::keyClick(name, Qt::Key_Backspace);
        child<QLineEdit>(f, "DETAIL_FREQ_1")->setFocus();  // the button must give the focus back
        QTest::mouseClick(child<QPushButton>(f, "Command1_2[1]"), Qt::LeftButton);
        QCOMPARE(name->text(), QString("ABCDEFGHIJKLMN:2~"));
        QCOMPARE(f.focusWidget(), name);
        QTest::mouseClick(child<QPushButton>(f, "Command1_2[0]"), Qt::LeftButton);
        QCOMPARE(name->text(), QString("ABCDEFGHIJKLMN:2~"));
        retype(name, "ABCDEFGHIJKLMNO");  // 15: no double-byte key any more
        QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString::fromUtf8("あ"), Qt::NoModifier);
        QCOMPARE(name->text(), QString("ABCDEFGHIJKLMNO"));
        QTest::keyClick(name, Qt::Key_Backspace);
        QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString::fromUtf8("あ"), Qt::NoModifier);
        QCOMPARE(name->text(), QString::fromUtf8("ABCDEFGHIJKLMNあ"));
        retype(name, "AB");
        QGuiApplication::clipboard()->setText("XYZ");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("XYZ"));
        QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(name->text(), QString("AB"));
        retype(name, ":2~");

        QTest::mouseClick(child<QPushButton>(f, "DETAIL_ENTER"), Qt::LeftButton);
        QCOMPARE(static_cast<QDialog&>(f).result(), int(QDialog::Accepted));
        QCOMPARE(f.storeMode(), StoreBoth);
        QCOMPARE(f.plan().first, RowAction::Write);
        QCOMPARE(f.plan().second, RowAction::Write);
        QCOMPARE(f.result().first.freqText, std::string("1234.10000"));
        QCOMPARE(f.result().first.modeOption, int(OptNFM));
        QCOMPARE(f.result().second.freqText, std::string("433.00000"));
        QCOMPARE(f.result().second.offsetText, std::string("0.500"));
        QCOMPARE(f.result().second.txToneText, std::string("91.5Hz"));
        QCOMPARE(f.result().second.trainText, std::string("JR"));
        QCOMPARE(f.result().second.name, std::string(":2~"));
        QCOMPARE(child<QLineEdit>(f, "DETAIL_FREQ_2")->text(), QString("10000"));
    }

    void singleRowLayoutLeaveRulesAndRefusal() {
        ChannelGrid g;
        g.setCell(7, ColFreq, "430.00000MHz");
        g.attr(7).inUse = 1;
        QWidget main;
        main.setGeometry(100, 200, 800, 600);
        main.show();
        ChannelEditor f(g, 7, &main);
        showActive(f);
        QCOMPARE(f.width(), 437);
        QCOMPARE(f.pos(), main.frameGeometry().topLeft() + QPoint(0, 66));
        QCOMPARE(child<QPushButton>(f, "DETAIL_ENTER")->x(), 8);
        QCOMPARE(child<QPushButton>(f, "DETAIL_CANCEL")->x(), 336);
        QVERIFY(!f.findChild<QLineEdit*>("DETAIL_FREQ_1_2"));
        QVERIFY(child<QRadioButton>(f, "DETAIL_MODE[3]")->isEnabled());

        auto* om = child<QLineEdit>(f, "DETAIL_SHIFT_FREQ_1");
        auto* ok = child<QLineEdit>(f, "DETAIL_SHIFT_FREQ_2");
        om->setFocus();
        retype(om, "0999");
        QCOMPARE(om->text(), QString("099"));
        ok->setFocus();
        QCOMPARE(om->text(), QString("99"));
        retype(om, "999");
        retype(ok, "999");
        om->setFocus();
        QCOMPARE(ok->text(), QString("995"));

        // A blocked frequency is refused: nothing is stored, the fields show why.
        retype(child<QLineEdit>(f, "DETAIL_FREQ_1"), "849");
        QTest::mouseClick(child<QPushButton>(f, "DETAIL_ENTER"), Qt::LeftButton);
        QCOMPARE(f.plan().first, RowAction::Keep);
        QCOMPARE(child<QLineEdit>(f, "DETAIL_FREQ_1")->text(), QString());
        g.store(f.result(), f.plan());
        QCOMPARE(g.cell(7, ColFreq), std::string("430.00000MHz"));
        QVERIFY(g.inUse(7));
    }

    void clearLocksOkOnCallRow() {
        ChannelGrid g;
        ChannelEditor f(g, CallUhfRow);
        showActive(f);
        QVERIFY(!child<QRadioButton>(f, "DETAIL_MODE[1]")->isEnabled());
        child<QCheckBox>(f, "DETAIL_SKIP")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(f, "DETAIL_CLEAR"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(f, "DETAIL_FREQ_1")->text(), QString());
        QVERIFY(!child<QCheckBox>(f, "DETAIL_SKIP")->isChecked());
        QCOMPARE(child<QComboBox>(f, "TRAIN_COMBO")->currentIndex(), 28);
        QCOMPARE(f.focusWidget(), child<QLineEdit>(f, "DETAIL_NAME"));
        auto* okButton = child<QPushButton>(f, "DETAIL_ENTER");
        QVERIFY(!okButton->isEnabled());
        QTest::mouseClick(child<QPushButton>(f, "DETAIL_CANCEL"), Qt::LeftButton);
        QCOMPARE(static_cast<QDialog&>(f).result(), int(QDialog::Rejected));
        QCOMPARE(f.plan().first, RowAction::Keep);
        QCOMPARE(f.storeMode(), StoreNothing);
    }

    // Enter in a field stores nothing; Enter on a focused button presses it.
    void enterOnlyPressesAFocusedButton() {
        ChannelGrid g;
        ChannelEditor f(g, 7);
        showActive(f);
        auto* freq = child<QLineEdit>(f, "DETAIL_FREQ_1");
        freq->setFocus();
        QTest::keyClicks(freq, "145");
        QTest::keyClick(freq, Qt::Key_Return);
        QVERIFY(f.isVisible());
        auto* ok = child<QPushButton>(f, "DETAIL_ENTER");
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        QVERIFY(!f.isVisible());
        QCOMPARE(static_cast<QDialog&>(f).result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestChannelEditor)
#include "test_channel_editor.moc"
