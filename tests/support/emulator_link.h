#pragma once
// A serial link straight into an in-process emulated radio: no device, no
// threads; answers become readable when their delay has passed.
#include <chrono>
#include <deque>
#include <functional>
#include <thread>

#include "emulator/radio_emulator.h"
#include "protocol/serial_link.h"

namespace tqm5::test {

struct EmulatorLink : SerialLink {
    using Clock = std::chrono::steady_clock;
    emu::Emulator radio;
    Bytes input;
    bool opened = false;
    bool openFails = false;     // the device is missing
    int failAfterWrites = -1;   // unplugged after this many commands
    int opens = 0, writes = 0, port = 0;
    std::string settings;
    struct Pending {
        Bytes bytes;
        Clock::time_point due;
    };
    std::deque<Pending> pending;
    std::function<void(const emu::Answer&)> onAnswer;  // sees every answer the radio gives

    explicit EmulatorLink(emu::Emulator::Options o = {}) : radio(o) {}

    void setSettings(const std::string& s) override { settings = s; }
    void setPortNumber(int n) override { port = n; }
    void open() override {
        if (openFails) throw PortError("no such device");
        opened = true;
        ++opens;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    void write(const Bytes& b) override {
        if (!opened) throw PortError("not open");
        if (failAfterWrites >= 0 && writes >= failAfterWrites) throw PortError("device went away");
        ++writes;
        for (const emu::Answer& a : radio.feed(b.data(), b.size())) {
            if (onAnswer) onAnswer(a);
            if (!a.bytes.empty()) pending.push_back({a.bytes, Clock::now() + a.delay});
        }
    }
    void deliver() {
        while (!pending.empty() && pending.front().due <= Clock::now()) {
            input.insert(input.end(), pending.front().bytes.begin(), pending.front().bytes.end());
            pending.pop_front();
        }
    }
    int bytesAvailable() override {
        deliver();
        return static_cast<int>(input.size());
    }
    Bytes readAll() override {
        deliver();
        Bytes out;
        out.swap(input);
        return out;
    }
    void clearInput() override {
        deliver();
        input.clear();
    }
    void waitForInput(int ms) override {
        auto until = Clock::now() + std::chrono::milliseconds(ms);
        if (!pending.empty() && pending.front().due < until) until = pending.front().due;
        std::this_thread::sleep_until(until);
    }
    uint8_t mem(uint32_t a) const { return radio.memory().at(a); }
};

}  // namespace tqm5::test
