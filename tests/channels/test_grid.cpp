#include <gtest/gtest.h>

#include "channels/channel_grid.h"
#include "features/bank_layout.h"

using namespace tqm5;

TEST(Grid, StartupLabelsHeadingsAndPresets) {
    ChannelGrid g;
    EXPECT_EQ(g.cell(0, 1), "Freqency");
    EXPECT_EQ(g.cell(0, 12), "Name");
    EXPECT_EQ(g.cell(1, 0), "Bank000-0");
    EXPECT_EQ(g.cell(1000, 0), "Bank009-99");
    EXPECT_EQ(g.cell(1001, 0), "PRG - 0A");
    EXPECT_EQ(g.cell(1100, 0), "PRG - 49B");
    EXPECT_EQ(g.cell(1101, 0), "Dual0(Main) ");
    EXPECT_EQ(g.cell(1116, 0), "Dual7(Sub) ");
    EXPECT_EQ(g.cell(1301, 0), "PRIO - 0");
    EXPECT_EQ(g.cell(1404, 0), "PASS - 0");
    EXPECT_EQ(g.cell(1503, 0), "PASS - 99");
    EXPECT_EQ(g.cell(1504, 0), "TSF - 0");
    EXPECT_EQ(g.cell(1623, 0), "BUG - 19");
    EXPECT_EQ(g.cell(1401, 1), "145.00000MHz");
    EXPECT_EQ(g.cell(1403, 1), "1295.00000MHz");
    EXPECT_EQ(g.cell(1604, 1), "398.60500MHz");
    EXPECT_EQ(g.cell(1623, 1), "321.13500MHz");
    EXPECT_EQ(g.cell(1604, 4), "2300Hz");
    EXPECT_EQ(g.cell(1604, 10), "0.000MHz");
    EXPECT_EQ(g.attr(1604).train, 20);
    EXPECT_TRUE(g.inUse(1402));
    EXPECT_FALSE(g.inUse(1));
    EXPECT_EQ(g.attr(1), (RowAttributes{8, 8, 0, 28, 0, 0}));
    EXPECT_EQ(ChannelGrid::columnWidthTwips(4), 1);
    EXPECT_EQ(ChannelGrid::columnWidthTwips(12), 3000);
}

TEST(Grid, BankLabelsFollowLayout) {
    ChannelGrid g;
    BankLayout b;
    b.size.fill(0);
    b.size[0] = 600;
    b.size[3] = 400;
    g.applyLabels(b.size);
    EXPECT_EQ(g.cell(1, 0), "Bank000-0");
    EXPECT_EQ(g.cell(600, 0), "Bank000-599");
    EXPECT_EQ(g.cell(601, 0), "Bank003-0");
    EXPECT_EQ(g.cell(1000, 0), "Bank003-399");

    b.size.fill(0);
    b.size[0] = 5;
    b.size[2] = 995;
    g.applyLabels(b.size);
    EXPECT_EQ(g.cell(5, 0), "Bank000-4");
    EXPECT_EQ(g.cell(6, 0), "Bank002-0");

    b.size[2] = 895;  // 900 in all: plain numbers
    g.applyLabels(b.size);
    EXPECT_EQ(g.cell(1, 0), "0");
    EXPECT_EQ(g.cell(1000, 0), "999");
    EXPECT_EQ(g.cell(1001, 0), "PRG - 0A");
}

TEST(Grid, UpDownScrollWithinTwentySixRows) {
    ChannelGrid g;
    g.moveUp();
    EXPECT_EQ(g.row(), 1);
    for (int i = 0; i < 25; ++i) g.moveDown();
    EXPECT_EQ(g.row(), 26);
    EXPECT_EQ(g.topRow(), 1);
    g.moveDown();
    EXPECT_EQ(g.row(), 27);
    EXPECT_EQ(g.topRow(), 2);
    g.moveUp();
    g.moveUp();
    EXPECT_EQ(g.row(), 25);
    g.moveDown();
    g.setTopRow(25);
    g.moveUp();  // onto the top visible row: the window follows
    EXPECT_EQ(g.row(), 25);
    EXPECT_EQ(g.topRow(), 24);
    g.selectRow(1623);
    g.moveDown();
    EXPECT_EQ(g.row(), 1623);
    EXPECT_EQ(g.rowSel(), 1623);
    EXPECT_EQ(g.col(), 12);
    EXPECT_EQ(g.colSel(), 1);
}

namespace {
ChannelEdit edit(const std::string& freq, const std::string& name = "") {
    ChannelEdit e;
    e.freqText = freq;
    e.modeOption = 0;
    e.stepText = "10KHz";
    e.stepIndex = 3;
    e.trainText = "JR";
    e.trainIndex = 28;
    e.toneModeOption = 1;
    e.txToneText = "100.0Hz";
    e.txToneIndex = 12;
    e.rxToneText = "88.5Hz";
    e.rxToneIndex = 8;
    e.dcsText = "023";
    e.shiftOption = 2;
    e.offsetText = "0.600";
    e.name = name;
    return e;
}
}  // namespace

TEST(Grid, StoreModesOnDualRows) {
    ChannelGrid g;
    EditResult r{edit("145.10000", "A:2~"), edit("433.50000")};

    g.selectRow(1101);
    g.store(r, StoreFirst);
    EXPECT_EQ(g.cell(1101, ColFreq), "145.10000MHz");
    EXPECT_EQ(g.cell(1101, ColToneMode), "Tone");
    EXPECT_EQ(g.cell(1101, ColShift), "-");
    EXPECT_EQ(g.cell(1101, ColOffset), "0.600MHz");
    EXPECT_EQ(g.cell(1101, ColName), "A:2~");
    EXPECT_EQ(g.nameString(1100), "A\u2461");
    EXPECT_EQ(g.attr(1101).txTone, 12);
    EXPECT_TRUE(g.inUse(1101));
    EXPECT_FALSE(g.inUse(1102));

    g.store(r, StoreBoth);
    EXPECT_EQ(g.cell(1102, ColFreq), "433.50000MHz");
    EXPECT_TRUE(g.inUse(1102));
    EXPECT_EQ(g.row(), 1101);

    g.store(r, StoreSecondClearFirst);
    EXPECT_EQ(g.cell(1101, ColFreq), "");
    EXPECT_FALSE(g.inUse(1101));
    EXPECT_EQ(g.attr(1101).txTone, 0);  // cleared rows hold 0, not the start-up 8
    EXPECT_TRUE(g.inUse(1102));

    g.store(r, StoreFirstClearSecond);
    EXPECT_TRUE(g.inUse(1101));
    EXPECT_FALSE(g.inUse(1102));
    EXPECT_EQ(g.cell(1102, ColMode), "");

    g.store(r, ClearBoth);
    EXPECT_FALSE(g.inUse(1101));
    EXPECT_EQ(g.cell(1101, ColName), "");
    EXPECT_EQ(g.nameString(1100), "");

    g.store(r, StoreNothing);
    EXPECT_EQ(g.cell(1101, ColFreq), "");
}

TEST(Grid, PassOverlapRefusesAndKeepsRow) {
    ChannelGrid g;
    EditResult r{edit("145.50000"), {}};
    g.selectRow(1404);
    EXPECT_EQ(g.store(r, StoreFirst), StoreResult::Stored);
    // Storing again on the same row is not an overlap.
    EXPECT_EQ(g.store(r, StoreFirst), StoreResult::Stored);

    g.selectRow(1410);
    EditResult other{edit("146.00000", "OLD"), {}};
    g.store(other, StoreFirst);
    EditResult clash{edit("145.50000", "NEW"), {}};
    EXPECT_EQ(g.store(clash, StoreFirst), StoreResult::Overlap);
    EXPECT_EQ(g.cell(1410, ColFreq), "146.00000MHz");
    EXPECT_EQ(g.cell(1410, ColName), "OLD");
    EXPECT_TRUE(g.inUse(1410));  // the channel the user still sees is still written

    // Same MHz and kHz but a different 10 Hz digit is still an overlap;
    // another kHz is not.
    EXPECT_TRUE(g.passOverlap("145.50010", 1410));
    EXPECT_FALSE(g.passOverlap("145.51000", 1410));
    // Not in use: no overlap.
    g.attr(1404).inUse = 0;
    EXPECT_FALSE(g.passOverlap("145.50000", 1410));
}

TEST(Grid, ClearAndDeleteDifferOnName) {
    ChannelGrid g;
    g.selectRow(5);
    g.store(EditResult{edit("145.00000", "AB"), {}}, StoreFirst);
    g.deleteRow(5);
    EXPECT_EQ(g.cell(5, ColName), "");
    EXPECT_EQ(g.nameString(4), "AB");
    EXPECT_EQ(g.attr(5), RowAttributes::cleared());
    g.clearRow(5);
    EXPECT_EQ(g.nameString(4), "");
}

TEST(Grid, UserCharacterCodes) {
    EXPECT_EQ(nameToDisplay("X\u2462\u2467"), "X:3~:8~");
    EXPECT_EQ(displayToName("X:3~:8~:9~:1"), "X\u2462\u2467:9~:1");
}

// Overlap is the same whole MHz and the same kHz, compared as numbers, for
// three- and four-digit MHz alike, in both directions.
TEST(Grid, PassOverlapComparesMhzAndKhz) {
    struct Case {
        const char *held, *wanted;
        bool overlap;
    } cases[] = {
        {"433.04000MHz", "433.04000", true},
        {"145.00000MHz", "145.00050", true},
        {"1294.48000MHz", "1294.48099", true},
        {"1294.48000MHz", "1290.48000", false},
        {"1294.48000MHz", "1291.48000", false},
        {"1294.48000MHz", "1299.48000", false},
        {"1294.48000MHz", "129.48000", false},
        {"1294.48000MHz", "1294.49000", false},
        {"145.00000MHz", "1450.00000", false},
        {"145.00000MHz", "14.50000", false},
        {"50.12300MHz", "50.12399", true},
        {"50.12300MHz", "501.23000", false},
    };
    for (const Case& c : cases) {
        for (bool swapped : {false, true}) {
            ChannelGrid g;
            std::string held = swapped ? std::string(c.wanted) + "MHz" : c.held;
            std::string wanted = swapped ? std::string(c.held).substr(0, std::string(c.held).size() - 3) : c.wanted;
            g.setCell(1404, ColFreq, held);
            g.attr(1404).inUse = 1;
            EXPECT_EQ(g.passOverlap(wanted, 1410), c.overlap) << held << " vs " << wanted;
        }
    }
}
