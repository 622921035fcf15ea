// The response wait against every way an adapter hands answers over, and
// answers that belong to another block.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>

#include "emulator/pty_server.h"
#include "protocol/clone_protocol.h"
#include "protocol/transfer_state.h"
#include "serial/qt_serial_link.h"
#include "support/emulator_link.h"
#include "support/recording_host.h"

using namespace tqm5;
using emu::FaultKind;
using Clock = std::chrono::steady_clock;

namespace {

struct TimedHost : test::RecordingHost {
    Clock::time_point last = Clock::now();
    Clock::duration longestGap{0};
    void processEvents() override {
        const auto now = Clock::now();
        longestGap = std::max(longestGap, now - last);
        last = now;
        RecordingHost::processEvents();
        QCoreApplication::processEvents();
    }
};

Bytes pattern(std::size_t n, uint8_t seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + 37 * i);
    return b;
}

}  // namespace

TEST(ResponseWait, EveryHandOverModeOverThePty) {
    struct Mode {
        bool wire;
        std::size_t piece;
        int latencyMs;
    };
    const Mode modes[] = {{true, 1, 0}, {true, 16, 0}, {true, 64, 0}, {true, 16, 2}, {true, 64, 16}, {false, 16, 3}};
    for (const Mode& m : modes) {
        SCOPED_TRACE("piece " + std::to_string(m.piece) + ", latency " + std::to_string(m.latencyMs) +
                     (m.wire ? " ms, wire timing" : " ms"));
        emu::PtyServer::Options o;
        o.wireTiming = m.wire;
        o.pieceBytes = m.piece;
        o.latency = std::chrono::milliseconds(m.latencyMs);
        emu::PtyServer radio(emu::Emulator::Options{}, o);
        radio.start();
        QtSerialLink link;
        link.bindDevice(1, QString::fromStdString(radio.devicePath()));
        TimedHost host;
        TransferState state;
        CloneProtocol protocol(link, host, state, 1);

        ASSERT_TRUE(protocol.identify());
        // Every answer length the program uses, each accepted at the first try.
        const std::pair<uint32_t, std::size_t> blocks[] = {{0x01200, 64}, {0x00C00, 63}, {0x00080, 18},
                                                             {0x01100, 14}, {0x1FE00, 1}};
        for (const auto& [address, length] : blocks) {
            const Bytes data = pattern(length, uint8_t(address));
            ASSERT_TRUE(protocol.writeBlock(address, data)) << address;
            const auto back = protocol.readBlock(address, 64);
            ASSERT_TRUE(back) << address;
            EXPECT_EQ(Bytes(back->begin(), back->begin() + long(length)), data);
        }
        // A radio that stays silent: the wait still lets the window work.
        radio.withEmulator([](emu::Emulator& e) { e.failNext(1, FaultKind::NoAnswer); });
        host.longestGap = {};
        host.last = Clock::now();
        EXPECT_FALSE(protocol.readBlock(0x1200, 64));
        EXPECT_LT(host.longestGap, std::chrono::milliseconds(200));
        EXPECT_TRUE(protocol.readBlock(0x1200, 64));
        protocol.endSession();
        EXPECT_EQ(radio.stats().exchanges, 13u);
    }
}

TEST(ResponseWait, AnswersForAnotherAddressAreNeverTaken) {
    test::EmulatorLink link;
    for (uint32_t a = 0; a < emu::MemorySize; a += 64) link.radio.memory().write(a, pattern(64, uint8_t(a >> 6)));
    test::RecordingHost host;
    TransferState state;
    CloneProtocol protocol(link, host, state, 1, 50);

    for (uint32_t address : {0x00000u, 0x01200u, 0x1A780u, 0x1FFC0u}) {
        link.radio.failNext(1, FaultKind::OtherAddress);
        EXPECT_FALSE(protocol.readBlock(address, 64)) << address;
        link.radio.failNext(1, FaultKind::OtherAddress);
        EXPECT_FALSE(protocol.writeBlock(address, pattern(32, 1))) << address;
        link.radio.failNext(1, FaultKind::OtherAddress);
        EXPECT_FALSE(protocol.identify());
        // The same exchanges answered properly go through.
        EXPECT_EQ(protocol.readBlock(address, 64), link.radio.memory().read(address, 64));
        EXPECT_TRUE(protocol.writeBlock(address, pattern(32, 1)));
        EXPECT_TRUE(protocol.identify());
    }

    // A run where every second answer is another block's: whatever is
    // accepted is the block that was asked for.
    link.radio.setFaultRate(0);
    int accepted = 0;
    for (uint32_t i = 0; i < 200; ++i) {
        const uint32_t address = 0x1200 + 64 * i;
        if (i % 2) link.radio.failNext(1, FaultKind::OtherAddress);
        if (const auto data = protocol.readBlock(address, 64)) {
            ++accepted;
            ASSERT_EQ(*data, link.radio.memory().read(address, 64)) << address;
        }
    }
    EXPECT_EQ(accepted, 100);
}
