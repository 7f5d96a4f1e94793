#pragma once

#include <optional>
#include <string>

namespace quorvel::test {

// A multibyte locale that text tests switch to, with samples in its encoding. Linux
// tests run in UTF-8. The Windows C run-time offers no UTF-8 locale; there the tests run
// in the Japanese ANSI code page (Shift-JIS), whose second bytes may be plain ASCII.
struct MultibyteLocale {
    const char* name;
    std::string twoIdeographs;  // 日本
    std::string upper;          // a capital letter outside ASCII ...
    std::string lower;          // ... and its small letter, of the same byte length
    // A character counted as two 16-bit units, where the encoding has one.
    std::optional<std::string> beyondBmp;
    // A character whose second byte reads as an ASCII capital, where the encoding has one.
    std::optional<std::string> capitalSecondByte;
};

inline const MultibyteLocale& multibyteLocale() {
#ifdef _WIN32
    // Greek capital and small alpha; katakana A is 0x83 followed by "A".
    static const MultibyteLocale locale{".932", "\x93\xfa\x96\x7b", "\x83\x9f", "\x83\xbf", std::nullopt, "\x83\x41"};
#else
    // A and a with diaeresis; a face beyond U+FFFF.
    static const MultibyteLocale locale{"C.UTF-8",  "\xE6\x97\xA5\xE6\x9C\xAC", "\xC3\x84",
                                        "\xC3\xA4", "\xF0\x9F\x98\x80",         std::nullopt};
#endif
    return locale;
}

// A locale whose decimal separator is a comma.
inline const char* decimalCommaLocale() {
#ifdef _WIN32
    return "German_Germany.1252";
#else
    return "de_DE.UTF-8";
#endif
}

}  // namespace quorvel::test
