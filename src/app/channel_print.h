#pragma once
// The channel list on paper: which rows are printed, under which heading,
// and how they fall onto pages. The window draws the pages.
#include <string>
#include <vector>

#include "channels/channel_grid.h"

namespace tqm5 {

extern const char* const PrintTitle;  // "TQ-M5 channel list", the head of every page

// The columns a printed row shows, in order (the grid's, without the
// hidden carrier column).
extern const std::vector<int> PrintColumns;

struct PrintPage {
    std::string heading;    // "Bank 003", "Priority channels" ...; " (continued)" on a section's later pages
    std::vector<int> rows;  // grid rows, in order
};

// The in-use rows of the selection, or every in-use row but the
// bug-detector presets when one row is selected (as the common CSV export
// takes them), bank by bank and then each kind of special row, every
// section on a page of its own; a section longer than `rowsPerPage`
// continues on the next pages.
std::vector<PrintPage> printPages(const ChannelGrid& grid, int rowsPerPage);

}  // namespace tqm5
