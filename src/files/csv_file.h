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

// The rows an import fills: cells 1 to 12 of grid row k for line k + 1,
// rows 1 to 1603 at most. A line with too few fields leaves its row alone
// (nullopt).
struct CsvImport {
    bool headingOk = false;
    std::vector<std::optional<std::array<std::string, GridCols>>> rows;  // index 0 is row 1
};
// Reads and checks the file; the grid is not touched.
CsvImport parseCsv(std::string_view bytes, const std::function<void(int row)>& progress = {});
// Fills the rows, then checks every in-use row of 1 to 1603: a row whose
// fields the radio cannot hold is emptied. Names and hidden codes follow
// the cells.
void applyCsvImport(const CsvImport& import, ChannelGrid& grid);

// Checks of single fields, as the import applies them.
bool csvFrequencyAccepted(const std::string& field);
bool csvOffsetAccepted(const std::string& cell);

}  // namespace tqm5
