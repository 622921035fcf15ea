#include "font/glyph_set.h"

#include <algorithm>

#include "base/hex.h"
#include "radio/byte_view.h"

namespace tqm5 {

void GlyphSet::setPixel(int glyph, int row, int col, bool on) {
    bits_[glyph][index(row, col)] = on;
    known_[glyph] = true;
}

void GlyphSet::togglePixel(int glyph, int row, int col) { setPixel(glyph, row, col, !pixel(glyph, row, col)); }

void GlyphSet::clearGlyph(int glyph) {
    bits_[glyph].reset();
    known_[glyph] = true;
}

void GlyphSet::clearAll() {
    for (int g = 0; g < GlyphCount; ++g) clearGlyph(g);
}

void GlyphSet::setRect(int glyph, int row1, int col1, int row2, int col2, bool on) {
    const auto [top, bottom] = std::minmax(row1, row2);
    const auto [left, right] = std::minmax(col1, col2);
    for (int r = std::max(top, 0); r <= std::min(bottom, GlyphSize - 1); ++r)
        for (int c = std::max(left, 0); c <= std::min(right, GlyphSize - 1); ++c) setPixel(glyph, r, c, on);
}

Bytes GlyphSet::encode(int glyph) const {
    Bytes out(radio::GlyphBytes, 0);
    radio::ByteView v(out);
    for (int col = 0; col < GlyphSize; ++col)
        for (int bit = 0; bit < 8; ++bit) {
            const auto k = static_cast<std::size_t>(col);
            v.setBit(UpperBand + k, bit, pixel(glyph, bit, col));
            v.setBit(LowerBand + k, bit, pixel(glyph, 8 + bit, col));
        }
    return out;
}

std::string GlyphSet::encodeHex(int glyph) const {
    std::string s;
    for (uint8_t b : encode(glyph)) s += hexText(b, 2);
    return s;
}

bool GlyphSet::decode(int glyph, const Bytes& bytes) {
    if (bytes.size() != static_cast<std::size_t>(radio::GlyphBytes)) return false;
    const radio::ConstByteView v(bytes);
    for (int col = 0; col < GlyphSize; ++col)
        for (int bit = 0; bit < 8; ++bit) {
            const auto k = static_cast<std::size_t>(col);
            bits_[glyph][index(bit, col)] = v.bit(UpperBand + k, bit);
            bits_[glyph][index(8 + bit, col)] = v.bit(LowerBand + k, bit);
        }
    known_[glyph] = true;
    return true;
}

}  // namespace tqm5
