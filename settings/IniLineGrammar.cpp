#include "settings/IniLineGrammar.h"

#include "common/Text.h"

namespace quorvel::ini {
namespace {

bool startsRemark(char first) {
    return first == ';' || first == '#' || first == '/' || first == '[';
}

// Character counts only matter near the limit, and a text never holds more characters than bytes.
bool exceedsCharCount(std::string_view s, std::size_t limit) {
    return s.size() > limit && text::charCount(s) > limit;
}

ParsedLine remark(std::string_view line) {
    return {LineStatus::Ok, std::string(kRemarkName), TaggedValue(line)};
}

// The first CR or LF at or after `pos`, or the size of `bytes`. A plain loop: find_first_of
// looks each byte up in the set of two with a call of its own.
std::size_t findLineEnd(std::string_view bytes, std::size_t pos) {
    while (pos < bytes.size() && bytes[pos] != '\r' && bytes[pos] != '\n') {
        ++pos;
    }
    return pos;
}

}  // namespace

LineSpan nextLine(std::string_view bytes, std::size_t pos) {
    const std::size_t end = findLineEnd(bytes, pos);
    if (end == bytes.size()) {
        return {bytes.substr(pos), bytes.size(), false};
    }
    std::size_t next = end + 1;
    if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') {
        ++next;
    }
    return {bytes.substr(pos, end - pos), next, true};
}

std::string_view lineEndOf(std::string_view bytes) {
    const std::size_t end = findLineEnd(bytes, 0);
    return end < bytes.size() && bytes[end] == '\n' ? kLf : kCrLf;
}

ParsedLine parseLine(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return remark(line);
    }
    // The position of "=" counts from 1, so it overflows once 32767 characters stand before it.
    if (exceedsCharCount(line.substr(0, equals), kMaxCharCount - 1)) {
        return {LineStatus::EqualsTooFar, std::string(), TaggedValue()};
    }
    if (startsRemark(line.front())) {
        return remark(line);
    }
    ParsedLine item{LineStatus::Ok, std::string(text::trimSpaces(line.substr(0, equals))), TaggedValue()};
    // An item line named like the remark marker would be written back without its name;
    // keeping the whole line as a remark writes it back as it was read.
    if (item.name == kRemarkName) {
        return remark(line);
    }
    const std::string_view valuePart = line.substr(equals + 1);
    if (exceedsCharCount(valuePart, kMaxCharCount)) {
        item.status = LineStatus::ValueTooLong;
        return item;
    }
    const std::string_view value = text::trimLeadingSpaces(valuePart);
    if (!value.empty()) {
        item.value = TaggedValue(value);
    }
    return item;
}

void appendValueText(std::string& out, const TaggedValue& value) {
    if (value.isText()) {
        out += value.text();
    } else if (!value.isEmpty()) {
        out += value.toText();
    }
}

void appendItemLine(std::string& out, std::string_view name, const TaggedValue& value) {
    std::string converted;
    std::string_view valueText;
    if (value.isText()) {
        valueText = value.text();
    } else if (!value.isEmpty()) {
        converted = value.toText();
        valueText = converted;
    }
    // Spaced form: "=" stands at character name + 2, and the value part is one longer than the value.
    const bool spaced = !exceedsCharCount(name, kMaxCharCount - 2) && !exceedsCharCount(valueText, kMaxCharCount - 1);
    out += name;
    out += spaced ? " = " : "=";
    out += valueText;
}

}  // namespace quorvel::ini
