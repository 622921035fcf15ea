#pragma once
// The commands that change the grid directly: opening the editor on a row,
// Delete, "Clear" and "All Clear".
#include "channels/channel_grid.h"
#include "protocol/host.h"

namespace tqm5 {

// The grid's own commands. None of them checks whether a transfer runs:
// the caller does (the app's command layer).

// The row the detail editor should open on (the main half of a dual pair),
// or 0 when the current row may not be edited.
int editorRow(const ChannelGrid& grid);

// Stores an edit into the current row; a refused pass channel tells the user.
StoreResult storeEdit(ChannelGrid& grid, Host& host, const EditResult& edit, StorePlan plan);

// Delete key: empties the selected rows (names kept). Nothing when the
// current row is a call or bug row; bug rows inside the range are kept.
void deleteSelectedRows(ChannelGrid& grid);
// "Clear": clears the selected rows except call and bug rows.
void clearSelectedRows(ChannelGrid& grid);
// "All Clear": every channel but the call and bug rows, the progress bar
// following row by row.
void allClear(ChannelGrid& grid, Host& host);

}  // namespace tqm5
