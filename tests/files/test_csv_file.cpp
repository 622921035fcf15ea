// CSV export and import: the exported lines, a round trip of a full grid,
// every field check of the import, and the commands' messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/commands.h"
#include "channels/cp932.h"
#include "files/csv_file.h"
#include "files/text_file.h"
#include "support/full_document.h"
#include "support/command_rig.h"

using namespace tqm5;
namespace fs = std::filesystem;

namespace {

struct Rig : test::CommandRig {
    Rig() : CommandRig("csv") {}
    // Imports heading + `lines` written to a .CSV file.
    bool import(const std::string& lines, const char* name = "in.CSV") {
        std::ofstream(file(name), std::ios::binary) << toCp932(csvHeading() + "\r\n" + lines);
        return commands.files.importCsv(file(name));
    }
};

std::string row(const std::string& freq, const std::string& dcs = "023", const std::string& carrier = "300Hz",
                const std::string& offset = "0.000MHz") {
    return "\"L\",\"" + freq + "\",\"FM\",\"5KHz\",\"" + carrier + "\",\"None\",\"67.0Hz\",\"67.0Hz\",\"" + dcs +
           "\",\"Off\",\"" + offset + "\",\"\",\"N\",\"1\"\r\n";
}

}  // namespace

TEST(Csv, ExportedLines) {
    EXPECT_EQ(csvHeading(), "\"\",\"Freqency\",\"mode\",\"step\",\"Carrier\",\"Tone/DCS\",\"Tx-tone\",\"Rx-tone\","
                            "\"DCS\",\"Shift\",\"Shift-Freq\",\"Skip\",\"Name\",\"0\"");
    Document d;
    startUp(d);
    d.grid.setCell(2, ColName, "A:1~\xe6\x84\x9b" "B");
    d.grid.setNameString(1, displayToName("A:1~\xe6\x84\x9b" "B"));
    const std::string bytes = csvExportBytes(d.grid);
    const std::vector<std::string_view> lines = files::splitLines(bytes);
    ASSERT_EQ(lines.size(), 1624u);
    EXPECT_EQ(lines[1], "\"Bank000-0\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"1\"");
    EXPECT_TRUE(lines[2].ends_with(",\"A  B\",\"2\"")) << lines[2];  // ① and 愛 as spaces
    EXPECT_EQ(lines[1403], "\"CALL-1.2\",\"1295.00000\",\"FM\",\"5KHz\",\"2300Hz\",\"None\",\"88.5Hz\",\"88.5Hz\","
                           "\"023\",\"Off\",\"0.000MHz\",\"\",\"\",\"1403\"");
}

TEST(Csv, FullGridRoundTrip) {
    Rig r;
    test::fillFullDocument(r.doc);
    Document original;
    test::fillFullDocument(original);
    ASSERT_TRUE(r.commands.files.exportCsv(r.file("all.CSV")));
    EXPECT_EQ(r.host.messages.back().text, "Save File");
    EXPECT_EQ(r.host.messages.back().title, "Finish");
    for (int row = 1; row < FirstBugRow; ++row) r.doc.grid.deleteRow(row);  // the bank layout stays
    r.doc.grid.setCell(FirstBugRow, ColFreq, "400.00000MHz");  // its line differs now, and is not read
    ASSERT_TRUE(r.commands.files.importCsv(r.file("all.CSV")));
    ASSERT_EQ(r.host.messages.size(), 3u);
    EXPECT_EQ(r.host.messages[1].text, "Inport CSV File");
    EXPECT_EQ(r.host.messages[1].title, " Finish");
    EXPECT_EQ(r.host.messages[2].text, "These lines were not taken as written:\n"
                                       "Line 1605 (BUG - 0): row 1604 is never imported; the line was not read");
    EXPECT_EQ(r.host.messages[2].title, " Warning");
    EXPECT_EQ(r.doc.grid.cell(FirstBugRow, ColFreq), "400.00000MHz");
    EXPECT_EQ(r.host.progressMax, LastRow);
    EXPECT_EQ(r.host.progressValue, 0);
    EXPECT_TRUE(r.doc.origin.known);
    const ChannelGrid& a = original.grid;
    const ChannelGrid& b = r.doc.grid;
    for (int row = 1; row < FirstBugRow; ++row) {
        ASSERT_TRUE(b.inUse(row)) << row;  // every offset and carrier the program shows comes back
        for (int c = ColFreq; c < ColName; ++c) ASSERT_EQ(b.cell(row, c), a.cell(row, c)) << row << " " << c;
        ASSERT_EQ(b.attr(row), a.attr(row)) << row;
        std::string expected;  // double-byte characters became spaces
        for (char32_t ch : toU32(a.nameString(row - 1))) expected += cp932Code(ch) > 0xFF ? std::string(" ") : toUtf8(ch);
        ASSERT_EQ(b.cell(row, ColName), expected) << row;
    }

    // Imported over the rows it was exported from, a name the file left as
    // the export made it keeps its double-byte characters; one edited in the
    // file takes the file's.
    Rig back;
    test::fillFullDocument(back.doc);
    std::string text = files::readWholeFile(r.file("all.CSV")).value();
    std::string spaced;  // row 2's name as exported
    for (char32_t ch : toU32(a.nameString(1))) spaced += cp932Code(ch) > 0xFF ? std::string(" ") : toUtf8(ch);
    const std::size_t line3 = text.find("\r\n", text.find("\r\n") + 2) + 2;
    const std::size_t at = text.find("\"" + spaced + "\"", line3);
    ASSERT_LT(at, text.find("\r\n", line3));
    text.replace(at, spaced.size() + 2, "\"Edited\"");
    ASSERT_TRUE(files::saveAtomically(back.file("edited.CSV"), text));
    ASSERT_TRUE(back.commands.files.importCsv(back.file("edited.CSV")));
    for (int row = 1; row < FirstBugRow; ++row)
        ASSERT_EQ(back.doc.grid.cell(row, ColName), row == 2 ? std::string("Edited") : a.cell(row, ColName)) << row;
}

TEST(Csv, GoldenFileImportChecksEveryField) {
    Rig r;
    for (int c = ColFreq; c <= ColName; ++c) r.doc.grid.setCell(8, c, r.doc.grid.cell(CallUhfRow, c));
    r.doc.grid.setCell(8, ColName, "Kept");
    r.doc.grid.attr(8) = r.doc.grid.attr(CallUhfRow);
    ASSERT_TRUE(r.commands.files.importCsv(TQM5_TEST_DATA "/import.CSV"));
    const ChannelGrid& g = r.doc.grid;
    struct Case {
        int row;
        const char* freq;
        const char* dcs;
        int train;
        const char* name;
    };
    for (const Case& c : {Case{1, "145.50000MHz", "023", 28, "Home"}, Case{2, "145.00000MHz", "023", 28, "\xe6\x84\x9bX"},
                          Case{5, "1295.00000MHz", "023", 0, "1200 rpt"}, Case{8, "433.00000MHz", "", -1, "Kept"}}) {
        EXPECT_EQ(g.cell(c.row, ColFreq), c.freq) << c.row;
        EXPECT_EQ(g.cell(c.row, ColName), c.name) << c.row;
        if (c.train >= 0) {
            EXPECT_EQ(g.attr(c.row).train, c.train) << c.row;
        }
        EXPECT_TRUE(g.inUse(c.row)) << c.row;
    }
    EXPECT_EQ(g.cell(5, ColOffset), "20.000MHz");
    EXPECT_EQ(g.nameString(1), "\xe6\x84\x9bX");
    for (int row : {3, 4, 6, 7}) {  // 835 MHz, six decimals, a mode and an offset the radio has not
        EXPECT_FALSE(g.inUse(row)) << row;
        EXPECT_EQ(g.cell(row, ColFreq), "") << row;
        EXPECT_EQ(g.attr(row), RowAttributes::cleared()) << row;
    }
}

TEST(Csv, FieldChecks) {
    struct Case {
        const char* field;
        bool accepted;
    };
    for (const Case& c : {Case{"145", true}, Case{"145.5", true}, Case{"1295.12345", true}, Case{"", false},
                          Case{".5", false}, Case{"12345", false}, Case{"12345.0", false}, Case{"145.", false},
                          Case{"145.123456", false}, Case{"835.00000", false}, Case{"824", false},
                          Case{"849.99999", false}, Case{"850", true}, Case{"869", false}, Case{"895", true}})
        EXPECT_EQ(csvFrequencyAccepted(c.field), c.accepted) << c.field;
    for (const Case& c : {Case{"0.000MHz", true}, Case{"5.000MHz", true}, Case{"5.001MHz", true},
                          Case{"20.000MHz", true}, Case{"999.995MHz", true}, Case{"999.996MHz", false},
                          Case{"1000.000MHz", false}, Case{"5.00MHz", false}, Case{"5.000", false},
                          Case{"a.000MHz", false}, Case{"", false}})
        EXPECT_EQ(csvOffsetAccepted(c.field), c.accepted) << c.field;
}

TEST(Csv, HeadingsAndTheLastImportedLine) {
    Rig r;
    // The hand-typed heading is accepted; so is a heading of 100 characters.
    std::string lines;
    for (int k = 1; k <= 1610; ++k) lines += row("145.5");
    ASSERT_TRUE(r.import(lines));
    EXPECT_EQ(r.doc.grid.cell(1603, ColFreq), "145.50000MHz");
    EXPECT_EQ(r.doc.grid.cell(1604, ColFreq), "398.60500MHz");  // line 1605 is not read
    EXPECT_EQ(r.doc.grid.cell(1, ColDcs), "023");

    Rig wrong;
    const std::string before = csvExportBytes(wrong.doc.grid);
    std::ofstream(wrong.file("h.CSV"), std::ios::binary) << "Freqency,mode\r\n" << row("145");
    EXPECT_FALSE(wrong.commands.files.importCsv(wrong.file("h.CSV")));
    EXPECT_EQ(wrong.host.lastText(), "CSV File Error");
    EXPECT_EQ(wrong.host.messages.back().title, " Error");
    // A file whose name does not end in CSV is not imported and changes nothing.
    std::ofstream(wrong.file("h.txt"), std::ios::binary) << csvHeading() << "\r\n" << row("145");
    EXPECT_FALSE(wrong.commands.files.importCsv(wrong.file("h.txt")));
    EXPECT_EQ(wrong.host.lastText(), "CSV File Error");
    EXPECT_EQ(csvExportBytes(wrong.doc.grid), before);
    EXPECT_FALSE(wrong.doc.origin.known);
}

TEST(Csv, LineShapesDcsTextsAndLongNames) {
    Rig r;
    const std::string longName(40, 'n');
    std::string lines;
    lines += "L,145.5,FM,5KHz,300Hz,None,67.0Hz,67.0Hz,023,Off,0.000MHz,NoName\r\n";  // 11 commas: skipped
    lines += row("145.5", "00023");
    lines += row("145.5", "23.0");
    lines += row("145.5", "24");  // no such code
    std::string named = row("145.5");
    named.replace(named.find("\"N\""), 3, "\"" + longName + "\"");
    lines += named;
    ASSERT_TRUE(r.import(lines));
    const ChannelGrid& g = r.doc.grid;
    EXPECT_EQ(g.cell(1, ColFreq), "");  // row 1 kept what it held
    EXPECT_EQ(g.cell(2, ColDcs), "023");
    EXPECT_EQ(g.cell(3, ColDcs), "023");
    EXPECT_FALSE(g.inUse(4));
    // Cut to what a memory file carries, so Save and Open keep the channel.
    EXPECT_EQ(g.cell(5, ColName), longName.substr(0, FileNameBytes));
    ASSERT_TRUE(r.commands.files.saveMemoryFile(r.file("long.M5")));
    startUp(r.doc);
    ASSERT_TRUE(r.commands.files.openMemoryFile(r.file("long.M5")));
    EXPECT_EQ(r.doc.grid.cell(5, ColName), longName.substr(0, FileNameBytes));
}

// Lines go to the row their label names: a line deleted from an export
// moves no later channel. A line with an unknown label keeps its place.
TEST(Csv, LinesGoToTheRowTheirLabelNames) {
    Rig r;
    for (int row = 1; row <= 6; ++row) test::fillChannel(r.doc.grid, row);
    const ChannelGrid before = r.doc.grid;
    const std::string exported = csvExportBytes(r.doc.grid);
    const std::vector<std::string_view> lines = files::splitLines(exported);
    std::string file;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (i != 3) file += std::string(lines[i]) + "\r\n";  // Bank000-2's line deleted
    for (int row = 1; row <= 6; ++row) r.doc.grid.deleteRow(row);
    std::ofstream(r.file("cut.CSV"), std::ios::binary) << file;
    ASSERT_TRUE(r.commands.files.importCsv(r.file("cut.CSV")));
    EXPECT_EQ(r.host.lastText(), "Inport CSV File");  // nothing to tell
    for (int row : {1, 2, 4, 5, 6})
        for (int c = ColFreq; c < ColName; ++c) EXPECT_EQ(r.doc.grid.cell(row, c), before.cell(row, c)) << row;
    EXPECT_FALSE(r.doc.grid.inUse(3));
}

// Whatever is not taken as written is listed by line, label and reason.
TEST(Csv, WhatIsNotTakenAsWrittenIsListed) {
    Rig r;
    std::string lines;
    auto labelled = [](const std::string& label, std::string line) { return line.replace(1, 1, label); };
    lines += labelled("Bank000-0", row("145.5"));
    std::string mode = labelled("Bank000-1", row("145.5"));
    lines += mode.replace(mode.find("\"FM\""), 4, "\"XYZ\"");  // line 3
    std::string tone = labelled("Bank000-2", row("145.5"));
    lines += tone.replace(tone.find("\"67.0Hz\""), 8, "\"99.9Hz\"");
    std::string shift = labelled("Bank000-3", row("145.5"));
    lines += shift.replace(shift.find("\"Off\""), 5, "\"Minus\"");
    lines += labelled("Bank000-4", row("835.00000"));
    lines += "too,few,fields\r\n";  // line 7
    std::string name = labelled("Bank000-6", row("145.5"));
    lines += name.replace(name.find("\"N\""), 3, "\"" + std::string(34, 'n') + "\"");
    lines += labelled("Bank000-0", row("146"));  // line 9: wins over line 2
    lines += labelled("BUG - 3", row("145"));
    ASSERT_TRUE(r.import(lines));
    ASSERT_EQ(r.host.messages.size(), 2u);
    EXPECT_EQ(r.host.messages[0].text, "Inport CSV File");
    EXPECT_EQ(r.host.messages[1].title, " Warning");
    EXPECT_EQ(r.host.messages[1].text,
              "These lines were not taken as written:\n"
              "Line 2 (Bank000-0): line 9 names the same row and was taken instead\n"
              "Line 3 (Bank000-1): mode \"XYZ\" is not known; the channel was left empty\n"
              "Line 4 (Bank000-2): tone \"99.9Hz\" is not in the table; the channel was left empty\n"
              "Line 5 (Bank000-3): shift \"Minus\" is not known; the channel was left empty\n"
              "Line 6 (Bank000-4): frequency \"835.00000\" is outside the bands; the channel was left empty\n"
              "Line 7 (Bank000-5): too few fields (3); the line was skipped\n"
              "Line 8 (Bank000-6): name \"" + std::string(34, 'n') + "\" cut to \"" + std::string(32, 'n') +
              "\", what the radio holds\n"
              "Line 10 (BUG - 3): row 1607 is never imported; the line was not read");
    EXPECT_EQ(r.doc.grid.cell(1, ColFreq), "146.00000MHz");
    for (int row : {2, 3, 4, 5}) EXPECT_FALSE(r.doc.grid.inUse(row)) << row;
}

// A file in UTF-8, with or without its byte order mark, reads as UTF-8.
TEST(Csv, Utf8FilesAreRead) {
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
        Rig r;
        std::string line = row("145.5", "023", "\xEF\xBC\xAA\xEF\xBC\xB2");  // ＪＲ
        line.replace(line.find("\"N\""), 3, "\"\xE3\x82\xAB\xE3\x83\x8A\"");  // カナ
        std::ofstream(r.file("u.CSV"), std::ios::binary) << mark << csvHeading() << "\r\n" << line << line;
        ASSERT_TRUE(r.commands.files.importCsv(r.file("u.CSV")));
        EXPECT_EQ(r.host.lastText(), "Inport CSV File");
        for (int row : {1, 2}) {
            EXPECT_TRUE(r.doc.grid.inUse(row));
            EXPECT_EQ(r.doc.grid.attr(row).train, 28);
            EXPECT_EQ(r.doc.grid.cell(row, ColName), "\xE3\x82\xAB\xE3\x83\x8A");
        }
    }
}

// A name with a comma or a quote goes out in standard CSV quoting and comes
// back whole; a line as older exports wrote it reads as it always did.
TEST(Csv, QuotedNamesRoundTripAndOldLinesReadAsBefore) {
    Rig r;
    test::fillChannel(r.doc.grid, 1);
    test::fillChannel(r.doc.grid, 2);
    for (auto [row, name] : {std::pair<int, std::string>{1, "A,B"}, {2, "Say \"Hi\""}}) {
        r.doc.grid.setCell(row, ColName, name);
        r.doc.grid.setNameString(row - 1, name);
    }
    const std::string bytes = csvExportBytes(r.doc.grid);
    const std::vector<std::string_view> lines = files::splitLines(bytes);
    EXPECT_TRUE(lines[1].ends_with(",\"A,B\",\"1\"")) << lines[1];
    EXPECT_TRUE(lines[2].ends_with(",\"Say \"\"Hi\"\"\",\"2\"")) << lines[2];
    std::ofstream(r.file("q.CSV"), std::ios::binary) << bytes;
    r.doc.grid.deleteRow(1);
    r.doc.grid.deleteRow(2);
    ASSERT_TRUE(r.commands.files.importCsv(r.file("q.CSV")));
    EXPECT_EQ(r.doc.grid.cell(1, ColName), "A,B");
    EXPECT_EQ(r.doc.grid.cell(2, ColName), "Say \"Hi\"");

    // As the exporter wrote it before: the inner quotes unescaped, dropped.
    std::string old(lines[2]);
    const std::string escaped = "\"Say \"\"Hi\"\"\"";
    old.replace(old.find(escaped), escaped.size(), "\"Say \"Hi\"\"");
    ASSERT_TRUE(r.import(old + "\r\n"));
    EXPECT_EQ(r.doc.grid.cell(2, ColName), "Say Hi");
}

TEST(Csv, ASavedNameGetsTheExtensionOfItsKind) {
    struct Case {
        const char* typed;
        const char* saved;
    };
    for (const Case& c : {Case{"/home/u/gui1", "/home/u/gui1.M5"}, Case{"gui1.", "gui1.M5"},
                          Case{"/home/u/a.M5", "/home/u/a.M5"}, Case{"/home/u/a.m5", "/home/u/a.m5"},
                          Case{"/home/u/list.txt", "/home/u/list.txt"}, Case{"/home/u.v/gui1", "/home/u.v/gui1.M5"},
                          Case{"/home/u/.hidden", "/home/u/.hidden.M5"}, Case{"", ""}})
        EXPECT_EQ(files::withDefaultExtension(c.typed, ".M5"), c.saved) << c.typed;
}
