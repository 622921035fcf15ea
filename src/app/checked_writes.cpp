// Writes checked against what the radio is known to hold: Write Changes,
// an image's blocks, a resumed write, and the journal every whole-radio
// write keeps so that a cut one can be resumed.
#include <algorithm>

#include "app/all_data.h"
#include "app/write_changes.h"
#include "channels/pass_index.h"
#include "files/kept_image.h"
#include "features/banks.h"

namespace tqm5 {

const char* const WriteChangesNeedsReadText =
    "Write Changes needs to know what the radio holds: read it first (Read All Data), or write everything "
    "once (Write All Data). Not known yet: ";
const char* const NothingChangedText = "Nothing to write: the radio already holds everything as it is here.";
const char* const RadioChangedText =
    "The radio does not hold what it held when it was last read or written (changed on its keypad, or "
    "another radio on the cable?), at ";
const char* const RadioChangedAdvice =
    ". Nothing was written. Read the radio again, or write everything with Write All Data.";
const char* const ResumeQuestion = "A write to this radio stopped before it ended: the radio took %1 of its %2 "
                                   "blocks. Resume it, sending only the blocks the radio did not take?";
const char* const NoJournalText = "There is no unfinished write to this radio to resume.";

namespace {

// Reads back the blocks a write is about to overwrite, and the first
// settings block (another radio on the cable differs there first); each
// must hold what the radio is known to hold (`kept`) or, for a resumed
// write, what the write was to leave (`target`). `mustBeTarget` names blocks
// that must hold the target's bytes (the last one a cut write saw taken).
// Each block is compared over its own length: a read answers 64 bytes, and
// the bytes past a short block belong to a neighbour that may not have been
// written yet.
engine::Plan checkPlan(const std::vector<WrittenBlock>& blocks, const RadioImage& kept, const RadioImage& target,
                       const std::vector<WrittenBlock>& mustBeTarget, std::vector<Mismatch>& mismatches) {
    engine::Plan plan;
    plan.busyCode = BusyWriteAll;
    plan.what = "the radio before writing";
    plan.budgets = {ReadFailureBudget};
    struct Read {
        uint32_t address;
        int length;
        bool targetOnly;
    };
    std::vector<Read> reads{{radio::SettingsBlock1.address, radio::SettingsBlock1.length, false}};
    const auto add = [&](const WrittenBlock& w, bool targetOnly) {
        for (const Read& r : reads)
            if (r.address == w.address) return;
        reads.push_back({w.address, static_cast<int>(w.data.size()), targetOnly});
    };
    for (const WrittenBlock& w : mustBeTarget) add(w, true);
    for (const WrittenBlock& w : blocks) add(w, false);
    const int count = static_cast<int>(reads.size());
    plan.progressMax = 100;
    for (int i = 0; i < count; ++i) {
        const Read r = reads[std::size_t(i)];
        engine::Block b;
        b.kind = engine::Block::Kind::Read;
        b.address = r.address;
        b.length = radio::MaxBlockBytes;
        b.after = {(i + 1) * 30 / count, (i + 1) * 30 / count};
        b.decode = [&mismatches, &kept, &target, r](const Bytes& data) {
            const auto fromTarget = differsFromKept(r.address, data, target, r.length);
            if (r.targetOnly) {
                if (fromTarget) mismatches.push_back(*fromTarget);
            } else if (const auto fromKept = differsFromKept(r.address, data, kept, r.length); fromKept && fromTarget) {
                mismatches.push_back(*fromKept);
            }
            return true;
        };
        plan.blocks.push_back(std::move(b));
    }
    return plan;
}

std::vector<uint32_t> addressesOf(const std::vector<WrittenBlock>& blocks) {
    std::vector<uint32_t> out;
    for (const WrittenBlock& w : blocks) out.push_back(w.address);
    return out;
}

}  // namespace

std::vector<WrittenBlock> AllDataCommands::writeAllBlocks(const RadioImage& target) const {
    const auto index = buildPassIndex(doc_.grid);
    std::vector<WrittenBlock> blocks;
    for (WrittenBlock& w : restoreBlocks(target, Bytes(index.begin(), index.end()))) {
        // Write All sends only the glyphs that came from the radio, a file or the user.
        const bool glyph = w.address >= radio::Font.address && w.address < radio::Font.end();
        if (glyph && !doc_.glyphs.known(static_cast<int>((w.address - radio::Font.address) / radio::GlyphBytes)))
            continue;
        blocks.push_back(std::move(w));
    }
    return blocks;
}

TransferOutcome AllDataCommands::journaled(const RadioImage& target, const std::vector<WrittenBlock>& blocks,
                                           const std::function<TransferOutcome()>& write, bool fresh) {
    if (!runner_.keepImagesOnDisk) return write();
    const std::string key = runner_.radioKey();
    const Result<void> started = fresh ? startJournal(key, target, addressesOf(blocks)) : Result<void>{};
    bool journal = started.ok();
    if (!journal)
        host_.message("No journal of this write can be kept, so it cannot be resumed if it is cut: " +
                          started.error(),
                      ErrorTitle);
    Listeners<bool, uint32_t, const Bytes&>::Token noting;
    int taken = 0;
    if (journal)
        noting = runner_.blockMoved.connect([key, &journal, &taken](bool isWrite, uint32_t address, const Bytes&) {
            if (!isWrite || !journal) return;
            if (noteAcknowledged(key, address)) ++taken;
            else journal = false;
        });
    const TransferOutcome out = write();
    noting.reset();
    // A run that ended well, or a new one the radio took nothing of, leaves
    // nothing to resume.
    if (out == TransferOutcome::Success || (fresh && taken == 0)) removeJournal(key);
    return out;
}

TransferOutcome AllDataCommands::writeChecked(const RadioImage& target, const std::vector<WrittenBlock>& blocks,
                                              const std::vector<WrittenBlock>& mustBeTarget, bool freshJournal) {
    lastMismatches.clear();
    channels_.history().clear();  // nothing before the write comes back by undo
    if (!runner_.startChain(TransferRunner::Chain::Write)) return TransferOutcome::Error;
    const RadioImage kept = doc_.radio;
    const auto endWith = [this](TransferOutcome out, const std::string& text) {
        runner_.leaveChain();
        doc_.state.quiet = QuietNormal;
        host_.message(text, ErrorTitle);
        return out;
    };

    // 1. The radio must still hold what the program last knew of it.
    std::vector<Mismatch> changed;
    runner_.keepMoved = false;  // what the check reads is compared, not taken
    const bool checked =
        runner_.chainStep([&] { return runner_.transfer(checkPlan(blocks, kept, target, mustBeTarget, changed)); });
    runner_.keepMoved = true;
    if (!checked) return runner_.chainEnded();
    if (runner_.chainFailed()) return endWith(TransferOutcome::Error, ErrorText);
    if (!changed.empty()) {
        // Refused: nothing was written.
        return endWith(TransferOutcome::Ignored,
                       RadioChangedText + describe(changed.front(), doc_.grid) + RadioChangedAdvice);
    }

    // 2. The blocks, noted in the journal as the radio takes them.
    engine::Plan plan = restorePlan(blocks);
    plan.what = "changes";
    plan.progressMax = 100;
    const int count = static_cast<int>(plan.blocks.size());
    for (int i = 0; i < count; ++i) {
        const int at = 30 + (i + 1) * 40 / count;
        plan.blocks[std::size_t(i)].after = {at, at};
    }
    bool went = false;
    journaled(
        target, blocks,
        [&] {
            TransferOutcome out = TransferOutcome::Closed;
            went = runner_.chainStep([&] { return out = runner_.transfer(plan); });
            return out;
        },
        freshJournal);
    if (!went) return runner_.chainEnded();
    runner_.leaveChain();
    doc_.state.quiet = QuietNormal;
    if (runner_.chainFailed()) {
        host_.message(ErrorText, ErrorTitle);
        return TransferOutcome::Error;
    }
    // 3. Every block read back.
    const TransferOutcome verified = verifyWritten(blocks);
    if (verified != TransferOutcome::Success) return verified;
    host_.message(SuccessText, FinishTitle);
    return TransferOutcome::Success;
}

std::optional<TransferOutcome> AllDataCommands::offerResume() {
    if (!runner_.keepImagesOnDisk || !offerResumeFirst) return std::nullopt;
    const Result<std::optional<WriteJournal>> opened = openJournal(runner_.radioKey());
    if (!opened) host_.message(opened.error(), ErrorTitle);
    if (!opened || !opened.value()) return std::nullopt;
    const WriteJournal& journal = *opened.value();
    std::string question = ResumeQuestion;
    question.replace(question.find("%1"), 2, std::to_string(journal.acknowledged.size()));
    question.replace(question.find("%2"), 2, std::to_string(journal.plan.size()));
    if (!runner_.ask(question)) return std::nullopt;
    return resumeWrite();
}

TransferOutcome AllDataCommands::resumeWrite() {
    if (busyOrChained()) return TransferOutcome::Ignored;
    const Result<std::optional<WriteJournal>> opened = openJournal(runner_.radioKey());
    if (!opened || !opened.value()) {
        host_.message(opened ? NoJournalText : opened.error(), ErrorTitle);
        return TransferOutcome::Ignored;
    }
    const std::optional<WriteJournal>& journal = opened.value();
    const RadioImage& target = journal->target;
    const Bytes index = passIndexOf(target);
    std::vector<WrittenBlock> blocks, indexBlocks, taken;
    const auto wasTaken = [&](uint32_t a) {
        return std::find(journal->acknowledged.begin(), journal->acknowledged.end(), a) != journal->acknowledged.end();
    };
    // The last block the radio took (the index aside) must hold what was
    // sent: it proves this is the radio the write was cut on.
    uint32_t lastTaken = 0xFFFFFFFF;
    for (auto it = journal->acknowledged.rbegin(); it != journal->acknowledged.rend(); ++it)
        if (*it < radio::PassIndex.address || *it >= radio::PassIndex.end()) {
            lastTaken = *it;
            break;
        }
    for (WrittenBlock& w : restoreBlocks(target, index)) {
        if (std::find(journal->plan.begin(), journal->plan.end(), w.address) == journal->plan.end()) continue;
        // The pass-channel index follows the channels: sent again whole, last.
        if (w.address >= radio::PassIndex.address && w.address < radio::PassIndex.end()) indexBlocks.push_back(w);
        else if (!wasTaken(w.address)) blocks.push_back(std::move(w));
        else if (w.address == lastTaken) taken.push_back(std::move(w));
    }
    blocks.insert(blocks.end(), indexBlocks.begin(), indexBlocks.end());
    return writeChecked(target, blocks, taken, false);
}

TransferOutcome AllDataCommands::writeChangeSet(const RadioImage& target, const ChangeSet& set, bool confirm) {
    if (!set.unknown.empty()) {
        std::string text = WriteChangesNeedsReadText;
        for (std::size_t i = 0; i < set.unknown.size(); ++i) text += (i ? ", " : "") + set.unknown[i];
        host_.message(text + ".", ErrorTitle);
        return TransferOutcome::Ignored;
    }
    if (confirm && !runner_.confirmWholeWrite()) return TransferOutcome::Ignored;
    if (set.blocks.empty()) {
        host_.message(NothingChangedText, FinishTitle);
        return TransferOutcome::Success;
    }
    return writeChecked(target, set.blocks, {}, true);
}

TransferOutcome AllDataCommands::writeImage(const RadioImage& image, bool changesOnly, bool verify) {
    if (busyOrChained()) return TransferOutcome::Ignored;
    const auto index = passIndexOf(image);
    std::vector<WrittenBlock> blocks = restoreBlocks(image, index);
    if (changesOnly) return writeChangeSet(image, changedBlocks(std::move(blocks), doc_.radio, nullptr), false);
    engine::Plan plan = restorePlan(blocks);
    const TransferOutcome out = journaled(image, blocks, [&] { return runner_.transfer(plan); }, true);
    if (out != TransferOutcome::Success || !verify) return out;
    return verifyWritten(blocks);
}

TransferOutcome AllDataCommands::writeChanges() {
    if (busyOrChained()) return TransferOutcome::Ignored;
    if (!doc_.banks.complete()) {
        host_.message(BankWriteRefusedText, ErrorTitle);
        return TransferOutcome::Error;
    }
    if (const auto resumed = offerResume()) return *resumed;
    const TransferOutcome out =
        writeChangeSet(encodeDocument(doc_, doc_.radio), changesToWrite(doc_, doc_.radio), true);
    if (out == TransferOutcome::Success) {
        // The radio now holds the document whole.
        doc_.origin = ChannelOrigin{true, -1};
        doc_.markSaved(1, LastRow);
        doc_.known = AreaOrigins{true, true, true, true, true, true};
    }
    return out;
}

}  // namespace tqm5
