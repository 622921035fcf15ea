// Read All and Write All: every feature's transfer chained, silently, with
// the closing window tested between the steps.
#include "app/commands.h"
#include "app/write_changes.h"
#include "features/groups.h"
#include "font/font_transfer.h"

namespace tqm5 {

bool Commands::chainStep(const std::function<TransferOutcome()>& step) {
    if (doc_.state.closing) return false;
    if (doc_.state.stopping) {
        // Stopped between two steps: end as a stopped step ends.
        doc_.state.stopping = false;
        doc_.state.quiet = QuietNormal;
        endOfTransferReset();
        host_.message(engine::StoppedText, engine::StoppedTitle);
        chainStopped_ = true;
        return false;
    }
    doc_.state.quiet = QuietOn;
    doc_.state.busy = Idle;
    stepping_ = true;
    const TransferOutcome out = step();
    stepping_ = false;
    if (out == TransferOutcome::Error || out == TransferOutcome::PortError) chainFailed_ = true;
    if (out == TransferOutcome::Stopped) chainStopped_ = true;
    return !doc_.state.closing && out != TransferOutcome::Closed && out != TransferOutcome::Stopped;
}

TransferOutcome Commands::chainEnded() {
    doc_.state.readAllMode = false;
    doc_.state.quiet = QuietNormal;
    chain_ = Chain::None;
    return chainStopped_ ? TransferOutcome::Stopped : TransferOutcome::Closed;
}

TransferOutcome Commands::readAll(AllDataWindows& windows) {
    if (busy() || chain_ != Chain::None) return TransferOutcome::Ignored;
    chainFailed_ = chainStopped_ = false;
    chain_ = Chain::Read;
    const auto closed = [this] { return chainEnded(); };
    if (!chainStep([this] { return read(1, LastRow, true); })) return closed();
    host_.processEvents();
    doc_.grid.setHighlight(false);
    blankEmptyRows(doc_.grid);
    if (!chainStep([this] { return bankRead(); })) return closed();
    // The keys are resolved against the layout just read, not the one before.
    doc_.oneTouch.rebuild(doc_.banks);
    if (!chainStep([this] { return oneTouchRead(); })) return closed();
    if (!chainStep([this] { return readTitle(); })) return closed();
    if (!chainStep([this] { return readSettings(); })) return closed();
    const std::vector<std::string> notes = doc_.setMode.readNotes;

    // The font and group windows read in read-all mode.
    for (bool (AllDataWindows::*readWindow)() : {&AllDataWindows::readFontWindow, &AllDataWindows::readGroupWindow}) {
        bool read = true;
        if (!chainStep([&] {
                // The windows run their own transfers; the main window's
                // commands stay refused while they do.
                doc_.state.readAllMode = true;
                doc_.state.busy = BusyReadAll;
                stepping_ = false;
                read = (windows.*readWindow)();
                doc_.state.busy = Idle;
                return TransferOutcome::Success;
            }))
            return closed();
        if (!read) chainFailed_ = true;
    }
    if (doc_.state.closing) return closed();
    chain_ = Chain::None;

    endOfTransferReset();
    doc_.state.readAllMode = false;
    doc_.state.busy = Idle;
    endOfTransferReset();
    doc_.state.quiet = QuietNormal;
    if (chainFailed_) {
        host_.message(ErrorText, ErrorTitle);
        return TransferOutcome::Error;
    }
    reportUnshown(TransferOutcome::Success, notes);
    readAllSucceeded.notify();
    return TransferOutcome::Success;
}

engine::Plan Commands::writeAllFinalPlan() {
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

TransferOutcome Commands::writeAll() {
    if (busy() || chain_ != Chain::None) return TransferOutcome::Ignored;
    if (const auto resumed = offerResume()) return *resumed;
    // Asked once, before anything reaches the radio.
    if (!confirmWrite(true, {Banks, OneTouch, Title, Settings, Dtmf, Groups})) return TransferOutcome::Ignored;
    chainFailed_ = chainStopped_ = false;
    chain_ = Chain::Write;
    // The journal notes every block the radio takes, so a cut run can be
    // resumed; it goes once every step succeeded.
    const RadioImage target = encodeDocument(doc_, doc_.radio);
    TransferOutcome ended = TransferOutcome::Success;
    journaled(
        target, writeAllBlocks(target), [&] { return ended = writeAllSteps(); }, true);
    return ended;
}

TransferOutcome Commands::writeAllSteps() {
    // With verification on, every block that goes out is noted to be read
    // back once the radio has taken everything.
    std::vector<WrittenBlock> written;
    Listeners<bool, uint32_t, const Bytes&>::Token noting;
    if (verifyAfterWrite)
        noting = blockMoved.connect([&written](bool write, uint32_t address, const Bytes& data) {
            if (write) written.push_back({address, data});
        });
    if (!chainStep([this] { return write(1, LastRow, true, false); })) return chainEnded();
    if (!chainStep([this] { return bankWrite(); })) return chainEnded();
    if (!chainStep([this] { return oneTouchWrite(); })) return chainEnded();
    if (!chainStep([this] { return writeTitle(); })) return chainEnded();
    if (!chainStep([this] { return writeSettings(); })) return chainEnded();

    // The groups and the glyphs, without a new identification. The run's
    // own ending is shown below, so the step itself stays quiet on success.
    TransferOutcome last = TransferOutcome::Success;
    if (!chainStep([&] { return last = noteKnown(transfer(writeAllFinalPlan()), {Groups}); }))
        return chainEnded();
    chain_ = Chain::None;
    noting.reset();
    doc_.state.quiet = QuietNormal;
    if (last != TransferOutcome::Success) return last;  // it showed its own "Error" or "Port Error"
    if (chainFailed_) {
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

std::string Commands::writeAllRefusal() const {
    if (!doc_.banks.complete())
        return "the bank layout holds " + std::to_string(doc_.banks.total()) + " channels in all, not the " +
               std::to_string(BankLayout::Channels) + " the radio needs";
    return {};
}

const char* const VerifyFailedText = "Verify Error: the radio does not hold what was written at ";

TransferOutcome Commands::verifyWritten(const std::vector<WrittenBlock>& written) {
    lastMismatches.clear();
    doc_.state.busy = Idle;
    doc_.state.quiet = QuietOn;  // the read-back is part of the write: only its failure shows
    const TransferOutcome out = transfer(verifyPlan(written, lastMismatches));
    doc_.state.quiet = QuietNormal;
    if (out != TransferOutcome::Success) return out;
    if (lastMismatches.empty()) return TransferOutcome::Success;
    std::string text = VerifyFailedText + describe(lastMismatches.front(), doc_.grid);
    if (lastMismatches.size() > 1) text += " (and " + std::to_string(lastMismatches.size() - 1) + " more blocks)";
    host_.message(text, ErrorTitle);
    return TransferOutcome::Error;
}

}  // namespace tqm5
