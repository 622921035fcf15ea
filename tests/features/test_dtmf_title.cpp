// DTMF memories and the opening title: the block and title codecs, the
// typing rules, and the title and DTMF transfers on an emulated radio.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/startup.h"
#include "emulator/demo_image.h"
#include "features/dtmf.h"
#include "features/title.h"
#include "support/emulator_rig.h"

using namespace tqm5;

namespace {

std::string hex(const std::vector<uint8_t>& bytes, std::size_t from = 0, std::size_t n = std::string::npos) {
    static const char* const digits = "0123456789ABCDEF";
    std::string out;
    for (std::size_t k = from; k < bytes.size() && k - from < n; ++k) {
        out += digits[bytes[k] >> 4];
        out += digits[bytes[k] & 15];
    }
    return out;
}

std::string repeat(const char* s, int n) {
    std::string out;
    while (n-- > 0) out += s;
    return out;
}

// A block-1 answer (memories 3 to 6) with memory 3 holding `codes`.
std::vector<uint8_t> block1With(std::initializer_list<uint8_t> codes) {
    std::vector<uint8_t> data(64, 0x11);
    std::copy(codes.begin(), codes.end(), data.begin());
    return data;
}

struct Rig : test::EmulatorRig {
    Rig() : EmulatorRig(30) {}
};

}  // namespace

TEST(Dtmf, MemoriesEncodeAndDecode) {
    struct Case {
        std::string text, digits;
    } cases[] = {
        {"12*#A-", "01020E0F0A10" + repeat("11", 10)},
        {"0123456789ABCD*#", "000102030405060708090A0B0C0D0E0F"},
        {"", repeat("11", 16)},
        // only DTMF characters reach the radio, sixteen at most
        {"12a3", "010203" + repeat("11", 13)},
        {"12345678901234567890", "01020304050607080900010203040506"},
    };
    for (const Case& c : cases) {
        DtmfSettings d;
        d.memories[3] = c.text;
        const auto block = encodeDtmfBlock(1, d);
        ASSERT_EQ(block.size(), 64u);
        EXPECT_EQ(hex(block, 0, 16), c.digits) << c.text;
        DtmfSettings back;
        decodeDtmfBlock(1, block, back);
        EXPECT_EQ(back.memories[3], cleanDtmf(c.text));
        EXPECT_EQ(hex(block, 16), repeat("11", 48));  // the next memories are untouched
    }
    DtmfSettings d;
    decodeDtmfBlock(1, block1With({0x05, 0x11, 0x03}), d);
    EXPECT_EQ(d.memories[3], "5");
    decodeDtmfBlock(1, block1With({0x01, 0x12, 0x03}), d);
    EXPECT_EQ(d.memories[3], "1");
}

TEST(Dtmf, ListBytesOfTheBlocks) {
    DtmfSettings d;
    d.lists = {10, 22, 0, 3, 8};
    const auto b0 = encodeDtmfBlock(0, d), b2 = encodeDtmfBlock(2, d);
    ASSERT_EQ(b0.size(), 51u);
    ASSERT_EQ(b2.size(), 50u);
    EXPECT_EQ(hex(b0, 0, 3), "0A1600");
    EXPECT_EQ(hex(b2, 48), "0903");
    for (auto [byte, position] : std::initializer_list<std::pair<uint8_t, int>>{{0x00, 0}, {0x01, 0}, {0x09, 8}, {0x0A, -1}}) {
        std::vector<uint8_t> block(64, 0x11);
        block[48] = byte;
        block[49] = 0;
        DtmfSettings r;
        decodeDtmfBlock(2, block, r);
        EXPECT_EQ(r.lists[DtmfDialCh], position) << int(byte);
        if (position < 0) {  // kept as read
            EXPECT_EQ(encodeDtmfBlock(2, r)[48], byte);
            EXPECT_EQ(dtmfNotes(r), std::vector<std::string>{"DTMF Ch: 0x0A"});
        }
    }
}

TEST(Dtmf, TypingRules) {
    EXPECT_EQ(dtmfKey("12", 'a'), DtmfKey::Refuse);
    EXPECT_EQ(dtmfKey("12", 'A'), DtmfKey::Accept);
    EXPECT_EQ(dtmfKey("12", '-'), DtmfKey::Accept);
    EXPECT_EQ(dtmfKey("12", U'１'), DtmfKey::Refuse);
    EXPECT_EQ(dtmfKey(std::string(15, '1'), '#'), DtmfKey::Accept);
    EXPECT_EQ(dtmfKey(std::string(16, '1'), '2'), DtmfKey::Refuse);
    EXPECT_EQ(dtmfKey(std::string(16, '1'), 8), DtmfKey::Accept);
    EXPECT_EQ(dtmfKey(std::string(17, '1'), 'x'), DtmfKey::ClearThenAccept);
    EXPECT_EQ(dtmfKey("１２３４５６７８９", '1'), DtmfKey::ClearThenAccept);  // 18 bytes in the code page
    EXPECT_EQ(cleanDtmf("12a3"), "123");
    EXPECT_EQ(cleanDtmf("ａ1b#*D"), "1#*D");
}

TEST(Dtmf, ResetAndTheFramesTransfers) {
    Rig r;
    r.doc.dtmf.memories[4] = "999";
    r.doc.dtmf.lists[DtmfWait] = 7;
    ASSERT_EQ(r.commands.settings.writeDtmf(), TransferOutcome::Success);
    EXPECT_EQ(r.link.mem(0x1100), 7);
    EXPECT_EQ(r.link.mem(0x1103 + 64), 9);
    r.commands.settings.resetDtmf();
    EXPECT_EQ(r.doc.dtmf.lists, (std::array<int, DtmfLists>{1, 5, 5, 2, 0}));
    EXPECT_TRUE(r.doc.dtmf.memories[4].empty());
    ASSERT_EQ(r.commands.settings.readDtmf(), TransferOutcome::Success);
    EXPECT_FALSE(r.commands.runner.busy());
    EXPECT_EQ(r.doc.dtmf.memories[4], "999");
    EXPECT_EQ(r.doc.dtmf.lists[DtmfWait], 7);
}

TEST(Title, CountedLengthAndKeys) {
    EXPECT_EQ(countedLength(":1~:2~"), 4);
    EXPECT_EQ(countedLength("AB:1~CD"), 6);
    EXPECT_EQ(countedLength("あA"), 3);
    EXPECT_EQ(countedLength(":9~"), 3);
    const std::string fifteen(15, 'x'), sixteen(16, 'x');
    EXPECT_TRUE(titleAcceptsKey(fifteen, 'y'));
    EXPECT_FALSE(titleAcceptsKey(fifteen, U'あ'));
    EXPECT_TRUE(titleAcceptsKey(std::string(14, 'x'), U'あ'));
    EXPECT_FALSE(titleAcceptsKey(std::string(14, 'x'), U'鬱'));  // not a character the radio shows
    EXPECT_FALSE(titleAcceptsKey(sixteen, 'y'));
    EXPECT_TRUE(titleAcceptsKey(sixteen, 8));
    EXPECT_FALSE(titleAcceptsKey("", 22));

    EXPECT_TRUE(titleEditAllowed(fifteen, fifteen + "y"));
    EXPECT_FALSE(titleEditAllowed(fifteen, fifteen + "あ"));
    EXPECT_FALSE(titleEditAllowed("", "鬱"));
    EXPECT_TRUE(titleEditAllowed(fifteen + ":1~", fifteen + ":1"));  // shrinking is always fine
    // A title read with a character the box would refuse can still lose others.
    EXPECT_TRUE(titleEditAllowed("a鬱bc", "a鬱c"));
    EXPECT_FALSE(titleEditAllowed("a鬱", "a鬱b"));

    OpeningTitle t;
    t.text = fifteen;
    appendUserCharacter(t, 0);
    EXPECT_EQ(t.text, fifteen + ":1~");  // counted length 17 now
    appendUserCharacter(t, 1);
    EXPECT_EQ(t.text, fifteen + ":1~");
}

TEST(Title, Codec) {
    const auto bytes = encodeTitle(titleStringFromText("AB:1~CD"), SlideOn);
    ASSERT_EQ(bytes.size(), 34u);
    EXPECT_EQ(hex(bytes), "41004200408743004400" + std::string(44, '0') + "1111");
    EXPECT_EQ(hex(encodeTitle(titleStringFromText("A"), SlideOff)), "4100" + std::string(64, '0'));
    EXPECT_EQ(hex(encodeTitle("", SlideOff)), std::string(68, '0'));
    // beyond sixteen characters nothing is sent
    EXPECT_EQ(hex(encodeTitle(std::string(20, 'Z'), SlideOff), 30, 4), "5A000000");

    std::vector<uint8_t> data(64, 0);
    data[0] = 0x41;
    data[4] = 0x42;
    data[6] = 0x42;
    data[7] = 0x87;
    data[32] = 0x10;
    DecodedTitle d = decodeTitle(data);
    EXPECT_EQ(nameToDisplay(d.titleString), "AB:3~");
    EXPECT_EQ(d.slide, SlideOn);
    data[32] = 0x01;
    EXPECT_EQ(decodeTitle(data).slide, SlideOff);
    data[32] = 0x11;
    EXPECT_EQ(decodeTitle(data).slide, SlideOn);
}

TEST(Title, TransfersAndReset) {
    Rig r;
    ASSERT_EQ(r.commands.title.read(), TransferOutcome::Success);
    EXPECT_EQ(r.doc.title.text, emu::demoContent().title);
    EXPECT_EQ(r.doc.title.slide, emu::demoContent().openingSlide ? SlideOn : SlideOff);
    EXPECT_EQ(r.doc.grid.nameString(TitleNameSlot), "TQ-M5 ﾃﾞﾓ\u2460\u2461");

    setTitleText(r.doc.title, "AB:1~CD");
    setSlide(r.doc.title, SlideOff);
    ASSERT_EQ(r.commands.title.write(), TransferOutcome::Success);
    EXPECT_EQ(r.doc.grid.nameString(TitleNameSlot), "AB\u2460CD");
    EXPECT_EQ(r.link.mem(0x1A4), 0x40);
    EXPECT_EQ(r.link.mem(0x1A5), 0x87);
    EXPECT_EQ(r.link.mem(0x1C0), 0x00);

    // Reset works even while a transfer runs.
    r.host.onEvents = [&] {
        if (r.commands.runner.busy() && !r.doc.title.text.empty()) r.commands.title.reset();
    };
    setSlide(r.doc.title, SlideOn);
    ASSERT_EQ(r.commands.settings.writeDtmf(), TransferOutcome::Success);
    EXPECT_TRUE(r.doc.title.text.empty());
    EXPECT_EQ(r.doc.title.slide, SlideOff);
    EXPECT_TRUE(r.doc.grid.nameString(TitleNameSlot).empty());
}
