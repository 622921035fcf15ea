#include "files/csv_file.h"

#include <algorithm>

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

std::string quoted(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line += ',';
        line += '"';
        line += fields[i];
        line += '"';
    }
    return line;
}

// The name as a spreadsheet gets it: double-byte characters become spaces.
std::string singleByteName(const std::string& name) {
    std::string out;
    for (char32_t c : toU32(name)) {
        if (cp932Code(c) > 0xFF) out += ' ';
        else out += toUtf8(c);
    }
    return out;
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
        std::size_t end = name.size() - 1;
        while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
        name.resize(end);
    }
    return name;
}

// Checks an in-use row's cells in order; false at the first one the radio
// cannot hold. Hidden codes follow the cells that pass.
bool completeRow(ChannelGrid& g, int r) {
    RowAttributes& a = g.attr(r);
    if (!oneOf(g.cell(r, ColMode), {"FM", "AM", "NFM", "WFM"})) return false;
    const int step = StepTable.indexOf(g.cell(r, ColStep));
    if (step < 0) return false;
    a.step = static_cast<uint8_t>(step);
    const int train = trainIndexOf(g.cell(r, ColCarrier));
    if (train < 0) return false;
    a.train = static_cast<uint8_t>(train);
    if (!oneOf(g.cell(r, ColToneMode), {"None", "Tone", "TSQ", "SQ", "DCS", "Train"})) return false;
    const int tx = ToneTable.indexOf(g.cell(r, ColTxTone)), rx = ToneTable.indexOf(g.cell(r, ColRxTone));
    if (tx < 0 || rx < 0) return false;
    a.txTone = static_cast<uint8_t>(tx);
    a.rxTone = static_cast<uint8_t>(rx);
    // Any text whose leading number is a code of the table: "23", "023", "23.0".
    const std::string& dcsText = g.cell(r, ColDcs);
    int dcs = -1;
    for (int i = 0; i < DcsTable.count && dcs < 0; ++i)
        if (leadingNumber(*DcsTable.text(i)) == leadingNumber(dcsText)) dcs = i;
    if (dcs < 0) return false;
    g.setCell(r, ColDcs, *DcsTable.text(dcs));
    a.dcs = static_cast<uint8_t>(dcs);
    if (!oneOf(g.cell(r, ColShift), {"-", "+", "Off"})) return false;
    if (!csvOffsetAccepted(g.cell(r, ColOffset))) return false;
    if (!oneOf(g.cell(r, ColSkip), {"*", ""})) return false;
    g.setCell(r, ColName, fileSizedName(NameCharTable::instance().filter(g.cell(r, ColName))));
    return true;
}

}  // namespace

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
            const std::string& freq = grid.cell(r, ColFreq);
            fields[1] = freq.size() > 3 ? freq.substr(0, freq.size() - 3) : freq;
            for (int c = ColMode; c <= ColSkip; ++c) fields[static_cast<std::size_t>(c)] = grid.cell(r, c);
            fields[12] = singleByteName(grid.nameString(r - 1));
            fields[13] = std::to_string(r);
        }
        text += quoted(fields);
        text += "\r\n";
    }
    return files::toCp932(text);
}

bool csvFrequencyAccepted(const std::string& f) {
    if (f.empty() || f[0] == '.') return false;
    const std::size_t dot = f.find('.');
    if (dot == std::string::npos) {
        if (f.size() >= 5) return false;
    } else {
        if (dot + 1 > 5) return false;  // its 1-based position beyond 5
        const std::size_t after = f.size() - dot - 1;
        if (after == 0 || after > 5) return false;
    }
    const long long whole = leadingNumber(std::string_view(f).substr(0, dot));
    const long long fraction = dot == std::string::npos ? 0 : leadingNumber(std::string_view(f).substr(dot + 1));
    const long long v = whole * 100000 + fraction;
    return !((v > 82399999 && v < 85000000) || (v > 86899999 && v < 89500000));
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

CsvImport parseCsv(std::string_view bytes, const std::function<void(int)>& progress) {
    CsvImport out;
    const std::vector<std::string_view> lines = files::splitLines(bytes);
    if (lines.empty()) return out;
    std::string heading = files::fromCp932(lines[0]);
    heading.erase(std::remove(heading.begin(), heading.end(), ','), heading.end());
    out.headingOk = heading == HeadingWithoutCommas || toU32(heading).size() == ExportedHeadingLength;
    if (!out.headingOk) return out;
    for (std::size_t k = 1; k < lines.size() && k <= static_cast<std::size_t>(LastImportedRow); ++k) {
        if (progress) progress(static_cast<int>(k));
        std::string s = files::fromCp932(lines[k]);
        s.erase(std::remove(s.begin(), s.end(), '"'), s.end());
        const auto commas = std::count(s.begin(), s.end(), ',');
        if (s.empty() || s.back() != ',') s += ',';
        if (commas <= 11) {
            out.rows.emplace_back(std::nullopt);
            continue;
        }
        std::array<std::string, GridCols> cells;
        std::size_t pos = s.find(',') + 1;  // the row label is not read
        for (int c = ColFreq; c <= ColName; ++c) {
            const std::size_t comma = s.find(',', pos);
            if (comma == std::string::npos) break;  // a missing last field stays empty
            cells[static_cast<std::size_t>(c)] = s.substr(pos, comma - pos);
            pos = comma + 1;
        }
        if (csvFrequencyAccepted(cells[ColFreq])) cells[ColFreq] += "MHz";
        else cells.fill(std::string());
        out.rows.emplace_back(std::move(cells));
    }
    return out;
}

void applyCsvImport(const CsvImport& import, ChannelGrid& g) {
    const int row = g.row(), rowSel = g.rowSel();
    const bool redraw = g.redraw();
    g.setRedraw(false);
    for (std::size_t i = 0; i < import.rows.size(); ++i) {
        if (!import.rows[i]) continue;
        const int r = static_cast<int>(i) + 1;
        for (int c = ColFreq; c <= ColName; ++c) g.setCell(r, c, (*import.rows[i])[static_cast<std::size_t>(c)]);
    }
    for (int r = 1; r <= LastImportedRow; ++r) {
        bool inUse = false;
        for (int c = ColFreq; c <= ColName; ++c) inUse = inUse || !g.cell(r, c).empty();
        if (inUse) {
            const std::string freq = completedFrequency(g.cell(r, ColFreq));
            // A row with no frequency left holds no channel.
            inUse = freq != ".00000MHz" && freq.find_first_of("0123456789") != std::string::npos;
            g.setCell(r, ColFreq, freq);
        }
        g.attr(r).inUse = inUse ? 1 : 0;
        if (inUse && !completeRow(g, r)) inUse = false;
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
}

}  // namespace tqm5
