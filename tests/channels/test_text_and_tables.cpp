#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <vector>

#include <string>
#include <vector>

#include "app/startup.h"
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

// Whole texts both ways, with what a table of single characters does not
// show: ASCII controls stay as Windows keeps them, a damaged sequence on
// either side becomes one replacement, and a trail byte that is no trail
// byte is read again on its own.
TEST(Cp932, WholeTextsBothWays) {
    struct Case { std::string utf8; std::string bytes; };
    for (const Case& c : {Case{"A①ｱ漢", "A\x87\x40\xB1\x8A\xBF"}, Case{"\x1A\x1C\x7F\\~", "\x1A\x1C\x7F\\~"},
                          Case{"Ⅰ∵", "\x87\x54\x81\xE6"}}) {
        EXPECT_EQ(toCp932(c.utf8), c.bytes) << c.utf8;
        EXPECT_EQ(fromCp932(c.bytes), c.utf8) << c.utf8;
    }
    EXPECT_EQ(toCp932("€😀x"), "??x");                   // no code in the code page
    EXPECT_EQ(toCp932("\xE3\x81" "A\xFF"), "?A?");       // a cut character and a stray byte
    EXPECT_EQ(toU32("\xE3\x81" "A"), (std::u32string{0xFFFD, U'A'}));
    EXPECT_EQ(fromCp932("\x81\x30" "\x85\x40" "\x81"), "\uFFFD" "0" "\uFFFD" "\uFFFD");
    EXPECT_EQ(fromCp932(std::string("a\0b", 3)), std::string("a\0b", 3));
}

namespace {

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::string w;
    for (char c : s) {
        if (c == ' ') {
            if (!w.empty()) out.push_back(w);
            w.clear();
        } else {
            w += c;
        }
    }
    if (!w.empty()) out.push_back(w);
    return out;
}

std::vector<std::string> entries(const ValueTable& t) {
    std::vector<std::string> out;
    for (int i = 0; i < t.count; ++i) out.push_back(*t.text(i));
    return out;
}

}  // namespace

// Every table entry by entry, against the lists as the radio's documentation
// gives them: a single wrong entry changes what a channel means on the radio.
TEST(ValueTables, EveryEntryOfEveryTable) {
    EXPECT_EQ(entries(StepTable), words("5KHz 6.25KHz 8.33KHz 10KHz 12.5KHz 15KHz 20KHz 25KHz 30KHz 50KHz 100KHz "
                                        "125KHz 150KHz 200KHz 500KHz 1MHz"));
    EXPECT_EQ(entries(ToneTable),
              words("67.0Hz 69.3Hz 71.9Hz 74.4Hz 77.0Hz 79.7Hz 82.5Hz 85.4Hz 88.5Hz 91.5Hz 94.8Hz 97.4Hz 100.0Hz "
                    "103.5Hz 107.2Hz 110.9Hz 114.8Hz 118.8Hz 123.0Hz 127.3Hz 131.8Hz 136.5Hz 141.3Hz 146.2Hz 151.4Hz "
                    "156.7Hz 162.2Hz 167.9Hz 173.8Hz 179.9Hz 186.2Hz 192.8Hz 203.5Hz 210.7Hz 218.1Hz 225.7Hz 233.6Hz "
                    "241.8Hz 250.3Hz"));
    EXPECT_EQ(entries(DcsTable),
              words("023 025 026 031 032 036 043 047 051 053 054 065 071 072 073 074 114 115 116 122 125 131 132 134 "
                    "143 145 152 155 156 162 165 172 174 205 212 223 225 226 243 244 245 246 251 252 255 261 263 265 "
                    "266 271 274 306 311 315 325 331 332 343 346 351 356 364 365 371 411 412 413 423 431 432 445 446 "
                    "452 454 455 462 464 465 466 503 506 516 523 526 532 546 565 606 612 624 627 631 632 654 662 664 "
                    "703 712 723 731 732 734 743 754"));
    std::vector<std::string> train;
    for (int i = 0; i < 28; ++i) train.push_back(std::to_string(300 + 100 * i) + "Hz");
    train.push_back("ＪＲ");
    EXPECT_EQ(entries(TrainTable), train);
    train.back() = "JR";
    EXPECT_EQ(entries(TrainListTable), train);
    EXPECT_EQ(entries(ModeTable), words("NFM FM AM WFM"));
    EXPECT_EQ(entries(ModeOptions), words("FM AM NFM WFM"));
    EXPECT_EQ(entries(ToneModeTable), words("None Train Tone TSQ SQ DCS"));
    EXPECT_EQ(entries(ToneModeOptions), words("None Tone TSQ SQ DCS Train"));
    EXPECT_EQ(entries(ShiftTable), words("Off + -"));
    EXPECT_EQ(entries(ShiftOptions), words("Off + -"));
    EXPECT_FALSE(ToneTable.text(39));
    EXPECT_FALSE(ModeTable.text(4));  // an unknown mode shows an empty cell
    EXPECT_EQ(trainIndexOf("ＪＲ"), 28);
    EXPECT_EQ(trainIndexOf("JR"), 28);
    EXPECT_EQ(StepTable.indexOf("5khz"), -1);  // exact, case-sensitive
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

// The converter opens here; where it does not, the user hears so, with why.
TEST(Cp932, AConverterThatDoesNotOpenIsToldAtStartUp) {
    EXPECT_EQ(startUpProblem(), "");
    EXPECT_EQ(startUpProblem("tqm5-no-such-converter"),
              "The Shift-JIS converter (tqm5-no-such-converter) could not be opened: U_FILE_ACCESS_ERROR. Names can "
              "hold only ASCII and half-width katakana; their other characters are lost when read from the radio or "
              "a file, and are not written.");
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

TEST(ValueTables, RangeEdges) {
    // {frequency in 10 Hz, transmit band, blocked}
    struct Case {
        long long f;
        bool transmit, blocked;
    } cases[] = {
        {13599999, false, false}, {13600000, true, false}, {16999999, true, false}, {17000000, false, false},
        {41999999, false, false}, {42000000, true, false}, {46999999, true, false}, {47000000, false, false},
        {123999999, false, false}, {124000000, true, false}, {129999999, true, false},
        {82399999, false, false}, {82400000, false, true}, {84999999, false, true}, {85000000, false, false},
        {86899999, false, false}, {86900000, false, true}, {89499999, false, true}, {89500000, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(inTransmitBand(c.f), c.transmit) << c.f;
        EXPECT_EQ(inBlockedRange(c.f), c.blocked) << c.f;
    }
    EXPECT_EQ(FreqLowest, 53099);
    EXPECT_EQ(FreqHighest, 129999999);
    EXPECT_EQ(OffsetHighestKhz, 999995);
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
