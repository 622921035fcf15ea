// Bank-link groups and one-touch memories: their bytes in the radio, the
// group grid's cells, unavailable banks, and keys the layout cannot show.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/pages.h"
#include "app/startup.h"
#include "features/groups.h"
#include "features/one_touch.h"
#include "protocol/clone_protocol.h"
#include "support/emulator_rig.h"

using namespace tqm5;

namespace {

std::string hexOf(const std::vector<uint8_t>& data) {
    const Bytes cmd = writeCommand(0, data);
    return std::string(cmd.begin() + 10, cmd.end() - 1);
}

struct Rig : test::EmulatorRig {
    Rig() : EmulatorRig(1000, false) {}  // the program's own response timer
    Bytes mem(uint32_t a, std::size_t n) { return link.radio.memory().read(a, n); }
};

BankLayout layoutOf(std::initializer_list<std::pair<int, int>> banks) {
    BankLayout l;
    l.size.fill(0);
    for (auto [b, n] : banks) l.size[static_cast<std::size_t>(b)] = n;
    return l;
}

}  // namespace

TEST(GroupCodec, BitsOfBanksInTheirRecords) {
    GroupFlags f{};
    f[0][0] = true;
    EXPECT_EQ(hexOf(encodeGroupArea(f, 0)).substr(0, 16), "8000000000000000");
    f = {};
    f[10][48] = f[10][49] = true;
    const auto second = encodeGroupArea(f, 1);
    ASSERT_EQ(second.size(), 40u);
    EXPECT_EQ(second[0x150 - 0x130 + 6], 0xC0);
    f[3][12] = f[6][47] = f[10][0] = true;
    GroupFlags back{};
    auto first = encodeGroupArea(f, 0);
    first.resize(64, 0xEE);  // a read brings 64 bytes; only 48 count
    auto rest = second;
    rest = encodeGroupArea(f, 1);
    rest.resize(64, 0xEE);
    ASSERT_TRUE(decodeGroupArea(first, 0, back));
    ASSERT_TRUE(decodeGroupArea(rest, 1, back));
    EXPECT_EQ(back, f);
}

TEST(GroupWire, ByteSevenGoesAsTwoNulBytes) {
    GroupFlags f{};
    f[0][0] = true;
    const Bytes line = writeCommand(0x100, encodeGroupArea(f, 0), groupAreaNulBytes(0));
    ASSERT_EQ(line.size(), 107u);
    for (int g = 0; g < 6; ++g) {
        const std::size_t at = 10 + 16 * static_cast<std::size_t>(g) + 14;
        EXPECT_EQ(line[at], 0x00);
        EXPECT_EQ(line[at + 1], 0x00);
        EXPECT_EQ(line[at - 1], '0');
    }
    EXPECT_EQ(line[10], '8');
    EXPECT_EQ(writeCommand(0x130, encodeGroupArea(f, 1), nulBytesAt(0x130)).size(), 91u);
    EXPECT_TRUE(nulBytesAt(0x180).empty());
}

TEST(GroupGrid, CellsMapToBanksAndHeadingsToNothing) {
    struct Case { int col, bank; } cases[] = {{0, -1}, {1, 0}, {10, 9}, {11, -1}, {12, 10}, {22, -1},
                                              {23, 20}, {44, -1}, {45, 40}, {54, 49}, {55, -1}, {-1, -1}};
    for (const Case& c : cases) EXPECT_EQ(bankOfGroupColumn(c.col), c.bank) << c.col;
    for (int b = 0; b < 50; ++b) EXPECT_EQ(bankOfGroupColumn(groupGridColumn(b)), b);
    EXPECT_EQ(groupName(0), "0Group");
    EXPECT_EQ(groupName(10), "GroupB");

    Rig r;
    ASSERT_TRUE(r.commands.groups.openWindow());
    for (int col = 0; col < GroupGridCols; ++col) r.commands.groups.cellClicked(0, col);  // heading row
    for (int row = 0; row < GroupGridRows; ++row) r.commands.groups.cellClicked(row, 0);  // name column
    r.commands.groups.cellClicked(12, 1);
    EXPECT_EQ(r.doc.groups.member, GroupFlags{});
    r.commands.groups.cellClicked(1, 1);
    EXPECT_TRUE(r.doc.groups.isMember(0, 0));
}

TEST(Groups, UnavailableBanksCannotBeTickedAndKeepTheirFlagsThroughReadAndWrite) {
    Rig r;
    // The radio links bank 12 (empty in the program's default layout) into group 3.
    r.link.radio.memory().write(0x118, {0x00, 0x08, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(r.commands.groups.openWindow());
    EXPECT_TRUE(r.doc.groups.unavailable[12]);
    r.commands.groups.cellClicked(4, groupGridColumn(12));
    EXPECT_FALSE(r.doc.groups.isMember(3, 12));  // not tickable

    ASSERT_EQ(r.commands.groups.read(), TransferOutcome::Success);
    EXPECT_TRUE(r.doc.groups.isMember(3, 12));  // kept as the radio has it
    EXPECT_EQ(r.host.messages.back().text, "OK");
    EXPECT_EQ(r.host.messages.back().title, " Success");
    r.commands.groups.cellClicked(4, groupGridColumn(12));
    EXPECT_TRUE(r.doc.groups.isMember(3, 12));  // still not tickable

    r.link.radio.memory().write(0x118, {0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(r.commands.groups.write(), TransferOutcome::Success);
    EXPECT_EQ(r.host.messages.back().text, "Success Group Data Write");
    EXPECT_EQ(r.mem(0x119, 1)[0], 0x08);  // went back unchanged
}

TEST(OneTouchCodec, DigitsOfKeys) {
    OneTouchMemories keys;  // default layout: banks 0 to 9
    keys.setNoSetting(1, false);
    keys.selectBank(1, 3);
    keys.selectChannel(1, 12);
    const std::string hex = hexOf(keys.encode());
    EXPECT_EQ(hex.substr(0, 6), "FF0000");
    EXPECT_EQ(hex.substr(6, 6), "030C00");
    EXPECT_EQ(hex.size(), 54u);

    // Banks 0, 2 and 5 used: bank 5 is list position 2 but writes 05.
    keys.rebuild(layoutOf({{0, 500}, {2, 300}, {5, 200}}));
    keys.selectBank(4, 2);
    keys.setNoSetting(4, false);
    EXPECT_EQ(hexOf(keys.encode()).substr(24, 6), "050000");
}

TEST(OneTouchCodec, ReadingKeysTheLayoutCanAndCannotShow) {
    OneTouchMemories keys;
    keys.rebuild(layoutOf({{0, 970}, {5, 30}}));
    std::vector<uint8_t> data(64, 0);
    const auto put = [&](int k, uint8_t bank, uint8_t ch) {
        data[3 * static_cast<std::size_t>(k)] = bank;
        data[3 * static_cast<std::size_t>(k) + 1] = ch;
    };
    put(0, 0xFF, 0);   // unused
    put(1, 5, 29);     // bank 5 at list position 1
    put(2, 5, 40);     // bank 5 holds only 30
    put(3, 12, 3);     // bank 12 is not used
    put(4, 0x40, 1);   // no bank at all
    for (int k = 5; k < 9; ++k) put(k, 0xFF, 0);
    ASSERT_TRUE(keys.decode(data));
    EXPECT_TRUE(keys.key(0).noSetting);
    EXPECT_EQ(keys.bankPosition(0), 0);
    EXPECT_EQ(keys.channelPosition(0), 0);
    EXPECT_EQ(keys.bankPosition(1), 1);
    EXPECT_EQ(keys.channelPosition(1), 29);
    for (int k : {2, 3, 4}) {
        EXPECT_FALSE(keys.key(k).noSetting) << k;
        EXPECT_FALSE(keys.key(k).resolved) << k;
        EXPECT_EQ(keys.bankPosition(k), -1) << k;  // shown as no selection
    }
    // Written back exactly as read.
    EXPECT_EQ(keys.encode(), std::vector<uint8_t>(data.begin(), data.begin() + 27));

    // A layout that holds them shows them; one that loses a key's bank keeps it.
    keys.rebuild(layoutOf({{0, 900}, {5, 50}, {12, 50}}));
    EXPECT_EQ(keys.bankPosition(2), 1);
    EXPECT_EQ(keys.channelPosition(2), 40);
    EXPECT_EQ(keys.bankPosition(3), 2);
    keys.rebuild(layoutOf({{0, 1000}}));
    EXPECT_FALSE(keys.key(1).resolved);
    EXPECT_EQ(keys.encode(), std::vector<uint8_t>(data.begin(), data.begin() + 27));
    // The user sets it: then it is what the lists show.
    keys.selectBank(1, 0);
    EXPECT_EQ(keys.encode()[3], 0);
    keys.reset();
    for (int k = 0; k < 9; ++k) EXPECT_TRUE(keys.key(k).noSetting && keys.key(k).resolved);
}

TEST(OneTouchCommands, ShowingTheCommonSetPageRebuildsTheBankLists) {
    Rig r;
    r.doc.banks.assign(layoutOf({{0, 500}, {12, 500}}).size);
    EXPECT_EQ(r.doc.oneTouch.bankList().size(), 10u);  // not by itself
    ASSERT_EQ(switchPage(r.doc, r.host, CommonPage), CommonPage);
    EXPECT_EQ(r.doc.oneTouch.bankList(), (std::vector<int>{0, 12}));

    r.link.radio.memory().write(0x180, {0x0C, 0x07, 0x00});
    ASSERT_EQ(r.commands.oneTouch.read(), TransferOutcome::Success);
    EXPECT_EQ(r.doc.oneTouch.bankPosition(0), 1);
    EXPECT_EQ(r.doc.oneTouch.channelPosition(0), 7);
    r.link.radio.failNext(10);
    r.commands.oneTouch.reset();
    EXPECT_EQ(r.commands.oneTouch.write(), TransferOutcome::Error);
    EXPECT_EQ(r.mem(0x180, 1)[0], 0x0C);
}
