#include "ui/setmode_widgets.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace tqm5 {

void ListCombo::keyPressEvent(QKeyEvent* e) {
    const bool opens = e->key() == Qt::Key_F4 ||
                       ((e->key() == Qt::Key_Down || e->key() == Qt::Key_Up) && (e->modifiers() & Qt::AltModifier));
    if (opens) {
        QComboBox::keyPressEvent(e);
        return;
    }
    e->accept();  // whatever else is typed is discarded
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return;
    const int last = count() - 1, now = currentIndex();
    const int page = std::max(1, maxVisibleItems() - 1);
    int next = now;
    switch (e->key()) {
        case Qt::Key_Up: next = now - 1; break;
        case Qt::Key_Down: next = now + 1; break;
        case Qt::Key_PageUp: next = now - page; break;
        case Qt::Key_PageDown: next = now + page; break;
        case Qt::Key_Home: next = 0; break;
        case Qt::Key_End: next = last; break;
        default: return;
    }
    if (last < 0) return;  // nothing to choose
    next = std::clamp(next, 0, last);  // from a blank list (-1) Up and Down both give the first entry
    if (next == now) return;
    setCurrentIndex(next);
    emit activated(next);
    emit textActivated(itemText(next));
}

void nameFrameByCaption(QGroupBox* box) {
    // The caption as shown: "&&" is one "&", a single "&" marks an access key.
    const QString title = box->title();
    QString shown;
    for (qsizetype i = 0; i < title.size(); ++i) {
        if (title[i] == '&' && i + 1 < title.size()) ++i;
        shown += title[i];
    }
    box->setAccessibleName(shown);
}

void nameFramesByCaption(QWidget* root) {
    for (QGroupBox* box : root->findChildren<QGroupBox*>()) nameFrameByCaption(box);
}

QGroupBox* scrolledPageFrame(QWidget* page, const char* caption, const char* name) {
    auto* frame = new QGroupBox(caption);
    frame->setObjectName(name);
    auto* scroll = new QScrollArea(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(frame);
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    return frame;
}

QPushButton* namedButton(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    return b;
}

void fillCombo(QComboBox* combo, const std::vector<std::string>& entries) {
    combo->clear();
    for (const std::string& e : entries) combo->addItem(QString::fromStdString(e));
}

SetModeItemsView::SetModeItemsView(Commands& commands, SetModePageKind page, QWidget* parent)
    : QObject(parent), commands_(commands), doc_(commands.runner.document()), page_(page), parent_(parent) {
    SetModeSettings& s = doc_.setMode;
    changedToken_ = s.changed.connect([this] { showPositions(); });
    relabelToken_ = s.relabelled.connect([this] { relabel(); });
}

QGroupBox* SetModeItemsView::frame(SetModeGroup group) {
    auto it = frames_.find(group);
    if (it != frames_.end()) return it->second;
    auto* box = new QGroupBox(parent_);
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignLeft);
    form->setVerticalSpacing(3);
    const auto& items = setModeCatalogue();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const SetModeItem& item = items[i];
        if (item.group != group || item.page != page_) continue;
        auto* combo = new ListCombo(box);
        combo->setObjectName(QString::fromStdString(item.control));
        combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        auto* label = new QLabel(box);
        label->setObjectName(QString::fromStdString(item.control) + "_Label");
        label->setBuddy(combo);
        form->addRow(label, combo);
        const int index = static_cast<int>(i);
        combos_[index] = combo;
        labels_[index] = label;
        connect(combo, &QComboBox::activated, this, [this, index](int position) {
            commands_.settings.select(index, position);
        });
    }
    frames_[group] = box;
    relabel();
    return box;
}

QComboBox* SetModeItemsView::combo(const std::string& control) const {
    auto it = combos_.find(setModeItemIndex(control));
    return it == combos_.end() ? nullptr : it->second;
}

QLabel* SetModeItemsView::label(const std::string& control) const {
    auto it = labels_.find(setModeItemIndex(control));
    return it == labels_.end() ? nullptr : it->second;
}

void SetModeItemsView::relabel() {
    const int language = doc_.setMode.labelled;
    for (auto& [group, box] : frames_) {
        const SetModeGroupCaption& c = groupCaption(group);
        if (group == SetModeGroup::ChDisplay) box->setTitle(QString::fromUtf8(chDisplayCaption(language)));
        else box->setTitle(QString::fromUtf8(language == Japanese ? c.japanese : c.english).replace("&", "&&"));
        nameFrameByCaption(box);
    }
    const auto& items = setModeCatalogue();
    for (auto& [index, combo] : combos_) {
        const SetModeItem& item = items[static_cast<std::size_t>(index)];
        labels_[index]->setText(QString::fromStdString(item.caption(language)));
        // Lists are refilled with the new language's entries; the position
        // is put back once every entry is in.
        if (combo->count() == 0 || item.refilled) {
            QSignalBlocker block(combo);
            fillCombo(combo, item.entries(language));
        }
    }
    showPositions();
}

void SetModeItemsView::showPositions() {
    const SetModeSettings& s = doc_.setMode;
    for (auto& [index, combo] : combos_) {
        QSignalBlocker block(combo);
        combo->setCurrentIndex(s.shown(index));  // -1: a value the list cannot show, shown blank
    }
}

DtmfMemoryEdit::DtmfMemoryEdit(Commands& commands, int memory, QWidget* parent)
    : QLineEdit(parent), commands_(commands), dtmf_(commands.runner.document().dtmf), memory_(memory) {
    setObjectName(QString("COMMON_DTMF[%1]").arg(memory));
    setMinimumWidth(fontMetrics().horizontalAdvance(QString(17, QChar('0'))));
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { commands_.settings.setDtmfMemory(memory_, t.toStdString()); });
    showMemory();
}

void DtmfMemoryEdit::showMemory() {
    const QString t = QString::fromStdString(dtmf_.memories[static_cast<std::size_t>(memory_)]);
    if (t != text()) setText(t);
}

void DtmfMemoryEdit::keyPressEvent(QKeyEvent* e) {
    const QString typed = e->text();
    const bool backspace = e->key() == Qt::Key_Backspace;
    if (e->matches(QKeySequence::Paste) || (!backspace && (typed.isEmpty() || !typed.at(0).isPrint()))) {
        QLineEdit::keyPressEvent(e);  // paste, moving, selecting: cleaned up when the box is left
        return;
    }
    const char32_t key = backspace ? 8 : typed.toUcs4().value(0);
    switch (dtmfKey(text().toStdString(), key)) {
    case DtmfKey::Refuse: e->accept(); return;
    case DtmfKey::ClearThenAccept: clear(); break;
    case DtmfKey::Accept: break;
    }
    QLineEdit::keyPressEvent(e);
    commands_.settings.setDtmfMemory(memory_, text().toStdString());
}

void DtmfMemoryEdit::focusOutEvent(QFocusEvent* e) {
    commands_.settings.setDtmfMemory(memory_, cleanDtmf(text().toStdString()));
    showMemory();
    QLineEdit::focusOutEvent(e);
}

}  // namespace tqm5
