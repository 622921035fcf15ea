#include "files/clipboard_rows.h"

#include <algorithm>

#include "channels/detail_editor.h"
#include "channels/text_numbers.h"
#include "channels/value_tables.h"
#include "files/text_file.h"

namespace tqm5 {
namespace {

constexpr std::size_t Columns = ColName - ColFreq + 1;  // 12

std::string inQuotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A field holding a tab, a line end or a quote goes in quotes, a quote
// inside doubled, as spreadsheets write such a field.
std::string fieldText(const std::string& text) {
    if (text.find_first_of("\t\r\n\"") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string unquoted(std::string_view field) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') return std::string(field);
    std::string out;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        out += field[i];
        if (field[i] == '"' && field[i + 1] == '"') ++i;
    }
    return out;
}

std::vector<std::string> tabFields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string_view::npos; from = tab + 1)
        fields.push_back(unquoted(line.substr(from, tab - from)));
    fields.push_back(unquoted(line.substr(from)));
    return fields;
}

std::string withoutUnit(std::string text, std::string_view unit) {
    if (text.size() >= unit.size() && text.compare(text.size() - unit.size(), unit.size(), unit) == 0)
        text.resize(text.size() - unit.size());
    return text;
}

// "145.5", "145.50000" or "1295": whole digits and up to `fractionDigits`
// digits after an optional point, split into the editor's two fields.
bool splitNumber(const std::string& text, std::size_t wholeDigits, std::size_t fractionDigits, std::string& whole,
                 std::string& fraction) {
    const std::size_t dot = text.find('.');
    whole = text.substr(0, dot);
    fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    return !whole.empty() && digitFieldFits(whole, wholeDigits) && digitFieldFits(fraction, fractionDigits);
}

// Index of `text` in `table`, trying it also with `unit` added ("88.5" for
// "88.5Hz"); `fallback` for an empty field.
int listIndex(const ValueTable& table, const std::string& text, int fallback, std::string_view unit = {}) {
    if (text.empty()) return fallback;
    const int i = table.indexOf(text);
    return i >= 0 || unit.empty() ? i : table.indexOf(text + std::string(unit));
}

// A spreadsheet turns the code "023" into the number 23: any text whose
// number is a code of the table.
int dcsIndex(const std::string& text) {
    if (text.empty()) return DefaultDcsIndex;
    if (!allDigits(text)) return -1;
    for (int i = 0; i < DcsTable.count; ++i)
        if (leadingNumber(*DcsTable.text(i)) == leadingNumber(text)) return i;
    return -1;
}

struct Checked {
    std::optional<ChannelEdit> channel;
    std::string problem;  // empty: the line passed
};

// One line's fields (columns 1 to 12) for `row`.
Checked checkLine(const std::vector<std::string>& f, int row) {
    const auto field = [&](int col) -> const std::string& { return f[static_cast<std::size_t>(col - ColFreq)]; };
    const bool empty = std::all_of(f.begin(), f.end(), [](const std::string& s) { return s.empty(); });
    if (empty) {
        if (isCallRow(row)) return {{}, "a call channel cannot be emptied"};
        return {};
    }
    DetailSet s;
    if (!splitNumber(withoutUnit(field(ColFreq), "MHz"), 4, 5, s.freqMhz, s.freqFraction))
        return {{}, field(ColFreq).empty() ? "no frequency" : "frequency " + inQuotes(field(ColFreq)) + " is not a frequency"};
    s.freqFraction.append(5 - s.freqFraction.size(), '0');
    if (!frequencyFitsRow(row, leadingNumber(s.freqMhz) * 100000 + leadingNumber(s.freqFraction)))
        return {{}, "frequency " + inQuotes(field(ColFreq)) + " is not one this row can hold"};

    const auto unknown = [&](const char* what, int col, const char* why = " is not in the list") {
        return Checked{{}, std::string(what) + " " + inQuotes(field(col)) + why};
    };
    if ((s.modeOption = listIndex(ModeOptions, field(ColMode), OptFM)) < 0) return unknown("mode", ColMode);
    if ((s.modeOption == OptAM || s.modeOption == OptWFM) && !wideModesAllowed(row))
        return unknown("mode", ColMode, " is not possible on this row (FM or NFM only)");
    if ((s.stepIndex = listIndex(StepTable, field(ColStep), DefaultStepIndex)) < 0) return unknown("step", ColStep);
    s.train = field(ColCarrier).empty() ? DefaultTrainIndex : trainIndexOf(field(ColCarrier));
    if (s.train < 0) return unknown("carrier", ColCarrier);
    if ((s.toneModeOption = listIndex(ToneModeOptions, field(ColToneMode), OptNone)) < 0)
        return unknown("tone mode", ColToneMode);
    if ((s.txTone = listIndex(ToneTable, field(ColTxTone), DefaultToneIndex, "Hz")) < 0) return unknown("Tx-tone", ColTxTone);
    if ((s.rxTone = listIndex(ToneTable, field(ColRxTone), DefaultToneIndex, "Hz")) < 0) return unknown("Rx-tone", ColRxTone);
    if ((s.dcs = dcsIndex(field(ColDcs))) < 0) return unknown("DCS", ColDcs);
    if ((s.shiftOption = listIndex(ShiftOptions, field(ColShift), OptShiftOff)) < 0) return unknown("shift", ColShift);

    const std::string offset = withoutUnit(field(ColOffset), "MHz");
    if (!offset.empty()) {
        if (!splitNumber(offset, 3, 3, s.offsetMhz, s.offsetKhz))
            return unknown("offset", ColOffset, " is not an offset");
        s.offsetKhz.append(3 - s.offsetKhz.size(), '0');
        if (!offsetFits(leadingNumber(s.offsetMhz) * 1000 + leadingNumber(s.offsetKhz)))
            return unknown("offset", ColOffset, " is more than 999.995MHz");
    }
    if (!field(ColSkip).empty() && field(ColSkip) != SkipMark) return unknown("skip", ColSkip, " is neither \"*\" nor empty");
    s.skip = !field(ColSkip).empty();
    s.name = field(ColName);
    if (!nameFits(s.name)) return unknown("name", ColName, " is longer than the radio holds (16 bytes)");

    // The editor's own "OK" turns the fields into the channel; what it would
    // still have to change is something the radio cannot hold.
    const NormalisedSet n = normaliseSet(row, s);
    if (n.fields.name != s.name) return unknown("name", ColName, " holds characters the radio cannot show");
    if (n.outcome != SetOutcome::Stored) return {{}, "frequency " + inQuotes(field(ColFreq)) + " is not one this row can hold"};
    return {n.edit, {}};
}

}  // namespace

std::string rowsAsText(const ChannelGrid& grid, int first, int last) {
    std::string text;
    for (int r = std::max(first, 1); r <= std::min(last, LastRow); ++r) {
        for (int c = ColFreq; c <= ColName; ++c) {
            if (c > ColFreq) text += '\t';
            text += fieldText(grid.cell(r, c));
        }
        text += "\r\n";
    }
    return text;
}

PastePlan planPaste(const ChannelGrid& grid, std::string_view text, int firstRow) {
    PastePlan plan;
    const std::vector<std::string_view> lines = files::splitLines(text);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int lineNo = static_cast<int>(k) + 1, row = firstRow + static_cast<int>(k);
        std::vector<std::string> fields = tabFields(lines[k]);
        if (fields.size() == Columns + 1) fields.erase(fields.begin());  // its row label
        const bool shaped = fields.size() == Columns;
        const std::string freq = withoutUnit(fields[0], "MHz");
        std::string whole, fraction;
        plan.holdsRows = plan.holdsRows || shaped || splitNumber(freq, 4, 5, whole, fraction);
        auto refuse = [&](std::string why) {
            plan.refused.push_back(PasteNote{lineNo, row <= LastRow ? row : 0, row <= LastRow ? grid.cell(row, ColLabel) : "",
                                             std::move(why)});
        };
        if (row <= LastRow) plan.lastRow = row;
        if (fields.size() > Columns) {
            refuse(std::to_string(fields.size()) + " columns, more than the grid's " + std::to_string(Columns));
            continue;
        }
        if (row > LastRow) {
            refuse("there is no row after row " + std::to_string(LastRow));
            continue;
        }
        if (isBugRow(row)) {
            refuse("the bug-detector channels are the radio's presets and are never changed");
            continue;
        }
        fields.resize(Columns);  // a shorter line leaves the last columns at their defaults
        Checked c = checkLine(fields, row);
        if (!c.problem.empty()) refuse(std::move(c.problem));
        else plan.lines.push_back(PasteLine{lineNo, row, std::move(c.channel)});
    }
    return plan;
}

std::vector<PasteNote> applyPaste(ChannelGrid& grid, const PastePlan& plan) {
    std::vector<PasteNote> notes = plan.refused;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    for (const PasteLine& l : plan.lines) {
        if (l.channel && isPassRow(l.row) && grid.passOverlap(l.channel->freqText, l.row)) {
            notes.push_back(PasteNote{l.line, l.row, grid.cell(l.row, ColLabel),
                                      "frequency " + inQuotes(l.channel->freqText + "MHz") +
                                          " overlaps another PASS channel"});
            continue;
        }
        grid.clearRow(l.row);
        if (l.channel) grid.writeChannel(l.row, *l.channel);
    }
    grid.setRedraw(redraw);
    std::stable_sort(notes.begin(), notes.end(), [](const PasteNote& a, const PasteNote& b) { return a.line < b.line; });
    return notes;
}

std::string pasteNotesText(const std::vector<PasteNote>& notes) {
    std::string text = "These lines were not pasted:";
    for (const PasteNote& n : notes) {
        text += "\nLine " + std::to_string(n.line);
        if (!n.label.empty()) text += " (" + n.label + ")";
        text += ": " + n.reason;
    }
    return text;
}

}  // namespace tqm5
