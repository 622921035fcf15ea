// The font file: save, load and every rule of the reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "font/font_file.h"

using namespace tqm5;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() / ("tqm5-font-" + std::to_string(::getpid()) + "-" +
                                            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const std::string& name, const std::string& text) const {
        const fs::path p = path / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
};

GlyphSet sample() {
    GlyphSet s;
    for (int g = 0; g < GlyphCount; ++g)
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c) s.setPixel(g, r, c, (r * 7 + c * 3 + g) % 5 == 0);
    return s;
}

std::string row(const std::string& bits) { return bits + "\r\n"; }

// A file with `blocks` blocks headed by the given digits, every row all ones.
std::string fileWith(const std::vector<std::string>& headers, const std::string& rowText = std::string(16, '1')) {
    std::string t = "Save Date and Time 2024/01/02 03:04:05\r\n";
    for (const auto& h : headers) {
        t += h + "\r\n";
        for (int r = 0; r < 16; ++r) t += row(rowText);
    }
    return t + "File End\r\n";
}

}  // namespace

TEST(FontFile, SaveAndLoadRoundTrip) {
    TempDir dir;
    const GlyphSet glyphs = sample();
    const std::string path = (dir.path / "glyphs.FM5").string();
    ASSERT_TRUE(writeFontFile(path, glyphs, "Save Date and Time 2024/05/06 07:08:09").ok());
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(FontFileLines));
    EXPECT_EQ(text.size(), text.rfind("\r\n") + 2);  // every line, the last one too, ends in CR LF
    EXPECT_EQ(lines[0], "Save Date and Time 2024/05/06 07:08:09");
    EXPECT_EQ(lines[1], "0");
    EXPECT_EQ(lines[18], "1");
    EXPECT_EQ(lines[120], "7");
    EXPECT_EQ(lines[137], "File End");
    EXPECT_EQ(text.find('\n'), text.find('\r') + 1);

    GlyphSet loaded;
    const Result<FontGlyphsRead> r = readFontFile(path, loaded);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->blocks, 8);
    EXPECT_TRUE(loaded == glyphs);
    for (int g = 0; g < GlyphCount; ++g) EXPECT_TRUE(loaded.known(g));

    // Saving again replaces the file and leaves no temporary file beside it.
    ASSERT_TRUE(writeFontFile(path, GlyphSet{}).ok());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator{}), 1);
    ASSERT_TRUE(readFontFile(path, loaded).ok());
    EXPECT_TRUE(loaded == GlyphSet{});
    EXPECT_EQ(fontFileStamp().rfind("Save Date and Time ", 0), 0u);
}

TEST(FontFile, SaveToAFolderThatIsNotThereFailsAndSaysSo) {
    TempDir dir;
    const std::string path = (dir.path / "missing" / "x.FM5").string();
    EXPECT_EQ(writeFontFile(path, sample()).error(),
              path + ": cannot create a file in the folder: No such file or directory");
    EXPECT_TRUE(fs::is_empty(dir.path));
}

TEST(FontFile, BlocksCountInOrderWhateverTheirDigits) {
    GlyphSet s;
    // Headers "5", "6": glyphs 0 and 1; a letter counts as 0 and opens the
    // third block. Empty lines between blocks are passed over.
    std::string text = fileWith({"5", "6"});
    text.resize(text.rfind("File End"));
    text += "\r\nX\r\n";
    for (int r = 0; r < 16; ++r) text += row(r == 3 ? "0000000000000001" : std::string(16, '0'));
    text += "File End\r\n";
    const Result<FontGlyphsRead> r = parseFontFile(text, s);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->blocks, 3);
    EXPECT_TRUE(s.pixel(0, 0, 0) && s.pixel(1, 15, 15));
    EXPECT_TRUE(s.pixel(2, 3, 15));
    EXPECT_FALSE(s.pixel(2, 3, 14));
    EXPECT_TRUE(s.known(2));
    EXPECT_FALSE(s.known(3));
    EXPECT_FALSE(s.pixel(3, 0, 0));
}

TEST(FontFile, DamagedFilesAreRefusedWholeNamingTheLine) {
    // Glyph 0's rows are lines 3 to 18; glyph 1's header is line 19.
    auto damaged = [](int line, const std::string& text) {
        std::string file = fileWith({"0", "1"});
        std::size_t at = 0;
        for (int l = 1; l < line; ++l) at = file.find("\r\n", at) + 2;
        file.replace(at, file.find("\r\n", at) - at, text);
        return file;
    };
    struct Case {
        std::string text;
        const char* problem;
    };
    for (const Case& c : {Case{damaged(7, std::string(15, '0')), "line 7 is not a glyph row"},
                          Case{damaged(8, "00x0000000000001"), "line 8 is not a glyph row"},
                          Case{damaged(18, std::string(17, '1')), "line 18 is not a glyph row"},
                          Case{damaged(19, "9"), "line 19 names glyph 9, which does not exist"},
                          Case{damaged(19, "noise"), "line 19 is neither a glyph number nor \"File End\""}}) {
        GlyphSet s = sample();
        s.setKnown(0, false);
        const GlyphSet before = s;
        const Result<FontGlyphsRead> r = parseFontFile(c.text, s);
        EXPECT_FALSE(r.ok()) << c.problem;
        EXPECT_EQ(r.error().rfind(c.problem, 0), 0u) << r.error();
        EXPECT_TRUE(s == before) << c.problem;
        EXPECT_FALSE(s.known(0)) << c.problem;
    }
    const std::string cut = "line 7 is not a glyph row (16 characters, each 0 or 1)";
    EXPECT_EQ(fontFileRefusal("a.FM5", cut),
              "This font file cannot be read: line 7 is not a glyph row (16 characters, each 0 or 1). "
              "No glyph was changed.");
    EXPECT_EQ(fontFileRefusal("a.txt", cut), "This File don't Open");
}

TEST(FontFile, RefusedFilesChangeNothing) {
    TempDir dir;
    const GlyphSet before = sample();
    std::string cut = fileWith({"0"});
    cut.resize(cut.rfind("File End"));
    cut += "1\r\n";
    for (int r = 0; r < 10; ++r) cut += row(std::string(16, '0'));  // the second block stops after ten rows
    struct Case { const char* name; std::string text; };
    for (const Case& c : {Case{"empty.FM5", ""}, Case{"header.FM5", "Save Date and Time\r\n"},
                          Case{"noblock.FM5", "Save\r\nFile End\r\n"}, Case{"cut.FM5", cut},
                          Case{"glyphs.txt", fileWith({"0"})}, Case{"glyphs.FM", fileWith({"0"})}}) {
        GlyphSet s = before;
        const Result<FontGlyphsRead> r = readFontFile(dir.file(c.name, c.text), s);
        EXPECT_FALSE(r.ok()) << c.name;
        EXPECT_FALSE(r.error().empty()) << c.name;
        EXPECT_TRUE(s == before) << c.name;
    }
    GlyphSet s;
    EXPECT_FALSE(readFontFile((dir.path / "none.FM5").string(), s).ok());
    // The name rule takes any case; line ends may be LF alone.
    std::string lf = fileWith({"0"});
    for (std::size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
    EXPECT_TRUE(readFontFile(dir.file("lower.fm5", lf), s).ok());
    EXPECT_TRUE(s.pixel(0, 15, 15));
}

TEST(FontFile, NinthBlockEndsTheLoadKeepingTheEight) {
    GlyphSet s;
    std::string text = fileWith({"0", "1", "2", "3", "4", "5", "6", "7"});
    text += "0\r\n";  // a ninth block, cut short: never read
    const Result<FontGlyphsRead> r = parseFontFile(text, s);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->stoppedAtNinth);
    EXPECT_EQ(r->blocks, 8);
    EXPECT_TRUE(s.pixel(7, 15, 15));
}
