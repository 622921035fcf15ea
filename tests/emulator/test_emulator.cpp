#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>

#include "emulator/radio_emulator.h"
#include "emulator_client.h"

using namespace tqm5::emu;
using namespace emutest;
namespace fs = std::filesystem;

namespace {

Bytes counting(std::size_t n, uint8_t first = 0) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = uint8_t(first + i * 0x0B);  // every nibble value
    return b;
}

}  // namespace

TEST(Emulator, AnswersTheThreeExchangesByteForByte) {
    Emulator emu;
    EXPECT_EQ(textOf(emu.transact(identify())), IdAnswer);

    const Bytes data = counting(64, 0x05);
    EXPECT_EQ(textOf(emu.transact(writeCommand(0x01200, data))),
              textOf(writeCommand(0x01200, data)) + "  OK\r\n");
    EXPECT_EQ(textOf(emu.transact(readCommand(0x01200))), "QK~F01200R\r  " + hexOf(data) + "\r\n");

    // Every block length in use, at addresses with letters in them.
    for (std::size_t len : {63u, 48u, 40u, 32u, 14u, 1u}) {
        const uint32_t address = 0x1A780 + uint32_t(len);
        const Bytes answer = emu.transact(writeCommand(address, counting(len, uint8_t(len))));
        ASSERT_EQ(answer.size(), 2 * len + 17) << len;
        EXPECT_EQ(textOf(answer).substr(2 * len + 13, 2), "OK");
        EXPECT_EQ(emu.memory().read(address, len), counting(len, uint8_t(len)));
    }

    // Blocks that run past the end continue at address 0.
    emu.transact(writeCommand(0x1FFFE, {1, 2, 3, 4}));
    EXPECT_EQ(emu.memory().read(0, 2), (Bytes{3, 4}));
    EXPECT_EQ(textOf(emu.transact(readCommand(0x1FFFE))).substr(13, 8), "01020304");

    EXPECT_EQ(emu.stats().exchanges, 11u);
    EXPECT_EQ(emu.stats().writes, 8u);
    EXPECT_EQ(emu.log().at(0), "1 ID");
    EXPECT_EQ(emu.log().at(1), "2 W 01200 64");
    EXPECT_EQ(emu.log().at(2), "3 R 01200");
}

TEST(Emulator, CommandsSplitAcrossFeedsAndBackToBack) {
    Emulator emu;
    const Bytes cmd = identify();
    for (std::size_t i = 0; i + 1 < cmd.size(); ++i) EXPECT_TRUE(emu.feed(&cmd[i], 1).empty());
    const auto answers = emu.feed(&cmd.back(), 1);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].commandLength, 11u);

    Bytes two = readCommand(0);
    const Bytes second = readCommand(0x1FFC0);
    two.insert(two.end(), second.begin(), second.end());
    const auto both = emu.feed(two);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[1].exchange, 3u);
    EXPECT_EQ(both[1].bytes.size(), 143u);
}

TEST(Emulator, MalformedLinesGetNoAnswerAndChangeNothing) {
    Emulator emu;
    emu.memory().write(0x1200, counting(64));
    const auto before = emu.memory().bytes();
    const std::string lines[] = {
        "", "QK~TQ-M5EGX", "qk~tq-m5eg", "xQK~TQ-M5EG",
        "QK~F01a00R",     // lowercase address digit
        "QK~F0120R",      // four address digits
        "QK~F20000R",     // beyond 128 KiB
        "QK~F01200X", "QK~F01200R00", "QK~F01200W",
        "QK~F01200W123",  // odd digit count
        "QK~F01200W0a0b", "QK~F01200WZZ",
        "QK~F01200W" + std::string(130, '0'),  // 65 bytes
        std::string(5000, 'Q'), "QK~F01200W" + std::string(400, 'A'),
    };
    for (const std::string& line : lines)
        EXPECT_TRUE(emu.transact(bytesOf(line + "\r")).empty()) << line.substr(0, 40);
    EXPECT_EQ(emu.memory().bytes(), before);
    EXPECT_EQ(emu.stats().exchanges, 0u);
    EXPECT_EQ(emu.stats().ignored, std::size(lines));
    for (const auto& entry : emu.log()) {
        EXPECT_EQ(entry.rfind("- ignored (", 0), 0u) << entry;
        EXPECT_LT(entry.size(), 120u);  // long junk is cut short in the log
    }
    EXPECT_EQ(emu.transact(identify()).size(), 17u);  // the next line is read afresh
}

TEST(Emulator, RandomBytesNeverCrashNorWrite) {
    // Mostly characters of the protocol, so that the parser gets deep.
    const std::string alphabet = "QK~FRWTQ-M5EG0123456789ABCDEFabcf\r\r\n";
    std::mt19937 rng(20240601);
    Emulator emu;
    std::size_t answered = 0;
    for (int round = 0; round < 4000; ++round) {
        Bytes chunk(rng() % 64);
        for (auto& b : chunk)
            b = (rng() % 8 == 0) ? uint8_t(rng()) : uint8_t(alphabet[rng() % alphabet.size()]);
        for (const Answer& a : emu.feed(chunk)) {
            ++answered;
            EXPECT_EQ(a.bytes.size(), a.kind == CommandKind::Read ? 143 : a.commandLength + 6);
        }
    }
    EXPECT_EQ(emu.stats().exchanges, answered);
    if (emu.stats().writes == 0) {
        EXPECT_EQ(emu.memory().bytes(), RadioMemory().bytes());
    }
    EXPECT_GT(emu.stats().ignored, 1000u);
}

TEST(Emulator, ForcedFaultsAndWhatTheyDo) {
    Emulator emu;
    const FaultKind kinds[] = {FaultKind::NoAnswer, FaultKind::Short, FaultKind::ExtraByte,
                               FaultKind::BrokenTail, FaultKind::Late, FaultKind::BrokenTail};
    for (uint64_t n = 1; n <= 6; ++n) emu.forceFault(n, kinds[n - 1]);
    auto one = [&](const Bytes& cmd) { return emu.feed(cmd).at(0); };

    EXPECT_TRUE(one(identify()).bytes.empty());
    const Bytes shortAnswer = one(identify()).bytes;
    ASSERT_GE(shortAnswer.size(), 13u);
    ASSERT_LT(shortAnswer.size(), 17u);
    EXPECT_EQ(textOf(shortAnswer), IdAnswer.substr(0, shortAnswer.size()));
    const Bytes extra = one(identify()).bytes;
    ASSERT_EQ(extra.size(), 18u);
    EXPECT_EQ(textOf(extra).substr(0, 17), IdAnswer);
    EXPECT_EQ(textOf(one(identify()).bytes), "QK~TQ-M5EG\r  NG\r\n");
    const Answer late = one(identify());
    EXPECT_EQ(textOf(late.bytes), IdAnswer);
    EXPECT_EQ(late.delay, std::chrono::milliseconds(1300));
    const Bytes broken = one(readCommand(0x1200)).bytes;
    ASSERT_EQ(broken.size(), 143u);
    EXPECT_NE(textOf(broken).substr(141), "\r\n");
    EXPECT_EQ(textOf(one(identify()).bytes), IdAnswer);  // forced faults are used up
    EXPECT_EQ(emu.stats().faults, 6u);
    EXPECT_EQ(emu.log().at(5), "6 R 01200 [broken tail]");

    // A write whose answer is lost or spoilt has still been stored.
    emu.failNext(2, FaultKind::NoAnswer);
    EXPECT_TRUE(emu.transact(writeCommand(0x0100, {0xAB, 0xCD})).empty());
    EXPECT_TRUE(emu.transact(writeCommand(0x0200, {0xEF})).empty());
    EXPECT_EQ(emu.memory().read(0x0100, 2), (Bytes{0xAB, 0xCD}));
    EXPECT_EQ(emu.memory().at(0x0200), 0xEF);

    // Identification faults leave the other commands alone.
    emu.failIdentifications(2);
    EXPECT_TRUE(emu.transact(identify()).empty());
    EXPECT_EQ(emu.transact(readCommand(0)).size(), 143u);
    EXPECT_TRUE(emu.transact(identify()).empty());
    EXPECT_EQ(emu.transact(identify()).size(), 17u);
    emu.failIdentifications(5, FaultKind::Short);
    emu.clearForcedFaults();
    EXPECT_EQ(emu.transact(identify()).size(), 17u);
}

TEST(Emulator, RandomFaultsFollowTheSeed) {
    auto run = [](uint64_t seed, double rate, uint64_t forced = 0) {
        Emulator::Options opt;
        opt.faultRate = rate;
        opt.seed = seed;
        Emulator emu(opt);
        if (forced) emu.forceFault(forced, FaultKind::NoAnswer);
        std::vector<Answer> all;
        for (uint32_t i = 0; i < 400; ++i) {
            auto a = emu.feed(i % 3 ? readCommand(0x1200 + 64 * i) : identify());
            all.insert(all.end(), a.begin(), a.end());
        }
        return all;
    };
    auto same = [](const Answer& x, const Answer& y) {
        return x.bytes == y.bytes && x.fault == y.fault && x.delay == y.delay;
    };
    const auto a = run(42, 0.25), b = run(42, 0.25), c = run(43, 0.25), forced = run(42, 0.25, 10);
    int faults = 0, differ = 0;
    std::set<FaultKind> kinds;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_TRUE(same(a[i], b[i])) << i;
        // Forcing one exchange leaves the seed's sequence alone for the others.
        EXPECT_TRUE(i == 9 ? forced[i].fault == FaultKind::NoAnswer : same(a[i], forced[i])) << i;
        differ += !same(a[i], c[i]);
        if (a[i].fault != FaultKind::None) {
            kinds.insert(a[i].fault);
            ++faults;
        }
    }
    EXPECT_GT(differ, 0);
    EXPECT_GT(faults, 60);
    EXPECT_LT(faults, 140);
    EXPECT_EQ(kinds.size(), std::size_t(RandomFaultKinds));
    EXPECT_EQ(kinds.count(FaultKind::NotStored), 0u);
    for (const Answer& x : run(42, 0.0)) EXPECT_EQ(x.fault, FaultKind::None);
    for (const Answer& x : run(42, 1.0)) EXPECT_NE(x.fault, FaultKind::None);
}

TEST(Emulator, AnswersForAnotherAddressAndWritesNotStored) {
    Emulator emu;
    for (uint32_t a = 0; a < MemorySize; a += 64) emu.memory().write(a, counting(64, uint8_t(a >> 6)));
    auto echoedAddress = [](const std::string& answer) { return std::stoul(answer.substr(4, 5), nullptr, 16); };
    auto answerWith = [&](FaultKind kind, const Bytes& cmd) {
        emu.failNext(1, kind);
        const auto answers = emu.feed(cmd);
        EXPECT_EQ(answers.at(0).fault, kind);
        return textOf(answers.at(0).bytes);
    };

    // Well-formed in every respect but the address: right length, valid
    // digits, the right closing bytes, and the other block's data.
    for (uint32_t address : {0x01200u, 0x1FFC0u, 0x00000u}) {
        const std::string read = answerWith(FaultKind::OtherAddress, readCommand(address));
        ASSERT_EQ(read.size(), 143u);
        const uint32_t other = uint32_t(echoedAddress(read));
        EXPECT_NE(other, address);
        EXPECT_LT(other, MemorySize);
        EXPECT_EQ(read, textOf(readCommand(other)) + "  " + hexOf(emu.memory().read(other, 64)) + "\r\n");

        const Bytes data = counting(14, 0x77);
        const std::string write = answerWith(FaultKind::OtherAddress, writeCommand(address, data));
        ASSERT_EQ(write.size(), 2 * 14 + 17u);
        EXPECT_NE(echoedAddress(write), address);
        EXPECT_EQ(write.substr(9), textOf(writeCommand(address, data)).substr(9) + "  OK\r\n");
        EXPECT_EQ(emu.memory().read(address, 14), data);  // stored where it was sent
    }
    // The identification is answered with a read's echo: 17 bytes, "OK" in place.
    const std::string id = answerWith(FaultKind::OtherAddress, identify());
    ASSERT_EQ(id.size(), 17u);
    EXPECT_EQ(id.substr(0, 4), "QK~F");
    EXPECT_EQ(id.substr(13, 2), "OK");

    // A write not stored is answered exactly as a good one.
    const Bytes before = emu.memory().read(0x1A780, 64);
    const Bytes data = counting(64, 0x11);
    EXPECT_EQ(answerWith(FaultKind::NotStored, writeCommand(0x1A780, data)),
              textOf(writeCommand(0x1A780, data)) + "  OK\r\n");
    EXPECT_EQ(emu.memory().read(0x1A780, 64), before);
    EXPECT_EQ(emu.log().back(), std::to_string(emu.stats().exchanges) + " W 1A780 64 [not stored]");
    // Forced on anything but a write it changes nothing.
    emu.failNext(1, FaultKind::NotStored);
    const auto plain = emu.feed(identify());
    EXPECT_EQ(plain.at(0).fault, FaultKind::None);
    EXPECT_EQ(textOf(plain.at(0).bytes), IdAnswer);
}

TEST(RadioMemory, ImageFilesRoundTripAndBadOnesChangeNothing) {
    TempDir dir;
    const std::string path = (dir.path / "radio.img").string();
    RadioMemory m;
    m.write(0x1FFC0, counting(64, 0x80));
    m.save(path);
    m.write(0x100, {9});
    m.save(path);  // over an existing image
    RadioMemory back;
    back.load(path);
    EXPECT_EQ(back.bytes(), m.bytes());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator{}), 1)
        << "no temporary file left behind";

    std::ofstream(dir.path / "short.img") << "not an image";
    EXPECT_THROW(back.load((dir.path / "short.img").string()), std::runtime_error);
    EXPECT_THROW(back.load((dir.path / "missing.img").string()), std::runtime_error);
    EXPECT_EQ(back.bytes(), m.bytes());
    EXPECT_THROW(m.save((dir.path / "no" / "dir.img").string()), std::runtime_error);
    EXPECT_THROW(back.assign(Bytes(MemorySize - 1)), std::invalid_argument);
}
