// Channel transfers against an in-process emulated radio: exact bytes,
// failure budgets, progress and the messages a user sees.
#include <gtest/gtest.h>

#include <algorithm>

#include "channels/channel_transfers.h"
#include "channels/pass_index.h"
#include "channels/record_codec.h"
#include "protocol/clone_protocol.h"
#include "support/emulator_link.h"
#include "support/recording_host.h"

using namespace tqm5;
using tqm5::emu::FaultKind;

namespace {

void put(ChannelGrid& g, int row, const std::string& freq, const std::string& name = "") {
    g.setCell(row, ColFreq, freq);
    g.setCell(row, ColMode, "FM");
    g.setCell(row, ColStep, "12.5KHz");
    g.attr(row).step = 4;
    g.setCell(row, ColToneMode, "TSQ");
    g.setCell(row, ColTxTone, "100.0Hz");
    g.attr(row).txTone = 12;
    g.setCell(row, ColRxTone, "88.5Hz");
    g.setCell(row, ColDcs, "023");
    g.setCell(row, ColShift, "+");
    g.setCell(row, ColOffset, "0.600MHz");
    g.setNameString(row - 1, name);
    g.setCell(row, ColName, nameToDisplay(name));
    g.attr(row).inUse = 1;
}

void fillSample(ChannelGrid& g) {
    put(g, 1, "145.00000MHz", "CALL");
    put(g, 2, "433.02000MHz", "東京\u2461");
    put(g, 500, "1295.00000MHz", "ｱｲｳ");
    put(g, 1101, "145.50000MHz", "main");
    put(g, 1102, "435.00000MHz", "sub");
    put(g, 1404 + 5, "145.00000MHz");
    put(g, 1404 + 2, "145.00000MHz");
    put(g, 1404 + 7, "144.50000MHz");
    put(g, 1550, "50.00000MHz");
}

struct Rig {
    ChannelGrid grid;
    TransferState state;
    test::EmulatorLink link;
    test::RecordingHost host;
    TransferContext ctx() { return TransferContext{grid, state, link, host, 3, 60}; }
    Bytes radioRecord(int row) {
        Bytes out;
        for (uint32_t a = addressOfRow(row); a < addressOfRow(row) + 64; ++a) out.push_back(link.mem(a));
        return out;
    }
    int countLog(const std::string& what) {
        int n = 0;
        for (const auto& l : link.radio.log()) n += l.find(what) != std::string::npos;
        return n;
    }
};

Bytes asBytes(const Record& r) { return Bytes(r.begin(), r.end()); }

}  // namespace

TEST(ChannelTransfers, WriteThenReadReproducesEveryRow) {
    Rig w;
    fillSample(w.grid);
    ASSERT_EQ(memoryWrite(w.ctx()), TransferOutcome::Success);
    EXPECT_EQ(w.host.lastText(), "Success");
    EXPECT_EQ(w.host.messages.back().title, " Finish");
    EXPECT_EQ(w.link.port, 3);
    EXPECT_EQ(w.link.settings, "57600,n,8,1");
    for (int row = 1; row <= LastRow; ++row) ASSERT_EQ(w.radioRecord(row), asBytes(encodeRecord(w.grid, row))) << row;
    // Dual pair 0 sits at records 1101 (main) and 1201 (sub).
    EXPECT_EQ(w.link.mem(addressOfRecord(1201) + 1), 0xC0);  // 435 MHz = 0x19EDE8C0
    EXPECT_FALSE(w.link.isOpen());

    Rig r;
    r.link.radio.memory().assign(Bytes(w.link.radio.memory().bytes().begin(), w.link.radio.memory().bytes().end()));
    r.grid.setCell(700, ColFreq, "stale");  // a row the radio holds nothing for
    r.grid.setNameString(699, "stale");
    ASSERT_EQ(memoryRead(r.ctx()), TransferOutcome::Success);
    for (int row = 1; row <= LastRow; ++row) {
        ASSERT_EQ(r.grid.inUse(row), w.grid.inUse(row)) << row;
        if (!w.grid.inUse(row)) continue;
        for (int c = 1; c < GridCols; ++c) {
            if (c == ColCarrier) continue;
            EXPECT_EQ(r.grid.cell(row, c), w.grid.cell(row, c)) << row << "/" << c;
        }
        EXPECT_EQ(r.grid.nameString(row - 1), w.grid.nameString(row - 1));
        EXPECT_EQ(r.grid.attr(row), w.grid.attr(row));
    }
    EXPECT_EQ(r.grid.cell(700, ColFreq), "");
    EXPECT_EQ(r.grid.nameString(699), "");
    EXPECT_EQ(r.grid.cell(2, ColName), "東京:2~");
    // Progress: 95% at row 1623, then 100%.
    auto& texts = r.host.progressTexts;
    auto at95 = std::find(texts.begin(), texts.end(), "95%");
    ASSERT_NE(at95, texts.end());
    EXPECT_EQ(*(at95 + 1), "100%");
    EXPECT_EQ(texts.back(), "0%");
    EXPECT_EQ(r.host.progressMax, 1704);
    EXPECT_EQ(r.state.busy, Idle);
    EXPECT_GE(r.host.enableCalls, 1);
    EXPECT_EQ(r.grid.row(), 1);
}

TEST(ChannelTransfers, PassIndexWrittenByteExact) {
    Rig w;
    ASSERT_EQ(memoryWrite(w.ctx()), TransferOutcome::Success);
    for (uint32_t a = 0x0C00; a <= 0x0EC2; ++a) ASSERT_EQ(w.link.mem(a), 0xFF) << a;
    EXPECT_EQ(w.link.mem(0x0EC3), 0x00);

    fillSample(w.grid);
    ASSERT_EQ(memoryWrite(w.ctx()), TransferOutcome::Success);
    const auto expected = buildPassIndex(w.grid);
    for (int i = 0; i < PassIndexBytes; ++i) ASSERT_EQ(w.link.mem(0x0C00 + i), expected[i]) << i;
    EXPECT_EQ(w.link.mem(0x0C00 + 7 * 100 + 5), 7);   // head names channel 7
    EXPECT_EQ(w.link.mem(0x0C00 + 7 * 7 + 5), 2);     // 7 -> 2
    EXPECT_EQ(w.link.mem(0x0C00 + 2 * 7 + 5), 5);     // 2 -> 5
    EXPECT_EQ(w.link.mem(0x0C00 + 5 * 7 + 5), 0xFF);  // 5 is last
    EXPECT_EQ(w.countLog("W 00EB5"), 2);
}

TEST(ChannelTransfers, OneRowCommandsUseTheSelectedRange) {
    Rig w;
    fillSample(w.grid);
    auto oneWrite = [&](int from, int to) {
        w.link.radio.clearLog();
        w.grid.setSelection(from, to);
        EXPECT_EQ(oneMemoryWrite(w.ctx()), TransferOutcome::Success);
        return w.countLog("W 00C00") == 1;
    };
    EXPECT_TRUE(oneWrite(1400, 1410));
    EXPECT_TRUE(oneWrite(1600, 1300));
    EXPECT_FALSE(oneWrite(1, 1403));
    EXPECT_FALSE(oneWrite(1504, 1623));
    EXPECT_EQ(w.radioRecord(1102), asBytes(encodeRecord(w.grid, 1102)));

    // Rows 20 down to 10 are read in ascending order.
    w.link.radio.clearLog();
    w.grid.setSelection(20, 10);
    ASSERT_EQ(oneMemoryRead(w.ctx()), TransferOutcome::Success);
    std::vector<std::string> reads;
    for (const auto& l : w.link.radio.log())
        if (l.find(" R ") != std::string::npos) reads.push_back(l.substr(l.find(" R ") + 3, 5));
    ASSERT_EQ(reads.size(), 11u);
    EXPECT_EQ(reads.front(), hexAddress(addressOfRow(10)));
    EXPECT_EQ(reads.back(), hexAddress(addressOfRow(20)));
    EXPECT_EQ(w.host.progressMax, 11);

    // A single row reads just that row; its record decodes into it.
    w.grid.selectRow(2);
    w.grid.setCell(2, ColName, "changed");
    ASSERT_EQ(oneMemoryRead(w.ctx()), TransferOutcome::Success);
    EXPECT_EQ(w.grid.cell(2, ColName), "東京:2~");
    EXPECT_EQ(w.host.progressTexts[w.host.progressTexts.size() - 2], "100%");
}

TEST(ChannelTransfers, ReadFailureBudgetIsThirty) {
    for (int faults : {29, 30}) {
        Rig r;
        // Exchange 1 is the identification; the next ones read rows.
        for (int e = 2; e < 2 + faults; ++e) r.link.radio.forceFault(e, FaultKind::BrokenTail);
        TransferOutcome out = memoryRead(r.ctx());
        if (faults == 29) {
            EXPECT_EQ(out, TransferOutcome::Success);
            EXPECT_EQ(r.host.lastText(), "Success");
        } else {
            EXPECT_EQ(out, TransferOutcome::Error);
            EXPECT_EQ(r.host.lastText(), "Error");
            EXPECT_EQ(r.host.messages.back().title, " Error");
            EXPECT_EQ(r.state.quiet, QuietFailed);
        }
        EXPECT_EQ(r.state.busy, Idle);
        EXPECT_FALSE(r.link.isOpen());
    }
}

TEST(ChannelTransfers, WriteBudgetsAndIndexBudgets) {
    Rig w;
    for (int e = 2; e < 22; ++e) w.link.radio.forceFault(e, FaultKind::ExtraByte);
    EXPECT_EQ(memoryWrite(w.ctx()), TransferOutcome::Error);
    EXPECT_EQ(w.countLog("W 01200"), 20);

    // Index block 1 has 3 tries: rows 1623 + id = 1624 exchanges come first.
    Rig x;
    for (int e = 1625; e < 1628; ++e) x.link.radio.forceFault(e, FaultKind::BrokenTail);
    EXPECT_EQ(memoryWrite(x.ctx()), TransferOutcome::Error);
    Rig y;
    for (int e = 1625; e < 1627; ++e) y.link.radio.forceFault(e, FaultKind::BrokenTail);
    EXPECT_EQ(memoryWrite(y.ctx()), TransferOutcome::Success);
    EXPECT_EQ(y.host.progressValue, 0);
}

// Each budget starts afresh: the rows' 20, index block 1's 3, blocks 2-11's
// shared 10 and block 12's 2. Failures are spread just under each budget,
// so a budget carried over from the step before ends the run.
TEST(ChannelTransfers, EveryWriteBudgetStartsAfresh) {
    struct Case {
        int row1, index1, index2, index7, index12;
        TransferOutcome outcome;
    } cases[] = {
        {19, 2, 5, 4, 1, TransferOutcome::Success},
        {19, 2, 9, 0, 1, TransferOutcome::Success},
        {0, 0, 6, 4, 0, TransferOutcome::Error},  // blocks 2-11 share their 10
        {0, 0, 0, 0, 2, TransferOutcome::Error},
        {20, 0, 0, 0, 0, TransferOutcome::Error},
    };
    for (const Case& c : cases) {
        Rig w;
        uint64_t e = 2;  // exchange 1 is the identification
        auto step = [&](int failures) {
            for (int k = 0; k < failures; ++k) w.link.radio.forceFault(e++, FaultKind::BrokenTail);
            ++e;
        };
        step(c.row1);
        for (int row = 2; row <= LastRow; ++row) step(0);
        step(c.index1);
        for (int block = 2; block <= 11; ++block) step(block == 2 ? c.index2 : block == 7 ? c.index7 : 0);
        step(c.index12);
        EXPECT_EQ(memoryWrite(w.ctx()), c.outcome) << c.row1 << " " << c.index1 << " " << c.index2;
    }
}

TEST(ChannelTransfers, IdentificationAndTimeouts) {
    Rig r;
    r.link.radio.failIdentifications(3);
    EXPECT_EQ(memoryRead(r.ctx()), TransferOutcome::Error);
    EXPECT_EQ(r.countLog(" R "), 0);

    Rig s;
    s.link.radio.failIdentifications(2, FaultKind::Short);
    s.link.radio.forceFault(4, FaultKind::NoAnswer);  // a timeout, then the row again
    s.link.radio.forceFault(6, FaultKind::Late);      // the late answer is dropped
    s.grid.setSelection(1, 5);
    EXPECT_EQ(oneMemoryRead(s.ctx()), TransferOutcome::Success);
    // The radio answers in order: until its late answer is out, the retries
    // of that row time out too.
    EXPECT_GE(s.countLog(" R "), 8);
}

TEST(ChannelTransfers, PortErrorsEndTheTransfer) {
    Rig r;
    r.link.openFails = true;
    EXPECT_EQ(memoryRead(r.ctx()), TransferOutcome::PortError);
    EXPECT_EQ(r.host.lastText(), "Port Error");
    EXPECT_EQ(r.host.messages.back().title, " Error");
    EXPECT_EQ(r.state.busy, Idle);
    EXPECT_GE(r.host.enableCalls, 1);

    Rig u;  // unplugged in the middle of a write
    u.link.failAfterWrites = 100;
    EXPECT_EQ(memoryWrite(u.ctx()), TransferOutcome::PortError);
    EXPECT_FALSE(u.link.isOpen());

    Rig bad;  // a record no table can show ends the read the same way
    bad.link.radio.memory().write(addressOfRow(3), Bytes{0x01, 0x40, 0x86, 0xA4, 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    bad.grid.setCell(3, ColName, "kept");
    EXPECT_EQ(memoryRead(bad.ctx()), TransferOutcome::PortError);
    EXPECT_EQ(bad.grid.cell(3, ColName), "kept");
}

TEST(ChannelTransfers, BusyAndClosing) {
    Rig r;
    r.state.busy = BusyMemoryWrite;
    EXPECT_EQ(memoryRead(r.ctx()), TransferOutcome::Ignored);
    EXPECT_EQ(r.link.writes, 0);

    Rig c;
    int polls = 0;
    c.host.onEvents = [&] {
        if (++polls == 200) c.state.closing = true;
    };
    EXPECT_EQ(memoryRead(c.ctx()), TransferOutcome::Closed);
    EXPECT_TRUE(c.host.messages.empty());
    EXPECT_FALSE(c.link.isOpen());
    EXPECT_LT(c.link.writes, 200);
    EXPECT_EQ(c.state.busy, Idle);

    Rig q;
    q.state.quiet = QuietOn;
    EXPECT_EQ(memoryWrite(q.ctx()), TransferOutcome::Success);
    EXPECT_TRUE(q.host.messages.empty());
    EXPECT_EQ(q.state.quiet, QuietNormal);
}

TEST(ChannelTransfers, RandomFaultsNeverGiveWrongData) {
    ChannelGrid source;
    fillSample(source);
    for (double rate : {0.01, 0.10}) {
        for (uint64_t seed : {1u, 2u, 3u}) {
            emu::Emulator::Options o;
            o.faultRate = rate;
            o.seed = seed;
            o.lateDelay = std::chrono::milliseconds(15);
            Rig w;
            w.link.radio = emu::Emulator(o);
            w.grid = source;
            TransferContext ctx = w.ctx();
            ctx.timeoutMs = 10;
            const TransferOutcome wrote = memoryWrite(ctx);
            ASSERT_TRUE(wrote == TransferOutcome::Success || wrote == TransferOutcome::Error);
            if (wrote == TransferOutcome::Success) {
                for (int row = 1; row <= LastRow; ++row)
                    ASSERT_EQ(w.radioRecord(row), asBytes(encodeRecord(source, row))) << rate << "/" << seed;
            }

            // Read back a known image through the same faulty line.
            w.link.radio.memory().clear();
            for (int row = 1; row <= LastRow; ++row) {
                const Record rec = encodeRecord(source, row);
                w.link.radio.memory().write(addressOfRow(row), asBytes(rec));
            }
            w.grid = ChannelGrid();
            const TransferOutcome read = memoryRead(ctx);
            ASSERT_TRUE(read == TransferOutcome::Success || read == TransferOutcome::Error);
            if (read == TransferOutcome::Success) {
                for (int row = 1; row <= LastRow; ++row)
                    ASSERT_EQ(asBytes(encodeRecord(w.grid, row)), asBytes(encodeRecord(source, row))) << row;
            }
        }
    }
}
