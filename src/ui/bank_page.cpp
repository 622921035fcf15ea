#include "ui/bank_page.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/group_window.h"
#include "ui/twips.h"

namespace tqm5 {
namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

BankPage::BankPage(Commands& commands, QWidget* parent) : Page(parent), commands_(commands) {
    auto* frame = new QGroupBox("Bank Setting", this);
    frame->setObjectName("A_FRAME[1]");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    for (int c = 0; c < 10; ++c) {
        auto* head = new QLabel(QString::number(c), frame);
        head->setAlignment(Qt::AlignCenter);
        grid->addWidget(head, 0, c + 1);
    }
    for (int r = 0; r < 5; ++r) {
        auto* rowLabel = new QLabel(QString::number(10 * r), frame);
        rowLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(rowLabel, r + 1, 0);
        for (int c = 0; c < 10; ++c) {
            const int bank = 10 * r + c;
            auto* cell = new QVBoxLayout;
            cell->setSpacing(2);
            auto* slider = new QSlider(Qt::Horizontal, frame);
            slider->setObjectName(QString("Slider1[%1]").arg(bank));
            slider->setRange(0, BankLayout::MaxSize);
            slider->setMinimumWidth(70);
            slider->installEventFilter(this);
            slider->setAccessibleName(QString("Bank %1").arg(bank));
            auto* box = new QLineEdit(frame);
            box->setObjectName(QString("Text1[%1]").arg(bank));
            box->setAlignment(Qt::AlignRight);
            box->setMaximumWidth(60);
            box->installEventFilter(this);
            box->setAccessibleName(QString("Bank %1").arg(bank));
            connect(slider, &QSlider::valueChanged, this, [this, bank](int v) {
                if (!refreshing_) commands_.banks.setSize(bank, v);
            });
            cell->addWidget(slider);
            cell->addWidget(box, 0, Qt::AlignHCenter);
            grid->addLayout(cell, r + 1, c + 1);
            sliders_.append(slider);
            boxes_.append(box);
        }
    }
    layout->addLayout(grid);

    auto* totalRow = new QHBoxLayout;
    auto* totalLabel = new QLabel("Total", frame);
    total_ = new QLineEdit(frame);
    total_->setObjectName("Total_Mem");
    total_->setReadOnly(true);
    total_->setFocusPolicy(Qt::NoFocus);
    total_->setMaximumWidth(70);
    total_->setAlignment(Qt::AlignRight);
    total_->installEventFilter(this);
    auto* up = button(frame, "BANK_UP[0]", "Up");
    auto* down = button(frame, "BANK_UP[1]", "Down");
    auto* reset = button(frame, "Bank_Clear", "Reset");
    auto* read = button(frame, "READ_BANK", "Bank Read");
    write_ = button(frame, "WRITE_BANK", "Bank Write");
    auto* link = button(frame, "GROUP_SET", "Bank_Link");
    // Up and Down leave the focus on the slider they act on.
    for (QPushButton* b : {up, down}) b->setFocusPolicy(Qt::NoFocus);
    totalRow->addWidget(totalLabel);
    totalRow->addWidget(total_);
    totalRow->addSpacing(12);
    totalRow->addWidget(up);
    totalRow->addWidget(down);
    totalRow->addStretch(1);
    for (QPushButton* b : {reset, read, write_, link}) totalRow->addWidget(b);
    layout->addLayout(totalRow);
    layout->addStretch(1);

    // A size being typed counts before the step, as when the box loses the focus.
    connect(up, &QPushButton::clicked, this, [this] {
        applyFocusedBox();
        commands_.banks.up();
    });
    connect(down, &QPushButton::clicked, this, [this] {
        applyFocusedBox();
        commands_.banks.down();
    });
    connect(reset, &QPushButton::clicked, this, [this] { commands_.banks.reset(); });
    connect(read, &QPushButton::clicked, this, [this] { commands_.banks.read(); });
    connect(write_, &QPushButton::clicked, this, [this] { commands_.banks.write(); });
    connect(link, &QPushButton::clicked, this, &BankPage::openGroups);
    transferControls_ = {write_, read, reset, up, down, link};
    // Tab goes from one slider to the next; the boxes follow the sliders.
    for (int b = 1; b < BankLayout::Banks; ++b) setTabOrder(sliders_[b - 1], sliders_[b]);

    banksToken_ = commands_.runner.document().banks.changed.connect([this] { refresh(); });
    refresh();
}

void BankPage::refresh() {
    const BankLayout& banks = commands_.runner.document().banks;
    refreshing_ = true;
    for (int b = 0; b < BankLayout::Banks; ++b) {
        const int size = banks.size[static_cast<std::size_t>(b)];
        sliders_[b]->setValue(size);
        if (!boxes_[b]->hasFocus()) boxes_[b]->setText(QString::number(size));  // never under the typing
    }
    refreshing_ = false;
    total_->setText(QString::number(banks.total()));
    QPalette pal = total_->palette();
    pal.setColor(QPalette::Text, banks.complete() ? palette().color(QPalette::Text) : QColor(255, 0, 0));
    total_->setPalette(pal);
    write_->setEnabled(commands_.banks.writeAllowed());
}

void BankPage::transferControlsEnabled(bool on) {
    write_->setEnabled(on && commands_.banks.writeAllowed());
    // The sizes take no edit while a transfer runs (a write would send half
    // the old layout and half the new), so they look it.
    for (int b = 0; b < BankLayout::Banks; ++b) {
        sliders_[b]->setEnabled(on);
        boxes_[b]->setEnabled(on);
    }
}

void BankPage::applyFocusedBox() {
    const QWidget* focused = window()->focusWidget();  // also while the window is not active
    for (int b = 0; b < BankLayout::Banks; ++b)
        if (boxes_[b] == focused) applyBox(b);
}

void BankPage::applyBox(int bank) {
    const int value = bankBoxValue(boxes_[bank]->text().toStdString());
    boxes_[bank]->setText(QString::number(value));
    commands_.banks.setSize(bank, value);
    refresh();
}

void BankPage::openGroups() {
    if (!commands_.groups.openWindow()) return;
    GroupWindow window(commands_, false, this);
    const QRect main = this->window()->frameGeometry();
    window.move(main.left() + twipsToPixels(2000), main.top() + twipsToPixels(1000));
    window.exec();
}

bool BankPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == total_ && event->type() == QEvent::KeyPress) return true;  // the total takes no typing
    if (auto* slider = qobject_cast<QSlider*>(watched); slider && event->type() == QEvent::FocusIn) {
        commands_.banks.select(static_cast<int>(sliders_.indexOf(slider)));
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    const int bank = box ? static_cast<int>(boxes_.indexOf(box)) : -1;
    if (bank < 0) return Page::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        applyBox(bank);
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            applyBox(bank);
            return true;
        }
        const QString text = key->text();
        // Keys that type nothing (arrows, Delete, Backspace ...) edit as usual.
        if (text.isEmpty() || !text.at(0).isPrint()) return false;
        const QChar c = text.at(0);
        return !(c >= '0' && c <= '9' && bankBoxTakesDigit(box->text().toStdString()));
    }
    return Page::eventFilter(watched, event);
}

}  // namespace tqm5
