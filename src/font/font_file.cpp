#include "font/font_file.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <cstdio>
#include <string_view>
#include <vector>

#include "files/text_file.h"

namespace tqm5 {

const char* const FontFileOpenError = "This File don't Open";
const char* const FontFileRead = "Read Font File";
const char* const FontFileSaved = "Save File";

namespace {

constexpr const char* Eol = "\r\n";
constexpr std::string_view EndLine = "File End";
// A font file is about 2.5 KB; anything far larger is not one, and is not
// read into memory.
constexpr std::streamsize LargestFile = 1 << 20;

// A one-character line opens a glyph block when its value is below 8; a
// character that is not a digit counts as 0.
bool opensBlock(std::string_view line) {
    if (line.size() != 1) return false;
    const unsigned char c = static_cast<unsigned char>(line[0]);
    return !std::isdigit(c) || c - '0' < GlyphCount;
}

std::string errnoText() { return std::strerror(errno); }

}  // namespace

std::string fontFileStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return std::string("Save Date and Time ") + text;
}

std::string fontFileText(const GlyphSet& glyphs, const std::string& stamp) {
    std::string out = stamp + Eol;
    for (int g = 0; g < GlyphCount; ++g) {
        out += std::to_string(g) + Eol;
        for (int r = 0; r < GlyphSize; ++r) {
            for (int c = 0; c < GlyphSize; ++c) out += glyphs.pixel(g, r, c) ? '1' : '0';
            out += Eol;
        }
    }
    out += std::string(EndLine) + Eol;
    return out;
}

Result<void> writeFontFile(const std::string& path, const GlyphSet& glyphs, const std::string& stamp) {
    if (const Result<void> saved = files::saveAtomically(path, fontFileText(glyphs, stamp)); !saved)
        return Failure{path + ": " + saved.error()};
    return {};
}

bool hasFontFileName(const std::string& path) {
    if (path.size() < 3) return false;
    std::string tail = path.substr(path.size() - 3);
    for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return tail == "FM5";
}

Result<FontGlyphsRead> parseFontFile(const std::string& text, GlyphSet& glyphs) {
    FontGlyphsRead result;
    const std::vector<std::string_view> lines = files::splitLines(text);
    if (lines.empty()) return Failure{"the file is empty"};
    // Every line must be readable; the glyphs change only when all are.
    auto refuse = [](std::size_t index, const std::string& why) {
        return Failure{"line " + std::to_string(index + 1) + " " + why};
    };
    GlyphSet loaded = glyphs;
    std::size_t i = 1;  // the first line is the save date
    while (i < lines.size()) {
        const std::string_view line = lines[i++];
        if (line.empty() || line == EndLine) continue;
        if (!opensBlock(line)) {
            if (line.size() == 1) return refuse(i - 1, "names glyph " + std::string(line) + ", which does not exist");
            return refuse(i - 1, "is neither a glyph number nor \"File End\"");
        }
        if (result.blocks == GlyphCount) {
            result.stoppedAtNinth = true;
            break;
        }
        if (lines.size() - i < static_cast<std::size_t>(GlyphSize))
            return refuse(i - 1, "opens glyph block " + std::to_string(result.blocks + 1) +
                                     " but the file ends before its 16 rows");
        const int g = result.blocks++;
        for (int r = 0; r < GlyphSize; ++r) {
            const std::string_view row = lines[i++];
            if (row.size() != static_cast<std::size_t>(GlyphSize) || row.find_first_not_of("01") != std::string_view::npos)
                return refuse(i - 1, "is not a glyph row (16 characters, each 0 or 1)");
            for (int c = 0; c < GlyphSize; ++c) loaded.setPixel(g, r, c, row[static_cast<std::size_t>(c)] == '1');
        }
        loaded.setKnown(g, true);
    }
    if (result.blocks == 0) return Failure{"the file holds no glyph block"};
    glyphs = loaded;
    return result;
}

Result<FontGlyphsRead> readFontFile(const std::string& path, GlyphSet& glyphs) {
    if (!hasFontFileName(path)) return Failure{"the name does not end in FM5"};
    std::ifstream in(path, std::ios::binary);
    if (!in) return Failure{path + ": " + errnoText()};
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (static_cast<std::streamsize>(text.size()) > LargestFile) return Failure{"the file is too large for a font file"};
    }
    if (in.bad()) return Failure{path + ": read error"};
    return parseFontFile(text, glyphs);
}

std::string fontFileRefusal(const std::string& path, const std::string& problem) {
    if (!hasFontFileName(path)) return FontFileOpenError;
    return "This font file cannot be read: " + problem + ". No glyph was changed.";
}

}  // namespace tqm5
