#pragma once
// Memory Read, Memory Write, One Memory Read and One Memory Write: moving
// channel records between the grid and the radio, as plans for the
// transfer engine.
#include "channels/channel_grid.h"
#include "engine/session.h"
#include "protocol/host.h"
#include "protocol/transfer_state.h"

namespace tqm5 {

using TransferOutcome = engine::Outcome;
using engine::ErrorText;
using engine::ErrorTitle;
using engine::FinishTitle;
using engine::PortErrorText;
using engine::SuccessText;

constexpr int ReadFailureBudget = 30;
constexpr int WriteFailureBudget = 20;
// The pass-channel index: block 1, blocks 2 to 11 together, block 12.
constexpr int IndexFirstBudget = 3, IndexMiddleBudget = 10, IndexLastBudget = 2;

// Reads rows first..last; `full` is Memory Read (progress over 1704, row
// div 17 percent), otherwise One Memory Read (progress per row of the range).
// `lastRowRead`, when given, follows the last row read and decoded.
engine::Plan channelReadPlan(ChannelGrid& grid, Host& host, int first, int last, bool full,
                             int* lastRowRead = nullptr);
// Writes rows first..last, then the pass-channel index when the range
// holds a pass row (always for the full write).
engine::Plan channelWritePlan(ChannelGrid& grid, Host& host, int first, int last, bool full);

// The grid's part of the end-of-transfer reset: repainting again, row 1
// selected, the highlight on.
void resetGridAfterTransfer(ChannelGrid& grid);

// Every row 1-1602 except the call rows that holds no channel shows nothing.
void blankEmptyRows(ChannelGrid& grid);

// Every record an image holds, into its row as Memory Read leaves it (the
// empty rows blanked). 0 when every record could be used; otherwise the
// first row whose record could not (the grid then half taken: decode into a
// grid of its own).
int takeChannels(const RadioImage& image, ChannelGrid& grid);

}  // namespace tqm5
