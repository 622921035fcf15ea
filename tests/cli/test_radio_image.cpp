// The radio image file: what it keeps, and the files it refuses.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/radio_backup.h"
#include "app/startup.h"
#include "channels/channel_grid.h"
#include "emulator/demo_image.h"
#include "files/radio_image.h"
#include "files/safety_copies.h"

using namespace tqm5;

namespace {

RadioImage patterned() {
    RadioImage image;
    for (const ImageRegion& r : imageRegions()) {
        Bytes data(static_cast<std::size_t>(r.area.length));
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(r.area.address + i * 7);
        image.put(r.area.address, data);
    }
    return image;
}

// A file with a field changed and the checksum made right again: only the
// header's own checks can refuse it.
Bytes resealed(Bytes file, std::size_t at, uint8_t value) {
    file[at] = value;
    for (int i = 0; i < 4; ++i) file[32 + std::size_t(i)] = 0;
    const uint32_t crc = crc32(file.data(), file.size());
    for (int i = 0; i < 4; ++i) file[32 + std::size_t(i)] = static_cast<uint8_t>(crc >> (8 * i));
    return file;
}

// CRC-32 as zip and PNG take it, bit by bit: the test's own, so a file it
// seals does not depend on the program's.
uint32_t ownCrc32(const Bytes& data) {
    uint32_t crc = 0xFFFFFFFF;
    for (uint8_t b : data) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putLe(Bytes& file, std::size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + std::size_t(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// A radio image of `memory`, laid out field by field as the format
// describes it: header, region table, then the regions' bytes.
Bytes imageFileOf(const Bytes& memory) {
    const std::pair<uint32_t, uint32_t> regions[] = {
        {0x00000, 64},  {0x00040, 64},  {0x00080, 18},  {0x00100, 48},   {0x00130, 40},          {0x00180, 27},
        {0x001A0, 34},  {0x00200, 128}, {0x01000, 256}, {0x01100, 165},  {0x01200, 1623 * 64}, {0x1FE01, 1}};
    Bytes file(144, 0);
    const std::string magic = "TQM5IMG\x1A";
    std::copy(magic.begin(), magic.end(), file.begin());
    putLe(file, 8, 1, 2);
    putLe(file, 10, 48, 2);
    const std::string model = "TQ-M5";
    std::copy(model.begin(), model.end(), file.begin() + 12);
    putLe(file, 28, 104717, 4);
    putLe(file, 36, 12, 2);
    for (std::size_t r = 0; r < 12; ++r) {
        putLe(file, 48 + 8 * r, regions[r].first, 4);
        putLe(file, 52 + 8 * r, regions[r].second, 4);
        file.insert(file.end(), memory.begin() + regions[r].first, memory.begin() + regions[r].first + regions[r].second);
    }
    putLe(file, 32, ownCrc32(file), 4);
    return file;
}

std::string cellsOf(const ChannelGrid& grid, int row) {
    std::string cells;
    for (int col = 1; col < GridCols; ++col) cells += (col > 1 ? "|" : "") + grid.cell(row, col);
    return cells;
}

void open(const std::string& path, Document& doc) {
    const Result<RadioImage> image = loadImageFile(path);
    ASSERT_TRUE(image) << image.error();
    startUp(doc);
    std::string problem;
    EXPECT_TRUE(loadImageIntoDocument(image.value(), doc, &problem)) << problem;
}

}  // namespace

// The demo radio's bytes sealed into an image by the test alone, opened by
// the program: it shows the demo's channels, layout, keys, title and DTMF as
// they are written out by hand beside the demo's tables.
TEST(RadioImage, OpensAnImageSealedWithoutTheProgram) {
    const Bytes check{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    ASSERT_EQ(ownCrc32(check), 0xCBF43926u);
    const auto path = std::filesystem::temp_directory_path() / ("tqm5-sealed-" + std::to_string(::getpid()) + ".m5img");
    const Bytes file = imageFileOf(emu::demoImage());
    ASSERT_EQ(file.size(), 104861u);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    Document doc;
    open(path.string(), doc);
    std::filesystem::remove(path);

    const emu::DemoContent& demo = emu::demoContent();
    for (const emu::DemoRow& r : demo.rows) {
        EXPECT_EQ(cellsOf(doc.grid, r.row), r.cells) << r.row;
        EXPECT_EQ(doc.grid.cell(r.row, ColLabel), r.label) << r.row;
    }
    for (int b = 0; b < 50; ++b) EXPECT_EQ(doc.banks.size[b], demo.bankSizes[std::size_t(b)]) << b;
    for (int k = 0; k < 9; ++k) {
        const auto& want = demo.oneTouch[std::size_t(k)];
        EXPECT_EQ(doc.oneTouch.key(k).noSetting, want.bank < 0) << k;
        if (want.bank >= 0) {
            EXPECT_EQ(std::pair(doc.oneTouch.key(k).bank, doc.oneTouch.key(k).channel), std::pair(want.bank, want.channel))
                << k;
        }
    }
    for (int g = 0; g < GroupCount; ++g)
        for (int b = 0; b < 50; ++b) {
            const auto& m = demo.groups[std::size_t(g)];
            EXPECT_EQ(doc.groups.isMember(g, b), std::find(m.begin(), m.end(), b) != m.end()) << g << " " << b;
        }
    EXPECT_EQ(doc.title.text, demo.title);
    EXPECT_EQ(doc.title.slide, SlideOn);
    for (std::size_t d = 0; d < 10; ++d) EXPECT_EQ(doc.dtmf.memories[d], demo.dtmf[d]) << d;
    EXPECT_EQ(doc.dtmf.lists, (std::array<int, DtmfLists>{demo.dtmfWait, demo.dtmfHead, demo.dtmfBurst, demo.dtmfPause,
                                                          demo.dtmfDialCh}));
    for (int g = 0; g < 8; ++g)
        for (int row = 0; row < 16; ++row)
            for (int col = 0; col < 16; ++col)
                ASSERT_EQ(doc.glyphs.pixel(g, row, col), demo.glyphs[std::size_t(g)][std::size_t(row)][col] == '#')
                    << g << " " << row << " " << col;
}

// A small image made by hand (tests/data/make_small_image.py lists what it
// holds), opened by the program.
TEST(RadioImage, OpensTheHandMadeImage) {
    Document doc;
    open(TQM5_TEST_DATA "/small.m5img", doc);
    for (int row = 1; row <= LastRow; ++row)
        if (row != 1 && row != 501) {
            ASSERT_FALSE(doc.grid.inUse(row)) << row;
        }
    EXPECT_EQ(cellsOf(doc.grid, 1), "145.00000MHz|FM|20KHz|ＪＲ|None|88.5Hz|88.5Hz|023|Off|0.000MHz||ABC");
    EXPECT_EQ(doc.grid.cell(1, ColLabel), "Bank000-0");
    EXPECT_EQ(cellsOf(doc.grid, 501), "433.50000MHz|NFM|12.5KHz|ＪＲ|TSQ|88.5Hz|88.5Hz|023|-|5.000MHz|*|ﾃｽﾄ");
    EXPECT_EQ(doc.grid.cell(501, ColLabel), "Bank001-0");
    std::array<int, 50> sizes{};
    sizes[0] = sizes[1] = 500;
    for (int b = 0; b < 50; ++b) EXPECT_EQ(doc.banks.size[b], sizes[std::size_t(b)]) << b;
    for (int g = 0; g < GroupCount; ++g)
        for (int b = 0; b < 50; ++b)
            EXPECT_EQ(doc.groups.isMember(g, b), (g == 0 && b < 2) || (g == 10 && b == 49)) << g << " " << b;
    EXPECT_FALSE(doc.oneTouch.key(0).noSetting);
    EXPECT_EQ(std::pair(doc.oneTouch.key(0).bank, doc.oneTouch.key(0).channel), std::pair(1, 0));
    for (int k = 1; k < 9; ++k) EXPECT_TRUE(doc.oneTouch.key(k).noSetting) << k;
    EXPECT_EQ(doc.title.text, "HELLO");
    EXPECT_EQ(doc.title.slide, SlideOn);
    EXPECT_EQ(doc.setMode.position("Set_Mode_Display[1]"), 2);  // Illumination 10sec.
    EXPECT_EQ(doc.setMode.position("Set_Mode_Display[2]"), 2);  // Dimmer 3
    EXPECT_EQ(doc.setMode.position("Set_Mode_Display[3]"), 7);  // Screen contrast 8
    EXPECT_EQ(doc.dtmf.memories[0], "119");
    for (std::size_t d = 1; d < 10; ++d) EXPECT_EQ(doc.dtmf.memories[d], "") << d;
    EXPECT_EQ(doc.dtmf.lists, (std::array<int, DtmfLists>{1, 5, 5, 2, 0}));
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 16; ++col) EXPECT_EQ(doc.glyphs.pixel(0, row, col), row == 0 && col == 0);
}

TEST(RadioImage, KeepsEveryRegionByteForByte) {
    const RadioImage image = patterned();
    const Result<RadioImage> back = parseImage(serializeImage(image));
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back.value(), image);
    for (const ImageRegion& r : imageRegions()) EXPECT_EQ(back->bytes(r.area), image.bytes(r.area)) << r.name;
    // Bytes outside the regions are not kept, and asking for them is an error.
    RadioImage other;
    EXPECT_EQ(other.put(radio::PassIndex.address, Bytes(8, 1)), 0);
    EXPECT_EQ(other.put(radio::Dtmf.end() - 2, Bytes(8, 1)), 2);
    EXPECT_FALSE(other.holds(radio::PassIndex.address, 1));
    EXPECT_THROW(other.bytes(radio::PassIndex.address, 1), std::out_of_range);
}

// Spans that start, end or pass between regions, against a byte-by-byte
// model of where the regions lie.
TEST(RadioImage, SpansAcrossRegionEdgesAndGaps) {
    const auto inRegion = [](uint32_t a) {
        for (const ImageRegion& r : imageRegions())
            if (a >= r.area.address && a < r.area.end()) return true;
        return false;
    };
    const struct {
        uint32_t address;
        int length;
    } spans[] = {{radio::GroupsFirst.end() - 5, 10},      {radio::SettingsBlock3.end() - 3, 0x80},
                 {radio::Dtmf.end() - 20, 0x70},          {radio::ChannelRecords.end() - 30, 64},
                 {radio::WriteProtect.address - 2, 4},    {0, 0x300},
                 {radio::PassIndex.address, 64},          {radio::ChannelRecords.address + 640, 64}};
    RadioImage image;
    std::map<uint32_t, uint8_t> model;  // every byte put so far, as the image must hold it
    for (const auto& s : spans) {
        SCOPED_TRACE(s.address);
        Bytes data(static_cast<std::size_t>(s.length)), expectBlock(data.size(), 0);
        int inside = 0;
        for (int i = 0; i < s.length; ++i) {
            const uint32_t a = s.address + uint32_t(i);
            data[std::size_t(i)] = static_cast<uint8_t>(a * 13 + s.length);
            if (!inRegion(a)) continue;
            ++inside;
            model[a] = expectBlock[std::size_t(i)] = data[std::size_t(i)];
        }
        EXPECT_EQ(image.holds(s.address, s.length), inside == s.length);
        EXPECT_EQ(image.put(s.address, data), inside);
        EXPECT_EQ(image.knows(s.address, s.length), inside == s.length);
        EXPECT_EQ(image.block(s.address, s.length), expectBlock);
        if (inside == s.length) EXPECT_EQ(image.bytes(s.address, s.length), data);
        else EXPECT_THROW(image.bytes(s.address, s.length), std::out_of_range);
        image.forget(s.address, s.length / 2);
        for (int i = 0; i < s.length; ++i)
            EXPECT_EQ(image.knows(s.address + uint32_t(i), 1), inRegion(s.address + uint32_t(i)) && i >= s.length / 2) << i;
        image.put(s.address, data);
    }
    for (const ImageRegion& r : imageRegions())
        for (int i = 0; i < r.area.length; ++i) {
            const uint32_t a = r.area.address + uint32_t(i);
            EXPECT_EQ(image.knows(a, 1), model.count(a) == 1) << std::hex << a;
            EXPECT_EQ(image.bytes(a, 1)[0], model.count(a) ? model[a] : 0) << std::hex << a;
        }
}

TEST(RadioImage, RefusesDamagedTruncatedAndForeignFiles) {
    const Bytes file = serializeImage(patterned());
    struct Case {
        const char* what;
        Bytes bytes;
        const char* says;
    };
    std::vector<Case> cases;
    // One bit flipped anywhere: magic, version, model, sizes, checksum,
    // region table, body, last byte.
    for (std::size_t at : {std::size_t(0), std::size_t(9), std::size_t(13), std::size_t(29), std::size_t(33),
                           std::size_t(38), std::size_t(47), std::size_t(52), std::size_t(200), file.size() / 2,
                           file.size() - 1}) {
        Bytes b = file;
        b[at] ^= 0x10;
        cases.push_back({"flipped", b, ""});
    }
    cases.push_back({"truncated by one", Bytes(file.begin(), file.end() - 1), "truncated"});
    cases.push_back({"truncated to the header", Bytes(file.begin(), file.begin() + 48), "truncated"});
    cases.push_back({"empty", Bytes{}, "not a TQM5 Writer radio image"});
    Bytes longer = file;
    longer.push_back(0);
    cases.push_back({"one byte more", longer, "longer"});
    cases.push_back({"another radio", resealed(file, 12, 'X'), "another radio"});
    cases.push_back({"a later format", resealed(file, 8, 2), "version 2"});
    cases.push_back({"other regions", resealed(file, 48, 0x40), "other regions"});
    for (const Case& c : cases) {
        const Result<RadioImage> refused = parseImage(c.bytes);
        EXPECT_FALSE(refused) << c.what;
        EXPECT_NE(refused.error().find(c.says), std::string::npos) << c.what << ": " << refused.error();
    }
}

// A verify difference says what lives at its address: a channel by the
// label of its row (dual records by theirs), else the region.
TEST(RadioImage, ADifferenceNamesTheChannelOrTheRegion) {
    const ChannelGrid grid;  // the default bank layout's labels
    const std::pair<uint32_t, const char*> cases[] = {
        {0x01240, "0x01240 (channel Bank000-1): wrote 01, read 00"},
        {0x13E3F, "0x13E3F (channel Dual0(Sub)): wrote 01, read 00"},  // record 1201
        {0x00200, "0x00200 (bank layout): wrote 01, read 00"},
        {0x01020, "0x01020 (user character 2): wrote 01, read 00"},
        {0x00C10, "0x00C10 (pass-channel index): wrote 01, read 00"},
        {0x01100, "0x01100 (DTMF memories): wrote 01, read 00"},
    };
    for (const auto& [address, text] : cases) EXPECT_EQ(describe(Mismatch{address, 1, 0}, grid), text);
}

TEST(SafetyCopies, KeepTheNewestTwentyInOrder) {
    const auto folder = std::filesystem::temp_directory_path() / ("tqm5-safety-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    EXPECT_EQ(safetyCopyFolder(), (folder / "tqm5writer" / "backups").string());
    std::vector<std::string> made;
    for (int i = 0; i < 23; ++i) {
        RadioImage image;
        image.put(radio::Title.address, Bytes{static_cast<uint8_t>(i)});
        const Result<SafetyCopy> copy = saveSafetyCopy(image);
        ASSERT_TRUE(copy.ok()) << copy.error();
        EXPECT_EQ(copy->warning, "");
        made.push_back(copy->path);
    }
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(safetyCopyFolder())) left.push_back(e.path().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, std::vector<std::string>(made.begin() + 3, made.end()));
    // The newest holds what was saved last.
    const Result<RadioImage> newest = loadImageFile(made.back());
    ASSERT_TRUE(newest) << newest.error();
    EXPECT_EQ(newest->bytes(radio::Title.address, 1), Bytes{22});
    std::filesystem::remove_all(folder);
}

// The folder's permissions as an unprivileged user meets them: one it may
// write but not list, then a sticky one holding another user's copies. The
// copy is kept where it can be, and what went wrong is told.
TEST(SafetyCopies, AFolderThatCannotBeListedOrPrunedIsTold) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    namespace fs = std::filesystem;
    const auto base = fs::temp_directory_path() / ("tqm5-locked-" + std::to_string(::getpid()));
    fs::remove_all(base);
    ::setenv("XDG_DATA_HOME", base.c_str(), 1);
    const fs::path folder = safetyCopyFolder();
    std::string path;
    auto toldAsNobody = [&path] {
        if (::setegid(65534) != 0 || ::seteuid(65534) != 0) return std::string("not user 65534");
        const Result<SafetyCopy> copy = saveSafetyCopy(RadioImage{});
        path = copy ? copy->path : std::string();
        const bool back = ::seteuid(0) == 0 && ::setegid(0) == 0;
        return back ? safetyCopyProblem(copy) : "not root again";
    };
    const std::string kept = "A safety copy of the radio was kept in ";

    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::others_write | fs::perms::others_exec);
    std::string told = toldAsNobody();
    EXPECT_EQ(told, kept + path + ", but the older copies in " + folder.string() +
                        " could not be listed, so none was removed: Permission denied");
    EXPECT_TRUE(fs::exists(path));

    fs::remove(path);
    for (int i = 10; i < 31; ++i) {
        const Result<void> saved =
            saveImageFile((folder / ("radio-20000101-000000-0" + std::to_string(i) + ".m5img")).string(), RadioImage{});
        ASSERT_TRUE(saved) << saved.error();
    }
    fs::permissions(folder, fs::perms::all | fs::perms::sticky_bit);
    told = toldAsNobody();
    EXPECT_EQ(told, kept + path + ", but 2 older copies could not be removed (the first, " +
                        (folder / "radio-20000101-000000-010.m5img").string() + ": Operation not permitted)");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 22);
    fs::remove_all(base);
}
