#include "app/write_changes.h"

#include <algorithm>

#include "app/commands.h"
#include "app/kept_bytes.h"
#include "channels/pass_index.h"
#include "channels/record_codec.h"
#include "engine/session.h"
#include "files/kept_image.h"
#include "features/bank_layout.h"
#include "features/banks.h"
#include "features/dtmf.h"
#include "features/groups.h"
#include "features/settings.h"
#include "features/title.h"

namespace tqm5 {

RadioImage encodeDocument(const Document& doc, const RadioImage& over) {
    RadioImage image = over;
    for (int row = 1; row <= LastRow; ++row) {
        const Record rec = encodeRecord(doc.grid, row);
        image.put(addressOfRow(row), Bytes(rec.begin(), rec.end()));
    }
    // The areas as their writes send them: the radio's own bytes where the
    // document holds what they give.
    const auto put = [&](uint32_t address, const Bytes& encoded) {
        image.put(address, keptWhereUnchanged(doc, over, address, encoded));
    };
    for (int b = 0; b < BankBlocks; ++b) put(bankBlockAddress(b), encodeBankBlock(doc.banks, b));
    put(radio::OneTouch.address, doc.oneTouch.encode());
    put(radio::Title.address, encodeTitle(titleStringFromText(doc.title.text), doc.title.slide));
    for (int n = 0; n < 3; ++n)
        put(settingsBlockAddress(n), encodeSettingsBlock(n, doc.setMode, doc.setMode.image));
    for (int n = 0; n < DtmfBlocks; ++n) put(dtmfBlockAddress(n), encodeDtmfBlock(n, doc.dtmf));
    for (int area = 0; area < GroupAreas; ++area) put(groupAreaAddress(area), encodeGroupArea(doc.groups.member, area));
    for (int g = 0; g < GlyphCount; ++g)
        if (doc.glyphs.known(g)) image.put(radio::glyphAddress(g), doc.glyphs.encode(g));
    return image;
}

Bytes passIndexOf(const RadioImage& image) {
    ChannelGrid grid;
    for (int row = 1; row <= LastRow; ++row) {
        Record rec{};
        const Bytes data = image.bytes(addressOfRow(row), radio::ChannelRecordBytes);
        std::copy(data.begin(), data.end(), rec.begin());
        decodeRecord(grid, row, rec);
    }
    const auto index = buildPassIndex(grid);
    return Bytes(index.begin(), index.end());
}

namespace {

// What a write sends but an image file does not hold.
bool isPassIndex(uint32_t address) { return address >= radio::PassIndex.address && address < radio::PassIndex.end(); }

// The unused last byte of a group record.
bool unusedGroupByte(uint32_t address) {
    for (int area = 0; area < GroupAreas; ++area) {
        const uint32_t first = groupAreaAddress(area);
        if (address >= first && address < first + uint32_t(groupAreaBytes(area)) &&
            (address - first) % radio::GroupRecordBytes == radio::GroupRecordBytes - 1)
            return true;
    }
    return false;
}

}  // namespace

std::optional<Mismatch> differsFromKept(uint32_t address, const Bytes& answered, const RadioImage& kept, int length) {
    for (int i = 0; i < length && i < static_cast<int>(answered.size()); ++i) {
        const uint32_t at = address + uint32_t(i);
        if (!kept.knows(at, 1) || unusedGroupByte(at)) continue;
        const uint8_t held = kept.bytes(at, 1)[0];
        if (held != answered[std::size_t(i)]) return Mismatch{at, held, answered[std::size_t(i)]};
    }
    return std::nullopt;
}

ChangeSet changesToWrite(const Document& doc, const RadioImage& kept) {
    ChangeSet set;
    for (const ImageRegion& r : imageRegions()) {
        if (r.area.address == radio::WriteProtect.address) continue;  // never written
        if (r.area.address == radio::Font.address) {
            // Only the glyphs the document holds are written.
            for (int g = 0; g < GlyphCount; ++g)
                if (doc.glyphs.known(g) && !kept.knows(radio::glyphAddress(g), radio::GlyphBytes)) {
                    set.unknown.push_back(r.name);
                    break;
                }
            continue;
        }
        if (!kept.knows(r.area)) set.unknown.push_back(r.name);
    }
    if (!set.unknown.empty()) return set;

    const RadioImage target = encodeDocument(doc, kept);
    const auto built = buildPassIndex(doc.grid);  // as Memory Write builds it
    const Bytes index(built.begin(), built.end());
    const Bytes keptIndex = passIndexOf(kept);
    for (WrittenBlock& w : restoreBlocks(target, index)) {
        const int length = static_cast<int>(w.data.size());
        bool changed;
        if (isPassIndex(w.address)) {
            const std::size_t at = w.address - radio::PassIndex.address;
            changed = !std::equal(w.data.begin(), w.data.end(), keptIndex.begin() + static_cast<std::ptrdiff_t>(at));
        } else {
            changed = kept.bytes(w.address, length) != w.data;
        }
        if (changed) set.blocks.push_back(std::move(w));
    }
    return set;
}

}  // namespace tqm5

// --- the commands ---------------------------------------------------------------

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

std::string Commands::radioKey() const { return tqm5::radioKey(link_.deviceOf(doc_.port), doc_.port); }

void Commands::keepImage() {
    if (!keepImagesOnDisk) return;
    std::string why;
    // An image that does not know the radio whole is no guide to it: the
    // older one goes too.
    if (!keepRadioImage(radioKey(), doc_.radio, why)) host_.message(why, ErrorTitle);
    if (!knowsWhatWritesSend(doc_.radio)) forgetRadioImage(radioKey());
}

std::vector<WrittenBlock> Commands::writeAllBlocks(const RadioImage& target) const {
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

TransferOutcome Commands::journaled(const RadioImage& target, const std::vector<WrittenBlock>& blocks,
                                    const std::function<TransferOutcome()>& write, bool fresh) {
    if (!keepImagesOnDisk) return write();
    const std::string key = radioKey();
    std::string why;
    bool journal = !fresh || startJournal(key, target, addressesOf(blocks), why);
    if (!journal)
        host_.message("No journal of this write can be kept, so it cannot be resumed if it is cut: " + why,
                      ErrorTitle);
    Listeners<bool, uint32_t, const Bytes&>::Token noting;
    int taken = 0;
    if (journal)
        noting = blockMoved.connect([key, &journal, &taken](bool isWrite, uint32_t address, const Bytes&) {
            std::string error;
            if (!isWrite || !journal) return;
            if (noteAcknowledged(key, address, error)) ++taken;
            else journal = false;
        });
    const TransferOutcome out = write();
    noting.reset();
    // A run that ended well, or a new one the radio took nothing of, leaves
    // nothing to resume.
    if (out == TransferOutcome::Success || (fresh && taken == 0)) removeJournal(key);
    return out;
}

TransferOutcome Commands::writeChecked(const RadioImage& target, const std::vector<WrittenBlock>& blocks,
                                       const std::vector<WrittenBlock>& mustBeTarget, bool freshJournal) {
    lastMismatches.clear();
    history_.clear();  // nothing before the write comes back by undo
    chainFailed_ = chainStopped_ = false;
    chain_ = Chain::Write;
    const RadioImage kept = doc_.radio;
    const auto endWith = [this](TransferOutcome out, const std::string& text) {
        chain_ = Chain::None;
        doc_.state.quiet = QuietNormal;
        host_.message(text, ErrorTitle);
        return out;
    };

    // 1. The radio must still hold what the program last knew of it.
    std::vector<Mismatch> changed;
    keepMoved_ = false;  // what the check reads is compared, not taken
    const bool checked =
        chainStep([&] { return transfer(checkPlan(blocks, kept, target, mustBeTarget, changed)); });
    keepMoved_ = true;
    if (!checked) return chainEnded();
    if (chainFailed_) return endWith(TransferOutcome::Error, ErrorText);
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
            went = chainStep([&] { return out = transfer(plan); });
            return out;
        },
        freshJournal);
    if (!went) return chainEnded();
    chain_ = Chain::None;
    doc_.state.quiet = QuietNormal;
    if (chainFailed_) {
        host_.message(ErrorText, ErrorTitle);
        return TransferOutcome::Error;
    }
    // 3. Every block read back.
    const TransferOutcome verified = verifyWritten(blocks);
    if (verified != TransferOutcome::Success) return verified;
    host_.message(SuccessText, FinishTitle);
    return TransferOutcome::Success;
}

std::optional<TransferOutcome> Commands::offerResume() {
    if (!keepImagesOnDisk || !offerResumeFirst) return std::nullopt;
    std::string why;
    const std::optional<WriteJournal> journal = openJournal(radioKey(), why);
    if (!journal) {
        if (!why.empty()) host_.message(why, ErrorTitle);
        return std::nullopt;
    }
    std::string question = ResumeQuestion;
    question.replace(question.find("%1"), 2, std::to_string(journal->acknowledged.size()));
    question.replace(question.find("%2"), 2, std::to_string(journal->plan.size()));
    if (!ask(question)) return std::nullopt;
    return resumeWrite();
}

TransferOutcome Commands::resumeWrite() {
    if (busy() || chain_ != Chain::None) return TransferOutcome::Ignored;
    std::string why;
    const std::optional<WriteJournal> journal = openJournal(radioKey(), why);
    if (!journal) {
        host_.message(why.empty() ? NoJournalText : why, ErrorTitle);
        return TransferOutcome::Ignored;
    }
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

TransferOutcome Commands::writeImage(const RadioImage& image, bool changesOnly, bool verify) {
    if (busy() || chain_ != Chain::None) return TransferOutcome::Ignored;
    const auto index = passIndexOf(image);
    std::vector<WrittenBlock> blocks = restoreBlocks(image, index);
    if (changesOnly) {
        std::vector<std::string> unknown;
        for (const ImageRegion& r : imageRegions())
            if (r.area.address != radio::WriteProtect.address && !doc_.radio.knows(r.area)) unknown.push_back(r.name);
        if (!unknown.empty()) {
            std::string text = WriteChangesNeedsReadText;
            for (std::size_t i = 0; i < unknown.size(); ++i) text += (i ? ", " : "") + unknown[i];
            host_.message(text + ".", ErrorTitle);
            return TransferOutcome::Ignored;
        }
        const Bytes keptIndex = passIndexOf(doc_.radio);
        std::vector<WrittenBlock> changed;
        for (WrittenBlock& w : blocks) {
            const bool isIndex = w.address >= radio::PassIndex.address && w.address < radio::PassIndex.end();
            const bool same = isIndex ? std::equal(w.data.begin(), w.data.end(),
                                                   keptIndex.begin() + (w.address - radio::PassIndex.address))
                                      : doc_.radio.bytes(w.address, static_cast<int>(w.data.size())) == w.data;
            if (!same) changed.push_back(std::move(w));
        }
        if (changed.empty()) {
            host_.message(NothingChangedText, FinishTitle);
            return TransferOutcome::Success;
        }
        return writeChecked(image, changed, {}, true);
    }
    engine::Plan plan = restorePlan(blocks);
    const TransferOutcome out = journaled(image, blocks, [&] { return transfer(plan); }, true);
    if (out != TransferOutcome::Success || !verify) return out;
    return verifyWritten(blocks);
}

TransferOutcome Commands::writeChanges() {
    if (busy() || chain_ != Chain::None) return TransferOutcome::Ignored;
    if (!doc_.banks.complete()) {
        host_.message(BankWriteRefusedText, ErrorTitle);
        return TransferOutcome::Error;
    }
    if (const auto resumed = offerResume()) return *resumed;
    const ChangeSet set = changesToWrite(doc_, doc_.radio);
    if (!set.unknown.empty()) {
        std::string text = WriteChangesNeedsReadText;
        for (std::size_t i = 0; i < set.unknown.size(); ++i) text += (i ? ", " : "") + set.unknown[i];
        host_.message(text + ".", ErrorTitle);
        return TransferOutcome::Ignored;
    }
    if (!confirmWrite(true, {Banks, OneTouch, Title, Settings, Dtmf, Groups})) return TransferOutcome::Ignored;
    if (set.blocks.empty()) {
        host_.message(NothingChangedText, FinishTitle);
        return TransferOutcome::Success;
    }
    const TransferOutcome out = writeChecked(encodeDocument(doc_, doc_.radio), set.blocks, {}, true);
    if (out == TransferOutcome::Success) {
        // The radio now holds the document whole.
        doc_.origin = ChannelOrigin{true, -1};
        doc_.markSaved(1, LastRow);
        doc_.known = AreaOrigins{true, true, true, true, true, true};
    }
    return out;
}

}  // namespace tqm5
