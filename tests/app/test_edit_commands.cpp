// Working in the channel list: undo and redo of every command that changes
// channels, paste from a spreadsheet, sorting, moving and finding rows.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/startup.h"
#include "files/text_file.h"
#include "support/emulator_rig.h"
#include "support/command_rig.h"

using namespace tqm5;

namespace {

// Row `r` filled as the editor would leave it, from hand-written texts.
void channel(ChannelGrid& g, int r, const char* freq, const char* name, const char* mode = "FM",
             const char* tx = "88.5Hz", uint8_t txIndex = 8) {
    const char* cells[] = {freq, mode, "5KHz", "2300Hz", "Tone", tx, "88.5Hz", "023", "Off", "0.000MHz", "", name};
    for (int c = ColFreq; c <= ColName; ++c) g.setCell(r, c, cells[c - 1]);
    g.attr(r) = RowAttributes{txIndex, 8, 0, 20, 0, 1};
    g.setNameString(r - 1, name);
}

struct Rig : test::CommandRig {
    Rig() {
        channel(doc.grid, 1, "439.00000MHz", "Zulu");
        channel(doc.grid, 2, "145.50000MHz", "alpha", "AM", "100.0Hz", 12);
        channel(doc.grid, 4, "145.50000MHz", "Bravo", "NFM");
        channel(doc.grid, 5, "51.00000MHz", "ALPINE");
        channel(doc.grid, 1103, "433.00000MHz", "Pair1");
    }
    ChannelRows rows() const { return channelRows(doc.grid); }
    std::string text(int r) const {
        std::string t;
        for (int c = ColFreq; c <= ColName; ++c) t += doc.grid.cell(r, c) + (c < ColName ? "|" : "");
        return t;
    }
};

}  // namespace

TEST(EditCommands, EveryChannelCommandUndoesAndRedoes) {
    const std::string data = TQM5_TEST_DATA;
    struct Case {
        const char* what;
        std::function<void(Rig&)> run;
    } cases[] = {
        {"Edit", [](Rig& r) {
             r.doc.grid.selectRow(4);
             EditResult e;
             e.first.freqText = "146.00000";
             r.commands.channels.storeEdit(e, StorePlan{RowAction::Write, RowAction::Keep});
         }},
        {"Delete", [](Rig& r) { r.doc.grid.setSelection(1, 4), r.commands.channels.deleteRows(); }},
        {"Clear", [](Rig& r) { r.doc.grid.setSelection(2, 2), r.commands.channels.clearRows(); }},
        {"All Clear", [](Rig& r) { r.commands.channels.allClear(); }},
        {"Cut", [](Rig& r) { r.doc.grid.setSelection(4, 5), r.commands.channels.cutRows(); }},
        {"Paste", [](Rig& r) { r.doc.grid.selectRow(3), r.commands.channels.pasteRows("144.00000MHz\r\n\r\n"); }},
        {"Sort by Frequency", [](Rig& r) { r.doc.grid.setSelection(1, 5), r.commands.channels.sortRows(SortKey::Frequency); }},
        {"Move Up", [](Rig& r) { r.doc.grid.setSelection(4, 5), r.commands.channels.moveRows(-1); }},
        {"Move Down", [](Rig& r) { r.doc.grid.setSelection(1103, 1103), r.commands.channels.moveRows(+1); }},
        {"Import", [data](Rig& r) { r.commands.files.importCsv(data + "/import.CSV"); }},
        {"Open", [data](Rig& r) { r.commands.files.openMemoryFile(data + "/small.M5"); }},
    };
    for (const Case& c : cases) {
        Rig r;
        const ChannelRows before = r.rows();
        c.run(r);
        const ChannelRows after = r.rows();
        const ChannelOrigin originAfter = r.doc.origin;
        ASSERT_NE(before, after) << c.what;
        EXPECT_EQ(r.commands.channels.history().undoName(), c.what);
        r.doc.unsavedRows.fill(false);
        ASSERT_TRUE(r.commands.channels.undo()) << c.what;
        EXPECT_EQ(r.rows(), before) << c.what;
        EXPECT_FALSE(r.doc.origin.known) << c.what;  // the channels are the start-up ones again
        EXPECT_TRUE(r.doc.hasUnsavedEdits()) << c.what;
        EXPECT_FALSE(r.commands.channels.undo()) << c.what;
        EXPECT_TRUE(r.commands.channels.redo()) << c.what;
        EXPECT_EQ(r.rows(), after) << c.what;
        EXPECT_EQ(r.doc.origin.known, originAfter.known) << c.what;
        EXPECT_FALSE(r.commands.channels.redo()) << c.what;
    }
}

TEST(EditCommands, ATransferClosesTheHistory) {
    test::EmulatorRig r(30);
    r.doc.grid.setSelection(1, 1623);
    r.commands.channels.clearRows();
    ASSERT_TRUE(r.commands.channels.history().canUndo());
    ASSERT_EQ(r.commands.channels.memoryRead(), TransferOutcome::Success);
    const ChannelRows read = channelRows(r.doc.grid);
    EXPECT_FALSE(r.commands.channels.undo());
    r.commands.channels.allClear();
    r.doc.origin.known = true;
    ASSERT_EQ(r.commands.channels.oneMemoryWrite(), TransferOutcome::Success);
    EXPECT_FALSE(r.commands.channels.undo());  // the radio holds what undo would have taken back
    EXPECT_FALSE(r.commands.channels.history().canRedo());
    EXPECT_NE(channelRows(r.doc.grid), read);
}

TEST(EditCommands, PasteOfASpreadsheetBlockTakesTheGoodLinesAndListsTheRest) {
    Rig r;
    r.doc.grid.selectRow(10);
    // As a spreadsheet hands over a block: numbers without units, empty
    // cells for defaults, a DCS code that lost its leading zero.
    const std::string block =
        "145.5\tNFM\t12.5KHz\t\tTSQ\t100.0\t100.0Hz\t23\t-\t0.6\t*\tHome:1~\r\n"  // 10
        "870.00000MHz\tFM\r\n"                                                  // 11 refused: blocked band
        "433.02500MHz\tFM\t5KHz\t2300Hz\tTone\t89.0Hz\r\n"                      // 12 refused: no such tone
        "\t\t\t\t\t\t\t\t\t\t\t\r\n"                                            // 13 an empty row
        "1295\tWFM\t\t\t\t\t\t\t+\t20\t\tabcdefghijklmnopq\r\n"                 // 14 refused: name too long
        "Bank000-14\t51.2MHz\tAM\t1MHz\tJR\tDCS\t67.0Hz\t67.0Hz\t754\tOff\t999.995MHz\t\t\"Q\"\"R\"\r\n";  // 15
    channel(r.doc.grid, 11, "146.00000MHz", "Keep");
    channel(r.doc.grid, 13, "147.00000MHz", "Gone");
    const ChannelRow kept = r.doc.grid.rowData(11);
    EXPECT_TRUE(r.commands.channels.pasteRows(block));
    EXPECT_EQ(r.text(10), "145.50000MHz|NFM|12.5KHz|JR|TSQ|100.0Hz|100.0Hz|023|-|0.600MHz|*|Home:1~");
    EXPECT_EQ(r.doc.grid.attr(10), (RowAttributes{12, 12, 0, 28, 4, 1}));
    EXPECT_EQ(r.doc.grid.nameString(9), "Home\u2460");
    EXPECT_EQ(r.doc.grid.rowData(11), kept);
    EXPECT_FALSE(r.doc.grid.inUse(12));
    EXPECT_FALSE(r.doc.grid.inUse(13));
    EXPECT_EQ(r.doc.grid.nameString(12), "");
    EXPECT_EQ(r.text(15), "51.20000MHz|AM|1MHz|JR|DCS|67.0Hz|67.0Hz|754|Off|999.995MHz||Q\"R");
    EXPECT_EQ(r.doc.grid.rangeFirst(), 10);
    EXPECT_EQ(r.doc.grid.rangeLast(), 15);
    ASSERT_EQ(r.host.messages.size(), 1u);
    EXPECT_EQ(r.host.messages[0].title, " Warning");
    EXPECT_EQ(r.host.messages[0].text,
              "These lines were not pasted:\n"
              "Line 2 (Bank000-10): frequency \"870.00000MHz\" is not one this row can hold\n"
              "Line 3 (Bank000-11): Tx-tone \"89.0Hz\" is not in the list\n"
              "Line 5 (Bank000-13): name \"abcdefghijklmnopq\" is longer than the radio holds (16 bytes)");

    // Call, dual, pass and bug rows keep their rules.
    r.host.messages.clear();
    channel(r.doc.grid, 1404, "145.12300MHz", "P0");
    r.doc.grid.selectRow(1400);
    r.commands.channels.pasteRows("430\n433\n\n145.6\tAM\n");
    r.doc.grid.selectRow(1405);
    r.commands.channels.pasteRows("145.12345\n");
    r.doc.grid.selectRow(1102);
    r.commands.channels.pasteRows("145\tWFM\n");
    r.doc.grid.selectRow(1603);
    r.commands.channels.pasteRows("145\n146\n");
    EXPECT_EQ(r.doc.grid.cell(1400, ColFreq), "430.00000MHz");
    EXPECT_EQ(r.doc.grid.cell(1402, ColFreq), "433.00000MHz");
    EXPECT_EQ(r.doc.grid.cell(1603, ColFreq), "145.00000MHz");
    EXPECT_EQ(r.doc.grid.cell(1604, ColFreq), "398.60500MHz");
    std::vector<std::string> texts;
    for (const auto& m : r.host.messages) texts.push_back(m.text);
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "These lines were not pasted:\n"
                         "Line 2 (CALL-VHF): frequency \"433\" is not one this row can hold\n"
                         "Line 3 (CALL-UHF): a call channel cannot be emptied\n"
                         "Line 4 (CALL-1.2): frequency \"145.6\" is not one this row can hold",
                         "These lines were not pasted:\n"
                         "Line 1 (PASS - 1): frequency \"145.12345MHz\" overlaps another PASS channel",
                         "These lines were not pasted:\n"
                         "Line 1 (Dual0(Sub) ): mode \"WFM\" is not possible on this row (FM or NFM only)",
                         "These lines were not pasted:\n"
                         "Line 2 (BUG - 0): the bug-detector channels are the radio's presets and are never changed"}));

    // Text that is not channel rows pastes nothing.
    r.host.messages.clear();
    const ChannelRows before = r.rows();
    const std::string undoName = r.commands.channels.history().undoName();
    EXPECT_FALSE(r.commands.channels.pasteRows("Dear all,\nsee you at the meeting\n"));
    EXPECT_EQ(r.rows(), before);
    EXPECT_EQ(r.commands.channels.history().undoName(), undoName);
    EXPECT_EQ(r.host.lastText(), PasteNoRowsText);
}

TEST(EditCommands, CopiedRowsPasteBackWhole) {
    Rig r;
    r.doc.grid.setCell(2, ColName, "a\"b:2~");
    r.doc.grid.setNameString(1, "a\"b\u2461");
    r.doc.grid.clearRow(3);  // an empty row pastes as a cleared one
    r.doc.grid.setSelection(5, 1);
    const std::string text = r.commands.channels.copyRows();
    EXPECT_EQ(files::splitLines(text).size(), 5u);
    r.doc.grid.selectRow(101);
    EXPECT_TRUE(r.commands.channels.pasteRows(text));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(r.doc.grid.rowData(101 + i), r.doc.grid.rowData(1 + i)) << i;
    EXPECT_TRUE(r.host.messages.empty());
}

TEST(EditCommands, SortKeepsEveryChannelWhole) {
    Rig r;
    ChannelRow was[6];
    for (int row = 1; row <= 5; ++row) was[row] = r.doc.grid.rowData(row);
    r.doc.grid.setSelection(5, 1);
    ASSERT_TRUE(r.commands.channels.sortRows(SortKey::Frequency));
    // 51 MHz, both 145.5 MHz in their old order, 439 MHz, then the empty row.
    for (auto [row, from] : {std::pair{1, 5}, {2, 2}, {3, 4}, {4, 1}, {5, 3}})
        EXPECT_EQ(r.doc.grid.rowData(row), was[from]) << row;
    ASSERT_TRUE(r.commands.channels.sortRows(SortKey::Name));
    for (auto [row, name] : {std::pair{1, "alpha"}, {2, "ALPINE"}, {3, "Bravo"}, {4, "Zulu"}, {5, ""}})
        EXPECT_EQ(r.doc.grid.cell(row, ColName), name) << row;
    r.doc.grid.setSelection(1000, 1101);  // one bank row only
    EXPECT_FALSE(r.commands.channels.sortRows(SortKey::Name));
    EXPECT_EQ(r.host.lastText(), SortNeedsRowsText);
}

TEST(EditCommands, MovesStayAmongRowsOfTheirKind) {
    struct Case {
        int from, to, direction;
        int wantFrom, wantTo;  // the selection after; 0: not moved
        const char* message;
    } cases[] = {
        {4, 5, -1, 3, 4, nullptr},
        {1, 2, -1, 0, 0, nullptr},            // at the top: nothing, as "Up" on row 1
        {1104, 1104, -1, 1102, 1102, nullptr},  // a dual pair moves whole
        {999, 1001, +1, 0, 0, MoveMixedText},
        {1402, 1402, +1, 0, 0, MoveFixedText},
    };
    for (const Case& c : cases) {
        Rig r;
        const ChannelRows before = r.rows();
        r.doc.grid.setSelection(c.from, c.to);
        EXPECT_EQ(r.commands.channels.moveRows(c.direction), c.wantFrom != 0) << c.from;
        EXPECT_EQ(r.host.lastText(), c.message ? c.message : "") << c.from;
        if (c.wantFrom == 0) {
            EXPECT_EQ(r.rows(), before);
            continue;
        }
        EXPECT_EQ(r.doc.grid.row(), c.wantFrom);
        EXPECT_EQ(r.doc.grid.rowSel(), c.wantTo);
        const ChannelRows after = r.rows();
        for (int row = c.wantFrom; row <= c.wantTo; ++row)  // the block came along
            EXPECT_EQ(after[row - 1], before[row - 1 - (c.wantFrom - c.from)]) << row;
        r.commands.channels.undo();  // back where it was, selection included
        EXPECT_EQ(r.rows(), before);
        EXPECT_EQ(r.doc.grid.row(), c.from);
        EXPECT_EQ(r.doc.grid.rowSel(), c.to);
    }
    Rig r;
    r.doc.grid.selectRow(1103);
    r.commands.channels.moveRows(-1);
    EXPECT_EQ(r.doc.grid.cell(1101, ColName), "Pair1");
    EXPECT_EQ(r.doc.grid.cell(1103, ColName), "");
}

TEST(EditCommands, FindByNameOrFrequencyAndFindNext) {
    Rig r;
    EXPECT_TRUE(r.commands.channels.find("alp"));
    EXPECT_EQ(r.doc.grid.row(), 2);
    EXPECT_TRUE(r.commands.channels.findNext());
    EXPECT_EQ(r.doc.grid.row(), 5);
    EXPECT_TRUE(r.commands.channels.findNext());  // from the top again
    EXPECT_EQ(r.doc.grid.row(), 2);
    EXPECT_TRUE(r.commands.channels.find("145.5"));
    EXPECT_EQ(r.doc.grid.row(), 4);
    EXPECT_TRUE(r.commands.channels.find("1295"));  // a call channel
    EXPECT_EQ(r.doc.grid.row(), Call12Row);
    EXPECT_TRUE(r.host.messages.empty());
    EXPECT_FALSE(r.commands.channels.find("zz"));
    EXPECT_EQ(r.doc.grid.row(), Call12Row);
    EXPECT_EQ(r.host.lastText(), "No channel's name or frequency holds \"zz\".");
}
