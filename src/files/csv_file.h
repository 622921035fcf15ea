#pragma once
// The channel list as comma-separated text for spreadsheets: export of every
// grid row, and an import that checks every field and drops the channels
// whose fields the radio cannot hold.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channels/channel_grid.h"

namespace tqm5 {

// The heading line as export writes it, without its line end.
std::string csvHeading();
// The whole file: heading and rows 1 to 1623, code page 932, CR LF.
// `progress` (if set) is told each row as it is written.
std::string csvExportBytes(const ChannelGrid& grid, const std::function<void(int row)>& progress = {});

// Something of a data line an import did not take as written.
struct CsvNote {
    int line = 0;        // line of the file (the heading is line 1); 0: a row no line filled
    int row = 0;         // the grid row it concerns (0: none)
    std::string label;   // the row label
    std::string reason;  // what happened and why
    bool operator==(const CsvNote&) const = default;
};

// One data line, placed: the row its label names (any label column 0 of
// the grid shows), else the row of its position (the k-th data line fills
// row k).
struct CsvLine {
    int line = 0;
    int row = 0;
    std::array<std::string, GridCols> cells;  // columns 1 to 12
};

struct CsvImport {
    bool headingOk = false;
    std::vector<CsvLine> lines;  // in file order: a later line for the same row wins
    std::vector<CsvNote> notes;  // lines skipped, refused or overridden
};
// Reads and checks the file (UTF-8 or code page 932, fields in standard CSV
// quoting or as older exports wrote them) against the labels of `grid`;
// the grid is not touched. Rows 1604 to 1623 are never filled.
CsvImport parseCsv(std::string_view bytes, const ChannelGrid& grid,
                   const std::function<void(int row)>& progress = {});
// Fills the rows, then checks every in-use row of 1 to 1603: a row whose
// fields the radio cannot hold is emptied. Names and hidden codes follow
// the cells. Returns the parser's notes and its own, in line order.
std::vector<CsvNote> applyCsvImport(const CsvImport& import, ChannelGrid& grid);
// The fields of a line. A line in standard CSV quoting (a quoted field runs
// to its closing quote, "" inside it is one quote) is read that way; any
// other line as older exports were read: every quote removed, then split at
// each comma.
// `quoted`, when given, tells per field whether it stood in quotes (its
// text is then exactly what they held).
std::vector<std::string> csvFields(std::string_view line, std::vector<bool>* quoted = nullptr);
// The notes as the message lists them, one line each.
std::string csvNotesText(const std::vector<CsvNote>& notes,
                         const std::string& heading = "These lines were not taken as written:");

// Checks of single fields, as the import applies them.
bool csvFrequencyAccepted(const std::string& field);
// Why a frequency field is refused; empty when it is accepted.
std::string csvFrequencyProblem(const std::string& field);
bool csvOffsetAccepted(const std::string& cell);

}  // namespace tqm5
