// What the program does not overwrite: the radio's own bytes where the
// document still holds what they give, and a radio another program holds.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/kept_bytes.h"
#include "features/groups.h"
#include "features/title.h"
#include "radio/memory_map.h"
#include "support/command_rig.h"

using namespace tqm5;

TEST(KeptBytes, UnchangedBlocksGoBackAsTheRadioHeldThemChangedOnesAsEdited) {
    // Title "A", an empty slot, "B"; slide bytes 0x10 (read as on).
    Bytes title(34, 0);
    title[0] = 0x41;
    title[4] = 0x42;
    title[32] = title[33] = 0x10;
    // Group 1: bank 0, plus low bits of byte 6 that stand for no bank.
    Bytes groups(std::size_t(groupAreaBytes(0)), 0);
    groups[0] = 0x80;
    groups[6] = 0x3F;

    Document doc;
    doc.radio.put(radio::Title.address, title);
    doc.radio.put(groupAreaAddress(0), groups);
    const DecodedTitle read = decodeTitle(title);
    doc.title.text = nameToDisplay(read.titleString);
    doc.title.slide = read.slide;
    ASSERT_TRUE(decodeGroupArea(groups, 0, doc.groups.member));

    const auto sentTitle = [&] {
        return keptWhereUnchanged(doc, doc.radio, radio::Title.address,
                                  encodeTitle(titleStringFromText(doc.title.text), doc.title.slide));
    };
    const auto sentGroups = [&] {
        return keptWhereUnchanged(doc, doc.radio, groupAreaAddress(0), encodeGroupArea(doc.groups.member, 0));
    };
    EXPECT_EQ(sentTitle(), title);
    EXPECT_EQ(sentGroups(), groups);

    // Edited: the block goes as the program writes it.
    doc.title.text = "AC";
    Bytes edited(34, 0);
    edited[0] = 0x41;
    edited[2] = 0x43;
    edited[32] = edited[33] = 0x11;
    EXPECT_EQ(sentTitle(), edited);
    doc.groups.member[0][1] = true;
    Bytes bothBanks(groups.size(), 0);
    bothBanks[0] = 0xC0;
    EXPECT_EQ(sentGroups(), bothBanks);

    // Not known: as the program writes it.
    doc.radio.clear();
    doc.title.text = "AB";
    edited[2] = 0x42;
    EXPECT_EQ(sentTitle(), edited);
}

// Another program holding the radio (a tqm5 run, another window) stops
// every transfer before a byte goes out, says so, and leaves the radio free
// once that program lets go.
TEST(RadioClaim, AnotherProgramHoldingTheRadioStopsEveryTransferBeforeAByte) {
    test::CommandRig r("claim");
    ::setenv("XDG_DATA_HOME", r.dir.c_str(), 1);
    r.commands.runner.keepImagesOnDisk = true;
    r.host.answer = Host::Choice::Ok;
    const std::string key = r.commands.runner.radioKey();
    {
        Result<RadioClaim> other = RadioClaim::take(key);
        ASSERT_TRUE(other) << other.error();
        EXPECT_EQ(r.commands.channels.memoryRead(), TransferOutcome::Error);
        EXPECT_EQ(r.commands.allData.writeAll(), TransferOutcome::Error);
        EXPECT_EQ(r.commands.groups.read(), TransferOutcome::Error);
        EXPECT_TRUE(r.link.sent.empty());
        ASSERT_FALSE(r.host.messages.empty());
        for (const auto& m : r.host.messages) {
            if (m.title == " Error") {
                EXPECT_EQ(m.text, TransferRunner::RadioHeldText);
            }
        }
        EXPECT_FALSE(r.commands.runner.busy());
    }
    // Nothing of the refused runs keeps it held.
    EXPECT_TRUE(RadioClaim::take(key));
}
