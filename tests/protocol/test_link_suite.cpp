// Transfers against the emulated radio, each run over both ways of reaching
// it: the in-process link (no device; answers readable once due) and the
// program's real serial link (QSerialPort) on a pseudo-terminal. What one
// link gets right the other must too.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <memory>

#include "app/commands.h"
#include "app/startup.h"
#include "channels/record_codec.h"
#include "emulator/demo_image.h"
#include "emulator/pty_server.h"
#include "protocol/clone_protocol.h"
#include "serial/qt_serial_link.h"
#include "support/bare_pty.h"
#include "support/emulator_link.h"
#include "support/recording_host.h"

using namespace tqm5;
using tqm5::emu::FaultKind;

namespace {

enum class Via { InProcess, Pty };

// The radio and the link that reaches it.
struct Line {
    virtual ~Line() = default;
    virtual SerialLink& link() = 0;
    virtual void radio(const std::function<void(emu::Emulator&)>& f) = 0;
    virtual void unplug() = 0;       // the device goes away before the next command
    virtual void makeMissing() = 0;  // the device cannot be opened
};

struct InProcessLine : Line {
    test::EmulatorLink l;
    explicit InProcessLine(const emu::Emulator::Options& o) : l(o) {}
    SerialLink& link() override { return l; }
    void radio(const std::function<void(emu::Emulator&)>& f) override { f(l.radio); }
    void unplug() override { l.failAfterWrites = l.writes; }
    void makeMissing() override { l.openFails = true; }
};

struct PtyLine : Line {
    std::unique_ptr<emu::PtyServer> server;
    QtSerialLink l;
    PtyLine(const emu::Emulator::Options& o, bool paced) {
        emu::PtyServerOptions line;
        line.wireTiming = paced;
        server = std::make_unique<emu::PtyServer>(o, line);
        server->start();
        l.bindDevice(1, QString::fromStdString(server->devicePath()));
    }
    SerialLink& link() override { return l; }
    void radio(const std::function<void(emu::Emulator&)>& f) override {
        if (server) server->withEmulator(f);
    }
    void unplug() override { server.reset(); }
    void makeMissing() override { l.bindDevice(1, "/dev/tqm5-no-such-device"); }
};

// Waits let the Qt events run, as the window's do: the serial port needs them.
struct QtHost : test::RecordingHost {
    void processEvents() override {
        test::RecordingHost::processEvents();
        QCoreApplication::processEvents();
    }
};

class Links : public ::testing::TestWithParam<Via> {
protected:
    std::unique_ptr<Document> doc;
    QtHost host;
    std::unique_ptr<Line> line;
    std::unique_ptr<Commands> commands;
    int timeoutMs = pty() ? 300 : 60;

    void SetUp() override { connect(); }
    // A fresh radio (the demo's memory unless `blank`) behind a fresh link.
    void connect(emu::Emulator::Options o = {}, bool paced = false, bool blank = true) {
        commands.reset();
        line.reset();
        doc = std::make_unique<Document>();
        if (pty())
            line = std::make_unique<PtyLine>(o, paced);
        else
            line = std::make_unique<InProcessLine>(o);
        if (!blank) setMemory(emu::demoImage());
        startUp(*doc);
        commands = std::make_unique<Commands>(*doc, line->link(), host);
        commands->runner.timeoutMs = timeoutMs;
    }
    void demo() { connect({}, false, false); }
    bool pty() const { return GetParam() == Via::Pty; }
    ChannelGrid& grid() { return doc->grid; }

    Bytes mem(uint32_t at, std::size_t n) {
        Bytes out;
        line->radio([&](emu::Emulator& e) { out = e.memory().read(at, n); });
        return out;
    }
    Bytes record(int row) { return mem(addressOfRow(row), 64); }
    void setMemory(const Bytes& m) {
        line->radio([&](emu::Emulator& e) { e.memory().assign(m); });
    }
    void poke(uint32_t at, const Bytes& b) {
        line->radio([&](emu::Emulator& e) { e.memory().write(at, b); });
    }
    void fault(uint64_t exchange, FaultKind kind = FaultKind::NoAnswer) {
        line->radio([&](emu::Emulator& e) { e.forceFault(exchange, kind); });
    }
    uint64_t exchanges() {
        uint64_t n = 0;
        line->radio([&](emu::Emulator& e) { n = e.stats().exchanges; });
        return n;
    }
    void clearLog() {
        line->radio([](emu::Emulator& e) { e.clearLog(); });
    }
    std::vector<std::string> log() {
        std::vector<std::string> out;
        line->radio([&](emu::Emulator& e) { out.assign(e.log().begin(), e.log().end()); });
        return out;
    }
    int countLog(const std::string& what) {
        int n = 0;
        for (const auto& l : log()) n += l.find(what) != std::string::npos;
        return n;
    }
    void select(const char* control, int p) { selectSetModeItem(doc->setMode, setModeItemIndex(control), p); }
};

Bytes asBytes(const Record& r) { return Bytes(r.begin(), r.end()); }

void put(ChannelGrid& g, int row, const std::string& freq, const std::string& name = "") {
    g.setCell(row, ColFreq, freq);
    g.setCell(row, ColMode, "FM");
    g.setCell(row, ColStep, "12.5KHz");
    g.attr(row).step = 4;
    g.setCell(row, ColToneMode, "TSQ");
    g.setCell(row, ColTxTone, "100.0Hz");
    g.attr(row).txTone = 12;
    g.setCell(row, ColRxTone, "88.5Hz");
    g.setCell(row, ColDcs, "023");
    g.setCell(row, ColShift, "+");
    g.setCell(row, ColOffset, "0.600MHz");
    g.setNameString(row - 1, name);
    g.setCell(row, ColName, nameToDisplay(name));
    g.attr(row).inUse = 1;
}

void fillSample(ChannelGrid& g) {
    put(g, 1, "145.00000MHz", "CALL");
    put(g, 2, "433.02000MHz", "東京\u2461");
    put(g, 500, "1295.00000MHz", "ｱｲｳ");
    put(g, 999, "439.50000MHz", "あ愛\u2460");
    put(g, 1101, "145.50000MHz", "main");
    put(g, 1102, "435.00000MHz", "sub");
    put(g, 1404 + 5, "145.00000MHz");
    put(g, 1404 + 2, "145.00000MHz");
    put(g, 1404 + 7, "144.50000MHz");
    put(g, 1550, "50.00000MHz");
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(, Links, ::testing::Values(Via::InProcess, Via::Pty),
                         [](const auto& info) { return info.param == Via::Pty ? "Pty" : "InProcess"; });

TEST_P(Links, ChannelsWrittenThenReadComeBackInEveryRow) {
    fillSample(grid());
    ASSERT_EQ(commands->channels.memoryWrite(), TransferOutcome::Success) << host.lastText();
    EXPECT_EQ(host.lastText(), "Success");
    EXPECT_EQ(host.messages.back().title, " Finish");
    for (int row = 1; row <= LastRow; ++row) ASSERT_EQ(record(row), asBytes(encodeRecord(grid(), row))) << row;
    // Dual pair 0 sits at records 1101 (main) and 1201 (sub).
    EXPECT_EQ(mem(addressOfRecord(1201) + 1, 1)[0], 0xC0);  // 435 MHz = 0x19EDE8C0
    // The pass-channel index links 7 -> 2 -> 5 from its head.
    const Bytes index = mem(0x0C00, 707);
    EXPECT_EQ(index[100 * 7 + 5], 7);
    EXPECT_EQ(index[7 * 7 + 5], 2);
    EXPECT_EQ(index[2 * 7 + 6], 7);
    EXPECT_EQ(index[5 * 7 + 6], 2);
    EXPECT_EQ(index[5 * 7 + 5], 0xFF);
    EXPECT_FALSE(line->link().isOpen());

    const ChannelGrid written = grid();
    grid() = ChannelGrid();
    grid().setCell(700, ColFreq, "stale");  // a row the radio holds nothing for
    grid().setNameString(699, "stale");
    host.progressTexts.clear();
    ASSERT_EQ(commands->channels.memoryRead(), TransferOutcome::Success);
    for (int row = 1; row <= LastRow; ++row) {
        ASSERT_EQ(grid().inUse(row), written.inUse(row)) << row;
        if (!written.inUse(row)) continue;
        for (int c = 1; c < GridCols; ++c) {
            if (c != ColCarrier) {
                EXPECT_EQ(grid().cell(row, c), written.cell(row, c)) << row << "/" << c;
            }
        }
        EXPECT_EQ(grid().nameString(row - 1), written.nameString(row - 1));
        EXPECT_EQ(grid().attr(row), written.attr(row));
    }
    EXPECT_EQ(grid().cell(700, ColFreq), "");
    EXPECT_EQ(grid().nameString(699), "");
    EXPECT_EQ(grid().cell(2, ColName), "東京:2~");
    EXPECT_EQ(grid().cell(999, ColName), "あ愛:1~");
    // Progress: 95% at row 1623, then 100%.
    auto& texts = host.progressTexts;
    auto at95 = std::find(texts.begin(), texts.end(), "95%");
    ASSERT_NE(at95, texts.end());
    EXPECT_EQ(*(at95 + 1), "100%");
    EXPECT_EQ(texts.back(), "0%");
    EXPECT_EQ(host.progressMax, 1704);
    EXPECT_EQ(doc->state.busy, Idle);
    EXPECT_GE(host.enableCalls, 1);
    EXPECT_EQ(grid().row(), 1);
}

TEST_P(Links, OneRowCommandsUseTheSelectedRange) {
    fillSample(grid());
    auto oneWrite = [&](int from, int to) {
        clearLog();
        grid().setSelection(from, to);
        EXPECT_EQ(commands->channels.oneMemoryWrite(), TransferOutcome::Success);
        return countLog("W 00C00") == 1;
    };
    EXPECT_TRUE(oneWrite(1400, 1410));
    EXPECT_EQ(mem(0x0C00 + 700, 7)[5], 7);
    EXPECT_TRUE(oneWrite(1600, 1300));
    EXPECT_FALSE(oneWrite(1, 1403));
    EXPECT_FALSE(oneWrite(1504, 1623));
    EXPECT_EQ(record(1102), asBytes(encodeRecord(grid(), 1102)));

    // Rows 20 down to 10 are read in ascending order.
    clearLog();
    grid().setSelection(20, 10);
    ASSERT_EQ(commands->channels.oneMemoryRead(), TransferOutcome::Success);
    std::vector<std::string> reads;
    for (const auto& l : log())
        if (l.find(" R ") != std::string::npos) reads.push_back(l.substr(l.find(" R ") + 3, 5));
    ASSERT_EQ(reads.size(), 11u);
    EXPECT_EQ(reads.front(), hexAddress(addressOfRow(10)));
    EXPECT_EQ(reads.back(), hexAddress(addressOfRow(20)));
    EXPECT_EQ(host.progressMax, 11);

    // A single row reads just that row; its record decodes into it.
    grid().selectRow(2);
    grid().setCell(2, ColName, "changed");
    ASSERT_EQ(commands->channels.oneMemoryRead(), TransferOutcome::Success);
    EXPECT_EQ(grid().cell(2, ColName), "東京:2~");
    EXPECT_EQ(host.progressTexts[host.progressTexts.size() - 2], "100%");
}

TEST_P(Links, IdentificationFailuresTimeoutsAndLateAnswers) {
    line->radio([](emu::Emulator& e) { e.failIdentifications(3); });
    EXPECT_EQ(commands->channels.memoryRead(), TransferOutcome::Error);
    EXPECT_EQ(host.lastText(), "Error");
    EXPECT_EQ(exchanges(), 3u);
    EXPECT_EQ(countLog(" R "), 0);

    connect();
    line->radio([](emu::Emulator& e) { e.failIdentifications(2, FaultKind::Short); });
    fault(4, FaultKind::NoAnswer);  // a timeout, then the row again
    fault(6, FaultKind::Late);      // the late answer is dropped
    grid().setSelection(1, 5);
    EXPECT_EQ(commands->channels.oneMemoryRead(), TransferOutcome::Success);
    // The radio answers in order: until its late answer is out, the retries
    // of that row time out too.
    EXPECT_GE(countLog(" R "), 8);

    // On a line that takes the wire's time, the repeated command's own
    // answer follows a late one; taken for the next command's, it would
    // leave the line one answer behind.
    emu::Emulator::Options late;
    late.lateDelay = std::chrono::milliseconds(timeoutMs * 13 / 10);
    connect(late, true);
    fillSample(grid());
    grid().setSelection(1, 60);
    fault(3, FaultKind::Late);
    EXPECT_EQ(commands->channels.oneMemoryWrite(), TransferOutcome::Success);
    EXPECT_LE(exchanges(), 1u + 60u + 2u);  // the identification, 60 rows, a retry or two
}

TEST_P(Links, PortErrorsEndTheTransfer) {
    line->makeMissing();
    EXPECT_EQ(commands->channels.memoryRead(), TransferOutcome::PortError);
    EXPECT_EQ(host.lastText(), "Port Error");
    EXPECT_EQ(host.messages.back().title, " Error");
    EXPECT_EQ(doc->state.busy, Idle);
    EXPECT_GE(host.enableCalls, 1);

    connect();  // unplugged in the middle of a read
    int polls = 0;
    host.onEvents = [&] {
        if (++polls == 300) line->unplug();
    };
    EXPECT_EQ(commands->channels.memoryRead(), TransferOutcome::PortError);
    EXPECT_EQ(host.lastText(), "Port Error");
    EXPECT_FALSE(line->link().isOpen());
    host.onEvents = nullptr;

    connect();  // a record no table can show ends the read the same way
    poke(addressOfRow(3), Bytes{0x01, 0x40, 0x86, 0xA4, 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    grid().setCell(3, ColName, "kept");
    EXPECT_EQ(commands->channels.memoryRead(), TransferOutcome::PortError);
    EXPECT_EQ(grid().cell(3, ColName), "kept");
}

TEST_P(Links, BusyClosingAndQuietRuns) {
    doc->state.busy = BusyMemoryWrite;
    EXPECT_EQ(commands->channels.memoryRead(), TransferOutcome::Ignored);
    EXPECT_EQ(exchanges(), 0u);
    doc->state.busy = Idle;

    int polls = 0;
    uint64_t atClose = 0;
    host.onEvents = [&] {
        if (++polls == 100) {
            doc->state.closing = true;
            atClose = exchanges();
        }
    };
    EXPECT_EQ(commands->channels.memoryRead(), TransferOutcome::Closed);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(line->link().isOpen());
    EXPECT_LE(exchanges(), atClose + 1);
    EXPECT_EQ(doc->state.busy, Idle);
    host.onEvents = nullptr;
    doc->state.closing = false;

    doc->origin.known = true;  // nothing to ask before the write
    doc->state.quiet = QuietOn;
    EXPECT_EQ(commands->channels.memoryWrite(), TransferOutcome::Success);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(doc->state.quiet, QuietNormal);
}

TEST_P(Links, RandomFaultsNeverGiveWrongData) {
    ChannelGrid source;
    fillSample(source);
    for (double rate : {0.01, 0.10}) {
        for (uint64_t seed : {1u, 2u}) {
            emu::Emulator::Options o;
            o.faultRate = rate;
            o.seed = seed;
            timeoutMs = pty() ? 100 : 10;
            o.lateDelay = std::chrono::milliseconds(timeoutMs * 13 / 10);
            connect(o);
            grid() = source;
            const TransferOutcome wrote = commands->channels.memoryWrite();
            ASSERT_TRUE(wrote == TransferOutcome::Success || wrote == TransferOutcome::Error);
            for (int row = 1; wrote == TransferOutcome::Success && row <= LastRow; ++row)
                ASSERT_EQ(record(row), asBytes(encodeRecord(source, row))) << rate << "/" << seed << "/" << row;

            // Read back a known image through the same faulty line.
            Bytes image(emu::MemorySize, 0);
            for (int row = 1; row <= LastRow; ++row) {
                const Record rec = encodeRecord(source, row);
                std::copy(rec.begin(), rec.end(), image.begin() + addressOfRow(row));
            }
            setMemory(image);
            grid() = ChannelGrid();
            const TransferOutcome read = commands->channels.memoryRead();
            ASSERT_TRUE(read == TransferOutcome::Success || read == TransferOutcome::Error);
            for (int row = 1; read == TransferOutcome::Success && row <= LastRow; ++row)
                ASSERT_EQ(asBytes(encodeRecord(grid(), row)), asBytes(encodeRecord(source, row))) << row;
        }
    }
}

TEST_P(Links, BanksReadFromTheDemoRadioWrittenBackAndKeptOnFailure) {
    demo();
    const auto& want = emu::demoContent();
    ASSERT_EQ(commands->banks.read(), TransferOutcome::Success) << host.lastText();
    for (int b = 0; b < 50; ++b) EXPECT_EQ(doc->banks.size[b], want.bankSizes[std::size_t(b)]) << b;
    EXPECT_TRUE(doc->banks.complete());
    EXPECT_EQ(host.progressTexts.back(), "0%");

    const Bytes before = mem(0x200, 128);
    setMemory(Bytes(emu::MemorySize, 0));
    ASSERT_EQ(commands->banks.write(), TransferOutcome::Success);
    EXPECT_EQ(mem(0x200, 128), before);

    // Identification and the first block pass; the second never answers.
    doc->banks.reset();
    const BankLayout kept = doc->banks;
    const uint64_t next = exchanges() + 1;
    for (uint64_t i = 0; i < 3; ++i) fault(next + 2 + i);
    EXPECT_EQ(commands->banks.read(), TransferOutcome::Error);
    EXPECT_EQ(host.lastText(), "Error");
    EXPECT_EQ(doc->banks.size, kept.size);
    // A size above 1000 is unusable data: nothing changes either.
    poke(0x240, {0x01, 0x04});
    EXPECT_EQ(commands->banks.read(), TransferOutcome::PortError);
    EXPECT_EQ(doc->banks.size, kept.size);
}

TEST_P(Links, GroupsReadWrittenAndKeptOnFailure) {
    demo();
    const auto& want = emu::demoContent();
    ASSERT_EQ(commands->banks.read(), TransferOutcome::Success);
    ASSERT_TRUE(commands->groups.openWindow());
    ASSERT_EQ(commands->groups.read(true), TransferOutcome::Success) << host.lastText();
    EXPECT_EQ(host.messages.back().text, "Success ALL DATA READ");
    EXPECT_EQ(host.messages.back().title, " Finish");
    for (int g = 0; g < GroupCount; ++g)
        for (int b = 0; b < 50; ++b) {
            const auto& m = want.groups[std::size_t(g)];
            EXPECT_EQ(doc->groups.isMember(g, b), std::find(m.begin(), m.end(), b) != m.end()) << g << " " << b;
        }

    // Written to a blank radio: the 0x00 pairs of each record's last byte
    // reach it as the line carries them.
    const Bytes groups = mem(0x100, 0x58);
    setMemory(Bytes(emu::MemorySize, 0xFF));
    ASSERT_EQ(commands->groups.write(), TransferOutcome::Success) << host.lastText();
    EXPECT_EQ(mem(0x100, 0x58), groups);
    EXPECT_EQ(countLog("ignored"), 0);

    // The second area fails three ways: the table stays as it was.
    commands->groups.clear();
    const uint64_t next = exchanges() + 1;
    fault(next + 2, FaultKind::NoAnswer);
    fault(next + 3, FaultKind::Short);
    fault(next + 4, FaultKind::BrokenTail);
    EXPECT_EQ(commands->groups.read(), TransferOutcome::Error);
    EXPECT_EQ(host.lastText(), "Error");
    EXPECT_EQ(doc->groups.member, GroupFlags{});
    EXPECT_FALSE(commands->groups.busy());
    EXPECT_EQ(doc->state.busy, Idle);  // the main window's state is not the window's
}

TEST_P(Links, OneTouchKeysReadWrittenAndKeptOnFailure) {
    demo();
    const auto& want = emu::demoContent();
    ASSERT_EQ(commands->banks.read(), TransferOutcome::Success);
    doc->oneTouch.rebuild(doc->banks);
    ASSERT_EQ(commands->oneTouch.read(), TransferOutcome::Success) << host.lastText();
    for (int k = 0; k < 9; ++k) {
        const auto& w = want.oneTouch[std::size_t(k)];
        const OneTouchKey& key = doc->oneTouch.key(k);
        EXPECT_EQ(key.noSetting, w.bank < 0) << k;
        if (w.bank >= 0) {
            EXPECT_TRUE(key.resolved) << k;
            EXPECT_EQ(std::pair(key.bank, key.channel), std::pair(w.bank, w.channel)) << k;
        }
    }
    const Bytes before = mem(0x180, 27);
    setMemory(Bytes(emu::MemorySize, 0x00));
    ASSERT_EQ(commands->oneTouch.write(), TransferOutcome::Success);
    EXPECT_EQ(mem(0x180, 27), before);

    // Broken answers three times: "Error", and the keys stay as they are.
    commands->oneTouch.reset();
    const uint64_t next = exchanges() + 1;
    for (uint64_t i = 0; i < 3; ++i) fault(next + 1 + i, FaultKind::BrokenTail);
    EXPECT_EQ(commands->oneTouch.read(), TransferOutcome::Error);
    EXPECT_TRUE(doc->oneTouch.key(0).noSetting);
}

TEST_P(Links, SettingsReadFromTheDemoRadioAndWrittenBack) {
    demo();
    const Bytes before = mem(0, emu::MemorySize);
    ASSERT_EQ(commands->settings.read(), TransferOutcome::Success) << host.lastText();
    ASSERT_EQ(host.messages.size(), 1u) << host.lastText();
    EXPECT_EQ(host.lastText(), "Success");
    EXPECT_EQ(host.progressTexts,
              (std::vector<std::string>{"10%", "20%", "35%", "50%", "55%", "65%", "80%", "100%", "0%"}));
    EXPECT_TRUE(doc->setMode.readNotes.empty());
    for (auto [control, p] : std::initializer_list<std::pair<const char*, int>>{
             {"Set_Mode_Sound[4]", 8}, {"Set_Mode_Display[13]", 3}, {"Set_Mode_Display[14]", 0},
             {"Set_Mode_Scan[0]", 5}, {"Set_Mode_Key[6]", 34}, {"Set_Mode_Key[7]", 1},
             {"Set_Mode_Display[2]", 3}, {"Set_Mode_Display[3]", 7}, {"Set_Mode_Toutyou[1]", 2},
             {"Set_Mode_Key[3]", 2}, {"Set_Mode_Display[0]", English}, {"Set_Mode_Mem[0]", 0}})
        EXPECT_EQ(doc->setMode.position(control), p) << control;
    const auto& want = emu::demoContent();
    for (std::size_t m = 0; m < 10; ++m) EXPECT_EQ(doc->dtmf.memories[m], want.dtmf[m]) << m;
    EXPECT_EQ(doc->dtmf.lists,
              (std::array<int, DtmfLists>{want.dtmfWait, want.dtmfHead, want.dtmfBurst, want.dtmfPause, want.dtmfDialCh}));
    EXPECT_FALSE(line->link().isOpen());

    // Written back unchanged, the radio keeps exactly its bytes.
    ASSERT_EQ(commands->settings.write(), TransferOutcome::Success) << host.lastText();
    EXPECT_EQ(mem(0, 146), Bytes(before.begin(), before.begin() + 146));
    EXPECT_EQ(mem(0x1100, 165), Bytes(before.begin() + 0x1100, before.begin() + 0x1100 + 165));

    select("Set_Mode_Sound[5]", 20);
    select("Set_Mode_Key[7]", 50);
    doc->dtmf.memories[7] = "0#";
    ASSERT_EQ(commands->settings.write(), TransferOutcome::Success);
    EXPECT_EQ(mem(3, 1)[0], 20);
    EXPECT_EQ(mem(96, 1)[0], 0x68);
    EXPECT_EQ(mem(0x1173, 3), (Bytes{0x00, 0x0F, 0x11}));
}

// Exchanges of a settings read: the identification, three settings blocks,
// the write-protect byte, DTMF blocks 0 to 2. A write reads the three
// settings blocks first, then writes them and the DTMF blocks.
TEST_P(Links, AFailedDtmfBlockEndsTheSettingsTransfer) {
    demo();
    const std::vector<int> before = doc->setMode.positions;
    for (uint64_t e = 7; e <= 9; ++e) fault(e, FaultKind::BrokenTail);  // DTMF block 1 of the read
    EXPECT_EQ(commands->settings.read(), TransferOutcome::Error);
    EXPECT_EQ(host.lastText(), "Error");
    EXPECT_EQ(doc->setMode.positions, before);
    EXPECT_TRUE(doc->dtmf.memories[0].empty());
    EXPECT_FALSE(commands->runner.busy());
    EXPECT_EQ(doc->state.quiet, QuietFailed);
    // The next read goes through.
    ASSERT_EQ(commands->settings.read(), TransferOutcome::Success);
    EXPECT_EQ(doc->dtmf.memories[0], "0123456789");

    demo();
    select("Set_Mode_Sound[4]", 15);
    doc->dtmf.memories[0] = "999";
    doc->dtmf.memories[5] = "555";
    for (uint64_t e = 9; e <= 11; ++e) fault(e, FaultKind::BrokenTail);  // DTMF block 1 of the write
    EXPECT_EQ(commands->settings.write(), TransferOutcome::Error);
    EXPECT_EQ(host.lastText(), "Error");
    EXPECT_EQ(host.messages.back().title, " Error");
    EXPECT_FALSE(commands->runner.busy());
    EXPECT_EQ(mem(2, 1)[0], 15);                           // the settings stay written
    EXPECT_EQ(mem(0x1103, 4), (Bytes{9, 9, 9, 0x11}));     // so does DTMF block 0
    // A write that arrived with a broken answer is stored all the same; block 2 never went out.
    EXPECT_EQ(mem(0x1173 + 48, 1)[0], 3);
}

// The real port alone: a device that takes no more output fails the write
// rather than leave the bytes queued for later.
TEST(PtyLink, AStuckDeviceFailsTheWrite) {
    test::BarePty stuck;
    ASSERT_FALSE(stuck.path.empty());
    QtSerialLink link;
    link.bindDevice(1, QString::fromStdString(stuck.path));
    link.setSettings(SerialSettings);
    link.open();
    EXPECT_THROW(link.write(Bytes(1 << 20, '0')), PortError);
    EXPECT_FALSE(link.isOpen());
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
