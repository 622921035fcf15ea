#pragma once
// The pure wire time of the exchanges an emulator logged, at 57600 baud.
#include <sstream>
#include <string>

namespace tqm5::bench {

constexpr double ByteSeconds = 10.0 / 57600.0;

// Bytes on the line for one logged exchange: the command and its answer.
// Reads always answer 64 bytes.
inline double wireSecondsOf(const std::string& line) {
    std::istringstream in(line);
    std::string n, kind, address;
    int length = 0;
    in >> n >> kind >> address >> length;
    if (kind == "ID") return (11 + 17) * ByteSeconds;
    if (kind == "R") return (11 + 143) * ByteSeconds;
    if (kind == "W") return ((2 * length + 11) + (2 * length + 17)) * ByteSeconds;
    return 0;
}

}  // namespace tqm5::bench
