#include "protocol/clone_protocol.h"

#include <algorithm>
#include <thread>

#include "base/hex.h"
#include "protocol/answers.h"
#include "protocol/host.h"
#include "protocol/transfer_state.h"

namespace tqm5 {
namespace {

// The window is never left without events for longer than this.
constexpr std::chrono::milliseconds kEventsEvery{8};
// Time one byte needs on the line: 10 bits at 57600 baud.
constexpr std::chrono::nanoseconds kByteTime{10LL * 1000000000LL / 57600};
// A nap ends this long before the answer could be complete at the earliest,
// which covers a sender running a little behind the line's pace and a sleep
// that overruns.
constexpr std::chrono::microseconds kNapMargin{1000};
// After a failed exchange the line counts as quiet once nothing came for
// this long: longer than the gaps inside an answer (an adapter's latency
// timer holds a piece up to 16 ms) and than a 64-byte answer's line time.
constexpr std::chrono::milliseconds kQuietAfterFailure{50};

void appendHexByte(Bytes& out, uint8_t v) {
    for (char c : hexText(v, 2)) out.push_back(static_cast<uint8_t>(c));
}

Bytes prefixed(uint32_t address, char op) {
    Bytes cmd = {'Q', 'K', '~', 'F'};
    for (char c : hexAddress(address)) cmd.push_back(static_cast<uint8_t>(c));
    cmd.push_back(static_cast<uint8_t>(op));
    return cmd;
}

// The radio echoes the command first; an answer that does not is someone
// else's (a late answer, line noise) and is never used.
bool echoes(const Bytes& response, const Bytes& command) {
    return response.size() >= command.size() && std::equal(command.begin(), command.end(), response.begin());
}

}  // namespace

std::string hexAddress(uint32_t a) { return hexText(a & 0xFFFFF, 5); }

Bytes identificationCommand() {
    const std::string s = "QK~TQ-M5EG\r";
    return Bytes(s.begin(), s.end());
}

Bytes readCommand(uint32_t address) {
    Bytes cmd = prefixed(address, 'R');
    cmd.push_back('\r');
    return cmd;
}

Bytes writeCommand(uint32_t address, const Bytes& data, const std::vector<int>& nulBytes) {
    Bytes cmd = prefixed(address, 'W');
    const std::size_t dataAt = cmd.size();
    for (uint8_t b : data) appendHexByte(cmd, b);
    for (int i : nulBytes) {
        if (i < 0 || static_cast<std::size_t>(i) >= data.size()) continue;
        cmd[dataAt + 2 * static_cast<std::size_t>(i)] = 0x00;
        cmd[dataAt + 2 * static_cast<std::size_t>(i) + 1] = 0x00;
    }
    cmd.push_back('\r');
    return cmd;
}

CloneProtocol::CloneProtocol(SerialLink& link, Host& host, const TransferState& state, int portNumber,
                             int timeoutMs)
    : link_(link), host_(host), state_(state), port_(portNumber), timeout_(timeoutMs) {}

void CloneProtocol::configure() {
    link_.setSettings(SerialSettings);
    link_.setPortNumber(port_);
}

void CloneProtocol::send(const Bytes& command) {
    configure();
    if (!link_.isOpen()) link_.open();
    if (unsettled_) settle();
    // Whatever is still buffered belongs to an earlier, abandoned answer.
    link_.clearInput();
    deadline_ = std::chrono::steady_clock::now() + timeout_;
    link_.write(command);
}

void CloneProtocol::settle() {
    using Clock = std::chrono::steady_clock;
    unsettled_ = false;
    const auto quiet = std::min<Clock::duration>(kQuietAfterFailure, timeout_);
    const auto start = Clock::now(), end = start + timeout_;
    auto lastByte = start;
    for (auto now = start; now < end && now - lastByte < quiet; now = Clock::now()) {
        if (state_.closing) return;
        if (link_.bytesAvailable() > 0) {
            link_.readAll();
            lastByte = Clock::now();
            continue;
        }
        host_.processEvents();
        const auto wait = std::min<Clock::duration>({lastByte + quiet - now, end - now, kEventsEvery});
        link_.waitForInput(static_cast<int>(std::max<long long>(std::chrono::ceil<std::chrono::milliseconds>(wait).count(), 1)));
    }
}

void CloneProtocol::endSession() {
    if (link_.isOpen()) link_.close();
}

void CloneProtocol::checkClosing() const {
    if (state_.closing) throw TransferClosed();
    if (state_.stopping) throw TransferStopped();
}

// Bytes reach the port one by one or in pieces (USB adapters hand them over
// in packets, some after a latency timer). Waking for every byte would cost
// a good part of a core at 57600 baud; sleeping by guesswork overshoots the
// answer's end. So the wait naps only while the answer cannot be complete
// yet, and otherwise blocks in the link until input arrives, which returns as
// soon as the last piece is there.
//
// When the answer can be complete at the earliest, once bytes are seen to
// come at the line's pace:
// - the command (at least 11 bytes) and the whole answer have to cross the
//   line after the command was sent;
// - the answer started no later than its first bytes were seen, less their
//   line time, and the rest needs the line's time after that. A sender that
//   falls behind catches up with its own clock, so its first hand-over still
//   tells where the answer started.
void CloneProtocol::waitFor(std::size_t count) {
    using Clock = std::chrono::steady_clock;
    constexpr std::size_t kShortestCommand = 11;
    const auto sentAt = deadline_ - timeout_;
    auto earliestEnd = sentAt + kByteTime * static_cast<long>(kShortestCommand + count);
    received_.clear();
    host_.processEvents();
    bool begun = false;
    for (;;) {
        if (state_.abandoning()) return;
        if (static_cast<std::size_t>(link_.bytesAvailable()) >= count) {
            received_ = link_.readAll();
            if (!keepOpen) link_.close();
            host_.processEvents();
            return;
        }
        host_.processEvents();
        if (state_.abandoning()) return;
        const auto now = Clock::now();
        if (now >= deadline_) {
            // The timer fired: a late answer is read and thrown away.
            if (link_.isOpen()) {
                link_.readAll();
                if (!keepOpen) link_.close();
            }
            return;
        }
        const std::size_t have = static_cast<std::size_t>(link_.bytesAvailable());
        if (have >= count) continue;
        // A link faster than the line (a pseudo-terminal without a baud
        // rate) is simply waited on: naps only once what has come fits the
        // line's pace.
        const bool paced = have > 0 && kByteTime * static_cast<long>(have + kShortestCommand) <=
                                           now - sentAt + kByteTime * 2;
        if (paced && !begun) {
            begun = true;
            earliestEnd = std::max(earliestEnd, now + kByteTime * static_cast<long>(count - have));
        }
        const auto nap = std::min<Clock::duration>({earliestEnd - kNapMargin - now, kEventsEvery, deadline_ - now});
        if (paced && nap >= std::chrono::milliseconds(1)) {
            std::this_thread::sleep_for(nap);
            continue;
        }
        const auto wait = std::min<Clock::duration>(deadline_ - now, kEventsEvery);
        link_.waitForInput(static_cast<int>(std::max<long long>(std::chrono::ceil<std::chrono::milliseconds>(wait).count(), 1)));
    }
}

bool CloneProtocol::identify() {
    const Bytes cmd = identificationCommand();
    send(cmd);
    waitFor(IdentificationAnswerLength);
    checkClosing();
    return noted(identificationAccepted(received_, cmd));
}

std::optional<Bytes> CloneProtocol::readBlock(uint32_t address, int length) {
    const Bytes cmd = readCommand(address);
    send(cmd);
    waitFor(readAnswerLength(static_cast<std::size_t>(length)));
    checkClosing();
    return noted(readAnswerData(received_, cmd, static_cast<std::size_t>(length)));
}

bool CloneProtocol::writeBlock(uint32_t address, const Bytes& data, const std::vector<int>& nulBytes) {
    // The radio echoes the line as it went, 0x00 bytes included.
    const Bytes cmd = writeCommand(address, data, nulBytes);
    send(cmd);
    waitFor(writeAnswerLength(data.size()));
    checkClosing();
    return noted(writeAccepted(received_, cmd, data.size()));
}

bool identificationAccepted(const Bytes& r, const Bytes& cmd) {
    return r.size() == IdentificationAnswerLength && echoes(r, cmd) && r[13] == 'O' && r[14] == 'K';
}

std::optional<Bytes> readAnswerData(const Bytes& r, const Bytes& cmd, std::size_t length) {
    const std::size_t n = readAnswerLength(length);
    if (r.size() != n || !echoes(r, cmd) || r[n - 2] != '\r' || r[n - 1] != '\n') return std::nullopt;
    Bytes data(length);
    for (std::size_t k = 0; k < length; ++k) {
        const char digits[2] = {static_cast<char>(r[13 + 2 * k]), static_cast<char>(r[14 + 2 * k])};
        const std::optional<uint32_t> v = parseHex(std::string_view(digits, 2));
        if (!v) return std::nullopt;  // garbled digits are never decoded
        data[k] = static_cast<uint8_t>(*v);
    }
    return data;
}

bool writeAccepted(const Bytes& r, const Bytes& cmd, std::size_t dataBytes) {
    const std::size_t n = writeAnswerLength(dataBytes);
    return r.size() == n && echoes(r, cmd) && r[n - 4] == 'O' && r[n - 3] == 'K';
}

}  // namespace tqm5
