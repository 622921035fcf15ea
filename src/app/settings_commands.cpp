#include "app/settings_commands.h"

namespace tqm5 {

namespace {
constexpr auto Settings = TransferRunner::Settings;
constexpr auto Dtmf = TransferRunner::Dtmf;
}  // namespace

TransferOutcome SettingsCommands::read() {
    const bool quiet = doc_.state.quiet == QuietOn;  // a chain reports at its end
    const TransferOutcome out =
        runner_.noteKnown(runner_.transfer(readSettingsPlan(doc_.setMode, doc_.dtmf)), {Settings, Dtmf});
    if (!quiet) runner_.reportUnshown(out, doc_.setMode.readNotes);
    return out;
}
TransferOutcome SettingsCommands::write() {
    if (busy()) return TransferOutcome::Ignored;
    if (!runner_.confirmWrite(false, {Settings, Dtmf})) return TransferOutcome::Ignored;
    return runner_.noteKnown(runner_.transfer(writeSettingsPlan(doc_.setMode, doc_.dtmf)), {Settings, Dtmf});
}
TransferOutcome SettingsCommands::readDtmf() {
    const TransferOutcome out = runner_.noteKnown(runner_.transfer(dtmfReadPlan(doc_.dtmf)), {Dtmf});
    runner_.reportUnshown(out, dtmfNotes(doc_.dtmf));
    return out;
}
TransferOutcome SettingsCommands::writeDtmf() {
    if (busy()) return TransferOutcome::Ignored;
    if (!runner_.confirmWrite(false, {Dtmf})) return TransferOutcome::Ignored;
    return runner_.noteKnown(runner_.transfer(dtmfWritePlan(doc_.dtmf)), {Dtmf});
}

void SettingsCommands::resetSetMode() {
    if (busy()) return;
    resetSetModePage(doc_.setMode);
    tqm5::resetDtmf(doc_.dtmf);
}
void SettingsCommands::resetCommonSet() {
    if (!busy()) resetCommonSetPage(doc_.setMode);
}
void SettingsCommands::resetDtmf() {
    if (!busy()) tqm5::resetDtmf(doc_.dtmf);
}

void SettingsCommands::select(int item, int position) {
    if (busy()) return doc_.setMode.changed.notify();
    selectSetModeItem(doc_.setMode, item, position);
}
void SettingsCommands::chooseLanguage(int language) {
    if (busy()) return doc_.setMode.changed.notify();
    ApplySetModeLanguage(doc_.setMode, language);
}
void SettingsCommands::setScanTimer(bool checked, const std::string& text) {
    if (busy()) return doc_.setMode.changed.notify();
    tqm5::setScanTimer(doc_.setMode, checked, text);
}
void SettingsCommands::typeScanTime(const std::string& text) {
    if (busy()) return doc_.setMode.changed.notify();
    doc_.setMode.scanTime = text;
}
void SettingsCommands::selectDtmfList(int list, int position) {
    if (!busy() && list >= 0 && list < DtmfLists && position >= 0 &&
        position < static_cast<int>(dtmfList(list).entries.size()))
        doc_.dtmf.lists[static_cast<std::size_t>(list)] = position;
    doc_.dtmf.changed.notify();
}
void SettingsCommands::setDtmfMemory(int memory, const std::string& text) {
    if (!busy() && memory >= 0 && memory < DtmfSettings::Memories)
        doc_.dtmf.memories[static_cast<std::size_t>(memory)] = text;
    doc_.dtmf.changed.notify();
}

}  // namespace tqm5
