// The tqm5-emulator program as scripts use it, and the demo image it ships.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "channels/name_table.h"
#include "channels/record_codec.h"
#include "emulator/demo_image.h"
#include "emulator/radio_emulator.h"
#include "emulator_client.h"
#include "emulator_paths.h"

extern char** environ;

using namespace emutest;
namespace fs = std::filesystem;
namespace emu = tqm5::emu;

namespace {

Bytes fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The emulator program with its stdout on a pipe.
class Program {
public:
    explicit Program(std::vector<std::string> args) {
        args.insert(args.begin(), emu::EmulatorBinary);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    // One line of stdout, without its newline; empty at end or after 10 s.
    std::string line() {
        std::string s;
        char c;
        for (pollfd p{out_, POLLIN, 0}; ::poll(&p, 1, 10000) > 0 && ::read(out_, &c, 1) == 1;) {
            if (c == '\n') break;
            s += c;
        }
        return s;
    }
    // Sends `sig` (if any) and returns the exit status, -1 unless a normal exit.
    int finish(int sig = 0) {
        if (sig) ::kill(pid_, sig);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

}  // namespace

TEST(EmulatorProgram, ServesTheImageAndSavesItOnTerminate) {
    TempDir dir;
    const fs::path image = dir.path / "radio.img", link = dir.path / "radio", log = dir.path / "log";
    fs::copy_file(emu::DemoImage, image);
    const Bytes demo = fileBytes(image);

    Program prog({"--image", image.string(), "--link", link.string(), "--log", log.string(),
                  "--print-path"});
    const std::string device = prog.line();
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
    EXPECT_EQ(fs::read_symlink(link), device);
    {
        Client client(link.string());
        ASSERT_TRUE(client.isOpen());
        EXPECT_EQ(client.exchange(identify(), 17).size(), 17u);
        const Bytes read = client.exchange(readCommand(0x01200), 143);
        ASSERT_EQ(read.size(), 143u);
        EXPECT_EQ(textOf(read).substr(13, 128),
                  hexOf(Bytes(demo.begin() + 0x1200, demo.begin() + 0x1240)));
        EXPECT_EQ(client.exchange(writeCommand(0x00100, {0xDE, 0xAD}), 21).size(), 21u);
    }
    EXPECT_EQ(prog.finish(SIGTERM), 0);

    const Bytes saved = fileBytes(image);
    ASSERT_EQ(saved.size(), emu::MemorySize);
    EXPECT_EQ(saved[0x100], 0xDE);
    EXPECT_EQ(saved[0x101], 0xAD);
    EXPECT_TRUE(std::equal(saved.begin() + 0x1200, saved.end(), demo.begin() + 0x1200));
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    std::ifstream in(log);
    std::string all((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(all.find("1 ID\n2 R 01200\n3 W 00100 2\n"), std::string::npos) << all;
}

TEST(EmulatorProgram, BadOptionsAndUnreadableImagesStopIt) {
    for (std::vector<std::string> bad : {std::vector<std::string>{"--fault-rate", "2"},
                                         {"--seed", "x"}, {"--image"}, {"--what"}})
        EXPECT_EQ(Program(bad).finish(), 2) << bad[0];

    TempDir dir;
    const fs::path image = dir.path / "short.img";
    std::ofstream(image) << "not a radio";
    EXPECT_EQ(Program({"--image", image.string()}).finish(), 1);
    EXPECT_EQ(fs::file_size(image), 11u) << "an image that did not load is never overwritten";

    // A new image file is created on exit; SIGINT ends the program too.
    const fs::path fresh = dir.path / "fresh.img";
    Program prog({"--image", fresh.string(), "--print-path", "--fault-rate", "0.5", "--seed", "9"});
    EXPECT_FALSE(prog.line().empty());
    EXPECT_EQ(prog.finish(SIGINT), 0);
    EXPECT_EQ(fileBytes(fresh), Bytes(emu::MemorySize, 0));
}

TEST(DemoImage, ReadsBackAsTheDemoChannels) {
    const Bytes image = fileBytes(emu::DemoImage);
    ASSERT_EQ(image.size(), emu::MemorySize);
    const tqm5::ChannelGrid demo = emu::demoGrid();
    tqm5::ChannelGrid read;
    int channels = 0;
    for (int row = 1; row <= tqm5::LastRow; ++row) {
        tqm5::Record rec;
        const uint32_t at = tqm5::addressOfRow(row);
        std::copy(image.begin() + at, image.begin() + at + 64, rec.begin());
        const auto result = tqm5::decodeRecord(read, row, rec);
        ASSERT_NE(result, tqm5::DecodeResult::Invalid) << row;
        ASSERT_EQ(read.inUse(row), demo.inUse(row)) << row;
        if (!demo.inUse(row)) continue;
        ++channels;
        for (int col = 1; col < tqm5::GridCols; ++col)
            EXPECT_EQ(read.cell(row, col), demo.cell(row, col)) << row << "/" << col;
        EXPECT_EQ(read.attr(row), demo.attr(row)) << row;
        EXPECT_EQ(read.nameString(row - 1), demo.nameString(row - 1)) << row;
        // Only characters the radio's display has: its table and the user
        // characters U+2460..U+2467 (UTF-8 E2 91 A0..A7).
        std::string shown = demo.nameString(row - 1);
        for (std::size_t at; (at = shown.find("\xE2\x91")) != std::string::npos;)
            shown.erase(at, 3);
        EXPECT_EQ(tqm5::NameCharTable::instance().filter(shown), shown) << row;
    }
    EXPECT_GT(channels, 50);
    // Nothing outside the channel area.
    EXPECT_TRUE(std::all_of(image.begin(), image.begin() + 0x1200, [](uint8_t b) { return !b; }));
    EXPECT_TRUE(std::all_of(image.begin() + 0x1A7C0, image.end(), [](uint8_t b) { return !b; }));

    // Names of every kind the radio shows.
    std::set<std::string> names;
    for (int row = 1; row <= tqm5::LastRow; ++row) names.insert(read.cell(row, tqm5::ColName));
    for (const char* n : {"東京タワー", "ｲﾍﾞﾝﾄ:1~", "さくら:2~", ":3~:4~ｸﾞﾙｰﾌﾟ", "Simplex 433.50"})
        EXPECT_TRUE(names.count(n)) << n;
    // The dual pair's sub channel lives in the radio's sub memories.
    EXPECT_EQ(read.cell(1102, tqm5::ColFreq), "433.00000MHz");
    EXPECT_EQ(tqm5::addressOfRow(1102), tqm5::addressOfRecord(1201));
}
