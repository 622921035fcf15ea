#pragma once
// The "Set Mode" page.
#include "app/commands.h"
#include "ui/page.h"

namespace tqm5 {

class SetModePage : public Page {
    Q_OBJECT
public:
    SetModePage(Commands& commands, QWidget* parent = nullptr);
    QList<QWidget*> transferControls() const override { return transferControls_; }

private:
    Commands& commands_;
    QList<QWidget*> transferControls_;
};

}  // namespace tqm5
