#pragma once
// The commands that change the grid directly: opening the editor on a row,
// Delete, "Clear" and "All Clear".
#include "channels/channel_grid.h"
#include "protocol/host.h"
#include "protocol/transfer_state.h"

namespace tqm5 {

// The row the detail editor should open on (the main half of a dual pair),
// or 0 when nothing may be edited now.
int editorRow(const ChannelGrid& grid, const TransferState& state);

// Stores an edit into the current row; a refused pass channel tells the user.
StoreResult storeEdit(ChannelGrid& grid, Host& host, const EditResult& edit, StorePlan plan);

// Delete key: empties the selected rows (names kept). Nothing when the
// current row is a call or bug row.
void deleteSelectedRows(ChannelGrid& grid, const TransferState& state);
// "Clear": clears the selected rows except call and bug rows.
void clearSelectedRows(ChannelGrid& grid, const TransferState& state);
// "All Clear": every channel but the call and bug rows.
void allClear(ChannelGrid& grid, const TransferState& state, Host& host);

}  // namespace tqm5
