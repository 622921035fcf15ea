#include "app/bank_commands.h"

#include "app/pages.h"
#include "features/banks.h"

namespace tqm5 {

engine::Plan BankCommands::readPlan() {
    engine::Plan plan = bankReadPlan(doc_.banks);
    plan.succeeded = [this] {
        // The Memory page shows labels for the layout just read.
        if (doc_.lastTab == 0 || doc_.lastTab == MemoryPage) followLayout(doc_);
    };
    return plan;
}

TransferOutcome BankCommands::read() {
    return runner_.noteKnown(runner_.transfer(readPlan()), {TransferRunner::Banks});
}

TransferOutcome BankCommands::write() {
    if (runner_.busy()) return TransferOutcome::Ignored;
    if (!doc_.banks.complete()) {
        // Never reaches the radio: a layout that does not total 1000 would
        // leave channels outside every bank.
        doc_.state.quiet = QuietFailed;
        runner_.host().message(BankWriteRefusedText, ErrorTitle);
        return TransferOutcome::Error;
    }
    if (!runner_.confirmWrite(false, {TransferRunner::Banks})) return TransferOutcome::Ignored;
    return runner_.noteKnown(runner_.transfer(bankWritePlan(doc_.banks)), {TransferRunner::Banks});
}

void BankCommands::reset() {
    if (!runner_.busy()) doc_.banks.reset();
}
void BankCommands::setSize(int bank, int value) {
    if (!runner_.busy()) doc_.banks.setSize(bank, value);
}
void BankCommands::select(int bank) {
    if (bank >= 0 && bank < BankLayout::Banks) doc_.banks.selected = bank;
}
void BankCommands::up() {
    if (!runner_.busy()) doc_.banks.step(+1);
}
void BankCommands::down() {
    if (!runner_.busy()) doc_.banks.step(-1);
}

}  // namespace tqm5
