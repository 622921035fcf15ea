#pragma once
// Arranging and searching the channel rows: sorting the selected bank rows,
// moving a selected block up or down among the rows of its kind, and
// finding a channel by part of its name or its frequency. None of these
// checks whether a transfer runs: the caller does.
#include <string_view>

#include "channels/channel_grid.h"

namespace tqm5 {

enum class SortKey { Frequency, Name };
// Sorts the selected rows of the banks (rows 1 to 1000; others in the
// selection stay as they are): channels by frequency (or by name, then
// frequency), the rows holding none after them; equal ones keep their
// order. Every row moves whole. False when fewer than two bank rows are
// selected.
bool sortSelectedRows(ChannelGrid& grid, SortKey key);

enum class MoveResult { Moved, AtEdge, MixedKinds, Fixed };
// Moves the selected block one row up (direction -1) or down (+1) within
// the rows of its kind (the banks, PRG, Dual, PRIO, PASS or TSF rows); PRG
// and Dual rows move by whole pairs. The row it passes takes the place the
// block left; the selection follows the block. The call and bug rows never
// move.
MoveResult moveSelectedRows(ChannelGrid& grid, int direction);

// Whether an in-use row's name holds `query` (letters of any case) or its
// frequency starts with it ("145.5" finds 145.50000MHz).
bool rowMatches(const ChannelGrid& grid, int row, std::string_view query);
// The first matching row after `after`, from the top again after the last
// row (`after` itself last); 0 when none matches.
int findRow(const ChannelGrid& grid, std::string_view query, int after);

}  // namespace tqm5
