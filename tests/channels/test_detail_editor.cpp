#include <gtest/gtest.h>

#include "channels/detail_editor.h"

using namespace tqm5;

namespace {

DetailSet freq(const std::string& mhz, const std::string& frac) {
    DetailSet s;
    s.freqMhz = mhz;
    s.freqFraction = frac;
    return s;
}

// A grid whose row holds a complete channel, written the way the editor does.
void putChannel(ChannelGrid& g, int row, const std::string& mhz, const std::string& frac) {
    g.selectRow(row);
    DetailDecision d = decideStore(row, false, freq(mhz, frac), {});
    ASSERT_EQ(g.store(d.result, d.plan), StoreResult::Stored);
}

}  // namespace

TEST(DetailEditor, OpensFromRowCellsAndHiddenCodes) {
    ChannelGrid g;
    g.setCell(5, ColFreq, "1295.12345MHz");
    g.setCell(5, ColMode, "NFM");
    g.setCell(5, ColToneMode, "Train");
    g.setCell(5, ColShift, "-");
    g.setCell(5, ColOffset, "12.345MHz");
    g.setCell(5, ColSkip, "*");
    g.setCell(5, ColName, "あA:3~");
    g.attr(5) = RowAttributes{38, 1, 103, 28, 15, 1};
    DetailSet want;
    want.freqMhz = "1295";
    want.freqFraction = "12345";
    want.modeOption = OptNFM;
    want.toneModeOption = OptTrain;
    want.shiftOption = OptShiftMinus;
    want.offsetMhz = "12";
    want.offsetKhz = "345";
    want.skip = true;
    want.name = "あA:3~";
    want.txTone = 38;
    want.rxTone = 1;
    want.dcs = 103;
    want.stepIndex = 15;
    EXPECT_EQ(detailSetFromRow(g, 5), want);

    g.setCell(5, ColFreq, "7.50000MHz");
    g.setCell(5, ColMode, "XX");
    g.setCell(5, ColOffset, "999.995MHz");
    DetailSet s = detailSetFromRow(g, 5);
    EXPECT_EQ(s.freqMhz + "|" + s.freqFraction + "|" + s.offsetMhz, "7|50000|999");
    EXPECT_EQ(s.modeOption, OptFM);
    EXPECT_EQ(detailSetFromRow(g, 6), DetailSet::cleared());  // an empty row

    DetailEditor dual(g, 1101);
    EXPECT_TRUE(dual.dual());
    EXPECT_EQ(dual.label(0), "Dual0(Main) ");
    EXPECT_EQ(dual.label(1), "Dual0(Sub) ");
    EXPECT_FALSE(DetailEditor(g, 1102).dual());
    EXPECT_TRUE(wideModesAllowed(1));
    EXPECT_TRUE(wideModesAllowed(FirstPassRow));
    EXPECT_FALSE(wideModesAllowed(1102));
    EXPECT_FALSE(wideModesAllowed(Call12Row));
}

TEST(DetailEditor, FrequencyRules) {
    struct Case {
        int row;
        const char *mhz, *frac, *outMhz, *outFrac, *text;
        SetOutcome outcome;
    } cases[] = {
        {1, "145", "1", "145", "10000", "145.10000", SetOutcome::Stored},
        {1, "2000", "", "145", "00000", "145.00000", SetOutcome::Stored},
        {1, "0430", "5", "430", "50000", "430.50000", SetOutcome::Stored},
        {1, "849", "5", "", "", "", SetOutcome::Refused},
        {1, "850", "00000", "850", "00000", "850.00000", SetOutcome::Stored},
        {1, "824", "", "", "", "", SetOutcome::Refused},
        {1, "823", "99999", "823", "99999", "823.99999", SetOutcome::Stored},
        {1, "894", "99999", "", "", "", SetOutcome::Refused},
        {1, "895", "", "895", "00000", "895.00000", SetOutcome::Stored},
        {1, "0", "53098", "", "", "", SetOutcome::Refused},
        {1, "0", "53099", "0", "53099", "0.53099", SetOutcome::Stored},
        {1, "", "6", "", "60000", "0.60000", SetOutcome::Stored},
        {1, "1300", "0", "", "", "", SetOutcome::Refused},
        {1, "1299", "99999", "1299", "99999", "1299.99999", SetOutcome::Stored},
        {1, "", "", "", "", "", SetOutcome::Emptied},
        {CallUhfRow, "470", "00000", "433", "00000", "433.00000", SetOutcome::Stored},
        {CallUhfRow, "440", "", "440", "00000", "440.00000", SetOutcome::Stored},
        {CallVhfRow, "850", "0", "145", "00000", "145.00000", SetOutcome::Stored},
        {CallVhfRow, "", "", "145", "00000", "145.00000", SetOutcome::Stored},
        {Call12Row, "1239", "99999", "1295", "00000", "1295.00000", SetOutcome::Stored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + " " + c.mhz + "." + c.frac);
        NormalisedSet n = normaliseSet(c.row, freq(c.mhz, c.frac));
        EXPECT_EQ(n.fields.freqMhz, c.outMhz);
        EXPECT_EQ(n.fields.freqFraction, c.outFrac);
        EXPECT_EQ(n.edit.freqText, c.text);
        EXPECT_EQ(n.outcome, c.outcome);
    }
}

TEST(DetailEditor, OffsetRules) {
    EXPECT_EQ(offsetMhzOnLeave("007"), "7");
    EXPECT_EQ(offsetMhzOnLeave(""), "0");
    EXPECT_EQ(offsetMhzOnLeave("1a2"), "12");
    EXPECT_EQ(offsetKhzOnLeave("0", "5"), "500");
    EXPECT_EQ(offsetKhzOnLeave("0", "05"), "050");
    EXPECT_EQ(offsetKhzOnLeave("0", ""), "000");
    EXPECT_EQ(offsetKhzOnLeave("0", "1234"), "000");
    EXPECT_EQ(offsetKhzOnLeave("999", "999"), "995");
    EXPECT_EQ(offsetKhzOnLeave("999", "995"), "995");
    EXPECT_EQ(offsetKhzOnLeave("998", "999"), "999");

    auto okOffset = [](const char* mhz, const char* khz) {
        DetailSet s = freq("145", "0");
        s.offsetMhz = mhz;
        s.offsetKhz = khz;
        return normaliseSet(1, s).edit.offsetText;
    };
    EXPECT_EQ(okOffset("999", "999"), "0.000");  // typed kHz first, then 999 MHz
    EXPECT_EQ(okOffset("0", "5"), "0.500");  // "OK" without leaving the field
    EXPECT_EQ(okOffset("", ""), "0.000");
    EXPECT_EQ(okOffset("1234", "1"), "0.100");
}

TEST(DetailEditor, EditCarriesListTextsAndNeverAnError) {
    DetailSet s = freq("433", "0");
    s.train = 28;
    s.dcs = 103;
    s.skip = true;
    s.txTone = 39;  // outside the list: back to the default
    s.modeOption = 4;
    ChannelEdit e = normaliseSet(1, s).edit;
    EXPECT_EQ(e.trainText, "JR");
    EXPECT_EQ(e.dcsText, "754");
    EXPECT_EQ(e.skip, 1);
    EXPECT_EQ(e.txToneText, "88.5Hz");
    EXPECT_EQ(e.txToneIndex, 8);
    EXPECT_EQ(e.modeOption, OptFM);
}

TEST(DetailEditor, SingleRowStorePlans) {
    ChannelGrid g;
    putChannel(g, 10, "145", "5");
    ASSERT_TRUE(g.inUse(10));
    EXPECT_EQ(g.cell(10, ColFreq), "145.50000MHz");

    // A refused frequency changes nothing at all.
    auto rowText = [&] {
        std::string t;
        for (int c = 0; c < GridCols; ++c) t += g.cell(10, c) + "|";
        return t;
    };
    const std::string before = rowText();
    DetailEditor refused(g, 10);
    refused.set(0).freqMhz = "849";
    refused.set(0).name = "CHANGED";
    ASSERT_TRUE(refused.accept());
    EXPECT_EQ(refused.storeMode(), StoreNothing);
    EXPECT_EQ(refused.plan().first, RowAction::Keep);
    EXPECT_EQ(refused.set(0).freqMhz, "");
    g.store(refused.result(), refused.plan());
    EXPECT_EQ(rowText(), before);
    EXPECT_TRUE(g.inUse(10));

    // Emptied on purpose: the channel goes, cells and all.
    DetailEditor emptied(g, 10);
    emptied.set(0).freqMhz.clear();
    emptied.set(0).freqFraction.clear();
    ASSERT_TRUE(emptied.accept());
    EXPECT_EQ(emptied.plan().first, RowAction::Clear);
    g.store(emptied.result(), emptied.plan());
    EXPECT_FALSE(g.inUse(10));
    EXPECT_EQ(g.cell(10, ColFreq), "");
    EXPECT_EQ(g.cell(10, ColMode), "");
}

TEST(DetailEditor, DualPairStoreModes) {
    struct Case {
        const char *main, *sub;
        StoreMode mode;
        RowAction first, second;
    } cases[] = {
        {"145", "433", StoreBoth, RowAction::Write, RowAction::Write},
        {"145", "", StoreFirstClearSecond, RowAction::Write, RowAction::Clear},
        {"", "433", StoreSecondClearFirst, RowAction::Clear, RowAction::Write},
        {"", "", ClearBoth, RowAction::Clear, RowAction::Clear},
        {"870", "433", StoreSecondClearFirst, RowAction::Keep, RowAction::Write},
        {"145", "2000", StoreBoth, RowAction::Write, RowAction::Write},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.main) + "/" + c.sub);
        DetailDecision d = decideStore(1101, true, freq(c.main, ""), freq(c.sub, ""));
        EXPECT_EQ(d.mode, c.mode);
        EXPECT_EQ(d.plan.first, c.first);
        EXPECT_EQ(d.plan.second, c.second);
    }

    // Only the sub half filled: the main row is cleared, the sub row written.
    ChannelGrid g;
    putChannel(g, 1101, "145", "0");
    g.selectRow(1101);
    DetailEditor ed(g, 1101);
    ed.clear(0);
    ed.set(1).freqMhz = "433";
    ed.set(1).name = ":2~";
    ASSERT_TRUE(ed.accept());
    EXPECT_EQ(ed.storeMode(), StoreSecondClearFirst);
    g.store(ed.result(), ed.plan());
    EXPECT_FALSE(g.inUse(1101));
    EXPECT_EQ(g.cell(1101, ColFreq), "");
    EXPECT_TRUE(g.inUse(1102));
    EXPECT_EQ(g.cell(1102, ColFreq), "433.00000MHz");
    EXPECT_EQ(g.cell(1102, ColName), ":2~");
    EXPECT_EQ(g.nameString(1101), "\u2461");
}

TEST(DetailEditor, NameLengthFilterAndUserCharacters) {
    EXPECT_EQ(nameCountedLength("Aあｱ"), 4u);  // half-width katakana counts 1
    EXPECT_EQ(nameCountedLength(":1~:8~"), 4u);
    EXPECT_EQ(nameCountedLength(":9~"), 3u);

    const std::string n14 = "ABCDEFGHIJ:1~あ";  // 10 + 2 + 2
    const std::string n15 = n14 + "X";
    EXPECT_TRUE(nameKeyAccepted(n14, U'愛'));
    EXPECT_FALSE(nameKeyAccepted(n15, U'愛'));
    EXPECT_TRUE(nameKeyAccepted(n15, U'Y'));
    EXPECT_FALSE(nameKeyAccepted(n15 + "Y", U'Z'));
    EXPECT_TRUE(nameKeyAccepted(n15 + "Y", KeyBackspace));
    EXPECT_FALSE(nameKeyAccepted("", KeyPaste));
    EXPECT_TRUE(nameChangeAccepted("", n15 + "Y"));
    EXPECT_FALSE(nameChangeAccepted(n15, n15 + "YZ"));
    EXPECT_TRUE(nameChangeAccepted(n15 + "愛愛", n15 + "愛"));  // shortening a long name

    EXPECT_EQ(appendUserChar("AB", 2), "AB:2~");
    EXPECT_EQ(appendUserChar(n15, 8), n15 + ":8~");  // 15 still takes one
    EXPECT_EQ(appendUserChar(n15 + "Y", 8), n15 + "Y");

    DetailSet s = freq("145", "0");
    s.name = "愛亜Ａｚｱ:3~①";  // 亜 is not in the table; ① only as ":1~"
    EXPECT_EQ(normaliseSet(1, s).edit.name, "愛Ａｚｱ:3~");
}

TEST(DetailEditor, NumericKeyFilters) {
    EXPECT_TRUE(freqMhzKeyAccepted("145", U'5'));
    EXPECT_FALSE(freqMhzKeyAccepted("1450", U'5'));
    EXPECT_TRUE(freqMhzKeyAccepted("1450", KeyBackspace));
    EXPECT_FALSE(freqMhzKeyAccepted("", U'.'));
    EXPECT_FALSE(freqFractionKeyAccepted("12345", U'0'));
    EXPECT_FALSE(offsetKeyAccepted("123", U'9'));
    EXPECT_FALSE(offsetKeyAccepted("1", KeyPaste));
}

TEST(DetailEditor, ClearLocksOkOnlyOnCallRows) {
    ChannelGrid g;
    DetailEditor call(g, CallVhfRow);
    call.clear(0);
    EXPECT_EQ(call.set(0), DetailSet::cleared());
    EXPECT_FALSE(call.okEnabled());
    EXPECT_FALSE(call.accept());
    EXPECT_EQ(call.plan().first, RowAction::Keep);

    DetailEditor dual(g, 1101);
    dual.clear(1);
    EXPECT_TRUE(dual.okEnabled());
    DetailEditor plain(g, 1);
    plain.clear(0);
    EXPECT_TRUE(plain.accept());
    plain.cancel();
    EXPECT_EQ(plain.plan().first, RowAction::Keep);
}
