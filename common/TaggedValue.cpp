#include "common/TaggedValue.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "common/RuntimeError.h"
#include "common/Text.h"

namespace quorvel {
namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

[[noreturn]] void typeMismatch(const char* what) {
    throw RuntimeError(ErrorKind::TypeMismatch, what);
}

double textToNumber(const std::string& s) {
    const auto number = text::parseNumber(s);
    if (!number) {
        throw RuntimeError(ErrorKind::TypeMismatch, "\"" + s + "\" is not a number");
    }
    if (std::isinf(*number)) {
        throw RuntimeError(ErrorKind::Overflow, "\"" + s + "\" is too large");
    }
    return *number;
}

template <class Int>
Int toInteger(double value) {
    const double rounded = roundHalfEven(value);
    if (std::isnan(rounded) || rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        throw RuntimeError(ErrorKind::Overflow, text::formatNumber(value) + " does not fit a " +
                                                    std::to_string(sizeof(Int) * 8) + "-bit integer");
    }
    return static_cast<Int>(rounded);
}

}  // namespace

double roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5) {
        return lower;
    }
    if (diff > 0.5) {
        return lower + 1.0;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

TaggedValue TaggedValue::makeArray(std::size_t count) {
    return TaggedValue(Array(count));
}

bool TaggedValue::isNumeric() const noexcept {
    switch (kind()) {
    case ValueKind::Int16:
    case ValueKind::Int32:
    case ValueKind::Single:
    case ValueKind::Double:
    case ValueKind::Boolean: return true;
    default: return false;
    }
}

bool TaggedValue::isEmptyResult() const noexcept {
    if (isEmpty()) {
        return true;
    }
    const auto* s = std::get_if<std::string>(&data_);
    return s != nullptr && s->empty();
}

double TaggedValue::toDouble() const {
    return std::visit(Overloaded{
                          [](std::monostate) { return 0.0; },
                          [](std::int16_t v) { return static_cast<double>(v); },
                          [](std::int32_t v) { return static_cast<double>(v); },
                          [](float v) { return static_cast<double>(v); },
                          [](double v) { return v; },
                          [](bool v) { return v ? -1.0 : 0.0; },
                          [](const std::string& v) { return textToNumber(v); },
                          [](const Array&) -> double { typeMismatch("an array is not a number"); },
                      },
                      data_);
}

std::int16_t TaggedValue::toInt16() const {
    if (const auto* v = std::get_if<std::int16_t>(&data_)) {
        return *v;
    }
    return toInteger<std::int16_t>(toDouble());
}

std::int32_t TaggedValue::toInt32() const {
    if (const auto* v = std::get_if<std::int32_t>(&data_)) {
        return *v;
    }
    return toInteger<std::int32_t>(toDouble());
}

float TaggedValue::toSingle() const {
    const double v = toDouble();
    if (std::isfinite(v) && std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) {
        throw RuntimeError(ErrorKind::Overflow, text::formatNumber(v) + " does not fit a single");
    }
    return static_cast<float>(v);
}

bool TaggedValue::toBool() const {
    return std::visit(Overloaded{
                          [](std::monostate) { return false; },
                          [](const std::string& v) {
                              const std::string_view trimmed = text::trimSpaces(v);
                              if (text::equalsIgnoreCase(trimmed, "true")) {
                                  return true;
                              }
                              if (text::equalsIgnoreCase(trimmed, "false")) {
                                  return false;
                              }
                              return textToNumber(v) != 0.0;
                          },
                          [](const Array&) -> bool { typeMismatch("an array is not a boolean"); },
                          [](bool v) { return v; },
                          [](auto v) { return v != 0; },
                      },
                      data_);
}

std::string TaggedValue::toText() const {
    return std::visit(Overloaded{
                          [](std::monostate) { return std::string(); },
                          [](std::int16_t v) { return std::to_string(v); },
                          [](std::int32_t v) { return std::to_string(v); },
                          [](float v) { return text::formatNumber(v); },
                          [](double v) { return text::formatNumber(v); },
                          [](bool v) { return std::string(v ? "True" : "False"); },
                          [](const std::string& v) { return v; },
                          [](const Array&) -> std::string { typeMismatch("an array is not a text"); },
                      },
                      data_);
}

const std::string& TaggedValue::text() const {
    if (const auto* s = std::get_if<std::string>(&data_)) {
        return *s;
    }
    typeMismatch("the value is not a text");
}

const TaggedValue::Array& TaggedValue::array() const {
    if (const auto* a = std::get_if<Array>(&data_)) {
        return *a;
    }
    typeMismatch("the value is not an array");
}

TaggedValue::Array& TaggedValue::array() {
    if (auto* a = std::get_if<Array>(&data_)) {
        return *a;
    }
    typeMismatch("the value is not an array");
}

std::size_t TaggedValue::arraySize() const {
    return array().size();
}

namespace {
void checkIndex(std::size_t index, std::size_t size) {
    if (index >= size) {
        throw RuntimeError(ErrorKind::IndexOutOfRange, "index " + std::to_string(index) + " outside the bounds 0 to " +
                                                           std::to_string(static_cast<long long>(size) - 1));
    }
}
}  // namespace

const TaggedValue& TaggedValue::at(std::size_t index) const {
    const Array& a = array();
    checkIndex(index, a.size());
    return a[index];
}

TaggedValue& TaggedValue::at(std::size_t index) {
    Array& a = array();
    checkIndex(index, a.size());
    return a[index];
}

void TaggedValue::resizeArray(std::size_t count) {
    if (!std::holds_alternative<Array>(data_)) {
        data_ = Array{};
    }
    std::get<Array>(data_).resize(count);
}

bool valuesMatch(const TaggedValue& a, const TaggedValue& b) {
    if (a.kind() == ValueKind::Array || b.kind() == ValueKind::Array) {
        return a == b;
    }
    if (a.isEmpty() && b.isEmpty()) {
        return true;
    }
    if (a.isText() || b.isText()) {
        const bool a_text_like = a.isText() || a.isEmpty();
        const bool b_text_like = b.isText() || b.isEmpty();
        return a_text_like && b_text_like && a.toText() == b.toText();
    }
    return a.toDouble() == b.toDouble();
}

bool equalsTrue(const TaggedValue& value) {
    switch (value.kind()) {
    case ValueKind::Empty:
    case ValueKind::Array: return false;
    case ValueKind::Text: {
        const std::string_view trimmed = text::trimSpaces(value.text());
        if (text::equalsIgnoreCase(trimmed, "true")) {
            return true;
        }
        const auto number = text::parseNumber(trimmed);
        return number.has_value() && *number != 0.0;
    }
    default: return value.toDouble() != 0.0;
    }
}

}  // namespace quorvel
