// The settings read and write end to end: the program's serial link on a
// pseudo-terminal, the emulated demo radio on the other side.
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

struct PtyHost : test::RecordingHost {
    void processEvents() override {
        test::RecordingHost::processEvents();
        QCoreApplication::processEvents();
    }
};

struct PtyRig {
    emu::PtyServer radio;
    Document doc;
    QtSerialLink link;
    PtyHost host;
    Commands commands{doc, link, host};
    PtyRig() {
        radio.setMemory(emu::demoImage());
        radio.start();
        startUp(doc);
        link.bindDevice(1, QString::fromStdString(radio.devicePath()));
    }
    void failExchanges(uint64_t first, int count, FaultKind kind) {
        radio.withEmulator([&](emu::Emulator& e) {
            for (int k = 0; k < count; ++k) e.forceFault(first + static_cast<uint64_t>(k), kind);
        });
    }
    void select(const char* control, int p) { selectSetModeItem(doc.setMode, setModeItemIndex(control), p); }
};

}  // namespace

TEST(PtySettings, ReadThenWriteTheDemoRadio) {
    PtyRig r;
    const Bytes before = r.radio.memory();
    ASSERT_EQ(r.commands.readSettings(), TransferOutcome::Success) << r.host.lastText();
    EXPECT_EQ(r.host.lastText(), "Success");
    EXPECT_EQ(r.doc.setMode.position("Set_Mode_Scan[0]"), 5);
    EXPECT_EQ(r.doc.dtmf.memories[2], "1-2-3");
    EXPECT_FALSE(r.link.isOpen());

    // Written back unchanged, the radio keeps exactly its bytes.
    ASSERT_EQ(r.commands.writeSettings(), TransferOutcome::Success) << r.host.lastText();
    EXPECT_EQ(r.radio.readMemory(0, 146), Bytes(before.begin(), before.begin() + 146));
    EXPECT_EQ(r.radio.readMemory(0x1100, 165), Bytes(before.begin() + 0x1100, before.begin() + 0x1100 + 165));

    r.select("Set_Mode_Sound[5]", 20);
    r.select("Set_Mode_Key[7]", 50);
    r.doc.dtmf.memories[7] = "0#";
    ASSERT_EQ(r.commands.writeSettings(), TransferOutcome::Success);
    EXPECT_EQ(r.radio.readMemory(3, 1)[0], 20);
    EXPECT_EQ(r.radio.readMemory(96, 1)[0], 0x68);
    EXPECT_EQ(r.radio.readMemory(0x1173, 3), (Bytes{0x00, 0x0F, 0x11}));
}

TEST(PtySettings, FailedDtmfBlockEndsTheWriteWithError) {
    PtyRig r;
    r.select("Set_Mode_Sound[4]", 15);
    r.doc.dtmf.memories[0] = "999";
    r.doc.dtmf.memories[5] = "555";
    // Identification, three reads, three writes, DTMF block 0; then block 1 fails three times.
    r.failExchanges(9, 3, FaultKind::BrokenTail);
    EXPECT_EQ(r.commands.writeSettings(), TransferOutcome::Error);
    EXPECT_EQ(r.host.lastText(), "Error");
    EXPECT_EQ(r.host.messages.back().title, " Error");
    EXPECT_FALSE(r.commands.busy());
    EXPECT_EQ(r.radio.readMemory(2, 1)[0], 15);                   // the settings stay written
    EXPECT_EQ(r.radio.readMemory(0x1103, 4), (Bytes{9, 9, 9, 0x11}));  // so does DTMF block 0
    // A write that arrived with a broken answer is stored all the same; block 2 never went out.
    EXPECT_EQ(r.radio.readMemory(0x1173 + 48, 1)[0], 3);
}

TEST(PtySettings, FailedDtmfBlockEndsTheReadWithNothingChanged) {
    PtyRig r;
    const std::vector<int> before = r.doc.setMode.positions;
    r.failExchanges(7, 3, FaultKind::BrokenTail);  // DTMF block 1, three times
    EXPECT_EQ(r.commands.readSettings(), TransferOutcome::Error);
    EXPECT_EQ(r.doc.setMode.positions, before);
    EXPECT_TRUE(r.doc.dtmf.memories[0].empty());
    // The next read goes through.
    ASSERT_EQ(r.commands.readSettings(), TransferOutcome::Success);
    EXPECT_EQ(r.doc.dtmf.memories[0], "0123456789");
}
