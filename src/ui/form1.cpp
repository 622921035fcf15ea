#include "ui/form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

#include "app/pages.h"
#include "channels/grid_editing.h"
#include "ui/form3.h"
#include "ui/grid_model.h"
#include "serial/qt_serial_link.h"
#include "ui/twips.h"
#include "ui/form2.h"

namespace tqm5 {
namespace {

// The controls that accept input again at the end of every transfer.
const char* const kTransferControls[] = {
    "WRITE_ONE_TOUCH", "READ_ONE_TOUCH", "COMMON_ONE_TOUCH_RESET", "TITLE_WRITE", "TITLE_READ",
    "TITLE_CLEAR", "GROUP_SET", "WRITE_DTMF", "READ_DTMF", "RESET_DTMF", "Set_Mode_Write",
    "Set_Mode_Read", "Set_Mode_Clear", "WRITE_BANK", "READ_BANK", "Bank_Clear", "BANK_UP[0]",
    "BANK_UP[1]", "WRITE_Botton", "READ_Botton", "MEM_ONE_WRITE", "MEM_ONE_READ", "LIST_SET[0]",
    "LIST_SET[1]", "Command1", "Clear_Botton", "ALL_Reset", "TabStrip1", "MSFlexGrid1"};
const char* const kTransferMenus[] = {"FILE", "MenuComPort", "MenuHelp", "Tusin_Botton"};

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

Form1::Form1(Document& doc, QtSerialLink& link, QWidget* parent) : QMainWindow(parent), doc_(doc), link_(link) {
    setObjectName("Form1");
    setWindowTitle("KPL_TQ-M5 Clone Utility Version1_1");
    buildMenus();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    tabs_ = new QTabBar(central);
    tabs_->setObjectName("TabStrip1");
    for (const char* caption : {"Memory", "Bank", "Common Set", "Set Mode"}) tabs_->addTab(caption);
    pages_ = new QStackedWidget(central);
    pages_->addWidget(buildMemoryPage());
    const char* frames[] = {"Bank Setting", "Common Setting", "Set Mode"};
    for (int i = 0; i < 3; ++i) {
        auto* frame = new QGroupBox(frames[i], pages_);
        frame->setObjectName(QString("A_FRAME[%1]").arg(i + 1));
        pages_->addWidget(frame);
    }
    layout->addWidget(tabs_);
    layout->addWidget(pages_, 1);

    auto* progressRow = new QHBoxLayout;
    progressBar_ = new QProgressBar(central);
    progressBar_->setObjectName("ProgressBar1");
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progress_ = new QLineEdit("0%", central);
    progress_->setObjectName("Progress");
    progress_->setFixedWidth(60);
    progress_->installEventFilter(this);
    progress_->setReadOnly(true);
    auto* percent = new QLabel("%", central);
    percent->setObjectName("Label17");
    progressRow->addWidget(progressBar_, 1);
    progressRow->addWidget(progress_);
    progressRow->addWidget(percent);
    layout->addLayout(progressRow);
    setCentralWidget(central);

    connect(tabs_, &QTabBar::currentChanged, this, &Form1::tabChosen);
    connect(tabs_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == tabs_->currentIndex()) tabChosen(index);  // a click on the tab already shown
    });

    doc_.grid.onSelectionChanged = [this] { showSelection(); };
    showSelection();
    refreshPortCaptions();
}

Form1::~Form1() { doc_.grid.onSelectionChanged = nullptr; }

void Form1::buildMenus() {
    auto* file = menuBar()->addMenu("File(&F)");
    file->setObjectName("FILE");
    struct Item { const char* name; const char* caption; };
    for (Item it : {Item{"ReadFile", "Open(&O)"}, Item{"TEST_CLICK", "Save(&S)"},
                    Item{"FILE_INPORT", "Import(&I)"}, Item{"FILE_EXPORT", "Export(&E)"}}) {
        QAction* a = file->addAction(it.caption);
        a->setObjectName(it.name);
        a->setEnabled(false);  // the memory file and CSV come with their own commands
    }
    auto* ports = menuBar()->addMenu("COMPort(&C)");
    ports->setObjectName("MenuComPort");
    for (int n = 1; n <= 16; ++n) {
        QAction* a = ports->addAction(QString("COM%1").arg(n));
        a->setObjectName(QString("MenuSetCom[%1]").arg(n));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, n] { selectPort(n); });
        portItems_[n] = a;
    }
    connect(ports, &QMenu::aboutToShow, this, &Form1::refreshPortCaptions);
    auto* comm = menuBar()->addMenu("Communication(&T)");
    comm->setObjectName("Tusin_Botton");
    for (Item it : {Item{"ALL_WRITE", "Write All Data(&A)"}, Item{"ALL_READ", "Read All Data(&B)"}}) {
        QAction* a = comm->addAction(it.caption);
        a->setObjectName(it.name);
        a->setEnabled(false);  // needs every feature's transfer
    }
    auto* help = menuBar()->addMenu("Help(&H)");
    help->setObjectName("MenuHelp");
    QAction* version = help->addAction("Version Infomation(&A)");
    version->setObjectName("MenuVersion");
    connect(version, &QAction::triggered, this, &Form1::showVersion);
}

QWidget* Form1::buildMemoryPage() {
    auto* frame = new QGroupBox("memory");
    frame->setObjectName("A_FRAME[0]");
    model_ = new GridModel(doc_.grid, this);
    view_ = new QTableView(frame);
    view_->setObjectName("MSFlexGrid1");
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view_->setWordWrap(false);
    view_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->verticalHeader()->setFixedWidth(twipsToPixels(ChannelGrid::columnWidthTwips(0)));
    view_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view_->horizontalHeader()->setMinimumSectionSize(1);
    for (int c = 1; c < GridCols; ++c) view_->setColumnWidth(c - 1, twipsToPixels(ChannelGrid::columnWidthTwips(c)));
    const int rowHeight = view_->verticalHeader()->defaultSectionSize();
    view_->setMinimumHeight(view_->horizontalHeader()->sizeHint().height() + 26 * rowHeight +
                            view_->horizontalScrollBar()->sizeHint().height() + 2 * view_->frameWidth());
    view_->installEventFilter(this);
    connect(view_, &QTableView::doubleClicked, this, [this] { openEditor(); });
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &Form1::takeViewSelection);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, &Form1::takeViewSelection);
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) {
                if (!syncing_) doc_.grid.setTopRow(v + 1);
            });

    auto* read = button(frame, "READ_Botton", "Memory Read");
    auto* write = button(frame, "WRITE_Botton", "Memory Write");
    auto* oneRead = button(frame, "MEM_ONE_READ", "One Memory Read");
    auto* oneWrite = button(frame, "MEM_ONE_WRITE", "One Memory Write");
    auto* clear = button(frame, "Clear_Botton", "Clear");
    allReset_ = button(frame, "ALL_Reset", "All Clear");
    auto* up = button(frame, "LIST_SET[0]", "Up");
    auto* down = button(frame, "LIST_SET[1]", "Down");
    connect(read, &QPushButton::clicked, this, [this] { memoryRead(); });
    connect(write, &QPushButton::clicked, this, [this] { memoryWrite(); });
    connect(oneRead, &QPushButton::clicked, this, [this] { oneMemoryRead(); });
    connect(oneWrite, &QPushButton::clicked, this, [this] { oneMemoryWrite(); });
    connect(clear, &QPushButton::clicked, this, [this] { clearSelectedRows(doc_.grid, doc_.state); });
    connect(allReset_, &QPushButton::clicked, this, [this] {
        if (doc_.state.busyNow()) return;
        allReset_->setEnabled(false);
        allClear(doc_.grid, doc_.state, *this);
        allReset_->setEnabled(true);
    });
    connect(up, &QPushButton::clicked, this, [this] {
        if (!doc_.state.busyNow()) doc_.grid.moveUp();
    });
    connect(down, &QPushButton::clicked, this, [this] {
        if (!doc_.state.busyNow()) doc_.grid.moveDown();
    });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {read, write, oneRead, oneWrite}) buttons->addWidget(b);
    buttons->addSpacing(16);
    buttons->addWidget(clear);
    buttons->addWidget(allReset_);
    buttons->addSpacing(16);
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addStretch(1);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(view_, 1);
    row->addLayout(buttons);
    return frame;
}

// --- Host ----------------------------------------------------------------

Host::Choice Form1::message(const std::string& text, const std::string& title, Buttons buttons) {
    if (messageSink) return messageSink(text, title, buttons);
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text),
                    buttons == Buttons::Ok ? QMessageBox::Ok : (QMessageBox::Ok | QMessageBox::Cancel), this);
    return box.exec() == QMessageBox::Ok ? Choice::Ok : Choice::Cancel;
}

void Form1::processEvents() { QApplication::processEvents(QEventLoop::AllEvents); }
void Form1::setProgressMax(int max) { progressBar_->setMaximum(max); }
void Form1::setProgressValue(int value) { progressBar_->setValue(std::min(value, progressBar_->maximum())); }
void Form1::setProgressText(const std::string& text) { progress_->setText(QString::fromStdString(text)); }

void Form1::enableTransferControls() {
    for (const char* name : kTransferControls)
        for (QWidget* w : findChildren<QWidget*>(name)) w->setEnabled(true);
    for (const char* name : kTransferMenus)
        if (auto* m = findChild<QMenu*>(name)) m->menuAction()->setEnabled(true);
}

// --- commands --------------------------------------------------------------

TransferContext Form1::context() { return TransferContext{doc_.grid, doc_.state, link_, *this, doc_.port, timeoutMs}; }

TransferOutcome Form1::memoryRead() { return tqm5::memoryRead(context()); }
TransferOutcome Form1::memoryWrite() { return tqm5::memoryWrite(context()); }
TransferOutcome Form1::oneMemoryRead() { return tqm5::oneMemoryRead(context()); }
TransferOutcome Form1::oneMemoryWrite() { return tqm5::oneMemoryWrite(context()); }

void Form1::openEditor() {
    const int row = editorRow(doc_.grid, doc_.state);
    if (row == 0) return;
    doc_.grid.selectRow(row);
    Form2 editor(doc_.grid, row, this);
    editor.exec();
    storeEdit(doc_.grid, *this, editor.result(), editor.plan());
}

void Form1::selectPort(int number) {
    if (doc_.state.busyNow()) {
        refreshPortCaptions();  // undo the menu's own toggle
        return;
    }
    doc_.port = number;
    doc_.portChecked = number;
    refreshPortCaptions();
}

void Form1::refreshPortCaptions() {
    for (int n = 1; n <= 16; ++n) {
        const QString device = link_.deviceFor(n);
        portItems_[n]->setText(device.isEmpty() ? QString("COM%1").arg(n) : QString("COM%1 (%2)").arg(n).arg(device));
        portItems_[n]->setChecked(n == doc_.portChecked);
    }
}

void Form1::showVersion() {
    if (doc_.state.busyNow()) return;
    Form3 dialog(this);
    dialog.move(geometry().left() + twipsToPixels(2000), geometry().top() + twipsToPixels(1000));
    dialog.exec();
}

void Form1::tabChosen(int index) {
    const int shown = switchPage(doc_, *this, index + 1);
    if (shown) pages_->setCurrentIndex(shown - 1);
}

// --- grid selection between the view and the model --------------------------

void Form1::showSelection() {
    if (!view_ || syncing_) return;
    syncing_ = true;
    const ChannelGrid& g = doc_.grid;
    auto* sel = view_->selectionModel();
    QItemSelection range(model_->index(g.rangeFirst() - 1, 0), model_->index(g.rangeLast() - 1, GridCols - 2));
    sel->setCurrentIndex(model_->index(g.row() - 1, GridCols - 2), QItemSelectionModel::NoUpdate);
    sel->select(range, QItemSelectionModel::ClearAndSelect);
    view_->verticalScrollBar()->setValue(g.topRow() - 1);
    if (g.row() < g.topRow() || g.row() >= g.topRow() + ChannelGrid::VisibleRows)
        view_->scrollTo(model_->index(g.row() - 1, 0));
    syncing_ = false;
}

void Form1::takeViewSelection() {
    if (syncing_) return;
    const QModelIndex current = view_->selectionModel()->currentIndex();
    if (!current.isValid()) return;
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    int first = current.row(), last = current.row();
    for (const QModelIndex& i : rows) {
        first = std::min(first, i.row());
        last = std::max(last, i.row());
    }
    // The anchor stays the current row; the end the user moved is the
    // selection end.
    const int anchor = (current.row() == first) ? last : first;
    doc_.grid.setSelection(anchor + 1, current.row() + 1);
}

// --- events ------------------------------------------------------------------

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == progress_) return true;  // the progress box takes no typing
        if (watched == view_) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                openEditor();
                return true;
            }
            if (key->key() == Qt::Key_Delete) {
                deleteSelectedRows(doc_.grid, doc_.state);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
    link_.close();
    doc_.state.closing = true;
    if (doc_.state.busyNow()) endOfTransferReset(doc_.state, doc_.grid, *this);
    event->accept();
}

}  // namespace tqm5
