#pragma once
// The radio's eight user-defined characters: 16 x 16 pixel glyphs, and
// their 32-byte form in the radio's memory.
#include <array>
#include <bitset>
#include <string>

#include "protocol/serial_link.h"
#include "radio/memory_map.h"

namespace tqm5 {

constexpr int GlyphCount = radio::Glyphs;  // shown to the user as "1" to "8"
constexpr int GlyphSize = 16;              // rows and columns
constexpr int GlyphHexDigits = 2 * radio::GlyphBytes;

// In the radio a glyph is two bands of eight rows. Byte k is column k of
// rows 0 to 7, byte 16 + k column k of rows 8 to 15; bit 0 is the band's
// top row.
enum GlyphField : int {
    UpperBand = 0,   // rows 0 to 7, one byte per column
    LowerBand = 16,  // rows 8 to 15
};

class GlyphSet {
public:
    bool pixel(int glyph, int row, int col) const { return bits_[glyph][index(row, col)]; }
    void setPixel(int glyph, int row, int col, bool on);
    void togglePixel(int glyph, int row, int col);
    void clearGlyph(int glyph);
    void clearAll();
    // Sets or clears every pixel of the rectangle with corners (row1, col1)
    // and (row2, col2), whichever way round the corners are given.
    void setRect(int glyph, int row1, int col1, int row2, int col2, bool on);

    // The 32 bytes of a glyph as the radio stores them.
    Bytes encode(int glyph) const;
    std::string encodeHex(int glyph) const;  // 64 upper-case hexadecimal digits
    // Fills the glyph from 32 bytes; false (glyph unchanged) for another size.
    bool decode(int glyph, const Bytes& bytes);

    // Where the glyphs came from: a glyph is known once it was read from the
    // radio, loaded from a font file or drawn by the user. The start-up
    // blanks are not, and must never overwrite the radio's own glyphs.
    bool known(int glyph) const { return known_[glyph]; }
    bool anyKnown() const { return known_.any(); }
    void setKnown(int glyph, bool known) { known_[glyph] = known; }

    bool operator==(const GlyphSet& other) const { return bits_ == other.bits_; }

private:
    static std::size_t index(int row, int col) { return static_cast<std::size_t>(row * GlyphSize + col); }
    std::array<std::bitset<GlyphSize * GlyphSize>, GlyphCount> bits_{};
    std::bitset<GlyphCount> known_;
};

}  // namespace tqm5
