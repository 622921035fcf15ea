#include "ui/keyboard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace tqm5 {
namespace {

class EnterPresses : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled()) return false;
        button->click();
        return true;
    }
};

EnterPresses* filter() {
    static EnterPresses* instance = new EnterPresses(QCoreApplication::instance());
    return instance;
}

}  // namespace

void pressOnEnter(const QList<QPushButton*>& buttons) {
    for (QPushButton* b : buttons) b->installEventFilter(filter());
}

}  // namespace tqm5
