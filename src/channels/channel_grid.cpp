#include "channels/channel_grid.h"

#include <numeric>

#include <algorithm>
#include <cstdio>

#include "channels/cp932.h"
#include "channels/text_numbers.h"
#include "channels/value_tables.h"

namespace tqm5 {

const char* const OverlapMessage = "Overlaps in Frequency";

namespace {

constexpr int kWidths[GridCols] = {1200, 1350, 550, 700, 1, 800, 800, 800, 600, 600, 1000, 550, 3000};
const char* const kHeadings[GridCols] = {"",         "Freqency", "mode",    "step",    "Carrier",
                                         "Tone/DCS", "Tx-tone",  "Rx-tone", "DCS",     "Shift",
                                         "Shift-Freq", "Skip",   "Name"};
const char* const kBugFreqs[20] = {
    "398.60500MHz", "399.45500MHz", "139.97000MHz", "399.03000MHz", "400.00000MHz",
    "397.25000MHz", "140.00000MHz", "399.60500MHz", "398.64000MHz", "134.00000MHz",
    "399.25000MHz", "399.00000MHz", "134.90000MHz", "139.96000MHz", "139.60000MHz",
    "149.00000MHz", "361.82500MHz", "320.23500MHz", "320.67500MHz", "321.13500MHz"};

// "PASS - 7", "Dual3(Sub) " and the like.
std::string label(const char* prefix, int n, const char* suffix = "") {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d%s", prefix, n, suffix);
    return buf;
}

std::string optionText(const ValueTable& t, int index) {
    auto s = t.text(index);
    return s ? *s : std::string("ERROR");
}

}  // namespace

StorePlan StorePlan::fromMode(StoreMode mode) {
    switch (mode) {
        case StoreFirst: return {RowAction::Write, RowAction::Keep};
        case StoreSecondClearFirst: return {RowAction::Clear, RowAction::Write};
        case StoreFirstClearSecond: return {RowAction::Write, RowAction::Clear};
        case StoreBoth: return {RowAction::Write, RowAction::Write};
        case ClearBoth: return {RowAction::Clear, RowAction::Clear};
        case StoreNothing: break;
    }
    return {};
}

ChannelGrid::ChannelGrid() : cells_(GridRows), names_(NameSlots) { reset(); }

void ChannelGrid::reset() {
    for (auto& r : cells_)
        for (auto& c : r) c.clear();
    for (int c = 0; c < GridCols; ++c) cells_[0][c] = kHeadings[c];
    attrs_.fill(RowAttributes{});
    for (auto& n : names_) n.clear();
    applyLabels(defaultBankSizes());
    applyPresets();
    row_ = rowSel_ = 1;
    col_ = 12;
    colSel_ = 1;
    topRow_ = 1;
    changed(1, LastRow);
}

int ChannelGrid::columnWidthTwips(int col) { return kWidths[col]; }

const std::string& ChannelGrid::cell(int row, int col) const {
    static const std::string none;
    if (row < 0 || row >= GridRows || col < 0 || col >= GridCols) return none;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void ChannelGrid::setCell(int row, int col, std::string text) {
    if (cells_[row][col] == text) return;
    cells_[row][col] = std::move(text);
    changed(row, row);
}

void ChannelGrid::changed(int first, int last) {
    if (redraw_) rowsChanged.notify(first, last);
}

void ChannelGrid::setRedraw(bool on) {
    bool was = redraw_;
    redraw_ = on;
    if (on && !was) {
        rowsChanged.notify(0, LastRow);
        selectionChanged.notify();
    }
}

void ChannelGrid::applyLabels(const BankSizes& sizes) {
    // Ordinary rows carry bank labels when the layout is complete; rows no
    // bank reaches (all of them otherwise) carry their plain number.
    int row = 1;
    if (std::accumulate(sizes.begin(), sizes.end(), 0) == 1000) {
        for (int b = 0; b < GridBanks; ++b) {
            char bank[16];
            std::snprintf(bank, sizeof bank, "Bank%03d-", b);
            for (int i = 0; i < sizes[static_cast<std::size_t>(b)] && row <= 1000; ++i, ++row) cells_[row][0] = label(bank, i);
        }
    }
    for (; row <= 1000; ++row) cells_[row][0] = std::to_string(row - 1);
    for (int r = FirstPrgRow; r < FirstDualRow; ++r)
        cells_[r][0] = label("PRG - ", (r - FirstPrgRow) / 2, (r % 2) ? "A" : "B");
    for (int r = FirstDualRow; r <= LastDualRow; ++r)
        cells_[r][0] = label("Dual", (r - FirstDualRow) / 2, (r % 2) ? "(Main) " : "(Sub) ");
    for (int r = FirstPrioRow; r < CallVhfRow; ++r) cells_[r][0] = label("PRIO - ", r - FirstPrioRow);
    cells_[CallVhfRow][0] = "CALL-VHF";
    cells_[CallUhfRow][0] = "CALL-UHF";
    cells_[Call12Row][0] = "CALL-1.2";
    for (int r = FirstPassRow; r <= LastPassRow; ++r) cells_[r][0] = label("PASS - ", r - FirstPassRow);
    for (int r = FirstTsfRow; r < FirstBugRow; ++r) cells_[r][0] = label("TSF - ", r - FirstTsfRow);
    for (int r = FirstBugRow; r <= LastBugRow; ++r) cells_[r][0] = label("BUG - ", r - FirstBugRow);
    changed(1, LastRow);
}

void ChannelGrid::applyPresets() {
    auto preset = [&](int r, const char* freq) {
        auto& c = cells_[r];
        c[ColFreq] = freq;
        c[ColMode] = "FM";
        c[ColStep] = "5KHz";
        c[ColCarrier] = "2300Hz";
        c[ColToneMode] = "None";
        c[ColTxTone] = "88.5Hz";
        c[ColRxTone] = "88.5Hz";
        c[ColDcs] = "023";
        c[ColShift] = "Off";
        c[ColOffset] = "0.000MHz";
        c[ColSkip].clear();
        c[ColName].clear();
        names_[r - 1].clear();
        attr(r) = RowAttributes{8, 8, 0, 20, 0, 1};
    };
    preset(CallVhfRow, "145.00000MHz");
    preset(CallUhfRow, "433.00000MHz");
    preset(Call12Row, "1295.00000MHz");
    for (int i = 0; i < 20; ++i) preset(FirstBugRow + i, kBugFreqs[i]);
    changed(CallVhfRow, LastRow);
}

void ChannelGrid::clearRow(int row) {
    for (int c = 1; c < GridCols; ++c) cells_[row][c].clear();
    attr(row) = RowAttributes::cleared();
    names_[row - 1].clear();
    changed(row, row);
}

void ChannelGrid::deleteRow(int row) {
    for (int c = 1; c < GridCols; ++c) cells_[row][c].clear();
    attr(row) = RowAttributes::cleared();
    changed(row, row);
}

ChannelRow ChannelGrid::rowData(int row) const {
    ChannelRow data{cells_[row], attr(row), names_[row - 1]};
    data.cells[ColLabel].clear();
    return data;
}

void ChannelGrid::setRowData(int row, const ChannelRow& data) {
    for (int c = 1; c < GridCols; ++c) cells_[row][c] = data.cells[c];
    attr(row) = data.attrs;
    names_[row - 1] = data.name;
    changed(row, row);
}

void ChannelGrid::selectRow(int row) {
    row_ = rowSel_ = std::clamp(row, 1, LastRow);
    col_ = 12;
    colSel_ = 1;
    highlight_ = true;
    if (redraw_) selectionChanged.notify();
}

void ChannelGrid::setSelection(int row, int rowSel) {
    row_ = std::clamp(row, 1, LastRow);
    rowSel_ = std::clamp(rowSel, 1, LastRow);
}

void ChannelGrid::setTopRow(int top) { topRow_ = std::clamp(top, 1, LastRow); }

void ChannelGrid::moveDown() {
    if (row_ <= LastRow - 1) ++row_;
    if (row_ == topRow_ + VisibleRows && topRow_ < 1597) ++topRow_;
    selectRow(row_);
}

void ChannelGrid::moveUp() {
    if (row_ >= 2) --row_;
    if (row_ == topRow_ && topRow_ > 1) --topRow_;
    selectRow(row_);
}

void ChannelGrid::writeChannel(int row, const ChannelEdit& e) {
    auto& c = cells_[row];
    if (!e.freqText.empty()) c[ColFreq] = e.freqText + "MHz";
    c[ColMode] = optionText(ModeOptions, e.modeOption);
    c[ColStep] = e.stepText;
    c[ColCarrier] = e.trainText;
    c[ColToneMode] = optionText(ToneModeOptions, e.toneModeOption);
    c[ColTxTone] = e.txToneText;
    c[ColRxTone] = e.rxToneText;
    c[ColDcs] = e.dcsText;
    c[ColShift] = optionText(ShiftOptions, e.shiftOption);
    c[ColOffset] = e.offsetText + "MHz";
    c[ColSkip] = e.skip ? "*" : "";
    c[ColName] = e.name;
    names_[row - 1] = displayToName(e.name);
    RowAttributes& a = attr(row);
    a.txTone = static_cast<uint8_t>(e.txToneIndex);
    a.rxTone = static_cast<uint8_t>(e.rxToneIndex);
    a.dcs = static_cast<uint8_t>(e.dcsIndex);
    a.train = static_cast<uint8_t>(e.trainIndex);
    a.step = static_cast<uint8_t>(e.stepIndex);
    // A written channel holds a frequency; one without keeps its old flag.
    if (!e.freqText.empty()) a.inUse = 1;
    changed(row, row);
}

StoreResult ChannelGrid::store(const EditResult& edit, StorePlan plan) {
    storing_ = true;
    bool wasRedraw = redraw_;
    redraw_ = false;
    const int current = row_;
    const bool dual = isDualMainRow(current);
    StoreResult result = StoreResult::Stored;
    if (plan.first == RowAction::Write && isPassRow(current) && passOverlap(edit.first.freqText, current)) {
        result = StoreResult::Overlap;
    } else {
        if (plan.first == RowAction::Write) writeChannel(current, edit.first);
        else if (plan.first == RowAction::Clear) clearRow(current);
        if (dual) {
            if (plan.second == RowAction::Write) writeChannel(current + 1, edit.second);
            else if (plan.second == RowAction::Clear) clearRow(current + 1);
        }
    }
    selectRow(current);
    redraw_ = wasRedraw;
    changed(current, std::min(current + 1, LastRow));
    if (redraw_) selectionChanged.notify();
    storing_ = false;
    return result;
}

namespace {

// Whole MHz and kHz (the first three fraction digits) of a frequency text
// such as "1294.48000MHz" or "145.00050", as numbers: two pass channels in
// the same kHz overlap.
std::pair<long long, long long> mhzAndKhz(const std::string& text) {
    const std::size_t dot = text.find('.');
    const std::string_view t(text);
    const long long mhz = leadingNumber(t.substr(0, dot));
    const long long khz = dot == std::string::npos ? 0 : leadingNumber(t.substr(dot + 1, 3));
    return {mhz, khz};
}

}  // namespace

bool ChannelGrid::passOverlap(const std::string& freqText, int currentRow) const {
    const auto wanted = mhzAndKhz(freqText);
    for (int r = FirstPassRow; r <= LastPassRow; ++r) {
        if (r == currentRow || !inUse(r)) continue;
        if (mhzAndKhz(cells_[r][ColFreq]) == wanted) return true;
    }
    return false;
}

std::string nameToDisplay(const std::string& name) {
    std::string out;
    for (char32_t c : toU32(name)) {
        if (c >= 0x2460 && c <= 0x2467) {
            out += ':';
            out += static_cast<char>('1' + (c - 0x2460));
            out += '~';
        } else {
            out += toUtf8(c);
        }
    }
    return out;
}

std::string displayToName(const std::string& display) {
    std::string out;
    for (std::size_t i = 0; i < display.size(); ++i) {
        if (display[i] == ':' && i + 2 < display.size() && display[i + 1] >= '1' && display[i + 1] <= '8' &&
            display[i + 2] == '~') {
            out += toUtf8(static_cast<char32_t>(0x2460 + (display[i + 1] - '1')));
            i += 2;
        } else {
            out += display[i];
        }
    }
    return out;
}

}  // namespace tqm5
