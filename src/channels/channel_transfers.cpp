#include "channels/channel_transfers.h"

#include <algorithm>

#include "channels/pass_index.h"
#include "channels/record_codec.h"
#include "protocol/clone_protocol.h"

namespace tqm5 {

const char* const SuccessText = "Success";
const char* const FinishTitle = " Finish";
const char* const ErrorText = "Error";
const char* const ErrorTitle = " Error";
const char* const PortErrorText = "Port Error";

namespace {

// A record the radio sent that no table can show ends the read like a port
// error would.
struct UndecodableRecord {};

std::string percent(int v) { return std::to_string(v) + "%"; }

class Run {
public:
    Run(TransferContext& c, int busyCode) : c_(c), proto_(c.link, c.host, c.state, c.portNumber, c.timeoutMs) {
        c_.state.busy = busyCode;
        proto_.configure();
    }

    TransferContext& c_;
    CloneProtocol proto_;
    int failures = 0;

    bool identify() {
        for (int attempt = 0; attempt < 3; ++attempt) {
            c_.host.processEvents();
            if (proto_.identify()) return true;
        }
        return false;
    }

    // Reads and decodes one row, retrying under the run's budget.
    bool readRow(int row) {
        for (;;) {
            auto data = proto_.readBlock(addressOfRow(row), 64);
            if (data) {
                c_.host.processEvents();
                Record rec;
                std::copy(data->begin(), data->end(), rec.begin());
                if (decodeRecord(c_.grid, row, rec) == DecodeResult::Invalid) throw UndecodableRecord{};
                return true;
            }
            if (++failures >= ReadFailureBudget) return false;
        }
    }

    bool writeRow(int row) {
        const Record rec = encodeRecord(c_.grid, row);
        const Bytes data(rec.begin(), rec.end());
        for (;;) {
            if (proto_.writeBlock(addressOfRow(row), data)) return true;
            if (++failures >= WriteFailureBudget) return false;
        }
    }

    bool writeBlockWithBudget(const PassIndexBlock& b, int& budgetUsed, int budget) {
        for (;;) {
            if (proto_.writeBlock(b.address, b.data)) return true;
            if (++budgetUsed >= budget) return false;
        }
    }

    // The index is rewritten after pass channels changed: 3 tries for block
    // 1, 10 shared by blocks 2-11, 2 for block 12.
    bool writePassIndex() {
        const auto blocks = passIndexBlocks(buildPassIndex(c_.grid));
        int used = 0;
        if (!writeBlockWithBudget(blocks[0], used, 3)) return false;
        c_.host.setProgressValue(20);
        c_.host.setProgressText(percent(20));
        used = 0;
        for (int L = 2; L <= 11; ++L) {
            if (!writeBlockWithBudget(blocks[L - 1], used, 10)) return false;
            c_.host.setProgressValue(5 * L + 20);
            c_.host.setProgressText(percent(5 * L + 20));
        }
        used = 0;
        return writeBlockWithBudget(blocks[11], used, 2);
    }

    TransferOutcome succeed(bool read) {
        proto_.endSession();
        c_.host.setProgressText(percent(100));
        if (read) {
            c_.host.processEvents();
            blankEmptyRows(c_.grid);
        }
        if (c_.state.quiet == QuietNormal) {
            c_.grid.setRedraw(true);
            c_.host.message(SuccessText, FinishTitle);
        }
        c_.state.quiet = QuietNormal;
        endOfTransferReset(c_.state, c_.grid, c_.host);
        c_.host.setProgressValue(0);
        return TransferOutcome::Success;
    }

    TransferOutcome fail() {
        proto_.endSession();
        c_.state.quiet = QuietFailed;
        endOfTransferReset(c_.state, c_.grid, c_.host);
        c_.state.busy = Idle;
        failures = 0;
        c_.grid.setRedraw(true);
        c_.host.message(ErrorText, ErrorTitle);
        return TransferOutcome::Error;
    }

    TransferOutcome portError() {
        proto_.endSession();
        c_.state.quiet = QuietFailed;
        endOfTransferReset(c_.state, c_.grid, c_.host);
        c_.host.message(PortErrorText, ErrorTitle);
        c_.state.busy = Idle;
        if (c_.link.isOpen()) c_.link.close();
        return TransferOutcome::PortError;
    }

    TransferOutcome closed() {
        // The window is going away; it already ran the reset. Leave nothing open.
        if (c_.link.isOpen()) c_.link.close();
        c_.state.busy = Idle;
        c_.grid.setRedraw(true);
        return TransferOutcome::Closed;
    }
};

template <typename Body>
TransferOutcome guarded(TransferContext& ctx, int busyCode, Body body) {
    if (ctx.state.busyNow()) return TransferOutcome::Ignored;
    Run run(ctx, busyCode);
    try {
        return body(run);
    } catch (const PortError&) {
        return run.portError();
    } catch (const UndecodableRecord&) {
        return run.portError();
    } catch (const TransferClosed&) {
        return run.closed();
    }
}

// Runs `step` on every row of the range with the progress display of the
// run; false as soon as a row used up the failure budget.
template <typename Step>
bool walkRows(TransferContext& ctx, int first, int last, bool full, Step step) {
    const int count = last - first + 1;
    for (int row = first; row <= last; ++row) {
        ctx.host.processEvents();
        ctx.grid.selectRow(row);
        const int done = row - first;
        ctx.host.setProgressValue(full ? row : done + 1);
        if (full) ctx.host.setProgressText(percent(row / 17));
        if (!step(row)) return false;
        if (!full) ctx.host.setProgressText(percent((done + 1) * 100 / count));
    }
    if (full) {
        ctx.host.setProgressText(percent(100));
        ctx.host.setProgressValue(1704);
    }
    return true;
}

TransferOutcome readRange(TransferContext& ctx, int busyCode, int first, int last, bool full) {
    return guarded(ctx, busyCode, [&](Run& run) {
        ctx.grid.setHighlight(false);
        if (!run.identify()) return run.fail();
        ctx.host.setProgressMax(full ? 1704 : last - first + 1);
        ctx.host.setProgressValue(0);
        run.failures = 0;
        ctx.grid.setRedraw(false);
        if (!walkRows(ctx, first, last, full, [&](int row) { return run.readRow(row); })) return run.fail();
        return run.succeed(true);
    });
}

TransferOutcome writeRange(TransferContext& ctx, int busyCode, int first, int last, bool full) {
    if (ctx.state.busyNow()) return TransferOutcome::Ignored;
    ctx.host.setProgressValue(0);
    ctx.host.setProgressMax(full ? 1704 : last - first + 1);
    ctx.grid.setHighlight(false);
    if (full) ctx.grid.selectRow(1);
    return guarded(ctx, busyCode, [&](Run& run) {
        run.failures = 0;
        ctx.grid.setRedraw(false);
        if (!run.identify()) return run.fail();
        if (!walkRows(ctx, first, last, full, [&](int row) { return run.writeRow(row); })) return run.fail();
        // The radio's pass-channel index follows the pass channels it holds.
        if (full || (first <= LastPassRow && last >= FirstPassRow)) {
            ctx.host.setProgressMax(100);
            ctx.host.setProgressValue(0);
            run.failures = 0;
            if (!run.writePassIndex()) return run.fail();
        }
        ctx.host.setProgressValue(100);
        return run.succeed(false);
    });
}

}  // namespace

void endOfTransferReset(TransferState& state, ChannelGrid& grid, Host& host) {
    host.setProgressText("0%");
    state.busy = Idle;
    grid.setRedraw(true);
    grid.selectRow(1);
    grid.setHighlight(true);
    host.enableTransferControls();
    host.setProgressValue(0);
}

void blankEmptyRows(ChannelGrid& grid) {
    for (int row = 1; row <= 1602; ++row) {
        if (isCallRow(row) || grid.inUse(row)) continue;
        for (int c = 1; c < GridCols; ++c) grid.setCell(row, c, "");
        grid.setNameString(row - 1, "");
    }
}

TransferOutcome memoryRead(TransferContext ctx) { return readRange(ctx, BusyMemoryRead, 1, LastRow, true); }

TransferOutcome memoryWrite(TransferContext ctx) { return writeRange(ctx, BusyMemoryWrite, 1, LastRow, true); }

TransferOutcome oneMemoryRead(TransferContext ctx) {
    return readRange(ctx, BusyOneMemoryRead, ctx.grid.rangeFirst(), ctx.grid.rangeLast(), false);
}

TransferOutcome oneMemoryWrite(TransferContext ctx) {
    return writeRange(ctx, BusyOneMemoryWrite, ctx.grid.rangeFirst(), ctx.grid.rangeLast(), false);
}

}  // namespace tqm5
