#include "app/commands.h"

#include "app/kept_bytes.h"
#include "app/pages.h"
#include "channels/grid_editing.h"
#include "features/banks.h"

#include <memory>

namespace tqm5 {

engine::Environment Commands::environment() {
    engine::Environment env{link_, host_, doc_.state, doc_.port, timeoutMs, {}, {}};
    env.endOfTransferReset = [this] { endOfTransferReset(); };
    env.resumeDisplay = [this] { doc_.grid.setRedraw(true); };
    env.attemptsPerBlock = attemptsPerBlock;
    env.image = keepMoved_ ? &doc_.radio : nullptr;
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
    const TransferOutcome out = engine::run(tapped(plan), env);  // does nothing while another transfer runs
    if (out != TransferOutcome::Ignored) keepImage();
    return out;
}

engine::Plan Commands::tapped(const engine::Plan& plan) {
    transferStarting.notify(plan);
    engine::Plan p = plan.fromDocument ? keepingUnchanged(doc_, plan) : plan;
    if (blockMoved.size() == 0) return p;
    for (engine::Block& b : p.blocks) {
        auto moved = std::make_shared<Bytes>();
        const bool write = b.kind == engine::Block::Kind::Write;
        if (write) {
            b.encode = [encode = b.encode, moved] {
                *moved = encode ? encode() : Bytes{};
                return *moved;
            };
        } else {
            b.decode = [decode = b.decode, moved](const Bytes& data) {
                *moved = data;
                return decode ? decode(data) : true;
            };
        }
        b.accepted = [this, accepted = b.accepted, moved, write, address = b.address] {
            blockMoved.notify(write, address, *moved);
            if (accepted) accepted();
        };
    }
    return p;
}

TransferOutcome Commands::memoryRead() { return read(1, LastRow, true); }
TransferOutcome Commands::memoryWrite() { return write(1, LastRow, true); }
TransferOutcome Commands::oneMemoryRead() { return read(doc_.grid.rangeFirst(), doc_.grid.rangeLast(), false); }
TransferOutcome Commands::oneMemoryWrite() { return write(doc_.grid.rangeFirst(), doc_.grid.rangeLast(), false); }

TransferOutcome Commands::read(int first, int last, bool full) {
    if (busy()) return TransferOutcome::Ignored;
    history_.clear();  // undo goes back to what the radio gives, never further
    int lastRead = first - 1;
    const TransferOutcome outcome = transfer(channelReadPlan(doc_.grid, host_, first, last, full, &lastRead));
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

TransferOutcome Commands::write(int first, int last, bool full, bool ask) {
    if (busy()) return TransferOutcome::Ignored;
    if (ask && !confirmWrite(true, {})) return TransferOutcome::Ignored;
    history_.clear();  // nothing before the write comes back by undo
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

bool& Commands::known(Area area) {
    AreaOrigins& k = doc_.known;
    switch (area) {
        case Banks: return k.banks;
        case Groups: return k.groups;
        case OneTouch: return k.oneTouch;
        case Title: return k.title;
        case Settings: return k.settings;
        case Dtmf: break;
    }
    return k.dtmf;
}

TransferOutcome Commands::noteKnown(TransferOutcome outcome, std::initializer_list<Area> areas) {
    if (outcome == TransferOutcome::Success)
        for (Area a : areas) known(a) = true;
    return outcome;
}

bool Commands::confirmWrite(bool channels, std::initializer_list<Area> areas) {
    if (chain_ != Chain::None) return true;  // Write All asked once, before its first step
    if (channels) {
        if (const int stopped = doc_.origin.readStoppedAfter; stopped >= 0) {
            const std::string after = stopped == 0 ? "before row 1"
                                                   : "after row " + std::to_string(stopped) + " (" +
                                                         doc_.grid.cell(stopped, ColLabel) + ")";
            if (!ask("The last read from the radio stopped " + after +
                     ": the rows after it were not read. Write the channels over the radio's channels anyway?"))
                return false;
            channels = false;  // answered
        } else {
            channels = !doc_.origin.known;
        }
    }
    static const char* const names[] = {"bank layout", "bank-link groups", "one-touch keys",
                                        "opening title", "settings", "DTMF memories"};
    std::string unknown;
    for (Area a : areas)
        if (!known(a)) unknown += std::string(unknown.empty() ? "" : ", ") + names[a];
    if (unknown.empty()) return !channels || ask(UnknownChannelsQuestion);
    if (channels) unknown = "channels, " + unknown;
    return ask("These were not read from the radio or opened from a file or a radio image; they hold the "
               "program's start-up values: " + unknown + ". Write them over what the radio holds?");
}

TransferOutcome Commands::readSettings() {
    const bool quiet = doc_.state.quiet == QuietOn;  // a chain reports at its end
    const TransferOutcome out = noteKnown(transfer(readSettingsPlan(doc_.setMode, doc_.dtmf)), {Settings, Dtmf});
    if (!quiet) reportUnshown(out, doc_.setMode.readNotes);
    return out;
}
TransferOutcome Commands::writeSettings() {
    if (busy()) return TransferOutcome::Ignored;
    if (!confirmWrite(false, {Settings, Dtmf})) return TransferOutcome::Ignored;
    return noteKnown(transfer(writeSettingsPlan(doc_.setMode, doc_.dtmf)), {Settings, Dtmf});
}
TransferOutcome Commands::readDtmf() {
    const TransferOutcome out = noteKnown(transfer(dtmfReadPlan(doc_.dtmf)), {Dtmf});
    reportUnshown(out, dtmfNotes(doc_.dtmf));
    return out;
}
TransferOutcome Commands::writeDtmf() {
    if (busy()) return TransferOutcome::Ignored;
    if (!confirmWrite(false, {Dtmf})) return TransferOutcome::Ignored;
    return noteKnown(transfer(dtmfWritePlan(doc_.dtmf)), {Dtmf});
}
TransferOutcome Commands::readTitle() {
    return noteKnown(transfer(readTitlePlan(doc_.title, doc_.grid)), {Title});
}
TransferOutcome Commands::writeTitle() {
    if (busy()) return TransferOutcome::Ignored;
    if (!confirmWrite(false, {Title})) return TransferOutcome::Ignored;
    return noteKnown(transfer(writeTitlePlan(doc_.title, doc_.grid)), {Title});
}

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

void Commands::selectSetting(int item, int position) {
    if (busy()) return doc_.setMode.changed.notify();
    selectSetModeItem(doc_.setMode, item, position);
}
void Commands::chooseLanguage(int language) {
    if (busy()) return doc_.setMode.changed.notify();
    ApplySetModeLanguage(doc_.setMode, language);
}
void Commands::setScanTimer(bool checked, const std::string& text) {
    if (busy()) return doc_.setMode.changed.notify();
    tqm5::setScanTimer(doc_.setMode, checked, text);
}
void Commands::typeScanTime(const std::string& text) {
    if (busy()) return doc_.setMode.changed.notify();
    doc_.setMode.scanTime = text;
}
void Commands::selectDtmfList(int list, int position) {
    if (!busy() && list >= 0 && list < DtmfLists && position >= 0 &&
        position < static_cast<int>(dtmfList(list).entries.size()))
        doc_.dtmf.lists[static_cast<std::size_t>(list)] = position;
    doc_.dtmf.changed.notify();
}
void Commands::setDtmfMemory(int memory, const std::string& text) {
    if (!busy() && memory >= 0 && memory < DtmfSettings::Memories)
        doc_.dtmf.memories[static_cast<std::size_t>(memory)] = text;
    doc_.dtmf.changed.notify();
}
bool Commands::editTitle(const std::string& text) {
    if (!titleEditAllowed(doc_.title.text, text)) return false;
    setTitleText(doc_.title, text);
    return true;
}
void Commands::selectSlide(int position) { setSlide(doc_.title, position); }
void Commands::appendUserCharacter(int k) { tqm5::appendUserCharacter(doc_.title, k); }

void Commands::deleteRows() {
    if (busy()) return;
    RecordedChange change(history_, doc_, "Delete");
    deleteSelectedRows(doc_.grid);
    doc_.markEdited(doc_.grid.rangeFirst(), doc_.grid.rangeLast());
}
void Commands::clearRows() {
    if (busy()) return;
    RecordedChange change(history_, doc_, "Clear");
    clearSelectedRows(doc_.grid);
    doc_.markEdited(doc_.grid.rangeFirst(), doc_.grid.rangeLast());
}
void Commands::allClear() {
    if (busy()) return;
    RecordedChange change(history_, doc_, "All Clear");
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
    RecordedChange change(history_, doc_, "Edit");
    const StoreResult result = tqm5::storeEdit(doc_.grid, host_, edit, plan);
    if (result == StoreResult::Stored && !(plan.first == RowAction::Keep && plan.second == RowAction::Keep))
        doc_.markEdited(row, isDualMainRow(row) ? row + 1 : row);
    return result;
}

int Commands::switchPage(int n) { return busy() ? 0 : tqm5::switchPage(doc_, host_, n); }

bool Commands::selectPort(int number) {
    if (busy() || number < 1 || number > 16) return false;
    // Another port is another radio, perhaps: what the last one held is no
    // guide to it.
    if (number != doc_.port) doc_.radio.clear();
    doc_.port = number;
    doc_.portChecked = number;
    writeConfiguration();
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

bool Commands::requestStop() {
    if (!stoppable() || doc_.state.stopping) return false;
    if ((doc_.state.writing || chain_ == Chain::Write) &&
        !ask("A write to the radio is running. Stopping now leaves the radio partly written and its "
             "pass-channel index out of date. Stop the write?"))
        return false;
    if (!stoppable()) return false;  // it ended while the question was open
    doc_.state.stopping = true;
    return true;
}

void Commands::windowClosing() {
    link_.close();
    doc_.state.closing = true;
    if (busy()) endOfTransferReset();
}

}  // namespace tqm5

// --- banks, one-touch memories, groups -------------------------------------------

namespace tqm5 {

namespace {

// Messages a window shows for the group transfers; progress and the main
// window's controls are not the group window's business.
class GroupHost : public Host {
public:
    GroupHost(Host& host, const Listeners<bool>& buttons) : host_(host), buttons_(buttons) {}
    Choice message(const std::string& text, const std::string& title, Buttons b) override {
        return host_.message(text, title, b);
    }
    void processEvents() override { host_.processEvents(); }
    void setProgressMax(int) override {}
    void setProgressValue(int) override {}
    void setProgressText(const std::string&) override {}
    void enableTransferControls() override { buttons_.notify(true); }
    void disableTransferControls() override { buttons_.notify(false); }

private:
    Host& host_;
    const Listeners<bool>& buttons_;
};

}  // namespace

engine::Plan Commands::bankReadPlan() {
    engine::Plan plan = tqm5::bankReadPlan(doc_.banks);
    plan.succeeded = [this] {
        // The Memory page shows labels for the layout just read.
        if (doc_.lastTab == 0 || doc_.lastTab == MemoryPage) followLayout(doc_);
    };
    return plan;
}

TransferOutcome Commands::bankRead() { return noteKnown(transfer(bankReadPlan()), {Banks}); }

TransferOutcome Commands::bankWrite() {
    if (busy()) return TransferOutcome::Ignored;
    if (!doc_.banks.complete()) {
        // Never reaches the radio: a layout that does not total 1000 would
        // leave channels outside every bank.
        doc_.state.quiet = QuietFailed;
        host_.message(BankWriteRefusedText, ErrorTitle);
        return TransferOutcome::Error;
    }
    if (!confirmWrite(false, {Banks})) return TransferOutcome::Ignored;
    return noteKnown(transfer(bankWritePlan(doc_.banks)), {Banks});
}

void Commands::bankReset() {
    if (!busy()) doc_.banks.reset();
}
void Commands::setBankSize(int bank, int value) {
    if (!busy()) doc_.banks.setSize(bank, value);
}
void Commands::selectBank(int bank) {
    if (bank >= 0 && bank < BankLayout::Banks) doc_.banks.selected = bank;
}
void Commands::bankUp() {
    if (!busy()) doc_.banks.step(+1);
}
void Commands::bankDown() {
    if (!busy()) doc_.banks.step(-1);
}

TransferOutcome Commands::oneTouchRead() { return noteKnown(transfer(oneTouchReadPlan(doc_.oneTouch)), {OneTouch}); }
TransferOutcome Commands::oneTouchWrite() {
    if (busy()) return TransferOutcome::Ignored;
    if (!confirmWrite(false, {OneTouch})) return TransferOutcome::Ignored;
    return noteKnown(transfer(oneTouchWritePlan(doc_.oneTouch)), {OneTouch});
}
void Commands::oneTouchReset() {
    if (!busy()) doc_.oneTouch.reset();
}
void Commands::selectOneTouchBank(int key, int position) {
    if (!busy()) doc_.oneTouch.selectBank(key, position);
}
void Commands::selectOneTouchChannel(int key, int position) {
    if (!busy()) doc_.oneTouch.selectChannel(key, position);
}
void Commands::setOneTouchNoSetting(int key, bool on) {
    if (!busy()) doc_.oneTouch.setNoSetting(key, on);
}

bool Commands::openGroupWindow() {
    if (!mayOpenGroupWindow()) return false;
    // The layout stays as it is, whole or not: banks without channels are
    // grey either way, and the keys follow only a whole layout.
    if (doc_.banks.complete()) doc_.oneTouch.rebuild(doc_.banks);
    doc_.groups.markAvailability(doc_.banks);
    return true;
}

TransferOutcome Commands::groupTransfer(const engine::Plan& plan) {
    if (groupBusy()) return TransferOutcome::Ignored;
    GroupHost host(host_, groupButtonsEnabled);
    engine::Environment env{link_, host, groupState_, doc_.port, GroupTimeoutMs, {}, {}, attemptsPerBlock, &doc_.radio};
    env.endOfTransferReset = [this] { groupButtonsEnabled.notify(true); };
    // The window shows its own success message.
    groupState_.quiet = QuietOn;
    const TransferOutcome out = engine::run(tapped(plan), env);
    if (out != TransferOutcome::Ignored) keepImage();
    return out;
}

TransferOutcome Commands::groupRead(bool readAll) {
    const TransferOutcome out = noteKnown(groupTransfer(groupReadPlan(doc_.groups)), {Groups});
    if (out == TransferOutcome::Success) {
        if (readAll) {
            // A Read All with a failed step ends with "Error" instead.
            if (!chainFailed_) host_.message(GroupReadAllText, FinishTitle);
        } else {
            host_.message(GroupReadDoneText, GroupReadDoneTitle);
        }
    }
    return out;
}

TransferOutcome Commands::groupWrite() {
    if (groupBusy()) return TransferOutcome::Ignored;
    if (!confirmWrite(false, {Groups})) return TransferOutcome::Ignored;
    const TransferOutcome out = noteKnown(groupTransfer(groupWritePlan(doc_.groups)), {Groups});
    if (out == TransferOutcome::Success) host_.message(GroupWriteDoneText, FinishTitle);
    return out;
}

void Commands::groupClear() {
    if (!groupBusy()) doc_.groups.clear();
}

void Commands::groupCellClicked(int row, int col) {
    if (groupBusy()) return;
    const int group = groupOfGroupRow(row), bank = bankOfGroupColumn(col);
    if (group < 0 || bank < 0) return;
    doc_.groups.toggle(group, bank);
}

}  // namespace tqm5
