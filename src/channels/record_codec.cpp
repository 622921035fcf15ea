#include "channels/record_codec.h"

#include <algorithm>
#include <cstdio>

#include "channels/cp932.h"
#include "channels/text_numbers.h"
#include "channels/value_tables.h"

namespace tqm5 {
namespace {

uint32_t le32(const Record& b, int at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

void put32(Record& b, int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

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

uint32_t addressOfRecord(int record) { return ChannelArea + uint32_t(record - 1) * 64; }

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

DecodeResult decodeRecord(ChannelGrid& grid, int row, const Record& b) {
    RowAttributes& a = grid.attr(row);
    if ((b[0] & 0x0F) == 0) {
        a.inUse = 0;
        return DecodeResult::Empty;
    }
    // Check everything before touching the row, so that a bad record leaves
    // it exactly as it was.
    const int step = b[6] & 0x0F;
    const int train = b[16];
    const int tx = b[13] - 1, rx = b[14] - 1;
    const int dcs = b[15];
    const std::string freq = frequencyText(le32(b, 1));
    if (tx < 0 || tx >= ToneTable.count || rx < 0 || rx >= ToneTable.count || dcs >= DcsTable.count ||
        train >= TrainTable.count || freq.empty())
        return DecodeResult::Invalid;

    // A mode or tone mode no table holds shows as what a write stores for
    // it (NFM, None), so that the row never shows one thing and writes
    // another, nor keeps the tone mode of whatever channel it held before.
    grid.setCell(row, ColMode, ModeTable.text(b[5] & 0x0F).value_or(std::string(ModeTable.entries[0])));
    grid.setCell(row, ColStep, *StepTable.text(step));
    a.step = static_cast<uint8_t>(step);
    grid.setCell(row, ColCarrier, *TrainTable.text(train));
    a.train = static_cast<uint8_t>(train);
    grid.setCell(row, ColToneMode,
                 ToneModeTable.text(b[12] & 0x0F).value_or(std::string(ToneModeTable.entries[0])));
    grid.setCell(row, ColTxTone, *ToneTable.text(tx));
    grid.setCell(row, ColRxTone, *ToneTable.text(rx));
    a.txTone = static_cast<uint8_t>(tx);
    a.rxTone = static_cast<uint8_t>(rx);
    grid.setCell(row, ColDcs, *DcsTable.text(dcs));
    a.dcs = static_cast<uint8_t>(dcs);
    grid.setCell(row, ColFreq, freq);
    const int shift = b[11] & 0x0F;
    grid.setCell(row, ColShift, shift == 1 ? "+" : shift == 2 ? "-" : "Off");
    grid.setCell(row, ColOffset, offsetText(le32(b, 7)));
    grid.setCell(row, ColSkip, (b[19] & 0x0F) == 1 ? "*" : "");
    std::string name;
    for (int j = 0; j < 16; ++j) {
        uint16_t code = static_cast<uint16_t>(b[33 + 2 * j] << 8 | b[32 + 2 * j]);
        if (code != 0) name += cp932Char(code);
    }
    grid.setNameString(row - 1, name);
    grid.setCell(row, ColName, nameToDisplay(name));
    a.inUse = 1;
    return DecodeResult::Channel;
}

Record encodeRecord(const ChannelGrid& grid, int row) {
    Record b{};
    const RowAttributes& a = grid.attr(row);
    if (!a.inUse) return b;
    const long long f = frequencyOfText(grid.cell(row, ColFreq)).value_or(0);
    put32(b, 1, clampHz(f * 10));
    b[0] = (isBugRow(row) || !inTransmitBand(f)) ? 0x01 : 0x02;
    const int mode = ModeTable.indexOf(grid.cell(row, ColMode));
    b[5] = static_cast<uint8_t>(mode < 0 ? 0 : mode);
    b[6] = a.step;

    const std::string& off = grid.cell(row, ColOffset);
    // Four megahertz digits too: the radio's 32-bit field can hold an offset
    // above 999.999 MHz, and a row read from it must write back what it shows.
    int offMhzLen = off.size() == 8 ? 1 : off.size() == 9 ? 2 : off.size() == 10 ? 3 : off.size() == 11 ? 4 : 0;
    bool offsetOk = offMhzLen != 0;
    if (offsetOk) {
        long long mhz = leadingNumber(std::string_view(off).substr(0, offMhzLen));
        long long khz = leadingNumber(std::string_view(off).substr(offMhzLen + 1, 3));
        put32(b, 7, clampHz(mhz * 1000000 + khz * 1000));
    }
    const std::string& shift = grid.cell(row, ColShift);
    b[11] = !offsetOk ? 0 : shift == "+" ? 1 : shift == "-" ? 2 : 0;
    const int toneMode = ToneModeTable.indexOf(grid.cell(row, ColToneMode));
    b[12] = static_cast<uint8_t>(toneMode < 0 ? 0 : toneMode);
    b[13] = static_cast<uint8_t>(a.txTone + 1);
    b[14] = static_cast<uint8_t>(a.rxTone + 1);
    b[15] = a.dcs;
    b[16] = a.train;
    b[17] = 0x00;
    b[18] = 0x3E;
    b[19] = grid.cell(row, ColSkip) == "*" ? 0x01 : 0x00;
    b[20] = 0x0A;
    int j = 0;
    for (char32_t c : toU32(grid.nameString(row - 1))) {
        if (j == 16) break;
        int code = cp932Code(c);
        if (code <= 0) continue;  // nothing the radio could show
        b[32 + 2 * j] = static_cast<uint8_t>(code & 0xFF);
        b[33 + 2 * j] = static_cast<uint8_t>(code >> 8);
        ++j;
    }
    return b;
}

}  // namespace tqm5
