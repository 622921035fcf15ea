// The Set Mode catalogue and the settings codec: how each byte of the
// settings image selects an entry and how a write builds it back, the
// page resets, the language switch, and the settings read and write on an
// emulated radio.
#include <gtest/gtest.h>

#include <set>

#include "app/commands.h"
#include "app/startup.h"
#include "emulator/demo_image.h"
#include "radio/memory_map.h"
#include "support/emulator_rig.h"

using namespace tqm5;

namespace {

const SetModeItem& itemNamed(const std::string& control) {
    return setModeCatalogue()[static_cast<std::size_t>(setModeItemIndex(control))];
}

std::optional<int> decodeWith(const std::string& control, std::initializer_list<std::pair<int, uint8_t>> bytes) {
    SettingsImage image{};
    for (auto [at, v] : bytes) image[static_cast<std::size_t>(at)] = v;
    return decodeSettingItem(itemNamed(control), image);
}

struct Rig : test::EmulatorRig {
    Rig() : EmulatorRig(30) {}
    uint8_t radioByte(uint32_t a) const { return link.mem(a); }
    int pos(const char* control) const { return doc.setMode.position(control); }
    void select(const char* control, int p) { selectSetModeItem(doc.setMode, setModeItemIndex(control), p); }
};

}  // namespace

TEST(SetModeCatalogue, EveryRowIsConsistent) {
    const auto& items = setModeCatalogue();
    EXPECT_EQ(items.size(), 76u);
    std::set<int> bytes;
    std::set<std::string> names;
    for (const SetModeItem& it : items) {
        SCOPED_TRACE(it.control);
        EXPECT_TRUE(names.insert(it.control).second);
        EXPECT_EQ(it.englishEntries.size(), it.japaneseEntries.size());
        EXPECT_GE(it.startup, 0);
        EXPECT_LT(it.startup, it.size());
        if (it.imageByte >= 0) {
            EXPECT_LT(it.imageByte, SettingsImageBytes);
            EXPECT_TRUE(bytes.insert(it.imageByte).second) << "byte shared: " << it.imageByte;
        }
        if (it.englishEntries != it.japaneseEntries) {
            EXPECT_TRUE(it.refilled);
        }
    }
    std::set<uint8_t> codes;
    for (const KeyFunction& k : KeyFunctionCodes) codes.insert(k.code);
    EXPECT_EQ(codes.size(), 51u);
    EXPECT_EQ(itemNamed("Set_Mode_Scan[0]").size(), 40);
    EXPECT_EQ(itemNamed("Set_Mode_Scan[0]").englishEntries[26], "  1sec. elapse");
    EXPECT_EQ(itemNamed("Set_Mode_Scan[0]").japaneseEntries[25], "25秒(ﾀｲﾏｰｽｷｬﾝ)");
    EXPECT_EQ(itemNamed("Set_Mode_Send[2]").englishEntries.back(), "450sec.");
    EXPECT_EQ(itemNamed("Set_Mode_Send[2]").englishEntries[1], " 30sec.");
    EXPECT_EQ(itemNamed("Set_Mode_Scan[4]").englishEntries[1], " 1SEC");
    EXPECT_EQ(itemNamed("Set_Mode_Display[3]").englishEntries[0], " 1");
}

TEST(SettingsCodec, ReadEncodings) {
    struct Case {
        const char* control;
        std::initializer_list<std::pair<int, uint8_t>> bytes;
        std::optional<int> position;
    } cases[] = {
        // position + 1: 0 and 1 both the first entry
        {"Set_Mode_Display[2]", {{67, 0}}, 0}, {"Set_Mode_Display[2]", {{67, 1}}, 0},
        {"Set_Mode_Display[3]", {{82, 0}}, 0}, {"Set_Mode_Display[3]", {{82, 1}}, 0},
        {"Set_Mode_Display[3]", {{82, 10}}, 9}, {"Set_Mode_Display[3]", {{82, 11}}, std::nullopt},
        {"Set_Mode_Display[13]", {{13, 0}}, 0}, {"Set_Mode_Display[13]", {{13, 1}}, 0},
        {"Set_Mode_Sound[3]", {{68, 0}}, 0}, {"Set_Mode_Sound[3]", {{68, 1}}, 0},
        // position + 3, and a value below 3 as itself
        {"Set_Mode_Display[14]", {{14, 3}}, 0}, {"Set_Mode_Display[14]", {{14, 4}}, 1},
        {"Set_Mode_Display[14]", {{14, 0}}, 0}, {"Set_Mode_Display[14]", {{14, 1}}, 1},
        {"Set_Mode_Display[14]", {{14, 2}}, std::nullopt},
        // Dial Ring from bytes 93 and 95
        {"Set_Mode_Key[5]", {{93, 0}, {95, 0}}, 0}, {"Set_Mode_Key[5]", {{93, 0}, {95, 1}}, 1},
        {"Set_Mode_Key[5]", {{93, 1}, {95, 1}}, 2}, {"Set_Mode_Key[5]", {{93, 1}, {95, 0}}, 3},
        // key-function codes
        {"Set_Mode_Key[6]", {{53, 0x68}}, 50}, {"Set_Mode_Key[6]", {{53, 0x82}}, 0},
        {"Set_Mode_Key[6]", {{53, 0x00}}, std::nullopt}, {"Set_Mode_Key[7]", {{96, 0x15}}, 1},
        // CH.Display Mode looks at byte 7 only; Language: non-zero is Japanese
        {"Combo2", {{6, 0x0D}, {7, 0}}, 0}, {"Combo2", {{7, 0x01}}, 1},
        {"Set_Mode_Display[0]", {{62, 0}}, English}, {"Set_Mode_Display[0]", {{62, 7}}, Japanese},
        // plain positions; kept items are shown as well
        {"Set_Mode_Power[0]", {{45, 6}}, 6}, {"Set_Mode_Power[0]", {{45, 7}}, std::nullopt},
        {"Set_Mode_Toutyou[1]", {{48, 1}}, 0}, {"Set_Mode_Toutyou[1]", {{48, 5}}, 4},
        {"Set_Mode_Repeater[1]", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        EXPECT_EQ(decodeWith(c.control, c.bytes), c.position);
    }
}

// Which byte each item lives in, written out by hand from the radio's
// layout (not taken from the catalogue), in byte order: a radio whose
// neighbouring bytes hold different values is read into exactly these
// positions, and written back into exactly these bytes.
TEST(SettingsCodec, EveryItemSitsInItsOwnByte) {
    enum Enc { P, Plus1, Plus3 };
    const struct {
        int byte;
        const char* control;
        Enc enc;
    } layout[] = {
        {2, "Set_Mode_Sound[4]", P},      {3, "Set_Mode_Sound[5]", P},     {4, "Set_Mode_Recv[6]", P},
        {5, "Set_Mode_Recv[7]", P},       {10, "Set_Mode_Display[11]", P}, {11, "Set_Mode_Display[12]", P},
        {13, "Set_Mode_Display[13]", Plus1}, {14, "Set_Mode_Display[14]", Plus3}, {15, "Set_Mode_Display[15]", P},
        {16, "Set_Mode_Scan[4]", P},      {17, "Set_Mode_Scan[5]", P},     {18, "Set_Mode_Scan[6]", P},
        {19, "Set_Mode_Scan[7]", P},      {23, "Set_Mode_Send[6]", P},     {25, "Set_Mode_Send[7]", P},
        {32, "Set_Mode_Sound[1]", P},     {35, "Set_Mode_Scan[1]", P},     {36, "Set_Mode_Scan[3]", P},
        {37, "Set_Mode_Scan[2]", P},      {38, "Set_Mode_Scan[0]", P},     {39, "Set_Mode_Key[8]", P},
        {40, "Set_Mode_Key[2]", P},       {41, "Set_Mode_Key[1]", P},      {42, "Set_Mode_Send[8]", P},
        {44, "Set_Mode_Display[1]", P},   {45, "Set_Mode_Power[0]", P},    {46, "Set_Mode_Power[1]", P},
        {47, "Set_Mode_Sound[0]", P},     {57, "Set_Mode_Key[9]", P},      {61, "Set_Mode_Key[10]", P},
        {63, "Set_Mode_Send[0]", P},      {64, "Set_Mode_Recv[4]", P},     {65, "Set_Mode_Send[2]", P},
        {67, "Set_Mode_Display[2]", Plus1}, {68, "Set_Mode_Sound[3]", Plus1}, {69, "Set_Mode_Display[7]", P},
        {73, "Set_Mode_Send[4]", P},      {74, "Set_Mode_Send[3]", P},     {75, "Set_Mode_Display[9]", P},
        {76, "Set_Mode_Display[10]", P},  {77, "Set_Mode_Sound[2]", P},    {80, "Set_Mode_Recv[2]", P},
        {82, "Set_Mode_Display[3]", Plus1}, {88, "Set_Mode_Send[10]", P},  {89, "Set_Mode_Send[11]", P},
        {90, "Set_Mode_Send[12]", P},     {94, "Set_Mode_Key[4]", P},      {97, "Set_Mode_Send[1]", P},
        {98, "Set_Mode_Power[2]", P},     {100, "Set_Mode_Key[0]", P},     {101, "Set_Mode_Recv[0]", P},
        {104, "Set_Mode_Recv[3]", P},     {116, "Set_Mode_Recv[1]", P},    {117, "Set_Mode_Display[4]", P},
        {119, "Set_Mode_Display[5]", P},  {122, "Set_Mode_Key[3]", P},     {123, "Set_Mode_Preset", P},
        {124, "Set_Mode_Send[5]", P},     {129, "Set_Mode_Display[6]", P}, {132, "Set_Mode_Display[8]", P},
        {141, "Set_Mode_Key[11]", P},     {145, "Set_Mode_Send[9]", P},
    };
    SettingsImage image;
    image.fill(0xEE);  // no entry of any list
    image[53] = 0x68;  // Wild key: "Set mode exit", the last key function
    image[96] = 0x15;  // Lamp key: "Illumination", the second
    std::vector<int> positions;
    int previous = -1;
    for (std::size_t i = 0; i < std::size(layout); ++i) {
        const auto& row = layout[i];
        const SetModeItem& item = itemNamed(row.control);
        const auto value = [&](int q) { return q + (row.enc == Plus1 ? 1 : row.enc == Plus3 ? 3 : 0); };
        // Not the start-up entry, and not what the byte before holds.
        int p = static_cast<int>(i) % item.size();
        for (int k = 0; k < item.size() && (p == item.startup || value(p) == previous); ++k) p = (p + 1) % item.size();
        previous = value(p);
        image[static_cast<std::size_t>(row.byte)] = static_cast<uint8_t>(value(p));
        positions.push_back(p);
    }
    SetModeSettings s;
    applySettingsImage(s, image);
    for (std::size_t i = 0; i < std::size(layout); ++i)
        EXPECT_EQ(s.position(layout[i].control), positions[i]) << layout[i].control << " at byte " << layout[i].byte;
    EXPECT_EQ(s.position("Set_Mode_Key[6]"), 50);
    EXPECT_EQ(s.position("Set_Mode_Key[7]"), 1);

    // Written over a radio that holds 0xEE everywhere: the same bytes come out.
    SettingsImage filler;
    filler.fill(0xEE);
    const SettingsImage out = encodeSettingsImage(s, filler);
    for (const auto& row : layout) EXPECT_EQ(out[static_cast<std::size_t>(row.byte)], image[static_cast<std::size_t>(row.byte)]) << row.control;
    EXPECT_EQ(out[53], 0x68);
    EXPECT_EQ(out[96], 0x15);
}

TEST(SettingsCodec, DialRingAndChDisplayWriteTheirPairs) {
    SetModeSettings s;
    const SettingsImage lastRead{};
    const std::array<std::array<uint8_t, 2>, 4> pairs{{{0, 0}, {0, 1}, {1, 1}, {1, 0}}};
    for (int p = 0; p < 4; ++p) {
        selectSetModeItem(s, setModeItemIndex("Set_Mode_Key[5]"), p);
        const SettingsImage out = encodeSettingsImage(s, lastRead);
        EXPECT_EQ(out[93], pairs[p][0]) << p;
        EXPECT_EQ(out[95], pairs[p][1]) << p;
        EXPECT_EQ(decodeSettingItem(itemNamed("Set_Mode_Key[5]"), out), p);
    }
    selectSetModeItem(s, setModeItemIndex("Combo2"), 1);
    SettingsImage out = encodeSettingsImage(s, lastRead);
    EXPECT_EQ(out[6], 0x0D);
    EXPECT_EQ(out[7], 0x0D);
    selectSetModeItem(s, setModeItemIndex("Set_Mode_Display[0]"), Japanese);
    EXPECT_EQ(encodeSettingsImage(s, lastRead)[62], 0x01);
}

TEST(SettingsCodec, EveryItemRoundTripsThroughTheImage) {
    // Each item at each of its positions, written and read back, selects the same entry.
    const auto& items = setModeCatalogue();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const SetModeItem& it = items[i];
        if (it.imageByte < 0 || it.encoding == SettingEncoding::Kept || it.encoding == SettingEncoding::KeptPosPlus1 ||
            it.encoding == SettingEncoding::ShownOnly01)
            continue;
        for (int p = 0; p < it.size(); ++p) {
            SetModeSettings s;
            s.positions[i] = p;
            EXPECT_EQ(decodeSettingItem(it, encodeSettingsImage(s, SettingsImage{})), p) << it.control << " " << p;
        }
    }
}

TEST(SettingsCodec, ConstantAndKeptBytes) {
    SettingsImage lastRead;
    for (int k = 0; k < SettingsImageBytes; ++k) lastRead[static_cast<std::size_t>(k)] = static_cast<uint8_t>(0x40 + k);
    SetModeSettings s;
    applySettingsImage(s, lastRead);
    // the user changes every kept or read-only item
    for (const char* c : {"Set_Mode_Toutyou[0]", "Set_Mode_Toutyou[1]", "Set_Mode_Repeater[0]", "Set_Mode_Repeater[1]",
                          "Set_Mode_Repeater[2]", "Set_Mode_Repeater[3]", "Set_Mode_Recv[5]", "Set_Mode_Mem[0]"})
        selectSetModeItem(s, setModeItemIndex(c), 1);
    const SettingsImage out = encodeSettingsImage(s, lastRead);
    EXPECT_EQ(out[0], 0xA5);
    for (int k : {1, 48, 49, 52, 71, 72, 78, 92, 143, 144}) EXPECT_EQ(out[k], lastRead[k]) << k;
    EXPECT_EQ(out[118], 0x01);
    for (auto [k, v] : std::initializer_list<std::pair<int, uint8_t>>{
             {9, 0x05}, {50, 0x01}, {51, 0x0C}, {55, 0x02}, {56, 0x02}, {81, 0x06}, {8, 0}, {12, 0}, {20, 0},
             {31, 0}, {66, 0}, {99, 0}, {105, 0}, {115, 0}, {128, 0}, {142, 0}})
        EXPECT_EQ(out[k], v) << k;
    // Every value the lists cannot show goes back as it was read.
    for (const SetModeItem& it : setModeCatalogue())
        if (it.imageByte >= 0 && it.encoding != SettingEncoding::ShownOnly01 && !decodeSettingItem(it, lastRead)) {
            EXPECT_EQ(out[it.imageByte], lastRead[it.imageByte]) << it.control;
        }
}

TEST(SettingsCodec, UnshownValueIsKeptUntilTheUserChangesIt) {
    SettingsImage image{};
    image[45] = 0x30;  // Auto-power-off beyond its list
    image[53] = 0x00;  // Wild key: no such function
    image[96] = 0x15;  // Lamp key: Illumination
    SetModeSettings s;
    selectSetModeItem(s, setModeItemIndex("Set_Mode_Key[6]"), 7);
    const auto notes = applySettingsImage(s, image);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], "Auto-power-off: 0x30");
    EXPECT_EQ(notes[1], "Wild key assign: 0x00");
    // The selection is left as it was, the list shows no entry, and the byte is held.
    EXPECT_EQ(s.position("Set_Mode_Key[6]"), 7);
    EXPECT_TRUE(s.isHeld("Set_Mode_Key[6]"));
    EXPECT_EQ(s.shown(setModeItemIndex("Set_Mode_Key[6]")), -1);
    SettingsImage out = encodeSettingsImage(s, image);
    EXPECT_EQ(out[45], 0x30);
    EXPECT_EQ(out[53], 0x00);
    selectSetModeItem(s, setModeItemIndex("Set_Mode_Power[0]"), 2);
    selectSetModeItem(s, setModeItemIndex("Set_Mode_Key[6]"), 50);
    out = encodeSettingsImage(s, image);
    EXPECT_EQ(out[45], 2);
    EXPECT_EQ(out[53], 0x68);
    // A page reset is a choice too: its positions are written.
    applySettingsImage(s, image);
    resetSetModePage(s);
    EXPECT_FALSE(s.isHeld("Set_Mode_Power[0]"));
    EXPECT_EQ(encodeSettingsImage(s, image)[45], 0);
}

TEST(SetModeSettings, StartUpResetsAndLanguage) {
    Document doc;
    startUp(doc);
    SetModeSettings& s = doc.setMode;
    EXPECT_EQ(s.labelled, English);
    EXPECT_EQ(s.relabels, 2);  // Japanese first, then English
    EXPECT_EQ(s.position("Set_Mode_Display[3]"), 7);
    EXPECT_EQ(s.position("Set_Mode_Key[7]"), 1);
    EXPECT_EQ(s.position("Set_Mode_Scan[1]"), 0);

    selectSetModeItem(s, setModeItemIndex("Set_Mode_Key[3]"), 3);  // "Both bands"
    EXPECT_TRUE(ApplySetModeLanguage(s, Japanese));
    EXPECT_FALSE(ApplySetModeLanguage(s, Japanese));
    EXPECT_EQ(s.relabels, 3);
    EXPECT_EQ(s.position("Set_Mode_Key[3]"), 3);
    selectSetModeItem(s, setModeItemIndex("Set_Mode_Display[0]"), English);
    EXPECT_EQ(s.labelled, English);

    for (std::size_t i = 0; i < s.positions.size(); ++i) s.positions[i] = 1;
    s.scanTimerChecked = true;
    s.scanTime = "200";
    resetSetModePage(s);
    EXPECT_EQ(s.position("Set_Mode_Display[0]"), 1);   // the language is not reset
    EXPECT_EQ(s.position("Set_Mode_Scan[1]"), 1);      // Scan skip ends at ON
    EXPECT_EQ(s.position("Set_Mode_Display[5]"), 1);   // not on the Set Mode reset's list
    EXPECT_EQ(s.position("Set_Mode_Display[8]"), 1);
    EXPECT_EQ(s.position("Set_Mode_Key[0]"), 5);
    EXPECT_EQ(s.position("Set_Mode_Repeater[2]"), 0);
    EXPECT_EQ(s.position("Set_Mode_Sound[3]"), 1);     // a Common Set item
    EXPECT_FALSE(s.scanTimerChecked);
    EXPECT_EQ(s.scanTime, "1");

    for (std::size_t i = 0; i < s.positions.size(); ++i) s.positions[i] = 1;
    resetCommonSetPage(s);
    for (const char* c : {"Set_Mode_Display[5]", "Set_Mode_Display[15]", "Set_Mode_Send[6]", "Set_Mode_Send[12]",
                          "Set_Mode_Recv[7]", "Set_Mode_Sound[3]", "Set_Mode_Sound[5]", "Set_Mode_Preset", "Set_Mode_Mem[0]"})
        EXPECT_EQ(s.position(c), 0) << c;
    for (const char* c : {"Set_Mode_Key[7]", "Set_Mode_Display[4]", "Set_Mode_Send[5]", "Set_Mode_Recv[5]"})
        EXPECT_EQ(s.position(c), 1) << c;
}

TEST(SetModeSettings, ScanTimerRules) {
    EXPECT_TRUE(scanTimerAcceptsKey("12", '3'));
    EXPECT_FALSE(scanTimerAcceptsKey("123", '4'));
    EXPECT_TRUE(scanTimerAcceptsKey("123", 8));
    EXPECT_FALSE(scanTimerAcceptsKey("1", 'a'));
    for (auto [in, out] : std::initializer_list<std::pair<const char*, const char*>>{
             {"", "1"}, {"0", "1"}, {"abc", "1"}, {"999", "1"}, {"301", "1"}, {"300", "300"}, {"12a", "12"},
             {"1234", "1"}, {"5", "5"}})
        EXPECT_EQ(normaliseScanTimer(in), out) << in;
}

TEST(SettingsTransfer, UnshownValuesDoNotStopTheRead) {
    Rig r;
    r.link.radio.memory().write(38, {0x77});          // Scan mode beyond its list
    r.link.radio.memory().write(0x1FE01, {0x0F});     // write protect
    r.link.radio.memory().write(0x11A4, {0x40});      // DTMF pause
    ASSERT_EQ(r.commands.settings.read(), TransferOutcome::Success);
    ASSERT_EQ(r.host.messages.size(), 2u);
    EXPECT_EQ(r.host.messages[0].text, "Success");
    EXPECT_EQ(r.host.messages[1].text, std::string(UnshownValuesText) +
                                           "\nScan mode: 0x77\nWrite Protect: 0x0F\nDTMF Pause: 0x40");
    EXPECT_EQ(r.host.messages[1].title, " Finish");
    EXPECT_EQ(r.doc.dtmf.memories[5], "1234567890ABCD*#");  // the DTMF blocks were read
    EXPECT_TRUE(r.doc.setMode.isHeld("Set_Mode_Scan[0]"));

    // Written back untouched; the rest as the user set it.
    r.select("Set_Mode_Sound[4]", 20);
    ASSERT_EQ(r.commands.settings.write(), TransferOutcome::Success);
    EXPECT_EQ(r.radioByte(38), 0x77);
    EXPECT_EQ(r.radioByte(0x11A4), 0x40);
    EXPECT_EQ(r.radioByte(2), 20);
}

TEST(SettingsTransfer, WriteKeepsTheRadiosOwnBytes) {
    Rig r;
    ASSERT_EQ(r.commands.settings.read(), TransferOutcome::Success);
    // Meanwhile the radio changed bytes the program keeps.
    r.link.radio.memory().write(1, {0x5A});
    r.link.radio.memory().write(49, {0x01});
    r.link.radio.memory().write(118, {0x00});
    r.select("Set_Mode_Toutyou[0]", 0);
    r.select("Set_Mode_Key[5]", 2);
    r.select("Set_Mode_Display[0]", Japanese);
    r.doc.dtmf.memories[9] = "12*#A-";
    r.host.messages.clear();
    r.host.progressTexts.clear();
    ASSERT_EQ(r.commands.settings.write(), TransferOutcome::Success);
    EXPECT_EQ(r.host.lastText(), "Success");
    EXPECT_EQ(r.host.progressTexts,
              (std::vector<std::string>{"10%", "20%", "35%", "50%", "65%", "80%", "85%", "90%", "100%", "0%"}));
    EXPECT_EQ(r.radioByte(0), 0xA5);
    EXPECT_EQ(r.radioByte(1), 0x5A);
    EXPECT_EQ(r.radioByte(49), 0x01);
    EXPECT_EQ(r.radioByte(118), 0x01);
    EXPECT_EQ(r.radioByte(93), 1);
    EXPECT_EQ(r.radioByte(95), 1);
    EXPECT_EQ(r.radioByte(62), 1);
    EXPECT_EQ(r.radioByte(0x1103 + 16 * 9), 0x01);
    EXPECT_EQ(r.radioByte(0x1103 + 16 * 9 + 5), 0x10);
    EXPECT_EQ(r.radioByte(0x1103 + 16 * 9 + 6), 0x11);
    EXPECT_EQ(r.radioByte(0x1FE01), 0x00);  // never written
}

TEST(SettingsTransfer, QuietRunsShowNothing) {
    Rig r;
    r.doc.state.quiet = QuietOn;
    r.link.radio.memory().write(38, {0x77});
    EXPECT_EQ(r.commands.settings.read(), TransferOutcome::Success);
    EXPECT_TRUE(r.host.messages.empty());
    EXPECT_EQ(r.doc.state.quiet, QuietNormal);
    EXPECT_EQ(r.doc.setMode.readNotes.size(), 1u);  // left for the chain to report
    r.doc.state.quiet = QuietOn;
    EXPECT_EQ(r.commands.settings.write(), TransferOutcome::Success);
    EXPECT_TRUE(r.host.messages.empty());
    EXPECT_EQ(r.doc.state.quiet, QuietNormal);
}

