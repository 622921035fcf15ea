#pragma once
// One page of the main window. A page owns its widgets and names the ones
// that ignore input while a transfer runs (the end-of-transfer reset
// enables exactly these again).
#include <QList>
#include <QWidget>

namespace tqm5 {

class Page : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual QList<QWidget*> transferControls() const = 0;
    // The page is about to be shown (after the page rules allowed it).
    virtual void aboutToShow() {}
    // The transfer controls were just enabled or disabled: a page whose
    // controls have rules of their own applies them on top.
    virtual void transferControlsEnabled(bool) {}
    // Another page was chosen: what is being typed is applied first, as
    // when its box loses the focus.
    virtual void commitEdits() {}
};

}  // namespace tqm5
