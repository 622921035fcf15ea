#pragma once
// The three exchanges of the clone protocol (identification, read block,
// write block) and the response wait with its deadline.
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "protocol/serial_link.h"

namespace tqm5 {

class Host;
struct TransferState;

// The main window is closing: the transfer is abandoned at once.
class TransferClosed : public std::exception {
public:
    const char* what() const noexcept override { return "transfer abandoned: window closing"; }
};

// The user stopped the transfer: it ends at once, as a failed run ends.
class TransferStopped : public std::exception {
public:
    const char* what() const noexcept override { return "transfer stopped by the user"; }
};

std::string hexAddress(uint32_t address);  // five uppercase digits
Bytes identificationCommand();             // "QK~TQ-M5EG" CR
Bytes readCommand(uint32_t address);
// `nulBytes`: data bytes that go on the line as two 0x00 bytes in place of
// their two hexadecimal digits (the radio takes the unused last byte of
// every bank-link group that way).
Bytes writeCommand(uint32_t address, const Bytes& data, const std::vector<int>& nulBytes = {});

class CloneProtocol {
public:
    CloneProtocol(SerialLink& link, Host& host, const TransferState& state, int portNumber,
                  int timeoutMs = 1000);

    // One attempt each. A port error throws PortError; a closing window
    // throws TransferClosed, a stop TransferStopped. A rejected or late answer returns failure.
    bool identify();
    std::optional<Bytes> readBlock(uint32_t address, int length);
    bool writeBlock(uint32_t address, const Bytes& data, const std::vector<int>& nulBytes = {});

    // Applies the settings and the port number (done before every command).
    void configure();
    // Opening a serial device costs milliseconds (lock file, line set-up), so
    // a transfer keeps the port open from its first command to its end and
    // closes it then (endSession). Every command still starts from an empty
    // input buffer, so nothing of an earlier answer reaches the next one.
    // With keepOpen false the port is closed after every answer.
    bool keepOpen = true;
    void endSession();

private:
    void send(const Bytes& command);
    // After a failed exchange an answer may still be on its way: a late
    // one, or the answer to a repeated command whose late first answer was
    // taken for its own. Reads and drops what comes until the line has been
    // quiet a while, so such an answer is never read as the next command's
    // (which would leave every later exchange one answer behind).
    void settle();
    // The last exchange failed: settle before the next command.
    bool unsettled_ = false;
    template <typename T>
    T noted(T result) {
        unsettled_ = !result;
        return result;
    }
    // Fills `received_` with every waiting byte once `count` are buffered;
    // leaves it empty after the deadline or when the window closes.
    void waitFor(std::size_t count);
    void checkClosing() const;

    SerialLink& link_;
    Host& host_;
    const TransferState& state_;
    int port_;
    std::chrono::milliseconds timeout_;
    std::chrono::steady_clock::time_point deadline_{};
    Bytes received_;
};

}  // namespace tqm5
