#include "app/channel_print.h"

#include <algorithm>

#include "files/common_csv.h"

namespace tqm5 {

const char* const PrintTitle = "TQ-M5 channel list";

const std::vector<int> PrintColumns{ColLabel,  ColFreq,  ColMode,  ColStep,   ColToneMode, ColTxTone,
                                    ColRxTone, ColDcs,   ColShift, ColOffset, ColSkip,     ColName};

namespace {

// The section a row is printed under.
std::string sectionOf(const ChannelGrid& grid, int row) {
    if (row < FirstPrgRow) {
        // "Bank012-15": the bank; rows labelled by their number alone (a
        // layout that does not total 1000) are one list.
        const std::string& label = grid.cell(row, ColLabel);
        return label.rfind("Bank", 0) == 0 && label.size() > 7 ? "Bank " + label.substr(4, 3) : "Memory channels";
    }
    if (row < FirstDualRow) return "Program scan edges";
    if (row <= LastDualRow) return "Dual memories";
    if (row < CallVhfRow) return "Priority channels";
    if (isCallRow(row)) return "Call channels";
    if (row <= LastPassRow) return "Pass channels";
    if (row < FirstBugRow) return "Transmitter search channels";
    return "Bug detector channels";
}

}  // namespace

std::vector<PrintPage> printPages(const ChannelGrid& grid, int rowsPerPage) {
    rowsPerPage = std::max(rowsPerPage, 1);
    std::vector<PrintPage> pages;
    std::string section;
    for (int row : commonCsvExportRows(grid)) {
        const std::string s = sectionOf(grid, row);
        if (s != section) {
            pages.push_back(PrintPage{s, {}});
            section = s;
        } else if (static_cast<int>(pages.back().rows.size()) == rowsPerPage) {
            pages.push_back(PrintPage{s + " (continued)", {}});
        }
        pages.back().rows.push_back(row);
    }
    return pages;
}

}  // namespace tqm5
