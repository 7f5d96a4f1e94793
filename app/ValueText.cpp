#include "app/ValueText.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "app/PowerOfTen.h"
#include "common/Text.h"

namespace quorvel::valuetext {
namespace {

constexpr std::string_view kDash = "\xE2\x80\x94";  // U+2014
constexpr std::string_view kMiddot = "\xC2\xB7";    // U+00B7
constexpr std::array<std::string_view, 5> kPrefixes{"", "k", "M", "G", "T"};
constexpr int kLastPrefix = static_cast<int>(kPrefixes.size()) - 1;

// `a` (positive, finite) scaled so that its first three significant digits are the
// integer part: a / 10^(e - 2), divided or multiplied by an exact power of ten.
double scaledToThreeDigits(double a, int e) {
    return e >= 2 ? a / powerOfTen(e - 2) : a * powerOfTen(2 - e);
}

// Three significant digits of `a` (positive, finite), halves rounded up: the value is
// digits x 10^(exponent - 2), digits from 100 to 999.
struct ThreeDigits {
    std::int64_t digits = 0;
    int exponent = 0;
};

ThreeDigits roundToThreeDigits(double a) {
    int e = static_cast<int>(std::floor(std::log10(a)));
    double m = std::round(scaledToThreeDigits(a, e));
    if (m < 100.0) {  // the logarithm came out one too high
        --e;
        m = std::round(scaledToThreeDigits(a, e));
    }
    if (m >= 1000.0) {  // 999.5 and above carry into the next decade
        ++e;
        m = std::round(scaledToThreeDigits(a, e));
    }
    return {static_cast<std::int64_t>(m), e};
}

// The number with three significant digits and its SI prefix, at most `lastPrefix`.
std::string withPrefix(double value, int lastPrefix, std::string_view& prefix) {
    prefix = kPrefixes[0];
    if (std::isnan(value)) {
        return std::string(kDash);
    }
    std::string out = std::signbit(value) && value != 0.0 ? "-" : "";
    const double a = std::fabs(value);
    if (a == 0.0) {
        return "0";
    }
    if (std::isinf(a)) {
        return out + "\xE2\x88\x9E";  // U+221E
    }
    const ThreeDigits r = roundToThreeDigits(a);
    int group = r.exponent >= 0 ? r.exponent / 3 : 0;
    group = group > lastPrefix ? lastPrefix : group;
    prefix = kPrefixes[static_cast<std::size_t>(group)];
    // Position of the last digit: 10^shift.
    const int shift = r.exponent - 2 - (3 * group);
    std::string digits = std::to_string(r.digits);
    if (shift >= 0) {
        out += digits;
        out.append(static_cast<std::size_t>(shift), '0');
        return out;
    }
    const auto decimals = static_cast<std::size_t>(-shift);
    if (digits.size() <= decimals) {
        digits.insert(0, decimals - digits.size() + 1, '0');
    }
    out += digits.substr(0, digits.size() - decimals);
    out += decimalPoint();
    out += digits.substr(digits.size() - decimals);
    return out;
}

std::string withUnit(double value, std::string_view unit) {
    std::string_view prefix;
    std::string out = withPrefix(value, kLastPrefix, prefix);
    if (std::isnan(value)) {
        return out;
    }
    out += ' ';
    out += prefix;
    out += unit;
    return out;
}

bool contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string_view::npos;
}

}  // namespace

std::string_view decimalPoint() {
    const std::string_view s = text::decimalSeparator();
    return s.size() == 1 && static_cast<unsigned char>(s[0]) < 0x80 ? s : std::string_view(".");
}

Unit unitOfCounter(std::string_view counterPath) {
    const std::size_t slash = counterPath.rfind('\\');
    const std::string name =
        text::toLower(slash == std::string_view::npos ? counterPath : counterPath.substr(slash + 1));
    if (contains(name, "%")) {
        return Unit::Percent;
    }
    if (contains(name, "bytes") && (contains(name, "/s") || contains(name, "per second"))) {
        return Unit::BytesPerSecond;
    }
    return Unit::Plain;
}

std::string format(double value, Unit unit) {
    switch (unit) {
    case Unit::BytesPerSecond: return withUnit(value, "B/s");
    case Unit::Percent: {
        std::string_view prefix;
        std::string out = withPrefix(value, 0, prefix);
        return std::isnan(value) ? out : out + " %";
    }
    case Unit::Plain: break;
    }
    std::string_view prefix;
    std::string out = withPrefix(value, kLastPrefix, prefix);
    return out + std::string(prefix);
}

std::string formatWithBits(double value, Unit unit) {
    if (unit != Unit::BytesPerSecond || std::isnan(value)) {
        return format(value, unit);
    }
    return withUnit(value, "B/s") + " " + std::string(kMiddot) + " " + withUnit(value * 8.0, "bit/s");
}

}  // namespace quorvel::valuetext
