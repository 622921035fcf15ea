#pragma once
// Conversion between text (UTF-8) and the radio's character codes, which are
// code page 932 (Shift-JIS with the NEC and IBM extensions). The eight user
// characters of the radio are the circled digits U+2460..U+2467, codes
// 0x8740..0x8747.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct UConverter;

namespace tqm5 {

// The converter the code page is tabulated from.
extern const char* const Cp932Converter;  // "windows-31j"

// The one place a converter is opened. Null when it does not open, with
// `why` (when given) set to ICU's error name.
struct ConverterClose {
    void operator()(UConverter* conv) const;
};
using ConverterHandle = std::unique_ptr<UConverter, ConverterClose>;
ConverterHandle openConverter(const char* converter = Cp932Converter, std::string* why = nullptr);

// Empty when `converter` opens, else why not (ICU's error name). Without
// the code page's converter only its single-byte codes are known (ASCII
// and half-width katakana): every other character of a name is lost.
std::string converterError(const char* converter = Cp932Converter);

// Code page 932 code of one character: below 0x100 for a single byte
// character, lead byte in the high byte otherwise. -1 when the character has
// no code in the code page.
int cp932Code(char32_t ch);

// The character of a code, as UTF-8; empty when the code denotes no
// character.
std::string cp932Char(uint16_t code);

// Length of the text in code page 932 bytes (characters without a code
// count 1).
std::size_t cp932Length(const std::string& utf8);

// UTF-8 text as code page 932 bytes; a character without a code becomes '?'.
std::string toCp932(std::string_view utf8);
// Code page 932 bytes as UTF-8; a byte sequence that stands for no
// character becomes U+FFFD.
std::string fromCp932(std::string_view bytes);

// UTF-8 helpers used wherever text is walked character by character. A
// malformed sequence becomes one U+FFFD (ICU's rule: the longest start of
// a well-formed sequence counts as one).
std::u32string toU32(std::string_view utf8);
std::string toUtf8(const std::u32string& text);
std::string toUtf8(char32_t ch);

}  // namespace tqm5
