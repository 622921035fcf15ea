#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <vector>

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

// Characters that several codes decode to (NEC and IBM duplicates) encode
// to the one code the code page prefers.
TEST(Cp932, SharedCharactersTakeThePreferredCode) {
    struct Case { char32_t ch; int code; std::vector<int> alsoDecoding; };
    for (const Case& c : {Case{U'≒', 0x81E0, {0x8790}}, Case{U'∵', 0x81E6, {0x879A, 0xFA5B}},
                          Case{U'ⅰ', 0xFA40, {0xEEEF}}, Case{U'￢', 0x81CA, {0xEEF9, 0xFA54}},
                          Case{U'纊', 0xFA5C, {0xED40}}}) {
        EXPECT_EQ(cp932Code(c.ch), c.code) << std::hex << c.code;
        for (int other : c.alsoDecoding) EXPECT_EQ(toU32(cp932Char(uint16_t(other))), std::u32string(1, c.ch));
    }
}

// The tables answer exactly what ICU's converter answers for one character
// or one code at a time, over the whole code range.
TEST(Cp932, TablesAgreeWithTheConverterEverywhere) {
    UErrorCode err = U_ZERO_ERROR;
    UConverter* conv = ucnv_open("windows-31j", &err);
    ASSERT_TRUE(U_SUCCESS(err));
    ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    int mismatches = 0;
    for (char32_t u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        UChar in[1] = {static_cast<UChar>(u)};
        char out[4];
        UErrorCode e = U_ZERO_ERROR;
        ucnv_reset(conv);
        const int n = ucnv_fromUChars(conv, out, 4, in, 1, &e);
        int want = -1;
        if (U_SUCCESS(e) && n == 1) want = static_cast<unsigned char>(out[0]);
        if (U_SUCCESS(e) && n == 2) want = (static_cast<unsigned char>(out[0]) << 8) | static_cast<unsigned char>(out[1]);
        if (cp932Code(u) != want && ++mismatches < 10) ADD_FAILURE() << "U+" << std::hex << unsigned(u);
    }
    for (int code = 0x8140; code <= 0xFCFC; ++code) {
        const int lead = code >> 8, trail = code & 0xFF;
        if ((lead >= 0xA0 && lead <= 0xDF) || trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
        char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        UChar out[4];
        UErrorCode e = U_ZERO_ERROR;
        ucnv_reset(conv);
        const int n = ucnv_toUChars(conv, out, 4, bytes, 2, &e);
        std::u32string want;
        if (U_SUCCESS(e) && n == 1 && out[0] != 0xFFFD && out[0] != 0x1A) want = std::u32string(1, out[0]);
        if (toU32(cp932Char(uint16_t(code))) != want && ++mismatches < 10) ADD_FAILURE() << "code " << std::hex << code;
    }
    ucnv_close(conv);
    EXPECT_EQ(mismatches, 0);
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
    // The kanji entries are their characters' codes, in the listed order.
    const std::u32string kanji = U"愛圧以伊位囲易移井域";
    for (std::size_t k = 0; k < kanji.size(); ++k) EXPECT_EQ(t.entry(400 + int(k)), cp932Code(kanji[k])) << k;
    for (int i = 400; i < 844; ++i) EXPECT_EQ(toU32(cp932Char(t.entry(i))).size(), 1u) << i;
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
