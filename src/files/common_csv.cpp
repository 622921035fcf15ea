#include "files/common_csv.h"

#include <algorithm>
#include <array>
#include <cctype>

#include <unicode/utf8.h>

#include "channels/cp932.h"
#include "channels/detail_editor.h"
#include "channels/name_table.h"
#include "channels/text_numbers.h"
#include "channels/value_tables.h"
#include "files/text_file.h"

namespace tqm5 {
namespace {

enum Field {
    FLocation, FName, FFrequency, FDuplex, FOffset, FTone, FRTone, FCTone, FDtcsCode, FDtcsPolarity,
    FMode, FTStep, FSkip, FComment, FUrCall, FRpt1Call, FRpt2Call, FDvCode, FieldCount
};
constexpr std::array<std::string_view, FieldCount> FieldNames{
    "Location", "Name", "Frequency", "Duplex", "Offset", "Tone", "rToneFreq", "cToneFreq", "DtcsCode",
    "DtcsPolarity", "Mode", "TStep", "Skip", "Comment", "URCALL", "RPT1CALL", "RPT2CALL", "DVCODE"};

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string inQuotes(const std::string& s) { return "\"" + s + "\""; }

enum class Number { Ok, NotNumber, TooFine };

// A decimal number as an integer count of 10^-digits units: "145.5" with 5
// digits is 14550000. Digits beyond that resolution must be zeros.
Number scaled(std::string_view text, int digits, long long& out) {
    const std::string t = trimmed(text);
    const std::size_t dot = t.find('.');
    const std::string whole = t.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? std::string() : t.substr(dot + 1);
    if ((whole.empty() && fraction.empty()) || whole.size() > 9 || !allDigits(whole) || !allDigits(fraction))
        return Number::NotNumber;
    long long v = leadingNumber(whole);
    for (int i = 0; i < digits; ++i) v = v * 10 + (static_cast<std::size_t>(i) < fraction.size() ? fraction[static_cast<std::size_t>(i)] - '0' : 0);
    for (std::size_t i = static_cast<std::size_t>(digits); i < fraction.size(); ++i)
        if (fraction[i] != '0') return Number::TooFine;
    out = v;
    return Number::Ok;
}

// A count of 10^-digits units as a decimal with `shown` fraction digits.
std::string decimal(long long v, int digits, int shown) {
    long long unit = 1;
    for (int i = 0; i < digits; ++i) unit *= 10;
    std::string fraction = std::to_string(v % unit);
    fraction.insert(0, static_cast<std::size_t>(digits) - fraction.size(), '0');
    fraction.resize(static_cast<std::size_t>(shown), '0');
    return std::to_string(v / unit) + "." + fraction;
}

// A table text such as "88.5Hz", "6.25KHz" or "1MHz" as tenths of a hertz,
// hundredths of a kilohertz.
long long tableValue(std::string_view text, int digits) {
    long long v = 0;
    std::string_view unit = text;
    while (!unit.empty() && (std::isdigit(static_cast<unsigned char>(unit.front())) || unit.front() == '.'))
        unit.remove_prefix(1);
    scaled(text.substr(0, text.size() - unit.size()), digits, v);
    return unit == "MHz" ? v * 1000 : v;
}

// The entry of `table` whose number (with `digits` decimals) the field
// holds, or -1.
template <typename Table>
int indexByValue(const Table& table, std::string_view field, int digits) {
    long long v = 0;
    if (scaled(field, digits, v) != Number::Ok) return -1;
    for (int i = 0; i < table.count; ++i)
        if (tableValue(*table.text(i), digits) == v) return i;
    return -1;
}

int toneIndex(std::string_view field) { return indexByValue(ToneTable, field, 1); }

int dcsIndex(std::string_view field) {
    const std::string t = trimmed(field);
    if (t.empty() || !allDigits(t)) return -1;
    for (int i = 0; i < DcsTable.count; ++i)
        if (leadingNumber(*DcsTable.text(i)) == leadingNumber(t)) return i;
    return -1;
}

int stepIndex(std::string_view field) { return indexByValue(StepTable, field, 2); }

std::string toneText(int index) {
    const std::string t = ToneTable.text(index).value_or("88.5Hz");
    return t.substr(0, t.size() - 2);  // without "Hz"
}

// A field in standard CSV quoting when it needs it.
std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos && trimmed(s) == s) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string frequencyText(long long f10Hz) { return decimal(f10Hz, 5, 5); }

// The name cut to what the detail editor lets a name hold.
std::string fittedName(std::string name) {
    while (!nameFits(name)) {
        if (name.size() >= 3 && name[name.size() - 3] == ':' && name.back() == '~') {
            name.resize(name.size() - 3);  // a user character goes whole
            continue;
        }
        auto end = static_cast<int32_t>(name.size());
        U8_BACK_1(reinterpret_cast<const uint8_t*>(name.data()), 0, end);  // the last character goes whole
        name.resize(static_cast<std::size_t>(end));
    }
    return name;
}

// The rows of the kind `row` belongs to, as far as an import runs on.
int lastRowOfKind(int row) {
    if (row < FirstPrgRow) return FirstPrgRow - 1;
    if (row < FirstDualRow) return FirstDualRow - 1;
    if (row <= LastDualRow) return LastDualRow;
    if (row < CallVhfRow) return CallVhfRow - 1;
    if (isCallRow(row)) return row;
    if (row <= LastPassRow) return LastPassRow;
    return FirstBugRow - 1;
}

}  // namespace

std::string commonCsvHeading() {
    std::string line;
    for (std::size_t i = 0; i < FieldNames.size(); ++i) {
        if (i) line += ',';
        line += FieldNames[i];
    }
    return line;
}

std::vector<int> commonCsvExportRows(const ChannelGrid& grid) {
    std::vector<int> rows;
    const bool range = grid.rangeFirst() != grid.rangeLast();
    const int first = range ? grid.rangeFirst() : 1, last = range ? grid.rangeLast() : FirstBugRow - 1;
    for (int r = std::max(first, 1); r <= std::min(last, LastRow); ++r)
        if (grid.inUse(r) && !grid.cell(r, ColFreq).empty()) rows.push_back(r);
    return rows;
}

CommonCsvExport commonCsvExport(const ChannelGrid& grid, const std::vector<int>& rows) {
    CommonCsvExport out;
    std::string text = commonCsvHeading() + "\r\n";
    for (int r : rows) {
        if (r < 1 || r > LastRow || !grid.inUse(r)) continue;
        const std::string& freqCell = grid.cell(r, ColFreq);
        long long freq = 0, offset = 0;
        if (freqCell.size() <= 3 || scaled(std::string_view(freqCell).substr(0, freqCell.size() - 3), 5, freq) != Number::Ok)
            continue;  // no frequency: nothing a line could carry
        const std::string& offsetCell = grid.cell(r, ColOffset);
        if (offsetCell.size() > 3) scaled(std::string_view(offsetCell).substr(0, offsetCell.size() - 3), 3, offset);
        const RowAttributes& a = grid.attr(r);
        const std::string& toneMode = grid.cell(r, ColToneMode);
        std::array<std::string, FieldCount> f;
        f[FLocation] = std::to_string(r - 1);
        f[FName] = displayToName(grid.cell(r, ColName));
        f[FFrequency] = decimal(freq, 5, 6);
        const std::string& shift = grid.cell(r, ColShift);
        f[FDuplex] = shift == "+" || shift == "-" ? shift : "";
        f[FOffset] = decimal(offset, 3, 6);
        f[FTone] = toneMode == "Tone" ? "Tone" : toneMode == "TSQ" ? "TSQL" : toneMode == "DCS" ? "DTCS" : "";
        f[FRTone] = toneText(a.txTone);
        f[FCTone] = toneText(a.rxTone);
        f[FDtcsCode] = DcsTable.text(a.dcs).value_or("023");
        f[FDtcsPolarity] = "NN";
        f[FMode] = grid.cell(r, ColMode);
        const int step = StepTable.indexOf(grid.cell(r, ColStep));
        f[FTStep] = decimal(tableValue(*StepTable.text(step < 0 ? 0 : step), 2), 2, 2);
        f[FSkip] = grid.cell(r, ColSkip) == "*" ? "S" : "";
        f[FComment] = grid.cell(r, ColLabel);
        auto note = [&](std::string reason) { out.notes.push_back(CsvNote{0, r, grid.cell(r, ColLabel), std::move(reason)}); };
        if (toneMode == "SQ" || toneMode == "Train")
            note("tone mode " + toneMode + " has no field in this layout; the channel was written without a tone");
        else if (toneMode == "TSQ" && a.txTone != a.rxTone)
            note("TSQL carries one tone: the receive tone " + f[FCTone] + " Hz is the one read back, not the transmit tone " +
                 f[FRTone] + " Hz");
        for (std::size_t i = 0; i < f.size(); ++i) {
            if (i) text += ',';
            text += csvField(f[i]);
        }
        text += "\r\n";
        ++out.channels;
    }
    out.bytes = std::move(text);
    return out;
}

bool isCommonCsv(std::string_view bytes) {
    const std::string text = files::textFromFile(bytes.substr(0, std::min<std::size_t>(bytes.size(), 4096)));
    const std::vector<std::string_view> lines = files::splitLines(text);
    if (lines.empty()) return false;
    for (const std::string& name : csvFields(lines[0]))
        if (lower(trimmed(name)) == "frequency") return true;
    return false;
}

CommonCsvRead parseCommonCsv(std::string_view bytes) {
    CommonCsvRead out;
    const std::string text = files::textFromFile(bytes);
    const std::vector<std::string_view> lines = files::splitLines(text);
    // Columns are found by their names, in any order, among any others.
    std::array<int, FieldCount> column;
    column.fill(-1);
    if (!lines.empty()) {
        const std::vector<std::string> heading = csvFields(lines[0]);
        for (std::size_t i = 0; i < heading.size(); ++i)
            for (std::size_t f = 0; f < FieldNames.size(); ++f)
                if (column[f] < 0 && lower(trimmed(heading[i])) == lower(std::string(FieldNames[f])))
                    column[f] = static_cast<int>(i);
    }
    if (column[FFrequency] < 0) {
        out.headingProblem = "its first line names no Frequency column";
        return out;
    }
    out.headingOk = true;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const int lineNo = static_cast<int>(k) + 1;
        if (trimmed(lines[k]).empty()) continue;
        std::vector<bool> quoted;
        const std::vector<std::string> fields = csvFields(lines[k], &quoted);
        // Blanks around a field are a hand's, and go; but a name in quotes
        // is taken as it stands (a radio's name may begin or end with one).
        auto get = [&](Field f) {
            const auto c = static_cast<std::size_t>(column[f]);
            if (column[f] < 0 || c >= fields.size()) return std::string();
            return f == FName && quoted[c] ? fields[c] : trimmed(fields[c]);
        };
        std::vector<CsvNote> changes;
        auto change = [&](std::string reason) { changes.push_back(CsvNote{lineNo, 0, "", std::move(reason)}); };
        CommonChannel ch;
        ch.line = lineNo;
        const std::string problem = [&]() -> std::string {
            const std::string freq = get(FFrequency);
            switch (scaled(freq, 5, ch.freq10Hz)) {
                case Number::NotNumber: return "frequency " + inQuotes(freq) + " is not a frequency in MHz";
                case Number::TooFine: return "frequency " + freq + " MHz is finer than the radio's 10 Hz";
                case Number::Ok: break;
            }
            if (!frequencyFitsRow(1, ch.freq10Hz))
                return "frequency " + frequencyText(ch.freq10Hz) + " MHz is outside the radio's bands";
            const std::string duplex = lower(get(FDuplex));
            if (duplex == "+") ch.shiftOption = OptShiftPlus;
            else if (duplex == "-") ch.shiftOption = OptShiftMinus;
            else if (duplex == "split") return "duplex \"split\" (a transmit frequency of its own) is not held by the radio";
            else if (duplex == "off") change("duplex \"off\" (no transmit) is not held; the channel was taken as simplex");
            else if (!duplex.empty()) return "duplex " + inQuotes(get(FDuplex)) + " is not known";
            const std::string offset = get(FOffset);
            if (!offset.empty() && (scaled(offset, 3, ch.offsetKhz) != Number::Ok || !offsetFits(ch.offsetKhz))) {
                if (ch.shiftOption != OptShiftOff)
                    return "offset " + inQuotes(offset) + " MHz is not one the radio holds (0 to 999.995 MHz in kHz)";
                ch.offsetKhz = 0;  // unused without a shift
            }
            const std::string mode = get(FMode);
            const int modeOption = mode.empty() ? OptFM : ModeOptions.indexOf(mode);
            if (modeOption < 0) return "mode " + inQuotes(mode) + " is not one the radio has";
            ch.modeOption = modeOption;
            // Tones the tone mode uses must be in the radio's tables; the
            // others are kept when they are, else take the defaults.
            const std::string tone = get(FTone), rTone = get(FRTone), cTone = get(FCTone), code = get(FDtcsCode);
            const int tx = toneIndex(rTone), rx = toneIndex(cTone), dcs = dcsIndex(code);
            ch.txTone = tx >= 0 ? tx : DefaultToneIndex;
            ch.rxTone = rx >= 0 ? rx : DefaultToneIndex;
            ch.dcs = dcs >= 0 ? dcs : DefaultDcsIndex;
            auto notInTable = [](const std::string& t) { return "tone " + inQuotes(t) + " Hz is not in the radio's tone table"; };
            if (tone == "Tone") {
                if (tx < 0) return notInTable(rTone);
                ch.toneModeOption = OptTone;
            } else if (tone == "TSQL") {
                if (rx < 0) return notInTable(cTone);
                ch.toneModeOption = OptTSQ;
                ch.txTone = rx;
            } else if (tone == "DTCS") {
                if (dcs < 0) return "DCS code " + inQuotes(code) + " is not in the radio's table";
                const std::string polarity = get(FDtcsPolarity);
                if (!polarity.empty() && polarity != "NN")
                    return "DCS polarity " + inQuotes(polarity) + " is not held; the radio has normal polarity only";
                ch.toneModeOption = OptDCS;
            } else if (!tone.empty()) {
                return "tone mode " + inQuotes(tone) + " is not held by the radio";
            }
            const std::string step = get(FTStep);
            ch.stepIndex = step.empty() ? DefaultStepIndex : stepIndex(step);
            if (ch.stepIndex < 0) {
                change("step " + step + " kHz is not in the radio's table; 5KHz was taken");
                ch.stepIndex = DefaultStepIndex;
            }
            const std::string skip = get(FSkip);
            ch.skip = skip == "S";
            if (!skip.empty() && skip != "S") change("skip " + inQuotes(skip) + " is not held; the channel is scanned");
            const std::string name = nameToDisplay(get(FName));
            const std::string shown = NameCharTable::instance().filter(name);
            ch.name = fittedName(shown);
            if (ch.name != shown)
                change("name " + inQuotes(name) + " cut to " + inQuotes(ch.name) + ", what the radio holds");
            else if (shown != name)
                change("name " + inQuotes(name) + " became " + inQuotes(ch.name) +
                       ": characters the radio cannot show were dropped");
            return {};
        }();
        if (!problem.empty()) {
            out.notes.push_back(CsvNote{lineNo, 0, "", problem + "; the line was not imported"});
            continue;
        }
        out.notes.insert(out.notes.end(), changes.begin(), changes.end());
        out.channels.push_back(std::move(ch));
    }
    return out;
}

std::vector<int> commonCsvTargetRows(const ChannelGrid& grid) {
    const bool range = grid.rangeFirst() != grid.rangeLast();
    const int first = std::max(range ? grid.rangeFirst() : grid.row(), 1);
    const int last = range ? grid.rangeLast() : lastRowOfKind(first);
    std::vector<int> rows;
    for (int r = first; r <= std::min(last, FirstBugRow - 1); ++r) rows.push_back(r);
    return rows;
}

CommonCsvApplied applyCommonCsv(const CommonCsvRead& read, ChannelGrid& g, const std::vector<int>& rows) {
    CommonCsvApplied out;
    std::vector<CsvNote> notes = read.notes;
    const bool redraw = g.redraw();
    g.setRedraw(false);
    std::size_t next = 0;
    for (const CommonChannel& ch : read.channels) {
        auto refuse = [&](int row, std::string reason) {
            // What the line would have had changed no longer matters.
            std::erase_if(notes, [&](const CsvNote& n) { return n.line == ch.line; });
            notes.push_back(CsvNote{ch.line, row, row ? g.cell(row, ColLabel) : "", reason + "; the line was not imported"});
        };
        if (next >= rows.size()) {
            refuse(0, rows.empty() ? "there is no row to import into"
                                   : "no row is left for it after " + g.cell(rows.back(), ColLabel));
            continue;
        }
        const int r = rows[next];
        const std::string freq = frequencyText(ch.freq10Hz);
        const std::string label = g.cell(r, ColLabel);
        if (!frequencyFitsRow(r, ch.freq10Hz)) {
            refuse(r, "frequency " + freq + " MHz is outside what " + label + " holds");
            continue;
        }
        if ((ch.modeOption == OptAM || ch.modeOption == OptWFM) && !wideModesAllowed(r)) {
            refuse(r, "mode " + *ModeOptions.text(ch.modeOption) + " is not offered for " + label);
            continue;
        }
        if (isPassRow(r) && g.passOverlap(freq, r)) {
            refuse(r, "another pass channel holds " + freq + " MHz");
            continue;
        }
        ++next;
        g.clearRow(r);
        g.setCell(r, ColFreq, freq + "MHz");
        g.setCell(r, ColMode, *ModeOptions.text(ch.modeOption));
        g.setCell(r, ColStep, *StepTable.text(ch.stepIndex));
        g.setCell(r, ColCarrier, *TrainTable.text(DefaultTrainIndex));
        g.setCell(r, ColToneMode, *ToneModeOptions.text(ch.toneModeOption));
        g.setCell(r, ColTxTone, *ToneTable.text(ch.txTone));
        g.setCell(r, ColRxTone, *ToneTable.text(ch.rxTone));
        g.setCell(r, ColDcs, *DcsTable.text(ch.dcs));
        g.setCell(r, ColShift, *ShiftOptions.text(ch.shiftOption));
        g.setCell(r, ColOffset, decimal(ch.offsetKhz, 3, 3) + "MHz");
        g.setCell(r, ColSkip, ch.skip ? std::string(SkipMark) : "");
        g.setCell(r, ColName, ch.name);
        g.setNameString(r - 1, displayToName(ch.name));
        g.attr(r) = RowAttributes{static_cast<uint8_t>(ch.txTone), static_cast<uint8_t>(ch.rxTone),
                                  static_cast<uint8_t>(ch.dcs), static_cast<uint8_t>(DefaultTrainIndex),
                                  static_cast<uint8_t>(ch.stepIndex), 1};
        for (CsvNote& n : notes)
            if (n.line == ch.line && n.row == 0) {
                n.row = r;
                n.label = label;
            }
        if (!out.firstRow) out.firstRow = r;
        out.lastRow = r;
        ++out.stored;
    }
    g.setRedraw(redraw);
    std::stable_sort(notes.begin(), notes.end(), [](const CsvNote& a, const CsvNote& b) { return a.line < b.line; });
    out.notes = std::move(notes);
    return out;
}

}  // namespace tqm5
