#pragma once
// The "Bank Setting" page.
#include "app/commands.h"
#include "ui/page.h"

namespace tqm5 {

class BankPage : public Page {
    Q_OBJECT
public:
    BankPage(Commands& commands, QWidget* parent = nullptr);
    QList<QWidget*> transferControls() const override { return transferControls_; }

private:
    Commands& commands_;
    QList<QWidget*> transferControls_;
};

}  // namespace tqm5
