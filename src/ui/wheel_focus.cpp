#include "ui/wheel_focus.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QWidget>

namespace tqm5 {
namespace {

class WheelNeedsFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (w->hasFocus()) return false;
        // Ignored and taken: the control does not see it, and the
        // application hands it on to the parent (the page's scroll area).
        event->ignore();
        return true;
    }
};

WheelNeedsFocus* filter() {
    static WheelNeedsFocus* instance = new WheelNeedsFocus(QCoreApplication::instance());
    return instance;
}

bool turnsOnWheel(QWidget* w) {
    if (qobject_cast<QScrollBar*>(w)) return false;  // scrolling is what the wheel is for
    return qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSlider*>(w) || qobject_cast<QAbstractSpinBox*>(w);
}

}  // namespace

void wheelOnlyWhenFocused(QWidget* root) {
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!turnsOnWheel(w)) continue;
        // The wheel alone never gives such a control the focus (a drop-down
        // list takes it on the wheel by default); a click or Tab does.
        if (w->focusPolicy() == Qt::WheelFocus) w->setFocusPolicy(Qt::StrongFocus);
        w->installEventFilter(filter());
    }
}

}  // namespace tqm5
