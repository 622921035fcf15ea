#pragma once
// Every value the program edits, owned in one place. The windows show it and
// write the user's actions back into it.
#include "channels/channel_grid.h"
#include "features/bank_layout.h"
#include "features/dtmf.h"
#include "features/settings.h"
#include "features/title.h"
#include "protocol/transfer_state.h"

namespace tqm5 {

struct Document {
    ChannelGrid grid;
    BankLayout banks;
    SetModeSettings setMode;  // Set Mode and Common Set items, the settings image
    DtmfSettings dtmf;
    OpeningTitle title;       // the title string itself lives in the grid's title slot
    TransferState state;
    int port = 1;          // selected serial port number, 1 to 16
    int portChecked = 0;   // port menu item carrying the check mark, 0 for none
    int lastTab = 0;       // page (1-4) last switched to, 0 before the first switch
};

}  // namespace tqm5
