#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "channels/record_codec.h"

using namespace tqm5;

namespace {

Record channel(uint32_t hz) {
    Record b{};
    b[0] = 0x02;
    for (int i = 0; i < 4; ++i) b[1 + i] = uint8_t(hz >> (8 * i));
    b[5] = 1;
    b[13] = 9;
    b[14] = 9;
    b[16] = 28;
    return b;
}

void put32(Record& b, int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

std::array<std::string, GridCols> cellsOf(const ChannelGrid& g, int row) {
    std::array<std::string, GridCols> c;
    for (int i = 0; i < GridCols; ++i) c[i] = g.cell(row, i);
    return c;
}

}  // namespace

// Records whose values the grid once showed differently from what a write
// then stored: a row read from the radio must write back what it shows.
TEST(RecordRoundTrip, RowShowsWhatItWrites) {
    struct Case {
        const char* what;
        void (*fill)(Record&);
        int column;
        const char* shown;
    };
    const Case cases[] = {
        {"unknown tone mode", [](Record& b) { b[12] = 0x09; }, ColToneMode, "None"},
        {"offset above 999 MHz", [](Record& b) { put32(b, 7, 3448539000u); b[11] = 1; }, ColOffset, "3448.539MHz"},
        {"largest offset", [](Record& b) { put32(b, 7, 0xFFFFFFFFu); b[11] = 2; }, ColOffset, "4294.967MHz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChannelGrid g;
        g.setCell(10, ColToneMode, "TSQ");  // left over from an earlier channel
        Record b = channel(145000000);
        c.fill(b);
        ASSERT_EQ(decodeRecord(g, 10, b), DecodeResult::Channel);
        EXPECT_EQ(g.cell(10, c.column), c.shown);
        const auto shown = cellsOf(g, 10);
        const Record written = encodeRecord(g, 10);
        ASSERT_EQ(decodeRecord(g, 10, written), DecodeResult::Channel);
        EXPECT_EQ(cellsOf(g, 10), shown);
        EXPECT_EQ(encodeRecord(g, 10), written);
    }
}

TEST(RecordRoundTrip, LargeOffsetKeepsItsShift) {
    ChannelGrid g;
    Record b = channel(1295000000);
    put32(b, 7, 1200000000u);
    b[11] = 2;
    ASSERT_EQ(decodeRecord(g, 10, b), DecodeResult::Channel);
    const Record written = encodeRecord(g, 10);
    EXPECT_EQ(written[11], 2);
    EXPECT_EQ(std::vector<uint8_t>(written.begin() + 7, written.begin() + 11),
              std::vector<uint8_t>(b.begin() + 7, b.begin() + 11));
}
