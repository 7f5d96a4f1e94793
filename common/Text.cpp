#include "common/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <clocale>
#include <cwchar>
#include <cwctype>
#include <limits>

namespace quorvel::text {
namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One step of decoding: how many bytes the next character takes and what it is.
// A byte that does not start a valid character is a character of its own. The code
// point is held in 32 bits whatever the width of wchar_t (16 bits on some systems).
struct Decoded {
    std::size_t bytes;
    char32_t ch;
    bool valid;
};

Decoded decodeOne(std::string_view s, std::size_t pos, std::mbstate_t& state) {
    const auto byte = static_cast<unsigned char>(s[pos]);
    if (byte < 0x80) {
        return {1, static_cast<char32_t>(byte), true};
    }
    wchar_t wc = 0;
    const std::size_t n = std::mbrtowc(&wc, s.data() + pos, s.size() - pos, &state);
    if (n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2) || n == 0) {
        state = std::mbstate_t{};
        return {1, static_cast<char32_t>(byte), false};
    }
    return {n, static_cast<char32_t>(wc), true};
}

std::size_t units(const Decoded& d) {
    return (d.valid && d.ch > 0xFFFFU) ? 2 : 1;
}

}  // namespace

std::size_t charCount(std::string_view s) {
    if (isAscii(s)) {
        return s.size();
    }
    std::mbstate_t state{};
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < s.size();) {
        const Decoded d = decodeOne(s, pos, state);
        count += units(d);
        pos += d.bytes;
    }
    return count;
}

std::size_t bytePrefixLength(std::string_view s, std::size_t count) {
    if (isAscii(s)) {
        return std::min(count, s.size());
    }
    std::mbstate_t state{};
    std::size_t pos = 0;
    std::size_t taken = 0;
    while (pos < s.size() && taken < count) {
        const Decoded d = decodeOne(s, pos, state);
        taken += units(d);
        pos += d.bytes;
    }
    return pos;
}

std::string toLower(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    if (isAscii(s)) {
        for (char c : s) {
            out.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
        }
        return out;
    }
    std::mbstate_t state{};
    for (std::size_t pos = 0; pos < s.size();) {
        const Decoded d = decodeOne(s, pos, state);
        const std::string_view original = s.substr(pos, d.bytes);
        pos += d.bytes;
        if (d.bytes == 1) {
            const char c = original[0];
            out.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
            continue;
        }
        const auto lower = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(d.ch)));
        if (static_cast<char32_t>(lower) == d.ch) {
            out.append(original);
            continue;
        }
        std::array<char, MB_LEN_MAX> buffer{};
        std::mbstate_t out_state{};
        const std::size_t n = std::wcrtomb(buffer.data(), lower, &out_state);
        if (n == static_cast<std::size_t>(-1)) {
            out.append(original);
        } else {
            out.append(buffer.data(), n);
        }
    }
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            const auto lx = (x >= 'A' && x <= 'Z') ? x - 'A' + 'a' : x;
            const auto ly = (y >= 'A' && y <= 'Z') ? y - 'A' + 'a' : y;
            return lx == ly;
        });
    }
    return toLower(a) == toLower(b);
}

std::string_view trimLeadingSpaces(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : s.substr(first);
}

std::string_view trimSpaces(std::string_view s) {
    s = trimLeadingSpaces(s);
    const std::size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

std::string_view decimalSeparator() {
    const char* point = std::localeconv()->decimal_point;
    return (point != nullptr && *point != '\0') ? std::string_view(point) : std::string_view(".");
}

std::optional<double> parseNumber(std::string_view s) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    const std::string_view separator = decimalSeparator();

    std::string normal;
    normal.reserve(s.size());
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        if (s[pos] == '-') {
            normal.push_back('-');
        }
        ++pos;
    }
    std::size_t digits = 0;
    const auto takeDigits = [&] {
        std::size_t n = 0;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
            normal.push_back(s[pos++]);
            ++n;
        }
        return n;
    };
    digits += takeDigits();
    if (s.substr(pos).starts_with(separator)) {
        pos += separator.size();
        normal.push_back('.');
        digits += takeDigits();
    } else if (pos < s.size() && s[pos] == '.') {
        ++pos;
        normal.push_back('.');
        digits += takeDigits();
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        normal.push_back('e');
        ++pos;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
            normal.push_back(s[pos++]);
        }
        if (takeDigits() == 0) {
            return std::nullopt;
        }
    }
    if (pos != s.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars reports both overflow and underflow; only a large exponent overflows.
        const bool negative = normal.front() == '-';
        const auto e = normal.find('e');
        const bool small = e != std::string::npos && normal.find('-', e) != std::string::npos;
        if (small) {
            return negative ? -0.0 : 0.0;
        }
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    if (ec != std::errc{} || end != normal.data() + normal.size()) {
        return std::nullopt;
    }
    return value;
}

std::string formatNumber(double value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

std::string formatNumber(float value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

}  // namespace quorvel::text
