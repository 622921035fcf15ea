#pragma once
// The bank-link group window's commands. Its transfers run on their own:
// their own busy indicator, a 200 ms response timer, and the window's
// buttons in place of the main window's controls.
#include "app/transfer_runner.h"

namespace tqm5 {

class GroupCommands {
public:
    explicit GroupCommands(TransferRunner& runner) : runner_(runner), doc_(runner.document()) {}

    // Before the window opens: false while a transfer runs (unless Read All
    // opens it); otherwise the layout made whole, the one-touch lists rebuilt
    // and the banks without channels marked unavailable.
    bool openWindow();
    // `readAll`: the window was opened by Read All.
    TransferOutcome read(bool readAll = false);
    TransferOutcome write();
    // A group transfer runs (the window's own indicator, not the runner's).
    bool busy() const { return state_.busyNow(); }
    void clear();
    // A click on the group grid's cell (row, col): headings and separators
    // do nothing.
    void cellClicked(int row, int col);
    // The group window's buttons follow its transfers.
    Listeners<bool /*enabled*/> buttonsEnabled;

private:
    TransferOutcome transfer(const engine::Plan& plan);

    TransferRunner& runner_;
    Document& doc_;
    TransferState state_;  // the group transfers' own busy code and flags
};

}  // namespace tqm5
