// The main window as a user meets it: start-up state, pages, grid commands.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

#include "app/startup.h"
#include "ui/form1.h"
#include "serial/qt_serial_link.h"
#include "support/recording_widget_host.h"

using namespace tqm5;

namespace {

struct Shown {
    std::string text, title;
    Host::Buttons buttons;
};

struct Window {
    Document doc;
    QtSerialLink link;
    test::RecordingWidgetHost host;
    std::unique_ptr<Form1> form;
    std::vector<Shown> shown;
    Host::Choice answer = Host::Choice::Ok;
    Window() {
        startUp(doc);
        host.sink = [this](const std::string& t, const std::string& ti, Host::Buttons b) {
            shown.push_back({t, ti, b});
            return answer;
        };
        form = std::make_unique<Form1>(doc, link, &host);
        form->show();
    }
    template <typename T>
    T* child(const char* name) { return form->findChild<T*>(name); }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QString cell(int row, int col) {
        return form->grid()->model()->index(row - 1, col - 1).data().toString();
    }
    QString label(int row) { return form->grid()->model()->headerData(row - 1, Qt::Vertical).toString(); }
    void selectRows(int from, int to) {
        doc.grid.setSelection(from, to);
    }
    void key(int k) { QTest::keyClick(form->grid(), Qt::Key(k)); }
};

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void startupState() {
        Window w;
        QCOMPARE(w.form->windowTitle(), QString("KPL_TQ-M5 Clone Utility Version1_1"));
        auto* tabs = w.child<QTabBar>("TabStrip1");
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(0), QString("Memory"));
        QCOMPARE(tabs->tabText(2), QString("Common Set"));
        QCOMPARE(w.child<QLineEdit>("Progress")->text(), QString("0%"));
        QCOMPARE(w.label(1), QString("Bank000-0"));
        QCOMPARE(w.label(1000), QString("Bank009-99"));
        QCOMPARE(w.label(1101), QString("Dual0(Main) "));
        QCOMPARE(w.cell(1401, 1), QString("145.00000MHz"));
        QCOMPARE(w.cell(1604, 1), QString("398.60500MHz"));
        QCOMPARE(w.form->grid()->model()->headerData(0, Qt::Horizontal).toString(), QString("Freqency"));
        QCOMPARE(w.doc.port, 1);
        QStringList menus;
        for (QAction* a : w.form->menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{"File(&F)", "COMPort(&C)", "Communication(&T)", "Help(&H)"}));
        auto* ports = w.child<QMenu>("MenuComPort");
        QCOMPARE(ports->actions().size(), 16);
        QVERIFY(ports->actions()[0]->text().startsWith("COM1"));
        for (QAction* a : ports->actions()) QVERIFY(!a->isChecked());  // no configuration read yet
        QCOMPARE(w.child<QAction>("MenuVersion")->text(), QString("Version Infomation(&A)"));
        QCOMPARE(w.doc.grid.row(), 1);
    }

    void progressBoxTakesNoTyping() {
        Window w;
        auto* box = w.child<QLineEdit>("Progress");
        QTest::keyClicks(box, "12");
        QCOMPARE(box->text(), QString("0%"));
    }

    void portChoiceTakesEffectAndKeepsOneMark() {
        Window w;
        w.child<QAction>("MenuSetCom[15]")->trigger();
        w.child<QAction>("MenuSetCom[16]")->trigger();
        QCOMPARE(w.doc.port, 16);
        int checked = 0;
        for (QAction* a : w.child<QMenu>("MenuComPort")->actions()) checked += a->isChecked();
        QCOMPARE(checked, 1);
        QVERIFY(w.child<QAction>("MenuSetCom[16]")->isChecked());
        w.doc.state.busy = BusyMemoryRead;  // ignored while a transfer runs
        w.child<QAction>("MenuSetCom[3]")->trigger();
        QCOMPARE(w.doc.port, 16);
        QVERIFY(!w.child<QAction>("MenuSetCom[3]")->isChecked());
    }

    // The port devices are looked up when the menu opens, not at start-up.
    void portMenuShowsDevicesWhenOpened() {
        Window w;
        w.link.bindDevice(2, "/dev/tqm5-test-port");
        auto* ports = w.child<QMenu>("MenuComPort");
        emit ports->aboutToShow();
        QCOMPARE(w.child<QAction>("MenuSetCom[2]")->text(), QString("COM2 (/dev/tqm5-test-port)"));
        const QStringList devices = w.link.devicesByNumber();
        QCOMPARE(devices.size(), 16);
        for (int n = 1; n <= 16; ++n) {
            const QString want = devices[n - 1].isEmpty() ? QString("COM%1").arg(n)
                                                          : QString("COM%1 (%2)").arg(n).arg(devices[n - 1]);
            QCOMPARE(w.child<QAction>(qPrintable(QString("MenuSetCom[%1]").arg(n)))->text(), want);
        }
    }

    // Row labels, row heights and column widths as the grid lays them out.
    void gridGeometry() {
        Window w;
        QTableView* grid = w.form->grid();
        const int rowHeight = grid->fontMetrics().height() + 6;
        QCOMPARE(grid->verticalHeader()->width(), 80);
        QCOMPARE(grid->verticalHeader()->sizeHint().width(), 80);
        for (int r : {0, 1, 999, 1622}) QCOMPARE(grid->rowHeight(r), rowHeight);
        const int widths[12] = {90, 36, 46, 1, 53, 53, 53, 40, 40, 66, 36, 200};
        for (int c = 0; c < 12; ++c) QCOMPARE(grid->columnWidth(c), widths[c]);
    }

    void bankPromptOkAndCancel() {
        Window w;
        auto* tabs = w.child<QTabBar>("TabStrip1");
        auto* pages = w.form->findChild<QStackedWidget*>();
        tabs->setCurrentIndex(1);  // bank page: no question
        QCOMPARE(pages->currentIndex(), 1);
        QVERIFY(w.shown.empty());

        w.doc.banks.size[0] = 0;  // 900 in all
        w.answer = Host::Choice::Cancel;
        tabs->setCurrentIndex(2);
        QCOMPARE(w.shown.size(), size_t(1));
        QCOMPARE(w.shown[0].text, std::string("Bank Total Error. Init Data?"));
        QCOMPARE(w.shown[0].title, std::string("Caution"));
        QVERIFY(w.shown[0].buttons == Host::Buttons::OkCancel);
        QCOMPARE(pages->currentIndex(), 1);  // the bank page stays
        QCOMPARE(w.doc.banks.total(), 900);
        QCOMPARE(tabs->currentIndex(), 2);

        // Choosing the same tab again asks again; OK resets the layout.
        w.answer = Host::Choice::Ok;
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
        QCOMPARE(w.shown.size(), size_t(2));
        QCOMPARE(pages->currentIndex(), 2);
        QCOMPARE(w.doc.banks.total(), 1000);

        // Back to Memory relabels with the current layout.
        w.doc.banks.size.fill(0);
        w.doc.banks.size[0] = 600;
        w.doc.banks.size[3] = 400;
        tabs->setCurrentIndex(0);
        QCOMPARE(w.label(601), QString("Bank003-0"));
        QCOMPARE(pages->currentIndex(), 0);
    }

    void deleteClearAndAllClearRowRules() {
        Window w;
        ChannelGrid& g = w.doc.grid;
        auto fill = [&](int row) {
            g.setCell(row, ColFreq, "145.00000MHz");
            g.setCell(row, ColName, "N");
            g.setNameString(row - 1, "N");
            g.attr(row).inUse = 1;
        };
        for (int r : {1399, 1400, 1404, 1405, 1600, 1603}) fill(r);

        // Delete with the current row on CALL-UHF does nothing.
        w.selectRows(1402, 1405);
        w.key(Qt::Key_Delete);
        QCOMPARE(w.cell(1404, 1), QString("145.00000MHz"));

        // Delete from 1399 to 1405 empties all of them, call rows included,
        // and keeps the name strings.
        w.selectRows(1399, 1405);
        w.key(Qt::Key_Delete);
        QCOMPARE(w.cell(1399, 1), QString());
        QCOMPARE(w.cell(1401, 1), QString());
        QVERIFY(!g.inUse(1401));
        QCOMPARE(g.nameString(1398), std::string("N"));
        QCOMPARE(g.row(), 1399);
        QCOMPARE(g.rowSel(), 1405);

        startUp(w.doc);
        for (int r : {1400, 1404, 1405}) fill(r);
        w.selectRows(1400, 1405);
        w.click("Clear_Botton");
        QCOMPARE(w.cell(1400, 1), QString());
        QCOMPARE(w.cell(1404, 1), QString());
        QCOMPARE(w.cell(1402, 1), QString("433.00000MHz"));
        QCOMPARE(g.nameString(1403), std::string());

        w.selectRows(1610, 1620);  // wholly in the bug rows: nothing
        w.click("Clear_Botton");
        QCOMPARE(w.cell(1610, 1), QString("140.00000MHz"));

        for (int r : {1, 500, 1300, 1603}) fill(r);
        w.click("ALL_Reset");
        for (int r : {1, 500, 1300, 1603}) {
            QCOMPARE(w.cell(r, 1), QString());
            QVERIFY(!g.inUse(r));
            QCOMPARE(g.nameString(r - 1), std::string());
        }
        QCOMPARE(w.cell(1403, 1), QString("1295.00000MHz"));
        QCOMPARE(w.cell(1623, 1), QString("321.13500MHz"));
        QVERIFY(w.child<QPushButton>("ALL_Reset")->isEnabled());
        QCOMPARE(w.child<QProgressBar>("ProgressBar1")->value(), 0);
    }

    void versionDialog() {
        Window w;
        w.form->move(100, 80);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget* d = QApplication::activeModalWidget();
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), QString("Version"));
            QStringList texts;
            for (QLabel* l : d->findChildren<QLabel*>())
                if (!l->text().isEmpty()) texts << l->text();
            QCOMPARE(texts, (QStringList{"ORVANE TQ-M5 Clone Utility", "Version 1_1", "2009/08/11"}));
            QCOMPARE(d->pos().x() - w.form->geometry().left(), 133);
            QCOMPARE(d->pos().y() - w.form->geometry().top(), 66);
            seen = true;
            QTest::mouseClick(d->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        });
        w.child<QAction>("MenuVersion")->trigger();
        QVERIFY(seen);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void upDownButtons() {
        Window w;
        w.click("LIST_SET[0]");
        QCOMPARE(w.doc.grid.row(), 1);
        for (int i = 0; i < 30; ++i) w.click("LIST_SET[1]");
        QCOMPARE(w.doc.grid.row(), 31);
        QCOMPARE(w.doc.grid.topRow(), 6);
        QCOMPARE(w.form->grid()->currentIndex().row(), 30);
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
