#include "ui/set_mode_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/setmode_widgets.h"

namespace tqm5 {

SetModePage::SetModePage(Commands& commands, QWidget* parent)
    : Page(parent), commands_(commands), doc_(commands.runner.document()) {
    QGroupBox* frame = scrolledPageFrame(this, "Set Mode", "A_FRAME[3]");

    items_ = new SetModeItemsView(commands_, SetModePageKind::SetMode, frame);
    using G = SetModeGroup;
    // Four columns of frames, the DTMF frame and the buttons below them.
    auto* columns = new QHBoxLayout;
    auto column = [&](std::initializer_list<QWidget*> widgets) {
        auto* col = new QVBoxLayout;
        for (QWidget* w : widgets) col->addWidget(w);
        col->addStretch(1);
        columns->addLayout(col);
    };

    // The scan timer sits under the scanning items.
    QGroupBox* scanning = items_->frame(G::Scanning);
    scanCheck_ = new QCheckBox(ScanTimerCaption, scanning);
    scanCheck_->setObjectName("Set_Mode_Scan_Check");
    scanTime_ = new QLineEdit(scanning);
    scanTime_->setObjectName("Set_Mode_Scan_Time");
    scanTime_->setMaximumWidth(scanTime_->fontMetrics().horizontalAdvance("00000") + 12);
    scanTime_->installEventFilter(this);
    auto* timerRow = new QHBoxLayout;
    timerRow->addWidget(scanTime_);
    timerRow->addWidget(new QLabel(ScanTimerUnit, scanning));
    timerRow->addStretch(1);
    static_cast<QFormLayout*>(scanning->layout())->addRow(scanCheck_, timerRow);
    connect(scanTime_, &QLineEdit::textEdited, this,
            [this](const QString& t) { commands_.settings.typeScanTime(t.toStdString()); });
    connect(scanCheck_, &QCheckBox::clicked, this, [this](bool on) {
        commands_.settings.setScanTimer(on, scanTime_->text().toStdString());
    });

    column({items_->frame(G::ScreenDisplay), items_->frame(G::PowerBatt), items_->frame(G::BugDetector),
            items_->frame(G::ChDisplay), buildLanguageFrame(frame)});
    column({items_->frame(G::Transmitter), items_->frame(G::Repeater), items_->frame(G::Sound),
            items_->frame(G::Memory)});
    column({items_->frame(G::Receiver), scanning});
    column({items_->frame(G::KeyAssignment)});

    auto* read = namedButton(frame, "Set_Mode_Read", "Read");
    auto* write = namedButton(frame, "Set_Mode_Write", "Write");
    auto* clear = namedButton(frame, "Set_Mode_Clear", "Reset");
    connect(read, &QPushButton::clicked, this, [this] { commands_.settings.read(); });
    connect(write, &QPushButton::clicked, this, [this] { commands_.settings.write(); });
    connect(clear, &QPushButton::clicked, this, [this] { commands_.settings.resetSetMode(); });
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {read, write, clear}) buttons->addWidget(b);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buildDtmfFrame(frame), 1);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(columns, 1);
    layout->addLayout(bottom);

    transferControls_ = {read, write, clear};
    for (const char* name : {"READ_DTMF", "WRITE_DTMF", "RESET_DTMF"}) transferControls_ << frame->findChild<QPushButton*>(name);

    SetModeSettings& s = doc_.setMode;
    settingsToken_ = s.changed.connect([this] { showScanTimer(); });
    dtmfToken_ = doc_.dtmf.changed.connect([this] { showDtmf(); });
    showScanTimer();
    showDtmf();
}

QWidget* SetModePage::buildLanguageFrame(QWidget* parent) {
    auto* box = new QGroupBox("Display Language", parent);
    auto* row = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    const char* captions[] = {"Japanese", "English"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(captions[i], box);
        b->setObjectName(QString("Option1[%1]").arg(i));
        group->addButton(b, i);
        row->addWidget(b);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this](int language) { commands_.settings.chooseLanguage(language); });
    return box;
}

QWidget* SetModePage::buildDtmfFrame(QWidget* parent) {
    auto* box = new QGroupBox("DTMF", parent);
    auto* grid = new QGridLayout(box);
    for (int m = 1; m <= 9; ++m) {
        const int row = (m - 1) % 3, col = 2 * ((m - 1) / 3);
        auto* label = new QLabel(QString("Ch%1").arg(m), box);
        dtmfEdits_[static_cast<std::size_t>(m)] = new DtmfMemoryEdit(commands_, m, box);
        label->setBuddy(dtmfEdits_[static_cast<std::size_t>(m)]);
        grid->addWidget(label, row, col);
        grid->addWidget(dtmfEdits_[static_cast<std::size_t>(m)], row, col + 1);
    }
    auto* lists = new QHBoxLayout;
    for (int l = 0; l < DtmfLists; ++l) {
        const DtmfListInfo& info = dtmfList(l);
        auto* combo = new ListCombo(box);
        combo->setObjectName(info.control);
        fillCombo(combo, info.entries);
        auto* label = new QLabel(info.caption, box);
        label->setBuddy(combo);
        lists->addWidget(label);
        lists->addWidget(combo);
        dtmfLists_[static_cast<std::size_t>(l)] = combo;
        connect(combo, &QComboBox::activated, this, [this, l](int position) { commands_.settings.selectDtmfList(l, position); });
    }
    lists->addStretch(1);
    auto* reset = namedButton(box, "RESET_DTMF", "Reset");
    auto* read = namedButton(box, "READ_DTMF", "Read");
    auto* write = namedButton(box, "WRITE_DTMF", "Write");
    connect(reset, &QPushButton::clicked, this, [this] { commands_.settings.resetDtmf(); });
    connect(read, &QPushButton::clicked, this, [this] { commands_.settings.readDtmf(); });
    connect(write, &QPushButton::clicked, this, [this] { commands_.settings.writeDtmf(); });
    for (QPushButton* b : {reset, read, write}) lists->addWidget(b);
    grid->addLayout(lists, 3, 0, 1, 6);
    return box;
}

void SetModePage::showScanTimer() {
    const SetModeSettings& s = doc_.setMode;
    scanCheck_->setChecked(s.scanTimerChecked);
    scanTime_->setEnabled(s.scanTimerChecked);
    if (scanTime_->text().toStdString() != s.scanTime) scanTime_->setText(QString::fromStdString(s.scanTime));
}

void SetModePage::showDtmf() {
    for (int m = 1; m <= 9; ++m) dtmfEdits_[static_cast<std::size_t>(m)]->showMemory();
    const DtmfSettings& d = doc_.dtmf;
    for (int l = 0; l < DtmfLists; ++l) dtmfLists_[static_cast<std::size_t>(l)]->setCurrentIndex(d.lists[static_cast<std::size_t>(l)]);
}

bool SetModePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scanTime_) {
        const SetModeSettings& s = doc_.setMode;
        if (event->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(event);
            const QString typed = k->text();
            if (k->key() == Qt::Key_Backspace || typed.isEmpty() || !typed.at(0).isPrint()) return false;
            if (!scanTimerAcceptsKey(scanTime_->text().toStdString(), typed.at(0).unicode())) return true;
            return false;
        }
        if (event->type() == QEvent::FocusOut)
            commands_.settings.setScanTimer(s.scanTimerChecked, normaliseScanTimer(scanTime_->text().toStdString()));
    }
    return Page::eventFilter(watched, event);
}

}  // namespace tqm5
