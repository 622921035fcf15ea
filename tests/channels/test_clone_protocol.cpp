#include <gtest/gtest.h>

#include "protocol/answers.h"
#include "protocol/clone_protocol.h"
#include "protocol/transfer_state.h"
#include "support/emulator_link.h"
#include "support/recording_host.h"

using namespace tqm5;

TEST(CloneProtocol, CommandBytes) {
    EXPECT_EQ(hexAddress(0x1A780), "1A780");
    EXPECT_EQ(hexAddress(0x0C00), "00C00");
    const Bytes r = readCommand(0x1200);
    EXPECT_EQ(std::string(r.begin(), r.end()), "QK~F01200R\r");
    const Bytes w = writeCommand(0x0EB5, {0x00, 0xAB, 0xFF});
    EXPECT_EQ(std::string(w.begin(), w.end()), "QK~F00EB5W00ABFF\r");
    const Bytes id = identificationCommand();
    EXPECT_EQ(std::string(id.begin(), id.end()), "QK~TQ-M5EG\r");
}

TEST(CloneProtocol, AcceptsOnlyExactAnswers) {
    emu::Emulator::Options slow;
    slow.lateDelay = std::chrono::milliseconds(40);
    test::EmulatorLink link(slow);
    test::RecordingHost host;
    TransferState state;
    CloneProtocol p(link, host, state, 1, 30);
    link.radio.memory().write(0x1234, {0xAB, 0xCD, 0x0F});
    EXPECT_TRUE(p.identify());
    auto data = p.readBlock(0x1234, 64);
    ASSERT_TRUE(data);
    EXPECT_EQ((*data)[0], 0xAB);
    EXPECT_EQ((*data)[2], 0x0F);
    EXPECT_TRUE(p.writeBlock(0x100, Bytes(48, 0x5A)));
    EXPECT_EQ(link.mem(0x12F), 0x5A);

    using emu::FaultKind;
    for (FaultKind f : {FaultKind::ExtraByte, FaultKind::BrokenTail, FaultKind::Short, FaultKind::NoAnswer}) {
        link.radio.failNext(1, f);
        EXPECT_FALSE(p.identify()) << emu::faultName(f);
        link.radio.failNext(1, f);
        EXPECT_FALSE(p.readBlock(0x1234, 64)) << emu::faultName(f);
        link.radio.failNext(1, f);
        EXPECT_FALSE(p.writeBlock(0x100, Bytes(14, 1))) << emu::faultName(f);
    }
    // The late answer of a failed read must not be taken for the next one.
    link.radio.failNext(1, FaultKind::Late);
    EXPECT_FALSE(p.readBlock(0x1234, 64));
    std::optional<Bytes> other;
    for (int i = 0; i < 3 && !other; ++i) other = p.readBlock(0x2000, 64);
    ASSERT_TRUE(other);
    EXPECT_EQ((*other)[0], 0x00);
    EXPECT_EQ((*p.readBlock(0x1234, 64))[1], 0xCD);
}

TEST(CloneProtocol, ClosingWindowAbandonsTheWait) {
    test::EmulatorLink link;
    test::RecordingHost host;
    TransferState state;
    host.onEvents = [&] { state.closing = true; };
    CloneProtocol p(link, host, state, 1, 1000);
    link.radio.failNext(1, emu::FaultKind::NoAnswer);
    EXPECT_THROW(p.identify(), TransferClosed);
}

// The answer checks on crafted answers: only the exact answer to the exact
// command is ever taken.
TEST(CloneProtocol, AnswerChecks) {
    auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    const Bytes cmd = readCommand(0x01240);
    const std::string digits = "0123456789ABCDEF";
    const std::string good = "QK~F01240R\r\r\n" + digits + "\r\n";  // 8 data bytes
    struct Case {
        std::string answer;
        bool accepted;
        const char* why;
    } reads[] = {
        {good, true, "exact"},
        {"QK~F01280R\r\r\n" + digits + "\r\n", false, "another address's answer, right length"},
        {good + "X", false, "one byte more"},
        {good.substr(0, good.size() - 1), false, "one byte short"},
        {"QK~F01240R\r\r\n" + digits + "\n\r", false, "closing bytes swapped"},
        {"QK~F01240R\r\r\n0123456789abcdef\r\n", false, "lowercase digits"},
        {"QK~F01240R\r\r\n0123456789ABCDEG\r\n", false, "not a digit"},
        {"QK~F01240W\r\r\n" + digits + "\r\n", false, "echo of a write"},
    };
    for (const Case& c : reads) {
        const auto data = readAnswerData(text(c.answer), cmd, 8);
        EXPECT_EQ(data.has_value(), c.accepted) << c.why;
        if (data) {
            EXPECT_EQ(*data, (Bytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}));
        }
    }
    const Bytes w = writeCommand(0x00100, {0x12});
    EXPECT_TRUE(writeAccepted(text("QK~F00100W12\r\r\nOK\r\n"), w, 1));
    EXPECT_FALSE(writeAccepted(text("QK~F00108W12\r\r\nOK\r\n"), w, 1));  // another address
    EXPECT_FALSE(writeAccepted(text("QK~F00100W12\r\r\nNG\r\n"), w, 1));
    EXPECT_FALSE(writeAccepted(text("QK~F00100W12\r\r\nOK\r\n\n"), w, 1));
    const Bytes id = identificationCommand();
    EXPECT_TRUE(identificationAccepted(text("QK~TQ-M5EG\r\r\nOK\r\n"), id));
    EXPECT_FALSE(identificationAccepted(text("QK~TQ-M5EX\r\r\nOK\r\n"), id));
    EXPECT_FALSE(identificationAccepted(text("QK~TQ-M5EG\r\r\nOK\r\n\n"), id));
}
