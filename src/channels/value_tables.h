#pragma once
// The fixed lists every coded channel field is chosen from. Lists store an
// index; the grid and the editors show the entry's text.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tqm5 {

struct ValueTable {
    const std::string_view* entries;
    int count;
    // Text of entry `index`, or nullopt when the index lies outside the table.
    std::optional<std::string> text(int index) const;
    // Index of the entry whose text equals `text` exactly, or -1.
    int indexOf(std::string_view text) const;
};

extern const ValueTable StepTable;      // 16 entries, "5KHz" ... "1MHz"
extern const ValueTable ToneTable;      // 39 CTCSS tones, "67.0Hz" ... "250.3Hz"
extern const ValueTable DcsTable;       // 104 DCS codes, "023" ... "754"
extern const ValueTable TrainTable;     // 29 train tones; entry 28 is "ＪＲ" as the grid shows it
extern const ValueTable TrainListTable; // the same with entry 28 written "JR", as the editor list shows it

// Train tone lookup by text accepting both spellings of entry 28.
int trainIndexOf(std::string_view text);

// Stored code <-> text, in the order the radio keeps.
extern const ValueTable ModeTable;      // 0 NFM, 1 FM, 2 AM, 3 WFM
extern const ValueTable ToneModeTable;  // 0 None, 1 Train, 2 Tone, 3 TSQ, 4 SQ, 5 DCS
extern const ValueTable ShiftTable;     // 0 Off, 1 +, 2 -

// The order of the detail editor's option buttons.
extern const ValueTable ModeOptions;      // FM, AM, NFM, WFM
extern const ValueTable ToneModeOptions;  // None, Tone, TSQ, SQ, DCS, Train
extern const ValueTable ShiftOptions;     // Off, +, -

constexpr std::string_view SkipMark = "*";

constexpr int DefaultStepIndex = 0;
constexpr int DefaultToneIndex = 8;
constexpr int DefaultDcsIndex = 0;
constexpr int DefaultTrainIndex = 28;

// Frequencies in units of 10 Hz (MHz * 100000 + five-digit fraction).
constexpr long long FreqLowest = 53099;          // 0.53099 MHz
constexpr long long FreqHighest = 129999999;     // 1299.99999 MHz
constexpr long long MhzFieldHighest = 1300;      // above: the field becomes "145"
constexpr long long Blocked1Low = 82400000, Blocked1High = 84999999;
constexpr long long Blocked2Low = 86900000, Blocked2High = 89499999;
constexpr long long FractionHighest = 99999;
constexpr long long CallVhfLow = 13600000, CallVhfHigh = 16999999;
constexpr long long CallUhfLow = 42000000, CallUhfHigh = 46999999;
constexpr long long Call12Low = 124000000, Call12High = 129999999;
constexpr long long OffsetMhzHighest = 999;
constexpr long long OffsetKhzHighest = 999;
constexpr long long OffsetKhzAt999Mhz = 995;
constexpr long long OffsetHighestKhz = 999995;   // 999.995 MHz

// The transmit bands for the record's use byte (10 Hz units).
bool inTransmitBand(long long f10Hz);
bool inBlockedRange(long long f10Hz);

}  // namespace tqm5
