#pragma once
// The acceptance tests of the three answers, as pure functions of the bytes
// received and the command that was sent. Every answer starts with the
// command echoed back; one that does not belongs to someone else (a late
// answer to another address, line noise) and is refused.
#include <cstddef>
#include <optional>

#include "protocol/serial_link.h"

namespace tqm5 {

constexpr std::size_t IdentificationAnswerLength = 17;
constexpr std::size_t readAnswerLength(std::size_t dataBytes) { return 2 * dataBytes + 15; }
constexpr std::size_t writeAnswerLength(std::size_t dataBytes) { return 2 * dataBytes + 17; }

// Exactly 17 bytes, the command echoed, "OK" at 13 and 14.
bool identificationAccepted(const Bytes& answer, const Bytes& command);
// Exactly 2L + 15 bytes, the command echoed, CR LF at the end and 2L valid
// hex digits from position 13: the L data bytes. Anything else: nullopt.
std::optional<Bytes> readAnswerData(const Bytes& answer, const Bytes& command, std::size_t length);
// Exactly 2L + 17 bytes, the command echoed, "OK" at 2L + 13 and 2L + 14.
bool writeAccepted(const Bytes& answer, const Bytes& command, std::size_t dataBytes);

}  // namespace tqm5
