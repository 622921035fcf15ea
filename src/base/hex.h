#pragma once
// Hexadecimal text as this program and the radio write it: upper-case
// digits, a fixed number of them.
#include <cctype>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tqm5 {

// `value` in upper-case hexadecimal, padded with zeros to `digits`.
inline std::string hexText(uint32_t value, int digits = 2) {
    char buf[8];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, 16);
    const auto written = static_cast<int>(end - buf);
    std::string out(written < digits ? static_cast<std::size_t>(digits - written) : 0, '0');
    for (const char* p = buf; p != end; ++p) out += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return out;
}

// The value of a text of upper-case hexadecimal digits (nothing else, not
// empty); nothing when the text is anything else or too large.
inline std::optional<uint32_t> parseHex(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789ABCDEF") != std::string_view::npos) return std::nullopt;
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace tqm5
