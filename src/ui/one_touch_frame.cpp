#include "ui/one_touch_frame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/setmode_widgets.h"

namespace tqm5 {

OneTouchFrame::OneTouchFrame(Commands& commands, QWidget* parent)
    : QGroupBox("OneTouch Memory", parent), commands_(commands) {
    setObjectName("OneTouchFrame");
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Key No", this), 0, 0);
    grid->addWidget(new QLabel("Bank", this), 0, 2);
    grid->addWidget(new QLabel("CH", this), 0, 3);
    for (int k = 0; k < OneTouchKeyCount; ++k) {
        auto* number = new QLabel(QString::number(k + 1), this);
        number->setAlignment(Qt::AlignCenter);
        auto* none = new QCheckBox("No Setting", this);
        none->setObjectName(QString("NO_SET[%1]").arg(k));
        auto* bank = new ListCombo(this);
        bank->setObjectName(QString("COMMON_BANK[%1]").arg(k));
        bank->setMinimumContentsLength(3);
        auto* channel = new ListCombo(this);
        channel->setObjectName(QString("COMMON_CH[%1]").arg(k));
        channel->setMinimumContentsLength(3);
        channel->setMaxVisibleItems(20);
        // Named by their key: the column headings are no labels of theirs.
        none->setAccessibleName(QString("Key %1 No Setting").arg(k + 1));
        bank->setAccessibleName(QString("Key %1 Bank").arg(k + 1));
        channel->setAccessibleName(QString("Key %1 CH").arg(k + 1));
        grid->addWidget(number, k + 1, 0);
        grid->addWidget(none, k + 1, 1);
        grid->addWidget(bank, k + 1, 2);
        grid->addWidget(channel, k + 1, 3);
        noSetting_.append(none);
        banks_.append(bank);
        channels_.append(channel);
        connect(none, &QCheckBox::toggled, this, [this, k](bool on) {
            if (!refreshing_) commands_.oneTouch.setNoSetting(k, on);
        });
        connect(bank, &QComboBox::activated, this, [this, k](int i) { commands_.oneTouch.selectBank(k, i); });
        connect(channel, &QComboBox::activated, this, [this, k](int i) { commands_.oneTouch.selectChannel(k, i); });
    }
    layout->addLayout(grid);
    auto* row = new QHBoxLayout;
    struct B { const char* name; const char* caption; };
    for (B b : {B{"COMMON_ONE_TOUCH_RESET", "Reset"}, B{"READ_ONE_TOUCH", "Read"}, B{"WRITE_ONE_TOUCH", "Write"}}) {
        auto* button = new QPushButton(b.caption, this);
        button->setObjectName(b.name);
        row->addWidget(button);
        transferControls_.append(button);
    }
    layout->addLayout(row);
    connect(static_cast<QPushButton*>(transferControls_[0]), &QPushButton::clicked, this,
            [this] { commands_.oneTouch.reset(); });
    connect(static_cast<QPushButton*>(transferControls_[1]), &QPushButton::clicked, this,
            [this] { commands_.oneTouch.read(); });
    connect(static_cast<QPushButton*>(transferControls_[2]), &QPushButton::clicked, this,
            [this] { commands_.oneTouch.write(); });

    keysToken_ = commands_.runner.document().oneTouch.changed.connect([this] { refresh(); });
    refresh();
}

void OneTouchFrame::inputsEnabled(bool on) {
    for (int k = 0; k < OneTouchKeyCount; ++k) {
        noSetting_[k]->setEnabled(on);
        banks_[k]->setEnabled(on);
        channels_[k]->setEnabled(on);
    }
}

void OneTouchFrame::refresh() {
    const OneTouchMemories& keys = commands_.runner.document().oneTouch;
    refreshing_ = true;
    QStringList bankTexts;
    for (int b : keys.bankList()) bankTexts << QString::number(b);
    for (int k = 0; k < OneTouchKeyCount; ++k) {
        const OneTouchKey& key = keys.key(k);
        noSetting_[k]->setChecked(key.noSetting);
        QComboBox* bank = banks_[k];
        QStringList current;
        for (int i = 0; i < bank->count(); ++i) current << bank->itemText(i);
        if (current != bankTexts) {
            bank->clear();
            bank->addItems(bankTexts);
        }
        bank->setCurrentIndex(keys.bankPosition(k));
        QComboBox* channel = channels_[k];
        if (channel->count() != key.channelCount) {
            channel->clear();
            QStringList numbers;
            for (int i = 0; i < key.channelCount; ++i) numbers << QString::number(i);
            channel->addItems(numbers);
        }
        channel->setCurrentIndex(keys.channelPosition(k));
        // A key the layout cannot show keeps what it holds; say what that is.
        const QString tip = key.resolved ? QString()
                                         : QString("Bank %1, channel %2 (not in the bank layout; kept as it is)")
                                               .arg(key.bank)
                                               .arg(key.channel);
        bank->setToolTip(tip);
        channel->setToolTip(tip);
    }
    refreshing_ = false;
}

}  // namespace tqm5
