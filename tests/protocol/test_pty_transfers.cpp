// Channel transfers end to end: the program's real serial link (QSerialPort)
// on a pseudo-terminal, the emulated radio on the other side.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "channels/channel_transfers.h"
#include "channels/record_codec.h"
#include "emulator/pty_server.h"
#include "serial/qt_serial_link.h"
#include "support/bare_pty.h"
#include "support/recording_host.h"

using namespace tqm5;
using tqm5::emu::FaultKind;

namespace {

struct PtyHost : test::RecordingHost {
    void processEvents() override {
        test::RecordingHost::processEvents();
        QCoreApplication::processEvents();
    }
};

struct PtyRig {
    emu::PtyServer radio;
    ChannelGrid grid;
    TransferState state;
    QtSerialLink link;
    PtyHost host;
    int timeoutMs = 1000;
    explicit PtyRig(emu::Emulator::Options o = {}, emu::PtyServerOptions line = {}) : radio(o, line) {
        radio.start();
        link.bindDevice(1, QString::fromStdString(radio.devicePath()));
    }
    TransferContext ctx() { return TransferContext{grid, state, link, host, 1, timeoutMs}; }
    Bytes record(int row) { return radio.readMemory(addressOfRow(row), 64); }
};

Bytes asBytes(const Record& r) { return Bytes(r.begin(), r.end()); }

void sample(ChannelGrid& g) {
    auto put = [&](int row, const char* freq, const char* name) {
        g.setCell(row, ColFreq, freq);
        g.setCell(row, ColMode, "NFM");
        g.setCell(row, ColOffset, "5.000MHz");
        g.setCell(row, ColShift, "-");
        g.setNameString(row - 1, name);
        g.setCell(row, ColName, nameToDisplay(name));
        g.attr(row).inUse = 1;
    };
    put(1, "145.00000MHz", "ﾃｽﾄ");
    put(999, "439.50000MHz", "あ愛\u2460");
    put(1102, "1295.00000MHz", "sub");
    put(1404 + 5, "145.00000MHz", "");
    put(1404 + 2, "145.00000MHz", "");
    put(1404 + 7, "144.50000MHz", "");
}

}  // namespace

TEST(PtyTransfers, WriteThenReadRoundTrip) {
    PtyRig w;
    sample(w.grid);
    ASSERT_EQ(memoryWrite(w.ctx()), TransferOutcome::Success) << w.host.lastText();
    for (int row = 1; row <= LastRow; ++row) ASSERT_EQ(w.record(row), asBytes(encodeRecord(w.grid, row))) << row;
    const Bytes index = w.radio.readMemory(0x0C00, 707);
    EXPECT_EQ(index[100 * 7 + 5], 7);
    EXPECT_EQ(index[7 * 7 + 5], 2);
    EXPECT_EQ(index[2 * 7 + 6], 7);
    EXPECT_EQ(index[5 * 7 + 6], 2);
    EXPECT_EQ(index[5 * 7 + 5], 0xFF);
    EXPECT_FALSE(w.link.isOpen());

    ChannelGrid fresh;
    std::swap(w.grid, fresh);
    ASSERT_EQ(memoryRead(w.ctx()), TransferOutcome::Success);
    for (int row = 1; row <= LastRow; ++row) {
        ASSERT_EQ(w.grid.inUse(row), fresh.inUse(row)) << row;
        ASSERT_EQ(asBytes(encodeRecord(w.grid, row)), asBytes(encodeRecord(fresh, row))) << row;
    }
    EXPECT_EQ(w.grid.cell(999, ColName), "あ愛:1~");
    EXPECT_EQ(w.host.lastText(), "Success");
}

TEST(PtyTransfers, OneRowRangesAndIndex) {
    PtyRig w;
    sample(w.grid);
    w.grid.setSelection(1410, 1400);
    ASSERT_EQ(oneMemoryWrite(w.ctx()), TransferOutcome::Success);
    EXPECT_EQ(w.radio.readMemory(0x0C00 + 700, 7)[5], 7);
    w.radio.withEmulator([](emu::Emulator& e) { e.clearLog(); });
    w.grid.setSelection(1, 3);
    ASSERT_EQ(oneMemoryWrite(w.ctx()), TransferOutcome::Success);
    for (const auto& l : w.radio.log()) EXPECT_EQ(l.find("00C00"), std::string::npos) << l;
    EXPECT_EQ(w.record(1), asBytes(encodeRecord(w.grid, 1)));
}

TEST(PtyTransfers, TimeoutThenGoodAnswerAndIdentificationFailures) {
    PtyRig r;
    r.radio.withEmulator([](emu::Emulator& e) { e.forceFault(2, FaultKind::NoAnswer); });
    r.grid.setSelection(1, 2);
    ASSERT_EQ(oneMemoryRead(r.ctx()), TransferOutcome::Success);  // one real 1 s timeout

    PtyRig s;
    s.timeoutMs = 100;
    s.radio.withEmulator([](emu::Emulator& e) { e.failIdentifications(3); });
    EXPECT_EQ(memoryRead(s.ctx()), TransferOutcome::Error);
    EXPECT_EQ(s.host.lastText(), "Error");
    EXPECT_EQ(s.radio.stats().exchanges, 3u);

    // After a late answer the repeated command's own answer follows it; taken
    // for the next command's, it would leave the line one answer behind.
    emu::Emulator::Options late;
    late.lateDelay = std::chrono::milliseconds(130);
    emu::PtyServerOptions paced;
    paced.wireTiming = true;
    PtyRig t(late, paced);
    t.timeoutMs = 100;
    sample(t.grid);
    t.grid.setSelection(1, 60);
    t.radio.withEmulator([](emu::Emulator& e) { e.forceFault(3, FaultKind::Late); });
    EXPECT_EQ(oneMemoryWrite(t.ctx()), TransferOutcome::Success);
    EXPECT_LE(t.radio.stats().exchanges, 1u + 60u + 2u);  // the identification, 60 rows, a retry or two
}

TEST(PtyTransfers, MissingAndVanishingDevice) {
    ChannelGrid grid;
    TransferState state;
    QtSerialLink link;
    PtyHost host;
    link.bindDevice(1, "/dev/tqm5-no-such-device");
    EXPECT_EQ(memoryRead(TransferContext{grid, state, link, host, 1, 1000}), TransferOutcome::PortError);
    EXPECT_EQ(host.lastText(), "Port Error");
    EXPECT_EQ(host.messages.back().title, " Error");
    EXPECT_GE(host.enableCalls, 1);
    EXPECT_EQ(state.busy, Idle);

    // The radio goes away in the middle of a read: the device hangs up.
    auto radio = std::make_unique<emu::PtyServer>();
    radio->start();
    ChannelGrid g2;
    TransferState s2;
    QtSerialLink l2;
    PtyHost h2;
    l2.bindDevice(1, QString::fromStdString(radio->devicePath()));
    int polls = 0;
    h2.onEvents = [&] {
        if (++polls == 300) radio.reset();
    };
    EXPECT_EQ(memoryRead(TransferContext{g2, s2, l2, h2, 1, 50}), TransferOutcome::PortError);
    EXPECT_EQ(h2.lastText(), "Port Error");
    EXPECT_FALSE(l2.isOpen());

    // A device that takes no more output: the write fails rather than leave
    // the bytes queued for later.
    test::BarePty stuck;
    ASSERT_FALSE(stuck.path.empty());
    QtSerialLink l3;
    l3.bindDevice(1, QString::fromStdString(stuck.path));
    l3.setSettings(SerialSettings);
    l3.open();
    EXPECT_THROW(l3.write(Bytes(1 << 20, '0')), PortError);
    EXPECT_FALSE(l3.isOpen());
}

TEST(PtyTransfers, ClosingStopsWithinOnePoll) {
    PtyRig r;
    int polls = 0, writesAtClose = 0;
    r.host.onEvents = [&] {
        if (++polls == 100) {
            r.state.closing = true;
            writesAtClose = int(r.radio.stats().exchanges);
        }
    };
    EXPECT_EQ(memoryRead(r.ctx()), TransferOutcome::Closed);
    EXPECT_LE(int(r.radio.stats().exchanges), writesAtClose + 1);
    EXPECT_FALSE(r.link.isOpen());
    EXPECT_TRUE(r.host.messages.empty());
}

TEST(PtyTransfers, RandomFaultsNeverGiveWrongData) {
    ChannelGrid source;
    sample(source);
    for (double rate : {0.01, 0.10}) {
        for (uint64_t seed : {11u, 12u}) {
            emu::Emulator::Options o;
            o.faultRate = rate;
            o.seed = seed;
            o.lateDelay = std::chrono::milliseconds(130);
            PtyRig w(o);
            w.timeoutMs = 100;
            w.grid = source;
            const TransferOutcome wrote = memoryWrite(w.ctx());
            ASSERT_TRUE(wrote == TransferOutcome::Success || wrote == TransferOutcome::Error);
            if (wrote == TransferOutcome::Success) {
                for (int row = 1; row <= LastRow; ++row)
                    ASSERT_EQ(w.record(row), asBytes(encodeRecord(source, row))) << rate << "/" << seed << "/" << row;
            }

            Bytes image(emu::MemorySize, 0);
            for (int row = 1; row <= LastRow; ++row) {
                const Record rec = encodeRecord(source, row);
                std::copy(rec.begin(), rec.end(), image.begin() + addressOfRow(row));
            }
            w.radio.setMemory(image);
            w.grid = ChannelGrid();
            const TransferOutcome read = memoryRead(w.ctx());
            ASSERT_TRUE(read == TransferOutcome::Success || read == TransferOutcome::Error);
            if (read == TransferOutcome::Success) {
                for (int row = 1; row <= LastRow; ++row)
                    ASSERT_EQ(asBytes(encodeRecord(w.grid, row)), asBytes(encodeRecord(source, row))) << row;
            }
        }
    }
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
