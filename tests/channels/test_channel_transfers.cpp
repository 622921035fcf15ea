// Channel transfers against an in-process emulated radio: the pass-channel
// index byte by byte and the failure budgets, counted exchange by exchange.
// What every link must do alike is in tests/protocol/test_link_suite.cpp.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/startup.h"
#include "channels/pass_index.h"
#include "channels/record_codec.h"
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
    Document doc;
    test::EmulatorLink link;
    test::RecordingHost host;
    Commands commands{doc, link, host};
    Rig() { startUp(doc); commands.runner.timeoutMs = 60; }
    int countLog(const std::string& what) {
        int n = 0;
        for (const auto& l : link.radio.log()) n += l.find(what) != std::string::npos;
        return n;
    }
};

}  // namespace

TEST(ChannelTransfers, PassIndexWrittenByteExact) {
    Rig w;
    ASSERT_EQ(w.commands.channels.memoryWrite(), TransferOutcome::Success);
    for (uint32_t a = 0x0C00; a <= 0x0EC2; ++a) ASSERT_EQ(w.link.mem(a), 0xFF) << a;
    EXPECT_EQ(w.link.mem(0x0EC3), 0x00);

    fillSample(w.doc.grid);
    ASSERT_EQ(w.commands.channels.memoryWrite(), TransferOutcome::Success);
    const auto expected = buildPassIndex(w.doc.grid);
    for (int i = 0; i < PassIndexBytes; ++i) ASSERT_EQ(w.link.mem(0x0C00 + i), expected[i]) << i;
    EXPECT_EQ(w.link.mem(0x0C00 + 7 * 100 + 5), 7);   // head names channel 7
    EXPECT_EQ(w.link.mem(0x0C00 + 7 * 7 + 5), 2);     // 7 -> 2
    EXPECT_EQ(w.link.mem(0x0C00 + 2 * 7 + 5), 5);     // 2 -> 5
    EXPECT_EQ(w.link.mem(0x0C00 + 5 * 7 + 5), 0xFF);  // 5 is last
    EXPECT_EQ(w.countLog("W 00EB5"), 2);
}

TEST(ChannelTransfers, ReadFailureBudgetIsThirty) {
    for (int faults : {29, 30}) {
        Rig r;
        // Exchange 1 is the identification; the next ones read rows.
        for (int e = 2; e < 2 + faults; ++e) r.link.radio.forceFault(e, FaultKind::BrokenTail);
        TransferOutcome out = r.commands.channels.memoryRead();
        if (faults == 29) {
            EXPECT_EQ(out, TransferOutcome::Success);
            EXPECT_EQ(r.host.lastText(), "Success");
        } else {
            EXPECT_EQ(out, TransferOutcome::Error);
            EXPECT_EQ(r.host.lastText(), "Error");
            EXPECT_EQ(r.host.messages.back().title, " Error");
            EXPECT_EQ(r.doc.state.quiet, QuietFailed);
        }
        EXPECT_EQ(r.doc.state.busy, Idle);
        EXPECT_FALSE(r.link.isOpen());
    }
}

TEST(ChannelTransfers, WriteBudgetsAndIndexBudgets) {
    Rig w;
    for (int e = 2; e < 22; ++e) w.link.radio.forceFault(e, FaultKind::ExtraByte);
    EXPECT_EQ(w.commands.channels.memoryWrite(), TransferOutcome::Error);
    EXPECT_EQ(w.countLog("W 01200"), 20);

    // Index block 1 has 3 tries: rows 1623 + id = 1624 exchanges come first.
    Rig x;
    for (int e = 1625; e < 1628; ++e) x.link.radio.forceFault(e, FaultKind::BrokenTail);
    EXPECT_EQ(x.commands.channels.memoryWrite(), TransferOutcome::Error);
    Rig y;
    for (int e = 1625; e < 1627; ++e) y.link.radio.forceFault(e, FaultKind::BrokenTail);
    EXPECT_EQ(y.commands.channels.memoryWrite(), TransferOutcome::Success);
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
        EXPECT_EQ(w.commands.channels.memoryWrite(), c.outcome) << c.row1 << " " << c.index1 << " " << c.index2;
    }
}

