#pragma once
// The "Bank Setting" page: 50 bank sizes as sliders and boxes in 5 rows of
// 10, their total, and the bank transfers.
#include <QList>

#include "app/commands.h"
#include "ui/page.h"

class QLineEdit;
class QPushButton;
class QSlider;

namespace tqm5 {

class BankPage : public Page {
    Q_OBJECT
public:
    BankPage(Commands& commands, QWidget* parent = nullptr);
    QList<QWidget*> transferControls() const override { return transferControls_; }
    void transferControlsEnabled(bool on) override;
    void commitEdits() override { applyFocusedBox(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void applyBox(int bank);
    // The box being typed in, if any, applied as when it loses the focus.
    void applyFocusedBox();
    void openGroups();

    Commands& commands_;
    QList<QWidget*> transferControls_;
    QList<QSlider*> sliders_;
    QList<QLineEdit*> boxes_;
    QLineEdit* total_ = nullptr;
    QPushButton* write_ = nullptr;
    Listeners<>::Token banksToken_;
    bool refreshing_ = false;
};

}  // namespace tqm5
