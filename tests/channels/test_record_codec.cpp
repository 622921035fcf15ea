#include <gtest/gtest.h>

#include "channels/pass_index.h"
#include "channels/record_codec.h"
#include "protocol/serial_link.h"

using namespace tqm5;

namespace {

Record sample(uint32_t hz) {
    Record b{};
    b[0] = 0x02;
    for (int i = 0; i < 4; ++i) b[1 + i] = uint8_t(hz >> (8 * i));
    b[5] = 1;
    b[13] = 9;
    b[14] = 9;
    b[16] = 28;
    b[18] = 0x3E;
    b[20] = 0x0A;
    return b;
}

void setChannel(ChannelGrid& g, int row, const std::string& freq) {
    g.setCell(row, ColFreq, freq);
    g.setCell(row, ColOffset, "0.000MHz");
    g.attr(row).inUse = 1;
}

}  // namespace

TEST(RecordCodec, NumberingAndDualMapping) {
    EXPECT_EQ(addressOfRecord(1), 0x1200u);
    EXPECT_EQ(addressOfRecord(1623), 0x1A780u);
    EXPECT_EQ(recordOfRow(1100), 1100);
    EXPECT_EQ(recordOfRow(1101), 1101);
    EXPECT_EQ(recordOfRow(1102), 1201);
    EXPECT_EQ(recordOfRow(1103), 1102);
    EXPECT_EQ(recordOfRow(1300), 1300);
    EXPECT_EQ(recordOfRow(1301), 1301);
    // Every record has exactly one row, the one that maps back to it.
    for (int row = 1; row <= LastRow; ++row) ASSERT_EQ(rowOfRecord(recordOfRow(row)), row) << row;
}

TEST(RecordCodec, WorkedValues) {
    ChannelGrid g;
    setChannel(g, 10, "145.00000MHz");
    g.setCell(10, ColOffset, "5.000MHz");
    g.setCell(10, ColShift, "+");
    g.setNameString(9, "AB");
    Record r = encodeRecord(g, 10);
    EXPECT_EQ(Bytes(r.begin() + 1, r.begin() + 5), (Bytes{0x40, 0x86, 0xA4, 0x08}));
    EXPECT_EQ(Bytes(r.begin() + 7, r.begin() + 11), (Bytes{0x40, 0x4B, 0x4C, 0x00}));
    EXPECT_EQ(r[11], 1);
    EXPECT_EQ(Bytes(r.begin() + 32, r.begin() + 36), (Bytes{0x41, 0x00, 0x42, 0x00}));
    for (int i = 36; i < 64; ++i) EXPECT_EQ(r[i], 0);
    EXPECT_EQ(r[18], 0x3E);
    EXPECT_EQ(r[20], 0x0A);
    EXPECT_EQ(r[13], 9);  // start-up tone index 8 is tone number 9

    setChannel(g, 11, "433.00000MHz");
    r = encodeRecord(g, 11);
    EXPECT_EQ(Bytes(r.begin() + 1, r.begin() + 5), (Bytes{0x40, 0x0E, 0xCF, 0x19}));
    setChannel(g, 12, "1295.00000MHz");
    g.setNameString(11, "あ\u2462");
    r = encodeRecord(g, 12);
    EXPECT_EQ(Bytes(r.begin() + 1, r.begin() + 5), (Bytes{0xC0, 0x21, 0x30, 0x4D}));
    EXPECT_EQ(Bytes(r.begin() + 32, r.begin() + 36), (Bytes{0xA0, 0x82, 0x42, 0x87}));

    ChannelGrid back;
    ASSERT_EQ(decodeRecord(back, 12, r), DecodeResult::Channel);
    EXPECT_EQ(back.cell(12, ColFreq), "1295.00000MHz");
    EXPECT_EQ(back.cell(12, ColName), "あ:3~");
    EXPECT_EQ(back.nameString(11), "あ\u2462");
}

TEST(RecordCodec, UseByteByRowAndBand) {
    ChannelGrid g;
    setChannel(g, 10, "145.00000MHz");
    EXPECT_EQ(encodeRecord(g, 10)[0], 0x02);
    setChannel(g, 1610, "145.00000MHz");
    EXPECT_EQ(encodeRecord(g, 1610)[0], 0x01);
    setChannel(g, 10, "118.00000MHz");
    EXPECT_EQ(encodeRecord(g, 10)[0], 0x01);
    setChannel(g, 10, "1299.99999MHz");
    EXPECT_EQ(encodeRecord(g, 10)[0], 0x02);
    setChannel(g, 10, "50.00000MHz");
    EXPECT_EQ(encodeRecord(g, 10)[0], 0x01);
    g.attr(10).inUse = 0;
    EXPECT_EQ(encodeRecord(g, 10), Record{});
}

TEST(RecordCodec, DecodeFieldsAndTexts) {
    ChannelGrid g;
    Record b = sample(145000000);
    b[6] = 0x0A;  // step 10
    b[15] = 0x0A; // DCS 10
    b[12] = 5;
    b[11] = 3;    // unknown shift shows Off
    b[5] = 4;     // unknown mode shows nothing
    uint32_t off = 600000;
    for (int i = 0; i < 4; ++i) b[7 + i] = uint8_t(off >> (8 * i));
    b[19] = 1;
    b[32] = 'A'; b[33] = 0;   // slot 0
    b[36] = 'B'; b[37] = 0;   // slot 2, slot 1 empty in the middle
    ASSERT_EQ(decodeRecord(g, 3, b), DecodeResult::Channel);
    EXPECT_EQ(g.cell(3, ColStep), "100KHz");
    EXPECT_EQ(g.attr(3).step, 10);
    EXPECT_EQ(g.cell(3, ColDcs), "054");
    EXPECT_EQ(g.attr(3).dcs, 10);
    EXPECT_EQ(g.cell(3, ColToneMode), "DCS");
    EXPECT_EQ(g.cell(3, ColShift), "Off");
    EXPECT_EQ(g.cell(3, ColMode), "");
    EXPECT_EQ(g.cell(3, ColOffset), "0.600MHz");
    EXPECT_EQ(g.cell(3, ColSkip), "*");
    EXPECT_EQ(g.cell(3, ColCarrier), "ＪＲ");
    EXPECT_EQ(g.cell(3, ColName), "AB");
    EXPECT_TRUE(g.inUse(3));
    // 600 kHz goes back as 600 000 Hz, shift forced by the text only.
    Record again = encodeRecord(g, 3);
    EXPECT_EQ(Bytes(again.begin() + 7, again.begin() + 11), (Bytes{0xC0, 0x27, 0x09, 0x00}));

    b[1] = 0x80; b[2] = 0xF0; b[3] = 0xFA; b[4] = 0x02;  // 50 MHz: 11-character text
    for (int i = 0; i < 4; ++i) b[7 + i] = uint8_t(20000000u >> (8 * i));
    ASSERT_EQ(decodeRecord(g, 3, b), DecodeResult::Channel);
    EXPECT_EQ(g.cell(3, ColFreq), "50.00000MHz");
    EXPECT_EQ(g.cell(3, ColOffset), "20.000MHz");
    const Record fifty = encodeRecord(g, 3);
    EXPECT_EQ(Bytes(fifty.begin() + 1, fifty.begin() + 5), (Bytes{0x80, 0xF0, 0xFA, 0x02}));

    // Byte 0 of 0x01 and 0x02 decode alike; 0x00 only clears the flag.
    b[0] = 0x01;
    ASSERT_EQ(decodeRecord(g, 3, b), DecodeResult::Channel);
    Record empty{};
    EXPECT_EQ(decodeRecord(g, 3, empty), DecodeResult::Empty);
    EXPECT_FALSE(g.inUse(3));
    EXPECT_EQ(g.cell(3, ColFreq), "50.00000MHz");
}

TEST(RecordCodec, InvalidRecordsLeaveRowUntouched) {
    ChannelGrid g;
    setChannel(g, 7, "145.00000MHz");
    const auto check = [&](Record b) {
        EXPECT_EQ(decodeRecord(g, 7, b), DecodeResult::Invalid);
        EXPECT_EQ(g.cell(7, ColFreq), "145.00000MHz");
        EXPECT_TRUE(g.inUse(7));
    };
    Record b = sample(145000000);
    b[13] = 0; check(b);
    b = sample(145000000); b[14] = 40; check(b);
    b = sample(145000000); b[15] = 104; check(b);
    b = sample(145000000); b[16] = 29; check(b);
    check(sample(99994));  // below 100 kHz has no five fraction digits
    EXPECT_EQ(decodeRecord(g, 7, sample(99995)), DecodeResult::Channel);
    EXPECT_EQ(g.cell(7, ColFreq), "0.10000MHz");
}

TEST(RecordCodec, FrequencyAndOffsetTextLengths) {
    EXPECT_EQ(frequencyOfText("145.00000MHz"), 14500000);
    EXPECT_EQ(frequencyOfText("1.00000MHz"), 100000);
    EXPECT_FALSE(frequencyOfText("145MHz"));
    EXPECT_EQ(frequencyText(145000005), "145.00000MHz");  // halves to even
    EXPECT_EQ(frequencyText(145000015), "145.00002MHz");
    EXPECT_EQ(offsetText(0), "0.000MHz");
    ChannelGrid g;
    setChannel(g, 9, "145.00000MHz");
    g.setCell(9, ColShift, "+");
    g.setCell(9, ColOffset, "bad");
    Record r = encodeRecord(g, 9);
    EXPECT_EQ(r[11], 0);  // an unreadable offset writes 0 Hz, shift off
    EXPECT_EQ(r[7], 0);
}

TEST(PassIndex, SortedLinksAndHead) {
    ChannelGrid g;
    auto idx = buildPassIndex(g);
    for (uint8_t v : idx) EXPECT_EQ(v, 0xFF);

    setChannel(g, 1404 + 5, "145.00000MHz");
    setChannel(g, 1404 + 2, "145.00000MHz");
    setChannel(g, 1404 + 7, "144.50000MHz");
    idx = buildPassIndex(g);
    auto entry = [&](int i) { return Bytes(idx.begin() + 7 * i, idx.begin() + 7 * i + 7); };
    EXPECT_EQ(entry(7), (Bytes{0x20, 0xE5, 0x9C, 0x08, 0xFF, 2, 7}));
    EXPECT_EQ(entry(2), (Bytes{0x40, 0x86, 0xA4, 0x08, 0xFF, 5, 7}));
    EXPECT_EQ(entry(5), (Bytes{0x40, 0x86, 0xA4, 0x08, 0xFF, 0xFF, 2}));
    EXPECT_EQ(entry(100), (Bytes{0x20, 0xE5, 0x9C, 0x08, 0xFF, 7, 0xFF}));
    EXPECT_EQ(entry(0), Bytes(7, 0xFF));

    auto blocks = passIndexBlocks(idx);
    ASSERT_EQ(blocks.size(), 12u);
    EXPECT_EQ(blocks[0].address, 0x0C00u);
    EXPECT_EQ(blocks[1].address, 0x0C3Fu);
    EXPECT_EQ(blocks[10].address, 0x0C00u + 630);
    EXPECT_EQ(blocks[11].address, 0x0EB5u);
    EXPECT_EQ(blocks[11].data.size(), 14u);
}
