// Read All and Write All: every feature's transfer chained, silently, with
// the closing window tested between the steps.
#include "app/all_data.h"

#include "app/write_changes.h"
#include "features/groups.h"
#include "font/font_transfer.h"

namespace tqm5 {

TransferOutcome AllDataCommands::readAll(AllDataWindows& windows) {
    if (busyOrChained()) return TransferOutcome::Ignored;
    if (!runner_.startChain(TransferRunner::Chain::Read)) return TransferOutcome::Error;
    const auto closed = [this] { return runner_.chainEnded(); };
    if (!runner_.chainStep([this] { return channels_.memoryRead(); })) return closed();
    host_.processEvents();
    doc_.grid.setHighlight(false);
    blankEmptyRows(doc_.grid);
    if (!runner_.chainStep([this] { return banks_.read(); })) return closed();
    // The keys are resolved against the layout just read, not the one before.
    doc_.oneTouch.rebuild(doc_.banks);
    if (!runner_.chainStep([this] { return oneTouch_.read(); })) return closed();
    if (!runner_.chainStep([this] { return title_.read(); })) return closed();
    if (!runner_.chainStep([this] { return settings_.read(); })) return closed();
    const std::vector<std::string> notes = doc_.setMode.readNotes;

    // The font and group windows read in read-all mode.
    for (bool (AllDataWindows::*readWindow)() : {&AllDataWindows::readFontWindow, &AllDataWindows::readGroupWindow}) {
        bool read = true;
        if (!runner_.chainStep([&] {
                // The windows run their own transfers; the main window's
                // commands stay refused while they do.
                doc_.state.readAllMode = true;
                doc_.state.busy = BusyReadAll;
                runner_.holdBetweenSteps();
                read = (windows.*readWindow)();
                doc_.state.busy = Idle;
                return TransferOutcome::Success;
            }))
            return closed();
        if (!read) runner_.noteChainFailed();
    }
    if (doc_.state.closing) return closed();
    runner_.leaveChain();

    runner_.endOfTransferReset();
    doc_.state.readAllMode = false;
    doc_.state.busy = Idle;
    runner_.endOfTransferReset();
    doc_.state.quiet = QuietNormal;
    if (runner_.chainFailed()) {
        host_.message(ErrorText, ErrorTitle);
        return TransferOutcome::Error;
    }
    runner_.reportUnshown(TransferOutcome::Success, notes);
    readAllSucceeded.notify();
    return TransferOutcome::Success;
}

engine::Plan AllDataCommands::writeAllFinalPlan() {
    engine::Plan plan;
    plan.busyCode = BusyWriteAll;
    plan.what = "groups and user characters";
    plan.identifyAttempts = 0;  // the radio is still in clone mode from the steps before
    plan.fromDocument = true;
    plan.budgets = {3, 3, 3};   // group area 1, group area 2, the glyphs together
    for (int area = 0; area < GroupAreas; ++area) {
        engine::Block b;
        b.kind = engine::Block::Kind::Write;
        b.address = groupAreaAddress(area);
        b.length = groupAreaBytes(area);
        b.budget = area;
        b.encode = [this, area] { return encodeGroupArea(doc_.groups.member, area); };
        b.nulBytes = groupAreaNulBytes(area);
        plan.blocks.push_back(std::move(b));
    }
    for (engine::Block& b : glyphWriteBlocks(doc_.glyphs, 2)) plan.blocks.push_back(std::move(b));
    return plan;
}

TransferOutcome AllDataCommands::writeAll() {
    if (busyOrChained()) return TransferOutcome::Ignored;
    if (const auto resumed = offerResume()) return *resumed;
    // Asked once, before anything reaches the radio.
    if (!runner_.confirmWholeWrite()) return TransferOutcome::Ignored;
    if (!runner_.startChain(TransferRunner::Chain::Write)) return TransferOutcome::Error;
    // The journal notes every block the radio takes, so a cut run can be
    // resumed; it goes once every step succeeded.
    const RadioImage target = encodeDocument(doc_, doc_.radio);
    TransferOutcome ended = TransferOutcome::Success;
    journaled(
        target, writeAllBlocks(target), [&] { return ended = writeAllSteps(); }, true);
    return ended;
}

TransferOutcome AllDataCommands::writeAllSteps() {
    // With verification on, every block that goes out is noted to be read
    // back once the radio has taken everything.
    std::vector<WrittenBlock> written;
    Listeners<bool, uint32_t, const Bytes&>::Token noting;
    if (verifyAfterWrite)
        noting = runner_.blockMoved.connect([&written](bool write, uint32_t address, const Bytes& data) {
            if (write) written.push_back({address, data});
        });
    if (!runner_.chainStep([this] { return channels_.memoryWrite(); })) return runner_.chainEnded();
    if (!runner_.chainStep([this] { return banks_.write(); })) return runner_.chainEnded();
    if (!runner_.chainStep([this] { return oneTouch_.write(); })) return runner_.chainEnded();
    if (!runner_.chainStep([this] { return title_.write(); })) return runner_.chainEnded();
    if (!runner_.chainStep([this] { return settings_.write(); })) return runner_.chainEnded();

    // The groups and the glyphs, without a new identification. The run's
    // own ending is shown below, so the step itself stays quiet on success.
    TransferOutcome last = TransferOutcome::Success;
    const auto finalStep = [&] {
        return last = runner_.noteKnown(runner_.transfer(writeAllFinalPlan()), {TransferRunner::Groups});
    };
    if (!runner_.chainStep(finalStep)) return runner_.chainEnded();
    runner_.leaveChain();
    noting.reset();
    doc_.state.quiet = QuietNormal;
    if (last != TransferOutcome::Success) return last;  // it showed its own "Error" or "Port Error"
    if (runner_.chainFailed()) {
        host_.message(ErrorText, ErrorTitle);
        return TransferOutcome::Error;
    }
    if (verifyAfterWrite) {
        const TransferOutcome checked = verifyWritten(written);
        if (checked != TransferOutcome::Success) return checked;
    }
    host_.message(SuccessText, FinishTitle);
    return TransferOutcome::Success;
}

std::string AllDataCommands::writeAllRefusal() const {
    if (!doc_.banks.complete())
        return "the bank layout holds " + std::to_string(doc_.banks.total()) + " channels in all, not the " +
               std::to_string(BankLayout::Channels) + " the radio needs";
    return {};
}

const char* const VerifyFailedText = "Verify Error: the radio does not hold what was written at ";

TransferOutcome AllDataCommands::verifyWritten(const std::vector<WrittenBlock>& written) {
    lastMismatches.clear();
    doc_.state.busy = Idle;
    doc_.state.quiet = QuietOn;  // the read-back is part of the write: only its failure shows
    const TransferOutcome out = runner_.transfer(verifyPlan(written, lastMismatches));
    doc_.state.quiet = QuietNormal;
    if (out != TransferOutcome::Success) return out;
    if (lastMismatches.empty()) return TransferOutcome::Success;
    std::string text = VerifyFailedText + describe(lastMismatches.front(), doc_.grid);
    if (lastMismatches.size() > 1) text += " (and " + std::to_string(lastMismatches.size() - 1) + " more blocks)";
    host_.message(text, ErrorTitle);
    return TransferOutcome::Error;
}

}  // namespace tqm5
