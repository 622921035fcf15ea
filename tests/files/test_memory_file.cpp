// The memory file: byte-exact writing, reading back every feature, the
// reader's rules and its refusal of a bad file, atomic saves.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/commands.h"
#include "app/file_commands.h"
#include "files/memory_file.h"
#include "files/radio_image.h"
#include "files/text_file.h"
#include "font/font_file.h"
#include "support/full_document.h"
#include "support/recording_host.h"
#include "support/scripted_link.h"

using namespace tqm5;
namespace fs = std::filesystem;

namespace {

const char* const Stamp = "Save Date and Time 2024/01/02 03:04:05";

MemoryFileModels models(Document& d) {
    return MemoryFileModels{d.grid, d.banks, d.oneTouch, d.dtmf, d.title, d.groups, d.setMode};
}

std::string slurp(const std::string& path) {
    const Result<std::string> s = files::readWholeFile(path);
    EXPECT_EQ(s.error(), "") << path;
    return s ? s.value() : std::string();
}

void setRow(ChannelGrid& g, int r, std::array<std::string, 12> cells, RowAttributes a) {
    for (int c = 0; c < 12; ++c) g.setCell(r, c + 1, cells[static_cast<std::size_t>(c)]);
    g.attr(r) = a;
    g.setNameString(r - 1, displayToName(cells[11]));
}

// The small document the golden file was written by hand for.
void smallDocument(Document& d) {
    startUp(d);
    setRow(d.grid, 1, {"145.00000MHz", "FM", "5KHz", "2300Hz", "Tone", "88.5Hz", "100.0Hz", "023", "+", "0.600MHz", "", "AB:1~"},
           {8, 12, 0, 20, 0, 1});
    setRow(d.grid, 2, {"1295.00000MHz", "NFM", "25KHz", "ＪＲ", "DCS", "67.0Hz", "67.0Hz", "032", "-", "20.000MHz", "*", "Rpt"},
           {0, 0, 4, 28, 7, 1});
    setRow(d.grid, 1600, {"433.50000MHz", "AM", "1MHz", "300Hz", "Train", "250.3Hz", "67.0Hz", "754", "Off", "10.000MHz", "", "愛"},
           {38, 0, 103, 0, 15, 1});
    d.title.text = "T:2~";
    d.dtmf.memories[3] = "12#*";
}

// A channel line from its fields.
std::string chLine(int index, const char* freq, const char* codes, const char* offset, const char* skip, const std::string& name) {
    char head[8];
    std::snprintf(head, sizeof head, "CH%04d", index);
    return head + std::string(freq) + codes + offset + skip + name;
}
// FM, step 0, train 20, None, tones 8 and 8, DCS 0, Off: the codes of a fresh channel.
const char* const Plain = "0" "00" "20" "0" "08" "08" "000" "0";

// Opens `text` (header line added) into `d` and returns the result.
Result<MemoryFileContent> openText(Document& d, const std::string& body) {
    const Result<MemoryFileContent> read = parseMemoryFile(toCp932(std::string(Stamp) + "\r\n" + body));
    if (read.ok()) {
        MemoryFileModels m = models(d);
        applyMemoryFile(read.value(), m);
    }
    return read;
}

std::string sameRows(const ChannelGrid& a, const ChannelGrid& b) {
    for (int r = 1; r <= LastRow; ++r) {
        for (int c = 0; c < GridCols; ++c)
            if (a.cell(r, c) != b.cell(r, c)) return "row " + std::to_string(r) + " col " + std::to_string(c) + ": " + a.cell(r, c) + " / " + b.cell(r, c);
        // Rows without a channel differ only in hidden codes nothing uses.
        if ((a.inUse(r) || b.inUse(r)) && !(a.attr(r) == b.attr(r))) return "attributes of row " + std::to_string(r);
        if (a.nameString(r - 1) != b.nameString(r - 1)) return "name string of row " + std::to_string(r);
    }
    return "";
}

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("tqm5-files-" + std::to_string(::getpid()) + "-" + std::to_string(rand()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};

}  // namespace

TEST(MemoryFile, SmallDocumentIsWrittenByteForByteAsTheGoldenFile) {
    Document d;
    smallDocument(d);
    const std::string written = memoryFileBytes(models(d), 7, Stamp);
    EXPECT_EQ(written, slurp(TQM5_TEST_DATA "/small.M5"));

    // And the golden file opens into the same document.
    Document back;
    startUp(back);
    const Result<MemoryFileContent> read = parseMemoryFile(written);
    ASSERT_TRUE(read.ok()) << read.error();
    MemoryFileModels m = models(back);
    applyMemoryFile(read.value(), m);
    EXPECT_EQ(sameRows(d.grid, back.grid), "");
    EXPECT_EQ(back.grid.nameString(0), "AB\u2460");
    EXPECT_EQ(back.grid.cell(1, ColFreq), "145.00000MHz");  // 0145.00000 back without its zero
    EXPECT_EQ(back.grid.cell(1, ColOffset), "0.600MHz");
    EXPECT_EQ(back.title.text, "T:2~");
    EXPECT_EQ(back.dtmf.memories[3], "12#*");
}

TEST(MemoryFile, FullDocumentRoundTripsEveryFeature) {
    Document d;
    test::fillFullDocument(d);
    const std::string first = memoryFileBytes(models(d), 12, Stamp);

    Document back;
    startUp(back);
    const Result<MemoryFileContent> read = parseMemoryFile(first);
    ASSERT_TRUE(read.ok()) << read.error();
    MemoryFileModels m = models(back);
    applyMemoryFile(read.value(), m);
    back.grid.applyLabels(back.banks.size);

    EXPECT_EQ(sameRows(d.grid, back.grid), "");  // every row, TSF and bug rows included
    EXPECT_EQ(back.banks.size, d.banks.size);
    for (int k = 0; k < OneTouchKeyCount; ++k) {
        EXPECT_EQ(back.oneTouch.key(k).noSetting, d.oneTouch.key(k).noSetting) << k;
        if (d.oneTouch.key(k).noSetting) continue;  // an unused key comes back at the first bank
        EXPECT_EQ(back.oneTouch.key(k).bank, d.oneTouch.key(k).bank) << k;
        EXPECT_EQ(back.oneTouch.key(k).channel, d.oneTouch.key(k).channel) << k;
    }
    EXPECT_EQ(back.dtmf.memories, d.dtmf.memories);
    EXPECT_EQ(back.dtmf.lists, d.dtmf.lists);
    EXPECT_EQ(back.title.text, d.title.text);
    EXPECT_EQ(back.groups.member, d.groups.member);
    EXPECT_EQ(back.groups.unavailable, d.groups.unavailable);
    for (int group = 1; group <= 11; ++group)
        for (int item : setModeFileGroup(group)) EXPECT_EQ(back.setMode.position(item), d.setMode.position(item)) << item;
    EXPECT_EQ(back.setMode.labelled, d.setMode.labelled);
    EXPECT_EQ(memoryFileBytes(models(back), 12, Stamp), first);
}

TEST(MemoryFile, ReaderRules) {
    Document d;
    startUp(d);
    d.port = 4;
    const std::string name33(33, 'N');
    const std::string userChars16 = ":1~:2~:3~:4~:5~:6~:7~:8~:1~:2~:3~:4~:5~:6~:7~:8~";  // 48 characters, counted 32
    ASSERT_TRUE(openText(d, chLine(4, "0145.00000", Plain, "000.600", "0", name33) + "\r\n" +
                            chLine(5, "0145.00000", Plain, "000.600", "0", userChars16) + "\r\n" +
                            chLine(6, "0145.12345", Plain, "000.600", "0", "AB:1~") + "\r\n" +
                            chLine(CallVhfRow - 1, "0145.00000", Plain, "000.600", "0", name33) + "\r\n"
                            "NUM_DTMF00312ab#*X\r\n"
                            "COMPORT09\r\nFile End\r\n").ok());
    EXPECT_FALSE(d.grid.inUse(5));  // the 33-byte name drops its channel
    EXPECT_EQ(d.grid.cell(5, ColFreq), "");
    EXPECT_TRUE(d.grid.inUse(CallVhfRow));  // a call row keeps what a dropped line would have replaced
    EXPECT_NE(d.grid.cell(CallVhfRow, ColFreq), "");
    EXPECT_TRUE(d.grid.inUse(6));
    EXPECT_EQ(d.grid.cell(6, ColName), userChars16);
    EXPECT_EQ(d.grid.cell(7, ColFreq), "145.12345MHz");
    EXPECT_EQ(d.grid.cell(7, ColOffset), "0.600MHz");
    EXPECT_EQ(d.grid.nameString(6), "AB\u2460");
    EXPECT_EQ(d.dtmf.memories[3], "12#*");
    EXPECT_EQ(d.port, 4);  // the port line is not read
}

// A memory file a text editor saved as UTF-8, with or without the byte
// order mark, reads as the Shift-JIS one does.
TEST(MemoryFile, SavedAsUtf8ItReadsTheSame) {
    const std::string body = chLine(0, "0145.00000", Plain, "000.000", "0", "東京ﾓｰﾋﾞﾙ") + "\r\nTITLEｸﾗﾌﾞ局\r\n";
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
        const Result<MemoryFileContent> read = parseMemoryFile(mark + Stamp + "\r\n" + body);
        ASSERT_TRUE(read.ok()) << read.error();
        ASSERT_EQ(read.value().channels.size(), 1u);
        EXPECT_EQ(read.value().channels[0].cells[ColName], "東京ﾓｰﾋﾞﾙ");
        EXPECT_EQ(read.value().title, "ｸﾗﾌﾞ局");
    }
}

TEST(MemoryFile, HeaderAndFileEndEmptyTheOrdinaryRowsOnly) {
    Document d;
    test::fillFullDocument(d);
    const auto banks = d.banks.size;
    const std::string title = d.title.text;
    ASSERT_TRUE(openText(d, "File End\r\n").ok());
    for (int r : {1, 1000, 1101, 1400, 1404, 1603}) EXPECT_FALSE(d.grid.inUse(r)) << r;
    for (int r : {1, 1603}) EXPECT_EQ(d.grid.cell(r, ColFreq), "") << r;
    for (int r : {1401, 1403, 1604, 1623}) {
        EXPECT_TRUE(d.grid.inUse(r)) << r;
        EXPECT_EQ(d.grid.nameString(r - 1), displayToName(d.grid.cell(r, ColName))) << r;
    }
    EXPECT_EQ(d.banks.size, banks);
    EXPECT_EQ(d.title.text, title);
}

TEST(MemoryFile, ABankOfAThousandChannelsReadsBack) {
    Document d;
    startUp(d);
    std::array<int, BankLayout::Banks> sizes{};
    sizes[13] = 1000;
    d.banks.assign(sizes);
    const std::string bytes = memoryFileBytes(models(d), 1, Stamp);
    const std::string line = "BK0001000" "000" "000" "1000" "000000000000000000";
    ASSERT_NE(bytes.find("\r\n" + line + "\r\n"), std::string::npos);
    Document back;
    startUp(back);
    const Result<MemoryFileContent> read = parseMemoryFile(bytes);
    ASSERT_TRUE(read.ok());
    MemoryFileModels m = models(back);
    applyMemoryFile(read.value(), m);
    EXPECT_EQ(back.banks.size, sizes);
}

// Each of these lines stops the reading; the document stays as it was and
// the message names the line.
TEST(MemoryFile, ABadLineChangesNothingAndIsNamed) {
    const std::string good = chLine(0, "0145.00000", Plain, "000.000", "0", "Kept") + "\r\n";
    const std::pair<std::string, const char*> bad[] = {
        {chLine(1, "0145.00000", "0" "00" "20" "0" "39" "08" "000" "0", "000.000", "0", ""), "tone 39"},
        {chLine(1, "0145.00000", "0" "00" "29" "0" "08" "08" "000" "0", "000.000", "0", ""), "carrier 29"},
        {chLine(1, "0145.00000", "0" "00" "20" "0" "08" "08" "104" "0", "000.000", "0", ""), "DCS code 104"},
        {chLine(1623, "0145.00000", Plain, "000.000", "0", ""), "channel 1623"},
        {chLine(1, "0145.0x000", Plain, "000.000", "0", ""), "not a number"},
        {chLine(3, "014X.64000", Plain, "000.000", "0", ""), "the frequency \"014X.64000\" is not a number"},
        {chLine(3, "9999.99999", Plain, "000.000", "0", ""), "9999.99999 MHz is outside the bands"},
        {chLine(3, "0835.00000", Plain, "000.000", "0", ""), "835.00000 MHz is outside the bands"},  // blocked
        {chLine(3, "0000.50000", Plain, "000.000", "0", ""), "0.50000 MHz is outside the bands"},
        {chLine(1400, "0433.00000", Plain, "000.000", "0", ""), "433.00000 MHz is outside the bands"},  // CALL-VHF
        {chLine(3, "0145.00000", Plain, "0x0.600", "0", ""), "the offset \"0x0.600\""},
        {chLine(3, "0145.00000", Plain, "999.996", "0", ""), "the offset \"999.996\""},
        {"CH0001014500000", "cut short"},
        {"SET_DTMF099005005002000", "COMMON_WAIT"},
        {"NUM_DTMF0101234", "DTMF memory 10"},
        {"SD02000099000", "Set Mode value 99"},
        {"SD04001001", "more values"},
        {"GRD1100000000000000000000000000000000000000000000000000", "group 11"},
        {"XBYTES001A041004", "radio bytes is damaged"},          // half a byte
        {"XBYTES001A", "radio bytes is damaged"},                // no address whole
        {"XBYTES001A04X00", "radio bytes is damaged"},           // not hexadecimal
        {"XBYTES1FFFF4100", "address the radio image does not hold"},
    };
    for (auto [line, reason] : bad) {
        Document d;
        test::fillFullDocument(d);
        Document before;
        test::fillFullDocument(before);
        test::RecordingHost host;
        test::ScriptedLink link;
        Commands commands(d, link, host);
        const TempDir dir;
        const std::string path = dir.file("bad.M5");
        std::ofstream(path, std::ios::binary) << Stamp << "\r\n" << good << "TITLEchanged\r\n" << line << "\r\nFile End\r\n";
        EXPECT_FALSE(commands.files.openMemoryFile(path)) << line;
        EXPECT_EQ(sameRows(d.grid, before.grid), "") << line;
        EXPECT_EQ(d.title.text, before.title.text) << line;
        EXPECT_FALSE(d.origin.known) << line;
        ASSERT_EQ(host.messages.size(), 1u) << line;
        EXPECT_EQ(host.messages[0].title, "Error");
        EXPECT_NE(host.messages[0].text.find("Line 4 "), std::string::npos) << host.messages[0].text;
        EXPECT_NE(host.messages[0].text.find(reason), std::string::npos) << host.messages[0].text;
    }
    // A step the table does not have is no error: it shows the first entry
    // and is kept as read.
    const Result<MemoryFileContent> read =
        parseMemoryFile(std::string(Stamp) + "\r\n" + chLine(1, "0145.00000", "0" "16" "20" "0" "08" "08" "000" "0", "000.000", "0", "") + "\r\n");
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read.value().channels.at(0).cells[ColStep], "5KHz");
    EXPECT_EQ(read.value().channels.at(0).attr.step, 16);
}

TEST(MemoryFile, OpenAndSaveReportAndMarkTheDocument) {
    const TempDir dir;
    Document d;
    smallDocument(d);
    test::RecordingHost host;
    test::ScriptedLink link;
    Commands commands(d, link, host);
    d.markEdited(1, 2);
    ASSERT_TRUE(commands.files.saveMemoryFile(dir.file("a.M5")));
    EXPECT_FALSE(d.hasUnsavedEdits());
    EXPECT_EQ(host.messages.back().text, "Save File");
    EXPECT_EQ(host.messages.back().title, "Finish");

    // Saved without ".M5" it is written, but not opened.
    ASSERT_TRUE(commands.files.saveMemoryFile(dir.file("b.txt")));
    EXPECT_FALSE(commands.files.openMemoryFile(dir.file("b.txt")));
    EXPECT_EQ(host.messages.back().text, "This File don't Open");
    EXPECT_EQ(host.messages.back().title, "Error");

    Document other;
    startUp(other);
    Commands second(other, link, host);
    ASSERT_TRUE(second.files.openMemoryFile(dir.file("a.M5")));
    EXPECT_EQ(host.messages.back().text, "Read File");
    EXPECT_EQ(host.messages.back().title, "Finish");
    EXPECT_TRUE(other.origin.known);  // a write asks nothing
    EXPECT_EQ(sameRows(d.grid, other.grid), "");
    EXPECT_TRUE(fs::is_empty(dir.path) == false);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 2);  // no temporary left
}

// A disk that fills up during the save: the save says so, and the file
// saved before is intact.
TEST(MemoryFile, AFailedSaveReportsItAndLeavesTheOldFile) {
    const TempDir dir;
    const std::string path = dir.file("keep.M5");
    std::ofstream(path, std::ios::binary) << "old contents";
    Document d;
    test::fillFullDocument(d);
    test::RecordingHost host;
    test::ScriptedLink link;
    Commands commands(d, link, host);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = commands.files.saveMemoryFile(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Error");
    EXPECT_EQ(slurp(path), "old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
    EXPECT_FALSE(commands.files.saveMemoryFile(dir.file("no/such/folder.M5")));
}

// Every file the program saves gets the permissions the user's umask gives
// a new file, like any other program's, not the private ones of a
// temporary file.
TEST(MemoryFile, SavedFilesGetTheUsualPermissions) {
    Document d;
    startUp(d);
    test::RecordingHost host;
    test::ScriptedLink link;
    Commands commands(d, link, host);
    const TempDir dir;
    struct Kind {
        const char* name;
        std::function<bool(const std::string&)> save;
    };
    const Kind kinds[] = {
        {"a.M5", [&](const std::string& p) { return commands.files.saveMemoryFile(p); }},
        {"a.CSV", [&](const std::string& p) { return commands.files.exportCsv(p); }},
        {"a.FM5", [&](const std::string& p) { return writeFontFile(p, d.glyphs).ok(); }},
        {"a.m5img", [&](const std::string& p) { return saveImageFile(p, RadioImage{}).ok(); }},
        {"TQM5Writer.INI", [&](const std::string& p) { return commands.files.configPath = p, commands.files.writeConfiguration(); }},
    };
    for (auto [mask, mode] : {std::pair<mode_t, unsigned>{022, 0644}, {077, 0600}}) {
        const mode_t old = ::umask(mask);
        for (const Kind& k : kinds) {
            const std::string path = dir.file(k.name);
            fs::remove(path);
            const bool saved = k.save(path);
            struct stat st {};
            const bool there = ::stat(path.c_str(), &st) == 0;
            ::umask(old);
            ASSERT_TRUE(saved && there) << k.name;
            EXPECT_EQ(st.st_mode & 0777, mode) << k.name << " umask " << std::oct << mask;
            ::umask(mask);
        }
        ::umask(old);
    }
}
