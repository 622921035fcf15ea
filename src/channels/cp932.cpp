#include "channels/cp932.h"

#include <unicode/ucnv.h>
#include <unicode/utypes.h>
#include <unicode/uset.h>

#include <array>
#include <mutex>
#include <vector>

namespace tqm5 {

const char* const Cp932Converter = "windows-31j";

namespace {

// Both directions are tabulated once from ICU's windows-31j converter, so
// that the hot paths (record decode and encode) never call into ICU. The
// tables are built on the first use, which is at start-up, so the build asks
// ICU as little as it can: the double-byte codes are decoded a lead byte at
// a time, and the encoding is the inverse of the decoding except for the few
// characters that several codes (or no code) decode to, which ICU encodes.
struct Tables {
    std::vector<int32_t> toCode;       // BMP code point -> code or -1
    std::vector<char32_t> toChar;      // code -> code point or 0
    Tables() : toCode(0x10000, -1), toChar(0x10000, 0) {
        UErrorCode err = U_ZERO_ERROR;
        UConverter* conv = ucnv_open(Cp932Converter, &err);
        if (U_FAILURE(err) || conv == nullptr) {
            // What needs no converter: ASCII, and the half-width katakana
            // at 0xA1..0xDF. The program says at start-up that the rest is lost.
            auto single = [&](int code, char32_t u) {
                toCode[u] = code;
                toChar[code] = u;
            };
            for (int b = 0; b < 0x80; ++b) single(b, static_cast<char32_t>(b));
            for (int b = 0xA1; b <= 0xDF; ++b) single(b, static_cast<char32_t>(0xFF61 + b - 0xA1));
            return;
        }
        std::vector<uint8_t> decodedFrom(0x10000, 0);  // how many codes give the character (0, 1, 2 = more)
        auto note = [&](int code, char32_t u) {
            toChar[code] = u;
            toCode[u] = code;
            if (decodedFrom[u] < 2) ++decodedFrom[u];
        };
        auto decodeOne = [&](const char* bytes, int32_t len) -> char32_t {
            UChar out[4];
            UErrorCode e = U_ZERO_ERROR;
            ucnv_reset(conv);
            ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &e);
            int32_t n = ucnv_toUChars(conv, out, 4, bytes, len, &e);
            if (U_FAILURE(e) || n != 1) return 0;
            return out[0];
        };
        auto keepDouble = [](char32_t u) { return u != 0 && u != 0xFFFD && u != 0x1A; };
        for (int b = 0; b < 0x100; ++b) {
            char c = static_cast<char>(b);
            char32_t u = decodeOne(&c, 1);
            if (u != 0 || b == 0) note(b, u);
        }
        // All trail bytes of one lead in one call; unassigned codes come out
        // as the substitute character, one per code. Should the output not
        // line up code for code, that lead is decoded code by code instead.
        std::vector<char> bytes;
        std::vector<UChar> out;
        std::vector<int32_t> offsets;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead <= 0xDF) continue;
            bytes.clear();
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F) continue;
                bytes.push_back(static_cast<char>(lead));
                bytes.push_back(static_cast<char>(trail));
            }
            const std::size_t count = bytes.size() / 2;
            out.assign(count + 8, 0);
            offsets.assign(count + 8, -1);
            UChar* target = out.data();
            const char* source = bytes.data();
            UErrorCode e = U_ZERO_ERROR;
            ucnv_reset(conv);
            ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &e);
            ucnv_toUnicode(conv, &target, out.data() + out.size(), &source, bytes.data() + bytes.size(),
                           offsets.data(), true, &e);
            bool aligned = U_SUCCESS(e) && static_cast<std::size_t>(target - out.data()) == count;
            for (std::size_t i = 0; aligned && i < count; ++i) aligned = offsets[i] == static_cast<int32_t>(2 * i);
            for (std::size_t i = 0; i < count; ++i) {
                const int code = (static_cast<unsigned char>(bytes[2 * i]) << 8) | static_cast<unsigned char>(bytes[2 * i + 1]);
                const char32_t u = aligned ? out[i] : decodeOne(&bytes[2 * i], 2);
                if (keepDouble(u)) note(code, u);
            }
        }
        // Characters with one code are done; ICU settles the preferred code
        // of those with several, and the codes of those it encodes without
        // decoding them back.
        USet* encodable = uset_openEmpty();
        UErrorCode e = U_ZERO_ERROR;
        ucnv_getUnicodeSet(conv, encodable, UCNV_ROUNDTRIP_AND_FALLBACK_SET, &e);
        ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &e);
        auto encode = [&](char32_t u) {
            if (u >= 0xD800 && u <= 0xDFFF) return;
            UChar in[1] = {static_cast<UChar>(u)};
            char bytesOut[4];
            UErrorCode fe = U_ZERO_ERROR;
            ucnv_reset(conv);
            int32_t n = ucnv_fromUChars(conv, bytesOut, 4, in, 1, &fe);
            toCode[u] = -1;
            if (U_FAILURE(fe)) return;
            if (n == 1) toCode[u] = static_cast<unsigned char>(bytesOut[0]);
            else if (n == 2)
                toCode[u] = (static_cast<unsigned char>(bytesOut[0]) << 8) | static_cast<unsigned char>(bytesOut[1]);
        };
        if (U_SUCCESS(e)) {
            for (int32_t item = 0; item < uset_getItemCount(encodable); ++item) {
                UChar32 lo = 0, hi = 0;
                UErrorCode ie = U_ZERO_ERROR;
                if (uset_getItem(encodable, item, &lo, &hi, nullptr, 0, &ie) != 0 || U_FAILURE(ie)) continue;
                for (UChar32 u = lo; u <= hi && u < 0x10000; ++u)
                    if (decodedFrom[u] != 1) encode(static_cast<char32_t>(u));
            }
        } else {
            for (char32_t u = 0; u < 0x10000; ++u) encode(u);  // no set from ICU: ask for every character
        }
        uset_close(encodable);
        ucnv_close(conv);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

}  // namespace

std::string converterError(const char* converter) {
    UErrorCode err = U_ZERO_ERROR;
    UConverter* conv = ucnv_open(converter, &err);
    if (conv) ucnv_close(conv);
    if (U_SUCCESS(err) && conv) return {};
    return U_FAILURE(err) ? u_errorName(err) : "no converter";
}

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
