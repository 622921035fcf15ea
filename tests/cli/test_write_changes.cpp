// Writing only what changed, refusing a radio that changed behind the
// program's back, and finishing a cut write: `tqm5 write|restore --changes`
// and `--resume` against the emulator, judged by the emulator's own memory
// and log.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <set>

#include "cli/cli_rig.h"
#include "files/kept_image.h"
#include "support/random_radio.h"

using namespace tqm5;
using namespace tqm5::test;

namespace {

// The memory file at `from` with the name "EDITn" on the channel lines
// numbered `lines` (counted from 0 among the "CH" lines; the name begins at
// the line's 39th character).
void editChannels(const std::string& from, const std::string& to, std::set<int> lines) {
    std::string text = slurp(from), out;
    std::size_t at = 0;
    int channel = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(at, end - at);
        if (line.rfind("CH", 0) == 0 && lines.count(channel)) line = line.substr(0, 38) + "EDIT" + std::to_string(channel) + "\r\n";
        channel += line.rfind("CH", 0) == 0;
        out += line;
        at = end;
    }
    std::ofstream(to, std::ios::binary) << out;
}

// Addresses the radio was sent writes for, from its log ("12 W 01280 64").
std::vector<uint32_t> writesLogged(const std::vector<std::string>& log) {
    std::vector<uint32_t> out;
    for (const std::string& l : log)
        if (auto w = l.find(" W "); w != std::string::npos) out.push_back(std::stoul(l.substr(w + 3, 5), nullptr, 16));
    return out;
}

bool rewrittenAlways(uint32_t at) { return at == 118 || (at >= 0x100 && at < 0x158 && (at - 0x100) % 8 == 7); }

}  // namespace

// Three edited channels: exactly their records go out (and pass-channel
// index blocks only if the index changed), and the radio ends byte for
// byte as a full write of the same file leaves it.
TEST_F(Cli, WriteChangesSendsExactlyTheChangedRecords) {
    ASSERT_EQ(tqm5("read -o " + path("a.M5")).status, 0);
    editChannels(path("a.M5"), path("b.M5"), {0, 9, 20});
    const Bytes before = radio.memory();
    radio.withEmulator([](emu::Emulator& e) { e.clearLog(); });
    CliRun r = tqm5("write " + path("b.M5") + " --changes");
    ASSERT_EQ(r.status, 0) << r.err;
    const Bytes changed = radio.memory();
    const std::vector<uint32_t> sent = writesLogged(radio.log());

    radio.setMemory(before);
    r = tqm5("write " + path("b.M5"));
    ASSERT_EQ(r.status, 0) << r.err;
    const Bytes whole = radio.memory();
    // The 64-byte records a full write changed, by the emulator's bytes.
    std::set<uint32_t> records;
    for (uint32_t at = 0x1200; at < 0x1A7C0; ++at)
        if (before[at] != whole[at]) records.insert(at - (at - 0x1200) % 64);
    ASSERT_EQ(records.size(), 3u);
    std::set<uint32_t> sentRecords, sentIndex;
    for (uint32_t a : sent) (a >= 0x1200 ? sentRecords : sentIndex).insert(a);
    EXPECT_EQ(sentRecords, records);
    for (uint32_t a : sentIndex) EXPECT_TRUE(a >= 0xC00 && a < 0xEC3) << std::hex << a;
    EXPECT_EQ(sent.size(), sentRecords.size() + sentIndex.size());  // none twice
    for (uint32_t at = 0; at < whole.size(); ++at) {
        if (!rewrittenAlways(at)) {
            ASSERT_EQ(changed[at], whole[at]) << std::hex << "byte 0x" << at;
        }
    }
}

// Refused before a single write: no kept image yet; a restore onto a radio
// whose settings changed on its keypad since it was read; a write onto
// another radio (every channel record differs from the kept image).
TEST_F(Cli, WriteChangesRefusesWhatItCannotTrust) {
    editChannels(TQM5_TEST_DATA "/small.M5", path("b.M5"), {0});
    CliRun r = tqm5("write " + path("b.M5") + " --changes");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("none is kept"), std::string::npos) << r.err;

    const Bytes demo = radio.memory();
    radio.setMemory(RandomRadio(3).memory());
    backup("other.m5img");
    radio.setMemory(demo);
    ASSERT_EQ(tqm5("read -o " + path("a.M5")).status, 0);
    Bytes keypad = demo;
    keypad[0x05] ^= 0x01;
    radio.setMemory(keypad);
    radio.withEmulator([](emu::Emulator& e) { e.clearLog(); });
    r = tqm5("restore --changes " + path("other.m5img"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("does not hold what it held"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("0x00005"), std::string::npos) << r.err;

    editChannels(path("a.M5"), path("b.M5"), {3});
    Bytes another = demo;
    for (uint32_t record = 0x1200; record < 0x1A7C0; record += 64) another[record + 63] ^= 0x01;
    radio.setMemory(another);
    r = tqm5("write " + path("b.M5") + " --changes");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("does not hold what it held"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("(channel "), std::string::npos) << r.err;
    EXPECT_TRUE(writesLogged(radio.log()).empty());

    // Another program (here the test itself) holds the radio: no command
    // sends a byte, each says why.
    radio.withEmulator([](emu::Emulator& e) { e.clearLog(); });
    {
        const Result<RadioClaim> other = RadioClaim::take(radioKey(radio.devicePath(), 1));
        ASSERT_TRUE(other) << other.error();
        for (const std::string& command : {"read -o " + path("c.M5"), "backup -o " + path("c.m5img"),
                                          "write " + path("a.M5"), "restore " + path("other.m5img")}) {
            r = tqm5(command);
            EXPECT_EQ(r.status, 1) << command;
            EXPECT_NE(r.err.find("is working on the radio"), std::string::npos) << command << ": " << r.err;
        }
        EXPECT_TRUE(radio.log().empty());
    }
    EXPECT_EQ(tqm5("read -o " + path("c.M5")).status, 0);
}

// A restore cut among the channel records, and one cut among the short
// blocks after them (a read answers 64 bytes, past a short block's end),
// leaves a journal; --changes then refuses, and --resume sends only what the
// radio did not take (and the index), after which the radio holds the image
// byte for byte.
TEST_F(Cli, ACutRestoreResumesToTheSameBytes) {
    const RadioImage image = backup("a.m5img");
    for (int cut : {300, 1641}) {
        radio.setMemory(RandomRadio(7).memory());
        radio.withEmulator([cut](emu::Emulator& e) {
            e.onLog = [&e, cut, writes = 0](const std::string& line) mutable {
                if (line.find(" W ") != std::string::npos && ++writes == cut) e.failNext(100000);
            };
        });
        CliRun r = tqm5("restore " + path("a.m5img"));
        ASSERT_EQ(r.status, 1) << cut;
        EXPECT_NE(r.err.find("--resume"), std::string::npos) << r.err;
        radio.withEmulator([](emu::Emulator& e) {
            e.onLog = nullptr;
            e.clearForcedFaults();
        });
        r = tqm5("restore --changes " + path("a.m5img"));
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("--resume"), std::string::npos) << r.err;
        radio.withEmulator([](emu::Emulator& e) { e.clearLog(); });
        r = tqm5("restore --resume");
        ASSERT_EQ(r.status, 0) << cut << ": " << r.err;
        const std::size_t resent = writesLogged(radio.log()).size();
        EXPECT_LE(resent, 1655u - std::size_t(cut) + 1 + 12) << cut;  // the rest, the index again
        EXPECT_GE(resent, 1655u - std::size_t(cut)) << cut;
        const Bytes after = radio.memory();
        for (const radio::Area& area : writtenRegions())
            for (uint32_t at = area.address; at < area.end(); ++at) {
                if (!rewrittenAlways(at)) {
                    ASSERT_EQ(after[at], image.bytes(at, 1)[0]) << cut << std::hex << ": byte 0x" << at;
                }
            }
        EXPECT_EQ(tqm5("restore --resume").status, 1);  // the journal is gone
    }
}

// Three radios at once, one of them silent: the other two are restored,
// the table names the silent one and its step, and the exit status is 1.
TEST_F(Cli, SeveralRadiosAtOnceOneSilent) {
    const RadioImage image = backup("a.m5img");
    emu::PtyServer second, silent;
    for (emu::PtyServer* r : {&second, &silent}) {
        r->setMemory(RandomRadio(11).memory());
        r->start();
    }
    radio.setMemory(RandomRadio(12).memory());
    silent.withEmulator([](emu::Emulator& e) { e.failIdentifications(100000); });
    const CliRun r = tqm5("restore " + path("a.m5img") + " --device " + radio.devicePath() + " --device " +
                              second.devicePath() + " --device " + silent.devicePath(),
                          false);
    EXPECT_EQ(r.status, 1) << r.err;
    std::istringstream lines(r.err);
    std::map<std::string, std::string> table;
    for (std::string line; std::getline(lines, line);)
        for (const std::string& d : {radio.devicePath(), second.devicePath(), silent.devicePath()})
            if (line.rfind(d + " ", 0) == 0 && (line.find("  ok") != std::string::npos ||
                                                 line.find("  failed  ") != std::string::npos))
                table[d] = line;
    EXPECT_NE(table[radio.devicePath()].find("ok"), std::string::npos) << r.err;
    EXPECT_NE(table[second.devicePath()].find("ok"), std::string::npos) << r.err;
    EXPECT_NE(table[silent.devicePath()].find("failed  writing the whole radio"), std::string::npos) << r.err;
    EXPECT_NE(table[silent.devicePath()].find("did not answer"), std::string::npos) << r.err;  // its result line
    EXPECT_NE(r.err.find("1 of 3 radios failed"), std::string::npos) << r.err;
    for (emu::PtyServer* done : {&radio, &second}) {
        const Bytes after = done->memory();
        for (const radio::Area& area : writtenRegions())
            for (uint32_t at = area.address; at < area.end(); ++at) {
                if (!rewrittenAlways(at)) {
                    ASSERT_EQ(after[at], image.bytes(at, 1)[0]) << std::hex << "byte 0x" << at;
                }
            }
    }
    silent.stop();
    second.stop();
}
