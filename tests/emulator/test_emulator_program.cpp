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
#include <map>
#include <set>

#include "channels/cp932.h"
#include "channels/name_table.h"
#include "channels/pass_index.h"
#include "channels/record_codec.h"
#include "features/bank_layout.h"
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

// The demo radio as the program reads it: every channel row, its label
// under the demo's bank layout, and the names, against the texts written out
// beside the emulator's byte tables.
namespace {

int le16(const Bytes& m, uint32_t at) { return m[at] | (m[at + 1] << 8); }

// Bank sizes as the radio keeps them: low byte, then the low nibble of the
// high byte.
tqm5::BankLayout banksOf(const Bytes& m) {
    tqm5::BankLayout banks;
    for (int b = 0; b < tqm5::BankLayout::Banks; ++b)
        banks.size[b] = m[0x200 + 2 * b] + 256 * (m[0x201 + 2 * b] & 0x0F);
    return banks;
}

// Text of 16 two-byte character slots, empty slots skipped.
std::string slotsText(const Bytes& m, uint32_t at) {
    std::string s;
    for (uint32_t j = 0; j < 16; ++j)
        if (const int code = le16(m, at + 2 * j)) s += tqm5::cp932Char(static_cast<uint16_t>(code));
    return s;
}

// The name without its user characters U+2460..U+2467 (UTF-8 E2 91 A0..A7).
std::string withoutUserCharacters(std::string s) {
    for (std::size_t at; (at = s.find("\xE2\x91")) != std::string::npos;) s.erase(at, 3);
    return s;
}

}  // namespace

TEST(DemoImage, ReadsBackAsTheDemoChannels) {
    const Bytes image = fileBytes(emu::DemoImage);
    ASSERT_EQ(image.size(), emu::MemorySize);
    EXPECT_EQ(image, emu::demoImage()) << "demo.img is stale";
    const emu::DemoContent& demo = emu::demoContent();

    tqm5::ChannelGrid read;
    std::map<int, std::string> rows;  // row -> cells 1..12 joined by '|'
    for (int row = 1; row <= tqm5::LastRow; ++row) {
        tqm5::Record rec;
        const uint32_t at = tqm5::addressOfRow(row);
        std::copy(image.begin() + at, image.begin() + at + 64, rec.begin());
        ASSERT_NE(tqm5::decodeRecord(read, row, rec), tqm5::DecodeResult::Invalid) << row;
        if (!read.inUse(row)) continue;
        std::string cells;
        for (int col = 1; col < tqm5::GridCols; ++col) cells += (col > 1 ? "|" : "") + read.cell(row, col);
        rows[row] = cells;
        const std::string name = withoutUserCharacters(read.nameString(row - 1));
        EXPECT_EQ(tqm5::NameCharTable::instance().filter(name), name) << "row " << row << " " << name;
    }
    read.applyLabels(banksOf(image).size);

    std::map<int, std::string> expected;
    for (const emu::DemoRow& r : demo.rows) {
        expected[r.row] = r.cells;
        EXPECT_EQ(read.cell(r.row, tqm5::ColLabel), r.label) << r.row;
    }
    for (const auto& [row, cells] : expected) EXPECT_EQ(rows[row], cells) << "row " << row;
    std::set<int> readRows, expectedRows;
    for (const auto& [row, cells] : rows) readRows.insert(row);
    for (const auto& [row, cells] : expected) expectedRows.insert(row);
    EXPECT_EQ(readRows, expectedRows) << "rows holding a channel";

    // The pass-channel index the radio holds is the one the program builds
    // from the pass channels it read.
    const auto index = tqm5::buildPassIndex(read);
    EXPECT_TRUE(std::equal(index.begin(), index.end(), image.begin() + tqm5::radio::PassIndex.address));

    // The opening title, in the same character slots as a name.
    const std::string title = slotsText(image, 0x1A0);
    EXPECT_EQ(tqm5::nameToDisplay(title), demo.title);
    EXPECT_EQ(tqm5::NameCharTable::instance().filter(withoutUserCharacters(title)),
              withoutUserCharacters(title));
    const uint8_t slide = demo.openingSlide ? 0x11 : 0x00;
    EXPECT_EQ(image[0x1C0], slide);
    EXPECT_EQ(image[0x1C1], slide);
}

// Every other area holds values the radio and the program accept, laid out
// byte by byte as the radio keeps them.
TEST(DemoImage, EveryAreaHoldsValidContent) {
    const Bytes m = emu::demoImage();
    const emu::DemoContent& demo = emu::demoContent();

    // Nothing outside the radio's areas.
    const std::pair<uint32_t, uint32_t> areas[] = {
        {0x0000, 0x0092}, {0x0100, 0x0158}, {0x0180, 0x019B}, {0x01A0, 0x01C2}, {0x0200, 0x0280},
        {0x0C00, 0x0EC3}, {0x1000, 0x11A5}, {0x1200, 0x1A7C0}, {0x1FE01, 0x1FE02}};
    for (uint32_t at = 0; at < m.size(); ++at) {
        const bool inArea = std::any_of(std::begin(areas), std::end(areas),
                                        [at](const auto& a) { return at >= a.first && at < a.second; });
        if (!inArea) {
            ASSERT_EQ(m[at], 0) << std::hex << at;
        }
    }

    // Banks: sizes as listed, total 1000, then the seven fixed words and zeros.
    const tqm5::BankLayout banks = banksOf(m);
    for (int b = 0; b < tqm5::BankLayout::Banks; ++b) {
        EXPECT_EQ(banks.size[b], demo.bankSizes[b]) << "bank " << b;
        EXPECT_EQ(m[0x201 + 2 * b] & 0xF0, 0) << "bank " << b;
    }
    EXPECT_TRUE(banks.complete()) << banks.total();
    EXPECT_EQ(Bytes(m.begin() + 0x264, m.begin() + 0x280),
              (Bytes{0x64, 0x00, 0xC8, 0x00, 0x64, 0x00, 0x03, 0x00, 0x64, 0x00, 0x64, 0x00, 0x14, 0x00,
                     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    // Groups: bank 8k + j is bit 7 - j of byte k; only banks that hold channels.
    for (int g = 0; g < 11; ++g) {
        const uint32_t at = g < 6 ? 0x100 + 8 * g : 0x130 + 8 * (g - 6);
        std::vector<int> members;
        for (int bank = 0; bank < 50; ++bank)
            if (m[at + bank / 8] & (0x80 >> (bank % 8))) members.push_back(bank);
        EXPECT_EQ(members, demo.groups[g]) << "group " << g;
        EXPECT_EQ(m[at + 6] & 0x3F, 0) << "group " << g;
        for (int bank : members) EXPECT_GT(banks.size[bank], 0) << "group " << g << " bank " << bank;
    }

    // One-touch keys: a used bank and a channel inside it, or unused.
    for (int k = 0; k < 9; ++k) {
        const int bank = m[0x180 + 3 * k], channel = m[0x181 + 3 * k];
        EXPECT_EQ(m[0x182 + 3 * k], 0) << "key " << k + 1;
        if (demo.oneTouch[k].bank < 0) {
            EXPECT_EQ(bank, 0xFF) << "key " << k + 1;
            continue;
        }
        EXPECT_EQ(bank, demo.oneTouch[k].bank) << "key " << k + 1;
        EXPECT_EQ(channel, demo.oneTouch[k].channel) << "key " << k + 1;
        ASSERT_LT(bank, 50) << "key " << k + 1;
        EXPECT_LT(channel, banks.size[bank]) << "key " << k + 1;
    }

    // Set Mode: each item's byte inside its list, constants where the radio
    // keeps them, zero elsewhere.
    std::set<int> items = {1, 52, 71, 92, 143, 144};  // kept, not shown: any value
    const std::pair<int, int> positions[] = {  // byte, entries
        {2, 21},  {3, 21},  {4, 10},  {5, 10},   {10, 57},  {11, 57},  {15, 3},   {16, 26},
        {17, 26}, {18, 26}, {19, 26}, {23, 2},   {25, 2},   {32, 4},   {35, 2},   {36, 26},
        {37, 12}, {38, 40}, {39, 2},  {40, 2},   {41, 2},   {42, 5},   {44, 9},   {45, 7},
        {46, 6},  {47, 5},  {49, 2},  {57, 3},   {61, 2},   {62, 2},   {63, 3},   {64, 2},
        {65, 16}, {69, 2},  {72, 2},  {73, 2},   {74, 16},  {75, 2},   {76, 2},   {77, 2},
        {78, 2},  {80, 3},  {88, 4},  {89, 4},   {90, 2},   {93, 2},   {94, 2},   {95, 2},
        {97, 8},  {98, 2},  {100, 7}, {101, 2},  {104, 2},  {116, 2},  {117, 2},  {119, 4},
        {122, 4}, {123, 2}, {124, 6}, {129, 3},  {132, 2},  {141, 4},  {145, 2}};
    for (const auto& [byte, entries] : positions) {
        EXPECT_LT(m[byte], entries) << "settings byte " << byte;
        items.insert(byte);
    }
    const std::pair<int, int> plusOne[] = {{13, 62}, {48, 5}, {67, 5}, {68, 4}, {82, 10}};
    for (const auto& [byte, entries] : plusOne) {
        EXPECT_TRUE(m[byte] >= 1 && m[byte] <= entries) << "settings byte " << byte;
        items.insert(byte);
    }
    EXPECT_TRUE(m[14] == 3 || m[14] == 4) << "Preset band(Main)";
    EXPECT_TRUE((m[6] == 0 && m[7] == 0) || (m[6] == 0x0D && m[7] == 0x0D)) << "CH.Display Mode";
    const std::set<int> keyFunctions = {
        0x82, 0x15, 0x8A, 0xBC, 0xCA, 0xDA, 0xF1, 0x19, 0x1A, 0xC3, 0x1D, 0x1E, 0xB2, 0x83, 0x87, 0xA6, 0xA5,
        0x94, 0xF0, 0xB4, 0x97, 0x98, 0x99, 0x9A, 0xED, 0x0B, 0xA0, 0xB6, 0xC7, 0x86, 0xD4, 0xDF, 0xBA, 0x1C,
        0x66, 0x33, 0x78, 0x67, 0x2E, 0x2F, 0x18, 0xC5, 0x14, 0x13, 0xDB, 0x9D, 0x9E, 0x70, 0x6E, 0x30, 0x68};
    EXPECT_TRUE(keyFunctions.count(m[53])) << "Wild key assign";
    EXPECT_TRUE(keyFunctions.count(m[96])) << "Lamp key assign";
    items.insert({6, 7, 14, 53, 96});
    const std::map<int, int> constants = {{0, 0xA5}, {9, 0x05},  {50, 0x01}, {51, 0x0C},
                                          {55, 0x02}, {56, 0x02}, {81, 0x06}, {118, 0x01}};
    for (int byte = 0; byte < 146; ++byte) {
        if (items.count(byte)) continue;
        const auto c = constants.find(byte);
        EXPECT_EQ(m[byte], c == constants.end() ? 0 : c->second) << "settings byte " << byte;
    }
    EXPECT_EQ(m[0x1FE01], 0x00) << "write protect off";

    // DTMF: timings inside their lists, memories in the radio's digit codes.
    EXPECT_EQ(m[0x1100], demo.dtmfWait);
    EXPECT_EQ(m[0x1101], demo.dtmfHead);
    EXPECT_EQ(m[0x1102], demo.dtmfBurst);
    EXPECT_EQ(m[0x11A3], demo.dtmfDialCh + 1);
    EXPECT_EQ(m[0x11A4], demo.dtmfPause);
    EXPECT_LT(demo.dtmfWait, 11);
    for (int pos : {demo.dtmfHead, demo.dtmfBurst, demo.dtmfPause}) EXPECT_LT(pos, 23);
    EXPECT_LT(demo.dtmfDialCh, 9);
    for (int mem = 0; mem < 10; ++mem) {
        std::string digits;
        int i = 0;
        for (; i < 16 && m[0x1103 + 16 * mem + i] <= 0x10; ++i) digits += "0123456789ABCD*#-"[m[0x1103 + 16 * mem + i]];
        for (; i < 16; ++i) EXPECT_EQ(m[0x1103 + 16 * mem + i], 0x11) << "memory " << mem << " position " << i;
        EXPECT_EQ(digits, demo.dtmf[mem]) << "memory " << mem;
    }

    // Glyphs: byte k is column k of rows 0-7 (bit 0 on top), byte 16 + k of rows 8-15.
    for (int g = 0; g < 8; ++g) {
        const auto first = m.begin() + 0x1000 + 32 * g;
        EXPECT_TRUE(std::any_of(first, first + 32, [](uint8_t b) { return b != 0; })) << "glyph " << g;
        for (int row = 0; row < 16; ++row) {
            std::string line;
            for (int col = 0; col < 16; ++col)
                line += (first[col + 16 * (row / 8)] >> (row % 8)) & 1 ? '#' : '.';
            EXPECT_EQ(line, demo.glyphs[g][row]) << "glyph " << g << " row " << row;
        }
    }
}
