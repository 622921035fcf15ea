#include "channels/cp932.h"

#include <unicode/ucnv.h>

#include <array>
#include <mutex>
#include <vector>

namespace tqm5 {
namespace {

// Both directions are tabulated once from ICU's windows-31j converter, so
// that the hot paths (record decode and encode) never call into ICU.
struct Tables {
    std::vector<int32_t> toCode;       // BMP code point -> code or -1
    std::vector<char32_t> toChar;      // code -> code point or 0
    Tables() : toCode(0x10000, -1), toChar(0x10000, 0) {
        UErrorCode err = U_ZERO_ERROR;
        UConverter* conv = ucnv_open("windows-31j", &err);
        if (U_FAILURE(err) || conv == nullptr) return;
        // Decode every single and double byte sequence; then encode back so
        // that the preferred code wins where several codes share a character.
        auto decode = [&](const char* bytes, int32_t len) -> char32_t {
            UChar out[4];
            UErrorCode e = U_ZERO_ERROR;
            ucnv_reset(conv);
            ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &e);
            int32_t n = ucnv_toUChars(conv, out, 4, bytes, len, &e);
            if (U_FAILURE(e) || n != 1) return 0;
            return out[0];
        };
        for (int b = 0; b < 0x100; ++b) {
            char c = static_cast<char>(b);
            char32_t u = decode(&c, 1);
            if (u != 0 || b == 0) toChar[b] = u;
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead <= 0xDF) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F) continue;
                char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                char32_t u = decode(bytes, 2);
                if (u != 0 && u != 0xFFFD && u != 0x1A) toChar[(lead << 8) | trail] = u;
            }
        }
        for (char32_t u = 0; u < 0x10000; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF) continue;
            UChar in[1] = {static_cast<UChar>(u)};
            char out[4];
            UErrorCode e = U_ZERO_ERROR;
            ucnv_reset(conv);
            ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &e);
            int32_t n = ucnv_fromUChars(conv, out, 4, in, 1, &e);
            if (U_FAILURE(e)) continue;
            if (n == 1) toCode[u] = static_cast<unsigned char>(out[0]);
            else if (n == 2)
                toCode[u] = (static_cast<unsigned char>(out[0]) << 8) | static_cast<unsigned char>(out[1]);
        }
        ucnv_close(conv);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

}  // namespace

int cp932Code(char32_t ch) {
    if (ch >= 0x10000) return -1;
    return tables().toCode[ch];
}

std::string cp932Char(uint16_t code) {
    char32_t u = tables().toChar[code];
    if (u == 0 && code != 0) return {};
    return toUtf8(u);
}

std::size_t cp932Length(const std::string& utf8) {
    std::size_t n = 0;
    for (char32_t c : toU32(utf8)) {
        int code = cp932Code(c);
        n += (code > 0xFF) ? 2 : 1;
    }
    return n;
}

std::u32string toU32(const std::string& s) {
    std::u32string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        bool ok = extra >= 0 && i + extra < s.size();
        char32_t cp = ok ? (extra == 0 ? c : (c & (0x3F >> extra))) : 0;
        for (int k = 1; ok && k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {  // malformed byte: replaced, never dropped silently
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

std::string toUtf8(char32_t c) {
    std::string o;
    if (c < 0x80) {
        o += static_cast<char>(c);
    } else if (c < 0x800) {
        o += static_cast<char>(0xC0 | (c >> 6));
        o += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        o += static_cast<char>(0xE0 | (c >> 12));
        o += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        o += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        o += static_cast<char>(0xF0 | (c >> 18));
        o += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        o += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        o += static_cast<char>(0x80 | (c & 0x3F));
    }
    return o;
}

std::string toUtf8(const std::u32string& t) {
    std::string o;
    o.reserve(t.size());
    for (char32_t c : t) o += toUtf8(c);
    return o;
}

}  // namespace tqm5
