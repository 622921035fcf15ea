#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "emulator/pty_server.h"
#include "emulator_client.h"

using namespace tqm5::emu;
using namespace emutest;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

PtyServer::Options withLink(const std::string& link) {
    PtyServer::Options o;
    o.linkPath = link;
    return o;
}

template <class Pred>
bool eventually(Pred pred) {
    for (const auto end = Clock::now() + 2s; Clock::now() < end;) {
        if (pred()) return true;
        std::this_thread::sleep_for(2ms);
    }
    return pred();
}

}  // namespace

TEST(PtyServer, AnswersOverTheSlaveDevice) {
    PtyServer server;
    server.start();
    Client client(server.devicePath());
    ASSERT_TRUE(client.isOpen());
    EXPECT_EQ(textOf(client.exchange(identify(), 17)), IdAnswer);
    const Bytes data = {0x00, 0x5A, 0xA5, 0xFF, 0x12};
    EXPECT_EQ(client.exchange(writeCommand(0x01200, data), 27).size(), 27u);
    EXPECT_EQ(textOf(client.exchange(readCommand(0x01200), 143)).substr(13, 10), "005AA5FF12");
    EXPECT_EQ(server.readMemory(0x1200, 5), data);

    // The image is shared with the thread under the lock.
    server.setMemory(Bytes(MemorySize, 0x3C));
    EXPECT_EQ(textOf(client.exchange(readCommand(0x1FFC0), 143)).substr(13, 4), "3C3C");
    EXPECT_EQ(server.stats().exchanges, 4u);
    EXPECT_EQ(server.log().at(1), "2 W 01200 5");

    // A client that switches echo on must not have the line hand our
    // answers back to us as new commands.
    termios t{};
    ASSERT_EQ(::tcgetattr(client.fd(), &t), 0);
    t.c_lflag |= ECHO;
    ASSERT_EQ(::tcsetattr(client.fd(), TCSANOW, &t), 0);
    EXPECT_EQ(textOf(client.exchange(identify(), 17)), IdAnswer);
    EXPECT_TRUE(client.receive(1, 100ms).empty());
    EXPECT_EQ(server.stats().exchanges, 5u);
    server.stop();
    server.stop();  // twice is harmless
}

TEST(PtyServer, ClientsComeAndGoThroughTheLink) {
    TempDir dir;
    const std::string link = (dir.path / "radio").string();
    fs::create_symlink("/nonexistent", link);  // stale link of an earlier run
    {
        PtyServer server(Emulator::Options{}, withLink(link));
        EXPECT_EQ(fs::read_symlink(link), server.slavePath());
        server.start();
        for (int i = 0; i < 20; ++i) {
            Client client(i % 2 ? link : server.slavePath());
            EXPECT_EQ(textOf(client.exchange(identify(), 17)), IdAnswer) << i;
        }
        // The client that stays keeps getting answers when another leaves.
        Client stays(link);
        {
            Client leaves(link);
            EXPECT_EQ(textOf(leaves.exchange(identify(), 17)), IdAnswer);
        }
        EXPECT_EQ(textOf(stays.exchange(identify(), 17)), IdAnswer);
        EXPECT_EQ(server.answersDropped(), 0u);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "link removed on exit";

    // Something that is not a link is never replaced.
    std::ofstream(link) << "keep me";
    EXPECT_THROW(PtyServer(Emulator::Options{}, withLink(link)),
                 std::system_error);
    EXPECT_EQ(fs::file_size(link), 7u);
}

TEST(PtyServer, AnswersNobodyWaitsForAreLost) {
    PtyServer server;
    {
        Client gone(server.slavePath());
        gone.send(identify());
        gone.send(readCommand(0));
    }  // closed before the radio even listens
    server.start();
    ASSERT_TRUE(eventually([&] { return server.answersDropped() == 2; }));

    // An answer a client left unread is gone once it closes, as on a real
    // port: the next client does not find it in front of its own.
    const uint64_t closes = server.lastCloses();
    {
        Client left(server.slavePath());
        left.send(identify());
        pollfd p{left.fd(), POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 2000), 1);
    }
    ASSERT_TRUE(eventually([&] { return server.lastCloses() > closes; }));
    Client next(server.slavePath());
    EXPECT_EQ(textOf(next.exchange(identify(), 17)), IdAnswer);
    EXPECT_TRUE(next.receive(1, 100ms).empty());
}

TEST(PtyServer, LateAnswersAndStopping) {
    PtyServer server;
    server.withEmulator([](Emulator& e) { e.failNext(1, FaultKind::Late); });
    server.start();
    Client client(server.slavePath());
    client.send(identify());
    EXPECT_TRUE(client.receive(17, 1000ms).empty());
    EXPECT_EQ(textOf(client.receive(17, 2000ms)), IdAnswer);

    // stop() does not sit out an answer that is due much later.
    Emulator::Options patient;
    patient.lateDelay = std::chrono::seconds(30);
    PtyServer slow(patient);
    slow.withEmulator([](Emulator& e) { e.failNext(1, FaultKind::Late); });
    slow.start();
    Client waiting(slow.slavePath());
    waiting.send(identify());
    ASSERT_TRUE(eventually([&] { return slow.stats().exchanges == 1; }));
    const auto before = Clock::now();
    slow.stop();
    EXPECT_LT(Clock::now() - before, 10s);
    EXPECT_TRUE(waiting.receive(1, 50ms).empty());
}

TEST(PtyServer, WireTimingTakesTheLinesTime) {
    PtyServer::Options paced;
    paced.wireTiming = true;
    PtyServer server(Emulator::Options{}, paced);
    server.start();
    Client client(server.slavePath());
    const auto start = Clock::now();
    for (uint32_t i = 0; i < 4; ++i)
        ASSERT_EQ(textOf(client.exchange(readCommand(0x1200 + 64 * i), 143)).substr(141), "\r\n");
    // (11 + 143) bytes of 10 bits at 57600 baud per exchange, at the least.
    EXPECT_GE(Clock::now() - start, std::chrono::microseconds(4 * 154 * 10 * 1000000LL / 57600));
}

TEST(PtyServer, HandOverSchedules) {
    using std::chrono::microseconds;
    using std::chrono::nanoseconds;
    const nanoseconds bt(173611);  // one byte at 57600 baud
    struct Case {
        std::size_t total, piece;
        nanoseconds byteTime, latency;
        std::vector<std::size_t> sizes;
    };
    const Case cases[] = {
        {5, 1, bt, {}, {1, 1, 1, 1, 1}},
        {143, 64, bt, {}, {64, 64, 15}},
        {17, 16, bt, {}, {16, 1}},
        {143, 64, {}, {}, {64, 64, 15}},                        // no wire timing
        {40, 16, bt, std::chrono::milliseconds(2), {12, 12, 12, 4}},  // the timer beats a full piece
        {40, 16, bt, std::chrono::milliseconds(5), {16, 16, 8}},      // pieces fill first
        {20, 16, {}, std::chrono::milliseconds(3), {16, 4}},
    };
    for (const Case& c : cases) {
        const auto plan = handOverSchedule(c.total, c.byteTime, c.piece, c.latency);
        std::vector<std::size_t> sizes;
        std::size_t sum = 0;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            sizes.push_back(plan[i].bytes);
            sum += plan[i].bytes;
            // Never before its last byte came off the line, never out of order.
            EXPECT_GE(plan[i].at, c.byteTime * long(sum)) << c.total << "/" << c.piece << " #" << i;
            if (i > 0) {
                EXPECT_GE(plan[i].at, plan[i - 1].at);
            }
        }
        EXPECT_EQ(sizes, c.sizes) << c.total << "/" << c.piece << "/" << c.latency.count();
        if (c.latency.count() == 0) {
            EXPECT_EQ(plan.back().at, c.byteTime * long(c.total));
        } else {
            EXPECT_LE(plan.back().at, c.byteTime * long(c.total) + c.latency);  // held at most the timer
        }
    }
}

TEST(PtyServer, AnswersArriveInPieces) {
    PtyServer::Options o;
    o.wireTiming = true;
    o.pieceBytes = 64;
    PtyServer server(Emulator::Options{}, o);
    server.start();
    Client client(server.slavePath());
    client.send(readCommand(0x1200));
    // A read takes what the hand-overs so far brought: the pieces are 64,
    // 64 and 15 bytes (a slow reader may find two together), never a part.
    std::vector<std::size_t> pieces;  // bytes in after each read
    std::size_t got = 0;
    while (got < 143) {
        pollfd p{client.fd(), POLLIN, 0};
        if (::poll(&p, 1, 2000) != 1) break;
        uint8_t buf[256];
        const ssize_t n = ::read(client.fd(), buf, sizeof buf);
        if (n <= 0) break;
        got += std::size_t(n);
        pieces.push_back(got);
    }
    EXPECT_EQ(got, 143u);
    for (std::size_t upTo : pieces) EXPECT_TRUE(upTo == 64 || upTo == 128 || upTo == 143) << upTo;
    EXPECT_LE(server.lastHandOver(), Clock::now());
}
