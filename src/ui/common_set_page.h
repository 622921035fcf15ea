#pragma once
// The "Common Setting" page.
#include "app/commands.h"
#include "ui/page.h"

namespace tqm5 {

class CommonSetPage : public Page {
    Q_OBJECT
public:
    CommonSetPage(Commands& commands, QWidget* parent = nullptr);
    QList<QWidget*> transferControls() const override { return transferControls_; }

private:
    Commands& commands_;
    QList<QWidget*> transferControls_;
};

}  // namespace tqm5
