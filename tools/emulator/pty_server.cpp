#include "emulator/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace tqm5::emu {
namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

speed_t speedOf(int baud) {
    switch (baud) {
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 115200: return B115200;
        default: return B57600;
    }
}

timespec toTimespec(Clock::duration d) {
    if (d < Clock::duration::zero()) d = Clock::duration::zero();
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

}  // namespace

PtyServer::PtyServer(const Emulator::Options& emulator, const Options& options)
    : options_(options), emulator_(emulator) {
    const int baud = options_.baud > 0 ? options_.baud : 57600;
    byteTime_ = std::chrono::nanoseconds(10LL * 1000000000LL / baud);
    try {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0) fail("posix_openpt");
        if (::grantpt(master_) != 0) fail("grantpt");
        if (::unlockpt(master_) != 0) fail("unlockpt");
        char name[PATH_MAX];
        if (int e = ::ptsname_r(master_, name, sizeof name); e != 0) {
            errno = e;
            fail("ptsname_r");
        }
        slavePath_ = name;

        // Our own slave descriptor: while it is open the master never sees
        // a hang-up, whatever clients do.
        slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0) fail("open " + slavePath_);
        termios t{};
        if (::tcgetattr(slave_, &t) != 0) fail("tcgetattr");
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, speedOf(baud));
        ::cfsetospeed(&t, speedOf(baud));
        if (::tcsetattr(slave_, TCSANOW, &t) != 0) fail("tcsetattr");

        int flags = ::fcntl(master_, F_GETFL);
        if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) fail("fcntl");
        if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) fail("pipe2");

        // Clients opening and closing the device wake the thread, which keeps
        // count (see drainWatch). Set up before the path is published, so
        // that no client is missed.
        if (options_.dropWhileClosed) {
            watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            if (watch_ >= 0 && ::inotify_add_watch(watch_, name, IN_OPEN | IN_CLOSE) < 0) {
                ::close(watch_);
                watch_ = -1;
            }
        }

        if (!options_.linkPath.empty()) {
            struct stat st {};
            if (::lstat(options_.linkPath.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
                errno = EEXIST;
                fail(options_.linkPath + " exists and is not a symbolic link");
            }
            // Made beside it and renamed over it: the link never goes missing
            // for a client that is looking at it.
            const std::string temp = options_.linkPath + ".tmp" + std::to_string(::getpid());
            ::unlink(temp.c_str());
            if (::symlink(slavePath_.c_str(), temp.c_str()) != 0) fail("symlink " + temp);
            if (::rename(temp.c_str(), options_.linkPath.c_str()) != 0) {
                int e = errno;
                ::unlink(temp.c_str());
                errno = e;
                fail("rename " + options_.linkPath);
            }
        }
    } catch (...) {
        closeAll();
        throw;
    }
}

PtyServer::~PtyServer() {
    stop();
    if (!options_.linkPath.empty()) {
        // Only our own link: another emulator may have taken the name over.
        char target[PATH_MAX];
        ssize_t n = ::readlink(options_.linkPath.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == slavePath_)
            ::unlink(options_.linkPath.c_str());
    }
    closeAll();
}

void PtyServer::closeAll() {
    for (int* fd : {&master_, &slave_, &watch_, &wake_[0], &wake_[1]}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void PtyServer::start() {
    if (thread_.joinable()) return;
    stopping_ = false;
    char drain[16];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
    thread_ = std::thread([this] { run(); });
}

void PtyServer::stop() {
    if (!thread_.joinable()) return;
    stopping_ = true;
    const char c = 'x';
    [[maybe_unused]] ssize_t n = ::write(wake_[1], &c, 1);
    thread_.join();
}

// --- access from other threads --------------------------------------------------

Bytes PtyServer::memory() const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto& m = emulator_.memory().bytes();
    return Bytes(m.begin(), m.end());
}

Bytes PtyServer::readMemory(uint32_t address, std::size_t length) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return emulator_.memory().read(address, length);
}

void PtyServer::setMemory(const Bytes& image) {
    std::lock_guard<std::mutex> lock(mutex_);
    emulator_.memory().assign(image);
}

void PtyServer::loadImage(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    emulator_.memory().load(path);
}

void PtyServer::saveImage(const std::string& path) const {
    std::lock_guard<std::mutex> lock(mutex_);
    emulator_.memory().save(path);
}

std::vector<std::string> PtyServer::log() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return {emulator_.log().begin(), emulator_.log().end()};
}

EmulatorStats PtyServer::stats() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return emulator_.stats();
}

// --- the thread -------------------------------------------------------------------

void PtyServer::run() {
    while (!stopping_) {
        pollfd fds[3] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}, {watch_, POLLIN, 0}};
        if (::poll(fds, watch_ >= 0 ? 3 : 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (watch_ >= 0 && fds[2].revents) drainWatch();
        if (fds[0].revents & POLLIN) {
            readMaster();
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            // Only while our slave descriptor is closed: an exclusive client
            // kept us out. Get back in, and never spin on it.
            reopenSlave();
            if (slave_ < 0 && !waitUntil(Clock::now() + std::chrono::milliseconds(20))) return;
        }
    }
}

void PtyServer::drainWatch() {
    std::vector<uint32_t> events;
    alignas(inotify_event) char buf[4096];
    for (;;) {
        const ssize_t n = ::read(watch_, buf, sizeof buf);
        if (n <= 0) break;
        for (char* p = buf; p < buf + n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(p);
            events.push_back(e->mask);
            p += sizeof(inotify_event) + e->len;
        }
    }
    // The count is exact for clients that take turns. The kernel merges
    // identical events in a row, so clients that overlap can make it too
    // low; then the device itself is asked (probeClients) before an answer
    // is thrown away, and at worst bytes a still-open client had not yet
    // read are discarded with the queue.
    bool lost = false;
    for (uint32_t mask : events) {
        if (mask & IN_Q_OVERFLOW) {
            lost = true;
        } else if (mask & IN_OPEN) {
            ++clients_;
        } else if ((mask & IN_CLOSE) && --clients_ <= 0) {
            clients_ = 0;
            ::tcflush(slave_, TCIFLUSH);
            ++lastCloses_;
        }
    }
    if (lost) probeClients();
}

// Whether a client has the device open, asked of the device itself. Our
// own slave descriptor hides that from the master, so it is closed for the
// moment of the test: the master reports a hang-up exactly when no slave
// descriptor is left. When nobody is there, whatever is still queued for
// the slave is discarded, as a real port loses it.
bool PtyServer::probeClients() {
    if (!options_.dropWhileClosed) return true;
    // A client holding the device exclusively (as serial libraries do) is
    // there, and we might not get back in after closing.
    int exclusive = 0;
    bool present;
    if (slave_ >= 0 && ::ioctl(slave_, TIOCGEXCL, &exclusive) == 0 && exclusive) {
        present = true;
    } else {
        if (slave_ >= 0) ::close(slave_);
        slave_ = -1;
        pollfd p{master_, POLLIN, 0};
        ::poll(&p, 1, 0);
        present = !(p.revents & POLLHUP);
        reopenSlave();
        if (slave_ < 0)
            present = true;  // refused: an exclusive client came in meanwhile
        else if (!present) {
            ::tcflush(slave_, TCIFLUSH);
            ++lastCloses_;
        }
        // Our own close and open are in the watch now; they are no news.
        if (watch_ >= 0) {
            alignas(inotify_event) char buf[4096];
            while (::read(watch_, buf, sizeof buf) > 0) {
            }
        }
    }
    clients_ = present ? std::max(clients_, 1) : 0;
    return present;
}

bool PtyServer::clientPresent() {
    if (!options_.dropWhileClosed) return true;
    if (watch_ >= 0 && clients_ > 0) return true;
    return probeClients();
}

void PtyServer::reopenSlave() {
    if (slave_ >= 0) return;
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
}

void PtyServer::keepRaw() {
    if (slave_ < 0) return;
    // A client that switches echo on would make the line discipline hand
    // our own answers back to us as commands, an endless ping-pong. The
    // radio's line never echoes; keep it that way.
    termios t{};
    if (::tcgetattr(slave_, &t) == 0 && (t.c_lflag & ECHO)) {
        t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
}

void PtyServer::readMaster() {
    uint8_t buf[4096];
    ssize_t n = ::read(master_, buf, sizeof buf);
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) return;
        reopenSlave();  // EIO: no slave descriptor left at all
        waitUntil(Clock::now() + std::chrono::milliseconds(20));
        return;
    }
    if (n == 0) return;
    const auto arrived = Clock::now();
    keepRaw();
    std::vector<Answer> answers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answers = emulator_.feed(buf, static_cast<std::size_t>(n));
    }
    for (const Answer& a : answers) {
        if (stopping_) return;
        auto start = arrived;
        if (options_.wireTiming) {
            start = std::max(arrived + byteTime_ * static_cast<long>(a.commandLength), lastEnd_);
        }
        deliver(a, start + a.delay);
    }
}

void PtyServer::deliver(const Answer& a, Clock::time_point start) {
    if (a.bytes.empty()) return;
    if (!waitUntil(start)) return;
    const std::size_t total = a.bytes.size();
    if (!clientPresent()) {
        ++dropped_;
        return;
    }
    const auto schedule = handOverSchedule(total, options_.wireTiming ? byteTime_ : std::chrono::nanoseconds(0),
                                           options_.pieceBytes, options_.latency);
    // Absolute deadlines keep the total right however late the scheduler
    // wakes us: every hand-over that is due by then goes out in one write.
    std::size_t sent = 0, next = 0;
    while (next < schedule.size()) {
        if (!waitUntil(start + schedule[next].at)) return;
        const auto now = Clock::now();
        std::size_t due = sent;
        while (next < schedule.size() && start + schedule[next].at <= now) due += schedule[next++].bytes;
        if (!clientPresent()) {  // the client went away during the answer
            ++dropped_;
            break;
        }
        // Noted before the last write, so a client woken by it never finds
        // the previous answer's time here.
        if (due == total) lastHandOver_ = Clock::now().time_since_epoch().count();
        if (!writeOut(a.bytes.data() + sent, due - sent)) return;
        sent = due;
    }
    lastEnd_ = std::max(Clock::now(), start + (schedule.empty() ? Clock::duration(0) : schedule.back().at));
}

std::vector<HandOver> handOverSchedule(std::size_t total, std::chrono::nanoseconds byteTime,
                                       std::size_t pieceBytes, std::chrono::nanoseconds latency) {
    const std::size_t piece = std::max<std::size_t>(pieceBytes, 1);
    const auto arrival = [&](std::size_t count) { return byteTime * static_cast<long>(count); };
    std::vector<HandOver> out;
    std::size_t sent = 0;
    while (sent < total) {
        const std::size_t end = std::min(sent + piece, total);
        const auto timer = arrival(sent + 1) + latency;
        if (latency.count() <= 0 || (end - sent == piece && arrival(end) <= timer)) {
            out.push_back({arrival(end), end - sent});  // the piece filled
            sent = end;
            continue;
        }
        // The latency timer fires first: what has come in by then goes.
        std::size_t in = byteTime.count() > 0 ? static_cast<std::size_t>(timer / byteTime) : total;
        in = std::clamp(in, sent + 1, end);
        out.push_back({timer, in - sent});
        sent = in;
    }
    return out;
}

bool PtyServer::writeOut(const uint8_t* data, std::size_t length) {
    while (length > 0) {
        ssize_t n = ::write(master_, data, length);
        if (n > 0) {
            data += n;
            length -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        // The pseudo-terminal is full (nobody reads): wait for room, stop()
        // or the last client closing, which flushes it.
        pollfd fds[3] = {{master_, POLLOUT, 0}, {wake_[0], POLLIN, 0}, {watch_, POLLIN, 0}};
        if (::poll(fds, watch_ >= 0 ? 3 : 2, 100) < 0 && errno != EINTR) return false;
        if (fds[1].revents || stopping_) return false;
        if (watch_ >= 0 && fds[2].revents) drainWatch();
        if (!clientPresent()) {
            ++dropped_;
            return true;
        }
    }
    return true;
}

bool PtyServer::waitUntil(Clock::time_point deadline) {
    for (;;) {
        if (stopping_) return false;
        const auto now = Clock::now();
        if (now >= deadline) return true;
        pollfd fds[2] = {{wake_[0], POLLIN, 0}, {watch_, POLLIN, 0}};
        const timespec ts = toTimespec(deadline - now);
        if (::ppoll(fds, watch_ >= 0 ? 2 : 1, &ts, nullptr) < 0 && errno != EINTR) return false;
        if (fds[0].revents) return false;
        if (watch_ >= 0 && fds[1].revents) drainWatch();
    }
}

}  // namespace tqm5::emu
