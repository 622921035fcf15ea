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

TransferOutcome Commands::memoryRead() { return transfer(channelReadPlan(doc_.grid, host_, 1, LastRow, true)); }
TransferOutcome Commands::memoryWrite() { return transfer(channelWritePlan(doc_.grid, host_, 1, LastRow, true)); }
TransferOutcome Commands::oneMemoryRead() {
    return transfer(channelReadPlan(doc_.grid, host_, doc_.grid.rangeFirst(), doc_.grid.rangeLast(), false));
}
TransferOutcome Commands::oneMemoryWrite() {
    return transfer(channelWritePlan(doc_.grid, host_, doc_.grid.rangeFirst(), doc_.grid.rangeLast(), false));
}

TransferOutcome Commands::readSettings() {
    const bool quiet = doc_.state.quiet == QuietOn;  // a chain reports at its end
    const TransferOutcome out = transfer(readSettingsPlan(doc_.setMode, doc_.dtmf, host_));
    if (!quiet) reportUnshown(out, doc_.setMode.readNotes);
    return out;
}
TransferOutcome Commands::writeSettings() { return transfer(writeSettingsPlan(doc_.setMode, doc_.dtmf, host_)); }
TransferOutcome Commands::readDtmf() {
    const TransferOutcome out = transfer(dtmfReadPlan(doc_.dtmf, host_));
    reportUnshown(out, dtmfNotes(doc_.dtmf));
    return out;
}
TransferOutcome Commands::writeDtmf() { return transfer(dtmfWritePlan(doc_.dtmf, host_)); }
TransferOutcome Commands::readTitle() { return transfer(readTitlePlan(doc_.title, doc_.grid, host_)); }
TransferOutcome Commands::writeTitle() { return transfer(writeTitlePlan(doc_.title, doc_.grid, host_)); }

const char* const UnshownValuesText = "These values from the radio are not in their lists; they are kept as read:";

void Commands::reportUnshown(TransferOutcome outcome, const std::vector<std::string>& notes) {
    if (outcome != TransferOutcome::Success || notes.empty()) return;
    std::string text = UnshownValuesText;
    for (const std::string& n : notes) text += "\n" + n;
    host_.message(text, FinishTitle);
}

void Commands::resetSetMode() {
    if (busy()) return;
    resetSetModePage(doc_.setMode);
    tqm5::resetDtmf(doc_.dtmf);
}
void Commands::resetCommonSet() {
    if (!busy()) resetCommonSetPage(doc_.setMode);
}
void Commands::resetDtmf() {
    if (!busy()) tqm5::resetDtmf(doc_.dtmf);
}
void Commands::resetTitle() { tqm5::resetTitle(doc_.title, doc_.grid); }
void Commands::appendUserCharacter(int k) { tqm5::appendUserCharacter(doc_.title, k); }

void Commands::deleteRows() {
    if (!busy()) deleteSelectedRows(doc_.grid);
}
void Commands::clearRows() {
    if (!busy()) clearSelectedRows(doc_.grid);
}
void Commands::allClear() {
    if (!busy()) tqm5::allClear(doc_.grid, host_);
}
void Commands::moveUp() {
    if (!busy()) doc_.grid.moveUp();
}
void Commands::moveDown() {
    if (!busy()) doc_.grid.moveDown();
}

int Commands::editorRow() { return busy() ? 0 : tqm5::editorRow(doc_.grid); }

StoreResult Commands::storeEdit(const EditResult& edit, StorePlan plan) {
    return tqm5::storeEdit(doc_.grid, host_, edit, plan);
}

int Commands::switchPage(int n) { return busy() ? 0 : tqm5::switchPage(doc_, host_, n); }

bool Commands::selectPort(int number) {
    if (busy() || number < 1 || number > 16) return false;
    doc_.port = number;
    doc_.portChecked = number;
    return true;
}

void Commands::windowClosing() {
    link_.close();
    doc_.state.closing = true;
    if (busy()) endOfTransferReset();
}

}  // namespace tqm5
