// The radio image file: what it keeps, and the files it refuses.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "channels/channel_grid.h"
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

}  // namespace

TEST(RadioImage, KeepsEveryRegionByteForByte) {
    const RadioImage image = patterned();
    std::string error;
    const auto back = parseImage(serializeImage(image), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, image);
    for (const ImageRegion& r : imageRegions()) EXPECT_EQ(back->bytes(r.area), image.bytes(r.area)) << r.name;
    // Bytes outside the regions are not kept, and asking for them is an error.
    RadioImage other;
    EXPECT_EQ(other.put(radio::PassIndex.address, Bytes(8, 1)), 0);
    EXPECT_EQ(other.put(radio::Dtmf.end() - 2, Bytes(8, 1)), 2);
    EXPECT_FALSE(other.holds(radio::PassIndex.address, 1));
    EXPECT_THROW(other.bytes(radio::PassIndex.address, 1), std::out_of_range);
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
        std::string error;
        EXPECT_FALSE(parseImage(c.bytes, error)) << c.what;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.what << ": " << error;
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
    std::string error;
    const auto newest = loadImageFile(made.back(), error);
    ASSERT_TRUE(newest) << error;
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
        std::string e;
        ASSERT_TRUE(saveImageFile((folder / ("radio-20000101-000000-0" + std::to_string(i) + ".m5img")).string(),
                                  RadioImage{}, e)) << e;
    }
    fs::permissions(folder, fs::perms::all | fs::perms::sticky_bit);
    told = toldAsNobody();
    EXPECT_EQ(told, kept + path + ", but 2 older copies could not be removed (the first, " +
                        (folder / "radio-20000101-000000-010.m5img").string() + ": Operation not permitted)");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 22);
    fs::remove_all(base);
}
