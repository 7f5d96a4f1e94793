#pragma once

#include <string>
#include <string_view>

// Numbers of the graph's read-out as a person reads them: three significant digits,
// SI prefixes, the unit the counter's name gives, the user's decimal separator. UTF-8.
namespace quorvel::valuetext {

enum class Unit { Plain, BytesPerSecond, Percent };

// The unit a counter's name says: bytes per second ("bytes" with "/sec", "/s" or "per
// second", any case), percent (a "%" in the name) or a plain number.
Unit unitOfCounter(std::string_view counterPath);

// The user's decimal separator when it is one plain character, else ".".
std::string_view decimalPoint();

// The value in its unit: "1.25 MB/s", "12.3 %", "1.25k". "—" for NaN.
std::string format(double value, Unit unit);

// The same with bits per second beside bytes per second: "1.25 MB/s · 10.0 Mbit/s".
std::string formatWithBits(double value, Unit unit);

}  // namespace quorvel::valuetext
