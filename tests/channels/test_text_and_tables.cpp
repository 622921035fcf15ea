#include <gtest/gtest.h>

#include "channels/cp932.h"
#include "channels/name_table.h"
#include "channels/value_tables.h"

using namespace tqm5;

TEST(Cp932, UserCharactersAndKanaRoundTrip) {
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(cp932Code(0x2460 + i), 0x8740 + i);
        EXPECT_EQ(toU32(cp932Char(0x8740 + i)), std::u32string(1, 0x2460 + i));
    }
    EXPECT_EQ(cp932Code(U'あ'), 0x82A0);
    EXPECT_EQ(cp932Code(U'A'), 0x41);
    EXPECT_EQ(cp932Code(U'ｱ'), 0xB1);  // half-width katakana is one byte
    EXPECT_EQ(cp932Char(0x82A0), "あ");
    EXPECT_EQ(cp932Code(U'😀'), -1);
    EXPECT_EQ(cp932Length("Aあ:1~"), 6u);
}

TEST(ValueTables, LookupsBothWaysAndLimits) {
    EXPECT_EQ(*StepTable.text(15), "1MHz");
    EXPECT_EQ(ToneTable.count, 39);
    EXPECT_EQ(*ToneTable.text(38), "250.3Hz");
    EXPECT_FALSE(ToneTable.text(39));
    EXPECT_EQ(DcsTable.count, 104);
    EXPECT_EQ(*DcsTable.text(103), "754");
    EXPECT_EQ(*TrainTable.text(20), "2300Hz");
    EXPECT_EQ(*TrainTable.text(28), "ＪＲ");
    EXPECT_EQ(*TrainListTable.text(28), "JR");
    EXPECT_EQ(trainIndexOf("ＪＲ"), 28);
    EXPECT_EQ(trainIndexOf("JR"), 28);
    EXPECT_EQ(trainIndexOf("300Hz"), 0);
    EXPECT_FALSE(ModeTable.text(4));  // an unknown mode shows an empty cell
    EXPECT_EQ(ModeOptions.indexOf("NFM"), 2);
    EXPECT_EQ(ToneModeOptions.indexOf("Train"), 5);
    EXPECT_EQ(ToneModeTable.indexOf("Train"), 1);
    EXPECT_EQ(StepTable.indexOf("5khz"), -1);  // exact, case-sensitive
    EXPECT_TRUE(inBlockedRange(82400000));
    EXPECT_FALSE(inBlockedRange(85000000));
    EXPECT_TRUE(inTransmitBand(14500000));
    EXPECT_FALSE(inTransmitBand(11800000));
}

TEST(NameTable, BuiltInOrderWithEmptyEntries) {
    const auto& t = NameCharTable::instance();
    EXPECT_EQ(t.entry(0), 0x829F);
    EXPECT_EQ(t.entry(83), 0x8340);
    EXPECT_EQ(t.entry(170), 0x813F);
    EXPECT_EQ(t.entry(318), 0x81FC);
    EXPECT_EQ(t.entry(380), 0x829A);
    for (int i = 381; i < 400; ++i) EXPECT_EQ(t.entry(i), 0);
    EXPECT_EQ(t.entry(400), cp932Code(U'愛'));
    EXPECT_EQ(t.entry(843), cp932Code(U'俊'));
    for (int i = 400; i < 844; ++i) EXPECT_GT(t.entry(i), 0x8800) << i;  // every kanji found a code
    EXPECT_FALSE(t.isAllowed(0x10000));
}

TEST(NameTable, FilterKeepsDisplayableCharacters) {
    const auto& t = NameCharTable::instance();
    EXPECT_EQ(t.filter("ABC"), "ABC");
    EXPECT_EQ(t.filter("ｱｲｳﾞ"), "ｱｲｳﾞ");
    EXPECT_EQ(t.filter("あ愛"), "あ愛");
    EXPECT_EQ(t.filter("A猫B"), "AB");  // a kanji the display lacks is dropped
    EXPECT_EQ(t.filter("Ａｚ"), "Ａｚ");
    EXPECT_EQ(t.filter(":1~"), ":1~");
    EXPECT_EQ(t.filter("①"), "");  // user characters enter names only as :n~
    EXPECT_EQ(t.filter("x😀y"), "xy");
}
