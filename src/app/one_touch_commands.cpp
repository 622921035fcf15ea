#include "app/one_touch_commands.h"

namespace tqm5 {

TransferOutcome OneTouchCommands::read() {
    return runner_.noteKnown(runner_.transfer(oneTouchReadPlan(doc_.oneTouch)), {TransferRunner::OneTouch});
}
TransferOutcome OneTouchCommands::write() {
    if (runner_.busy()) return TransferOutcome::Ignored;
    if (!runner_.confirmWrite(false, {TransferRunner::OneTouch})) return TransferOutcome::Ignored;
    return runner_.noteKnown(runner_.transfer(oneTouchWritePlan(doc_.oneTouch)), {TransferRunner::OneTouch});
}
void OneTouchCommands::reset() {
    if (!runner_.busy()) doc_.oneTouch.reset();
}
void OneTouchCommands::selectBank(int key, int position) {
    if (!runner_.busy()) doc_.oneTouch.selectBank(key, position);
}
void OneTouchCommands::selectChannel(int key, int position) {
    if (!runner_.busy()) doc_.oneTouch.selectChannel(key, position);
}
void OneTouchCommands::setNoSetting(int key, bool on) {
    if (!runner_.busy()) doc_.oneTouch.setNoSetting(key, on);
}

}  // namespace tqm5
