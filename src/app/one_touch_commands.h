#pragma once
// The one-touch keys' commands: their transfers and the choices in the
// Common Set page's frame.
#include "app/transfer_runner.h"

namespace tqm5 {

class OneTouchCommands {
public:
    explicit OneTouchCommands(TransferRunner& runner) : runner_(runner), doc_(runner.document()) {}

    TransferOutcome read();
    TransferOutcome write();
    void reset();
    void selectBank(int key, int position);
    void selectChannel(int key, int position);
    void setNoSetting(int key, bool on);

private:
    TransferRunner& runner_;
    Document& doc_;
};

}  // namespace tqm5
