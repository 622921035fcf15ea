#include "channels/cp932.h"

#include <unicode/ucnv.h>
#include <unicode/uset.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>
#include <unicode/utypes.h>

#include <array>
#include <mutex>
#include <vector>

namespace tqm5 {

const char* const Cp932Converter = "windows-31j";

void ConverterClose::operator()(UConverter* conv) const { ucnv_close(conv); }

ConverterHandle openConverter(const char* converter, std::string* why) {
    UErrorCode err = U_ZERO_ERROR;
    ConverterHandle conv(ucnv_open(converter, &err));
    if (U_SUCCESS(err) && conv) return conv;
    if (why) *why = U_FAILURE(err) ? u_errorName(err) : "no converter";
    return nullptr;
}

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
        const ConverterHandle handle = openConverter();
        UConverter* const conv = handle.get();
        if (conv == nullptr) {
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
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

}  // namespace

std::string converterError(const char* converter) {
    std::string why;
    openConverter(converter, &why);
    return why;
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

namespace {

// The converter the whole-text conversions share on this thread; null when
// it does not open (start-up has said so).
UConverter* textConverter() {
    thread_local const ConverterHandle conv = openConverter();
    return conv.get();
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string wide(utf8.size(), u'\0');
    int32_t length = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strFromUTF8WithSub(wide.data(), static_cast<int32_t>(wide.size()), &length, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &err);
    wide.resize(U_SUCCESS(err) ? static_cast<std::size_t>(length) : 0);
    return wide;
}

// A run of characters beyond ASCII, through the converter.
void encodeRun(UConverter* conv, std::string_view utf8, std::string& out) {
    const std::u16string wide = toUtf16(utf8);
    std::string bytes(2 * wide.size() + 8, '\0');
    UErrorCode err = U_ZERO_ERROR;
    ucnv_reset(conv);
    const int32_t n = ucnv_fromUChars(conv, bytes.data(), static_cast<int32_t>(bytes.size()),
                                      reinterpret_cast<const UChar*>(wide.data()),
                                      static_cast<int32_t>(wide.size()), &err);
    if (U_SUCCESS(err)) out.append(bytes.data(), static_cast<std::size_t>(n));
}

}  // namespace

// ASCII passes as it is: ICU's windows-31j swaps the controls 0x1A, 0x1C
// and 0x7F, which Windows' code page keeps, so only the runs beyond ASCII
// (whose UTF-8 bytes are all 0x80 and above) go through the converter.
std::string toCp932(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    UConverter* const conv = textConverter();
    if (conv) {
        UErrorCode err = U_ZERO_ERROR;
        ucnv_setSubstChars(conv, "?", 1, &err);
    }
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t end = i;
        while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) ++end;
        if (end == i) {
            out += utf8[i++];
            continue;
        }
        const std::string_view run = utf8.substr(i, end - i);
        if (conv) {
            encodeRun(conv, run, out);
        } else {  // no converter: what the tables know without one
            for (char32_t c : toU32(run)) {
                const int code = cp932Code(c);
                if (code < 0) out += '?';
                else if (code < 0x100) out += static_cast<char>(code);
                else out += {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
            }
        }
        i = end;
    }
    return out;
}

// Every unit ICU gives carries the offset of the bytes it came from: one
// from an ASCII byte is that byte (the swapped controls again), and a
// substitute the converter makes is U+FFFD.
std::string fromCp932(std::string_view bytes) {
    UConverter* const conv = textConverter();
    if (!conv) {  // no converter: what the tables know without one, byte by byte
        std::string out;
        for (const char b : bytes) {
            const auto u = static_cast<unsigned char>(b);
            const std::string ch = u < 0x80 ? std::string(1, b) : cp932Char(u);
            out += ch.empty() ? toUtf8(char32_t{0xFFFD}) : ch;
        }
        return out;
    }
    std::u16string wide(bytes.size() + 8, u'\0');
    std::vector<int32_t> offsets(wide.size(), -1);
    UChar* target = reinterpret_cast<UChar*>(wide.data());
    const char* source = bytes.data();
    UErrorCode err = U_ZERO_ERROR;
    ucnv_reset(conv);
    ucnv_toUnicode(conv, &target, target + wide.size(), &source, bytes.data() + bytes.size(), offsets.data(), true,
                   &err);
    const auto n = static_cast<std::size_t>(target - reinterpret_cast<UChar*>(wide.data()));
    if (U_FAILURE(err)) return std::string(bytes.size(), '?');  // cannot happen: room for every unit
    wide.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        if (offsets[k] < 0) continue;
        const auto b = static_cast<unsigned char>(bytes[static_cast<std::size_t>(offsets[k])]);
        if (b < 0x80) wide[k] = static_cast<char16_t>(b);
        else if (wide[k] == 0x1A) wide[k] = 0xFFFD;
    }
    std::string out(3 * n, '\0');
    int32_t length = 0;
    UErrorCode back = U_ZERO_ERROR;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, reinterpret_cast<const UChar*>(wide.data()),
                static_cast<int32_t>(n), &back);
    out.resize(U_SUCCESS(back) ? static_cast<std::size_t>(length) : 0);
    return out;
}

std::u32string toU32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const auto length = static_cast<int32_t>(s.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT_OR_FFFD(bytes, i, length, c);
        out.push_back(static_cast<char32_t>(c));
    }
    return out;
}

std::string toUtf8(char32_t c) {
    uint8_t bytes[U8_MAX_LENGTH];
    int32_t n = 0;
    UBool error = false;
    U8_APPEND(bytes, n, U8_MAX_LENGTH, static_cast<UChar32>(c), error);
    if (error) return toUtf8(char32_t{0xFFFD});
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(n));
}

std::string toUtf8(const std::u32string& t) {
    std::string o;
    o.reserve(t.size());
    for (char32_t c : t) o += toUtf8(c);
    return o;
}

}  // namespace tqm5
