#include "app/group_commands.h"

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

bool GroupCommands::openWindow() {
    if (!runner_.mayOpenWindow()) return false;
    // The layout stays as it is, whole or not: banks without channels are
    // grey either way, and the keys follow only a whole layout.
    if (doc_.banks.complete()) doc_.oneTouch.rebuild(doc_.banks);
    doc_.groups.markAvailability(doc_.banks);
    return true;
}

TransferOutcome GroupCommands::transfer(const engine::Plan& plan) {
    if (busy()) return TransferOutcome::Ignored;
    if (const Result<void> held = runner_.holdRadio(); !held) {
        runner_.host().message(held.error(), ErrorTitle);
        return TransferOutcome::Error;
    }
    GroupHost host(runner_.host(), buttonsEnabled);
    engine::Environment env{runner_.link(), host, state_, doc_.port, GroupTimeoutMs, {}, {}, runner_.attemptsPerBlock,
                            &doc_.radio};
    env.endOfTransferReset = [this] { buttonsEnabled.notify(true); };
    // The window shows its own success message.
    state_.quiet = QuietOn;
    const TransferOutcome out = engine::run(runner_.tapped(plan), env);
    if (out != TransferOutcome::Ignored) runner_.keepImage();
    runner_.releaseRadio();
    return out;
}

TransferOutcome GroupCommands::read(bool readAll) {
    const TransferOutcome out = runner_.noteKnown(transfer(groupReadPlan(doc_.groups)), {TransferRunner::Groups});
    if (out == TransferOutcome::Success) {
        if (readAll) {
            // A Read All with a failed step ends with "Error" instead.
            if (!runner_.chainFailed()) runner_.host().message(GroupReadAllText, FinishTitle);
        } else {
            runner_.host().message(GroupReadDoneText, GroupReadDoneTitle);
        }
    }
    return out;
}

TransferOutcome GroupCommands::write() {
    if (busy()) return TransferOutcome::Ignored;
    if (!runner_.confirmWrite(false, {TransferRunner::Groups})) return TransferOutcome::Ignored;
    const TransferOutcome out = runner_.noteKnown(transfer(groupWritePlan(doc_.groups)), {TransferRunner::Groups});
    if (out == TransferOutcome::Success) runner_.host().message(GroupWriteDoneText, FinishTitle);
    return out;
}

void GroupCommands::clear() {
    if (!busy()) doc_.groups.clear();
}

void GroupCommands::cellClicked(int row, int col) {
    if (busy()) return;
    const int group = groupOfGroupRow(row), bank = bankOfGroupColumn(col);
    if (group < 0 || bank < 0) return;
    doc_.groups.toggle(group, bank);
}

}  // namespace tqm5
