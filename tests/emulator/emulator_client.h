#pragma once
// What the emulator's tests share: command builders and a bare serial
// client on plain open(), termios, write() and poll(), nothing of the
// program's own serial code.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace emutest {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

inline Bytes bytesOf(std::string_view s) { return Bytes(s.begin(), s.end()); }
inline std::string textOf(const Bytes& b) { return std::string(b.begin(), b.end()); }
inline Bytes identify() { return bytesOf("QK~TQ-M5EG\r"); }
inline const std::string IdAnswer = "QK~TQ-M5EG\r  OK\r\n";

inline std::string hexOf(const Bytes& data) {
    std::string s;
    char d[3];
    for (uint8_t b : data) s.append(d, std::snprintf(d, sizeof d, "%02X", b));
    return s;
}
inline Bytes readCommand(uint32_t address) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "QK~F%05XR\r", address);
    return bytesOf(buf);
}
inline Bytes writeCommand(uint32_t address, const Bytes& data) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "QK~F%05XW", address);
    return bytesOf(buf + hexOf(data) + "\r");
}

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        std::string t = (std::filesystem::temp_directory_path() / "tqm5emu-XXXXXX").string();
        path = ::mkdtemp(t.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

class Client {
public:
    explicit Client(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &t) == 0) {
            ::cfmakeraw(&t);
            ::cfsetspeed(&t, B57600);
            ::tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Client() { close(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    void send(const Bytes& b) { (void)!::write(fd_, b.data(), b.size()); }

    // What arrives until `count` bytes are in or `timeout` runs out; never
    // more than `count`.
    Bytes receive(std::size_t count, std::chrono::milliseconds timeout = 2000ms) {
        Bytes out;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (out.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() < 0 || ::poll(&p, 1, int(left.count()) + 1) <= 0) break;
            uint8_t buf[512];
            const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, count - out.size()));
            if (n <= 0) break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }
    Bytes exchange(const Bytes& command, std::size_t answerLength) {
        send(command);
        return receive(answerLength);
    }

private:
    int fd_ = -1;
};

}  // namespace emutest
