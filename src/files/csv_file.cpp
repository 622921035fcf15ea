#include "files/csv_file.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include <unicode/utf8.h>

#include "channels/cp932.h"
#include "channels/name_table.h"
#include "channels/text_numbers.h"
#include "channels/value_tables.h"
#include "features/title.h"
#include "files/memory_file.h"
#include "files/text_file.h"

namespace tqm5 {
namespace {

constexpr int LastImportedRow = FirstBugRow - 1;  // the bug rows are never imported
constexpr std::string_view HeadingWithoutCommas =
    "FreqencymodestepCarrierTone/DCSTx-toneRx-toneDCSShiftShift-FreqSkipName0";
constexpr std::size_t ExportedHeadingLength = 100;  // with its quotes, without its commas
constexpr long long OffsetHighest = OffsetHighestKhz;  // 999.995 MHz, in kHz

// Every field in double quotes; a quote inside a field is doubled, so a
// name holding a comma or a quote reads back whole.
std::string quoted(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line += ',';
        line += '"';
        for (char c : fields[i]) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line;
}

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

// The name as a spreadsheet gets it: double-byte characters become spaces.
std::string singleByteName(const std::string& name) {
    std::string out;
    for (char32_t c : toU32(name)) {
        if (cp932Code(c) > 0xFF) out += ' ';
        else out += toUtf8(c);
    }
    return out;
}

// Fields 2 to 13 of a row's exported line (columns 1 to 12).
void exportedFields(const ChannelGrid& grid, int r, std::vector<std::string>& fields) {
    const std::string& freq = grid.cell(r, ColFreq);
    fields[1] = freq.size() > 3 ? freq.substr(0, freq.size() - 3) : freq;
    for (int c = ColMode; c <= ColSkip; ++c) fields[static_cast<std::size_t>(c)] = grid.cell(r, c);
    fields[12] = singleByteName(grid.nameString(r - 1));
}

// Frequency cell after an import: digits, '.', and the letters of "MHz" only,
// five fraction digits.
std::string completedFrequency(const std::string& cell) {
    std::string f;
    for (char c : cell)
        if ((c >= '0' && c <= '9') || c == '.' || c == 'M' || c == 'H' || c == 'z') f += c;
    f = f.size() >= 3 ? f.substr(0, f.size() - 3) : std::string();
    const std::size_t dot = f.find('.');
    if (dot == std::string::npos) {
        f += ".00000";
    } else if (f.size() - dot <= 5) {
        while (f.size() - dot - 1 < 5) f += '0';
    }
    return f + "MHz";
}

bool oneOf(const std::string& s, std::initializer_list<std::string_view> texts) {
    return std::find(texts.begin(), texts.end(), s) != texts.end();
}

// A name cut to what a memory file carries, so that a Save and an Open
// keep the channel.
std::string fileSizedName(std::string name) {
    while (countedLength(name) > FileNameBytes) {
        if (name.size() >= 3 && name[name.size() - 3] == ':' && name.back() == '~' &&
            name[name.size() - 2] >= '1' && name[name.size() - 2] <= '8') {
            name.resize(name.size() - 3);  // a user character code goes whole
            continue;
        }
        auto end = static_cast<int32_t>(name.size());
        U8_BACK_1(reinterpret_cast<const uint8_t*>(name.data()), 0, end);  // the last character goes whole
        name.resize(static_cast<std::size_t>(end));
    }
    return name;
}

// Checks an in-use row's cells in order; at the first one the radio cannot
// hold, says which and why. Hidden codes follow the cells that pass. A name
// that loses characters is kept, and `nameNote` says what it lost.
std::string completeRow(ChannelGrid& g, int r, std::string& nameNote) {
    RowAttributes& a = g.attr(r);
    auto cell = [&](int c) { return inQuotes(g.cell(r, c)); };
    if (!oneOf(g.cell(r, ColMode), {"FM", "AM", "NFM", "WFM"})) return "mode " + cell(ColMode) + " is not known";
    const int step = StepTable.indexOf(g.cell(r, ColStep));
    if (step < 0) return "step " + cell(ColStep) + " is not in the table";
    a.step = static_cast<uint8_t>(step);
    const int train = trainIndexOf(g.cell(r, ColCarrier));
    if (train < 0) return "carrier " + cell(ColCarrier) + " is not in the table";
    a.train = static_cast<uint8_t>(train);
    if (!oneOf(g.cell(r, ColToneMode), {"None", "Tone", "TSQ", "SQ", "DCS", "Train"}))
        return "tone mode " + cell(ColToneMode) + " is not known";
    const int tx = ToneTable.indexOf(g.cell(r, ColTxTone)), rx = ToneTable.indexOf(g.cell(r, ColRxTone));
    if (tx < 0) return "tone " + cell(ColTxTone) + " is not in the table";
    if (rx < 0) return "tone " + cell(ColRxTone) + " is not in the table";
    a.txTone = static_cast<uint8_t>(tx);
    a.rxTone = static_cast<uint8_t>(rx);
    // Any text whose leading number is a code of the table: "23", "023", "23.0".
    const std::string& dcsText = g.cell(r, ColDcs);
    int dcs = -1;
    for (int i = 0; i < DcsTable.count && dcs < 0; ++i)
        if (leadingNumber(*DcsTable.text(i)) == leadingNumber(dcsText)) dcs = i;
    if (dcs < 0) return "DCS code " + cell(ColDcs) + " is not in the table";
    g.setCell(r, ColDcs, *DcsTable.text(dcs));
    a.dcs = static_cast<uint8_t>(dcs);
    if (!oneOf(g.cell(r, ColShift), {"-", "+", "Off"})) return "shift " + cell(ColShift) + " is not known";
    if (!csvOffsetAccepted(g.cell(r, ColOffset))) return "offset " + cell(ColOffset) + " is not one the radio holds";
    if (!oneOf(g.cell(r, ColSkip), {"*", ""})) return "skip " + cell(ColSkip) + " is neither \"*\" nor empty";
    const std::string name = g.cell(r, ColName);
    const std::string shown = NameCharTable::instance().filter(name);
    const std::string kept = fileSizedName(shown);
    if (kept != shown)
        nameNote = "name " + inQuotes(name) + " cut to " + inQuotes(kept) + ", what the radio holds";
    else if (shown != name)
        nameNote = "name " + inQuotes(name) + " became " + inQuotes(kept) + ": characters the radio cannot show were dropped";
    g.setCell(r, ColName, kept);
    return {};
}

}  // namespace

std::vector<std::string> csvFields(std::string_view line, std::vector<bool>* quoted) {
    std::vector<std::string> fields;
    if (quoted) quoted->clear();
    std::size_t i = 0;
    bool standard = true;
    for (;;) {
        std::string f;
        if (quoted) quoted->push_back(i < line.size() && line[i] == '"');
        if (i < line.size() && line[i] == '"') {
            bool closed = false;
            for (++i; i < line.size(); ++i) {
                if (line[i] != '"') {
                    f += line[i];
                } else if (i + 1 < line.size() && line[i + 1] == '"') {
                    f += '"';
                    ++i;
                } else {
                    closed = true;
                    ++i;
                    break;
                }
            }
            if (!closed || (i < line.size() && line[i] != ',')) {
                standard = false;
                break;
            }
        } else {
            const std::size_t end = std::min(line.find(',', i), line.size());
            f = std::string(line.substr(i, end - i));
            if (f.find('"') != std::string::npos) {
                standard = false;
                break;
            }
            i = end;
        }
        fields.push_back(std::move(f));
        if (i >= line.size()) break;
        if (++i == line.size()) {  // a comma ends the line: one more, empty field
            fields.emplace_back();
            if (quoted) quoted->push_back(false);
            break;
        }
    }
    if (standard) return fields;
    fields.clear();
    std::string s(line);
    s.erase(std::remove(s.begin(), s.end(), '"'), s.end());
    std::size_t from = 0;
    for (std::size_t comma; (comma = s.find(',', from)) != std::string::npos; from = comma + 1)
        fields.push_back(s.substr(from, comma - from));
    fields.push_back(s.substr(from));
    if (quoted) quoted->assign(fields.size(), false);  // not standard CSV: no field counts as quoted
    return fields;
}

std::string csvHeading() {
    std::vector<std::string> fields{""};
    ChannelGrid headings;
    for (int c = ColFreq; c <= ColName; ++c) fields.push_back(headings.cell(0, c));
    fields.push_back("0");
    return quoted(fields);
}

std::string csvExportBytes(const ChannelGrid& grid, const std::function<void(int)>& progress) {
    std::string text;
    text.reserve(200 * GridRows);
    std::vector<std::string> fields(14);
    for (int r = 0; r <= LastRow; ++r) {
        if (progress) progress(r);
        if (r == 0) {
            fields[0].clear();
            for (int c = ColFreq; c <= ColName; ++c) fields[static_cast<std::size_t>(c)] = grid.cell(0, c);
            fields[13] = "0";
        } else {
            fields[0] = grid.cell(r, ColLabel);
            exportedFields(grid, r, fields);
            fields[13] = std::to_string(r);
        }
        text += quoted(fields);
        text += "\r\n";
    }
    return toCp932(text);
}

bool csvFrequencyAccepted(const std::string& f) { return csvFrequencyProblem(f).empty(); }

std::string csvFrequencyProblem(const std::string& f) {
    const std::string notOne = "frequency " + inQuotes(f) + " is not a frequency";
    if (f.empty()) return "no frequency";
    if (f[0] == '.') return notOne;
    const std::size_t dot = f.find('.');
    if (dot == std::string::npos) {
        if (f.size() >= 5) return notOne;
    } else {
        if (dot + 1 > 5) return notOne;  // its 1-based position beyond 5
        const std::size_t after = f.size() - dot - 1;
        if (after == 0 || after > 5) return notOne;
    }
    const long long whole = leadingNumber(std::string_view(f).substr(0, dot));
    const long long fraction = dot == std::string::npos ? 0 : leadingNumber(std::string_view(f).substr(dot + 1));
    const long long v = whole * 100000 + fraction;
    if ((v > 82399999 && v < 85000000) || (v > 86899999 && v < 89500000))
        return "frequency " + inQuotes(f) + " is outside the bands";
    return {};
}

bool csvOffsetAccepted(const std::string& cell) {
    // Whole MHz of one to three digits, ".", three kHz digits and "MHz":
    // every offset the program shows, 0.000MHz to 999.995MHz.
    const std::size_t n = cell.size();
    if (n < 8 || n > 10 || cell.compare(n - 3, 3, "MHz") != 0) return false;
    const std::string value = cell.substr(0, n - 3);
    const std::size_t dot = value.size() - 4;
    if (value[dot] != '.') return false;
    const std::string mhz = value.substr(0, dot), khz = value.substr(dot + 1);
    if (!allDigits(mhz) || !allDigits(khz)) return false;
    return leadingNumber(mhz) * 1000 + leadingNumber(khz) <= OffsetHighest;
}

CsvImport parseCsv(std::string_view bytes, const ChannelGrid& grid, const std::function<void(int)>& progress) {
    CsvImport out;
    const std::string text = files::textFromFile(bytes);
    const std::vector<std::string_view> lines = files::splitLines(text);
    if (lines.empty()) return out;
    std::string heading(lines[0]);
    heading.erase(std::remove(heading.begin(), heading.end(), ','), heading.end());
    out.headingOk = heading == HeadingWithoutCommas || toU32(heading).size() == ExportedHeadingLength;
    if (!out.headingOk) return out;

    // The rows by their labels; a label two rows share names neither.
    std::unordered_map<std::string, int> rowOfLabel;
    for (int r = 1; r <= LastRow; ++r) {
        const std::string& label = grid.cell(r, ColLabel);
        if (label.empty()) continue;
        const auto [it, added] = rowOfLabel.emplace(label, r);
        if (!added) it->second = 0;
    }
    auto note = [&out](int line, int row, const std::string& label, std::string reason) {
        out.notes.push_back(CsvNote{line, row <= LastRow ? row : 0, label, std::move(reason)});
    };
    std::unordered_map<int, std::size_t> placed;  // row -> its line in out.lines
    std::vector<std::string> exported(14);
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const int lineNo = static_cast<int>(k) + 1;
        if (progress) progress(std::min(static_cast<int>(k), LastRow));
        const std::vector<std::string> fields = csvFields(lines[k]);
        const auto known = rowOfLabel.find(fields[0]);
        const int row = known != rowOfLabel.end() && known->second > 0 ? known->second : static_cast<int>(k);
        const std::string label = row <= LastRow ? grid.cell(row, ColLabel) : fields[0];
        if (fields.size() <= 12) {  // 11 commas or fewer
            if (!lines[k].empty())
                note(lineNo, row, label, "too few fields (" + std::to_string(fields.size()) + "); the line was skipped");
            continue;
        }
        if (row > LastImportedRow) {
            // An export's own line for such a row is no news; anything else is.
            bool same = row <= LastRow;
            if (same) exportedFields(grid, row, exported);
            for (int c = ColFreq; same && c <= ColName; ++c)
                same = fields[static_cast<std::size_t>(c)] == exported[static_cast<std::size_t>(c)];
            if (!same)
                note(lineNo, row, label,
                     row <= LastRow ? "row " + std::to_string(row) + " is never imported; the line was not read"
                                    : "there is no row " + std::to_string(row) + "; the line was not read");
            continue;
        }
        CsvLine placedLine{lineNo, row, {}};
        auto& cells = placedLine.cells;
        for (int c = ColFreq; c <= ColName; ++c) cells[static_cast<std::size_t>(c)] = fields[static_cast<std::size_t>(c)];
        if (const std::string problem = csvFrequencyProblem(cells[ColFreq]); problem.empty()) {
            cells[ColFreq] += "MHz";
        } else {
            bool holdsSomething = false;
            for (int c = ColFreq; c <= ColName; ++c) holdsSomething = holdsSomething || !cells[static_cast<std::size_t>(c)].empty();
            if (holdsSomething) note(lineNo, row, label, problem + "; the channel was left empty");
            cells.fill(std::string());
        }
        if (const auto before = placed.find(row); before != placed.end())
            note(out.lines[before->second].line, row, label,
                 "line " + std::to_string(lineNo) + " names the same row and was taken instead");
        placed[row] = out.lines.size();
        out.lines.push_back(std::move(placedLine));
    }
    return out;
}

std::vector<CsvNote> applyCsvImport(const CsvImport& import, ChannelGrid& g) {
    std::vector<CsvNote> notes = import.notes;
    const int row = g.row(), rowSel = g.rowSel();
    const bool redraw = g.redraw();
    g.setRedraw(false);
    std::vector<int> lineOf(GridRows, 0);
    for (const CsvLine& l : import.lines) {
        // A name as the export left it (its double-byte characters spaces)
        // is the row's own name, unchanged: it stays whole.
        const bool sameName = g.inUse(l.row) && l.cells[ColName] == singleByteName(g.nameString(l.row - 1));
        for (int c = ColFreq; c <= ColName; ++c)
            if (c != ColName || !sameName) g.setCell(l.row, c, l.cells[static_cast<std::size_t>(c)]);
        lineOf[static_cast<std::size_t>(l.row)] = l.line;
    }
    auto note = [&](int r, std::string reason) {
        notes.push_back(CsvNote{lineOf[static_cast<std::size_t>(r)], r, g.cell(r, ColLabel), std::move(reason)});
    };
    for (int r = 1; r <= LastImportedRow; ++r) {
        bool inUse = false;
        for (int c = ColFreq; c <= ColName; ++c) inUse = inUse || !g.cell(r, c).empty();
        std::string problem;
        if (inUse) {
            const std::string& cell = g.cell(r, ColFreq);
            const std::string freq = completedFrequency(cell);
            // A row with no frequency left holds no channel.
            inUse = freq != ".00000MHz" && freq.find_first_of("0123456789") != std::string::npos;
            if (!inUse) problem = "frequency " + inQuotes(cell) + " is not a frequency";
            else if (cell.find_first_not_of("0123456789.MHz") != std::string::npos)
                note(r, "frequency " + inQuotes(cell) + " read as " + freq);
            g.setCell(r, ColFreq, freq);
        }
        g.attr(r).inUse = inUse ? 1 : 0;
        std::string nameNote;
        if (inUse) problem = completeRow(g, r, nameNote);
        if (!problem.empty()) {
            note(r, problem + "; the channel was left empty");
            inUse = false;
        } else if (!nameNote.empty()) {
            note(r, nameNote);
        }
        if (!inUse) g.deleteRow(r);
    }
    for (int slot = 0; slot < TitleNameSlot; ++slot) {
        const int r = slot + 1;
        const bool named = r <= LastRow && g.inUse(r) && !g.cell(r, ColName).empty();
        g.setNameString(slot, named ? displayToName(g.cell(r, ColName)) : "");
    }
    g.selectRow(row);
    g.setSelection(row, rowSel);
    g.setRedraw(redraw);
    // Rows no line filled come last; the others in the order of their lines.
    std::stable_sort(notes.begin(), notes.end(), [](const CsvNote& a, const CsvNote& b) {
        return (a.line == 0 ? INT32_MAX : a.line) < (b.line == 0 ? INT32_MAX : b.line);
    });
    return notes;
}

std::string csvNotesText(const std::vector<CsvNote>& notes, const std::string& heading) {
    std::string text = heading;
    for (const CsvNote& n : notes) {
        text += '\n';
        text += n.line > 0 ? "Line " + std::to_string(n.line) : "Row " + std::to_string(n.row);
        if (!n.label.empty()) text += " (" + n.label + ")";
        text += ": " + n.reason;
    }
    return text;
}

}  // namespace tqm5
