#include "channels/record_codec.h"

#include <algorithm>
#include <cstdio>

#include "channels/cp932.h"
#include "channels/text_numbers.h"
#include "channels/value_tables.h"
#include "radio/byte_view.h"

namespace tqm5 {
namespace {

namespace F = RecordField;
using radio::ByteView;
using radio::ConstByteView;

// Division rounding halves to even, as the radio's values were always shown.
uint64_t divRoundEven(uint64_t v, uint64_t d) {
    uint64_t q = v / d, r = v % d;
    if (r * 2 > d || (r * 2 == d && (q & 1))) ++q;
    return q;
}

uint32_t clampHz(long long hz) {
    return static_cast<uint32_t>(std::clamp<long long>(hz, 0, 0xFFFFFFFFLL));
}

}  // namespace

int recordOfRow(int row) {
    if (isDualRow(row)) {
        int k = (row - FirstDualRow) / 2;
        return isDualMainRow(row) ? 1101 + k : 1201 + k;
    }
    return row;
}

int rowOfRecord(int record) {
    if (record >= 1101 && record <= 1200) return FirstDualRow + 2 * (record - 1101);
    if (record >= 1201 && record <= 1300) return FirstDualRow + 2 * (record - 1201) + 1;
    return record;
}

uint32_t addressOfRecord(int record) { return radio::channelRecordAddress(record); }

std::string frequencyText(uint32_t hz) {
    std::string s = std::to_string(divRoundEven(hz, 10));
    if (s.size() < 5) return {};
    std::string mhz = s.substr(0, s.size() - 5);
    return (mhz.empty() ? "0" : mhz) + "." + s.substr(s.size() - 5) + "MHz";
}

std::string offsetText(uint32_t hz) {
    uint64_t k = divRoundEven(hz, 1000);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llu.%03lluMHz", (unsigned long long)(k / 1000), (unsigned long long)(k % 1000));
    return buf;
}

std::optional<long long> frequencyOfText(const std::string& t) {
    int mhzLen;
    switch (t.size()) {
        case 13: mhzLen = 4; break;
        case 12: mhzLen = 3; break;
        case 11: mhzLen = 2; break;
        case 10: mhzLen = 1; break;
        default: return std::nullopt;
    }
    long long mhz = leadingNumber(std::string_view(t).substr(0, mhzLen));
    long long frac = leadingNumber(std::string_view(t).substr(mhzLen + 1, 5));
    return mhz * 100000 + frac;
}

DecodeResult decodeRecord(ChannelGrid& grid, int row, const Record& record) {
    const ConstByteView b(record);
    RowAttributes& a = grid.attr(row);
    if (b.lowNibble(F::Use) == 0) {
        a.inUse = 0;
        return DecodeResult::Empty;
    }
    // Check everything before touching the row, so that a bad record leaves
    // it exactly as it was.
    const int step = b.lowNibble(F::Step);
    const int train = b.u8(F::TrainTone);
    const int tx = b.u8(F::TxTone) - 1, rx = b.u8(F::RxTone) - 1;
    const int dcs = b.u8(F::Dcs);
    const std::string freq = frequencyText(b.le32(F::RxFrequency));
    if (tx < 0 || tx >= ToneTable.count || rx < 0 || rx >= ToneTable.count || dcs >= DcsTable.count ||
        train >= TrainTable.count || freq.empty())
        return DecodeResult::Invalid;

    grid.setCell(row, ColMode, ModeTable.text(b.lowNibble(F::Mode)).value_or(""));
    grid.setCell(row, ColStep, *StepTable.text(step));
    a.step = static_cast<uint8_t>(step);
    grid.setCell(row, ColCarrier, *TrainTable.text(train));
    a.train = static_cast<uint8_t>(train);
    // A tone mode no table holds shows as what a write stores for it
    // ("None"), never the tone mode of the channel the row held before.
    grid.setCell(row, ColToneMode, ToneModeTable.text(b.lowNibble(F::ToneMode)).value_or(std::string(ToneModeTable.entries[0])));
    grid.setCell(row, ColTxTone, *ToneTable.text(tx));
    grid.setCell(row, ColRxTone, *ToneTable.text(rx));
    a.txTone = static_cast<uint8_t>(tx);
    a.rxTone = static_cast<uint8_t>(rx);
    grid.setCell(row, ColDcs, *DcsTable.text(dcs));
    a.dcs = static_cast<uint8_t>(dcs);
    grid.setCell(row, ColFreq, freq);
    const int shift = b.lowNibble(F::ShiftDirection);
    grid.setCell(row, ColShift, shift == 1 ? "+" : shift == 2 ? "-" : "Off");
    grid.setCell(row, ColOffset, offsetText(b.le32(F::ShiftFrequency)));
    grid.setCell(row, ColSkip, b.lowNibble(F::Skip) == 1 ? "*" : "");
    std::string name;
    for (int j = 0; j < F::NameSlots; ++j) {
        const uint16_t code = b.le16(F::Name + 2 * j);
        if (code != 0) name += cp932Char(code);  // an empty slot is skipped, it does not end the name
    }
    grid.setNameString(row - 1, name);
    grid.setCell(row, ColName, nameToDisplay(name));
    a.inUse = 1;
    return DecodeResult::Channel;
}

Record encodeRecord(const ChannelGrid& grid, int row) {
    Record record{};
    ByteView b(record);
    const RowAttributes& a = grid.attr(row);
    if (!a.inUse) return record;
    const long long f = frequencyOfText(grid.cell(row, ColFreq)).value_or(0);
    b.setLe32(F::RxFrequency, clampHz(f * 10));
    b.setU8(F::Use, (isBugRow(row) || !inTransmitBand(f)) ? UseInUse : UseInUseTransmit);
    const int mode = ModeTable.indexOf(grid.cell(row, ColMode));
    b.setU8(F::Mode, static_cast<uint8_t>(mode < 0 ? 0 : mode));
    b.setU8(F::Step, a.step);

    const std::string& off = grid.cell(row, ColOffset);
    // Four megahertz digits too: the radio's 32-bit field holds offsets above
    // 999.999 MHz, and a row read from it must write back what it shows.
    const int offMhzLen = off.size() == 8 ? 1 : off.size() == 9 ? 2 : off.size() == 10 ? 3 : off.size() == 11 ? 4 : 0;
    const bool offsetOk = offMhzLen != 0;
    if (offsetOk) {
        const long long mhz = leadingNumber(std::string_view(off).substr(0, offMhzLen));
        const long long khz = leadingNumber(std::string_view(off).substr(offMhzLen + 1, 3));
        b.setLe32(F::ShiftFrequency, clampHz(mhz * 1000000 + khz * 1000));
    }
    const std::string& shift = grid.cell(row, ColShift);
    b.setU8(F::ShiftDirection, !offsetOk ? 0 : shift == "+" ? 1 : shift == "-" ? 2 : 0);
    const int toneMode = ToneModeTable.indexOf(grid.cell(row, ColToneMode));
    b.setU8(F::ToneMode, static_cast<uint8_t>(toneMode < 0 ? 0 : toneMode));
    b.setU8(F::TxTone, static_cast<uint8_t>(a.txTone + 1));
    b.setU8(F::RxTone, static_cast<uint8_t>(a.rxTone + 1));
    b.setU8(F::Dcs, a.dcs);
    b.setU8(F::TrainTone, a.train);
    b.setU8(F::Fixed17, 0x00);
    b.setU8(F::Fixed18, 0x3E);
    b.setU8(F::Skip, grid.cell(row, ColSkip) == "*" ? 0x01 : 0x00);
    b.setU8(F::Fixed20, 0x0A);
    int j = 0;
    for (char32_t c : toU32(grid.nameString(row - 1))) {
        if (j == F::NameSlots) break;
        const int code = cp932Code(c);
        if (code <= 0) continue;  // nothing the radio could show
        b.setLe16(F::Name + 2 * j, static_cast<uint16_t>(code));
        ++j;
    }
    return record;
}

}  // namespace tqm5
