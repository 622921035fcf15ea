// The CSV layout other programmers share: a file written by hand with every
// Duplex and Tone kind imported and exported again, headings read by their
// names, rows a line cannot go to, and what an export cannot carry.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/channel_print.h"
#include "app/commands.h"
#include "app/startup.h"
#include "files/common_csv.h"
#include "files/text_file.h"
#include "support/command_rig.h"

using namespace tqm5;
namespace fs = std::filesystem;

namespace {

struct Rig : test::CommandRig {
    Rig() : CommandRig("common") {}
    bool import(const std::string& text) {
        std::ofstream(file("in.csv"), std::ios::binary) << text;
        return commands.files.importCommonCsv(file("in.csv"));
    }
};

std::string slurp(const std::string& path) {
    const Result<std::string> bytes = files::readWholeFile(path);
    EXPECT_EQ(bytes.error(), "");
    return bytes ? bytes.value() : std::string();
}

}  // namespace

TEST(CommonCsv, HandWrittenFileImportedThenExported) {
    Rig r;
    r.doc.grid.selectRow(1);
    ASSERT_TRUE(r.commands.files.importCommonCsv(TQM5_TEST_DATA "/common.csv"));
    ASSERT_EQ(r.host.messages.size(), 2u);
    EXPECT_EQ(r.host.messages[0].text, "7 channels imported into Bank000-0 to Bank000-6.");
    EXPECT_EQ(r.host.messages[0].title, "Finish");
    EXPECT_EQ(r.host.messages[1].title, " Warning");
    EXPECT_EQ(r.host.messages[1].text,
              "These lines were not taken as written:\n"
              "Line 6: duplex \"split\" (a transmit frequency of its own) is not held by the radio; the line was not imported\n"
              "Line 7 (Bank000-4): duplex \"off\" (no transmit) is not held; the channel was taken as simplex\n"
              "Line 8: tone \"159.8\" Hz is not in the radio's tone table; the line was not imported\n"
              "Line 10: mode \"USB\" is not one the radio has; the line was not imported\n"
              "Line 11: tone mode \"Cross\" is not held by the radio; the line was not imported\n"
              "Line 12: frequency 830.00000 MHz is outside the radio's bands; the line was not imported\n"
              "Line 13: DCS polarity \"RN\" is not held; the radio has normal polarity only; the line was not imported\n"
              "Line 14 (Bank000-6): step 2.50 kHz is not in the radio's table; 5KHz was taken\n"
              "Line 14 (Bank000-6): skip \"P\" is not held; the channel is scanned");
    const ChannelGrid& g = r.doc.grid;
    EXPECT_EQ(g.cell(2, ColShift), "+");
    EXPECT_EQ(g.cell(2, ColOffset), "5.000MHz");
    EXPECT_EQ(g.cell(3, ColToneMode), "TSQ");
    EXPECT_EQ(g.attr(3), (RowAttributes{12, 12, 0, 28, 4, 1}));  // 100.0 Hz both ways, 12.5 kHz
    EXPECT_EQ(g.cell(4, ColDcs), "754");
    EXPECT_EQ(g.attr(4).dcs, 103);
    EXPECT_EQ(g.cell(6, ColMode), "AM");
    EXPECT_EQ(g.nameString(6), "\xE3\x83\x8F\xE3\x83\xA0");  // ハム
    EXPECT_FALSE(g.inUse(8));
    EXPECT_TRUE(r.doc.hasUnsavedEdits());

    r.doc.grid.setSelection(1, 10);
    ASSERT_TRUE(r.commands.files.exportCommonCsv(r.file("out.csv")));
    EXPECT_EQ(r.host.lastText(), "Save File");
    const std::string written = slurp(r.file("out.csv")), expected = slurp(TQM5_TEST_DATA "/common-exported.csv");
    EXPECT_EQ(files::splitLines(written), files::splitLines(expected));
    EXPECT_NE(written.find("\r\n"), std::string::npos);
}

TEST(CommonCsv, HeadingsAreReadByTheirNames) {
    Rig r;
    r.doc.grid.selectRow(5);
    ASSERT_TRUE(r.import("Mode,Extra,frequency,Name\r\nNFM,x,433.5,Moved\r\n,,145,\r\n"));
    EXPECT_EQ(r.doc.grid.cell(5, ColFreq), "433.50000MHz");
    EXPECT_EQ(r.doc.grid.cell(5, ColMode), "NFM");
    EXPECT_EQ(r.doc.grid.cell(5, ColName), "Moved");
    EXPECT_EQ(r.doc.grid.cell(6, ColFreq), "145.00000MHz");
    EXPECT_EQ(r.doc.grid.cell(6, ColMode), "FM");
    EXPECT_EQ(r.doc.grid.cell(6, ColOffset), "0.000MHz");

    // No Frequency column: not this layout, and nothing changes.
    const ChannelGrid before = r.doc.grid;
    EXPECT_FALSE(r.import("Location,Name,Freq\r\n0,A,145.0\r\n"));
    EXPECT_EQ(r.host.lastText(),
              "This file is not in the common CSV layout: its first line names no Frequency column. Nothing was changed.");
    for (int row = 1; row <= LastRow; ++row)
        for (int c = ColFreq; c <= ColName; ++c) ASSERT_EQ(r.doc.grid.cell(row, c), before.cell(row, c));
    EXPECT_TRUE(isCommonCsv("Location,Frequency\r\n"));
    EXPECT_FALSE(isCommonCsv("\"\",\"Freqency\",\"mode\"\r\n"));
}

// Where the lines go: one per row from the current row to the end of its
// kind, or into the selected rows; a line a row cannot hold takes no row.
TEST(CommonCsv, RowsALineCannotGoTo) {
    const std::string heading = "Location,Name,Frequency,Mode\r\n";
    struct Case {
        int row, rowSel;
        std::string lines;
        std::vector<std::pair<int, std::string>> stored;  // row, frequency cell
        std::string notes;
    };
    const std::vector<Case> cases = {
        {FirstDualRow, FirstDualRow, "0,a,118.1,AM\r\n1,b,145.1,FM\r\n",
         {{FirstDualRow, "145.10000MHz"}},
         "Line 2 (Dual0(Main) ): mode AM is not offered for Dual0(Main) ; the line was not imported"},
        {CallUhfRow, CallUhfRow, "0,a,145.5,FM\r\n1,b,433.1,FM\r\n",
         {{CallUhfRow, "433.10000MHz"}},
         "Line 2 (CALL-UHF): frequency 145.50000 MHz is outside what CALL-UHF holds; the line was not imported"},
        {FirstPassRow + 1, FirstPassRow + 1, "0,a,145.5,FM\r\n",
         {},
         "Line 2 (PASS - 1): another pass channel holds 145.50000 MHz; the line was not imported"},
        {2, 1, "0,a,145.1,FM\r\n1,b,145.2,FM\r\n2,c,145.3,FM\r\n",
         {{1, "145.10000MHz"}, {2, "145.20000MHz"}},
         "Line 4: no row is left for it after Bank000-1; the line was not imported"},
        {1000, 1000, "0,a,145.1,FM\r\n1,b,145.2,FM\r\n",
         {{1000, "145.10000MHz"}},
         "Line 3: no row is left for it after Bank009-99; the line was not imported"},
    };
    for (const Case& c : cases) {
        Rig r;
        r.doc.grid.setCell(FirstPassRow, ColFreq, "145.50000MHz");
        r.doc.grid.attr(FirstPassRow).inUse = 1;
        r.doc.grid.selectRow(c.row);
        r.doc.grid.setSelection(c.row, c.rowSel);
        EXPECT_EQ(r.import(heading + c.lines), !c.stored.empty()) << c.row;
        for (const auto& [row, freq] : c.stored) EXPECT_EQ(r.doc.grid.cell(row, ColFreq), freq) << c.row;
        EXPECT_EQ(r.doc.grid.cell(FirstPrgRow, ColFreq), "") << c.row;  // never spills into the next kind
        EXPECT_NE(r.host.lastText().find(c.notes), std::string::npos) << r.host.lastText();
    }
}

TEST(CommonCsv, ExportOfEveryInUseRowSaysWhatItCannotCarry) {
    Rig r;
    ChannelGrid& g = r.doc.grid;
    auto channel = [&](int row, const char* toneMode, int tx, int rx) {
        g.setCell(row, ColFreq, "145.00000MHz");
        for (int c = ColMode; c <= ColName; ++c) g.setCell(row, c, g.cell(CallVhfRow, c));
        g.setCell(row, ColToneMode, toneMode);
        g.attr(row) = RowAttributes{static_cast<uint8_t>(tx), static_cast<uint8_t>(rx), 0, 20, 0, 1};
    };
    channel(1, "SQ", 8, 8);
    channel(FirstPrioRow, "TSQ", 8, 12);
    channel(FirstTsfRow, "Train", 8, 8);
    g.selectRow(1);
    const std::vector<int> rows = commonCsvExportRows(g);
    EXPECT_EQ(rows, (std::vector<int>{1, FirstPrioRow, CallVhfRow, CallUhfRow, Call12Row, FirstTsfRow}));
    const CommonCsvExport out = commonCsvExport(g, rows);
    EXPECT_EQ(out.channels, 6);
    EXPECT_EQ(csvNotesText(out.notes, "h"),
              "h\n"
              "Row 1 (Bank000-0): tone mode SQ has no field in this layout; the channel was written without a tone\n"
              "Row 1301 (PRIO - 0): TSQL carries one tone: the receive tone 100.0 Hz is the one read back, not the "
              "transmit tone 88.5 Hz\n"
              "Row 1504 (TSF - 0): tone mode Train has no field in this layout; the channel was written without a tone");
    // Nothing in the selected rows: said, and no file.
    g.setSelection(10, 20);
    EXPECT_FALSE(r.commands.files.exportCommonCsv(r.file("none.csv")));
    EXPECT_EQ(r.host.lastText(), "The selected rows hold no channel; nothing was exported.");
    EXPECT_FALSE(fs::exists(r.file("none.csv")));
}

// Printed bank by bank, each kind of special row on its own pages; a
// section longer than a page goes on with its heading marked.
TEST(ChannelPrint, SectionsAndPages) {
    Document d;
    startUp(d);
    ChannelGrid& g = d.grid;
    for (int row : {1, 2, 3, 4, 5, 150, FirstDualRow + 1, LastPassRow, FirstBugRow}) {
        g.setCell(row, ColFreq, "145.00000MHz");
        g.attr(row).inUse = 1;
    }
    g.selectRow(7);
    std::vector<std::pair<std::string, std::vector<int>>> pages;
    for (const PrintPage& p : printPages(g, 2)) pages.emplace_back(p.heading, p.rows);
    EXPECT_EQ(pages, (std::vector<std::pair<std::string, std::vector<int>>>{
                         {"Bank 000", {1, 2}},
                         {"Bank 000 (continued)", {3, 4}},
                         {"Bank 000 (continued)", {5}},
                         {"Bank 001", {150}},
                         {"Dual memories", {FirstDualRow + 1}},
                         {"Call channels", {CallVhfRow, CallUhfRow}},
                         {"Call channels (continued)", {Call12Row}},
                         {"Pass channels", {LastPassRow}}}));
    // A selection prints its own in-use rows, bug rows included.
    g.setSelection(LastPassRow, LastRow);
    EXPECT_EQ(printPages(g, 50).size(), 2u);
    EXPECT_EQ(printPages(g, 50).back().heading, "Bug detector channels");
    EXPECT_EQ(printPages(g, 50).back().rows.size(), 20u);
}
