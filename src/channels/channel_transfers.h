#pragma once
// Memory Read, Memory Write, One Memory Read and One Memory Write: moving
// channel records between the grid and the radio.
#include "channels/channel_grid.h"
#include "protocol/host.h"
#include "protocol/serial_link.h"
#include "protocol/transfer_state.h"

namespace tqm5 {

enum class TransferOutcome { Ignored, Success, Error, PortError, Closed };

struct TransferContext {
    ChannelGrid& grid;
    TransferState& state;
    SerialLink& link;
    Host& host;
    int portNumber = 1;
    int timeoutMs = 1000;
};

constexpr int ReadFailureBudget = 30;
constexpr int WriteFailureBudget = 20;

TransferOutcome memoryRead(TransferContext ctx);
TransferOutcome memoryWrite(TransferContext ctx);
TransferOutcome oneMemoryRead(TransferContext ctx);
TransferOutcome oneMemoryWrite(TransferContext ctx);

// Run at the end of every transfer, successful or not: progress back to 0,
// busy cleared, the grid repainting with row 1 selected, controls enabled.
void endOfTransferReset(TransferState& state, ChannelGrid& grid, Host& host);

// Every row 1-1602 except the call rows that holds no channel shows nothing.
void blankEmptyRows(ChannelGrid& grid);

// The messages every transfer ends with.
extern const char* const SuccessText;    // "Success"
extern const char* const FinishTitle;    // " Finish"
extern const char* const ErrorText;      // "Error"
extern const char* const ErrorTitle;     // " Error"
extern const char* const PortErrorText;  // "Port Error"

}  // namespace tqm5
