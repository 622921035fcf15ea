#pragma once
// The channel list in the CSV column layout other radio programmers share
// (Location, Name, Frequency, Duplex, Offset, Tone, rToneFreq, cToneFreq,
// DtcsCode, DtcsPolarity, Mode, TStep, Skip, Comment, URCALL, RPT1CALL,
// RPT2CALL, DVCODE): the mapping between its fields and what a row holds,
// both ways. A line the radio cannot hold is refused whole and said why.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channels/channel_grid.h"
#include "files/csv_file.h"

namespace tqm5 {

// The heading export writes.
std::string commonCsvHeading();

// Rows written by an export. Several rows selected: the in-use rows among
// them. One row selected: every in-use row except the bug-detector presets.
std::vector<int> commonCsvExportRows(const ChannelGrid& grid);

struct CommonCsvExport {
    std::string bytes;            // UTF-8, CR LF
    int channels = 0;
    std::vector<CsvNote> notes;   // rows written without something the layout has no field for
};
// Writes `rows` (in-use rows only) as lines. Location is the channel
// number (row - 1), Comment the row label.
CommonCsvExport commonCsvExport(const ChannelGrid& grid, const std::vector<int>& rows);

// One line as the radio would hold it, before a row is chosen for it.
struct CommonChannel {
    int line = 0;
    long long freq10Hz = 0;
    int modeOption = 0;       // the detail editor's order: FM, AM, NFM, WFM
    int stepIndex = 0;
    int toneModeOption = 0;   // None, Tone, TSQ, SQ, DCS, Train
    int txTone = 8, rxTone = 8, dcs = 0;
    int shiftOption = 0;      // Off, +, -
    long long offsetKhz = 0;
    bool skip = false;
    std::string name;         // as the grid shows it, user characters ":1~"
};

struct CommonCsvRead {
    bool headingOk = false;
    std::string headingProblem;          // why the first line is no common-layout heading
    std::vector<CommonChannel> channels; // the lines the radio can hold, in file order
    std::vector<CsvNote> notes;          // lines refused (with no row) and fields changed
};
// True when the first line of `bytes` reads as a common-layout heading.
bool isCommonCsv(std::string_view bytes);
// Reads every line; a line with a field the radio cannot hold is refused
// whole. The row a line goes to is decided by applyCommonCsv.
CommonCsvRead parseCommonCsv(std::string_view bytes);

// The rows an import fills, in order: several rows selected, those rows;
// one row, from it to the last row of its kind (the ordinary channels end
// at row 1000, the priority channels at 1400, and so on). Bug-detector rows
// are never filled.
std::vector<int> commonCsvTargetRows(const ChannelGrid& grid);

struct CommonCsvApplied {
    int stored = 0;
    int firstRow = 0, lastRow = 0;  // the rows written (0: none)
    std::vector<CsvNote> notes;     // in line order
};
// Places the channels into `rows` one per line; a channel a row cannot hold
// (its band, AM or WFM on a call or dual row, a pass frequency another pass
// row holds) is refused and takes no row. Lines beyond the last row are
// listed. Each written row is replaced whole.
CommonCsvApplied applyCommonCsv(const CommonCsvRead& read, ChannelGrid& grid, const std::vector<int>& rows);

}  // namespace tqm5
