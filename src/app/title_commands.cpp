#include "app/title_commands.h"

namespace tqm5 {

TransferOutcome TitleCommands::read() {
    return runner_.noteKnown(runner_.transfer(readTitlePlan(doc_.title, doc_.grid)), {TransferRunner::Title});
}
TransferOutcome TitleCommands::write() {
    if (runner_.busy()) return TransferOutcome::Ignored;
    if (!runner_.confirmWrite(false, {TransferRunner::Title})) return TransferOutcome::Ignored;
    return runner_.noteKnown(runner_.transfer(writeTitlePlan(doc_.title, doc_.grid)), {TransferRunner::Title});
}
void TitleCommands::reset() { resetTitle(doc_.title, doc_.grid); }
bool TitleCommands::edit(const std::string& text) {
    if (!titleEditAllowed(doc_.title.text, text)) return false;
    setTitleText(doc_.title, text);
    return true;
}
void TitleCommands::selectSlide(int position) { setSlide(doc_.title, position); }
void TitleCommands::appendUserCharacter(int k) { tqm5::appendUserCharacter(doc_.title, k); }

}  // namespace tqm5
