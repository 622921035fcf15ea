#pragma once
// Channel rows as tab-separated text, the way spreadsheets give and take
// them: one line per row holding the twelve columns of the grid from
// "Freqency" to "Name", as the grid shows them ("145.00000MHz", "FM",
// "5KHz", "2300Hz", "None", "88.5Hz", "88.5Hz", "023", "Off", "0.000MHz",
// "*" or nothing, the name with ":1~" .. ":8~"). The row label is left out,
// so that a block pastes onto any rows; a line of thirteen fields (a block
// copied with its labels) has its first field taken as the label and
// ignored. An empty row is a line of empty fields.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channels/channel_grid.h"

namespace tqm5 {

// Rows first..last as text, each line ended by CR LF.
std::string rowsAsText(const ChannelGrid& grid, int first, int last);

// A line paste did not take, and why.
struct PasteNote {
    int line = 0;  // line of the text, from 1
    int row = 0;   // the grid row it was for (0: beyond the last row)
    std::string label;
    std::string reason;
    bool operator==(const PasteNote&) const = default;
};

// A line that passed every check: the channel for its row, or none (an
// empty line empties its row).
struct PasteLine {
    int line = 0;
    int row = 0;
    std::optional<ChannelEdit> channel;
};

struct PastePlan {
    bool holdsRows = false;  // some line has the shape of a channel row
    std::vector<PasteLine> lines;
    std::vector<PasteNote> refused;
    int lastRow = 0;         // the row the last line was for
};

// Checks every line of `text` for the rows from `firstRow` on, as the
// detail editor checks its fields: the frequency must be one the row
// holds, every list value one of its list, the offset and the name ones the
// radio holds. A line that fails any check is refused whole. The call rows
// keep a channel of their band and the bug rows are never changed.
PastePlan planPaste(const ChannelGrid& grid, std::string_view text, int firstRow);
// Writes the lines that passed; a pass channel whose frequency another pass
// channel holds is refused then. Returns the plan's refusals and these, in
// line order.
std::vector<PasteNote> applyPaste(ChannelGrid& grid, const PastePlan& plan);
// The refusals as one message, a line each.
std::string pasteNotesText(const std::vector<PasteNote>& notes);

}  // namespace tqm5
