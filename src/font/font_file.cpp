#include "font/font_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace tqm5 {

const char* const FontFileOpenError = "This File don't Open";
const char* const FontFileRead = "Read Font File";
const char* const FontFileSaved = "Save File";

namespace {

constexpr const char* Eol = "\r\n";
// A font file is about 2.5 KB; anything far larger is not one, and is not
// read into memory.
constexpr std::streamsize LargestFile = 1 << 20;

// Lines end in CR LF; a lone CR or LF ends one as well.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// A one-character line opens a glyph block when its value is below 8; a
// character that is not a digit counts as 0.
bool opensBlock(const std::string& line) {
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
    out += std::string("File End") + Eol;
    return out;
}

void saveFontFile(const std::string& path, const GlyphSet& glyphs, const std::string& stamp) {
    const std::string text = fontFileText(glyphs, stamp);
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw std::runtime_error(path + ": " + errnoText());
    auto fail = [&](const std::string& why) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw std::runtime_error(path + ": " + why);
    };
    // The permissions a newly created file gets, as mkstemp's are private.
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd, 0666 & ~mask) != 0) fail(errnoText());
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(errnoText());
        done += static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0) fail(errnoText());
    if (::close(fd) != 0) {
        ::unlink(temp.c_str());
        throw std::runtime_error(path + ": " + errnoText());
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string why = errnoText();
        ::unlink(temp.c_str());
        throw std::runtime_error(path + ": " + why);
    }
}

bool hasFontFileName(const std::string& path) {
    if (path.size() < 3) return false;
    std::string tail = path.substr(path.size() - 3);
    for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return tail == "FM5";
}

FontFileLoad parseFontFile(const std::string& text, GlyphSet& glyphs) {
    FontFileLoad result;
    const std::vector<std::string> lines = splitLines(text);
    if (lines.empty()) {
        result.problem = "the file is empty";
        return result;
    }
    GlyphSet loaded = glyphs;
    std::size_t i = 1;  // the first line is the save date
    while (i < lines.size()) {
        const std::string& line = lines[i++];
        if (!opensBlock(line)) continue;
        if (result.blocks == GlyphCount) {
            result.stoppedAtNinth = true;
            break;
        }
        if (lines.size() - i < static_cast<std::size_t>(GlyphSize)) {
            result.problem = "the file ends inside glyph block " + std::to_string(result.blocks + 1) +
                             " (line " + std::to_string(i) + ")";
            result.blocks = 0;
            return result;
        }
        const int g = result.blocks++;
        for (int r = 0; r < GlyphSize; ++r) {
            const std::string& row = lines[i++];
            if (row.size() != static_cast<std::size_t>(GlyphSize)) continue;
            for (int c = 0; c < GlyphSize; ++c)
                if (row[static_cast<std::size_t>(c)] == '0' || row[static_cast<std::size_t>(c)] == '1')
                    loaded.setPixel(g, r, c, row[static_cast<std::size_t>(c)] == '1');
        }
        loaded.setKnown(g, true);
    }
    if (result.blocks == 0) {
        result.problem = "the file holds no glyph block";
        return result;
    }
    glyphs = loaded;
    result.ok = true;
    return result;
}

FontFileLoad loadFontFile(const std::string& path, GlyphSet& glyphs) {
    FontFileLoad result;
    if (!hasFontFileName(path)) {
        result.problem = "the name does not end in FM5";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.problem = path + ": " + errnoText();
        return result;
    }
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (static_cast<std::streamsize>(text.size()) > LargestFile) {
            result.problem = "the file is too large for a font file";
            return result;
        }
    }
    if (in.bad()) {
        result.problem = path + ": read error";
        return result;
    }
    return parseFontFile(text, glyphs);
}

}  // namespace tqm5
