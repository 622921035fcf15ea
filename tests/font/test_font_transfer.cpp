// The font window's transfer state machine on scripted events: the radio is
// the emulator in-process, the window a recorder of the machine's outputs.
#include <gtest/gtest.h>

#include "emulator/demo_image.h"
#include "emulator/radio_emulator.h"
#include "font/font_transfer.h"

using namespace tqm5;

namespace {

struct Window : FontTransferOutput {
    std::vector<Bytes> commands;
    std::vector<std::string> messages;  // "text|title"
    bool portOpen = false, timer = false, controls = true, highlight = true, closed = false;
    bool portFails = false, answer = true;
    int asked = 0, progress = 0, expected = 0;
    std::vector<int> selected, repainted;

    void openPort() override {
        if (portFails) throw PortError("no such port");
        portOpen = true;
    }
    void closePort() override { portOpen = false; }
    void send(const Bytes& c) override {
        ASSERT_TRUE(portOpen);
        ASSERT_TRUE(timer);
        commands.push_back(c);
    }
    void expectReply(int n) override { expected = n; }
    void startTimer() override { timer = true; }
    void stopTimer() override { timer = false; }
    void message(const std::string& t, const std::string& title) override { messages.push_back(t + "|" + title); }
    bool ask(const std::string&) override { return ++asked, answer; }
    void setProgress(int p) override { progress = p; }
    void setControlsEnabled(bool on) override { controls = on; }
    void setGridHighlight(bool on) override { highlight = on; }
    void glyphChanged(int g) override { repainted.push_back(g); }
    void selectGlyph(int g) override { selected.push_back(g); }
    void closeWindow() override { closed = true; }
    std::string last() const { return std::string(commands.back().begin(), commands.back().end()); }
};

struct Rig {
    emu::Emulator radio;
    Window window;
    GlyphSet glyphs;
    FontTransfer machine;
    explicit Rig(bool readAllMode = false) : machine(glyphs, window, readAllMode) {
        radio.memory().assign(emu::demoImage());
    }
    // One exchange: the command leaves, then the radio answers or stays silent.
    void exchange() {
        machine.sent();
        const Bytes answer = radio.transact(window.commands.back());
        if (answer.empty()) machine.timerTick();
        else machine.received(answer);
    }
    void run() {
        for (int guard = 0; !machine.idle() && guard < 500; ++guard) exchange();
    }
    std::string last() const { return window.last(); }
    int count(char op) const {
        int n = 0;
        for (const Bytes& c : window.commands) n += c.size() > 9 && c[9] == op;
        return n;
    }
};

const std::string Finish = "| Finish";
const std::string ErrorTitle = "| Error";

GlyphSet demoGlyphs() {
    GlyphSet s;
    const Bytes image = emu::demoImage();
    for (int g = 0; g < GlyphCount; ++g) {
        const auto at = image.begin() + radio::glyphAddress(g);
        s.decode(g, Bytes(at, at + 32));
    }
    return s;
}

}  // namespace

TEST(FontTransfer, ReadOneGlyphWalksItsStates) {
    Rig r;
    ASSERT_TRUE(r.machine.start(FontSequence::Read, 2));
    EXPECT_EQ(r.machine.state(), FontTransfer::ReadIdentify);
    EXPECT_FALSE(r.window.controls);
    EXPECT_EQ(r.last(), "QK~TQ-M5EG\r");
    EXPECT_FALSE(r.machine.start(FontSequence::Write, 2));  // one sequence at a time
    r.machine.sent();
    EXPECT_EQ(r.machine.state(), 13);
    EXPECT_EQ(r.window.expected, 17);
    r.machine.received(r.radio.transact(r.window.commands.back()));
    EXPECT_EQ(r.machine.state(), FontTransfer::ReadGlyph);
    EXPECT_EQ(r.window.progress, 50);
    EXPECT_EQ(r.last(), "QK~F01040R\r");  // glyph "3"
    r.machine.sent();
    EXPECT_EQ(r.machine.state(), 14);
    EXPECT_EQ(r.window.expected, 143);  // a read always answers with 64 bytes
    r.machine.received(r.radio.transact(r.window.commands.back()));
    EXPECT_TRUE(r.machine.idle());
    EXPECT_EQ(r.window.messages, std::vector<std::string>{"Success Font Read" + Finish});
    EXPECT_TRUE(r.window.controls);
    EXPECT_FALSE(r.window.portOpen);
    EXPECT_FALSE(r.window.timer);
    EXPECT_EQ(r.window.repainted, std::vector<int>{2});
    const GlyphSet demo = demoGlyphs();
    EXPECT_EQ(r.glyphs.encode(2), demo.encode(2));
    EXPECT_TRUE(r.glyphs.known(2));
    EXPECT_FALSE(r.glyphs.known(1));
    EXPECT_EQ(r.machine.outcome(), FontTransfer::Outcome::Success);
}

TEST(FontTransfer, WriteOneGlyphAndAllEight) {
    Rig r;
    r.glyphs = demoGlyphs();
    r.glyphs.setRect(7, 0, 0, 15, 15, true);
    r.radio.memory().write(0x01000, Bytes(256, 0));
    ASSERT_TRUE(r.machine.start(FontSequence::Write, 7));
    r.run();
    EXPECT_EQ(r.window.messages, std::vector<std::string>{"Success Font Write" + Finish});
    ASSERT_EQ(r.window.commands.back().size(), 75u);
    EXPECT_EQ(r.last().substr(0, 10), "QK~F010E0W");
    EXPECT_EQ(r.radio.memory().read(0x010E0, 32), Bytes(32, 0xFF));
    EXPECT_EQ(r.radio.memory().read(0x01000, 32), Bytes(32, 0));

    r.window.messages.clear();
    ASSERT_TRUE(r.machine.start(FontSequence::WriteAll, 0));
    r.run();
    EXPECT_EQ(r.window.messages, std::vector<std::string>{"All Font Data Write" + Finish});
    for (int g = 0; g < GlyphCount; ++g) EXPECT_EQ(r.radio.memory().read(radio::glyphAddress(g), 32), r.glyphs.encode(g));
    EXPECT_EQ(r.count('W'), 1 + 8);
    EXPECT_TRUE(r.window.controls);
}

TEST(FontTransfer, ReadAllFillsEveryGlyphAndRepaintsGlyphOne) {
    Rig r;
    ASSERT_TRUE(r.machine.start(FontSequence::ReadAll, 5));
    std::vector<int> progress;
    for (int guard = 0; !r.machine.idle() && guard < 50; ++guard) {
        r.exchange();
        progress.push_back(r.window.progress);
    }
    EXPECT_TRUE(demoGlyphs() == r.glyphs);
    EXPECT_EQ(r.window.messages, std::vector<std::string>{"All Font Data Read" + Finish});
    EXPECT_EQ(r.window.selected, (std::vector<int>{1, 0}));
    EXPECT_EQ(r.count('R'), 8);
    EXPECT_EQ(progress, (std::vector<int>{0, 50, 67, 75, 80, 84, 86, 88, 88}));  // the bar stays
}

TEST(FontTransfer, RefusedAnswersGiveTheirOwnErrors) {
    // "O" + "k" instead of "OK" is no acceptance.
    auto brokenOk = [](Bytes a) {
        a[a.size() - 3] = 'k';
        return a;
    };
    struct Case { FontSequence seq; bool identify; std::string text; };
    for (const Case& c : {Case{FontSequence::Write, true, "Font Data Error\u3000COM_TYPE \uFF11\uFF11"},
                          Case{FontSequence::Read, true, "Font Data Error\u3000COM_TYPE \uFF11\uFF13"},
                          Case{FontSequence::WriteAll, true, "Font Data Error\u3000COM_TYPE \uFF11\uFF11"},
                          Case{FontSequence::ReadAll, true, "Font Data Error\u3000COM_TYPE \uFF11\uFF11"},
                          Case{FontSequence::Write, false, "Font Data Error\u3000COM_TYPE \uFF11\uFF12"},
                          Case{FontSequence::WriteAll, false, "Font Data Error\u3000COM_TYPE \uFF11\uFF12"}}) {
        Rig r;
        r.glyphs.clearAll();
        ASSERT_TRUE(r.machine.start(c.seq, 0));
        if (!c.identify) r.exchange();
        r.machine.sent();
        Bytes answer = r.radio.transact(r.window.commands.back());
        ASSERT_EQ(std::string(answer.end() - 4, answer.end() - 2), "OK");
        r.machine.received(brokenOk(answer));
        EXPECT_TRUE(r.machine.idle());
        EXPECT_EQ(r.window.messages, std::vector<std::string>{c.text + ErrorTitle});
        EXPECT_TRUE(r.window.controls);
        EXPECT_FALSE(r.window.portOpen);
        EXPECT_FALSE(r.window.timer);
        EXPECT_EQ(r.machine.outcome(), FontTransfer::Outcome::Failed);
    }
}

TEST(FontTransfer, TwentyFirstTimeoutInARowIsComError) {
    Rig r;
    r.radio.failNext(1000);
    ASSERT_TRUE(r.machine.start(FontSequence::Read, 0));
    for (int tick = 1; tick <= 20; ++tick) {
        // Every timeout, awaiting the sent notification or the reply, resends the identification.
        if (tick % 2) r.machine.sent();
        r.machine.timerTick();
        ASSERT_EQ(r.machine.state(), FontTransfer::ReadIdentify) << tick;
        ASSERT_EQ(r.machine.timeouts(), tick);
        ASSERT_TRUE(r.window.messages.empty());
    }
    EXPECT_EQ(r.window.commands.size(), 21u);
    r.machine.timerTick();
    EXPECT_TRUE(r.machine.idle());
    EXPECT_EQ(r.machine.timeouts(), 0);
    EXPECT_EQ(r.window.messages, std::vector<std::string>{"Com Error" + ErrorTitle});
    EXPECT_TRUE(r.window.controls);
    EXPECT_FALSE(r.window.highlight);
    EXPECT_FALSE(r.window.portOpen);
    r.machine.timerTick();  // a late tick does nothing
    EXPECT_EQ(r.window.commands.size(), 21u);
}

TEST(FontTransfer, OneGlyphTimeoutsAddUpWhileAllEightStartAfresh) {
    Rig r;
    r.radio.failNext(15);
    ASSERT_TRUE(r.machine.start(FontSequence::Read, 0));
    r.run();
    EXPECT_EQ(r.machine.timeouts(), 15);
    EXPECT_EQ(r.window.messages.back(), "Success Font Read" + Finish);
    // Six more in the next one-glyph read make the 21st.
    r.radio.failNext(6);
    ASSERT_TRUE(r.machine.start(FontSequence::Read, 0));
    r.run();
    EXPECT_EQ(r.window.messages.back(), "Com Error" + ErrorTitle);

    r.radio.failNext(15);
    ASSERT_TRUE(r.machine.start(FontSequence::Read, 0));
    r.run();
    ASSERT_EQ(r.machine.timeouts(), 15);
    r.radio.failNext(15);
    ASSERT_TRUE(r.machine.start(FontSequence::ReadAll, 0));  // starts from 0
    r.run();
    EXPECT_EQ(r.window.messages.back(), "All Font Data Read" + Finish);
    EXPECT_EQ(r.machine.timeouts(), 15);
}

TEST(FontTransfer, TimeoutInReadAllRestartsFromTheIdentification) {
    Rig r;
    ASSERT_TRUE(r.machine.start(FontSequence::ReadAll, 0));
    for (int i = 0; i < 4; ++i) r.exchange();  // identification, glyphs 0 to 2
    ASSERT_EQ(r.last(), "QK~F01060R\r");
    r.machine.sent();
    r.machine.timerTick();  // glyph 3 unanswered
    EXPECT_EQ(r.machine.state(), FontTransfer::ReadAllIdentify);
    EXPECT_EQ(r.last(), "QK~TQ-M5EG\r");
    r.exchange();
    EXPECT_EQ(r.last(), "QK~F01000R\r");
    r.run();
    EXPECT_EQ(r.count('R'), 4 + 8);
    EXPECT_TRUE(demoGlyphs() == r.glyphs);
}

TEST(FontTransfer, TimeoutInWriteAllResendsTheGlyph) {
    Rig r;
    r.glyphs = demoGlyphs();
    r.radio.memory().write(0x01000, Bytes(256, 0));
    ASSERT_TRUE(r.machine.start(FontSequence::WriteAll, 0));
    for (int i = 0; i < 3; ++i) r.exchange();  // identification, glyphs 0 and 1
    ASSERT_EQ(r.last().substr(0, 10), "QK~F01040W");
    r.machine.sent();
    r.machine.timerTick();
    EXPECT_EQ(r.last().substr(0, 10), "QK~F01040W");  // the counter steps back onto the glyph in flight
    r.run();
    EXPECT_EQ(r.window.messages, std::vector<std::string>{"All Font Data Write" + Finish});
    for (int g = 0; g < GlyphCount; ++g) EXPECT_EQ(r.radio.memory().read(radio::glyphAddress(g), 32), r.glyphs.encode(g));
}

TEST(FontTransfer, UnusableGlyphAnswersAreFailedExchanges) {
    // A stray byte, a CR among the digits, a lower-case digit: none of them
    // may reach the glyph or be called a success.
    auto stray = [](Bytes a) { return a.insert(a.begin() + 20, 'F'), a.pop_back(), a; };
    auto extra = [](Bytes a) { return a.push_back('0'), a; };
    auto cr = [](Bytes a) { return a[30] = '\r', a; };
    auto lower = [](Bytes a) { return a[13] = 'a', a; };
    for (auto spoil : {+stray, +extra, +cr, +lower}) {
        Rig r;
        GlyphSet before;
        before.setPixel(1, 1, 1, true);
        r.glyphs = before;
        ASSERT_TRUE(r.machine.start(FontSequence::Read, 1));
        r.exchange();
        r.machine.sent();
        r.machine.received(spoil(r.radio.transact(r.window.commands.back())));
        EXPECT_EQ(r.machine.state(), FontTransfer::ReadGlyph);  // sent again
        EXPECT_EQ(r.machine.timeouts(), 1);
        EXPECT_TRUE(r.glyphs == before);
        EXPECT_TRUE(r.window.messages.empty());
        r.run();
        EXPECT_EQ(r.glyphs.encode(1), demoGlyphs().encode(1));
    }
}

TEST(FontTransfer, ReadAllModeEndsSilentlyAndClosesTheWindow) {
    Rig r(true);
    ASSERT_TRUE(r.machine.start(FontSequence::ReadAll, 0));
    r.run();
    EXPECT_TRUE(r.window.messages.empty());
    EXPECT_TRUE(r.window.closed);
    EXPECT_TRUE(demoGlyphs() == r.glyphs);

    Rig silent(true);
    silent.radio.failNext(1000);
    ASSERT_TRUE(silent.machine.start(FontSequence::ReadAll, 0));
    silent.run();
    EXPECT_EQ(silent.window.messages, std::vector<std::string>{"Com Error" + ErrorTitle});
    EXPECT_TRUE(silent.window.closed);
    EXPECT_EQ(silent.machine.outcome(), FontTransfer::Outcome::Failed);
}

TEST(FontTransfer, PortErrorAndUnknownGlyphs) {
    Rig r;
    r.window.portFails = true;
    EXPECT_TRUE(r.machine.start(FontSequence::Read, 0));
    EXPECT_TRUE(r.machine.idle());
    EXPECT_EQ(r.window.messages, std::vector<std::string>{"Port Error" + ErrorTitle});
    EXPECT_TRUE(r.window.controls);
    EXPECT_FALSE(r.window.timer);

    // Blanks that never came from the radio, a file or the user: asked first.
    Rig w;
    w.window.answer = false;
    EXPECT_FALSE(w.machine.start(FontSequence::WriteAll, 0));
    EXPECT_FALSE(w.machine.start(FontSequence::Write, 3));
    EXPECT_EQ(w.window.asked, 2);
    EXPECT_TRUE(w.window.commands.empty());
    w.glyphs.clearGlyph(3);
    EXPECT_TRUE(w.machine.start(FontSequence::Write, 3));
    EXPECT_EQ(w.window.asked, 2);
}
