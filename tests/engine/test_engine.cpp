// The transfer engine on a scripted radio: budgets, the outcomes and their
// messages, quiet runs, a closing window and a failing port mid-plan.
#include <gtest/gtest.h>

#include <map>

#include "engine/session.h"
#include "protocol/clone_protocol.h"
#include "support/recording_host.h"
#include "support/scripted_link.h"

using namespace tqm5;
using namespace tqm5::engine;

namespace {

struct Rig {
    test::ScriptedLink link;
    test::RecordingHost host;
    TransferState state;
    int resets = 0, resumed = 0;
    std::map<uint32_t, int> failuresLeft;  // address -> answers to spoil
    Environment env{link, host, state, 1, 20, [this] { ++resets; state.busy = Idle; }, [this] { ++resumed; }};

    Rig() {
        link.answer = [this](const Bytes& cmd) -> Bytes {
            if (cmd == identificationCommand()) return test::identificationAnswer(cmd);
            const uint32_t address = std::stoul(std::string(cmd.begin() + 4, cmd.begin() + 9), nullptr, 16);
            Bytes a = cmd[9] == 'W' ? test::okAnswer(cmd) : test::readAnswer(cmd, Bytes(4, uint8_t(address)));
            if (failuresLeft[address] > 0) {
                --failuresLeft[address];
                a.back() = 'X';  // a broken tail: rejected at once
                a[a.size() - 4] = 'N';
            }
            return a;
        };
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (const auto& m : host.messages) out.push_back(m.text + "|" + m.title);
        return out;
    }
};

Block writeBlock(uint32_t address, int budget) {
    Block b;
    b.kind = Block::Kind::Write;
    b.address = address;
    b.budget = budget;
    b.encode = [] { return Bytes{1, 2, 3}; };
    return b;
}

// Blocks A and B share budget 0 (3 failures); C has budget 1 (2 failures).
Plan sharedBudgetPlan() {
    Plan p;
    p.budgets = {3, 2};
    p.blocks = {writeBlock(0xA0, 0), writeBlock(0xB0, 0), writeBlock(0xC0, 1)};
    return p;
}

}  // namespace

TEST(Engine, BudgetsAreSharedOnlyByTheBlocksThatNameThem) {
    struct Case {
        int failA, failB, failC;
        Outcome outcome;
        int writes;        // write commands sent
        int perBlock = 0;  // the environment's attempts per block
    } cases[] = {
        {0, 0, 0, Outcome::Success, 3},
        {1, 1, 1, Outcome::Success, 6},   // 2 of 3 shared, 1 of 2 for C
        {2, 0, 1, Outcome::Success, 6},
        {2, 1, 0, Outcome::Error, 4},     // the third shared failure ends the run; C never sent
        {0, 0, 2, Outcome::Error, 4},     // C's own budget
        {0, 2, 1, Outcome::Success, 6},   // C's budget untouched by B's failures
        {3, 0, 0, Outcome::Error, 3},
        // Attempts of each block's own instead: failures elsewhere never add up.
        {2, 2, 2, Outcome::Success, 9, 3},
        {0, 2, 3, Outcome::Error, 7, 3},
        {0, 3, 0, Outcome::Error, 4, 3},
    };
    for (const Case& c : cases) {
        Rig r;
        r.failuresLeft = {{0xA0, c.failA}, {0xB0, c.failB}, {0xC0, c.failC}};
        r.env.attemptsPerBlock = c.perBlock;
        EXPECT_EQ(run(sharedBudgetPlan(), r.env), c.outcome) << c.failA << c.failB << c.failC;
        EXPECT_EQ(r.link.countSent('W'), c.writes) << c.failA << c.failB << c.failC;
        EXPECT_EQ(r.resets, 1);
        EXPECT_EQ(r.state.busy, int(Idle));
        EXPECT_FALSE(r.link.isOpen());
        EXPECT_EQ(r.shown(), std::vector<std::string>{c.outcome == Outcome::Success ? "Success| Finish" : "Error| Error"});
    }
}

// A write is encoded once, or before every attempt when what it comes from
// may change while it is retried.
TEST(Engine, EncodingOnceOrAtEveryAttempt) {
    for (const bool eachAttempt : {false, true}) {
        Rig r;
        r.failuresLeft = {{0xA0, 2}};
        int encoded = 0;
        Plan plan;
        plan.budgets = {3};
        Block b = writeBlock(0xA0, 0);
        b.encode = [&encoded] { return Bytes{uint8_t(++encoded)}; };
        b.encodeEachAttempt = eachAttempt;
        plan.blocks = {b};
        EXPECT_EQ(run(plan, r.env), Outcome::Success);
        EXPECT_EQ(encoded, eachAttempt ? 3 : 1);
        std::vector<Bytes> writes;
        for (const Bytes& c : r.link.sent)
            if (c.size() > 9 && c[9] == 'W') writes.push_back(c);
        ASSERT_EQ(writes.size(), 3u);
        EXPECT_EQ(writes.front() != writes.back(), eachAttempt);
    }
}

TEST(Engine, IdentificationAttemptsAndReadDecoding) {
    Rig r;
    r.link.answer = [](const Bytes& cmd) { return Bytes(cmd.begin(), cmd.end()); };  // never "OK"
    Plan p = sharedBudgetPlan();
    EXPECT_EQ(run(p, r.env), Outcome::Error);
    EXPECT_EQ(r.link.sent.size(), 3u);  // three identifications, no block
    EXPECT_EQ(r.state.quiet, int(QuietFailed));

    // No identification when the plan says so; read data reaches decode,
    // and progress shows before and after each block.
    Rig s;
    Plan q;
    q.identifyAttempts = 0;
    q.budgets = {1};
    std::vector<Bytes> got;
    for (uint32_t a : {0x10u, 0x20u}) {
        Block b;
        b.address = a;
        b.length = 4;
        b.before = {int(a), -1};
        b.after = {-1, int(a)};
        b.decode = [&got](const Bytes& d) {
            got.push_back(d);
            return true;
        };
        q.blocks.push_back(b);
    }
    EXPECT_EQ(run(q, s.env), Outcome::Success);
    EXPECT_EQ(s.link.sent.front(), readCommand(0x10));
    EXPECT_EQ(got, (std::vector<Bytes>{Bytes(4, 0x10), Bytes(4, 0x20)}));
    EXPECT_EQ(s.host.progressTexts, (std::vector<std::string>{"16%", "32%", "100%"}));
}

// The bar's scale is set from 0 as the run starts, or only once the radio
// identified itself; a block may set a scale of its own.
TEST(Engine, ProgressScaleAtTheStartOrOnceIdentified) {
    for (bool onceIdentified : {false, true}) {
        Rig r;
        r.link.answer = [](const Bytes& cmd) { return Bytes(cmd.begin(), cmd.end()); };  // never "OK"
        Plan p = sharedBudgetPlan();
        p.progressMax = 50;
        p.progressOnceIdentified = onceIdentified;
        EXPECT_EQ(run(p, r.env), Outcome::Error);
        EXPECT_EQ(r.host.progressMax, onceIdentified ? 0 : 50);
    }
    Rig s;
    Plan q = sharedBudgetPlan();
    q.progressMax = 1704;
    q.progressOnceIdentified = true;
    q.blocks[2].before = {0, -1, 100};
    q.done = {100};
    EXPECT_EQ(run(q, s.env), Outcome::Success);
    EXPECT_EQ(s.host.progressMax, 100);
    EXPECT_EQ(s.host.progressValues, (std::vector<int>{0, 0, 100, 0}));
}

TEST(Engine, UnusableDataEndsLikeAPortError) {
    Rig r;
    Plan p;
    p.budgets = {5};
    Block bad;
    bad.length = 4;
    bad.decode = [](const Bytes&) { return false; };
    p.blocks = {bad, writeBlock(0x50, 0)};
    EXPECT_EQ(run(p, r.env), Outcome::PortError);
    EXPECT_EQ(r.link.countSent('W'), 0);
    EXPECT_EQ(r.shown(), std::vector<std::string>{"Port Error| Error"});
}

TEST(Engine, QuietRunsShowOnlyFailuresAndAFailureSilencesNothingLater) {
    Rig r;
    EXPECT_EQ(runQuietly(sharedBudgetPlan(), r.env), Outcome::Success);
    EXPECT_TRUE(r.shown().empty());
    EXPECT_EQ(r.state.quiet, int(QuietNormal));

    r.failuresLeft[0xC0] = 2;
    EXPECT_EQ(runQuietly(sharedBudgetPlan(), r.env), Outcome::Error);
    EXPECT_EQ(r.shown(), std::vector<std::string>{"Error| Error"});
    EXPECT_EQ(r.state.quiet, int(QuietFailed));

    // A standalone transfer after a failure still says it succeeded.
    EXPECT_EQ(run(sharedBudgetPlan(), r.env), Outcome::Success);
    EXPECT_EQ(r.shown().back(), "Success| Finish");
    EXPECT_EQ(r.state.quiet, int(QuietNormal));
}

TEST(Engine, BusyClosingAndPortErrorMidPlan) {
    {
        Rig r;
        r.state.busy = BusyMemoryWrite;
        EXPECT_EQ(run(sharedBudgetPlan(), r.env), Outcome::Ignored);
        EXPECT_TRUE(r.link.sent.empty());
        EXPECT_EQ(r.resets, 0);
    }
    {
        // The window closes during the second block's wait.
        Rig r;
        r.host.onEvents = [&r] {
            if (r.link.countSent('W') == 2) r.state.closing = true;
        };
        EXPECT_EQ(run(sharedBudgetPlan(), r.env), Outcome::Closed);
        EXPECT_EQ(r.link.countSent('W'), 2);
        EXPECT_TRUE(r.shown().empty());
        EXPECT_FALSE(r.link.isOpen());
        EXPECT_EQ(r.state.busy, int(Idle));
        EXPECT_EQ(r.resets, 0);  // the closing window ran it
    }
    {
        Rig r;
        r.link.failOnWrite = 2;  // identification, block A, then the port goes
        EXPECT_EQ(run(sharedBudgetPlan(), r.env), Outcome::PortError);
        EXPECT_EQ(r.shown(), std::vector<std::string>{"Port Error| Error"});
        EXPECT_EQ(r.resets, 1);
        EXPECT_EQ(r.state.busy, int(Idle));
        EXPECT_EQ(r.state.quiet, int(QuietFailed));
        EXPECT_FALSE(r.link.isOpen());
    }
}
