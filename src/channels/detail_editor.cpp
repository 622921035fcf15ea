#include "channels/detail_editor.h"

#include "channels/cp932.h"
#include "channels/name_table.h"
#include "channels/text_numbers.h"
#include "channels/value_tables.h"

namespace tqm5 {
namespace {

// Characters [pos, pos + count) of a text, counted in characters.
std::string chars(const std::u32string& text, std::size_t pos, std::size_t count) {
    return pos >= text.size() ? std::string() : toUtf8(text.substr(pos, count));
}

int indexOr(int index, int count, int fallback) { return index >= 0 && index < count ? index : fallback; }

std::string textOf(const ValueTable& table, int index) { return table.text(index).value_or(std::string()); }

// A field of digits as a plain number without leading zeros.
std::string plainNumber(const std::string& digits) {
    std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

// Value of a digit string; texts longer than any field read as "very large".
long long valueOf(const std::string& digits) {
    const std::string n = plainNumber(digits);
    return n.size() > 12 ? 999999999999LL : leadingNumber(n);
}

bool isUserCharCode(const std::string& s, std::size_t i) {
    return i + 2 < s.size() && s[i] == ':' && s[i + 1] >= '1' && s[i + 1] <= '8' && s[i + 2] == '~';
}

bool digitKey(const std::string& field, char32_t key, std::size_t maxChars) {
    if (key == KeyBackspace) return true;
    if (key < U'0' || key > U'9') return false;
    return toU32(field).size() < maxChars;
}

struct Band {
    long long low, high;
    const char* mhz;
};

// The band a call row must stay in, and what it falls back to.
const Band* callBand(int row) {
    static const Band bands[] = {{CallVhfLow, CallVhfHigh, "145"},
                                 {CallUhfLow, CallUhfHigh, "433"},
                                 {Call12Low, Call12High, "1295"}};
    return isCallRow(row) ? &bands[row - CallVhfRow] : nullptr;
}

RowAction actionOf(SetOutcome o) {
    switch (o) {
        case SetOutcome::Stored: return RowAction::Write;
        case SetOutcome::Emptied: return RowAction::Clear;
        case SetOutcome::Refused: break;
    }
    return RowAction::Keep;
}

}  // namespace

DetailSet detailSetFromRow(const ChannelGrid& grid, int row) {
    DetailSet s;
    // "145.00000MHz": the MHz digits are what is left of 13..10 characters
    // after the point, five fraction digits and "MHz".
    const std::u32string freq = toU32(grid.cell(row, ColFreq));
    if (freq.size() >= 10 && freq.size() <= 13) {
        const std::size_t mhzDigits = freq.size() - 9;
        s.freqMhz = chars(freq, 0, mhzDigits);
        s.freqFraction = chars(freq, mhzDigits + 1, 5);
    }
    s.modeOption = indexOr(ModeOptions.indexOf(grid.cell(row, ColMode)), 4, OptFM);
    s.toneModeOption = indexOr(ToneModeOptions.indexOf(grid.cell(row, ColToneMode)), 6, OptNone);
    const std::string& shift = grid.cell(row, ColShift);
    s.shiftOption = shift == "+" ? OptShiftPlus : shift == "-" ? OptShiftMinus : OptShiftOff;

    const RowAttributes& a = grid.attr(row);
    s.stepIndex = indexOr(a.step, StepTable.count, DefaultStepIndex);
    s.train = indexOr(a.train, TrainListTable.count, DefaultTrainIndex);
    s.txTone = indexOr(a.txTone, ToneTable.count, DefaultToneIndex);
    s.rxTone = indexOr(a.rxTone, ToneTable.count, DefaultToneIndex);
    s.dcs = indexOr(a.dcs, DcsTable.count, DefaultDcsIndex);

    // "0.000MHz": 1..3 MHz digits, the point, three kHz digits, "MHz".
    const std::u32string off = toU32(grid.cell(row, ColOffset));
    if (off.size() >= 8 && off.size() <= 10) {
        const std::size_t mhzDigits = off.size() - 7;
        s.offsetMhz = chars(off, 0, mhzDigits);
        s.offsetKhz = chars(off, mhzDigits + 1, 3);
    }
    s.skip = grid.cell(row, ColSkip) == SkipMark;
    s.name = grid.cell(row, ColName);
    return s;
}

bool wideModesAllowed(int row) { return !isCallRow(row) && !isDualRow(row); }

bool freqMhzKeyAccepted(const std::string& field, char32_t key) { return digitKey(field, key, 4); }
bool freqFractionKeyAccepted(const std::string& field, char32_t key) { return digitKey(field, key, 5); }
bool offsetKeyAccepted(const std::string& field, char32_t key) { return digitKey(field, key, 3); }

bool nameKeyAccepted(const std::string& name, char32_t key) {
    if (key == KeyBackspace) return true;
    if (key == KeyPaste) return false;
    const bool doubleByte = cp932Code(key) > 0xFF;
    return nameCountedLength(name) <= (doubleByte ? 14u : 15u);
}

bool digitFieldFits(const std::string& text, std::size_t maxDigits) {
    return text.size() <= maxDigits && allDigits(text);
}

bool nameFits(const std::string& name) { return nameCountedLength(name) <= 16; }

bool nameChangeAccepted(const std::string& before, const std::string& after) {
    return nameFits(after) || nameCountedLength(after) <= nameCountedLength(before);
}

std::size_t nameCountedLength(const std::string& name) {
    std::size_t codes = 0;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (isUserCharCode(name, i)) {
            ++codes;
            i += 2;
        }
    return cp932Length(name) - codes;
}

std::string appendUserChar(const std::string& name, int n) {
    if (n < 1 || n > 8 || nameCountedLength(name) > 15) return name;
    return name + ':' + static_cast<char>('0' + n) + '~';
}

std::string offsetMhzOnLeave(const std::string& text) {
    const std::string d = digitsOnly(text);
    return d.empty() ? "0" : plainNumber(d);
}

std::string offsetKhzOnLeave(const std::string& mhzField, const std::string& text) {
    std::string d = digitsOnly(text);
    const std::string mhz = digitsOnly(mhzField);
    if (!mhz.empty() && valueOf(mhz) == OffsetMhzHighest && !d.empty() && valueOf(d) > OffsetKhzAt999Mhz)
        d = std::to_string(OffsetKhzAt999Mhz);
    if (d.empty() || d.size() > 3) return "000";
    return d + std::string(3 - d.size(), '0');
}

bool frequencyFitsRow(int row, long long f) {
    if (inBlockedRange(f)) return false;
    if (const Band* band = callBand(row)) return f >= band->low && f <= band->high;
    return f >= FreqLowest && f <= FreqHighest;
}

bool offsetFits(long long khz) { return khz >= 0 && khz <= OffsetHighestKhz; }

NormalisedSet normaliseSet(int row, const DetailSet& in) {
    NormalisedSet out;
    DetailSet& s = out.fields;
    s = in;

    // Frequency.
    std::string mhz = digitsOnly(in.freqMhz);
    std::string frac = digitsOnly(in.freqFraction);
    const bool emptiedByUser = mhz.empty() && frac.empty();
    if (!mhz.empty()) mhz = valueOf(mhz) > MhzFieldHighest ? "145" : plainNumber(mhz);
    if (frac.size() > 5) frac = "00000";
    if (!frac.empty()) frac.append(5 - frac.size(), '0');
    auto f = [&] { return valueOf(mhz) * 100000 + (frac.empty() ? 0 : valueOf(frac)); };
    if (frac.empty()) frac = "00000";
    if (!frequencyFitsRow(row, f())) {
        if (const Band* band = callBand(row)) {
            // A call channel always keeps a frequency of its own band.
            mhz = band->mhz;
            frac = "00000";
        } else {
            mhz.clear();
            frac.clear();
        }
    }
    s.freqMhz = mhz;
    s.freqFraction = frac;
    std::string freqText;
    if (!mhz.empty() && !frac.empty()) freqText = mhz + "." + frac;
    else if (!frac.empty()) freqText = "0." + frac;
    else if (!mhz.empty()) freqText = mhz + ".00000";
    out.outcome = !freqText.empty() ? SetOutcome::Stored
                  : emptiedByUser   ? SetOutcome::Emptied
                                    : SetOutcome::Refused;

    // Lists and options: anything outside its list falls back to the default.
    s.modeOption = indexOr(s.modeOption, ModeOptions.count, OptFM);
    s.toneModeOption = indexOr(s.toneModeOption, ToneModeOptions.count, OptNone);
    s.shiftOption = indexOr(s.shiftOption, ShiftOptions.count, OptShiftOff);
    s.stepIndex = indexOr(s.stepIndex, StepTable.count, DefaultStepIndex);
    s.txTone = indexOr(s.txTone, ToneTable.count, DefaultToneIndex);
    s.rxTone = indexOr(s.rxTone, ToneTable.count, DefaultToneIndex);
    s.dcs = indexOr(s.dcs, DcsTable.count, DefaultDcsIndex);
    s.train = indexOr(s.train, TrainListTable.count, DefaultTrainIndex);

    // Name: only what the display can show; ":1~" .. ":8~" are single-byte
    // text and pass as they are.
    s.name = NameCharTable::instance().filter(in.name);

    // Offset. The kHz digits are padded as when the field is left, so that
    // "5" still means 0.5 MHz when "OK" comes without leaving the field.
    std::string om = offsetMhzOnLeave(in.offsetMhz);
    std::string ok = digitsOnly(in.offsetKhz);
    if (!ok.empty() && ok.size() < 3) ok.append(3 - ok.size(), '0');
    if (om.empty() || om.size() > 3) om = "0";
    if (ok.empty() || ok.size() > 3) ok = "000";
    if (!offsetFits(valueOf(om) * 1000 + valueOf(ok))) {
        om = "0";
        ok = "000";
    }
    s.offsetMhz = om;
    s.offsetKhz = ok;

    ChannelEdit& e = out.edit;
    e.freqText = freqText;
    e.modeOption = s.modeOption;
    e.stepIndex = s.stepIndex;
    e.stepText = textOf(StepTable, s.stepIndex);
    e.trainIndex = s.train;
    e.trainText = textOf(TrainListTable, s.train);
    e.toneModeOption = s.toneModeOption;
    e.txToneIndex = s.txTone;
    e.txToneText = textOf(ToneTable, s.txTone);
    e.rxToneIndex = s.rxTone;
    e.rxToneText = textOf(ToneTable, s.rxTone);
    e.dcsIndex = s.dcs;
    e.dcsText = textOf(DcsTable, s.dcs);
    e.shiftOption = s.shiftOption;
    e.offsetText = om + "." + ok;
    e.skip = s.skip ? 1 : 0;
    e.name = s.name;
    return out;
}

DetailDecision decideStore(int row, bool dual, const DetailSet& first, const DetailSet& second) {
    DetailDecision d;
    const NormalisedSet a = normaliseSet(row, first);
    d.first = a.fields;
    d.result.first = a.edit;
    d.plan.first = actionOf(a.outcome);
    if (!dual) {
        d.second = second;
        d.mode = a.outcome == SetOutcome::Stored ? StoreFirst : StoreNothing;
        return d;
    }
    const NormalisedSet b = normaliseSet(row + 1, second);
    d.second = b.fields;
    d.result.second = b.edit;
    d.plan.second = actionOf(b.outcome);
    const bool has1 = a.outcome == SetOutcome::Stored, has2 = b.outcome == SetOutcome::Stored;
    d.mode = has1 && has2 ? StoreBoth : has1 ? StoreFirstClearSecond : has2 ? StoreSecondClearFirst : ClearBoth;
    return d;
}

DetailEditor::DetailEditor(const ChannelGrid& grid, int row) : row_(row), dual_(isDualMainRow(row)) {
    labels_[0] = grid.cell(row, ColLabel);
    sets_[0] = detailSetFromRow(grid, row);
    if (dual_) {
        labels_[1] = grid.cell(row + 1, ColLabel);
        sets_[1] = detailSetFromRow(grid, row + 1);
    }
}

void DetailEditor::clear(int index) {
    sets_[index] = DetailSet::cleared();
    if (index == 0 && isCallRow(row_)) okEnabled_ = false;
}

bool DetailEditor::accept() {
    if (!okEnabled_) return false;
    decision_ = decideStore(row_, dual_, sets_[0], sets_[1]);
    sets_[0] = decision_.first;
    sets_[1] = decision_.second;
    return true;
}

void DetailEditor::cancel() { decision_ = DetailDecision{}; }

}  // namespace tqm5
