#pragma once
// A radio as its owner might leave it, drawn from a seed: the demo radio
// with channels added, changed and wiped, another bank layout, keys (one on
// a bank the layout leaves empty), settings and DTMF values (one list value
// no entry stands for, one memory whose bytes its text cannot give back),
// title, opening slide, groups and glyphs.
//
// Written byte by byte from the tables below, as the emulator's demo image
// is, and sharing nothing with the program's codecs or value tables: a
// round trip through the program then shows the program loses nothing, not
// merely that its encoder undoes its decoder. Every record is one the radio
// itself could hold. The pass channels and bug-detector presets stay as the
// demo has them, so the pass-channel index the program rebuilds matches.
#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "emulator/demo_image.h"

namespace tqm5::test {

class RandomRadio {
public:
    explicit RandomRadio(uint64_t seed) : rng_(seed), m_(emu::demoImage()) {
        channels();
        banks();
        oneTouch();
        settings();
        dtmf();
        title();
        groups();
        glyphs();
    }
    const std::vector<uint8_t>& memory() const { return m_; }
    std::array<int, 50> bankSizes;
    int emptyBankKey = -1;  // the key (0 to 8) set on a bank of no channels

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    template <class T, std::size_t N>
    T pickOf(const T (&values)[N]) { return values[pick(0, int(N) - 1)]; }
    void put8(uint32_t at, int v) { m_.at(at) = static_cast<uint8_t>(v); }
    void put16(uint32_t at, int v) {
        put8(at, v & 0xFF);
        put8(at + 1, (v >> 8) & 0xFF);
    }
    void put32(uint32_t at, uint32_t v) {
        put16(at, int(v & 0xFFFF));
        put16(at + 2, int(v >> 16));
    }

    // Character codes of names and the title, one two-byte slot each: ASCII,
    // half-width kana, kanji, hiragana and the eight user characters.
    uint16_t character() {
        static const uint16_t kanji[] = {0x938C, 0x8B9E, 0x89A1, 0x956C, 0x91E5, 0x8DE3, 0x82B3, 0x82AD, 0x82E7};
        switch (pick(0, 4)) {
        case 0: return static_cast<uint16_t>(pick(0, 1) ? pick('A', 'Z') : pick('0', '9'));
        case 1: return static_cast<uint16_t>(pick(0xB1, 0xDD));
        case 2: return pickOf(kanji);
        case 3: return static_cast<uint16_t>(0x8740 + pick(0, 7));
        default: return static_cast<uint16_t>(pick('a', 'z'));
        }
    }
    void text(uint32_t at, int length) {
        for (int i = 0; i < 16; ++i) put16(at + 2 * uint32_t(i), i < length ? character() : 0);
    }

    // Channel records at 0x1200, 64 bytes each. Bands as the radio draws
    // them: transmit bands give byte 0 the value 0x02, the rest 0x01.
    struct Band {
        uint32_t lo, hi;
        bool tx;
    };
    void channel(int record) {
        static const Band bands[] = {{144000000, 146000000, true},   {430000000, 440000000, true},
                                     {1260000000, 1299995000, true}, {118000000, 136990000, false},
                                     {76000000, 107900000, false},   {150000000, 169990000, true},
                                     {300000000, 399990000, false}};
        static const uint8_t steps[] = {0, 2, 3, 4, 6, 7, 10};          // 5, 8.33, 10, 12.5, 20, 25, 100 kHz
        static const uint8_t toneModes[] = {0, 1, 2, 3, 5};             // none, train, tone, TSQ, DCS
        static const uint8_t tones[] = {1, 9, 13, 14, 21, 39};          // 67.0 .. 254.1 Hz, counted from 1
        const uint32_t at = 0x1200 + 64 * uint32_t(record - 1);
        std::fill(m_.begin() + at, m_.begin() + at + 64, 0);
        if (pick(0, 4) == 0) return;  // wiped: an empty record
        const Band& b = pickOf(bands);
        const uint32_t hz = b.lo + 2500u * uint32_t(pick(0, int((b.hi - b.lo) / 2500)));
        put8(at + 0, b.tx ? 0x02 : 0x01);
        put32(at + 1, hz);
        put8(at + 5, pick(0, 3));  // NFM, FM, AM, WFM
        put8(at + 6, pickOf(steps));
        const int shift = pick(0, 2);
        put32(at + 7, shift ? 100000u * uint32_t(pick(1, 200)) : 0);
        put8(at + 11, shift);
        put8(at + 12, pickOf(toneModes));
        put8(at + 13, pickOf(tones));
        put8(at + 14, pickOf(tones));
        put8(at + 15, pick(0, 103));
        put8(at + 16, pick(0, 28));
        put8(at + 18, 0x3E);
        put8(at + 19, pick(0, 1));
        put8(at + 20, 0x0A);
        text(at + 32, pick(0, 3) == 0 ? 0 : pick(1, 16));
    }
    void channels() {
        // Memory, program-scan, dual, priority and transmitter-search records;
        // not the call, pass or bug-detector ones.
        for (int n = 0; n < 60; ++n) {
            int record = pick(1, 1500);
            if (record > 1400) record += 103;  // 1504 to 1603
            channel(record);
        }
    }

    // Banks at 0x0200: 50 little-endian sizes totalling 1000; the high
    // nibble of a size's second byte is not part of it.
    void banks() {
        bankSizes.fill(0);
        const int used = pick(1, 20);
        std::vector<int> cuts{0, 1000};
        for (int i = 1; i < used; ++i) cuts.push_back(pick(0, 1000));
        std::sort(cuts.begin(), cuts.end());
        for (int i = 0; i < used; ++i) bankSizes[std::size_t(pick(0, 49))] += cuts[std::size_t(i) + 1] - cuts[std::size_t(i)];
        for (uint32_t b = 0; b < 50; ++b) put16(0x0200 + 2 * b, bankSizes[b]);
        const uint32_t high = 0x0200 + 2 * uint32_t(pick(0, 49)) + 1;
        put8(high, m_.at(high) | 0x50);
    }

    // One-touch keys at 0x0180: bank, channel within it, 0x00; 0xFF unused.
    void oneTouch() {
        std::vector<int> used, empty;
        for (int b = 0; b < 50; ++b) (bankSizes[std::size_t(b)] ? used : empty).push_back(b);
        emptyBankKey = empty.empty() ? -1 : pick(0, 8);
        for (int k = 0; k < 9; ++k) {
            const uint32_t at = 0x0180 + 3 * uint32_t(k);
            if (k == emptyBankKey) {
                put8(at, empty[std::size_t(pick(0, int(empty.size()) - 1))]);
                put8(at + 1, pick(0, 9));
            } else if (pick(0, 3) == 0) {
                put8(at, 0xFF);
                put8(at + 1, 0);
            } else {
                const int bank = used[std::size_t(pick(0, int(used.size()) - 1))];
                put8(at, bank);
                put8(at + 1, pick(0, std::min(bankSizes[std::size_t(bank)], 256) - 1));
            }
            put8(at + 2, 0);
        }
        put8(0x0180 + 3 * uint32_t(pick(0, 8)) + 2, pick(1, 255));  // a key's unused byte
    }

    // Set Mode bytes: the byte, the values its list stands for (lowest and
    // highest) and a value it cannot show, kept as the radio has it.
    void settings() {
        struct Item {
            uint32_t byte;
            int lo, hi, held;
        };
        static const Item items[] = {
            {44, 0, 8, 0x77},   // Illumination
            {67, 1, 5, 0x09},   // Dimmer, position + 1
            {82, 1, 10, 0x0B},  // Screen contrast, position + 1
            {117, 0, 1, -1},    // Font size
            {119, 0, 3, -1},    // Font Bold
            {129, 0, 2, -1},    // Vol display type
            {69, 0, 1, -1},     // Display Type
            {132, 0, 1, -1},    // S METER
            {73, 0, 1, -1},     // BCLO
            {77, 0, 1, -1},     // End-beep
            {78, 0, 1, -1},     // Auto rpt. set
        };
        static const uint8_t keyCodes[] = {0x82, 0x15, 0x8A, 0xBC, 0xF1, 0x19, 0x83, 0x87, 0x97, 0x66, 0x33, 0x70};
        for (const Item& i : items) put8(i.byte, pick(i.lo, i.hi));
        // One list holds a value none of its entries stands for.
        const Item& odd = items[std::size_t(pick(0, 2))];
        put8(odd.byte, odd.held);
        put8(53, pickOf(keyCodes));  // Wild key assign
        put8(96, pickOf(keyCodes));  // Lamp key assign
    }

    // DTMF at 0x1100: wait, head, burst, ten memories of 16 codes (0x11
    // after the last), dial channel + 1, pause.
    void dtmf() {
        put8(0x1100, pick(0, 10));
        put8(0x1101, pick(0, 22));
        put8(0x1102, pick(0, 22));
        for (uint32_t mem = 0; mem < 10; ++mem) {
            const int length = pick(0, 2) == 0 ? 0 : pick(1, 16);
            for (int i = 0; i < 16; ++i) put8(0x1103 + 16 * mem + uint32_t(i), i < length ? pick(0x00, 0x10) : 0x11);
        }
        // One memory holds what its text cannot give back: a code no
        // character stands for, or characters after an empty position.
        const uint32_t odd = 0x1103 + 16 * uint32_t(pick(0, 9)) + uint32_t(pick(0, 14));
        if (pick(0, 1)) {
            put8(odd, pick(0, 1) ? 0x40 : 0xFF);
        } else {
            put8(odd, 0x11);
            put8(odd + 1, pick(0x00, 0x10));
        }
        put8(0x11A3, pick(1, 9));
        put8(0x11A4, pick(0, 1) ? 0x40 : pick(0, 22));  // 0x40: a pause the list has no entry for
    }

    // Title at 0x01A0: 16 slots, then the slide byte twice (0x11 on).
    // Now and then an empty slot between characters, or slide bytes the
    // program does not write (0x10 and 0x01 read as on and off).
    void title() {
        const int length = pick(0, 16);
        text(0x01A0, length);
        if (length > 2 && pick(0, 1)) put16(0x01A0 + 2 * uint32_t(pick(1, length - 2)), 0);
        static const int slides[] = {0x00, 0x11, 0x10, 0x01};
        const int slide = pickOf(slides);
        put8(0x01C0, slide);
        put8(0x01C1, pick(0, 2) ? slide : pickOf(slides));
    }

    // Groups at 0x0100, eight bytes each: bank 8k + j is bit 7 - j of byte
    // k; byte 6 holds banks 48 and 49 (its other bits stand for no bank);
    // byte 7 is unused.
    void groups() {
        for (uint32_t g = 0; g < 11; ++g) {
            const uint32_t at = 0x0100 + 8 * g;
            for (uint32_t k = 0; k < 6; ++k) put8(at + k, pick(0, 3) == 0 ? pick(0, 255) : 0);
            put8(at + 6, (pick(0, 3) << 6) | (pick(0, 3) == 0 ? pick(1, 63) : 0));  // low bits: no bank
            put8(at + 7, 0);
        }
    }

    // Glyphs at 0x1000, 32 bytes each: any pattern is a glyph.
    void glyphs() {
        for (uint32_t g = 0; g < 8; ++g)
            if (pick(0, 1))
                for (uint32_t i = 0; i < 32; ++i) put8(0x1000 + 32 * g + i, pick(0, 255));
    }

    std::mt19937_64 rng_;
    std::vector<uint8_t> m_;
};

}  // namespace tqm5::test
