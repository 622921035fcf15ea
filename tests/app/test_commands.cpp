// The command layer: the row ranges the grid commands touch, the busy
// guard, and the boundaries between ordinary, call, pass and bug rows.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/startup.h"
#include "support/recording_host.h"
#include "support/emulator_rig.h"
#include "support/command_rig.h"

using namespace tqm5;

namespace {

struct Rig : test::CommandRig {
    Rig() {
        for (int r = 1; r <= LastRow; ++r) {
            doc.grid.setCell(r, ColFreq, "145.00000MHz");
            doc.grid.setCell(r, ColName, "N");
            doc.grid.setNameString(r - 1, "N");
            doc.grid.attr(r).inUse = 1;
        }
    }
    bool untouched(int r) const { return doc.grid.inUse(r) && doc.grid.cell(r, ColFreq) == "145.00000MHz"; }
};

}  // namespace

TEST(Commands, RowRangesOfDeleteClearAndAllClear) {
    enum Op { Delete, Clear, AllClear };
    struct Case {
        Op op;
        int from, to;           // selection (current row, selection end)
        int firstChanged, lastChanged;  // 0, 0: nothing changes
    } cases[] = {
        {Delete, 1600, 1623, 1600, 1603},  // bug rows inside the range are kept
        {Delete, 1623, 1600, 0, 0},        // current row a bug row: nothing
        {Delete, 1401, 1410, 0, 0},        // current row a call row: nothing
        {Delete, 1410, 1395, 1395, 1410},  // call rows inside the range are emptied
        {Clear, 1590, 1623, 1590, 1603},   // Clear stops before the bug rows
        {Clear, 1395, 1410, 1395, 1410},   // and skips the call rows (checked below)
        {AllClear, 1, 1, 1, 1603},
    };
    for (const Case& c : cases) {
        Rig r;
        r.doc.grid.setSelection(c.from, c.to);
        if (c.op == Delete) r.commands.channels.deleteRows();
        if (c.op == Clear) r.commands.channels.clearRows();
        if (c.op == AllClear) r.commands.channels.allClear();
        for (int row = 1; row <= LastRow; ++row) {
            const bool inRange = row >= c.firstChanged && row <= c.lastChanged;
            const bool kept = !inRange || isBugRow(row) || (c.op != Delete && isCallRow(row));
            EXPECT_EQ(r.untouched(row), kept) << c.op << " " << c.from << "-" << c.to << " row " << row;
        }
        EXPECT_EQ(r.doc.grid.row(), c.from);  // the selection is kept
        EXPECT_EQ(r.doc.grid.rowSel(), c.to);
        if (c.op == Delete && c.firstChanged) {
            EXPECT_EQ(r.doc.grid.nameString(c.firstChanged - 1), "N");  // Delete keeps the name
        }
        if (c.op == Clear) {
            EXPECT_EQ(r.doc.grid.nameString(c.firstChanged - 1), "");
        }
    }
}

TEST(Commands, AllClearMovesTheBarRowByRow) {
    Rig r;
    r.commands.channels.allClear();
    // Row div 16 for every row up to 1603 (call rows skipped), then back to 0.
    ASSERT_GE(r.host.progressValues.size(), 1600u);
    EXPECT_EQ(r.host.progressValues[15], 1);
    EXPECT_EQ(r.host.progressValues[r.host.progressValues.size() - 2], 1603 / 16);
    EXPECT_EQ(r.host.progressValues.back(), 0);
    EXPECT_EQ(r.host.progressMax, 100);
}

TEST(Commands, NothingRunsWhileATransferRuns) {
    Rig r;
    r.doc.state.busy = BusyMemoryWrite;
    r.doc.grid.setSelection(10, 20);
    r.commands.channels.deleteRows();
    r.commands.channels.clearRows();
    r.commands.channels.allClear();
    r.commands.channels.moveDown();
    EXPECT_FALSE(r.commands.channels.pasteRows("145\n"));
    EXPECT_EQ(r.commands.channels.cutRows(), "");
    EXPECT_FALSE(r.commands.channels.sortRows(SortKey::Frequency));
    EXPECT_FALSE(r.commands.channels.moveRows(-1));
    EXPECT_FALSE(r.commands.channels.find("N"));
    EXPECT_FALSE(r.commands.channels.undo());
    EXPECT_EQ(r.commands.channels.memoryRead(), TransferOutcome::Ignored);
    EXPECT_EQ(r.commands.channels.oneMemoryWrite(), TransferOutcome::Ignored);
    EXPECT_EQ(r.commands.channels.editorRow(), 0);
    EXPECT_EQ(r.commands.switchPage(2), 0);
    EXPECT_FALSE(r.commands.selectPort(3));
    for (int row = 1; row <= LastRow; ++row) ASSERT_TRUE(r.untouched(row)) << row;
    EXPECT_EQ(r.doc.grid.row(), 10);
    EXPECT_TRUE(r.link.sent.empty());
    EXPECT_EQ(r.doc.port, 1);
}

// Read All and Write All hold the radio from their first step to their
// last: a click that arrives while a step waits, between two steps or while
// the font and group windows read starts nothing.
TEST(Commands, NothingStartsInsideReadAllOrWriteAll) {
    test::EmulatorRig r(30);
    r.doc.origin.known = true;
    r.doc.known = AreaOrigins{true, true, true, true, true, true};
    struct Windows : AllDataWindows {
        std::function<void()> during;
        bool readFontWindow() override { return during(), true; }
        bool readGroupWindow() override { return during(), true; }
    } windows;
    int tried = 0;
    const auto tryEverything = [&] {
        ++tried;
        EXPECT_EQ(r.commands.channels.memoryRead(), TransferOutcome::Ignored);
        EXPECT_EQ(r.commands.banks.write(), TransferOutcome::Ignored);
        EXPECT_EQ(r.commands.allData.readAll(windows), TransferOutcome::Ignored);
        EXPECT_EQ(r.commands.allData.writeAll(), TransferOutcome::Ignored);
        EXPECT_EQ(r.commands.switchPage(2), 0);
        EXPECT_FALSE(r.commands.selectPort(3));
    };
    windows.during = tryEverything;
    r.host.onEvents = tryEverything;
    EXPECT_EQ(r.commands.allData.readAll(windows), TransferOutcome::Success);
    EXPECT_EQ(r.commands.allData.writeAll(), TransferOutcome::Success);
    r.host.onEvents = nullptr;
    EXPECT_GT(tried, 3000);
    EXPECT_EQ(r.doc.port, 1);
    EXPECT_FALSE(r.commands.runner.busy());
}

TEST(Commands, BlankEmptyRowsStopsAtRow1602) {
    Rig r;
    for (int row : {1, 1401, 1402, 1403, 1602, 1603, 1604}) r.doc.grid.attr(row).inUse = 0;
    blankEmptyRows(r.doc.grid);
    for (int row : {1, 1602}) EXPECT_EQ(r.doc.grid.cell(row, ColFreq), "") << row;
    for (int row : {1401, 1402, 1403, 1603, 1604}) EXPECT_EQ(r.doc.grid.cell(row, ColFreq), "145.00000MHz") << row;
    EXPECT_EQ(r.doc.grid.nameString(1601), "");
    EXPECT_EQ(r.doc.grid.nameString(1602), "N");
}
