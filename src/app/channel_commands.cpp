#include "app/channel_commands.h"

#include "channels/channel_transfers.h"
#include "channels/grid_editing.h"

namespace tqm5 {

TransferOutcome ChannelCommands::memoryRead() { return read(1, LastRow, true); }
TransferOutcome ChannelCommands::memoryWrite() { return write(1, LastRow, true); }
TransferOutcome ChannelCommands::oneMemoryRead() { return read(doc_.grid.rangeFirst(), doc_.grid.rangeLast(), false); }
TransferOutcome ChannelCommands::oneMemoryWrite() {
    return write(doc_.grid.rangeFirst(), doc_.grid.rangeLast(), false);
}

TransferOutcome ChannelCommands::read(int first, int last, bool full) {
    if (busy()) return TransferOutcome::Ignored;
    history_.clear();  // undo goes back to what the radio gives, never further
    int lastRead = first - 1;
    const TransferOutcome outcome =
        runner_.transfer(channelReadPlan(doc_.grid, host_, first, last, full, &lastRead));
    if (outcome == TransferOutcome::Success) {
        doc_.markSaved(first, last);  // the rows now hold what the radio holds
        if (full) doc_.origin = ChannelOrigin{true, -1};
    } else if (outcome == TransferOutcome::Error || outcome == TransferOutcome::PortError ||
               outcome == TransferOutcome::Stopped) {
        // Rows up to lastRead are the radio's, the rest are not.
        doc_.origin.readStoppedAfter = lastRead;
    }
    return outcome;
}

TransferOutcome ChannelCommands::write(int first, int last, bool full) {
    if (busy()) return TransferOutcome::Ignored;
    if (!runner_.confirmWrite(true, {})) return TransferOutcome::Ignored;
    history_.clear();  // nothing before the write comes back by undo
    const TransferOutcome outcome = runner_.transfer(channelWritePlan(doc_.grid, host_, first, last, full));
    if (outcome == TransferOutcome::Success) {
        doc_.markSaved(first, last);
        if (full) doc_.origin = ChannelOrigin{true, -1};
    }
    return outcome;
}

void ChannelCommands::deleteRows() {
    if (busy()) return;
    RecordedChange change(history_, doc_, "Delete");
    deleteSelectedRows(doc_.grid);
    doc_.markEdited(doc_.grid.rangeFirst(), doc_.grid.rangeLast());
}
void ChannelCommands::clearRows() {
    if (busy()) return;
    RecordedChange change(history_, doc_, "Clear");
    clearSelectedRows(doc_.grid);
    doc_.markEdited(doc_.grid.rangeFirst(), doc_.grid.rangeLast());
}
void ChannelCommands::allClear() {
    if (busy()) return;
    RecordedChange change(history_, doc_, "All Clear");
    tqm5::allClear(doc_.grid, host_);
    doc_.markEdited(1, LastRow);
}
void ChannelCommands::moveUp() {
    if (!busy()) doc_.grid.moveUp();
}
void ChannelCommands::moveDown() {
    if (!busy()) doc_.grid.moveDown();
}

int ChannelCommands::editorRow() { return busy() ? 0 : tqm5::editorRow(doc_.grid); }

StoreResult ChannelCommands::storeEdit(const EditResult& edit, StorePlan plan) {
    const int row = doc_.grid.row();
    RecordedChange change(history_, doc_, "Edit");
    const StoreResult result = tqm5::storeEdit(doc_.grid, host_, edit, plan);
    if (result == StoreResult::Stored && !(plan.first == RowAction::Keep && plan.second == RowAction::Keep))
        doc_.markEdited(row, isDualMainRow(row) ? row + 1 : row);
    return result;
}

}  // namespace tqm5
