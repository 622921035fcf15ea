#include "ui/form5.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/twips.h"

namespace tqm5 {
namespace {

// The 16-colour palette the grid paints with.
const QColor MemberBack(0x00, 0x00, 0x80);       // dark blue
const QColor MemberText(0xFF, 0x00, 0x00);       // light red
const QColor UnavailableBack(0x80, 0x80, 0x80);  // dark grey
const QColor NormalText(0x00, 0x00, 0x00);
const QColor HeadingBack(0xE0, 0xE0, 0xE0);

}  // namespace

Form5::Form5(Commands& commands, bool readAllMode, QWidget* parent)
    : QDialog(parent), commands_(commands), readAllMode_(readAllMode) {
    setObjectName("Form5");
    setWindowTitle("BANK-LINK Setting");
    setModal(true);

    grid_ = new QTableWidget(GroupGridRows, GroupGridCols, this);
    grid_->setObjectName("MSFlexGrid1");
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setFocusPolicy(Qt::NoFocus);
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
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int col) { commands_.groupCellClicked(row, col); });

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
    connect(buttons_[0], &QPushButton::clicked, this, [this] { read(); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { write(); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { clear(); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] {
        if (!commands_.groupBusy()) accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(headings);
    layout->addWidget(grid_);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    commands_.groupButtonsEnabled = [this](bool on) { setButtonsEnabled(on); };
    groupsToken_ = commands_.document().groups.changed.connect([this] { paint(); });
    paint();
}

Form5::~Form5() { commands_.groupButtonsEnabled = nullptr; }

void Form5::setButtonsEnabled(bool on) {
    for (QPushButton* b : buttons_) b->setEnabled(on);
}

void Form5::paint() {
    const GroupTable& table = commands_.document().groups;
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

TransferOutcome Form5::read() {
    const TransferOutcome out = commands_.groupRead(readAllMode_);
    lastRead_ = out;
    // Read All goes on after this window whatever its read did (a failure
    // has shown its own message), so the window never waits for a click.
    if (readAllMode_ && out != TransferOutcome::Ignored) accept();
    return out;
}

TransferOutcome Form5::write() { return commands_.groupWrite(); }

void Form5::clear() { commands_.groupClear(); }

void Form5::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (readAllMode_ && !started_) {
        started_ = true;
        QTimer::singleShot(0, this, [this] { read(); });
    }
}

void Form5::reject() {
    if (!commands_.groupBusy()) QDialog::reject();  // Escape or the close box while a transfer runs: stay
}

}  // namespace tqm5
