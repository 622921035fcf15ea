#include "app/write_changes.h"

#include <algorithm>

#include "app/commands.h"
#include "channels/pass_index.h"
#include "channels/record_codec.h"
#include "engine/session.h"
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
    for (int b = 0; b < BankBlocks; ++b) image.put(bankBlockAddress(b), encodeBankBlock(doc.banks, b));
    image.put(radio::OneTouch.address, doc.oneTouch.encode());
    image.put(radio::Title.address, encodeTitle(titleStringFromText(doc.title.text), doc.title.slide));
    for (int n = 0; n < 3; ++n)
        image.put(settingsBlockAddress(n), encodeSettingsBlock(n, doc.setMode, doc.setMode.image));
    for (int n = 0; n < DtmfBlocks; ++n) image.put(dtmfBlockAddress(n), encodeDtmfBlock(n, doc.dtmf));
    for (int area = 0; area < GroupAreas; ++area)
        image.put(groupAreaAddress(area), encodeGroupArea(doc.groups.member, area));
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

// --- the command ---------------------------------------------------------------

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

namespace {

// Reads back the blocks a changes-only write is about to overwrite, and the
// first settings block (another radio on the cable differs there first),
// comparing each with what the radio is known to hold.
engine::Plan checkPlan(const std::vector<WrittenBlock>& blocks, const RadioImage& kept,
                       std::vector<Mismatch>& mismatches) {
    engine::Plan plan;
    plan.busyCode = BusyWriteAll;
    plan.what = "the radio before writing";
    plan.budgets = {ReadFailureBudget};
    std::vector<uint32_t> addresses{radio::SettingsBlock1.address};
    for (const WrittenBlock& w : blocks)
        if (w.address != radio::SettingsBlock1.address) addresses.push_back(w.address);
    const int count = static_cast<int>(addresses.size());
    plan.progressMax = 100;
    for (int i = 0; i < count; ++i) {
        engine::Block b;
        b.kind = engine::Block::Kind::Read;
        b.address = addresses[std::size_t(i)];
        b.length = radio::MaxBlockBytes;
        b.after = {(i + 1) * 30 / count, (i + 1) * 30 / count};
        b.decode = [&mismatches, &kept, address = b.address](const Bytes& data) {
            if (auto m = differsFromKept(address, data, kept, radio::MaxBlockBytes)) mismatches.push_back(*m);
            return true;
        };
        plan.blocks.push_back(std::move(b));
    }
    return plan;
}

}  // namespace

TransferOutcome Commands::writeChanges() {
    if (busy() || chain_ != Chain::None) return TransferOutcome::Ignored;
    if (!doc_.banks.complete()) {
        host_.message(BankWriteRefusedText, ErrorTitle);
        return TransferOutcome::Error;
    }
    const ChangeSet set = changesToWrite(doc_, doc_.radio);
    if (!set.unknown.empty()) {
        std::string text = WriteChangesNeedsReadText;
        for (std::size_t i = 0; i < set.unknown.size(); ++i) text += (i ? ", " : "") + set.unknown[i];
        host_.message(text + ".", ErrorTitle);
        return TransferOutcome::Error;
    }
    if (!confirmWrite(true, {Banks, OneTouch, Title, Settings, Dtmf, Groups})) return TransferOutcome::Ignored;
    if (set.blocks.empty()) {
        host_.message(NothingChangedText, FinishTitle);
        return TransferOutcome::Success;
    }
    lastMismatches.clear();
    history_.clear();  // nothing before the write comes back by undo
    chainFailed_ = chainStopped_ = false;
    chain_ = Chain::Write;
    const RadioImage kept = doc_.radio;

    // 1. The radio must still hold what the program last knew of it.
    std::vector<Mismatch> changed;
    keepMoved_ = false;  // what the check reads is compared, not taken
    const bool checked = chainStep([&] { return transfer(checkPlan(set.blocks, kept, changed)); });
    keepMoved_ = true;
    if (!checked) return chainEnded();
    if (chainFailed_) {
        chain_ = Chain::None;
        doc_.state.quiet = QuietNormal;
        host_.message(ErrorText, ErrorTitle);
        return TransferOutcome::Error;
    }
    if (!changed.empty()) {
        chain_ = Chain::None;
        doc_.state.quiet = QuietNormal;
        lastMismatches = changed;
        host_.message(RadioChangedText + describe(changed.front(), doc_.grid) + RadioChangedAdvice, ErrorTitle);
        return TransferOutcome::Error;
    }

    // 2. The changed blocks, then 3. every one of them read back.
    engine::Plan plan = restorePlan(set.blocks);
    plan.what = "changes";
    const int count = static_cast<int>(plan.blocks.size());
    for (int i = 0; i < count; ++i) {
        const int at = 30 + (i + 1) * 40 / count;
        plan.blocks[std::size_t(i)].after = {at, at};
    }
    if (!chainStep([&] { return transfer(plan); })) return chainEnded();
    chain_ = Chain::None;
    doc_.state.quiet = QuietNormal;
    if (chainFailed_) {
        host_.message(ErrorText, ErrorTitle);
        return TransferOutcome::Error;
    }
    const TransferOutcome verified = verifyWritten(set.blocks);
    if (verified != TransferOutcome::Success) return verified;
    // The radio now holds the document whole.
    doc_.origin = ChannelOrigin{true, -1};
    doc_.markSaved(1, LastRow);
    doc_.known = AreaOrigins{true, true, true, true, true, true};
    host_.message(SuccessText, FinishTitle);
    return TransferOutcome::Success;
}

}  // namespace tqm5
