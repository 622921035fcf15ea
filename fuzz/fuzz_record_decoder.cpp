// Channel records as the radio (or a broken cable) may hand them over, fed
// to the record decoder on a grid set up as at start-up. Whatever the bytes:
//  - nothing crashes, overflows or reads out of bounds;
//  - a record refused as Invalid leaves the row exactly as it was;
//  - an Empty record only clears the in-use flag;
//  - a record decoded as a Channel is written back (encodeRecord) as a
//    record that decodes to the very same row, and encoding that row again
//    gives the same bytes: what the grid shows is what reaches the radio
//    (an unknown mode, shown empty, is written as NFM).
//
// Input: steps of 66 bytes, each the row (two bytes, little-endian, taken
// modulo 1623) and the 64-byte record. The steps share one grid, so a record
// may land on a row an earlier step filled; every input starts from the
// start-up grid.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "channels/channel_grid.h"
#include "channels/record_codec.h"
#include "features/bank_layout.h"

using namespace tqm5;

namespace {

constexpr std::size_t StepSize = 2 + 64;

struct RowState {
    std::array<std::string, GridCols> cells;
    RowAttributes attr;
    std::string name;
    bool operator==(const RowState&) const = default;
};

RowState stateOf(const ChannelGrid& g, int row) {
    RowState s;
    for (int c = 0; c < GridCols; ++c) s.cells[c] = g.cell(row, c);
    s.attr = g.attr(row);
    s.name = g.nameString(row - 1);
    return s;
}

void printRecord(const char* title, const Record& r) {
    std::fprintf(stderr, "%s:", title);
    for (std::size_t i = 0; i < r.size(); ++i) std::fprintf(stderr, "%s%02X", i % 16 ? " " : "\n  ", r[i]);
    std::fprintf(stderr, "\n");
}

void printRow(const char* title, const RowState& s) {
    std::fprintf(stderr, "%s:", title);
    for (const auto& c : s.cells) std::fprintf(stderr, " [%s]", c.c_str());
    const RowAttributes& a = s.attr;
    std::fprintf(stderr, "\n  tx %d rx %d dcs %d train %d step %d inUse %d name [%s]\n", a.txTone, a.rxTone, a.dcs,
                 a.train, a.step, a.inUse, s.name.c_str());
}

[[noreturn]] void broken(const char* what, int row, const Record& record, const RowState& before,
                         const RowState& after) {
    std::fprintf(stderr, "record decoder: %s (row %d)\n", what, row);
    printRecord("record", record);
    printRow("row before", before);
    printRow("row after", after);
    std::abort();
}

void step(ChannelGrid& grid, int row, const Record& record) {
    const RowState before = stateOf(grid, row);
    const DecodeResult result = decodeRecord(grid, row, record);
    const RowState after = stateOf(grid, row);

    switch (result) {
        case DecodeResult::Invalid:
            if (after != before) broken("an invalid record changed the row", row, record, before, after);
            return;
        case DecodeResult::Empty: {
            RowState expected = before;
            expected.attr.inUse = 0;
            if (after != expected) broken("an empty record changed more than the in-use flag", row, record, before, after);
            if (encodeRecord(grid, row) != Record{}) broken("an empty row encodes to non-zero bytes", row, record, before, after);
            return;
        }
        case DecodeResult::Channel:
            break;
    }
    if (!grid.inUse(row)) broken("a decoded channel is not in use", row, record, before, after);

    const Record written = encodeRecord(grid, row);
    const DecodeResult again = decodeRecord(grid, row, written);
    const RowState reread = stateOf(grid, row);
    if (again != DecodeResult::Channel) {
        printRecord("written", written);
        broken("the record written for a decoded channel does not decode", row, record, after, reread);
    }
    // The one described exception: a mode no table holds shows an empty
    // cell and is written as NFM.
    RowState expected = after;
    if (expected.cells[ColMode].empty()) expected.cells[ColMode] = "NFM";
    if (reread != expected) {
        printRecord("written", written);
        broken("the row read back from its own record differs", row, record, after, reread);
    }
    if (encodeRecord(grid, row) != written) {
        printRecord("written", written);
        broken("encoding the row twice gives different records", row, record, after, reread);
    }
}

void restore(ChannelGrid& g, int row, const RowState& s) {
    for (int c = 0; c < GridCols; ++c) g.setCell(row, c, s.cells[c]);
    g.attr(row) = s.attr;
    g.setNameString(row - 1, s.name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The grid as at start-up (labels, presets). Rather than resetting all
    // 1623 rows per input, the rows an input touches are put back after it.
    static ChannelGrid grid = [] {
        ChannelGrid g;
        g.reset();
        g.applyLabels(defaultBankSizes());
        g.selectRow(1);
        return g;
    }();
    std::vector<std::pair<int, RowState>> touched;
    for (std::size_t at = 0; at + StepSize <= size; at += StepSize) {
        const int row = 1 + (data[at] | data[at + 1] << 8) % LastRow;
        touched.emplace_back(row, stateOf(grid, row));
        Record record;
        for (std::size_t i = 0; i < record.size(); ++i) record[i] = data[at + 2 + i];
        step(grid, row, record);
    }
    for (auto it = touched.rbegin(); it != touched.rend(); ++it) restore(grid, it->first, it->second);
    return 0;
}
