#pragma once
// Where everything lives in the radio's memory, as sent in commands (five
// hexadecimal digits). Every area the program reads or writes is named here
// and nowhere else.
#include <cstdint>

namespace tqm5::radio {

struct Area {
    uint32_t address;
    int length;  // bytes
    constexpr uint32_t end() const { return address + static_cast<uint32_t>(length); }  // one past
};

// Set Mode settings: three blocks, 64 + 64 + 18 bytes.
constexpr Area SettingsBlock1{0x00000, 64};
constexpr Area SettingsBlock2{0x00040, 64};
constexpr Area SettingsBlock3{0x00080, 18};

// Bank-link groups: records 0 to 5, then 6 to 10, eight bytes each.
constexpr int GroupRecordBytes = 8;
constexpr Area GroupsFirst{0x00100, 48};
constexpr Area GroupsSecond{0x00130, 40};

// One-touch memories: nine keys of three bytes.
constexpr int OneTouchKeys = 9;
constexpr int OneTouchKeyBytes = 3;
constexpr Area OneTouch{0x00180, OneTouchKeys * OneTouchKeyBytes};

// Opening title: 16 two-byte character slots, then two opening-slide bytes.
constexpr int TitleSlots = 16;
constexpr Area Title{0x001A0, 34};

// Bank layout: bank sizes two bytes each, then fixed trailing words.
constexpr Area BankLayout{0x00200, 128};

// Pass-channel index: 101 entries of seven bytes; written, never read.
constexpr int PassIndexEntries = 101;
constexpr int PassIndexEntryBytes = 7;
constexpr Area PassIndex{0x00C00, PassIndexEntries * PassIndexEntryBytes};

// User font: eight glyphs of 32 bytes.
constexpr int Glyphs = 8;
constexpr int GlyphBytes = 32;
constexpr Area Font{0x01000, Glyphs * GlyphBytes};
constexpr uint32_t glyphAddress(int g) { return Font.address + static_cast<uint32_t>(GlyphBytes * g); }

// DTMF auto-dialer timing and memories.
constexpr Area Dtmf{0x01100, 165};

// Channel records: 1623 of 64 bytes, record n at ChannelRecords + 64 (n - 1).
constexpr int ChannelRecordCount = 1623;
constexpr int ChannelRecordBytes = 64;
constexpr Area ChannelRecords{0x01200, ChannelRecordCount * ChannelRecordBytes};
constexpr uint32_t channelRecordAddress(int record) {
    return ChannelRecords.address + static_cast<uint32_t>(ChannelRecordBytes * (record - 1));
}

// Write protect: read by the settings transfer, never written.
constexpr Area WriteProtect{0x1FE01, 1};

// The longest block one exchange moves.
constexpr int MaxBlockBytes = 64;

static_assert(GroupsFirst.end() == GroupsSecond.address);
static_assert(ChannelRecords.end() == 0x1A7C0);
static_assert(PassIndex.end() == 0x00EC3);

}  // namespace tqm5::radio
