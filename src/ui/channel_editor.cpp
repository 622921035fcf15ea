#include "ui/channel_editor.h"

#include "ui/keyboard.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>
#include <functional>
#include <optional>

#include "channels/value_tables.h"
#include "ui/twips.h"
#include "ui/wheel_focus.h"

namespace tqm5 {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string ss(const QString& s) { return s.toStdString(); }

// Refuses any change of a line edit's text that the rule refuses, however
// it comes (typing, paste, drop, input method). The line edit already holds
// the new text when it asks, so the text before is kept here.
class RuleValidator : public QValidator {
public:
    using Rule = std::function<bool(const std::string& before, const std::string& after)>;
    RuleValidator(QLineEdit* edit, Rule rule) : QValidator(edit), rule_(std::move(rule)) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { before_ = ss(t); });
    }
    State validate(QString& input, int&) const override { return rule_(before_, ss(input)) ? Acceptable : Invalid; }

private:
    Rule rule_;
    std::string before_;
};

// The character a key press would type: Backspace and Ctrl+V by their codes,
// nothing for keys that only move, select or copy.
std::optional<char32_t> typedKey(const QKeyEvent* k) {
    if (k->matches(QKeySequence::Paste)) return KeyPaste;
    if (k->key() == Qt::Key_Backspace) return KeyBackspace;
    if (k->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return std::nullopt;
    const QList<uint> text = k->text().toUcs4();
    if (text.isEmpty() || text[0] < 0x20 || text[0] == 0x7F) return std::nullopt;
    return static_cast<char32_t>(text[0]);
}

template <std::size_t N>
int checkedIndex(const std::array<QRadioButton*, N>& buttons) {
    for (std::size_t i = 0; i < N; ++i)
        if (buttons[i]->isChecked()) return static_cast<int>(i);
    return 0;
}

template <std::size_t N>
void check(const std::array<QRadioButton*, N>& buttons, int index) {
    if (index >= 0 && index < static_cast<int>(N)) buttons[index]->setChecked(true);
}

void fill(QComboBox* box, const ValueTable& table) {
    for (int i = 0; i < table.count; ++i) box->addItem(qs(*table.text(i)));
}

}  // namespace

ChannelEditor::ChannelEditor(const ChannelGrid& grid, int row, QWidget* parent) : QDialog(parent), editor_(grid, row) {
    // The window keeps its name "Form2": tests and accessibility tools find it by it.
    setObjectName("Form2");
    setWindowTitle("Memory Setting");
    if (QFontDatabase::hasFamily("Noto Sans CJK JP")) {
        QFont f = font();
        f.setFamilies({"Noto Sans CJK JP", f.family()});
        setFont(f);
    }
    buildSet(0, 0);
    if (editor_.dual()) buildSet(1, twipsToPixels(6720));

    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("DETAIL_ENTER");
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("DETAIL_CANCEL");
    // No button reacts to Enter, so Enter in a field never stores or types a
    // user character by accident.
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
    pressOnEnter(findChildren<QPushButton*>());  // a focused button is pressed with Enter or Space
    ok_->setGeometry(twipsToPixels(120), 436, 96, 28);
    cancel_->setGeometry(twipsToPixels(5040), 436, 96, 28);
    connect(ok_, &QPushButton::clicked, this, &ChannelEditor::ok);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [this] { editor_.cancel(); });

    setFixedSize(twipsToPixels(editor_.dual() ? 13440 : 6555), 476);
    if (parent) {
        const QPoint top = parent->window()->frameGeometry().topLeft();
        move(top.x(), top.y() + twipsToPixels(1000));
    }
    wheelOnlyWhenFocused(this);
    showSet(0);
    if (editor_.dual()) showSet(1);
}

void ChannelEditor::buildSet(int index, int left) {
    SetControls& c = sets_[index];
    const QString suffix = index ? "_2" : "";
    auto named = [&](QWidget* w, const QString& base) { w->setObjectName(base + suffix); };
    auto item = [&](QWidget* w, const QString& base, int n) {
        w->setObjectName(QString("%1%2[%3]").arg(base, suffix).arg(n));
    };
    auto text = [&](const QString& caption, int x, int y, int w, int h = 22) {
        auto* l = new QLabel(caption, this);
        l->setGeometry(left + x, y, w, h);
        return l;
    };
    auto edit = [&](const QString& base, Field field, int x, int y, int w) {
        auto* e = new QLineEdit(this);
        named(e, base);
        e->setGeometry(left + x, y, w, 22);
        e->installEventFilter(this);
        bindings_.insert(e, {field, index});
        return e;
    };
    auto group = [&](const QString& caption, int x, int y, int w, int h) {
        auto* g = new QGroupBox(caption, this);
        g->setGeometry(left + x, y, w, h);
        return g;
    };

    c.title = text(index ? "Memory 2" : "Memory", 8, 8, 70);
    c.title->setObjectName(QString("Label1[%1]").arg(index));
    c.label = text(qs(editor_.label(index)), 80, 8, 220);
    c.label->setObjectName(index ? "Label3" : "Label2");

    text("Frequency", 8, 34, 70);
    c.freq1 = edit("DETAIL_FREQ_1", Field::FreqMhz, 80, 34, 48);
    text("．", 130, 34, 16);
    c.freq2 = edit("DETAIL_FREQ_2", Field::FreqFraction, 148, 34, 64);
    text("ＭＨｚ", 216, 34, 50);

    QGroupBox* modes = group("Modulation Mode", 8, 62, 420, 46);
    for (int i = 0; i < 4; ++i) {
        c.mode[i] = new QRadioButton(qs(*ModeOptions.text(i)), modes);
        item(c.mode[i], "DETAIL_MODE", i);
        c.mode[i]->setGeometry(10 + i * 100, 18, 90, 22);
    }
    c.mode[OptAM]->setEnabled(editor_.wideModes());
    c.mode[OptWFM]->setEnabled(editor_.wideModes());

    QGroupBox* steps = group("Step", 8, 112, 420, 100);
    for (int i = 0; i < 16; ++i) {
        c.step[i] = new QRadioButton(qs(*StepTable.text(i)), steps);
        item(c.step[i], "DETAIL_STEP", i);
        c.step[i]->setGeometry(10 + (i % 4) * 102, 18 + (i / 4) * 20, 98, 20);
    }

    QGroupBox* toneModes = group("TSQ/DCS", 8, 216, 420, 46);
    for (int i = 0; i < 6; ++i) {
        c.toneMode[i] = new QRadioButton(qs(*ToneModeOptions.text(i)), toneModes);
        item(c.toneMode[i], "PALSE_TYPE", i);
        c.toneMode[i]->setGeometry(10 + i * 68, 18, 66, 22);
    }

    const struct {
        const char *caption, *name;
        const ValueTable& table;
        QComboBox** box;
    } lists[] = {{"Tx-Tone", "TX_TONE_COMBO", ToneTable, &c.txTone},
                 {"Rx-Tone", "RX_TONE_COMBO", ToneTable, &c.rxTone},
                 {"DCS-No", "DCS_COMBO", DcsTable, &c.dcs},
                 {"Train", "TRAIN_COMBO", TrainListTable, &c.train}};
    for (int i = 0; i < 4; ++i) {
        text(lists[i].caption, 8 + i * 105, 266, 100, 18);
        auto* box = new QComboBox(this);
        named(box, lists[i].name);
        fill(box, lists[i].table);
        box->setGeometry(left + 8 + i * 105, 284, 98, 24);
        box->installEventFilter(this);
        box->view()->installEventFilter(this);
        bindings_.insert(box, {Field::List, index});
        bindings_.insert(box->view(), {Field::List, index});
        *lists[i].box = box;
    }

    QGroupBox* shifts = group("Shift", 8, 314, 170, 46);
    for (int i = 0; i < 3; ++i) {
        c.shift[i] = new QRadioButton(qs(*ShiftOptions.text(i)), shifts);
        item(c.shift[i], "DETAIL_SHIFT", i);
        c.shift[i]->setGeometry(10 + i * 52, 18, 50, 22);
    }
    text("Offset Frequency", 190, 314, 150, 18);
    c.offset1 = edit("DETAIL_SHIFT_FREQ_1", Field::OffsetMhz, 190, 334, 40);
    text("．", 232, 334, 14);
    c.offset2 = edit("DETAIL_SHIFT_FREQ_2", Field::OffsetKhz, 248, 334, 40);
    text("MHz", 292, 334, 36);
    c.skip = new QCheckBox("Skip", this);
    named(c.skip, "DETAIL_SKIP");
    c.skip->setGeometry(left + 350, 334, 70, 22);

    text("ＮＡＭＥ", 8, 368, 70);
    c.name = edit("DETAIL_NAME", Field::Name, 80, 368, 250);
    for (int i = 0; i < 8; ++i) {
        auto* b = new QPushButton(QString::number(i + 1), this);
        item(b, "Command1", i);
        b->setGeometry(left + 80 + i * 31, 396, 28, 24);
        connect(b, &QPushButton::clicked, this, [this, index, i] {
            QLineEdit* name = sets_[index].name;
            name->setText(qs(appendUserChar(ss(name->text()), i + 1)));
            name->setFocus();
        });
        c.userChars[i] = b;
    }
    c.clear = new QPushButton("Clear", this);
    named(c.clear, "DETAIL_CLEAR");
    c.clear->setGeometry(left + 340, 396, 80, 26);
    connect(c.clear, &QPushButton::clicked, this, [this, index] { clearSet(index); });

    auto digits = [](std::size_t n) {
        return [n](const std::string&, const std::string& after) { return digitFieldFits(after, n); };
    };
    c.freq1->setValidator(new RuleValidator(c.freq1, digits(4)));
    c.freq2->setValidator(new RuleValidator(c.freq2, digits(5)));
    c.offset1->setValidator(new RuleValidator(c.offset1, digits(3)));
    c.offset2->setValidator(new RuleValidator(c.offset2, digits(3)));
    c.name->setValidator(new RuleValidator(c.name, nameChangeAccepted));
}

void ChannelEditor::showSet(int index) {
    const DetailSet& s = editor_.set(index);
    SetControls& c = sets_[index];
    c.freq1->setText(qs(s.freqMhz));
    c.freq2->setText(qs(s.freqFraction));
    check(c.mode, s.modeOption);
    check(c.step, s.stepIndex);
    check(c.toneMode, s.toneModeOption);
    c.txTone->setCurrentIndex(s.txTone);
    c.rxTone->setCurrentIndex(s.rxTone);
    c.dcs->setCurrentIndex(s.dcs);
    c.train->setCurrentIndex(s.train);
    check(c.shift, s.shiftOption);
    c.offset1->setText(qs(s.offsetMhz));
    c.offset2->setText(qs(s.offsetKhz));
    c.skip->setChecked(s.skip);
    c.name->setText(qs(s.name));
}

DetailSet ChannelEditor::readSet(int index) const {
    const SetControls& c = sets_[index];
    DetailSet s;
    s.freqMhz = ss(c.freq1->text());
    s.freqFraction = ss(c.freq2->text());
    s.modeOption = checkedIndex(c.mode);
    s.stepIndex = checkedIndex(c.step);
    s.toneModeOption = checkedIndex(c.toneMode);
    s.txTone = c.txTone->currentIndex();
    s.rxTone = c.rxTone->currentIndex();
    s.dcs = c.dcs->currentIndex();
    s.train = c.train->currentIndex();
    s.shiftOption = checkedIndex(c.shift);
    s.offsetMhz = ss(c.offset1->text());
    s.offsetKhz = ss(c.offset2->text());
    s.skip = c.skip->isChecked();
    s.name = ss(c.name->text());
    return s;
}

bool ChannelEditor::eventFilter(QObject* watched, QEvent* event) {
    const auto found = bindings_.constFind(watched);
    if (found == bindings_.cend()) return QDialog::eventFilter(watched, event);
    const Binding b = *found;

    if (event->type() == QEvent::KeyPress) {
        const auto key = typedKey(static_cast<QKeyEvent*>(event));
        if (!key) return false;
        if (b.field == Field::List) return true;  // lists are chosen, never typed into
        const std::string text = ss(static_cast<QLineEdit*>(watched)->text());
        bool accepted = false;
        switch (b.field) {
            case Field::FreqMhz: accepted = freqMhzKeyAccepted(text, *key); break;
            case Field::FreqFraction: accepted = freqFractionKeyAccepted(text, *key); break;
            case Field::OffsetMhz:
            case Field::OffsetKhz: accepted = offsetKeyAccepted(text, *key); break;
            case Field::Name: accepted = nameKeyAccepted(text, *key); break;
            case Field::List: break;
        }
        return !accepted;
    }
    if (event->type() == QEvent::FocusOut && (b.field == Field::OffsetMhz || b.field == Field::OffsetKhz)) {
        // Leaving for a menu or another application is not leaving the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) leaveOffset(b.set, b.field);
    }
    return false;
}

void ChannelEditor::leaveOffset(int index, Field field) {
    SetControls& c = sets_[index];
    if (field == Field::OffsetMhz) c.offset1->setText(qs(offsetMhzOnLeave(ss(c.offset1->text()))));
    else c.offset2->setText(qs(offsetKhzOnLeave(ss(c.offset1->text()), ss(c.offset2->text()))));
}

void ChannelEditor::clearSet(int index) {
    editor_.clear(index);
    showSet(index);
    ok_->setEnabled(editor_.okEnabled());
    sets_[index].name->setFocus();
    sets_[index].name->setCursorPosition(0);
}

void ChannelEditor::ok() {
    editor_.set(0) = readSet(0);
    if (editor_.dual()) editor_.set(1) = readSet(1);
    if (!editor_.accept()) return;
    showSet(0);
    if (editor_.dual()) showSet(1);
    accept();
}

}  // namespace tqm5
