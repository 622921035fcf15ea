#pragma once
// "BANK-LINK Setting": the group table as a 12 x 55 grid, with its own
// Read, Write, Clear and OK.
#include <QDialog>

#include "app/commands.h"

class QPushButton;
class QTableWidget;

namespace tqm5 {

class GroupWindow : public QDialog {
    Q_OBJECT
public:
    // `readAllMode`: opened by Read All. The window then reads the table as
    // soon as it shows, says "Success ALL DATA READ" and closes itself.
    GroupWindow(Commands& commands, bool readAllMode, QWidget* parent = nullptr);

    QTableWidget* grid() const { return grid_; }
    TransferOutcome read();
    // How the window's last read ended (Ignored when it read nothing).
    TransferOutcome lastRead() const { return lastRead_; }
    TransferOutcome write();
    void clear();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void paint();
    void setButtonsEnabled(bool on);

    Commands& commands_;
    bool readAllMode_;
    bool started_ = false;
    TransferOutcome lastRead_ = TransferOutcome::Ignored;
    QTableWidget* grid_ = nullptr;
    QList<QPushButton*> buttons_;
    Listeners<>::Token groupsToken_;
    Listeners<bool>::Token buttonsToken_;
};

}  // namespace tqm5
