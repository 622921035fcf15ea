// The glyph set and the glyphs' 32-byte form in the radio.
#include <gtest/gtest.h>

#include "emulator/demo_image.h"
#include "font/font_transfer.h"
#include "font/glyph_set.h"
#include "radio/memory_map.h"

using namespace tqm5;

TEST(GlyphEncoding, OnePixelLandsOnItsBandColumnAndBit) {
    struct Case { int row, col, byte, value; };
    for (const Case c : {Case{0, 0, 0, 0x01}, Case{7, 0, 0, 0x80}, Case{0, 15, 15, 0x01}, Case{8, 0, 16, 0x01},
                         Case{15, 15, 31, 0x80}, Case{10, 4, 20, 0x04}}) {
        GlyphSet s;
        s.setPixel(3, c.row, c.col, true);
        Bytes expected(32, 0);
        expected[static_cast<std::size_t>(c.byte)] = static_cast<uint8_t>(c.value);
        EXPECT_EQ(s.encode(3), expected) << c.row << "," << c.col;
        GlyphSet back;
        ASSERT_TRUE(back.decode(3, expected));
        EXPECT_TRUE(back == s);
    }
    GlyphSet s;
    s.setPixel(0, 0, 0, true);
    EXPECT_EQ(s.encodeHex(0), "01" + std::string(62, '0'));
    GlyphSet bottom;
    bottom.setRect(5, 15, 0, 15, 15, true);
    const Bytes b = bottom.encode(5);
    for (int k = 0; k < 32; ++k) EXPECT_EQ(b[static_cast<std::size_t>(k)], k < 16 ? 0 : 0x80) << k;
}

TEST(GlyphEncoding, DemoRadioGlyphsDecodeToTheirDrawingsAndBack) {
    // The demo image's glyph bytes are built by the emulator on its own.
    const Bytes image = emu::demoImage();
    const auto& drawn = emu::demoContent().glyphs;
    GlyphSet s;
    for (int g = 0; g < GlyphCount; ++g) {
        const auto at = image.begin() + radio::glyphAddress(g);
        const Bytes bytes(at, at + 32);
        ASSERT_TRUE(s.decode(g, bytes));
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c)
                ASSERT_EQ(s.pixel(g, r, c), drawn[g][r][c] == '#') << g << " " << r << " " << c;
        EXPECT_EQ(s.encode(g), bytes);
    }
}

TEST(GlyphSet, RectanglesEitherWayRoundAndOriginFlags) {
    GlyphSet forward, backward;
    forward.setRect(1, 2, 3, 9, 12, true);
    backward.setRect(1, 9, 12, 2, 3, true);
    EXPECT_TRUE(forward == backward);
    int lit = 0;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) lit += forward.pixel(1, r, c);
    EXPECT_EQ(lit, 8 * 10);
    backward.setRect(1, 12, 3, 2, 3, false);  // one column cleared, bottom-up
    EXPECT_FALSE(backward.pixel(1, 5, 3));
    EXPECT_TRUE(backward.pixel(1, 5, 4));

    GlyphSet s;
    EXPECT_FALSE(s.anyKnown());
    EXPECT_FALSE(s.decode(2, Bytes(31, 0xFF)));  // wrong size: nothing taken
    EXPECT_FALSE(s.known(2));
    s.togglePixel(4, 0, 0);
    EXPECT_TRUE(s.known(4));
    EXPECT_FALSE(s.known(3));

    // Only glyphs that came from somewhere are written back to the radio.
    const auto blocks = glyphWriteBlocks(s, 2);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].address, 0x01080u);
    EXPECT_EQ(blocks[0].budget, 2);
    EXPECT_EQ(blocks[0].encode(), s.encode(4));
    s.clearAll();
    EXPECT_EQ(glyphWriteBlocks(s, 0).size(), 8u);
}
