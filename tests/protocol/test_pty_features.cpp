// Banks, groups and one-touch keys end to end: the program's commands on the
// real serial link, the demo radio on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/commands.h"
#include "app/startup.h"
#include "emulator/demo_image.h"
#include "emulator/pty_server.h"
#include "serial/qt_serial_link.h"
#include "support/recording_host.h"

using namespace tqm5;
using tqm5::emu::FaultKind;

namespace {

struct FeatureHost : test::RecordingHost {
    void processEvents() override {
        test::RecordingHost::processEvents();
        QCoreApplication::processEvents();
    }
};

struct DemoRig {
    emu::PtyServer radio;
    Document doc;
    QtSerialLink link;
    FeatureHost host;
    Commands commands{doc, link, host};
    DemoRig() {
        radio.setMemory(emu::demoImage());
        radio.start();
        link.bindDevice(1, QString::fromStdString(radio.devicePath()));
        startUp(doc);
    }
    void fail(uint64_t exchange, FaultKind kind = FaultKind::NoAnswer) {
        radio.withEmulator([&](emu::Emulator& e) { e.forceFault(exchange, kind); });
    }
    uint64_t exchanges() { return radio.stats().exchanges; }
};

}  // namespace

TEST(PtyFeatures, BanksReadFromTheDemoRadioAndWrittenBack) {
    DemoRig r;
    const auto& demo = emu::demoContent();
    ASSERT_EQ(r.commands.bankRead(), TransferOutcome::Success) << r.host.lastText();
    for (int b = 0; b < 50; ++b) EXPECT_EQ(r.doc.banks.size[b], demo.bankSizes[b]) << b;
    EXPECT_TRUE(r.doc.banks.complete());
    EXPECT_EQ(r.host.progressTexts.back(), "0%");

    const Bytes before = r.radio.readMemory(0x200, 128);
    r.radio.setMemory(Bytes(emu::MemorySize, 0));
    ASSERT_EQ(r.commands.bankWrite(), TransferOutcome::Success);
    EXPECT_EQ(r.radio.readMemory(0x200, 128), before);

    // A second block that never answers: the layout stays as it was.
    r.doc.banks.reset();
    const uint64_t next = r.exchanges() + 1;
    for (uint64_t i = 0; i < 3; ++i) r.fail(next + 2 + i);
    EXPECT_EQ(r.commands.bankRead(), TransferOutcome::Error);
    EXPECT_EQ(r.doc.banks.size, BankLayout{}.size);
}

TEST(PtyFeatures, GroupsReadAndWrittenWithTheWindowsOwnTimer) {
    DemoRig r;
    const auto& demo = emu::demoContent();
    ASSERT_EQ(r.commands.bankRead(), TransferOutcome::Success);
    ASSERT_TRUE(r.commands.openGroupWindow());
    ASSERT_EQ(r.commands.groupRead(true), TransferOutcome::Success) << r.host.lastText();
    EXPECT_EQ(r.host.messages.back().text, "Success ALL DATA READ");
    EXPECT_EQ(r.host.messages.back().title, " Finish");
    for (int g = 0; g < GroupCount; ++g)
        for (int b = 0; b < 50; ++b) {
            const auto& m = demo.groups[static_cast<std::size_t>(g)];
            EXPECT_EQ(r.doc.groups.isMember(g, b), std::find(m.begin(), m.end(), b) != m.end()) << g << " " << b;
        }

    // Written to a blank radio: the 0x00 pairs of each record's last byte
    // reach it as the line carries them.
    const Bytes groups = r.radio.readMemory(0x100, 0x58);
    r.radio.setMemory(Bytes(emu::MemorySize, 0xFF));
    ASSERT_EQ(r.commands.groupWrite(), TransferOutcome::Success) << r.host.lastText();
    EXPECT_EQ(r.radio.readMemory(0x100, 0x58), groups);
    bool sawNul = false;
    for (const std::string& l : r.radio.log()) sawNul |= l.find("ignored") != std::string::npos;
    EXPECT_FALSE(sawNul);

    // The second area never answers: the table stays as it was.
    r.commands.groupClear();
    const uint64_t next = r.exchanges() + 1;
    for (uint64_t i = 0; i < 3; ++i) r.fail(next + 2 + i);
    EXPECT_EQ(r.commands.groupRead(), TransferOutcome::Error);
    EXPECT_EQ(r.doc.groups.member, GroupFlags{});
    EXPECT_FALSE(r.commands.groupBusy());
}

TEST(PtyFeatures, OneTouchKeysReadFromTheDemoRadioAndWrittenBack) {
    DemoRig r;
    const auto& demo = emu::demoContent();
    ASSERT_EQ(r.commands.bankRead(), TransferOutcome::Success);
    r.doc.oneTouch.rebuild(r.doc.banks);
    ASSERT_EQ(r.commands.oneTouchRead(), TransferOutcome::Success) << r.host.lastText();
    for (int k = 0; k < 9; ++k) {
        const auto& want = demo.oneTouch[static_cast<std::size_t>(k)];
        const OneTouchKey& key = r.doc.oneTouch.key(k);
        EXPECT_EQ(key.noSetting, want.bank < 0) << k;
        if (want.bank >= 0) {
            EXPECT_TRUE(key.resolved) << k;
            EXPECT_EQ(key.bank, want.bank) << k;
            EXPECT_EQ(key.channel, want.channel) << k;
        }
    }
    const Bytes before = r.radio.readMemory(0x180, 27);
    r.radio.setMemory(Bytes(emu::MemorySize, 0x00));
    ASSERT_EQ(r.commands.oneTouchWrite(), TransferOutcome::Success);
    EXPECT_EQ(r.radio.readMemory(0x180, 27), before);

    // Broken answers three times: "Error", and the keys stay as they are.
    r.commands.oneTouchReset();
    const uint64_t next = r.exchanges() + 1;
    for (uint64_t i = 0; i < 3; ++i) r.fail(next + 1 + i, FaultKind::BrokenTail);
    EXPECT_EQ(r.commands.oneTouchRead(), TransferOutcome::Error);
    EXPECT_TRUE(r.doc.oneTouch.key(0).noSetting);
}
