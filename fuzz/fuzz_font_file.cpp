// Arbitrary bytes as the text of a font file (.FM5). The reader must never
// read past the end, and:
//  - a refused text changes no pixel and no glyph's origin;
//  - a taken text held between one and eight glyph blocks, and those glyphs
//    count as loaded;
//  - what was loaded, saved again, loads back to the same eight glyphs.
// Input: the whole file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "font/font_file.h"

using namespace tqm5;

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "font file: %s\n", what);
    std::abort();
}

GlyphSet start() {
    GlyphSet s;
    for (int g = 0; g < GlyphCount; ++g)
        for (int r = 0; r < GlyphSize; ++r)
            for (int c = 0; c < GlyphSize; ++c) s.setPixel(g, r, c, (r + 2 * c + g) % 3 == 0);
    for (int g = 0; g < GlyphCount; ++g) s.setKnown(g, false);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const GlyphSet before = start();
    const std::string text(reinterpret_cast<const char*>(data), size);
    GlyphSet glyphs = before;
    const Result<FontGlyphsRead> load = parseFontFile(text, glyphs);
    if (!load) {
        if (!(glyphs == before) || glyphs.anyKnown()) broken("a refused file changed the glyphs");
        if (load.error().empty()) broken("a refused file says nothing");
        return 0;
    }
    if (load->blocks < 1 || load->blocks > GlyphCount) broken("block count out of range");
    for (int g = 0; g < GlyphCount; ++g)
        if (glyphs.known(g) != (g < load->blocks)) broken("loaded glyphs and blocks disagree");

    GlyphSet again;
    const Result<FontGlyphsRead> back = parseFontFile(fontFileText(glyphs, "Save Date and Time"), again);
    if (!back || back->blocks != GlyphCount || back->stoppedAtNinth) broken("a saved file does not load");
    if (!(again == glyphs)) broken("saved and loaded glyphs differ");
    return 0;
}
