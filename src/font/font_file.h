#pragma once
// The font file (.FM5): a header line, then for each of the eight glyphs a
// line with its number and its 16 rows as "0"/"1" texts, then "File End".
// Lines end in CR LF.
#include <string>

#include "base/result.h"
#include "font/glyph_set.h"

namespace tqm5 {

extern const char* const FontFileOpenError;  // "This File don't Open"
extern const char* const FontFileRead;       // "Read Font File"
extern const char* const FontFileSaved;      // "Save File"

constexpr int FontFileLines = 138;

// "Save Date and Time", the date and the time of now.
std::string fontFileStamp();
// The whole file for the glyphs, with `stamp` as its first line.
std::string fontFileText(const GlyphSet& glyphs, const std::string& stamp);
// Writes the file to a temporary file beside `path` and renames it over
// `path`, so a failed save leaves any earlier file as it was; the error
// names the path and why it could not be written.
Result<void> writeFontFile(const std::string& path, const GlyphSet& glyphs, const std::string& stamp = fontFileStamp());

// A font file's name ends in "FM5" (any case).
bool hasFontFileName(const std::string& path);

// What a font file gave; the error of a refused one says why (for the user
// and the log).
struct FontGlyphsRead {
    int blocks = 0;  // glyph blocks taken
    bool stoppedAtNinth = false;
};

// Reads glyph blocks from the text of a font file into `glyphs`. The first
// line is skipped; a line of one character whose leading-number value is
// below 8 opens a block, whose next 16 lines are rows 0 to 15 of the next
// glyph in turn (the digit on the line does not choose the glyph). Every
// row must be 16 characters "0" or "1"; between blocks only empty lines and
// "File End" may stand. A ninth block ends the load. A text with any other
// line, without a first line or a glyph block, or that ends inside a block,
// is refused and changes nothing; the problem names the line.
Result<FontGlyphsRead> parseFontFile(const std::string& text, GlyphSet& glyphs);
// The whole load: the name rule, the reading and the parse. Changes nothing
// unless it succeeds.
Result<FontGlyphsRead> readFontFile(const std::string& path, GlyphSet& glyphs);
// What to tell the user about a refused load: "This File don't Open" for a
// name not ending in FM5, else which line is wrong and that nothing changed.
std::string fontFileRefusal(const std::string& path, const std::string& problem);

}  // namespace tqm5
