// Every command of `tqm5`, run as a program against the demo radio on a
// pseudo-terminal: what reaches the radio, what the files hold, what the
// user is told and the exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>
#include <sstream>

#include "app/document.h"
#include "app/radio_backup.h"
#include "app/startup.h"
#include "channels/record_codec.h"
#include "cli/cli_rig.h"
#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "features/settings.h"
#include "files/radio_image.h"
#include "files/safety_copies.h"

using namespace tqm5;
using namespace tqm5::test;
namespace fs = std::filesystem;

TEST_F(Cli, BackupHoldsEveryRegionAndLeavesASafetyCopy) {
    const RadioImage image = backup("a.m5img");
    const Bytes memory = radio.memory();
    for (const ImageRegion& r : imageRegions())
        EXPECT_EQ(image.bytes(r.area), Bytes(memory.begin() + r.area.address, memory.begin() + r.area.end())) << r.name;
    EXPECT_EQ(writes(), 0);
    const auto copies = std::distance(fs::directory_iterator(safetyCopyFolder()), fs::directory_iterator{});
    EXPECT_EQ(copies, 1);
}

TEST_F(Cli, RestoreAfterBackupGivesTheRadioBackEveryWrittenRegion) {
    backup("a.m5img");
    const Bytes before = radio.memory();
    radio.setMemory(Bytes(before.size(), 0x00));
    const CliRun r = tqm5("restore --verify " + path("a.m5img"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("verified"), std::string::npos);
    const Bytes after = radio.memory();
    for (const radio::Area& a : writtenRegions())
        for (uint32_t at = a.address; at < a.end(); ++at)
            ASSERT_EQ(after[at], before[at]) << std::hex << "byte 0x" << at;
    // The pass-channel index the radio had is built again from the channels.
    EXPECT_TRUE(std::equal(before.begin() + radio::PassIndex.address, before.begin() + radio::PassIndex.end(),
                           after.begin() + radio::PassIndex.address));
    EXPECT_EQ(after[radio::WriteProtect.address], 0x00);  // never written
}

// A line that fails now and then, every kind of fault about once in a
// hundred exchanges: more faults over the whole run than the window's
// budgets allow, but every block gets its own attempts.
TEST_F(Cli, RestoreWithVerifyOutlastsScatteredFaults) {
    backup("a.m5img");
    const Bytes before = radio.memory();
    radio.setMemory(Bytes(before.size(), 0x00));
    radio.withEmulator([](emu::Emulator& e) {
        e.setSeed(11);
        e.setFaultRate(0.01);
    });
    const CliRun r = tqm5("restore --verify " + path("a.m5img"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GT(radio.stats().faults, 20u);
    const Bytes after = radio.memory();
    for (const radio::Area& a : writtenRegions())
        ASSERT_TRUE(std::equal(after.begin() + a.address, after.begin() + a.end(), before.begin() + a.address))
            << std::hex << a.address;
}

TEST_F(Cli, DamagedOrTruncatedImagesAreRefusedWithNothingWritten) {
    backup("a.m5img");
    Bytes file;
    {
        const std::string s = slurp(path("a.m5img"));
        file.assign(s.begin(), s.end());
    }
    auto save = [&](const char* name, const Bytes& b) {
        std::ofstream(path(name), std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    };
    Bytes flipped = file;
    flipped[flipped.size() - 100] ^= 0x01;
    save("flipped.m5img", flipped);
    save("short.m5img", Bytes(file.begin(), file.end() - 64));
    radio.withEmulator([](emu::Emulator& e) { e.clearLog(); });
    for (const char* name : {"flipped.m5img", "short.m5img", "missing.m5img"}) {
        const CliRun r = tqm5(std::string("restore ") + path(name));
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.err.find("nothing was written"), std::string::npos) << r.err;
    }
    EXPECT_TRUE(radio.log().empty());  // not even an identification
}

TEST_F(Cli, VerifyCatchesAWriteTheRadioDidNotStore) {
    backup("a.m5img");
    radio.setMemory(Bytes(emu::MemorySize, 0x00));
    // The restore's first exchange identifies, the second writes row 1, ...
    // the 452nd row 451 (record 451 at 0x08280): the first channel of bank 7
    // in the image's bank layout (the default layout would put it in bank 4).
    radio.withEmulator([](emu::Emulator& e) { e.forceFault(e.stats().exchanges + 452, emu::FaultKind::NotStored); });
    const CliRun r = tqm5("restore " + path("a.m5img") + " --verify");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("0x08280 (channel Bank007-0): wrote "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("verify failed: 1 block"), std::string::npos) << r.err;
}

TEST_F(Cli, DiffNamesAChangedChannelAndAChangedSetting) {
    backup("a.m5img");
    EXPECT_EQ(tqm5("diff " + path("a.m5img") + " radio").status, 0);

    // The radio as the program would write it after two edits: a channel's
    // name and one Set Mode item.
    Document doc;
    startUp(doc);
    const Result<RadioImage> image = loadImageFile(path("a.m5img"));
    ASSERT_TRUE(image) << image.error();
    ASSERT_TRUE(loadImageIntoDocument(image.value(), doc));
    int row = 1;
    while (!doc.grid.inUse(row)) ++row;
    const std::string label = doc.grid.cell(row, ColLabel);
    const std::string oldName = doc.grid.cell(row, ColName);
    Bytes memory = radio.memory();
    const uint32_t name = addressOfRow(row) + RecordField::Name;
    memory[name] = 'Q';
    memory[name + 1] = 0x00;
    const auto& catalogue = setModeCatalogue();
    int item = 0;
    while (catalogue[std::size_t(item)].imageByte < 0 || catalogue[std::size_t(item)].size() < 2 ||
           doc.setMode.isHeld(item))
        ++item;
    const int was = doc.setMode.position(item);
    doc.setMode.set(item, was == 0 ? 1 : 0);
    const SettingsImage settings = encodeSettingsImage(doc.setMode, doc.setMode.image);
    std::copy(settings.begin(), settings.end(), memory.begin());
    radio.setMemory(memory);

    const CliRun r = tqm5("diff " + path("a.m5img") + " radio");
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string caption = catalogue[std::size_t(item)].caption(English);
    EXPECT_NE(r.out.find("Channel " + label + " Name: \"" + oldName + "\" -> \"Q"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Setting " + caption + ": "), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;

    // Image against image, as the other way round.
    backup("b.m5img");
    const CliRun files = tqm5("diff " + path("b.m5img") + " " + path("a.m5img"));
    EXPECT_EQ(files.status, 1);
    EXPECT_NE(files.out.find("-> \"" + oldName + "\""), std::string::npos) << files.out;
}

// read, then write of the same file gives the radio back its channels; what
// a memory file does not carry (user characters, opening slide) is kept as
// the radio has it unless a font file is given.
TEST_F(Cli, ReadThenWriteOfAMemoryFileKeepsWhatTheFileDoesNotCarry) {
    // The radio holds what no list or key can show: key 1 on bank 49 (no
    // channels), Illumination 0x77, the DTMF pause list at 0x40.
    Bytes original = radio.memory();
    original[radio::OneTouch.address] = 49;
    original[radio::OneTouch.address + 1] = 5;
    original[radio::SettingsBlock1.address + 44] = 0x77;
    original[dtmfBlockAddress(2) + 49] = 0x40;
    radio.setMemory(original);
    CliRun r = tqm5("read -o " + path("a.M5") + " --font " + path("a.FM5"));
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(fs::exists(path("a.M5")) && fs::exists(path("a.FM5")));
    EXPECT_EQ(std::distance(fs::directory_iterator(safetyCopyFolder()), fs::directory_iterator{}), 1);
    const std::string saved = slurp(path("a.M5"));
    for (const char* kept : {"\r\nXONETOUCH0049005\r\n", "\r\nXDTMFHELD---------064---\r\n", "\r\nXSETHELD"})
        EXPECT_NE(saved.find(kept), std::string::npos) << kept;
    // The file and the radio it came from differ in nothing.
    const CliRun diff = tqm5("diff " + path("a.M5") + " radio");
    EXPECT_EQ(diff.status, 0) << diff.out << diff.err;

    // The radio changes: a channel record wiped, the first glyph and the slide.
    Bytes changed = original;
    const radio::Area record{radio::channelRecordAddress(0), radio::ChannelRecordBytes};
    std::fill(changed.begin() + record.address, changed.begin() + record.end(), 0xFF);
    changed[radio::glyphAddress(0)] ^= 0xFF;
    const uint32_t slide = radio::Title.end() - 2;
    changed[slide] = changed[slide + 1] = original[slide] ? 0x00 : 0x11;
    radio.setMemory(changed);

    r = tqm5("write " + path("a.M5"));
    ASSERT_EQ(r.status, 0) << r.err;
    Bytes now = radio.memory();
    auto same = [](const Bytes& a, const Bytes& b, radio::Area area) {
        return std::equal(a.begin() + area.address, a.begin() + area.end(), b.begin() + area.address);
    };
    EXPECT_TRUE(same(now, original, radio::ChannelRecords));
    EXPECT_TRUE(same(now, changed, radio::Font));
    // Everything else comes back as it was read, the slide and the values
    // no list shows included (settings byte 118 the program always writes).
    now[radio::SettingsBlock2.address + 118 - 64] = original[radio::SettingsBlock2.address + 118 - 64];
    for (const radio::Area& a : {radio::SettingsBlock1, radio::SettingsBlock2, radio::SettingsBlock3, radio::OneTouch,
                                 radio::BankLayout, radio::Dtmf, radio::GroupsFirst, radio::GroupsSecond, radio::Title})
        EXPECT_TRUE(same(now, original, a)) << std::hex << a.address;

    // With the font file the glyphs come back too, and verified.
    r = tqm5("write --verify " + path("a.M5") + " -f " + path("a.FM5"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("verified"), std::string::npos) << r.err;
    EXPECT_TRUE(same(radio.memory(), original, radio::Font));

    // A file without bank and one-touch lines (saved while the sizes did not
    // total 1000) leaves the radio's layout and keys as they are.
    std::string noBanks;
    for (std::size_t at = 0; at < saved.size();) {
        const std::size_t end = saved.find("\r\n", at) + 2;
        const std::string l = saved.substr(at, end - at);
        if (!l.starts_with("BK") && !l.starts_with("ONETOUCH") && !l.starts_with("XONETOUCH")) noBanks += l;
        at = end;
    }
    std::ofstream(path("nobanks.M5"), std::ios::binary) << noBanks;
    Bytes otherLayout = radio.memory();
    ASSERT_GT(otherLayout[radio::BankLayout.address + 2], 0);
    otherLayout[radio::BankLayout.address] += 1;  // a channel moves from bank 1 to bank 0
    otherLayout[radio::BankLayout.address + 2] -= 1;
    otherLayout[radio::OneTouch.address + 4] ^= 0x01;
    radio.setMemory(otherLayout);
    r = tqm5("write " + path("nobanks.M5"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(same(radio.memory(), otherLayout, radio::BankLayout));
    EXPECT_TRUE(same(radio.memory(), otherLayout, radio::OneTouch));

    // A file that cannot be opened, or that the radio would take only in
    // part, reaches no radio: here its first channel line is cut short, a
    // frequency no channel holds, and a bank layout that does not total 1000.
    const std::string good = slurp(path("a.M5"));
    const std::size_t second = good.find("\r\n") + 2;
    std::ofstream(path("bad.M5"), std::ios::binary) << good.substr(0, second + 10) << "\r\n";
    std::string far = good;
    far.replace(second + 6, 10, "9999.99999");
    std::ofstream(path("far.M5"), std::ios::binary) << far;
    std::string banks = good;
    const std::size_t bank0 = banks.find("\r\nBK0000") + 8;
    ASSERT_NE(bank0, std::string::npos + 8);
    banks.replace(bank0, 3, banks.compare(bank0, 3, "000") == 0 ? "001" : "000");
    std::ofstream(path("banks.M5"), std::ios::binary) << banks;
    const Bytes before = radio.memory();
    radio.withEmulator([](emu::Emulator& e) { e.clearLog(); });
    r = tqm5("write " + path("far.M5"));
    EXPECT_NE(r.err.find("Line 2 of this file cannot be read: the frequency 9999.99999 MHz is outside"),
              std::string::npos) << r.err;
    for (const std::string& args : {"write " + path("bad.M5"), "write " + path("far.M5"), "write " + path("missing.M5"),
                                    "write " + path("a.M5") + " --font " + path("missing.FM5"),
                                    "write --yes " + path("banks.M5")}) {
        r = tqm5(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find("nothing was"), std::string::npos) << args << ": " << r.err;
    }
    EXPECT_NE(r.err.find("bank layout holds"), std::string::npos) << r.err;
    EXPECT_TRUE(radio.log().empty());  // not even an identification
    EXPECT_EQ(radio.memory(), before);
}

// CSV export and import on memory files, and diff between a memory file, an
// image and the radio.
TEST_F(Cli, CsvAndDiffWorkOnMemoryFiles) {
    ASSERT_EQ(tqm5("read -o " + path("a.M5")).status, 0);
    backup("a.m5img");
    for (const std::string& other : {std::string("radio"), path("a.m5img")}) {
        const CliRun same = tqm5("diff " + path("a.M5") + " " + other);
        EXPECT_EQ(same.status, 0) << other << ": " << same.out << same.err;
    }
    // A side by its content, or a memory file by its name in any case; one
    // that cannot be read is trouble (2), as for diff(1).
    const std::string memoryFile = slurp(path("a.M5")), image = slurp(path("a.m5img"));
    std::string flipped = image;
    flipped[flipped.size() - 100] ^= 0x01;
    const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(200, '\xff');
    const std::vector<std::tuple<std::string, std::optional<std::string>, int>> sides{
        {"lower.m5", memoryFile, 0}, {"image.M5", image, 0}, {"missing.m5img", {}, 2}, {"missing.M5", {}, 2},
        {"flipped.m5img", flipped, 2}, {"cut.M5", memoryFile.substr(0, memoryFile.find("\r\n") + 20) + "\r\n", 2},
        {"foreign.M5", png, 2}, {"foreign.m5img", "Save Date and Time\r\n", 2}};
    for (const auto& [name, bytes, status] : sides) {
        if (bytes) std::ofstream(path(name.c_str()), std::ios::binary) << *bytes;
        const CliRun r = tqm5("diff " + path(name.c_str()) + " radio");
        EXPECT_EQ(r.status, status) << name << ": " << r.out << r.err;
        EXPECT_TRUE(status == 0 || (r.out.empty() && !r.err.empty())) << name << ": " << r.out << r.err;
    }
    // A radio that does not answer is a side that cannot be read.
    radio.withEmulator([](emu::Emulator& e) { e.failNext(1000); });
    const CliRun silent = tqm5("diff " + path("a.m5img") + " radio");
    EXPECT_EQ(silent.status, 2) << silent.out << silent.err;
    EXPECT_NE(silent.err.find("did not answer"), std::string::npos) << silent.err;
    radio.withEmulator([](emu::Emulator& e) { e.clearForcedFaults(); });
    ASSERT_EQ(tqm5("export-csv " + path("a.M5") + " -o " + path("a.CSV")).status, 0);
    CliRun r = tqm5("import-csv " + path("a.CSV") + " " + path("a.M5") + " -o " + path("b.M5"));
    ASSERT_EQ(r.status, 0) << r.err;
    // The CSV carries names without their double-byte characters; imported
    // over the file it came from, each name left as exported stays whole,
    // and everything else came from the base file: nothing differs.
    r = tqm5("diff " + path("a.M5") + " " + path("b.M5"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    // What an import does not take as written is listed on stderr.
    std::string list = slurp(path("a.CSV"));
    const std::size_t third = list.find("\r\n", list.find("\r\n") + 2) + 2;
    const std::size_t mode = list.find("\",\"", list.find("\",\"", third) + 3) + 3;  // the third field
    const std::string label = list.substr(third + 1, list.find('"', third + 1) - third - 1);
    list.replace(mode, list.find('"', mode) - mode, "XYZ");
    std::ofstream(path("m.CSV"), std::ios::binary) << list;
    r = tqm5("import-csv " + path("m.CSV") + " " + path("a.M5") + " -o " + path("m.M5"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Warning: These lines were not taken as written:\nLine 3 (" + label +
                         "): mode \"XYZ\" is not known; the channel was left empty\n"),
              std::string::npos) << r.err;
    // Without a base file the rest is the program's start-up values.
    ASSERT_EQ(tqm5("import-csv " + path("a.CSV") + " -o " + path("c.M5")).status, 0);
    EXPECT_NE(tqm5("diff " + path("b.M5") + " " + path("c.M5")).out.find("Bank "), std::string::npos);
    EXPECT_EQ(tqm5("import-csv " + path("a.M5") + " -o " + path("d.M5")).status, 1);
    EXPECT_FALSE(fs::exists(path("d.M5")));
    // The common layout: out, and back in from a row given by its label.
    ASSERT_EQ(tqm5("export-csv --layout common " + path("a.M5") + " -o " + path("common.csv")).status, 0);
    const std::string common = slurp(path("common.csv"));
    EXPECT_EQ(common.rfind("Location,Name,Frequency,Duplex,Offset,Tone,", 0), 0u) << common.substr(0, 200);
    std::ofstream(path("two.csv"), std::ios::binary) << "Frequency,Name,Mode\r\n145.5,One,FM\r\n14.2,Two,USB\r\n";
    r = tqm5("import-csv --layout common --row 'PRIO - 3' " + path("two.csv") + " " + path("a.M5") + " -o " + path("e.M5"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("1 channel imported into PRIO - 3."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Line 3: mode \"USB\" is not one the radio has; the line was not imported"), std::string::npos)
        << r.err;
    EXPECT_NE(slurp(path("e.M5")).find("145.50000"), std::string::npos);
    EXPECT_EQ(tqm5("import-csv --layout common --row Nowhere " + path("two.csv") + " -o " + path("f.M5")).status, 2);
    EXPECT_EQ(tqm5("import-csv --layout common " + path("a.CSV") + " -o " + path("f.M5")).status, 1);
    EXPECT_FALSE(fs::exists(path("f.M5")));
    EXPECT_EQ(writes(), 0);
}

// On a terminal every step draws a bar named after what it moves; without
// one, nothing but the messages.
TEST_F(Cli, ProgressBarsNameEachStepOnlyOnATerminal) {
    const std::string cmd = "script -qec '" + std::string(TQM5_CLI_BINARY) + " --device " + radio.devicePath() +
                            " read -o " + path("a.M5") + "' /dev/null >" + path("tty");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string tty = slurp(path("tty"));
    for (const char* step : {"reading channels ", "reading bank layout ", "reading settings and DTMF ",
                             "reading user characters ", "reading bank-link groups "})
        EXPECT_NE(tty.find(std::string(step)), std::string::npos) << step << " in " << tty;
    EXPECT_NE(tty.find("] 100%"), std::string::npos);
    const CliRun plain = tqm5("read -o " + path("b.M5"));
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err.find('%'), std::string::npos) << plain.err;
}

TEST_F(Cli, UsageAndPortErrorsAreToldInPlainWords) {
    struct Case {
        std::string args;
        int status;
        const char* says;
    };
    const std::vector<Case> cases{
        {"--help", 0, "usage: tqm5"},
        {"", 2, "usage: tqm5"},
        {"frobnicate", 2, "unknown command frobnicate"},
        {"backup", 2, "usage: tqm5 backup -o FILE"},
        {"--port 17 backup -o x", 2, "1 to 16"},
        {"restore", 2, "usage: tqm5 restore"},
        {"diff one", 2, "usage: tqm5 diff"},
        {"read", 2, "usage: tqm5 read"},
        {"write", 2, "usage: tqm5 write"},
        {"export-csv x.M5", 2, "usage: tqm5 export-csv"},
        {"import-csv -o x.M5", 2, "usage: tqm5 import-csv"},
        {"--bogus", 2, "unknown option --bogus"},
        {"--layout chirpy export-csv x.M5 -o y", 2, "common, not chirpy"},
        // Options after the command, short forms, values after "=", missing values.
        {"backup -o x -p 0", 2, "the port number must be 1 to 16, not 0"},
        {"backup -o x --port=abc", 2, "1 to 16, not abc"},
        {"export-csv x.M5 -o y --layout=chirpy", 2, "common, not chirpy"},
        {"backup -o", 2, "-o needs a value"},
        {"backup -o x --port", 2, "--port needs a value"},
        {"read -o x --device", 2, "--device needs a value"},
        {"backup -o x --yes=no", 2, "--yes takes no value"},
        {"backup -x", 2, "unknown option -x"},
        {"backup -o x --bogus=1", 2, "unknown option --bogus"},
        {"diff one --help", 0, "usage: tqm5"},
        {"-h", 0, "Exit status"},
        // A second --device: only write and restore take more than one.
        {"backup -o x --device other", 2, "backup works on one radio: give --device once"},
        {"-d 3 diff a b", 2, "diff works on one radio"},
        {"write -d other", 2, "usage: tqm5 write"},
        {"restore --device other", 2, "usage: tqm5 restore"},
    };
    for (const Case& c : cases) {
        const CliRun r = tqm5(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << c.args << ": " << r.out << r.err;
    }
    // A device that does not exist.
    const CliRun r = tqm5("--device " + path("no-such-tty") + " backup -o " + path("x.m5img"), false);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot be used"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(path("x.m5img")));
    // A device named relative to the working folder is that file, not one in /dev.
    fs::create_symlink(radio.devicePath(), dir / "radio-link");
    const std::string here = "cd " + dir.string() + " && " + TQM5_CLI_BINARY + " --device radio-link backup -o y.m5img 2>/dev/null";
    EXPECT_EQ(std::system(here.c_str()), 0);
    EXPECT_TRUE(fs::exists(path("y.m5img")));
}
