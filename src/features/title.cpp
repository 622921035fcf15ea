#include "features/title.h"

#include <memory>

#include "channels/cp932.h"
#include "channels/name_table.h"
#include "features/dtmf.h"
#include "radio/byte_view.h"
#include "radio/memory_map.h"

namespace tqm5 {
namespace {

namespace TitleField {
enum : int {
    Slots = 0,        // 16 slots of two bytes, low byte first
    Slide = 32,
    SlideAgain = 33,
};
}  // namespace TitleField

constexpr int MaxCounted = 16;
constexpr uint8_t SlideOnByte = 0x11;
constexpr int UnmappedCode = '?';  // what the code page puts for a character it lacks

bool isUserCode(const std::u32string& t, std::size_t i) {
    return i + 2 < t.size() && t[i] == U':' && t[i + 1] >= U'1' && t[i + 1] <= U'8' && t[i + 2] == U'~';
}

}  // namespace

const std::vector<std::string> SlideEntries{"OFF", "ON"};

int countedLength(const std::string& text) {
    int n = static_cast<int>(cp932Length(text));
    const std::u32string t = toU32(text);
    for (std::size_t i = 0; i + 2 < t.size(); ++i)
        if (isUserCode(t, i)) --n;
    return n;
}

bool titleAcceptsKey(const std::string& text, char32_t key) {
    if (key == 22) return false;  // Ctrl+V: pasting would pass the filter by
    if (key == 8) return true;
    const int n = countedLength(text);
    const int code = cp932Code(key);
    if (code < 0) return false;  // the radio has no code for it
    if (code < 0x100) return n <= MaxCounted - 1;
    return n < MaxCounted - 1 && NameCharTable::instance().isAllowed(code);
}

bool titleEditAllowed(const std::string& before, const std::string& after) {
    // Taking characters out is always allowed, whatever the rest holds (a
    // title read from the radio or a file is not filtered).
    std::size_t head = 0;
    while (head < after.size() && head < before.size() && after[head] == before[head]) ++head;
    std::size_t tail = 0;
    while (tail < after.size() - head && tail < before.size() - head &&
           after[after.size() - 1 - tail] == before[before.size() - 1 - tail])
        ++tail;
    if (after.size() < before.size() && head + tail == after.size()) return true;
    if (NameCharTable::instance().filter(after) != after) return false;
    const int n = countedLength(after);
    return n <= MaxCounted || n <= countedLength(before);
}

void appendUserCharacter(OpeningTitle& t, int k) {
    if (k < 0 || k > 7 || countedLength(t.text) > MaxCounted - 1) return;
    t.text += ':';
    t.text += static_cast<char>('1' + k);
    t.text += '~';
    t.changed.notify();
}

void setTitleText(OpeningTitle& t, const std::string& text) {
    t.text = text;
    t.changed.notify();
}

void setSlide(OpeningTitle& t, int position) {
    if (position != SlideOff && position != SlideOn) return;
    t.slide = position;
    t.changed.notify();
}

void resetTitle(OpeningTitle& t, ChannelGrid& grid) {
    t.text.clear();
    t.slide = SlideOff;
    grid.setNameString(TitleNameSlot, "");
    t.changed.notify();
}

std::string titleStringFromText(const std::string& text) { return displayToName(text); }

std::vector<uint8_t> encodeTitle(const std::string& titleString, int slide) {
    std::vector<uint8_t> data(static_cast<std::size_t>(radio::Title.length), 0);
    radio::ByteView v(data);
    int slot = 0;
    for (char32_t c : toU32(titleString)) {
        if (slot == radio::TitleSlots) break;  // the radio holds sixteen characters
        int code = cp932Code(c);
        if (code < 0) code = UnmappedCode;
        v.setLe16(static_cast<std::size_t>(TitleField::Slots + 2 * slot++), static_cast<uint16_t>(code));
    }
    const uint8_t s = slide == SlideOn ? SlideOnByte : 0x00;
    v.setU8(TitleField::Slide, s);
    v.setU8(TitleField::SlideAgain, s);
    return data;
}

DecodedTitle decodeTitle(const std::vector<uint8_t>& data) {
    radio::ConstByteView v(data);
    DecodedTitle out;
    out.slide = v.highNibble(TitleField::Slide) == 1 ? SlideOn : SlideOff;
    for (int k = 0; k < radio::TitleSlots; ++k) {
        const uint16_t code = v.le16(static_cast<std::size_t>(TitleField::Slots + 2 * k));
        if (code == 0) continue;  // empty slots are skipped wherever they stand
        out.titleString += cp932Char(code);
    }
    return out;
}

void takeTitle(const RadioImage& image, OpeningTitle& t, ChannelGrid& grid) {
    const DecodedTitle decoded = decodeTitle(image.bytes(radio::Title));
    grid.setNameString(TitleNameSlot, decoded.titleString);
    t.text = nameToDisplay(decoded.titleString);
    t.slide = decoded.slide;
    t.changed.notify();
}

engine::Plan readTitlePlan(OpeningTitle& t, ChannelGrid& grid) {
    engine::Plan plan;
    plan.busyCode = BusyTitleRead;
    plan.what = "opening title";
    plan.budgets = {StepAttempts};
    plan.progressMax = 100;
    plan.image = std::make_shared<RadioImage>();
    engine::Block b;
    b.kind = engine::Block::Kind::Read;
    b.address = radio::Title.address;
    b.length = radio::MaxBlockBytes;
    b.before = {50, 50};
    plan.blocks.push_back(std::move(b));
    plan.done = {100};
    plan.completed = [&t, &grid, image = plan.image] { takeTitle(*image, t, grid); };
    return plan;
}

engine::Plan writeTitlePlan(OpeningTitle& t, ChannelGrid& grid) {
    engine::Plan plan;
    plan.fromDocument = true;
    plan.busyCode = BusyTitleWrite;
    plan.what = "opening title";
    plan.budgets = {StepAttempts};
    plan.progressMax = 100;
    engine::Block b;
    b.kind = engine::Block::Kind::Write;
    b.address = radio::Title.address;
    b.before = {50, 50};
    b.encode = [&t, &grid] {
        grid.setNameString(TitleNameSlot, titleStringFromText(t.text));
        return encodeTitle(grid.nameString(TitleNameSlot), t.slide);
    };
    b.encodeEachAttempt = true;  // Reset and the character buttons work during the write
    plan.blocks.push_back(std::move(b));
    plan.done = {100};
    return plan;
}

}  // namespace tqm5
