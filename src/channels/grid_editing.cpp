#include "channels/grid_editing.h"

#include <algorithm>

namespace tqm5 {
namespace {

// Runs `body` with redraw off and restores the selection afterwards.
template <typename Body>
void keepingSelection(ChannelGrid& grid, Body body) {
    const int row = grid.row(), rowSel = grid.rowSel();
    grid.setHighlight(false);
    grid.setRedraw(false);
    body();
    grid.setSelection(row, rowSel);
    grid.setHighlight(true);
    grid.setRedraw(true);
}

}  // namespace

int editorRow(const ChannelGrid& grid, const TransferState& state) {
    const int row = grid.row();
    if (grid.storing() || state.busyNow() || isBugRow(row) || row < 1) return 0;
    return isDualSubRow(row) ? row - 1 : row;
}

StoreResult storeEdit(ChannelGrid& grid, Host& host, const EditResult& edit, StorePlan plan) {
    const StoreResult r = grid.store(edit, plan);
    if (r == StoreResult::Overlap) host.message(OverlapMessage, " Error");
    return r;
}

void deleteSelectedRows(ChannelGrid& grid, const TransferState& state) {
    if (state.busyNow() || isCallRow(grid.row()) || isBugRow(grid.row())) return;
    const int first = grid.rangeFirst(), last = grid.rangeLast();
    keepingSelection(grid, [&] {
        for (int r = first; r <= last; ++r) grid.deleteRow(r);
    });
}

void clearSelectedRows(ChannelGrid& grid, const TransferState& state) {
    if (state.busyNow()) return;
    const int first = grid.rangeFirst();
    const int last = std::min(grid.rangeLast(), FirstBugRow - 1);
    keepingSelection(grid, [&] {
        for (int r = first; r <= last; ++r)
            if (!isCallRow(r)) grid.clearRow(r);
    });
}

void allClear(ChannelGrid& grid, const TransferState& state, Host& host) {
    if (state.busyNow()) return;
    host.setProgressMax(100);
    keepingSelection(grid, [&] {
        for (int r = 1; r < FirstBugRow; ++r) {
            if (isCallRow(r)) continue;
            grid.clearRow(r);
            if (r % 160 == 0) host.setProgressValue(r / 16);
        }
        host.setProgressValue(0);
    });
}

}  // namespace tqm5
