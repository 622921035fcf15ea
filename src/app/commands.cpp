#include "app/commands.h"

#include "app/pages.h"
#include "channels/grid_editing.h"

namespace tqm5 {

TransferContext Commands::context() {
    return TransferContext{doc_.grid, doc_.state, link_, host_, doc_.port, timeoutMs};
}

engine::Environment Commands::environment() {
    engine::Environment env{link_, host_, doc_.state, doc_.port, timeoutMs, {}, {}};
    env.endOfTransferReset = [this] { endOfTransferReset(); };
    env.resumeDisplay = [this] { doc_.grid.setRedraw(true); };
    return env;
}

void Commands::endOfTransferReset() {
    host_.setProgressText(engine::percentText(0));
    doc_.state.busy = Idle;
    resetGridAfterTransfer(doc_.grid);
    host_.enableTransferControls();
    host_.setProgressValue(0);
}

TransferOutcome Commands::transfer(const engine::Plan& plan) {
    engine::Environment env = environment();
    return engine::run(plan, env);  // does nothing while another transfer runs
}

TransferOutcome Commands::memoryRead() { return read(1, LastRow, true); }
TransferOutcome Commands::memoryWrite() { return write(1, LastRow, true); }
TransferOutcome Commands::oneMemoryRead() { return read(doc_.grid.rangeFirst(), doc_.grid.rangeLast(), false); }
TransferOutcome Commands::oneMemoryWrite() { return write(doc_.grid.rangeFirst(), doc_.grid.rangeLast(), false); }

TransferOutcome Commands::read(int first, int last, bool full) {
    if (busy()) return TransferOutcome::Ignored;
    int lastRead = first - 1;
    const TransferOutcome outcome = transfer(channelReadPlan(doc_.grid, host_, first, last, full, &lastRead));
    if (outcome == TransferOutcome::Success) {
        doc_.markSaved(first, last);  // the rows now hold what the radio holds
        if (full) doc_.origin = ChannelOrigin{true, -1};
    } else if (outcome == TransferOutcome::Error || outcome == TransferOutcome::PortError) {
        // Rows up to lastRead are the radio's, the rest are not.
        doc_.origin.readStoppedAfter = lastRead;
    }
    return outcome;
}

TransferOutcome Commands::write(int first, int last, bool full) {
    if (busy()) return TransferOutcome::Ignored;
    if (!confirmChannelWrite()) return TransferOutcome::Ignored;
    const TransferOutcome outcome = transfer(channelWritePlan(doc_.grid, host_, first, last, full));
    if (outcome == TransferOutcome::Success) {
        doc_.markSaved(first, last);
        if (full) doc_.origin = ChannelOrigin{true, -1};
    }
    return outcome;
}

namespace {
const char* const UnknownChannelsQuestion =
    "The channels in this program were not read from the radio, opened from a file or imported. "
    "Write them over the radio's channels?";
}  // namespace

bool Commands::ask(const std::string& question) {
    return host_.message(question, CautionTitle, Host::Buttons::OkCancel) == Host::Choice::Ok;
}

bool Commands::confirmChannelWrite() {
    const int stopped = doc_.origin.readStoppedAfter;
    if (stopped >= 0) {
        const std::string after = stopped == 0 ? "before row 1"
                                               : "after row " + std::to_string(stopped) + " (" +
                                                     doc_.grid.cell(stopped, ColLabel) + ")";
        return ask("The last read from the radio stopped " + after +
                   ": the rows after it were not read. Write the channels over the radio's channels anyway?");
    }
    return doc_.origin.known || ask(UnknownChannelsQuestion);
}

void Commands::deleteRows() {
    if (busy()) return;
    deleteSelectedRows(doc_.grid);
    doc_.markEdited(doc_.grid.rangeFirst(), doc_.grid.rangeLast());
}
void Commands::clearRows() {
    if (busy()) return;
    clearSelectedRows(doc_.grid);
    doc_.markEdited(doc_.grid.rangeFirst(), doc_.grid.rangeLast());
}
void Commands::allClear() {
    if (busy()) return;
    tqm5::allClear(doc_.grid, host_);
    doc_.markEdited(1, LastRow);
}
void Commands::moveUp() {
    if (!busy()) doc_.grid.moveUp();
}
void Commands::moveDown() {
    if (!busy()) doc_.grid.moveDown();
}

int Commands::editorRow() { return busy() ? 0 : tqm5::editorRow(doc_.grid); }

StoreResult Commands::storeEdit(const EditResult& edit, StorePlan plan) {
    const int row = doc_.grid.row();
    const StoreResult result = tqm5::storeEdit(doc_.grid, host_, edit, plan);
    if (result == StoreResult::Stored && !(plan.first == RowAction::Keep && plan.second == RowAction::Keep))
        doc_.markEdited(row, isDualMainRow(row) ? row + 1 : row);
    return result;
}

int Commands::switchPage(int n) { return busy() ? 0 : tqm5::switchPage(doc_, host_, n); }

bool Commands::selectPort(int number) {
    if (busy() || number < 1 || number > 16) return false;
    doc_.port = number;
    doc_.portChecked = number;
    return true;
}

bool Commands::confirmClose() {
    if (busy() && doc_.state.writing)
        return ask("A write to the radio is running. Closing now leaves the radio partly written and its "
                   "pass-channel index out of date. Stop the write and close?");
    if (!busy() && doc_.hasUnsavedEdits())
        return ask("Some channels were edited but neither written to the radio nor saved. Close and lose "
                   "these edits?");
    return true;
}

void Commands::windowClosing() {
    link_.close();
    doc_.state.closing = true;
    if (busy()) endOfTransferReset();
}

}  // namespace tqm5
