#include "ui/group_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/keyboard.h"
#include "ui/twips.h"
#include "ui/wheel_focus.h"

#include <algorithm>

namespace tqm5 {
namespace {

// The 16-colour palette the grid paints with.
const QColor MemberBack(0x00, 0x00, 0x80);       // dark blue
const QColor MemberText(0xFF, 0x00, 0x00);       // light red
const QColor UnavailableBack(0x80, 0x80, 0x80);  // dark grey
const QColor NormalText(0x00, 0x00, 0x00);
const QColor HeadingBack(0xE0, 0xE0, 0xE0);

// Draws the cell cursor while the grid has the focus: a black and a white
// frame, seen on every cell colour and in every style.
class CursorDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(p, plain, index);
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        if (!view || !view->hasFocus() || view->currentIndex() != index) return;
        p->save();
        p->setBrush(Qt::NoBrush);
        p->setPen(QPen(Qt::black, 1));
        p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        p->setPen(QPen(Qt::white, 1));
        p->drawRect(option.rect.adjusted(1, 1, -2, -2));
        p->restore();
    }
};

}  // namespace

GroupWindow::GroupWindow(Commands& commands, bool readAllMode, QWidget* parent)
    : QDialog(parent), commands_(commands), readAllMode_(readAllMode) {
    // The window keeps its name "Form5": tests and accessibility tools find it by it.
    setObjectName("Form5");
    setWindowTitle("BANK-LINK Setting");
    setModal(true);

    grid_ = new QTableWidget(GroupGridRows, GroupGridCols, this);
    grid_->setObjectName("MSFlexGrid1");
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    // The grid keeps the focus a click gives it: Space then ticks the cell
    // under the cursor and never presses the button that had the focus.
    grid_->setFocusPolicy(Qt::StrongFocus);
    grid_->setTabKeyNavigation(false);  // Tab goes on to the buttons
    grid_->setItemDelegate(new CursorDelegate(grid_));
    grid_->installEventFilter(this);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->horizontalHeader()->setMinimumSectionSize(1);
    grid_->verticalHeader()->setMinimumSectionSize(1);
    // Wide enough for a two-digit bank number, whatever the font.
    const int cellWidth = std::max(twipsToPixels(200), grid_->fontMetrics().horizontalAdvance("00") + 8);
    const int rowHeight = std::max(twipsToPixels(200), grid_->fontMetrics().height() + 4);
    const int nameWidth = std::max(twipsToPixels(700), grid_->fontMetrics().horizontalAdvance("GroupB") + 10);
    int width = 0;
    for (int c = 0; c < GroupGridCols; ++c) {
        const int w = c == 0 ? nameWidth : isGroupSeparator(c) ? std::max(2, twipsToPixels(20)) : cellWidth;
        grid_->setColumnWidth(c, w);
        width += w;
    }
    for (int r = 0; r < GroupGridRows; ++r) grid_->setRowHeight(r, rowHeight);
    grid_->setFixedSize(width + 2 * grid_->frameWidth(), GroupGridRows * rowHeight + 2 * grid_->frameWidth());
    for (int r = 0; r < GroupGridRows; ++r)
        for (int c = 0; c < GroupGridCols; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            grid_->setItem(r, c, item);
        }
    for (int g = 0; g < GroupCount; ++g) {
        grid_->item(g + 1, 0)->setText(QString::fromStdString(groupName(g)));
        grid_->item(g + 1, 0)->setBackground(HeadingBack);
    }
    for (int b = 0; b < BankLayout::Banks; ++b) {
        grid_->item(0, groupGridColumn(b))->setText(QString::number(b));
        grid_->item(0, groupGridColumn(b))->setBackground(HeadingBack);
    }
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int col) { commands_.groups.cellClicked(row, col); });

    // Headings over the five blocks of ten banks.
    auto* headings = new QHBoxLayout;
    headings->setSpacing(0);
    headings->addSpacing(nameWidth + grid_->frameWidth());
    static const char* const blockNames[] = {"BANK0～9", "BANK10～19", "BANK20～29", "BANK30～39", "BANK40～49"};
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(QString::fromUtf8(blockNames[i]), this);
        label->setObjectName(QString("Label1[%1]").arg(i));
        label->setFixedWidth(10 * cellWidth + (i < 4 ? grid_->columnWidth(11) : 0));
        headings->addWidget(label);
    }
    headings->addStretch(1);

    auto* row = new QHBoxLayout;
    struct B { const char* name; const char* caption; };
    for (B b : {B{"GROUP_READ", "Read"}, B{"GROUP_WRITE", "Write"}, B{"Command1", "Clear"}, B{"Command2", "OK"}}) {
        auto* button = new QPushButton(b.caption, this);
        button->setObjectName(b.name);
        buttons_.append(button);
        row->addWidget(button);
    }
    row->addStretch(1);
    // Enter presses only the focused button: none is the window's default.
    for (QPushButton* b : buttons_) b->setAutoDefault(false);
    pressOnEnter(buttons_);
    connect(buttons_[0], &QPushButton::clicked, this, [this] { read(); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { write(); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { clear(); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] {
        if (!commands_.groups.busy()) accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(headings);
    layout->addWidget(grid_);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    buttonsToken_ = commands_.groups.buttonsEnabled.connect([this](bool on) { setButtonsEnabled(on); });
    groupsToken_ = commands_.runner.document().groups.changed.connect([this] { paint(); });
    paint();
    grid_->setCurrentCell(1, groupGridColumn(0));
    wheelOnlyWhenFocused(this);
}

void GroupWindow::setButtonsEnabled(bool on) {
    for (QPushButton* b : buttons_) b->setEnabled(on);
}

void GroupWindow::paint() {
    const GroupTable& table = commands_.runner.document().groups;
    grid_->setUpdatesEnabled(false);
    for (int g = 0; g < GroupCount; ++g)
        for (int b = 0; b < BankLayout::Banks; ++b) {
            QTableWidgetItem* item = grid_->item(g + 1, groupGridColumn(b));
            const bool member = table.isMember(g, b);
            if (table.unavailable[static_cast<std::size_t>(b)]) {
                // Kept as the radio has it, but not tickable: a dot marks a member.
                item->setBackground(UnavailableBack);
                item->setForeground(MemberText);
                item->setText(member ? QString::fromUtf8("•") : QString());
            } else {
                item->setBackground(member ? QBrush(MemberBack) : QBrush());
                item->setForeground(member ? MemberText : NormalText);
                item->setText(QString());
            }
        }
    grid_->setUpdatesEnabled(true);
}

TransferOutcome GroupWindow::read() {
    const TransferOutcome out = commands_.groups.read(readAllMode_);
    lastRead_ = out;
    // Read All goes on after this window whatever its read did (a failure
    // has shown its own message), so the window never waits for a click.
    if (readAllMode_ && out != TransferOutcome::Ignored) accept();
    return out;
}

TransferOutcome GroupWindow::write() { return commands_.groups.write(); }

void GroupWindow::clear() { commands_.groups.clear(); }

void GroupWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (readAllMode_ && !started_) {
        started_ = true;
        QTimer::singleShot(0, this, [this] { read(); });
    }
}

// The cursor moves over the bank cells only (rows 1-11, the bank columns);
// Space acts on the cell under it as a click does.
bool GroupWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != grid_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & Qt::AltModifier) return false;  // access keys
    const int row = grid_->currentRow(), col = grid_->currentColumn();
    int group = std::clamp(row, 1, GroupCount) - 1;
    int bank = bankOfGroupColumn(col);
    if (bank < 0) bank = col > 1 ? bankOfGroupColumn(col - 1) : 0;  // on a separator or a name: the bank before
    switch (key->key()) {
        case Qt::Key_Space:
            if (!key->isAutoRepeat()) commands_.groups.cellClicked(row, col);
            return true;
        case Qt::Key_Left: --bank; break;
        case Qt::Key_Right: ++bank; break;
        case Qt::Key_Up: --group; break;
        case Qt::Key_Down: ++group; break;
        case Qt::Key_Home: bank = 0; break;
        case Qt::Key_End: bank = BankLayout::Banks - 1; break;
        case Qt::Key_PageUp: group = 0; break;
        case Qt::Key_PageDown: group = GroupCount - 1; break;
        case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Escape: case Qt::Key_Return: case Qt::Key_Enter:
            return false;
        default:
            return true;  // typing jumps to no cell
    }
    group = std::clamp(group, 0, GroupCount - 1);
    bank = std::clamp(bank, 0, BankLayout::Banks - 1);
    grid_->setCurrentCell(group + 1, groupGridColumn(bank));
    return true;
}

void GroupWindow::reject() {
    if (!commands_.groups.busy()) QDialog::reject();  // Escape or the close box while a transfer runs: stay
}

}  // namespace tqm5
