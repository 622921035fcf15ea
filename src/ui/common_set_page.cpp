#include "ui/common_set_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/one_touch_frame.h"
#include "ui/setmode_widgets.h"

namespace tqm5 {

CommonSetPage::CommonSetPage(Commands& commands, QWidget* parent)
    : Page(parent), commands_(commands), doc_(commands.runner.document()) {
    QGroupBox* frame = scrolledPageFrame(this, "Common Setting", "A_FRAME[2]");

    // The "Setting" frame: the Common Set items and their buttons.
    auto* setting = new QGroupBox("Setting", frame);
    setting->setObjectName("setting");
    items_ = new SetModeItemsView(commands_, SetModePageKind::CommonSet, setting);
    using G = SetModeGroup;
    auto* settingLayout = new QGridLayout(setting);
    auto* left = new QVBoxLayout;
    left->addWidget(items_->frame(G::ScreenDisplay));
    left->addStretch(1);
    auto* lower = new QHBoxLayout;
    lower->addWidget(items_->frame(G::Receiver), 0, Qt::AlignTop);
    lower->addWidget(items_->frame(G::Sound), 0, Qt::AlignTop);
    auto* middle = new QVBoxLayout;
    middle->addWidget(items_->frame(G::Transmitter));
    middle->addLayout(lower);
    middle->addStretch(1);
    settingLayout->addLayout(left, 0, 0);
    settingLayout->addLayout(middle, 0, 1);
    settingLayout->setRowStretch(1, 1);
    auto* read = namedButton(setting, "SETTING_READ", "Read");
    auto* write = namedButton(setting, "SETTING_WRITE", "Write");
    auto* reset = namedButton(setting, "SETTING_RESET", "Reset");
    connect(read, &QPushButton::clicked, this, [this] { commands_.settings.read(); });
    connect(write, &QPushButton::clicked, this, [this] { commands_.settings.write(); });
    connect(reset, &QPushButton::clicked, this, [this] { commands_.settings.resetCommonSet(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {reset, read, write}) buttons->addWidget(b);
    settingLayout->addLayout(buttons, 2, 0, 1, 2);

    // DTMF memory 0.
    auto* dtmf = new QGroupBox("DTMF", frame);
    auto* dtmfRow = new QHBoxLayout(dtmf);
    dtmf0_ = new DtmfMemoryEdit(commands_, 0, dtmf);
    dtmfRow->addWidget(dtmf0_);

    // Right column: title, DTMF memory 0, then the one-touch frame with
    // the FONT button beside it (below it the page would outgrow the window).
    auto* right = new QVBoxLayout;
    right->addWidget(buildTitleFrame(frame));
    right->addWidget(dtmf);
    auto* oneTouchRow = new QHBoxLayout;
    right->addLayout(oneTouchRow);
    right->addStretch(1);

    auto* layout = new QHBoxLayout(frame);
    layout->addWidget(setting, 3);
    layout->addLayout(right, 2);

    auto* oneTouch = new OneTouchFrame(commands_, frame);
    oneTouch_ = oneTouch;
    oneTouchRow->addWidget(oneTouch, 0, Qt::AlignTop);

    transferControls_ = {read, write, reset};
    for (const char* name : {"TITLE_READ", "TITLE_WRITE"}) transferControls_ << frame->findChild<QPushButton*>(name);
    transferControls_ += oneTouch->transferControls();
    auto* font = new QPushButton("FONT", frame);  // opens the font window (connected by the main window)
    font->setObjectName("Command1");
    oneTouchRow->addWidget(font, 0, Qt::AlignBottom);
    oneTouchRow->addStretch(1);
    transferControls_ << font;

    titleToken_ = doc_.title.changed.connect([this] { showTitle(); });
    dtmfToken_ = doc_.dtmf.changed.connect([this] { dtmf0_->showMemory(); });
    relabelToken_ = doc_.setMode.relabelled.connect([this] { showTitle(); });
    showTitle();
}

QWidget* CommonSetPage::buildTitleFrame(QWidget* parent) {
    auto* box = new QGroupBox("Title Name", parent);
    auto* grid = new QGridLayout(box);
    titleText_ = new QLineEdit(box);
    titleText_->setObjectName("TITLE_TEXT");
    titleText_->setContextMenuPolicy(Qt::NoContextMenu);  // no pasting past the filter
    titleText_->setAcceptDrops(false);
    titleText_->installEventFilter(this);
    connect(titleText_, &QLineEdit::textEdited, this, [this](const QString& t) {
        // Text composed by an input method arrives without key presses: it
        // is held to the same rule as typing.
        if (!commands_.title.edit(t.toStdString())) titleText_->setText(QString::fromStdString(doc_.title.text));
    });
    grid->addWidget(titleText_, 0, 0, 1, 8);
    for (int k = 0; k < 8; ++k) {
        auto* b = new QPushButton(QString::number(k + 1), box);
        b->setObjectName(QString("Command2[%1]").arg(k));
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance("88") + 20);
        connect(b, &QPushButton::clicked, this, [this, k] { commands_.title.appendUserCharacter(k); });
        grid->addWidget(b, 1, k);
    }
    slideLabel_ = new QLabel(box);
    slideLabel_->setObjectName("DOUSA");
    slide_ = new ListCombo(box);
    slide_->setObjectName("Combo1");
    fillCombo(slide_, SlideEntries);
    slideLabel_->setBuddy(slide_);
    connect(slide_, &QComboBox::activated, this, [this](int p) { commands_.title.selectSlide(p); });
    grid->addWidget(slideLabel_, 2, 0, 1, 4);
    grid->addWidget(slide_, 2, 4, 1, 4);
    auto* clear = namedButton(box, "TITLE_CLEAR", "Reset");
    auto* read = namedButton(box, "TITLE_READ", "Read");
    auto* write = namedButton(box, "TITLE_WRITE", "Write");
    connect(clear, &QPushButton::clicked, this, [this] { commands_.title.reset(); });
    connect(read, &QPushButton::clicked, this, [this] { commands_.title.read(); });
    connect(write, &QPushButton::clicked, this, [this] { commands_.title.write(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {clear, read, write}) buttons->addWidget(b);
    grid->addLayout(buttons, 3, 0, 1, 8);
    return box;
}

void CommonSetPage::transferControlsEnabled(bool on) {
    if (oneTouch_) oneTouch_->inputsEnabled(on);
}

void CommonSetPage::showTitle() {
    const OpeningTitle& t = doc_.title;
    const QString text = QString::fromStdString(t.text);
    if (titleText_->text() != text) titleText_->setText(text);
    slide_->setCurrentIndex(t.slide);
    slideLabel_->setText(QString::fromUtf8(openingSlideCaption(doc_.setMode.labelled)));
}

bool CommonSetPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == titleText_ && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->matches(QKeySequence::Paste)) return true;
        if (k->key() == Qt::Key_Backspace) return false;
        const QString typed = k->text();
        if (typed.isEmpty() || !typed.at(0).isPrint()) return false;  // moving the caret
        const std::string current = titleText_->text().toStdString();
        for (char32_t c : typed.toUcs4())
            if (!titleAcceptsKey(current, c)) return true;
        return false;
    }
    return Page::eventFilter(watched, event);
}

}  // namespace tqm5
