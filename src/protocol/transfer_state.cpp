#include "protocol/transfer_state.h"

#include "channels/channel_grid.h"
#include "protocol/host.h"

namespace tqm5 {

void endOfTransferReset(TransferState& state, ChannelGrid& grid, Host& host) {
    host.setProgressText("0%");
    state.busy = Idle;
    grid.setRedraw(true);
    grid.selectRow(1);
    grid.setHighlight(true);
    host.enableTransferControls();
    host.setProgressValue(0);
}

}  // namespace tqm5
