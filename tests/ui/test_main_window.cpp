// The main window as a user meets it: start-up state, pages, grid commands.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputDialog>
#include <QGroupBox>
#include <QScrollArea>
#include <QSlider>
#include <QStyleOptionComboBox>
#include <QtTest/qtestspontaneevent.h>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QHeaderView>
#include <QTableView>
#include <QMessageBox>
#include <QtTest>

#include "app/startup.h"
#include "ui/main_window.h"
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
    std::unique_ptr<MainWindow> window;
    std::vector<Shown> shown;
    Host::Choice answer = Host::Choice::Ok;
    Window() {
        startUp(doc);
        host.sink = [this](const std::string& t, const std::string& ti, Host::Buttons b) {
            shown.push_back({t, ti, b});
            return answer;
        };
        window = std::make_unique<MainWindow>(doc, link, &host);
        window->show();
    }
    template <typename T>
    T* child(const char* name) { return window->findChild<T*>(name); }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QString cell(int row, int col) {
        return window->grid()->model()->index(row - 1, col - 1).data().toString();
    }
    QString label(int row) { return window->grid()->model()->headerData(row - 1, Qt::Vertical).toString(); }
    void selectRows(int from, int to) {
        doc.grid.setSelection(from, to);
    }
    void key(int k) { QTest::keyClick(window->grid(), Qt::Key(k)); }
    Commands& commands() { return window->commands(); }
    void showTab(int index) {
        child<QTabBar>("TabStrip1")->setCurrentIndex(index);
        QApplication::processEvents();
    }
};

// One notch of the wheel downwards over `w`, as the window system delivers
// it: sendEvent() would make it synthetic, and those never reach the parents.
void wheelDown(QWidget* w) {
    const QPointF at = w->rect().center();
    QWheelEvent e(at, w->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(w, &e);
}

QScrollArea* scrollAreaOf(QWidget* w) {
    while (w && !qobject_cast<QScrollArea*>(w)) w = w->parentWidget();
    return static_cast<QScrollArea*>(w);
}

// The caption as drawn: "&&" is one "&", a single "&" marks an access key.
QString shownCaption(QString text) { return text.replace("&&", "\x01").remove('&').replace("\x01", "&"); }

// The labels, frame titles and list entries under `page` that do not fit
// their widget, and the frames a screen reader would name otherwise.
QStringList captionFaults(QWidget* page) {
    QStringList cut;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(page)) continue;
        QStringList texts;
        int room = w->width();
        if (auto* g = qobject_cast<QGroupBox*>(w)) {
            texts << shownCaption(g->title());
            if (QAccessible::queryAccessibleInterface(g)->text(QAccessible::Name) != texts[0]) cut << "named " + texts[0];
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(c);
            room = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c).width();
            for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
        } else if (qobject_cast<QLabel*>(w) || (qobject_cast<QAbstractButton*>(w) && !qobject_cast<QPushButton*>(w))) {
            if (w->sizeHint().width() > w->width()) cut << w->objectName() + " " + w->property("text").toString();
        }
        for (const QString& t : texts)
            if (w->fontMetrics().horizontalAdvance(t) > room) cut << w->objectName() + " " + t;
    }
    return cut;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useProgramFont(); }  // the windows measured as the program shows them

    void startupState() {
        Window w;
        QCOMPARE(w.window->windowTitle(), QString("KPL_TQ-M5 Clone Utility Version1_1"));
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
        QCOMPARE(w.window->grid()->model()->headerData(0, Qt::Horizontal).toString(), QString("Freqency"));
        QCOMPARE(w.doc.port, 1);
        QStringList menus;
        for (QAction* a : w.window->menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{"File(&F)", "Edit(&E)", "COMPort(&C)", "Communication(&T)", "Help(&H)"}));
        auto* ports = w.child<QMenu>("MenuComPort");
        QCOMPARE(ports->actions().size(), 16);
        QVERIFY(ports->actions()[0]->text().startsWith("COM1"));
        for (QAction* a : ports->actions()) QVERIFY(!a->isChecked());  // no configuration read yet
        QCOMPARE(w.child<QAction>("MenuVersion")->text(), QString("Version Infomation(&A)"));
        QCOMPARE(w.doc.grid.row(), 1);
        // Screen readers ask for sections and cells just past the ends.
        auto* model = w.window->grid()->model();
        for (int section : {-1, 1623, 1624, 100000}) QVERIFY(!model->headerData(section, Qt::Vertical).isValid());
        for (int section : {-1, 12, 13}) QVERIFY(!model->headerData(section, Qt::Horizontal).isValid());
        QCOMPARE(w.doc.grid.cell(1624, 1), std::string());
        QCOMPARE(w.doc.grid.cell(5, 13), std::string());
        // The same through the accessibility interface a screen reader uses.
        QAccessibleInterface* view = QAccessible::queryAccessibleInterface(w.window->grid());
        QVERIFY(view && view->tableInterface());
        const int children = view->childCount();
        for (int i : {0, 1, children - 14, children - 1, children}) {
            if (QAccessibleInterface* cell = view->child(i)) cell->text(QAccessible::Name);
        }
        QVERIFY(!view->tableInterface()->cellAt(1623, 0));
        QAccessibleInterface* last = view->tableInterface()->cellAt(1622, 11);
        QVERIFY(last);
        for (QAccessibleInterface* h : last->tableCellInterface()->rowHeaderCells()) h->text(QAccessible::Name);
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

    // Row labels, row heights and column widths as the grid lays them out:
    // the columns keep the proportions of their widths in twips.
    void gridGeometry() {
        Window w;
        QTableView* grid = w.window->grid();
        const int rowHeight = grid->fontMetrics().height() + 6;
        QCOMPARE(grid->verticalHeader()->sizeHint().width(), grid->verticalHeader()->width());
        for (int r : {0, 1, 999, 1622}) QCOMPARE(grid->rowHeight(r), rowHeight);
        const double scale = double(grid->columnWidth(ColName - 1)) / 200.0;  // Name: 3000 twips
        QVERIFY(scale >= 1.0);
        for (int c = 1; c < GridCols; ++c) {
            if (c == ColCarrier) continue;
            const double want = (ChannelGrid::columnWidthTwips(c) / 15) * scale;
            QVERIFY2(std::abs(grid->columnWidth(c - 1) - want) <= 1.0, qPrintable(QString::number(c)));
        }
        QVERIFY(std::abs(grid->verticalHeader()->width() - 80 * scale) <= 1.0);
    }

    void bankPromptOkAndCancel() {
        Window w;
        auto* tabs = w.child<QTabBar>("TabStrip1");
        auto* pages = w.window->findChild<QStackedWidget*>();
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
        w.window->move(100, 80);
        QString title;
        QStringList texts;
        QPoint offset;
        QTimer::singleShot(0, [&] {
            QWidget* d = QApplication::activeModalWidget();
            if (!d) return;
            title = d->windowTitle();
            for (QLabel* l : d->findChildren<QLabel*>())
                if (!l->text().isEmpty()) texts << l->text();
            offset = d->pos() - w.window->pos();  // frame to frame
            QTest::mouseClick(d->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        });
        w.child<QAction>("MenuVersion")->trigger();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(title, QString("Version"));
        QCOMPARE(texts, (QStringList{"ORVANE TQ-M5 Clone Utility", "Version 1_1", "2009/08/11"}));
        QCOMPARE(offset, QPoint(133, 66));
    }

    void upDownButtons() {
        Window w;
        w.click("LIST_SET[0]");
        QCOMPARE(w.doc.grid.row(), 1);
        for (int i = 0; i < 30; ++i) w.click("LIST_SET[1]");
        QCOMPARE(w.doc.grid.row(), 31);
        QCOMPARE(w.doc.grid.topRow(), 6);
        QCOMPARE(w.window->grid()->currentIndex().row(), 30);
        // Scrolled away by hand, the first Down brings the row back into view
        // and the next ones move the row, not the view.
        w.window->grid()->verticalScrollBar()->setValue(499);
        w.click("LIST_SET[1]");
        const int top = w.doc.grid.topRow();
        QVERIFY(32 >= top && 32 < top + ChannelGrid::VisibleRows);
        w.click("LIST_SET[1]");
        QCOMPARE(w.doc.grid.topRow(), top);
        QCOMPARE(w.window->grid()->verticalScrollBar()->value(), top - 1);
    }

    void captionsOfEveryControl() {
        Window w;
        const std::pair<const char*, const char*> buttons[] = {
            {"READ_Botton", "Memory Read"}, {"WRITE_Botton", "Memory Write"},
            {"MEM_ONE_READ", "One Memory Read"}, {"MEM_ONE_WRITE", "One Memory Write"},
            {"Clear_Botton", "Clear"}, {"ALL_Reset", "All Clear"}, {"LIST_SET[0]", "Up"}, {"LIST_SET[1]", "Down"}};
        for (auto [name, caption] : buttons) QCOMPARE(w.child<QPushButton>(name)->text(), QString(caption));
        const std::pair<const char*, const char*> actions[] = {
            {"ReadFile", "Open(&O)"}, {"TEST_CLICK", "Save(&S)"}, {"FILE_INPORT", "Import(&I)"},
            {"FILE_EXPORT", "Export(&E)"}, {"ALL_WRITE", "Write All Data(&A)"}, {"ALL_READ", "Read All Data(&B)"}};
        for (auto [name, caption] : actions) QCOMPARE(w.child<QAction>(name)->text(), QString(caption));
    }

    // The window's own host shows real message boxes: title and text in
    // their places, OK or OK/Cancel, and the user's choice returned.
    void realMessageBoxes() {
        Document doc;
        startUp(doc);
        QtSerialLink link;
        MainWindow window(doc, link);
        window.show();
        struct Case {
            const char *text, *title;
            Host::Buttons buttons;
            QMessageBox::StandardButton press;
            Host::Choice expected;
        } cases[] = {
            {"Port Error", " Error", Host::Buttons::Ok, QMessageBox::Ok, Host::Choice::Ok},
            {"Bank Total Error. Init Data?", "Caution", Host::Buttons::OkCancel, QMessageBox::Cancel, Host::Choice::Cancel},
            {"Bank Total Error. Init Data?", "Caution", Host::Buttons::OkCancel, QMessageBox::Ok, Host::Choice::Ok},
        };
        for (const Case& c : cases) {
            bool seen = false;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                QCOMPARE(box->windowTitle(), QString(c.title));
                QCOMPARE(box->text(), QString(c.text));
                QCOMPARE(box->buttons().size(), c.buttons == Host::Buttons::Ok ? 1 : 2);
                seen = true;
                box->button(c.press)->click();
            });
            QVERIFY(window.host().message(c.text, c.title, c.buttons) == c.expected);
            QVERIFY(seen);
        }
    }

    // Only the grid's own keys act on it: a typed letter does not jump to
    // another row and Ctrl+A selects nothing the commands would not act on.
    // The Edit menu's keys on the grid: copy, paste, undo and redo, the
    // block moves, find and F3; on another page they do nothing.
    void editKeysOnTheGrid() {
        Window w;
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        QVERIFY(w.commands().channels.pasteRows("145.5\tNFM\n433\n"));  // rows 1 and 2
        auto keys = [&](int key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
            QTest::keyClick(w.window->grid(), Qt::Key(key), mods);
            QApplication::processEvents();
        };
        w.doc.grid.setSelection(1, 2);
        keys(Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text().count('\n'), 2);
        w.doc.grid.selectRow(10);
        keys(Qt::Key_V);
        QCOMPARE(w.cell(10, 1), QString("145.50000MHz"));
        QCOMPARE(w.cell(11, 1), QString("433.00000MHz"));
        QCOMPARE(w.child<QAction>("EditUndo")->text(), QString("Undo Paste(&U)"));
        keys(Qt::Key_Z);
        QCOMPARE(w.cell(10, 1), QString());
        keys(Qt::Key_Y);
        QCOMPARE(w.cell(11, 1), QString("433.00000MHz"));
        keys(Qt::Key_Up);  // rows 10 and 11 one up
        QCOMPARE(w.cell(9, 1), QString("145.50000MHz"));
        QCOMPARE(w.doc.grid.rangeFirst(), 9);
        keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing to redo
        keys(Qt::Key_Z);
        QCOMPARE(w.cell(10, 1), QString("145.50000MHz"));
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setTextValue("433");
            dialog->accept();
        });
        keys(Qt::Key_F);  // from the row after the current one, 10
        QCOMPARE(w.doc.grid.row(), 11);
        w.window->activateWindow();  // the window system's part once the dialog is gone
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        keys(Qt::Key_F3, Qt::NoModifier);  // the call channel's 433 MHz, scrolled into sight
        QCOMPARE(w.doc.grid.row(), CallUhfRow);
        QVERIFY(w.window->grid()->rowAt(w.window->grid()->viewport()->height() / 2) > 1300);
        keys(Qt::Key_F3, Qt::NoModifier);  // from the top again
        QCOMPARE(w.doc.grid.row(), 2);
        QVERIFY(w.shown.empty());
        w.showTab(1);
        QVERIFY(!w.child<QAction>("EditPaste")->isEnabled());
        w.showTab(0);
        QVERIFY(w.child<QAction>("EditPaste")->isEnabled());
    }

    void gridKeysActOnlyOnWhatIsHighlighted() {
        Window w;
        ChannelGrid& g = w.doc.grid;
        for (int r = 1; r <= 20; ++r) {
            g.setCell(r, ColFreq, "145.00000MHz");
            g.setCell(r, ColName, "B" + std::to_string(r));
            g.attr(r).inUse = 1;
        }
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        w.window->grid()->setFocus();
        g.selectRow(5);
        w.key(Qt::Key_B);
        QTest::keyClick(w.window->grid(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(g.row(), 5);
        QCOMPARE(g.rangeFirst(), 5);
        QCOMPARE(g.rangeLast(), 5);
        QCOMPARE(w.window->grid()->selectionModel()->selectedRows().size(), 1);
        QTest::keyClick(w.window->grid(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(g.rangeFirst(), 5);
        QCOMPARE(g.rangeLast(), 6);
        w.key(Qt::Key_Delete);
        for (int r = 1; r <= 20; ++r) QCOMPARE(g.inUse(r), r != 5 && r != 6);
        // Tab leaves the grid for the first button.
        QTest::keyClick(w.window->grid(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.child<QPushButton>("READ_Botton")));
        // Enter and Space press a focused button.
        auto* down = w.child<QPushButton>("LIST_SET[1]");
        down->setFocus();
        const int before = g.row();
        QTest::keyClick(down, Qt::Key_Return);
        QTest::keyClick(down, Qt::Key_Space);
        QCOMPARE(g.row(), before + 2);
    }

    // Every value fits its column whole at the window's font.
    void everyValueReadable() {
        Window w;
        ChannelGrid& g = w.doc.grid;
        const char* row[] = {"1299.99999MHz", "WFM", "6.25KHz", "", "Train", "250.3Hz", "250.3Hz", "754",
                             "Off", "999.995MHz", "*", "東京都港区横浜駅"};
        for (int c = 1; c < GridCols; ++c) g.setCell(5, c, row[c - 1]);
        g.setCell(6, ColStep, "12.5KHz");
        g.setCell(7, ColName, "WWWWWWWWWWWWWWWW");
        QTableView* view = w.window->grid();
        const QFontMetrics fm(view->font());
        for (int r : {5, 6, 7}) {
            for (int c = 1; c < GridCols; ++c) {
                if (c == ColCarrier) {
                    QVERIFY(view->isColumnHidden(c - 1));
                    continue;
                }
                const QString text = QString::fromStdString(g.cell(r, c));
                QVERIFY2(fm.horizontalAdvance(text) + 4 <= view->columnWidth(c - 1), qPrintable(text));
                const QString heading = QString::fromStdString(g.cell(0, c));
                QVERIFY2(view->horizontalHeader()->fontMetrics().horizontalAdvance(heading) + 4 <= view->columnWidth(c - 1),
                         qPrintable(heading));
            }
        }
        QVERIFY(view->verticalHeader()->width() >= view->verticalHeader()->fontMetrics().horizontalAdvance("Dual49(Main) "));
    }

    // The grid opens, and comes back after a command, with the row labels
    // and the frequency in view; a click keeps the columns the user scrolled to.
    void gridShowsItsFirstColumns() {
        Window w;
        QTableView* view = w.window->grid();
        QScrollBar* across = view->horizontalScrollBar();
        QApplication::processEvents();
        QVERIFY(across->maximum() > 0);
        QCOMPARE(across->value(), 0);
        w.doc.grid.attr(6).inUse = 1;
        across->setValue(across->maximum());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(5, ColName - 1)).center());
        QCOMPARE(w.doc.grid.row(), 6);
        QCOMPARE(across->value(), across->maximum());
        w.click("Clear_Botton");
        QVERIFY(!w.doc.grid.inUse(6));
        QCOMPARE(across->value(), 0);
    }

    // The wheel turns a list or a slider only when it has the focus;
    // otherwise it scrolls the page under the pointer.
    void wheelTurnsOnlyTheFocusedControl() {
        Window w;
        w.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        w.showTab(3);
        auto* power = w.child<QComboBox>("Set_Mode_Power[0]");
        QScrollBar* page = scrollAreaOf(power)->verticalScrollBar();
        wheelDown(power);
        QCOMPARE(power->currentIndex(), 0);
        QVERIFY(page->value() > 0);
        power->setFocus();
        wheelDown(power);
        QCOMPARE(w.doc.setMode.position("Set_Mode_Power[0]"), 1);
        w.showTab(1);
        auto* slider = w.child<QSlider>("Slider1[3]");
        wheelDown(slider);
        QCOMPARE(w.doc.banks.size[3], 100);
        slider->setFocus();
        wheelDown(slider);
        QVERIFY(w.doc.banks.size[3] != 100);
    }

    // At the opening size every caption and list entry fits its widget in
    // both languages, every frame is named by its caption, and the Common
    // Set page shows whole; the controls a frame holds many of have names.
    void captionsFitAndNameTheirControls() {
        Window w;
        const std::pair<const char*, const char*> named[] = {{"Slider1[0]", "Bank 0"}, {"Slider1[49]", "Bank 49"},
                                                             {"Text1[49]", "Bank 49"}, {"NO_SET[4]", "Key 5 No Setting"}};
        for (auto [object, name] : named)
            QCOMPARE(QAccessible::queryAccessibleInterface(w.child<QWidget>(object))->text(QAccessible::Name), QString(name));
        for (int language : {English, Japanese}) {
            ApplySetModeLanguage(w.doc.setMode, language);
            for (int tab : {1, 2, 3}) {
                w.showTab(tab);
                const QStringList faults = captionFaults(w.window->findChild<QStackedWidget*>()->currentWidget());
                QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
            }
            w.showTab(2);
            QScrollArea* page = scrollAreaOf(w.child<QPushButton>("Command1"));
            QCOMPARE(page->verticalScrollBar()->maximum() + page->horizontalScrollBar()->maximum(), 0);
        }
    }

    // The program builds the other pages right after the first paint; a tab
    // chosen before that builds them at once.
    void pagesBuiltAfterTheFirstPaint() {
        for (bool paintFirst : {true, false}) {
            Document doc;
            startUp(doc);
            QtSerialLink link;
            test::RecordingWidgetHost host;
            MainWindow window(doc, link, &host, nullptr, PageBuilding::AfterFirstPaint);
            QVERIFY(!window.findChild<QPushButton*>("READ_BANK"));
            window.show();
            if (paintFirst) {
                QTRY_VERIFY(window.findChild<QPushButton*>("READ_BANK"));
            } else {
                window.findChild<QTabBar*>("TabStrip1")->setCurrentIndex(3);
                QVERIFY(window.findChild<QPushButton*>("Set_Mode_Read"));
                QCOMPARE(window.findChild<QStackedWidget*>()->currentIndex(), 3);
            }
            QVERIFY(window.findChild<QPushButton*>("Command1"));
            QCOMPARE(window.findChild<QStackedWidget*>()->count(), 4);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
