#include "emulator/demo_image.h"

#include <initializer_list>
#include <stdexcept>
#include <string>

#include "emulator/radio_emulator.h"

namespace tqm5::emu {
namespace {

// ---------------------------------------------------------------------------
// Writing helpers: every number in the radio is little-endian.

void put8(Bytes& m, uint32_t at, uint8_t v) { m.at(at) = v; }
void put16(Bytes& m, uint32_t at, uint16_t v) {
    put8(m, at, v & 0xFF);
    put8(m, at + 1, v >> 8);
}
void put32(Bytes& m, uint32_t at, uint32_t v) {
    put16(m, at, v & 0xFFFF);
    put16(m, at + 2, v >> 16);
}
void putBytes(Bytes& m, uint32_t at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) put8(m, at++, b);
}
// Character codes as the radio keeps them in names and the title: one
// two-byte slot each, low byte first; unused slots stay zero.
void putText(Bytes& m, uint32_t at, const std::array<uint16_t, 16>& codes) {
    for (std::size_t i = 0; i < codes.size(); ++i) put16(m, at + 2 * static_cast<uint32_t>(i), codes[i]);
}

// ---------------------------------------------------------------------------
// Channel records: 64 bytes each from 0x1200, record n at 0x1200 + 64(n - 1).

constexpr uint32_t ChannelArea = 0x1200;

// Record byte values.
enum : uint8_t { NFM = 0, FM = 1, AM = 2, WFM = 3 };
enum : uint8_t { Step5k = 0, Step8_33k = 2, Step10k = 3, Step12_5k = 4, Step20k = 6, Step25k = 7, Step100k = 10 };
enum : uint8_t { NoTone = 0, Train = 1, Tone = 2, Tsq = 3, Dcs = 5 };
enum : uint8_t { ShiftOff = 0, Plus = 1, Minus = 2 };
// Tone numbers count from 1 (67.0 Hz); DCS codes and train tones from 0.
constexpr uint8_t Tone88_5 = 9, Tone100 = 13, Tone103_5 = 14, Tone131_8 = 21;
constexpr uint8_t Dcs054 = 10, Dcs134 = 23;
constexpr uint8_t Train1000 = 7, Train2300 = 20, TrainJR = 28;

struct Rec {
    int record;
    uint32_t hz;
    uint8_t mode = FM, step = Step20k, toneMode = NoTone;
    uint8_t tx = Tone88_5, rx = Tone88_5, dcs = 0, train = TrainJR;
    uint8_t shift = ShiftOff;
    uint32_t offsetHz = 0;
    bool skip = false;
    std::array<uint16_t, 16> name{};  // code page 932 codes; 0x8740.. are the user characters
};

// Japanese amateur practice: 430 MHz repeaters listen 5 MHz below with an
// 88.5 Hz tone, 1200 MHz repeaters 20 MHz below.
const Rec kChannels[] = {
    // Bank 0: 144 MHz
    {.record = 1, .hz = 145000000, .name = {0xD6, 0xCB, 0xDE, 0xC0, 0xDE, 0xBC}},  // ﾖﾋﾞﾀﾞｼ
    {.record = 2, .hz = 145500000,
     .name = {0x938C, 0x8B9E, 0xD3, 0xB0, 0xCB, 0xDE, 0xD9}},  // 東京ﾓｰﾋﾞﾙ
    {.record = 3, .hz = 145800000, .skip = true, .name = {'I', 'S', 'S'}},
    {.record = 4, .hz = 145300000, .mode = NFM, .step = Step12_5k, .toneMode = Tsq, .tx = Tone100,
     .rx = Tone100, .name = {0xB8, 0xD7, 0xCC, 0xDE, 0x8BC7}},  // ｸﾗﾌﾞ局
    {.record = 5, .hz = 144640000, .toneMode = Dcs, .dcs = Dcs054,
     .name = {'D', 'C', 'S', 0xC3, 0xBD, 0xC4}},  // DCSﾃｽﾄ
    {.record = 6, .hz = 145660000, .toneMode = Tone,
     .name = {0xB2, 0xCD, 0xDE, 0xDD, 0xC4, 0x8740}},  // ｲﾍﾞﾝﾄ①
    // Bank 1: 430 MHz
    {.record = 101, .hz = 433000000,
     .name = {0xD6, 0xCB, 0xDE, 0xC0, 0xDE, 0xBC, '4', '3', '0'}},  // ﾖﾋﾞﾀﾞｼ430
    {.record = 102, .hz = 439220000, .toneMode = Tone, .shift = Minus, .offsetHz = 5000000,
     .name = {0x89A1, 0x956C, 0xDA, 0xCB, 0xDF, 0xB0, 0xC0}},  // 横浜ﾚﾋﾟｰﾀ
    {.record = 103, .hz = 439840000, .toneMode = Tone, .shift = Minus, .offsetHz = 5000000,
     .name = {0x938C, 0x8B9E, 0x835E, 0x838F, 0x815B}},  // 東京タワー
    {.record = 104, .hz = 438800000, .toneMode = Tone, .shift = Minus, .offsetHz = 5000000,
     .skip = true, .name = {0x91E5, 0x8DE3, 0x838C, 0x8373, 0x815B, 0x835E}},  // 大阪レピータ
    {.record = 105, .hz = 434500000, .mode = NFM, .step = Step12_5k, .toneMode = Tsq,
     .tx = Tone103_5, .rx = Tone103_5, .name = {0x82B3, 0x82AD, 0x82E7, 0x8741}},  // さくら②
    {.record = 106, .hz = 435000000, .toneMode = Dcs, .dcs = Dcs134,
     .name = {0x8263, 0x8262, 0x8272, 0x90EA, 0x9770}},  // ＤＣＳ専用
    {.record = 107, .hz = 433500000, .step = Step10k,
     .name = {'S', 'i', 'm', 'p', 'l', 'e', 'x', ' ', '4', '3', '3', '.', '5', '0'}},
    // Bank 2: 1200 MHz
    {.record = 201, .hz = 1295000000,
     .name = {'1', '2', '0', '0', 0xD6, 0xCB, 0xDE, 0xC0, 0xDE, 0xBC}},  // 1200ﾖﾋﾞﾀﾞｼ
    {.record = 202, .hz = 1293560000, .toneMode = Tone, .shift = Minus, .offsetHz = 20000000,
     .name = {0x96BC, 0x8CC3, 0x89AE, '1', '2', '0', '0'}},  // 名古屋1200
    {.record = 203, .hz = 1291500000, .toneMode = Tone, .shift = Minus, .offsetHz = 20000000,
     .skip = true, .name = {0x9056, 0x8F68, 0x8747}},  // 新宿⑧
    {.record = 204, .hz = 1294000000, .toneMode = Tsq, .tx = Tone131_8, .rx = Tone131_8,
     .name = {0x8742, 0x8743, 0xB8, 0xDE, 0xD9, 0xB0, 0xCC, 0xDF}},  // ③④ｸﾞﾙｰﾌﾟ
    {.record = 205, .hz = 1271000000, .shift = Plus, .offsetHz = 12000000, .name = {'A', 'T', 'V'}},
    // Bank 3: listening only
    {.record = 301, .hz = 118100000, .mode = AM, .step = Step8_33k,
     .name = {0x8948, 0x9363, 0xC0, 0xDC, 0xB0}},  // 羽田ﾀﾜｰ
    {.record = 302, .hz = 80000000, .mode = WFM, .step = Step100k,
     .name = {'F', 'M', 0x938C, 0x8B9E}},  // FM東京
    {.record = 303, .hz = 594000, .mode = AM, .step = Step5k,
     .name = {'N', 'H', 'K', 0x91E6, '1'}},  // NHK第1
    {.record = 304, .hz = 150610000, .step = Step12_5k, .toneMode = Train, .train = TrainJR,
     .name = {'J', 'R', 0x938C, 0x93FA, 0x967B}},  // JR東日本
    {.record = 305, .hz = 360200000, .step = Step12_5k, .toneMode = Train, .train = Train1000,
     .skip = true, .name = {0x8E84, 0x9353}},  // 私鉄
    // Bank 5: air band
    {.record = 401, .hz = 126200000, .mode = AM, .step = Step8_33k,
     .name = {0xB4, 0xB1, 0xCA, 0xDE, 0xDD, 0xC4, 0xDE}},  // ｴｱﾊﾞﾝﾄﾞ
    // Bank 7: marine
    {.record = 451, .hz = 156800000, .step = Step25k, .name = {0xCF, 0xD8, 0xDD, '1', '6'}},  // ﾏﾘﾝ16
    // Bank 12: licence-free UHF
    {.record = 701, .hz = 422200000, .mode = NFM, .step = Step12_5k,
     .name = {0xC4, 0xB8, 0xBC, 0xAE, 0xB3, ' ', 'L', '0', '1'}},  // ﾄｸｼｮｳ L01
    // Program scan edges: 144 to 146 MHz, 430 to 440 MHz
    {.record = 1001, .hz = 144000000, .name = {'2', 'm', ' ', 0xBC, 0xC0}},  // 2m ｼﾀ
    {.record = 1002, .hz = 146000000, .name = {'2', 'm', ' ', 0xB3, 0xB4}},  // 2m ｳｴ
    {.record = 1003, .hz = 430000000},
    {.record = 1004, .hz = 440000000},
    // Dual watch pairs 0 and 1: main halves in 1101.., sub halves in 1201..
    {.record = 1101, .hz = 145000000, .name = {0xD2, 0xB2, 0xDD}},  // ﾒｲﾝ
    {.record = 1201, .hz = 433000000, .name = {0xBB, 0xCC, 0xDE}},  // ｻﾌﾞ
    {.record = 1102, .hz = 439220000, .toneMode = Tone, .shift = Minus, .offsetHz = 5000000,
     .name = {0x89A1, 0x956C}},  // 横浜
    {.record = 1202, .hz = 1293560000, .toneMode = Tone, .shift = Minus, .offsetHz = 20000000,
     .name = {0x96BC, 0x8CC3, 0x89AE}},  // 名古屋
    // Priority
    {.record = 1301, .hz = 433000000, .name = {'P', 'R', 'I', 'O'}},
    // Call channels, as the radio leaves the factory
    {.record = 1401, .hz = 145000000, .step = Step5k, .train = Train2300},
    {.record = 1402, .hz = 433000000, .step = Step5k, .train = Train2300},
    {.record = 1403, .hz = 1295000000, .step = Step5k, .train = Train2300},
    // Pass channels, two on one frequency
    {.record = 1404, .hz = 433040000, .name = {0xC9, 0xB2, 0xBD, 0xDE}},  // ﾉｲｽﾞ
    {.record = 1405, .hz = 433040000},
    {.record = 1406, .hz = 145140000},
    {.record = 1407, .hz = 1294480000},
    // Transmitter search
    {.record = 1504, .hz = 144500000, .name = {'T', 'S', 'F'}},
    // Preset bug-detector channels
    {.record = 1604, .hz = 398605000, .step = Step5k, .train = Train2300},
    {.record = 1605, .hz = 399455000, .step = Step5k, .train = Train2300},
    {.record = 1606, .hz = 139970000, .step = Step5k, .train = Train2300},
    {.record = 1607, .hz = 399030000, .step = Step5k, .train = Train2300},
    {.record = 1608, .hz = 400000000, .step = Step5k, .train = Train2300},
    {.record = 1609, .hz = 397250000, .step = Step5k, .train = Train2300},
    {.record = 1610, .hz = 140000000, .step = Step5k, .train = Train2300},
    {.record = 1611, .hz = 399605000, .step = Step5k, .train = Train2300},
    {.record = 1612, .hz = 398640000, .step = Step5k, .train = Train2300},
    {.record = 1613, .hz = 134000000, .step = Step5k, .train = Train2300},
    {.record = 1614, .hz = 399250000, .step = Step5k, .train = Train2300},
    {.record = 1615, .hz = 399000000, .step = Step5k, .train = Train2300},
    {.record = 1616, .hz = 134900000, .step = Step5k, .train = Train2300},
    {.record = 1617, .hz = 139960000, .step = Step5k, .train = Train2300},
    {.record = 1618, .hz = 139600000, .step = Step5k, .train = Train2300},
    {.record = 1619, .hz = 149000000, .step = Step5k, .train = Train2300},
    {.record = 1620, .hz = 361825000, .step = Step5k, .train = Train2300},
    {.record = 1621, .hz = 320235000, .step = Step5k, .train = Train2300},
    {.record = 1622, .hz = 320675000, .step = Step5k, .train = Train2300},
    {.record = 1623, .hz = 321135000, .step = Step5k, .train = Train2300},
};

// Byte 0 of a record in use: 0x02 when the radio may transmit on the
// frequency (144, 430 and 1200 MHz bands as the radio draws them), 0x01
// otherwise and always for the bug-detector presets.
uint8_t useByte(const Rec& c) {
    if (c.record >= 1604) return 0x01;
    const uint32_t f = c.hz;
    const bool tx = (f >= 136000000 && f < 170000000) || (f >= 420000000 && f < 470000000) ||
                    (f >= 1240000000 && f < 1300000000);
    return tx ? 0x02 : 0x01;
}

void putChannel(Bytes& m, const Rec& c) {
    const uint32_t at = ChannelArea + 64 * static_cast<uint32_t>(c.record - 1);
    put8(m, at + 0, useByte(c));
    put32(m, at + 1, c.hz);
    put8(m, at + 5, c.mode);
    put8(m, at + 6, c.step);
    put32(m, at + 7, c.offsetHz);
    put8(m, at + 11, c.shift);
    put8(m, at + 12, c.toneMode);
    put8(m, at + 13, c.tx);
    put8(m, at + 14, c.rx);
    put8(m, at + 15, c.dcs);
    put8(m, at + 16, c.train);
    put8(m, at + 17, 0x00);
    put8(m, at + 18, 0x3E);
    put8(m, at + 19, c.skip ? 0x01 : 0x00);
    put8(m, at + 20, 0x0A);
    putText(m, at + 32, c.name);
}

// Pass-channel index at 0x0C00: seven bytes per pass channel (frequency,
// 0xFF, next, previous) linking them by ascending frequency, entry 100 the
// head. Pass channels 0 and 1 share 433.04 MHz and keep their own order.
void putPassIndex(Bytes& m) {
    constexpr uint32_t Index = 0x0C00;
    for (uint32_t i = 0; i < 707; ++i) put8(m, Index + i, 0xFF);
    const auto entry = [&](int n, uint32_t hz, uint8_t next, uint8_t previous) {
        const uint32_t at = Index + 7 * static_cast<uint32_t>(n);
        put32(m, at, hz);
        put8(m, at + 4, 0xFF);
        put8(m, at + 5, next);
        put8(m, at + 6, previous);
    };
    entry(2, 145140000, 0, 2);  // first: its own number as previous
    entry(0, 433040000, 1, 2);
    entry(1, 433040000, 3, 0);
    entry(3, 1294480000, 0xFF, 1);
    entry(100, 145140000, 2, 0xFF);  // head
}

// ---------------------------------------------------------------------------
// Banks at 0x0200: 50 two-byte sizes, then seven fixed words, then zeros.

constexpr std::array<int, 50> kBankSizes = {
    100, 100, 100, 100, 0, 50, 0, 250, 0, 0,  // banks 0-9
    0,   0,   300,                            // bank 12: 300
};

void putBanks(Bytes& m) {
    for (uint32_t b = 0; b < 50; ++b) put16(m, 0x0200 + 2 * b, static_cast<uint16_t>(kBankSizes[b]));
    putBytes(m, 0x0264, {0x64, 0x00, 0xC8, 0x00, 0x64, 0x00, 0x03, 0x00, 0x64, 0x00, 0x64, 0x00, 0x14, 0x00});
}

// Groups at 0x0100 (groups 0-5) and 0x0130 (groups 6-10), 8 bytes each: bank
// 8k + j is bit 7 - j of byte k; banks 48 and 49 are bits 7 and 6 of byte 6.
void putGroups(Bytes& m) {
    putBytes(m, 0x0100, {0xE0, 0, 0, 0, 0, 0, 0, 0});     // group 0: banks 0, 1, 2
    putBytes(m, 0x0108, {0x14, 0, 0, 0, 0, 0, 0, 0});     // group 1: banks 3, 5
    putBytes(m, 0x0110, {0x80, 0x08, 0, 0, 0, 0, 0, 0});  // group 2: banks 0, 12
    putBytes(m, 0x0150, {0x01, 0x08, 0, 0, 0, 0, 0, 0});  // group 10: banks 7, 12
}

// One-touch keys at 0x0180: bank, channel within the bank, 0x00.
void putOneTouch(Bytes& m) {
    putBytes(m, 0x0180, {
                            0x00, 0x00, 0x00,  // key 1: bank 0 channel 0
                            0x01, 0x02, 0x00,  // key 2: bank 1 channel 2
                            0x02, 0x01, 0x00,  // key 3: bank 2 channel 1
                            0x03, 0x00, 0x00,  // key 4: bank 3 channel 0
                            0x0C, 0x00, 0x00,  // key 5: bank 12 channel 0
                            0x05, 0x00, 0x00,  // key 6: bank 5 channel 0
                            0xFF, 0x00, 0x00,  // keys 7 to 9 unused
                            0xFF, 0x00, 0x00,  //
                            0xFF, 0x00, 0x00,  //
                        });
}

// Opening title at 0x01A0: 16 character slots, then the slide byte twice.
void putTitle(Bytes& m) {
    putText(m, 0x01A0, {'T', 'Q', '-', 'M', '5', ' ', 0xC3, 0xDE, 0xD3, 0x8740, 0x8741});  // TQ-M5 ﾃﾞﾓ①②
    putBytes(m, 0x01C0, {0x11, 0x11});  // slide on
}

// ---------------------------------------------------------------------------
// Set Mode settings, 146 bytes from 0x00000; every byte not listed is 0x00.

struct Setting {
    uint8_t index, value;
};
const Setting kSettings[] = {
    {0, 0xA5},    // constant
    {2, 8},       // VOL(Main) 8
    {3, 6},       // VOL(Sub) 6
    {4, 2},       // Squelch(Main) 2
    {5, 3},       // Squelch(Sub) 3
    {9, 0x05},    // constant
    {10, 0},      // Bank No.(Main) 0
    {11, 1},      // Bank No.(Sub) 1
    {13, 4},      // TV CH 4 (position + 1)
    {14, 3},      // Preset band(Main) UHF (position + 3)
    {15, 1},      // Preset band(Sub) FM
    {16, 0},      // VFO SCAN(Main) Busy
    {17, 3},      // VFO SCAN(Sub) 3SEC
    {18, 5},      // Memory SCAN(Main) 5SEC
    {19, 5},      // Memory SCAN(Sub) 5SEC
    {23, 1},      // Modulation Mode AUTO
    {25, 1},      // Freq Step AUTO
    {32, 0},      // Pager OFF
    {35, 1},      // Scan skip ON
    {36, 0},      // Pri duration BUSY
    {37, 1},      // Pri interval 10sec.
    {38, 5},      // Scan mode 5sec. timer
    {39, 0},      // Band transition NO
    {40, 0},      // Moni operation Push
    {41, 0},      // Moni key mode Monitor
    {42, 0},      // ATT OFF
    {44, 2},      // Illumination 10sec.
    {45, 2},      // Auto-power-off 1 hour
    {46, 3},      // BS ratio 0.2 : 0.8
    {47, 2},      // Beep sound Lv. 2
    {48, 3},      // Sensitivity 3 (position + 1)
    {49, 0},      // Detect mode Silent
    {50, 0x01},   // constant
    {51, 0x0C},   // constant
    {53, 0x66},   // Wild key assign: Scan mode
    {55, 0x02},   // constant
    {56, 0x02},   // constant
    {57, 0},      // Key lock Type OFF
    {61, 0},      // Op. band Main
    {62, 0x00},   // Language English
    {63, 0},      // VOX OFF
    {64, 0},      // TSF operation Always
    {65, 6},      // TOT 180sec.
    {67, 4},      // Dimmer 4 (position + 1)
    {68, 2},      // Mic Gain 2 (position + 1)
    {69, 0},      // Display Type Dual band
    {72, 0},      // Cross Band set OFF
    {73, 1},      // BCLO ON
    {74, 0},      // TOT penalty OFF
    {75, 1},      // CH scope Display ON
    {76, 0},      // second CH scope item OFF
    {77, 1},      // End-beep ON
    {78, 1},      // Auto rpt. set ON
    {80, 0},      // Tone SQ pri Active band
    {81, 0x06},   // constant
    {82, 8},      // Screen contrast 8 (position + 1)
    {88, 3},      // 144MHz TX Power High
    {89, 3},      // 430MHz TX Power High
    {90, 1},      // 1200MHz TX Power High
    {93, 0},      // Dial Ring Freq:Top Vol:Lower (with byte 95)
    {94, 0},      // Mainband dial L:MAIN / SUB:R
    {95, 0},      //
    {96, 0x15},   // Lamp key assign: Illumination
    {97, 3},      // VOX LEVEL 3
    {98, 0},      // Battery type Battery pack
    {100, 5},     // Key lock mode 17-key + dials
    {101, 0},     // AM antenna OFF
    {104, 0},     // DCS operation Nomal
    {116, 0},     // Clk noise shift OFF
    {117, 0},     // Font size Small
    {118, 0x01},  // Receiver range, always 0x01
    {119, 1},     // Font Bold Op. band bold
    {122, 2},     // Moni active on operating-band
    {123, 1},     // Preset mode Deactivate
    {124, 4},     // Tone-burst 1750Hz
    {129, 0},     // Vol display type Normal
    {132, 1},     // S METER Simple
    {141, 0},     // Moni key TX DISABLE
    {145, 0},     // Full-duplex Prohibited
};

void putSettings(Bytes& m) {
    for (const Setting& s : kSettings) put8(m, s.index, s.value);
    put8(m, 0x1FE01, 0x00);  // write protect off
}

// ---------------------------------------------------------------------------
// DTMF at 0x1100: wait, head, burst, ten memories of 16 character codes
// (0x11 after the last character), dial channel + 1, pause.

void putDtmfMemory(Bytes& m, int memory, std::initializer_list<uint8_t> codes) {
    if (codes.size() > 16) throw std::logic_error("DTMF memory longer than 16");
    const uint32_t at = 0x1103 + 16 * static_cast<uint32_t>(memory);
    for (uint32_t i = 0; i < 16; ++i) put8(m, at + i, 0x11);
    putBytes(m, at, codes);
}

void putDtmf(Bytes& m) {
    putBytes(m, 0x1100, {1, 5, 5});  // wait 100ms, head 120ms, burst 120ms
    putDtmfMemory(m, 0, {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09});  // 0123456789
    putDtmfMemory(m, 1, {0x0E, 0x0F, 0x0A, 0x0B, 0x0C, 0x0D});                          // *#ABCD
    putDtmfMemory(m, 2, {0x01, 0x10, 0x02, 0x10, 0x03});                                // 1-2-3
    putDtmfMemory(m, 3, {0x01, 0x01, 0x09});                                            // 119
    putDtmfMemory(m, 4, {0x0F, 0x01, 0x02, 0x0E});                                      // #12*
    putDtmfMemory(m, 5, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x00, 0x0A, 0x0B,
                         0x0C, 0x0D, 0x0E, 0x0F});  // 1234567890ABCD*#
    for (int mem = 6; mem < 10; ++mem) putDtmfMemory(m, mem, {});
    putBytes(m, 0x11A3, {3, 2});  // dial channel 3Ch, pause 60ms
}

// ---------------------------------------------------------------------------
// User glyphs at 0x1000, 32 bytes each: byte k is column k of rows 0-7
// (bit 0 the top row), byte 16 + k column k of rows 8-15.

const std::array<std::array<const char*, 16>, 8> kGlyphs = {{
    {"................", "................", "..####....####..", ".######..######.",
     "################", "################", "################", ".##############.",
     "..############..", "...##########...", "....########....", ".....######.....",
     "......####......", ".......##.......", "................", "................"},  // heart
    {".....######.....", "...##......##...", "..#..........#..", ".#............#.",
     ".#...##..##...#.", "#....##..##....#", "#..............#", "#..............#",
     "#..#........#..#", "#...#......#...#", ".#...######...#.", ".#............#.",
     "..#..........#..", "...##......##...", ".....######.....", "................"},  // smile
    {".......##.......", "..#....##....#..", ".#..#..##..#..#.", ".#.#...##...#.#.",
     ".#.#...##...#.#.", ".#..#..##..#..#.", "..#....##....#..", ".......##.......",
     "......####......", "......#..#......", ".....#....#.....", ".....#.##.#.....",
     "....#..##..#....", "....#.#..#.#....", "...#.#....#.#...", "..##........##.."},  // mast
    {".......##.......", "......####......", ".....######.....", "....########....",
     "....########....", "....########....", "...##########...", "...##########...",
     "...##########...", "..############..", "..############..", ".##############.",
     "################", "................", "......####......", ".......##......."},  // bell
    {"......#.........", "......##........", "......###.......", "......#.##......",
     "......#..##.....", "......#...#.....", "......#...#.....", "......#..#......",
     "......#.........", "......#.........", "..#####.........", ".######.........",
     "#######.........", "#######.........", ".#####..........", "................"},  // note
    {".......##.......", "......####......", ".....######.....", "....########....",
     "...##########...", "..############..", ".##############.", "......####......",
     "......####......", "......####......", "......####......", "......####......",
     "......####......", "......####......", "......####......", "................"},  // up
    {"................", "................", "................", "..############..",
     "..#..........#..", "..#.##.##.##.###", "..#.##.##.##.#.#", "..#.##.##.##.#.#",
     "..#.##.##.##.#.#", "..#.##.##.##.###", "..#..........#..", "..############..",
     "................", "................", "................", "................"},  // battery
    {"################", "#..............#", "#..............#", "#..............#",
     "#..............#", "#..............#", "#..............#", "#..............#",
     "#..............#", "#..............#", "#..............#", "#..............#",
     "#..............#", "#..............#", "#..............#", "################"},  // frame
}};

void putGlyphs(Bytes& m) {
    for (uint32_t g = 0; g < 8; ++g) {
        const uint32_t at = 0x1000 + 32 * g;
        for (uint32_t row = 0; row < 16; ++row) {
            const std::string line = kGlyphs[g][row];
            if (line.size() != 16) throw std::logic_error("glyph row not 16 pixels wide");
            for (uint32_t col = 0; col < 16; ++col) {
                if (line[col] != '#') continue;
                const uint32_t byte = at + col + (row < 8 ? 0 : 16);
                put8(m, byte, static_cast<uint8_t>(m.at(byte) | (1u << (row % 8))));
            }
        }
    }
}

}  // namespace

std::vector<uint8_t> demoImage() {
    Bytes m(MemorySize, 0);
    putSettings(m);
    putGroups(m);
    putOneTouch(m);
    putTitle(m);
    putBanks(m);
    putPassIndex(m);
    putGlyphs(m);
    putDtmf(m);
    for (const Rec& c : kChannels) putChannel(m, c);
    return m;
}

const DemoContent& demoContent() {
    static const DemoContent content{
        .rows =
            {
                {1, "Bank000-0", "145.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||ﾖﾋﾞﾀﾞｼ"},
                {2, "Bank000-1", "145.50000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||東京ﾓｰﾋﾞﾙ"},
                {3, "Bank000-2", "145.80000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz|*|ISS"},
                {4, "Bank000-3", "145.30000MHz|NFM|12.5KHz|ＪＲ|TSQ|100.0Hz|100.0Hz|023|Off|0.000MHz||ｸﾗﾌﾞ局"},
                {5, "Bank000-4", "144.64000MHz|FM|20KHz|ＪＲ|DCS|88.5Hz|88.5Hz|054|Off|0.000MHz||DCSﾃｽﾄ"},
                {6, "Bank000-5", "145.66000MHz|FM|20KHz|ＪＲ|Tone|88.5Hz|88.5Hz|023|Off|0.000MHz||ｲﾍﾞﾝﾄ:1~"},
                {101, "Bank001-0", "433.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||ﾖﾋﾞﾀﾞｼ430"},
                {102, "Bank001-1", "439.22000MHz|FM|20KHz|ＪＲ|Tone|88.5Hz|88.5Hz|023|-|5.000MHz||横浜ﾚﾋﾟｰﾀ"},
                {103, "Bank001-2", "439.84000MHz|FM|20KHz|ＪＲ|Tone|88.5Hz|88.5Hz|023|-|5.000MHz||東京タワー"},
                {104, "Bank001-3", "438.80000MHz|FM|20KHz|ＪＲ|Tone|88.5Hz|88.5Hz|023|-|5.000MHz|*|大阪レピータ"},
                {105, "Bank001-4", "434.50000MHz|NFM|12.5KHz|ＪＲ|TSQ|103.5Hz|103.5Hz|023|Off|0.000MHz||さくら:2~"},
                {106, "Bank001-5", "435.00000MHz|FM|20KHz|ＪＲ|DCS|88.5Hz|88.5Hz|134|Off|0.000MHz||ＤＣＳ専用"},
                {107, "Bank001-6", "433.50000MHz|FM|10KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||Simplex 433.50"},
                {201, "Bank002-0", "1295.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||1200ﾖﾋﾞﾀﾞｼ"},
                {202, "Bank002-1", "1293.56000MHz|FM|20KHz|ＪＲ|Tone|88.5Hz|88.5Hz|023|-|20.000MHz||名古屋1200"},
                {203, "Bank002-2", "1291.50000MHz|FM|20KHz|ＪＲ|Tone|88.5Hz|88.5Hz|023|-|20.000MHz|*|新宿:8~"},
                {204, "Bank002-3", "1294.00000MHz|FM|20KHz|ＪＲ|TSQ|131.8Hz|131.8Hz|023|Off|0.000MHz||:3~:4~ｸﾞﾙｰﾌﾟ"},
                {205, "Bank002-4", "1271.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|+|12.000MHz||ATV"},
                {301, "Bank003-0", "118.10000MHz|AM|8.33KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||羽田ﾀﾜｰ"},
                {302, "Bank003-1", "80.00000MHz|WFM|100KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||FM東京"},
                {303, "Bank003-2", "0.59400MHz|AM|5KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||NHK第1"},
                {304, "Bank003-3", "150.61000MHz|FM|12.5KHz|ＪＲ|Train|88.5Hz|88.5Hz|023|Off|0.000MHz||JR東日本"},
                {305, "Bank003-4", "360.20000MHz|FM|12.5KHz|1000Hz|Train|88.5Hz|88.5Hz|023|Off|0.000MHz|*|私鉄"},
                {401, "Bank005-0", "126.20000MHz|AM|8.33KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||ｴｱﾊﾞﾝﾄﾞ"},
                {451, "Bank007-0", "156.80000MHz|FM|25KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||ﾏﾘﾝ16"},
                {701, "Bank012-0", "422.20000MHz|NFM|12.5KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||ﾄｸｼｮｳ L01"},
                {1001, "PRG - 0A", "144.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||2m ｼﾀ"},
                {1002, "PRG - 0B", "146.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||2m ｳｴ"},
                {1003, "PRG - 1A", "430.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1004, "PRG - 1B", "440.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1101, "Dual0(Main) ", "145.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||ﾒｲﾝ"},
                {1102, "Dual0(Sub) ", "433.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||ｻﾌﾞ"},
                {1103, "Dual1(Main) ", "439.22000MHz|FM|20KHz|ＪＲ|Tone|88.5Hz|88.5Hz|023|-|5.000MHz||横浜"},
                {1104, "Dual1(Sub) ", "1293.56000MHz|FM|20KHz|ＪＲ|Tone|88.5Hz|88.5Hz|023|-|20.000MHz||名古屋"},
                {1301, "PRIO - 0", "433.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||PRIO"},
                {1401, "CALL-VHF", "145.00000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1402, "CALL-UHF", "433.00000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1403, "CALL-1.2", "1295.00000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1404, "PASS - 0", "433.04000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||ﾉｲｽﾞ"},
                {1405, "PASS - 1", "433.04000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1406, "PASS - 2", "145.14000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1407, "PASS - 3", "1294.48000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1504, "TSF - 0", "144.50000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||TSF"},
                {1604, "BUG - 0", "398.60500MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1605, "BUG - 1", "399.45500MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1606, "BUG - 2", "139.97000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1607, "BUG - 3", "399.03000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1608, "BUG - 4", "400.00000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1609, "BUG - 5", "397.25000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1610, "BUG - 6", "140.00000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1611, "BUG - 7", "399.60500MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1612, "BUG - 8", "398.64000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1613, "BUG - 9", "134.00000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1614, "BUG - 10", "399.25000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1615, "BUG - 11", "399.00000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1616, "BUG - 12", "134.90000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1617, "BUG - 13", "139.96000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1618, "BUG - 14", "139.60000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1619, "BUG - 15", "149.00000MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1620, "BUG - 16", "361.82500MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1621, "BUG - 17", "320.23500MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1622, "BUG - 18", "320.67500MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
                {1623, "BUG - 19", "321.13500MHz|FM|5KHz|2300Hz|None|88.5Hz|88.5Hz|023|Off|0.000MHz||"},
            },
        .bankSizes = kBankSizes,
        .groups = {{{0, 1, 2}, {3, 5}, {0, 12}, {}, {}, {}, {}, {}, {}, {}, {7, 12}}},
        .oneTouch = {{{0, 0}, {1, 2}, {2, 1}, {3, 0}, {12, 0}, {5, 0}, {-1, 0}, {-1, 0}, {-1, 0}}},
        .title = "TQ-M5 ﾃﾞﾓ:1~:2~",
        .openingSlide = true,
        .dtmf = {"0123456789", "*#ABCD", "1-2-3", "119", "#12*", "1234567890ABCD*#", "", "", "", ""},
        .dtmfWait = 1,
        .dtmfHead = 5,
        .dtmfBurst = 5,
        .dtmfPause = 2,
        .dtmfDialCh = 2,
        .glyphs = kGlyphs,
    };
    return content;
}

}  // namespace tqm5::emu
