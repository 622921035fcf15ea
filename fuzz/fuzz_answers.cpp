// Arbitrary bytes as the radio's answer to each of the three commands. The
// acceptance checks must agree with the rules of the wire, checked here a
// second time in plain terms:
//  - an accepted answer has exactly the awaited length and starts with the
//    command as it was sent;
//  - identification and write answers carry "OK" right after the echo and
//    the two bytes that follow it;
//  - accepted read data, written out again as uppercase hex digits, is
//    exactly the digits of the answer, and the answer ends in CR LF;
//  - every answer that meets these rules is accepted.
//
// Input: byte 0 picks the exchange (bits 0-1: 0 identification, 1 read, 2
// and 3 write) and whether the answer is the command followed by the rest
// of the input (bit 2) or the rest alone; bytes 1 to 3 the address (masked
// to 0x1FFFF); byte 4 the block length (1 + value % 64); for a write the
// next L bytes are the data. What follows is the answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "protocol/answers.h"
#include "protocol/clone_protocol.h"

using namespace tqm5;

namespace {

constexpr std::size_t HeaderSize = 5;
constexpr char Digits[] = "0123456789ABCDEF";

[[noreturn]] void broken(const char* what, const Bytes& command, const Bytes& answer) {
    std::fprintf(stderr, "answers: %s\n  command (%zu):", what, command.size());
    for (uint8_t b : command) std::fprintf(stderr, " %02X", b);
    std::fprintf(stderr, "\n  answer (%zu):", answer.size());
    for (uint8_t b : answer) std::fprintf(stderr, " %02X", b);
    std::fprintf(stderr, "\n");
    std::abort();
}

bool startsWith(const Bytes& answer, const Bytes& command) {
    if (answer.size() < command.size()) return false;
    for (std::size_t i = 0; i < command.size(); ++i)
        if (answer[i] != command[i]) return false;
    return true;
}

bool isUpperHex(uint8_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

Bytes hexOf(const Bytes& data) {
    Bytes out;
    for (uint8_t b : data) {
        out.push_back(static_cast<uint8_t>(Digits[b >> 4]));
        out.push_back(static_cast<uint8_t>(Digits[b & 0x0F]));
    }
    return out;
}

// "QK~F", the five address digits, then `op`.
void checkPrefix(const Bytes& command, uint32_t address, char op) {
    const Bytes start = {'Q', 'K', '~', 'F'};
    if (!startsWith(command, start) || command[9] != op) broken("command framing", command, {});
    uint32_t parsed = 0;
    for (int i = 4; i < 9; ++i) {
        if (!isUpperHex(command[i])) broken("address digit not uppercase hex", command, {});
        parsed = parsed << 4 | static_cast<uint32_t>(command[i] <= '9' ? command[i] - '0' : command[i] - 'A' + 10);
    }
    if (parsed != address) broken("address digits do not give the address back", command, {});
}

void checkIdentification(const Bytes& answer) {
    const Bytes cmd = identificationCommand();
    const std::string expected = "QK~TQ-M5EG\r";
    if (cmd != Bytes(expected.begin(), expected.end())) broken("identification command", cmd, {});
    const bool accepted = identificationAccepted(answer, cmd);
    const bool rule = answer.size() == IdentificationAnswerLength && startsWith(answer, cmd) && answer[13] == 'O' &&
                      answer[14] == 'K';
    if (accepted && !rule) broken("identification answer accepted against the rules", cmd, answer);
    if (!accepted && rule) broken("identification answer refused though it meets the rules", cmd, answer);
}

void checkRead(uint32_t address, std::size_t length, const Bytes& answer) {
    const Bytes cmd = readCommand(address);
    if (cmd.size() != 11 || cmd.back() != '\r') broken("read command length", cmd, {});
    checkPrefix(cmd, address, 'R');

    const std::optional<Bytes> data = readAnswerData(answer, cmd, length);
    const std::size_t n = 2 * length + 15;
    bool rule = answer.size() == n && startsWith(answer, cmd) && answer[n - 2] == '\r' && answer[n - 1] == '\n';
    for (std::size_t i = 13; rule && i < 13 + 2 * length; ++i) rule = isUpperHex(answer[i]);
    if (!data) {
        if (rule) broken("read answer refused though it meets the rules", cmd, answer);
        return;
    }
    if (!rule) broken("read answer accepted against the rules", cmd, answer);
    if (data->size() != length) broken("read data of the wrong length", cmd, answer);
    const Bytes digits = hexOf(*data);
    if (!std::equal(digits.begin(), digits.end(), answer.begin() + 13))
        broken("read data does not re-encode to the digits of the answer", cmd, answer);
}

void checkWrite(uint32_t address, const Bytes& block, const Bytes& answer) {
    const Bytes cmd = writeCommand(address, block);
    if (cmd.size() != 2 * block.size() + 11 || cmd.back() != '\r') broken("write command length", cmd, {});
    checkPrefix(cmd, address, 'W');
    const Bytes digits = hexOf(block);
    if (!std::equal(digits.begin(), digits.end(), cmd.begin() + 10)) broken("write command data digits", cmd, {});

    const bool accepted = writeAccepted(answer, cmd, block.size());
    const std::size_t n = 2 * block.size() + 17;
    const bool rule = answer.size() == n && startsWith(answer, cmd) && answer[n - 4] == 'O' && answer[n - 3] == 'K';
    if (accepted && !rule) broken("write answer accepted against the rules", cmd, answer);
    if (!accepted && rule) broken("write answer refused though it meets the rules", cmd, answer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < HeaderSize) return 0;
    const int kind = std::min(data[0] & 0x03, 2);
    const bool echoFirst = (data[0] & 0x04) != 0;
    const uint32_t address = (uint32_t(data[1]) << 16 | uint32_t(data[2]) << 8 | data[3]) & 0x1FFFF;
    const std::size_t length = 1 + data[4] % 64;
    std::size_t at = HeaderSize;

    Bytes block;
    if (kind == 2) {
        const std::size_t take = std::min(length, size - at);
        block.assign(data + at, data + at + take);
        block.resize(length, 0);
        at += take;
    }
    const Bytes command = kind == 0 ? identificationCommand() : kind == 1 ? readCommand(address)
                                                                          : writeCommand(address, block);
    Bytes answer;
    if (echoFirst) answer = command;
    answer.insert(answer.end(), data + at, data + size);

    switch (kind) {
        case 0: checkIdentification(answer); break;
        case 1: checkRead(address, length, answer); break;
        default: checkWrite(address, block, answer); break;
    }
    return 0;
}
