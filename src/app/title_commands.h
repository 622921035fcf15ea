#pragma once
// The opening title's commands: its transfers, reset and edits.
#include <string>

#include "app/transfer_runner.h"

namespace tqm5 {

class TitleCommands {
public:
    explicit TitleCommands(TransferRunner& runner) : runner_(runner), doc_(runner.document()) {}

    TransferOutcome read();
    TransferOutcome write();
    void reset();  // also while a transfer runs
    // The title's edits are taken while a transfer runs too: its write
    // encodes it anew at every attempt. False (the title unchanged) for an
    // edit the title box must not take.
    bool edit(const std::string& text);
    void selectSlide(int position);
    void appendUserCharacter(int k);

private:
    TransferRunner& runner_;
    Document& doc_;
};

}  // namespace tqm5
