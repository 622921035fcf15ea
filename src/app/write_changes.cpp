#include "app/write_changes.h"

#include <algorithm>

#include "app/kept_bytes.h"
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
    // The areas as their writes send them: the radio's own bytes where the
    // document holds what they give.
    for (const WrittenBlock& w : encodeAreas(doc)) image.put(w.address, keptWhereUnchanged(doc, over, w.address, w.data));
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

ChangeSet changedBlocks(std::vector<WrittenBlock> blocks, const RadioImage& kept, const GlyphSet* glyphs) {
    ChangeSet set;
    for (const ImageRegion& r : imageRegions()) {
        if (r.area.address == radio::WriteProtect.address) continue;  // never written
        bool known = kept.knows(r.area);
        if (r.area.address == radio::Font.address && glyphs) {
            known = true;
            for (int g = 0; g < GlyphCount; ++g)
                if (glyphs->known(g) && !kept.knows(radio::glyphAddress(g), radio::GlyphBytes)) known = false;
        }
        if (!known) set.unknown.push_back(r.name);
    }
    if (!set.unknown.empty()) return set;

    const Bytes keptIndex = passIndexOf(kept);
    for (WrittenBlock& w : blocks) {
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

ChangeSet changesToWrite(const Document& doc, const RadioImage& kept) {
    const auto built = buildPassIndex(doc.grid);  // as Memory Write builds it
    return changedBlocks(restoreBlocks(encodeDocument(doc, kept), Bytes(built.begin(), built.end())), kept,
                         &doc.glyphs);
}

}  // namespace tqm5
