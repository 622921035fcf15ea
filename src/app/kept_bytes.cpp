#include "app/kept_bytes.h"

#include <memory>
#include <optional>

#include "features/bank_layout.h"
#include "features/dtmf.h"
#include "features/groups.h"
#include "features/one_touch.h"
#include "features/settings.h"
#include "features/title.h"
#include "radio/memory_map.h"

namespace tqm5 {
namespace {

// What a write would send for the block at `address` had the document just
// read `held` there; none for a block this does not cover (channel records
// and settings keep their bytes by themselves; the pass-channel index is
// derived from the channels).
std::optional<Bytes> reencoded(const Document& doc, uint32_t address, const Bytes& held) {
    if (address == radio::Title.address) {
        const DecodedTitle t = decodeTitle(held);
        return encodeTitle(titleStringFromText(nameToDisplay(t.titleString)), t.slide);
    }
    if (address == radio::OneTouch.address) {
        OneTouchMemories keys = doc.oneTouch;  // resolved against the document's layout
        if (!keys.decode(held)) return std::nullopt;
        return keys.encode();
    }
    for (int b = 0; b < BankBlocks; ++b) {
        if (address != bankBlockAddress(b)) continue;
        std::array<int, BankLayout::Banks> sizes = doc.banks.size;
        if (!decodeBankBlock(held, b, sizes)) return std::nullopt;
        BankLayout layout;
        layout.size = sizes;
        return encodeBankBlock(layout, b);
    }
    for (int area = 0; area < GroupAreas; ++area) {
        if (address != groupAreaAddress(area)) continue;
        GroupFlags flags = doc.groups.member;
        if (!decodeGroupArea(held, area, flags)) return std::nullopt;
        return encodeGroupArea(flags, area);
    }
    for (int n = 0; n < DtmfBlocks; ++n) {
        if (address != dtmfBlockAddress(n)) continue;
        DtmfSettings dtmf;
        copyDtmfValues(dtmf, doc.dtmf);
        Bytes whole = held;
        whole.resize(radio::MaxBlockBytes, 0);  // as a read answers
        decodeDtmfBlock(n, whole, dtmf);
        return encodeDtmfBlock(n, dtmf);
    }
    return std::nullopt;
}

}  // namespace

Bytes keptWhereUnchanged(const Document& doc, const RadioImage& radio, uint32_t address, const Bytes& encoded) {
    const int length = static_cast<int>(encoded.size());
    for (const RadioImage* source : {&radio, &doc.held}) {
        if (length == 0 || !source->knows(address, length)) continue;
        Bytes held = source->bytes(address, length);
        if (held == encoded) return encoded;
        const std::optional<Bytes> same = reencoded(doc, address, held);
        if (same && *same == encoded) return held;
    }
    return encoded;
}

std::vector<WrittenBlock> encodeAreas(const Document& doc) {
    std::vector<WrittenBlock> out;
    for (int b = 0; b < BankBlocks; ++b) out.push_back({bankBlockAddress(b), encodeBankBlock(doc.banks, b)});
    out.push_back({radio::OneTouch.address, doc.oneTouch.encode()});
    out.push_back({radio::Title.address, encodeTitle(titleStringFromText(doc.title.text), doc.title.slide)});
    for (int n = 0; n < 3; ++n) out.push_back({settingsBlockAddress(n), encodeSettingsBlock(n, doc.setMode, doc.setMode.image)});
    for (int n = 0; n < DtmfBlocks; ++n) out.push_back({dtmfBlockAddress(n), encodeDtmfBlock(n, doc.dtmf)});
    for (int area = 0; area < GroupAreas; ++area)
        out.push_back({groupAreaAddress(area), encodeGroupArea(doc.groups.member, area)});
    return out;
}

RadioImage carriedBytes(const Document& doc) {
    RadioImage carried;
    for (const WrittenBlock& w : encodeAreas(doc))
        if (Bytes sent = keptWhereUnchanged(doc, doc.radio, w.address, w.data); sent != w.data) carried.put(w.address, sent);
    return carried;
}

engine::Plan keepingUnchanged(const Document& doc, engine::Plan plan) {
    const auto radio = std::make_shared<const RadioImage>(doc.radio);
    for (engine::Block& b : plan.blocks) {
        if (b.kind != engine::Block::Kind::Write || !b.encode) continue;
        b.encode = [&doc, radio, encode = std::move(b.encode), address = b.address] {
            return keptWhereUnchanged(doc, *radio, address, encode());
        };
    }
    return plan;
}

}  // namespace tqm5
