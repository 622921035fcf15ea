#pragma once
// The Bank page's commands: the layout's transfers and its edits.
#include "app/transfer_runner.h"

namespace tqm5 {

class BankCommands {
public:
    explicit BankCommands(TransferRunner& runner) : runner_(runner), doc_(runner.document()) {}

    // Bank Read; once it succeeds the grid's labels follow the new layout
    // at once when the Memory page is showing. Read All runs this too.
    TransferOutcome read();
    // Bank Write; refuses (and says so) any layout that does not total 1000,
    // whether from the button or from Write All (which runs it quietly).
    TransferOutcome write();
    void reset();
    void setSize(int bank, int value);
    void select(int bank);
    void up();
    void down();
    // "Bank Write" accepts clicks: no transfer runs and the sizes total 1000.
    bool writeAllowed() const { return !runner_.busy() && doc_.banks.complete(); }

private:
    engine::Plan readPlan();

    TransferRunner& runner_;
    Document& doc_;
};

}  // namespace tqm5
