#pragma once
// A serial link whose radio is a script: every command written gets the
// answer `answer` makes of it, at once. For tests of the transfer engine.
#include <functional>
#include <string>

#include "protocol/serial_link.h"

namespace tqm5::test {

// Well-formed answers to the three exchanges.
inline Bytes okAnswer(const Bytes& command) {
    Bytes a = command;
    for (char c : std::string("\r\nOK\r\n")) a.push_back(static_cast<uint8_t>(c));
    return a;
}
inline Bytes identificationAnswer(const Bytes& command) {
    Bytes a = command;  // 11 bytes, then two, then "OK" at 13 and 14, then two
    for (char c : std::string("\r\nOK\r\n")) a.push_back(static_cast<uint8_t>(c));
    return a;
}
inline Bytes readAnswer(const Bytes& command, const Bytes& data) {
    static const char hex[] = "0123456789ABCDEF";
    Bytes a = command;
    a.push_back('\r');
    a.push_back('\n');
    for (uint8_t b : data) {
        a.push_back(static_cast<uint8_t>(hex[b >> 4]));
        a.push_back(static_cast<uint8_t>(hex[b & 15]));
    }
    a.push_back('\r');
    a.push_back('\n');
    return a;
}

struct ScriptedLink : SerialLink {
    // Returns the answer to one command; empty for silence.
    std::function<Bytes(const Bytes& command)> answer;
    std::vector<Bytes> sent;
    int failOnWrite = -1;  // the port fails at this write (0-based)
    bool opened = false;
    Bytes input;

    void setSettings(const std::string&) override {}
    void setPortNumber(int) override {}
    void open() override { opened = true; }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    void write(const Bytes& b) override {
        if (static_cast<int>(sent.size()) == failOnWrite) throw PortError("gone");
        sent.push_back(b);
        if (answer) input = answer(b);
    }
    int bytesAvailable() override { return static_cast<int>(input.size()); }
    Bytes readAll() override {
        Bytes out;
        out.swap(input);
        return out;
    }
    void clearInput() override { input.clear(); }
    void waitForInput(int) override {}
    int countSent(char op) const {
        int n = 0;
        for (const Bytes& b : sent) n += b.size() > 9 && b[9] == op;
        return n;
    }
};

}  // namespace tqm5::test
