#include <gtest/gtest.h>

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
