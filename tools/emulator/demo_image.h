#pragma once
// The demo radio: a memory image with realistic contents on every page
// (channels, banks, groups, one-touch keys, title, settings, DTMF, user
// glyphs), so that a first read from the emulator shows something worth
// looking at.
//
// The image is written byte by byte from the emulator's own tables; it
// shares nothing with the program, so reading it back checks the program's
// decoders against an independent account of the radio's memory.
#include <array>
#include <cstdint>
#include <vector>

namespace tqm5::emu {

// The demo radio's 128 KiB memory.
std::vector<uint8_t> demoImage();

// What the program is expected to show after reading the demo radio, written
// out as text rather than computed, so a test can compare the two.
struct DemoRow {
    int row;            // grid row
    const char* label;  // row label with the demo's bank layout
    // Grid columns 1 to 12 joined by '|': frequency, mode, step, carrier,
    // tone mode, Tx tone, Rx tone, DCS, shift, offset, skip, name (user
    // characters as ":1~" .. ":8~").
    const char* cells;
};

struct DemoContent {
    std::vector<DemoRow> rows;               // every grid row that holds a channel, ascending
    std::array<int, 50> bankSizes;           // channels per bank 0 to 49
    std::array<std::vector<int>, 11> groups; // member banks of groups 0 to 10
    struct OneTouch {
        int bank;  // -1: the key is unused
        int channel;
    };
    std::array<OneTouch, 9> oneTouch;
    const char* title;  // as the title box shows it
    bool openingSlide;
    std::array<const char*, 10> dtmf;  // memories 0 to 9
    int dtmfWait, dtmfHead, dtmfBurst, dtmfPause, dtmfDialCh;  // list positions
    // Glyphs 0 to 7, 16 rows top first, '#' for a lit pixel.
    std::array<std::array<const char*, 16>, 8> glyphs;
};

const DemoContent& demoContent();

}  // namespace tqm5::emu
