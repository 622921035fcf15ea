#include "features/settings.h"

#include <algorithm>
#include <memory>
#include <tuple>

#include "base/hex.h"
#include "radio/byte_view.h"
#include "radio/memory_map.h"

namespace tqm5 {
namespace {

using E = SettingEncoding;

const SetModeItem& item(int i) { return setModeCatalogue()[static_cast<std::size_t>(i)]; }
int itemCount() { return static_cast<int>(setModeCatalogue().size()); }

// Bytes the write always sends with the same value.
struct Constant {
    int byte;
    uint8_t value;
};
constexpr Constant Constants[] = {{0, 0xA5}, {9, 0x05}, {50, 0x01}, {51, 0x0C}, {55, 0x02}, {56, 0x02}, {81, 0x06}};
// Bytes no item shows, written back as last read.
constexpr int KeptBytes[] = {1, 52, 71, 92, 143, 144};

constexpr uint8_t ChDisplayOn = 0x0D;
constexpr uint8_t ReceiverRangeWritten = 0x01;

// Dial Ring positions 0 to 3 as (byte 93, byte 95).
constexpr std::array<std::array<uint8_t, 2>, 4> DialRingPairs{{{0, 0}, {0, 1}, {1, 1}, {1, 0}}};

std::optional<int> within(const SetModeItem& it, int position) {
    if (position < 0 || position >= it.size()) return std::nullopt;
    return position;
}

std::string hexByte(uint8_t v) {
    return "0x" + hexText(v, 2);
}

void setPosition(SetModeSettings& s, const std::string& control, int position) {
    s.set(setModeItemIndex(control), position);
}

void setRange(SetModeSettings& s, const std::string& array, int first, int last, int position) {
    for (int i = first; i <= last; ++i) setPosition(s, array + "[" + std::to_string(i) + "]", position);
}

}  // namespace

SetModeSettings::SetModeSettings() : positions(setModeCatalogue().size(), 0), held(setModeCatalogue().size(), false) {}

void applyStartupPositions(SetModeSettings& s) {
    for (int i = 0; i < itemCount(); ++i) s.set(i, item(i).startup);
    s.scanTimerChecked = false;
    s.scanTime = "1";
    // Labelled in Japanese first; the Language item's start-up entry
    // ("English") then relabels the pages.
    s.labelled = English;
    ApplySetModeLanguage(s, Japanese);
    ApplySetModeLanguage(s, s.position("Set_Mode_Display[0]"));
    s.changed.notify();
}

bool ApplySetModeLanguage(SetModeSettings& s, int language) {
    if (language != Japanese && language != English) return false;
    if (language == s.labelled) return false;
    s.labelled = language;
    ++s.relabels;
    s.relabelled.notify();
    return true;
}

void selectSetModeItem(SetModeSettings& s, int i, int position) {
    if (i < 0 || i >= itemCount() || !within(item(i), position)) return;
    s.set(i, position);
    if (item(i).encoding == E::Language) ApplySetModeLanguage(s, position);
    s.changed.notify();
}

void setScanTimer(SetModeSettings& s, bool checked, const std::string& text) {
    s.scanTimerChecked = checked;
    s.scanTime = text;
    s.changed.notify();
}

void resetSetModePage(SetModeSettings& s) {
    for (const char* control : {"Combo2", "Set_Mode_Preset", "Set_Mode_Mem[0]"}) setPosition(s, control, 0);
    for (auto [array, first, last] : std::initializer_list<std::tuple<const char*, int, int>>{
             {"Set_Mode_Display", 1, 4}, {"Set_Mode_Power", 0, 2}, {"Set_Mode_Send", 0, 5},
             {"Set_Mode_Toutyou", 0, 1}, {"Set_Mode_Recv", 0, 5}, {"Set_Mode_Scan", 0, 7},
             {"Set_Mode_Repeater", 0, 3}, {"Set_Mode_Key", 0, 11}, {"Set_Mode_Sound", 0, 2}})
        setRange(s, array, first, last, 0);
    setPosition(s, "Set_Mode_Key[7]", 1);
    s.scanTime = "1";
    s.scanTimerChecked = false;
    for (auto [control, position] : std::initializer_list<std::pair<const char*, int>>{
             {"Set_Mode_Display[1]", 1}, {"Set_Mode_Display[3]", 7}, {"Set_Mode_Display[8]", 1},
             {"Set_Mode_Power[1]", 3}, {"Set_Mode_Sound[0]", 2}, {"Set_Mode_Repeater[0]", 1},
             {"Set_Mode_Recv[0]", 0}, {"Set_Mode_Preset", 1}, {"Set_Mode_Scan[1]", 1},
             {"Set_Mode_Toutyou[1]", 2}, {"Set_Mode_Key[0]", 5}, {"Set_Mode_Key[7]", 1},
             {"Set_Mode_Key[12]", 0}})
        setPosition(s, control, position);
    s.changed.notify();
}

void resetCommonSetPage(SetModeSettings& s) {
    setRange(s, "Set_Mode_Display", 5, 15, 0);
    setRange(s, "Set_Mode_Send", 6, 12, 0);
    setRange(s, "Set_Mode_Recv", 6, 7, 0);
    setPosition(s, "Set_Mode_Key[7]", 1);
    setRange(s, "Set_Mode_Sound", 3, 5, 0);
    setPosition(s, "Set_Mode_Preset", 0);
    setPosition(s, "Set_Mode_Mem[0]", 0);
    s.scanTime = "1";
    s.scanTimerChecked = false;
    s.changed.notify();
}

std::optional<int> decodeSettingItem(const SetModeItem& it, const SettingsImage& image) {
    if (it.imageByte < 0) return it.encoding == E::ReadAsFirst ? std::optional<int>(0) : std::nullopt;
    radio::ConstByteView v(image);
    const uint8_t b = v.u8(static_cast<std::size_t>(it.imageByte));
    switch (it.encoding) {
    case E::PosPlus1:
    case E::KeptPosPlus1: return within(it, b <= 1 ? 0 : b - 1);
    case E::PosPlus3: return within(it, b < 3 ? b : b - 3);
    case E::Code: {
        for (int p = 0; p < KeyFunctionCount; ++p)
            if (KeyFunctionCodes[static_cast<std::size_t>(p)].code == b) return p;
        return std::nullopt;
    }
    case E::DialRing: {
        const bool first = b != 0, second = v.u8(SettingsByte::DialRingSecond) != 0;
        return !first ? (second ? 1 : 0) : (second ? 2 : 3);
    }
    case E::ChDisplay: return v.u8(SettingsByte::ChDisplaySecond) != 0 ? 1 : 0;
    case E::Language: return b != 0 ? Japanese : English;
    default: return within(it, b);
    }
}

std::vector<std::string> applySettingsImage(SetModeSettings& s, const SettingsImage& image) {
    std::vector<std::string> notes;
    int language = -1;
    for (int i = 0; i < itemCount(); ++i) {
        const SetModeItem& it = item(i);
        if (it.encoding == E::None) continue;
        if (it.encoding == E::WriteProtect) {
            s.set(i, 0);  // the write-protect read sets it
            continue;
        }
        const std::optional<int> p = decodeSettingItem(it, image);
        if (p) s.set(i, *p);
        else s.held[static_cast<std::size_t>(i)] = true;
        if (!p) {
            const std::string caption = it.english.empty() ? "CH scope Display (2)" : it.english;
            notes.push_back(caption + ": " + hexByte(image[static_cast<std::size_t>(it.imageByte)]));
        }
        if (it.encoding == E::Language) language = *p;
    }
    if (language >= 0) ApplySetModeLanguage(s, language);
    s.changed.notify();
    return notes;
}

std::optional<int> decodeWriteProtect(uint8_t byte) {
    const int position = byte & 0x0F;  // the low digit of the byte
    if (position > 2) return std::nullopt;
    return position;
}

SettingsImage encodeSettingsImage(const SetModeSettings& s, const SettingsImage& lastRead) {
    SettingsImage out{};
    radio::ByteView v(out);
    for (const Constant& c : Constants) v.setU8(static_cast<std::size_t>(c.byte), c.value);
    for (int k : KeptBytes) v.setU8(static_cast<std::size_t>(k), lastRead[static_cast<std::size_t>(k)]);
    for (int i = 0; i < itemCount(); ++i) {
        const SetModeItem& it = item(i);
        if (it.imageByte < 0) continue;
        const auto at = static_cast<std::size_t>(it.imageByte);
        const int p = s.shown(i);
        switch (it.encoding) {
        case E::Kept:
        case E::KeptPosPlus1: v.setU8(at, lastRead[at]); continue;
        case E::ShownOnly01: v.setU8(at, ReceiverRangeWritten); continue;
        default: break;
        }
        if (p < 0) {  // a value the list cannot show goes back as it was read
            v.setU8(at, lastRead[at]);
            if (it.encoding == E::DialRing) v.setU8(SettingsByte::DialRingSecond, lastRead[SettingsByte::DialRingSecond]);
            if (it.encoding == E::ChDisplay) v.setU8(SettingsByte::ChDisplaySecond, lastRead[SettingsByte::ChDisplaySecond]);
            continue;
        }
        switch (it.encoding) {
        case E::PosPlus1: v.setU8(at, static_cast<uint8_t>(p + 1)); break;
        case E::PosPlus3: v.setU8(at, static_cast<uint8_t>(p + 3)); break;
        case E::Code: v.setU8(at, KeyFunctionCodes[static_cast<std::size_t>(p)].code); break;
        case E::DialRing:
            v.setU8(at, DialRingPairs[static_cast<std::size_t>(p)][0]);
            v.setU8(SettingsByte::DialRingSecond, DialRingPairs[static_cast<std::size_t>(p)][1]);
            break;
        case E::ChDisplay:
            v.setU8(at, p ? ChDisplayOn : 0);
            v.setU8(SettingsByte::ChDisplaySecond, p ? ChDisplayOn : 0);
            break;
        case E::Language: v.setU8(at, p == Japanese ? 0x01 : 0x00); break;
        default: v.setU8(at, static_cast<uint8_t>(p)); break;
        }
    }
    return out;
}

uint32_t settingsBlockAddress(int block) {
    static constexpr uint32_t addresses[3] = {radio::SettingsBlock1.address, radio::SettingsBlock2.address,
                                              radio::SettingsBlock3.address};
    return addresses[block];
}

int settingsBlockLength(int block) {
    static constexpr int lengths[3] = {radio::SettingsBlock1.length, radio::SettingsBlock2.length,
                                       radio::SettingsBlock3.length};
    return lengths[block];
}

std::vector<uint8_t> encodeSettingsBlock(int block, const SetModeSettings& s, const SettingsImage& lastRead) {
    const SettingsImage all = encodeSettingsImage(s, lastRead);
    const auto first = all.begin() + static_cast<std::ptrdiff_t>(settingsBlockAddress(block) - radio::SettingsBlock1.address);
    return {first, first + settingsBlockLength(block)};
}

namespace {

engine::Block stepBlock(engine::Plan& plan, engine::Block::Kind kind, uint32_t address, engine::Progress before) {
    engine::Block b;
    b.kind = kind;
    b.address = address;
    b.length = radio::MaxBlockBytes;  // a read always answers with 64 bytes
    b.budget = static_cast<int>(plan.budgets.size());
    plan.budgets.push_back(StepAttempts);
    b.before = before;
    return b;
}

// The three settings blocks, into the plan's image.
void appendSettingsReads(engine::Plan& plan, const std::array<engine::Progress, 3>& before) {
    for (int n = 0; n < 3; ++n)
        plan.blocks.push_back(
            stepBlock(plan, engine::Block::Kind::Read, settingsBlockAddress(n), before[static_cast<std::size_t>(n)]));
}

}  // namespace

SettingsImage settingsImageOf(const RadioImage& image) {
    SettingsImage out{};
    for (int n = 0; n < 3; ++n) {
        const Bytes block = image.bytes(settingsBlockAddress(n), settingsBlockLength(n));
        std::copy(block.begin(), block.end(),
                  out.begin() + static_cast<std::ptrdiff_t>(settingsBlockAddress(n) - radio::SettingsBlock1.address));
    }
    return out;
}

void takeSettings(const RadioImage& image, SetModeSettings& s, DtmfSettings& dtmf) {
    s.image = settingsImageOf(image);
    s.imageFromRadio = true;
    std::vector<std::string> notes = applySettingsImage(s, s.image);
    const int mem = setModeItemIndex("Set_Mode_Mem[0]");
    const uint8_t writeProtect = image.bytes(radio::WriteProtect)[0];
    const std::optional<int> wp = decodeWriteProtect(writeProtect);
    if (wp) s.set(mem, *wp);
    else s.held[static_cast<std::size_t>(mem)] = true;
    if (!wp) notes.push_back("Write Protect: " + hexByte(writeProtect));
    takeDtmf(image, dtmf);
    for (std::string& n : dtmfNotes(dtmf)) notes.push_back(std::move(n));
    s.readNotes = std::move(notes);
    s.changed.notify();
}

engine::Plan readSettingsPlan(SetModeSettings& s, DtmfSettings& dtmf) {
    // Everything goes into the plan's image first; the controls change only
    // once every block arrived.
    engine::Plan plan;
    plan.busyCode = BusySettingsRead;
    plan.what = "settings and DTMF";
    plan.progressMax = 100;
    plan.image = std::make_shared<RadioImage>();
    appendSettingsReads(plan, {{{10, 10}, {20, 20}, {35, 35}}});
    plan.blocks.push_back(stepBlock(plan, engine::Block::Kind::Read, radio::WriteProtect.address, {50, 50}));
    appendDtmfReads(plan, {{{55, 55}, {65, 65}, {80, 80}}});
    plan.done = {100};
    plan.completed = [&s, &dtmf, image = plan.image] { takeSettings(*image, s, dtmf); };
    return plan;
}

engine::Plan writeSettingsPlan(SetModeSettings& s, DtmfSettings& dtmf) {
    engine::Plan plan;
    plan.fromDocument = true;
    plan.busyCode = BusySettingsWrite;
    plan.what = "settings and DTMF";
    plan.progressMax = 100;
    // The radio's current bytes first, so that every kept byte is its own.
    plan.image = std::make_shared<RadioImage>();
    appendSettingsReads(plan, {{{10, 10}, {20, 20}, {35, 35}}});
    plan.blocks.back().accepted = [&s, image = plan.image] {
        s.image = settingsImageOf(*image);
        s.imageFromRadio = true;
    };
    const std::array<engine::Progress, 3> writes{{{50, 50}, {65, 65}, {80, 80}}};
    for (int n = 0; n < 3; ++n) {
        engine::Block b = stepBlock(plan, engine::Block::Kind::Write, settingsBlockAddress(n), writes[static_cast<std::size_t>(n)]);
        b.encode = [&s, n] { return encodeSettingsBlock(n, s, s.image); };
        plan.blocks.push_back(std::move(b));
    }
    appendDtmfWrites(plan, dtmf, {{{-1, -1}, {85, 85}, {90, 90}}});
    plan.done = {100};
    return plan;
}

}  // namespace tqm5
