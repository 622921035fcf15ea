#include "channels/channel_transfers.h"

#include <memory>

#include "channels/pass_index.h"
#include "channels/record_codec.h"

namespace tqm5 {
namespace {

using engine::Block;
using engine::Plan;

// The full transfers count rows on a bar of 1704 and show row div 17 as
// the percentage.
constexpr int FullProgressMax = 1704;
constexpr int FullPercentDivisor = 17;

void selectForTransfer(ChannelGrid& grid, Host& host, int row) {
    host.processEvents();
    grid.selectRow(row);
}

// The progress of row `row`, the `done`th (from 0) of `count`.
void rowProgress(Block& b, int row, int done, int count, bool full) {
    if (full) {
        b.before = {row, row / FullPercentDivisor};
    } else {
        b.before = {done + 1, -1};
        b.after = {-1, (done + 1) * 100 / count};
    }
}

void fullRangeCompleted(Host& host) {
    host.setProgressText(engine::percentText(100));
    host.setProgressValue(FullProgressMax);
}

// The twelve blocks of the pass-channel index, built from the grid when the
// first of them is sent (after every row is written).
void appendPassIndex(Plan& plan, ChannelGrid& grid) {
    const int first = static_cast<int>(plan.budgets.size());
    plan.budgets.insert(plan.budgets.end(), {IndexFirstBudget, IndexMiddleBudget, IndexLastBudget});
    auto blocks = std::make_shared<std::vector<PassIndexBlock>>();
    for (int L = 1; L <= 12; ++L) {
        Block b;
        b.kind = Block::Kind::Write;
        b.address = radio::PassIndex.address + 63u * uint32_t(L - 1);
        b.budget = first + (L == 1 ? 0 : L <= 11 ? 1 : 2);
        if (L == 1) {
            b.prepare = [&grid, blocks] { *blocks = passIndexBlocks(buildPassIndex(grid)); };
            b.before = {0, -1, 100};  // the index has a bar of its own
            b.after = {20, 20};
        } else if (L <= 11) {
            b.after = {5 * L + 20, 5 * L + 20};
        }
        b.encode = [blocks, L] { return (*blocks)[static_cast<std::size_t>(L - 1)].data; };
        plan.blocks.push_back(std::move(b));
    }
}

}  // namespace

Plan channelReadPlan(ChannelGrid& grid, Host& host, int first, int last, bool full, int* lastRowRead) {
    Plan plan;
    const int count = last - first + 1;
    plan.busyCode = full ? BusyMemoryRead : BusyOneMemoryRead;
    plan.what = "channels";
    plan.budgets = {ReadFailureBudget};
    plan.progressMax = full ? FullProgressMax : count;
    plan.progressOnceIdentified = true;
    plan.prepare = [&grid] { grid.setHighlight(false); };
    plan.identified = [&grid] { grid.setRedraw(false); };
    plan.blocks.reserve(static_cast<std::size_t>(count));
    for (int row = first; row <= last; ++row) {
        Block b;
        b.kind = Block::Kind::Read;
        b.address = addressOfRow(row);
        b.length = radio::ChannelRecordBytes;
        rowProgress(b, row, row - first, count, full);
        b.prepare = [&grid, &host, row] { selectForTransfer(grid, host, row); };
        b.decode = [&grid, row](const Bytes& data) {
            Record rec;
            std::copy(data.begin(), data.end(), rec.begin());
            return decodeRecord(grid, row, rec) != DecodeResult::Invalid;
        };
        if (lastRowRead) b.accepted = [lastRowRead, row] { *lastRowRead = row; };
        plan.blocks.push_back(std::move(b));
    }
    if (full) plan.completed = [&host] { fullRangeCompleted(host); };
    plan.succeeded = [&grid, &host] {
        host.processEvents();
        blankEmptyRows(grid);
    };
    return plan;
}

Plan channelWritePlan(ChannelGrid& grid, Host& host, int first, int last, bool full) {
    Plan plan;
    const int count = last - first + 1;
    plan.busyCode = full ? BusyMemoryWrite : BusyOneMemoryWrite;
    plan.what = "channels";
    plan.budgets = {WriteFailureBudget};
    plan.progressMax = full ? FullProgressMax : count;
    plan.prepare = [&grid, full] {
        grid.setHighlight(false);
        if (full) grid.selectRow(1);
        grid.setRedraw(false);
    };
    plan.blocks.reserve(static_cast<std::size_t>(count) + 12);
    for (int row = first; row <= last; ++row) {
        Block b;
        b.kind = Block::Kind::Write;
        b.address = addressOfRow(row);
        rowProgress(b, row, row - first, count, full);
        b.prepare = [&grid, &host, row] { selectForTransfer(grid, host, row); };
        b.encode = [&grid, row] {
            const Record rec = encodeRecord(grid, row);
            return Bytes(rec.begin(), rec.end());
        };
        plan.blocks.push_back(std::move(b));
    }
    if (full) plan.blocks.back().accepted = [&host] { fullRangeCompleted(host); };
    // The radio's pass-channel index follows the pass channels it holds.
    if (full || (first <= LastPassRow && last >= FirstPassRow)) appendPassIndex(plan, grid);
    plan.done = {100};
    return plan;
}

void resetGridAfterTransfer(ChannelGrid& grid) {
    grid.setRedraw(true);
    grid.selectRow(1);
    grid.setHighlight(true);
}

int takeChannels(const RadioImage& image, ChannelGrid& grid) {
    for (int row = 1; row <= LastRow; ++row) {
        const Bytes data = image.bytes(addressOfRow(row), radio::ChannelRecordBytes);
        Record rec;
        std::copy(data.begin(), data.end(), rec.begin());
        if (decodeRecord(grid, row, rec) == DecodeResult::Invalid) return row;
    }
    blankEmptyRows(grid);
    return 0;
}

void blankEmptyRows(ChannelGrid& grid) {
    for (int row = 1; row <= 1602; ++row) {
        if (isCallRow(row) || grid.inUse(row)) continue;
        for (int c = 1; c < GridCols; ++c) grid.setCell(row, c, "");
        grid.setNameString(row - 1, "");
    }
}

}  // namespace tqm5
