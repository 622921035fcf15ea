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

int editorRow(const ChannelGrid& grid) {
    const int row = grid.row();
    if (grid.storing() || isBugRow(row) || row < 1) return 0;
    return isDualSubRow(row) ? row - 1 : row;
}

StoreResult storeEdit(ChannelGrid& grid, Host& host, const EditResult& edit, StorePlan plan) {
    const StoreResult r = grid.store(edit, plan);
    if (r == StoreResult::Overlap) host.message(OverlapMessage, " Error");
    return r;
}

void deleteSelectedRows(ChannelGrid& grid) {
    if (isCallRow(grid.row()) || isBugRow(grid.row())) return;
    // The bug-detector channels are the radio's presets: no command of the
    // grid empties them, whatever the range.
    const int first = grid.rangeFirst(), last = std::min(grid.rangeLast(), FirstBugRow - 1);
    keepingSelection(grid, [&] {
        for (int r = first; r <= last; ++r) grid.deleteRow(r);
    });
}

void clearSelectedRows(ChannelGrid& grid) {
    const int first = grid.rangeFirst();
    const int last = std::min(grid.rangeLast(), FirstBugRow - 1);
    keepingSelection(grid, [&] {
        for (int r = first; r <= last; ++r)
            if (!isCallRow(r)) grid.clearRow(r);
    });
}

void allClear(ChannelGrid& grid, Host& host) {
    host.setProgressMax(100);
    keepingSelection(grid, [&] {
        for (int r = 1; r < FirstBugRow; ++r) {
            if (isCallRow(r)) continue;
            grid.clearRow(r);
            host.setProgressValue(r / 16);
        }
        host.setProgressValue(0);
    });
}

}  // namespace tqm5
