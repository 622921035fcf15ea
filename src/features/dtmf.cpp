#include "features/dtmf.h"

#include "base/hex.h"
#include "channels/cp932.h"
#include "engine/session.h"
#include "radio/byte_view.h"
#include "radio/memory_map.h"

namespace tqm5 {
namespace {

// Where things sit in each block.
namespace DtmfField {
enum : int {
    Wait = 0,          // block 0
    Head = 1,          // block 0
    Burst = 2,         // block 0
    Block0Memories = 3,
    DialCh = 48,       // block 2: position + 1
    Pause = 49,        // block 2
};
}  // namespace DtmfField

constexpr uint8_t EmptyPosition = 0x11;
constexpr char Characters[] = "0123456789ABCD*#-";  // codes 0x00 to 0x10

const std::vector<std::string> Timings{"20ms",  "40ms",  "60ms",  "80ms",  "100ms", "120ms", "140ms", "160ms",
                                       "180ms", "200ms", "300ms", "400ms", "500ms", "600ms", "700ms", "800ms",
                                       "900ms", "1.0s",  "1.2s",  "1.4s",  "1.6s",  "1.8s",  "2.0s"};

// The memories each block holds, and where the first of them starts.
struct BlockMemories {
    int first, count, offset;
};
BlockMemories memoriesOf(int block) {
    switch (block) {
    case 0: return {0, 3, DtmfField::Block0Memories};
    case 1: return {3, 4, 0};
    default: return {7, 3, 0};
    }
}

int codeOf(char c) {
    for (int k = 0; k < 17; ++k)
        if (Characters[k] == c) return k;
    return -1;
}

void decodeList(DtmfSettings& d, int list, uint8_t value, int position) {
    const int size = static_cast<int>(dtmfList(list).entries.size());
    d.raw[list] = value;
    d.lists[list] = position >= 0 && position < size ? position : -1;
}

uint8_t encodeList(const DtmfSettings& d, int list, int offset = 0) {
    return d.lists[list] < 0 ? d.raw[list] : static_cast<uint8_t>(d.lists[list] + offset);
}

}  // namespace

const DtmfListInfo& dtmfList(int list) {
    static const DtmfListInfo lists[DtmfLists] = {
        {"COMMON_WAIT", "Wait",
         {"50ms", "100ms", "200ms", "300ms", "400ms", "500ms", "600ms", "700ms", "800ms", "900ms", "1000ms"}, 1},
        {"COMMON_HEAD", "Head", Timings, 5},
        {"COMMON_BURST", "Burst", Timings, 5},
        {"COMMON_PAUSE", "Pause", Timings, 2},
        {"COMMON_DIAL_CH", "Ch", {"1Ch", "2Ch", "3Ch", "4Ch", "5Ch", "6Ch", "7Ch", "8Ch", "9Ch"}, 0},
    };
    return lists[list];
}

void resetDtmf(DtmfSettings& dtmf) {
    for (auto& m : dtmf.memories) m.clear();
    for (int l = 0; l < DtmfLists; ++l) dtmf.lists[l] = dtmfList(l).reset;
    dtmf.changed.notify();
}

bool isDtmfCharacter(char32_t ch) { return ch < 0x80 && ch != 0 && codeOf(static_cast<char>(ch)) >= 0; }

DtmfKey dtmfKey(const std::string& text, char32_t key) {
    if (cp932Length(text) > DtmfSettings::MemoryChars) return DtmfKey::ClearThenAccept;
    const bool backspace = key == 8;
    if (toU32(text).size() < DtmfSettings::MemoryChars)
        return backspace || isDtmfCharacter(key) ? DtmfKey::Accept : DtmfKey::Refuse;
    return backspace ? DtmfKey::Accept : DtmfKey::Refuse;
}

std::string cleanDtmf(const std::string& text) {
    std::string out;
    for (char32_t c : toU32(text)) {
        if (out.size() == DtmfSettings::MemoryChars) break;
        if (isDtmfCharacter(c)) out += static_cast<char>(c);
    }
    return out;
}

uint32_t dtmfBlockAddress(int block) {
    static constexpr uint32_t offsets[DtmfBlocks] = {0x00, 0x33, 0x73};
    return radio::Dtmf.address + offsets[block];
}

int dtmfBlockLength(int block) {
    static constexpr int lengths[DtmfBlocks] = {51, 64, 50};
    return lengths[block];
}

std::vector<uint8_t> encodeDtmfBlock(int block, const DtmfSettings& d) {
    std::vector<uint8_t> data(static_cast<std::size_t>(dtmfBlockLength(block)), 0);
    radio::ByteView v(data);
    if (block == 0) {
        v.setU8(DtmfField::Wait, encodeList(d, DtmfWait));
        v.setU8(DtmfField::Head, encodeList(d, DtmfHead));
        v.setU8(DtmfField::Burst, encodeList(d, DtmfBurst));
    }
    const BlockMemories mem = memoriesOf(block);
    for (int m = 0; m < mem.count; ++m) {
        const std::size_t at = static_cast<std::size_t>(mem.offset + DtmfSettings::MemoryChars * m);
        v.fill(at, DtmfSettings::MemoryChars, EmptyPosition);
        // Only DTMF characters reach the radio, and never more than a slot holds.
        const std::string text = cleanDtmf(d.memories[static_cast<std::size_t>(mem.first + m)]);
        for (std::size_t k = 0; k < text.size(); ++k) v.setU8(at + k, static_cast<uint8_t>(codeOf(text[k])));
    }
    if (block == 2) {
        v.setU8(DtmfField::DialCh, encodeList(d, DtmfDialCh, 1));
        v.setU8(DtmfField::Pause, encodeList(d, DtmfPause));
    }
    return data;
}

void decodeDtmfBlock(int block, const std::vector<uint8_t>& data, DtmfSettings& into) {
    radio::ConstByteView v(data);
    if (block == 0) {
        decodeList(into, DtmfWait, v.u8(DtmfField::Wait), v.u8(DtmfField::Wait));
        decodeList(into, DtmfHead, v.u8(DtmfField::Head), v.u8(DtmfField::Head));
        decodeList(into, DtmfBurst, v.u8(DtmfField::Burst), v.u8(DtmfField::Burst));
    }
    const BlockMemories mem = memoriesOf(block);
    for (int m = 0; m < mem.count; ++m) {
        const std::size_t at = static_cast<std::size_t>(mem.offset + DtmfSettings::MemoryChars * m);
        std::string text;
        for (std::size_t k = 0; k < DtmfSettings::MemoryChars; ++k) {
            const uint8_t code = v.u8(at + k);
            if (code > 0x10) break;  // the memory ends at the first non-character
            text += Characters[code];
        }
        into.memories[static_cast<std::size_t>(mem.first + m)] = text;
    }
    if (block == 2) {
        const uint8_t dial = v.u8(DtmfField::DialCh);
        decodeList(into, DtmfDialCh, dial, dial <= 1 ? 0 : dial - 1);
        decodeList(into, DtmfPause, v.u8(DtmfField::Pause), v.u8(DtmfField::Pause));
    }
}

std::vector<std::string> dtmfNotes(const DtmfSettings& d) {
    std::vector<std::string> notes;
    for (int l = 0; l < DtmfLists; ++l)
        if (d.lists[l] < 0) notes.push_back(std::string("DTMF ") + dtmfList(l).caption + ": 0x" + hexText(d.raw[l], 2));
    return notes;
}

void copyDtmfValues(DtmfSettings& to, const DtmfSettings& from) {
    to.memories = from.memories;
    to.lists = from.lists;
    to.raw = from.raw;
}

void applyDtmf(DtmfSettings& to, const DtmfSettings& from) {
    copyDtmfValues(to, from);
    to.changed.notify();
}

void takeDtmf(const RadioImage& image, DtmfSettings& dtmf) {
    DtmfSettings read;
    copyDtmfValues(read, dtmf);
    for (int n = 0; n < DtmfBlocks; ++n) decodeDtmfBlock(n, image.bytes(dtmfBlockAddress(n), dtmfBlockLength(n)), read);
    applyDtmf(dtmf, read);
}

void appendDtmfReads(engine::Plan& plan, const std::array<engine::Progress, 3>& before) {
    for (int n = 0; n < DtmfBlocks; ++n) {
        engine::Block b;
        b.kind = engine::Block::Kind::Read;
        b.address = dtmfBlockAddress(n);
        b.length = radio::MaxBlockBytes;  // the radio always answers with 64 bytes
        b.budget = static_cast<int>(plan.budgets.size());
        plan.budgets.push_back(StepAttempts);
        b.before = before[static_cast<std::size_t>(n)];
        plan.blocks.push_back(std::move(b));
    }
}

void appendDtmfWrites(engine::Plan& plan, const DtmfSettings& dtmf, const std::array<engine::Progress, 3>& before) {
    for (int n = 0; n < DtmfBlocks; ++n) {
        engine::Block b;
        b.kind = engine::Block::Kind::Write;
        b.address = dtmfBlockAddress(n);
        b.budget = static_cast<int>(plan.budgets.size());
        plan.budgets.push_back(StepAttempts);
        b.before = before[static_cast<std::size_t>(n)];
        b.encode = [&dtmf, n] { return encodeDtmfBlock(n, dtmf); };
        plan.blocks.push_back(std::move(b));
    }
}

engine::Plan dtmfReadPlan(DtmfSettings& dtmf) {
    engine::Plan plan;
    plan.busyCode = BusyDtmfRead;
    plan.what = "DTMF memories";
    plan.progressMax = 100;
    plan.image = std::make_shared<RadioImage>();
    appendDtmfReads(plan, {{{30, 30}, {60, 60}, {90, 90}}});
    plan.done = {100};
    plan.completed = [&dtmf, image = plan.image] { takeDtmf(*image, dtmf); };
    return plan;
}

engine::Plan dtmfWritePlan(DtmfSettings& dtmf) {
    engine::Plan plan;
    plan.fromDocument = true;
    plan.busyCode = BusyDtmfWrite;
    plan.what = "DTMF memories";
    plan.progressMax = 100;
    appendDtmfWrites(plan, dtmf, {{{30, 30}, {60, 60}, {90, 90}}});
    plan.done = {100};
    return plan;
}

}  // namespace tqm5
