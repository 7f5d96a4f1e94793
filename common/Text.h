#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text helpers over byte strings in the locale's multibyte encoding. A byte that
// does not decode counts as one character and is kept as it is.
namespace quorvel::text {

// Number of 16-bit character units: a decoded character beyond U+FFFF counts twice.
std::size_t charCount(std::string_view s);

// Byte length of the first `count` 16-bit character units (the whole text when shorter).
std::size_t bytePrefixLength(std::string_view s, std::size_t count);

// Lower case: A-Z always, other letters through the locale's case mapping.
std::string toLower(std::string_view s);

// True when the two texts are equal once both are lower-cased.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Removes space characters (code 32 only) at the ends.
std::string_view trimSpaces(std::string_view s);
std::string_view trimLeadingSpaces(std::string_view s);

// The decimal separator of the user's number format (the locale's), "." when it has none.
std::string_view decimalSeparator();

// Reads a decimal number: surrounding spaces, optional sign, digits with the locale's
// decimal separator or ".", optional exponent. Nothing else. Out-of-range values give
// +-infinity so that the caller can report an overflow.
std::optional<double> parseNumber(std::string_view s);

// Shortest decimal text that reads back as the same double.
std::string formatNumber(double value);
std::string formatNumber(float value);

}  // namespace quorvel::text
