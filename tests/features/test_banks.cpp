// Bank layout: the codec of the two bank blocks, the box rules, the labels a
// layout gives the grid, and the bank commands on an in-process radio.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/pages.h"
#include "app/startup.h"
#include "features/banks.h"
#include "protocol/clone_protocol.h"
#include "support/emulator_rig.h"

using namespace tqm5;

namespace {

// The data digits a write of `data` puts on the line.
std::string digits(const std::vector<uint8_t>& data) {
    const Bytes cmd = writeCommand(0, data);
    return std::string(cmd.begin() + 10, cmd.end() - 1);
}

std::vector<uint8_t> fromDigits(const std::string& hex) {
    std::vector<uint8_t> out(64, 0);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out[i / 2] = static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

struct Rig : test::EmulatorRig {
    Rig() : EmulatorRig(100, false) {}
    uint8_t mem(uint32_t a) { return link.mem(a); }
    void putSizes(const std::array<int, 50>& sizes) {
        for (uint32_t b = 0; b < 50; ++b) {
            link.radio.memory().write(0x200 + 2 * b, {static_cast<uint8_t>(sizes[b] & 0xFF), static_cast<uint8_t>(sizes[b] >> 8)});
        }
    }
};

std::array<int, 50> layoutOf(std::initializer_list<std::pair<int, int>> banks) {
    std::array<int, 50> s{};
    for (auto [b, n] : banks) s[static_cast<std::size_t>(b)] = n;
    return s;
}

}  // namespace

TEST(BankCodec, SizesDecodeFromFourDigitsAndTheThirdIsIgnored) {
    struct Case { const char* hex; int size; } cases[] = {
        {"6400", 100}, {"E803", 1000}, {"E8F3", 1000}, {"0001", 256}, {"0000", 0}, {"FF02", 767},
    };
    for (const Case& c : cases) {
        std::array<int, 50> sizes{};
        ASSERT_TRUE(decodeBankBlock(fromDigits(c.hex), 0, sizes)) << c.hex;
        EXPECT_EQ(sizes[0], c.size) << c.hex;
    }
    // Bank 32 is the first of the second block.
    std::array<int, 50> sizes{};
    ASSERT_TRUE(decodeBankBlock(fromDigits("2C01"), 1, sizes));
    EXPECT_EQ(sizes[32], 300);
    EXPECT_EQ(sizes[0], 0);
    // A size the sliders cannot hold makes the block unusable and changes nothing.
    sizes[33] = 7;
    EXPECT_FALSE(decodeBankBlock(fromDigits("64000104"), 1, sizes));  // 100, then 1025
    EXPECT_EQ(sizes[32], 300);
    EXPECT_EQ(sizes[33], 7);
}

TEST(BankCodec, EncodingAndTheFixedTail) {
    BankLayout layout;
    layout.size.fill(0);
    layout.size[0] = 1000;
    layout.size[1] = 256;
    layout.size[49] = 5;
    EXPECT_EQ(digits(encodeBankBlock(layout, 0)).substr(0, 12), "E80300010000");
    // Whatever the layout, the second block ends with the fixed words and zeros.
    const std::string tail = "6400C80064000300640064001400" + std::string(28, '0');
    for (int b49 : {0, 5, 999}) {
        layout.size[49] = b49;
        const std::string second = digits(encodeBankBlock(layout, 1));
        ASSERT_EQ(second.size(), 128u);
        EXPECT_EQ(second.substr(72), tail);
        std::array<int, 50> back{};
        ASSERT_TRUE(decodeBankBlock(encodeBankBlock(layout, 1), 1, back));
        EXPECT_EQ(back[49], b49);
    }
}

TEST(BankBoxes, TypedTextAndWhatItApplies) {
    struct Case { const char* text; int value; } cases[] = {
        {"1234", 100}, {"0012", 12}, {"", 0}, {"12a3", 123}, {"1000", 1000}, {"1001", 100}, {"abc", 0},
        {"99999999999999999999", 100},
    };
    for (const Case& c : cases) EXPECT_EQ(bankBoxValue(c.text), c.value) << c.text;
    EXPECT_TRUE(bankBoxTakesDigit("123"));
    EXPECT_FALSE(bankBoxTakesDigit("1234"));
}

TEST(BankLayoutEdits, UpAndDownStayInsideTheirRange) {
    BankLayout l;
    EXPECT_FALSE(l.step(+1));  // no bank selected yet
    l.selected = 0;
    l.size[0] = 1000;
    EXPECT_FALSE(l.step(+1));
    l.selected = 20;
    EXPECT_FALSE(l.step(-1));
    EXPECT_TRUE(l.step(+1));
    EXPECT_EQ(l.size[20], 1);
}

TEST(BankLabels, FollowTheLayoutOnlyWhenItTotals1000) {
    ChannelGrid grid;
    BankLayout l;
    l.size.fill(0);
    l.size[0] = 5;
    l.size[2] = 995;
    grid.applyLabels(l.size);
    EXPECT_EQ(grid.cell(1, 0), "Bank000-0");
    EXPECT_EQ(grid.cell(5, 0), "Bank000-4");
    EXPECT_EQ(grid.cell(6, 0), "Bank002-0");
    EXPECT_EQ(grid.cell(1000, 0), "Bank002-994");
    l.size[2] = 994;
    grid.applyLabels(l.size);
    EXPECT_EQ(grid.cell(1, 0), "0");
    EXPECT_EQ(grid.cell(1000, 0), "999");
}

TEST(BankCommands, ReadWriteRoundTripAndLabelsFollowOnTheMemoryPage) {
    Rig r;
    r.putSizes(layoutOf({{0, 600}, {3, 400}}));
    ASSERT_EQ(r.commands.banks.read(), TransferOutcome::Success);
    EXPECT_EQ(r.doc.banks.size[0], 600);
    EXPECT_EQ(r.doc.banks.size[3], 400);
    EXPECT_EQ(r.doc.grid.cell(601, 0), "Bank003-0");  // relabelled without a page switch
    EXPECT_EQ(r.host.messages.back().text, "Success");

    r.doc.banks.setSize(3, 300);
    r.doc.banks.setSize(49, 100);
    ASSERT_EQ(r.commands.banks.write(), TransferOutcome::Success);
    EXPECT_EQ(r.mem(0x206), 0x2C);
    EXPECT_EQ(r.mem(0x262), 100);
    EXPECT_EQ(r.mem(0x264), 100);  // the fixed words follow bank 49
    EXPECT_EQ(r.mem(0x266), 200);
}

TEST(BankCommands, A999TotalIsNeverWritten) {
    Rig r;
    r.putSizes(layoutOf({{0, 600}, {3, 400}}));
    r.doc.banks.setSize(0, 99);  // 999 in all (default layout)
    const auto writes = [&] { return r.link.radio.stats().writes; };

    // From the button.
    EXPECT_EQ(r.commands.banks.write(), TransferOutcome::Error);
    EXPECT_EQ(r.host.messages.back().text, BankWriteRefusedText);
    EXPECT_EQ(writes(), 0u);

    // After a read that ended in "Error" (the reset enables the controls again).
    r.link.radio.failNext(10);
    EXPECT_EQ(r.commands.banks.read(), TransferOutcome::Error);
    r.link.radio.clearForcedFaults();
    EXPECT_FALSE(r.commands.banks.writeAllowed());
    EXPECT_EQ(r.commands.banks.write(), TransferOutcome::Error);
    EXPECT_EQ(writes(), 0u);

    // As a quiet step of Write All: the refusal is still shown.
    r.host.messages.clear();
    r.doc.state.quiet = QuietOn;
    r.doc.state.busy = Idle;
    EXPECT_EQ(r.commands.banks.write(), TransferOutcome::Error);
    EXPECT_EQ(r.doc.state.quiet, QuietFailed);
    ASSERT_EQ(r.host.messages.size(), 1u);
    EXPECT_EQ(r.host.messages[0].title, " Error");
    EXPECT_EQ(writes(), 0u);
    EXPECT_EQ(r.mem(0x200), 600 & 0xFF);

    // Mended, it goes.
    r.doc.banks.setSize(0, 100);
    r.doc.state.quiet = QuietNormal;
    EXPECT_EQ(r.commands.banks.write(), TransferOutcome::Success) << r.host.lastText();
}

TEST(BankPages, A999TotalAsksBeforeLeavingTheBankPage) {
    Rig r;
    ASSERT_EQ(switchPage(r.doc, r.host, BankPage), BankPage);
    r.doc.banks.setSize(0, 99);
    r.host.answer = Host::Choice::Cancel;
    EXPECT_EQ(switchPage(r.doc, r.host, MemoryPage), 0);
    EXPECT_EQ(r.host.messages.back().text, "Bank Total Error. Init Data?");
    EXPECT_EQ(r.doc.banks.total(), 999);
    r.host.answer = Host::Choice::Ok;
    EXPECT_EQ(switchPage(r.doc, r.host, MemoryPage), MemoryPage);
    EXPECT_EQ(r.doc.banks.total(), 1000);
}
