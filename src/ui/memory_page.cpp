#include "ui/memory_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>
#include <vector>

#include "ui/channel_editor.h"
#include "ui/keyboard.h"
#include "ui/grid_model.h"
#include "ui/twips.h"

namespace tqm5 {
namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    return b;
}

// Keys the grid handles itself: moving the current row and extending the
// selection. Everything else (letters, Ctrl+A ...) would move or select rows
// the commands do not act on.
bool isNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left: case Qt::Key_Right:
        case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
        case Qt::Key_Tab: case Qt::Key_Backtab:
        case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta:
            return true;
        default:
            return false;
    }
}

}  // namespace

MemoryPage::MemoryPage(Commands& commands, QWidget* parent)
    : Page(parent), commands_(commands), grid_(commands.runner.document().grid) {
    auto* frame = new QGroupBox("memory", this);
    frame->setObjectName("A_FRAME[0]");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    model_ = new GridModel(grid_, this);
    view_ = new QTableView(frame);
    view_->setObjectName("MSFlexGrid1");
    const int rowHeight = view_->fontMetrics().height() + 6;
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setTabKeyNavigation(false);  // Tab leaves the grid for the buttons
    view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view_->setWordWrap(false);
    view_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(rowHeight);
    view_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view_->horizontalHeader()->setMinimumSectionSize(1);
    fitColumns();
    model_->setLabelSize(QSize(view_->verticalHeader()->width(), rowHeight));
    view_->setMinimumHeight(view_->horizontalHeader()->sizeHint().height() + ChannelGrid::VisibleRows * rowHeight +
                            view_->horizontalScrollBar()->sizeHint().height() + 2 * view_->frameWidth());
    view_->installEventFilter(this);
    connect(view_, &QTableView::doubleClicked, this, [this] { openEditor(); });
    // The row labels are part of the grid: a double-click there opens the editor too.
    connect(view_->verticalHeader(), &QHeaderView::sectionDoubleClicked, this, [this] { openEditor(); });
    // The corner button would highlight every row while a command acts on
    // the range from the first row to the current one.
    view_->setCornerButtonEnabled(false);
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MemoryPage::takeViewSelection);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, &MemoryPage::takeViewSelection);
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!syncing_) grid_.setTopRow(v + 1);
    });

    auto* read = button(frame, "READ_Botton", "Memory Read");
    auto* write = button(frame, "WRITE_Botton", "Memory Write");
    auto* oneRead = button(frame, "MEM_ONE_READ", "One Memory Read");
    auto* oneWrite = button(frame, "MEM_ONE_WRITE", "One Memory Write");
    auto* clear = button(frame, "Clear_Botton", "Clear");
    auto* allReset = button(frame, "ALL_Reset", "All Clear");
    auto* up = button(frame, "LIST_SET[0]", "Up");
    auto* down = button(frame, "LIST_SET[1]", "Down");
    connect(read, &QPushButton::clicked, this, [this] { commands_.channels.memoryRead(); });
    connect(write, &QPushButton::clicked, this, [this] { commands_.channels.memoryWrite(); });
    connect(oneRead, &QPushButton::clicked, this, [this] { commands_.channels.oneMemoryRead(); });
    connect(oneWrite, &QPushButton::clicked, this, [this] { commands_.channels.oneMemoryWrite(); });
    connect(clear, &QPushButton::clicked, this, [this] { commands_.channels.clearRows(); });
    connect(allReset, &QPushButton::clicked, this, [this, allReset] {
        if (commands_.runner.busy()) return;
        allReset->setEnabled(false);
        commands_.channels.allClear();
        allReset->setEnabled(true);
    });
    connect(up, &QPushButton::clicked, this, [this] { commands_.channels.moveUp(); });
    connect(down, &QPushButton::clicked, this, [this] { commands_.channels.moveDown(); });
    transferControls_ = {read, write, oneRead, oneWrite, clear, allReset, up, down, view_};
    pressOnEnter({read, write, oneRead, oneWrite, clear, allReset, up, down});

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {read, write, oneRead, oneWrite}) buttons->addWidget(b);
    buttons->addSpacing(16);
    buttons->addWidget(clear);
    buttons->addWidget(allReset);
    buttons->addSpacing(16);
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addStretch(1);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(view_, 1);
    row->addLayout(buttons);
    // Tab goes from the grid through the buttons in the order they stand.
    QWidget::setTabOrder(view_, read);
    QWidget* previous = read;
    for (QWidget* next : {static_cast<QWidget*>(write), static_cast<QWidget*>(oneRead), static_cast<QWidget*>(oneWrite),
                          static_cast<QWidget*>(clear), static_cast<QWidget*>(allReset), static_cast<QWidget*>(up),
                          static_cast<QWidget*>(down)}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }

    selectionToken_ = grid_.selectionChanged.connect([this] { showSelection(); });
    // Rows a command changed (Clear, a transfer, a file) are seen from the
    // row label and the frequency on.
    rowsToken_ = grid_.rowsChanged.connect([this](int, int) { showFirstColumns(); });
    showSelection();
}

QList<QWidget*> MemoryPage::transferControls() const { return transferControls_; }

// The columns keep their proportions, scaled so that the widest text each
// can hold fits whole at the grid's font: nothing is ever cut with "...".
void MemoryPage::fitColumns() {
    const QFontMetrics cells(view_->font());
    const QFontMetrics heads(view_->horizontalHeader()->font());
    const int margin = 2 * view_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 8;
    // The widest text of every column: its heading and the longest values.
    const std::vector<std::vector<QString>> widest = {
        {},  // row labels: measured from the grid below
        {"1299.99999MHz"},
        {"WFM", "NFM"},
        {"6.25KHz", "8.33KHz", "500KHz", "100KHz"},
        {},  // the carrier column stays hidden
        {"Train", "None", "DCS"},
        {"250.3Hz", "100.0Hz"},
        {"250.3Hz", "100.0Hz"},
        {"754", "023"},
        {"Off"},
        {"999.995MHz", "100.000MHz"},
        {"*"},
        // 16 bytes of name: sixteen wide Latin letters are wider than eight
        // kanji, and measuring them does not load the Japanese font before
        // the first paint.
        {"WWWWWWWWWWWWWWWW", "MMMMMMMMMMMMMMMM"},
    };
    std::vector<int> need(GridCols, 0);
    for (int c = 1; c < GridCols; ++c) {
        need[static_cast<std::size_t>(c)] = heads.horizontalAdvance(QString::fromStdString(grid_.cell(0, c))) + margin;
        for (const QString& t : widest[static_cast<std::size_t>(c)])
            need[static_cast<std::size_t>(c)] = std::max(need[static_cast<std::size_t>(c)], cells.horizontalAdvance(t) + margin);
    }
    // The widest row labels of each kind (bold: the current row's label).
    QFont bold = view_->verticalHeader()->font();
    bold.setBold(true);
    const QFontMetrics boldHeads(bold);
    int labels = 0;
    for (const char* label : {"Bank049-999", "Bank008-888", "PRG - 48B", "Dual48(Main) ", "PRIO - 88",
                              "CALL-VHF", "CALL-UHF", "PASS - 88", "TSF - 88", "BUG - 18"})
        labels = std::max(labels, boldHeads.horizontalAdvance(label));
    need[0] = labels + margin;
    double scale = 1.0;
    for (int c = 0; c < GridCols; ++c) {
        if (c == ColCarrier) continue;
        scale = std::max(scale, double(need[static_cast<std::size_t>(c)]) / twipsToPixels(ChannelGrid::columnWidthTwips(c)));
    }
    auto width = [&](int c) { return int(std::ceil(twipsToPixels(ChannelGrid::columnWidthTwips(c)) * scale)); };
    view_->verticalHeader()->setFixedWidth(width(0));
    for (int c = 1; c < GridCols; ++c) view_->setColumnWidth(c - 1, width(c));
    view_->setColumnHidden(ColCarrier - 1, true);
}

void MemoryPage::openEditor() {
    const int row = commands_.channels.editorRow();
    if (row == 0) return;
    grid_.selectRow(row);
    ChannelEditor editor(grid_, row, this);
    editor.exec();
    commands_.channels.storeEdit(editor.result(), editor.plan());
}

void MemoryPage::showSelection() {
    if (!view_ || syncing_) return;
    syncing_ = true;
    auto* sel = view_->selectionModel();
    // The cursor keeps the column the user put it in; a selection the
    // program made starts from the first column, so the view does not
    // scroll sideways to show it.
    const QModelIndex was = view_->currentIndex();
    const int col = fromView_ && was.isValid() ? was.column() : 0;
    // The grid's current row is the anchor a Shift+arrow extends from; its
    // selection end is where the view's cursor stands.
    view_->setCurrentIndex(model_->index(grid_.row() - 1, col));
    sel->setCurrentIndex(model_->index(grid_.rowSel() - 1, col), QItemSelectionModel::NoUpdate);
    QItemSelection range(model_->index(grid_.rangeFirst() - 1, 0), model_->index(grid_.rangeLast() - 1, GridCols - 2));
    sel->select(range, QItemSelectionModel::ClearAndSelect);
    view_->verticalScrollBar()->setValue(grid_.topRow() - 1);
    if (grid_.row() < grid_.topRow() || grid_.row() >= grid_.topRow() + ChannelGrid::VisibleRows) {
        view_->scrollTo(model_->index(grid_.row() - 1, 0));
        grid_.setTopRow(view_->verticalScrollBar()->value() + 1);  // the grid scrolls from here on
    }
    if (!fromView_) view_->horizontalScrollBar()->setValue(0);
    syncing_ = false;
}

void MemoryPage::showFirstColumns() {
    if (syncing_) return;
    const QModelIndex current = view_->currentIndex();
    if (current.isValid() && current.column() != 0) {
        syncing_ = true;
        view_->selectionModel()->setCurrentIndex(current.sibling(current.row(), 0), QItemSelectionModel::NoUpdate);
        syncing_ = false;
    }
    view_->horizontalScrollBar()->setValue(0);
}

void MemoryPage::takeViewSelection() {
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
    fromView_ = true;
    grid_.setSelection(anchor + 1, current.row() + 1);
    fromView_ = false;
}

bool MemoryPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::ShortcutOverride) return false;  // menus' Alt keys still work
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            openEditor();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            commands_.channels.deleteRows();
            return true;
        }
        if (key->modifiers() & Qt::AltModifier) return false;  // access keys of buttons and menus
        return !isNavigationKey(key->key());
    }
    return Page::eventFilter(watched, event);
}

}  // namespace tqm5
