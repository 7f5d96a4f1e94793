#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quorvel {

enum class ValueKind { Empty, Int16, Int32, Single, Double, Boolean, Text, Array };

// A value that carries its own kind and keeps it. Conversions never change the
// value itself; they return a new one and raise a RuntimeError where they fail.
class TaggedValue {
public:
    using Array = std::vector<TaggedValue>;

    TaggedValue() = default;
    TaggedValue(std::int16_t v) : data_(v) {}                   // NOLINT(google-explicit-constructor)
    TaggedValue(std::int32_t v) : data_(v) {}                   // NOLINT(google-explicit-constructor)
    TaggedValue(float v) : data_(v) {}                          // NOLINT(google-explicit-constructor)
    TaggedValue(double v) : data_(v) {}                         // NOLINT(google-explicit-constructor)
    TaggedValue(bool v) : data_(v) {}                           // NOLINT(google-explicit-constructor)
    TaggedValue(std::string v) : data_(std::move(v)) {}         // NOLINT(google-explicit-constructor)
    TaggedValue(std::string_view v) : data_(std::string(v)) {}  // NOLINT(google-explicit-constructor)
    TaggedValue(const char* v) : data_(std::string(v)) {}       // NOLINT(google-explicit-constructor)
    TaggedValue(Array v) : data_(std::move(v)) {}               // NOLINT(google-explicit-constructor)

    // An array of `count` empty elements, indexed from 0.
    static TaggedValue makeArray(std::size_t count);

    [[nodiscard]] ValueKind kind() const noexcept { return static_cast<ValueKind>(data_.index()); }
    [[nodiscard]] bool isEmpty() const noexcept { return kind() == ValueKind::Empty; }
    [[nodiscard]] bool isText() const noexcept { return kind() == ValueKind::Text; }
    // Integers, floats and booleans.
    [[nodiscard]] bool isNumeric() const noexcept;
    // The empty value or the empty text.
    [[nodiscard]] bool isEmptyResult() const noexcept;

    // Conversions of the shared rules: integers round halves to even and overflow
    // outside the target's range; empty gives 0, false or the empty text; text reads
    // as a decimal number (booleans also as True/False in any letter case).
    [[nodiscard]] std::int16_t toInt16() const;
    [[nodiscard]] std::int32_t toInt32() const;
    [[nodiscard]] float toSingle() const;
    [[nodiscard]] double toDouble() const;
    [[nodiscard]] bool toBool() const;
    [[nodiscard]] std::string toText() const;

    // Direct access; each raises a type mismatch for another kind.
    [[nodiscard]] const std::string& text() const;
    [[nodiscard]] const Array& array() const;
    [[nodiscard]] Array& array();

    // Array elements; an index outside the bounds raises IndexOutOfRange.
    [[nodiscard]] std::size_t arraySize() const;
    [[nodiscard]] const TaggedValue& at(std::size_t index) const;
    [[nodiscard]] TaggedValue& at(std::size_t index);
    // Resizes an array keeping its elements; a non-array becomes an array.
    void resizeArray(std::size_t count);

    // Same kind and same value.
    friend bool operator==(const TaggedValue& a, const TaggedValue& b) = default;

private:
    std::variant<std::monostate, std::int16_t, std::int32_t, float, double, bool, std::string, Array> data_;
};

// Exact comparison: texts letter for letter, numbers (booleans as -1 and 0) by value,
// a number never equal to a text. Empty compares as the empty text or as 0.
bool valuesMatch(const TaggedValue& a, const TaggedValue& b);

// The mixed comparison of a stored value with the boolean true: a boolean as itself,
// a number when it is not 0, a text that reads True in any letter case or as a
// number other than 0. Anything else, the empty value included, is not true.
bool equalsTrue(const TaggedValue& value);

// Rounds to the nearest integer, halves to the even neighbour.
double roundHalfEven(double value);

}  // namespace quorvel
