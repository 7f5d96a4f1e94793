#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/TaggedValue.h"

// The text form of the settings file: how a line splits into an entry, and how an
// entry is written back as a line.
namespace quorvel::ini {

inline constexpr std::string_view kRemarkName = "*REM*";
inline constexpr std::string_view kDeletedValue = "*DEL*";
inline constexpr std::string_view kGeneralHeader = "[General]";
inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr std::string_view kLf = "\n";

// Positions and lengths inside a line are signed 16-bit character counts.
inline constexpr std::size_t kMaxCharCount = 32767;

// One line of `bytes` from `pos`. A line ends at CR, at LF or at the pair CR LF, which
// counts as one line end.
struct LineSpan {
    std::string_view text;
    std::size_t next = 0;     // where the following line begins
    bool terminated = false;  // false for a last line without a line end
};
LineSpan nextLine(std::string_view bytes, std::size_t pos);

// The line end that a writer uses for text read from `bytes`: LF when the first line end
// there is LF alone, CR LF otherwise (also for CR, and for text without any line end).
std::string_view lineEndOf(std::string_view bytes);

enum class LineStatus {
    Ok,
    EqualsTooFar,  // the first "=" stands after character 32767: name and value stay empty
    ValueTooLong,  // the text after the first "=" is longer than 32767 characters: the value stays empty
};

struct ParsedLine {
    LineStatus status = LineStatus::Ok;
    std::string name;  // kRemarkName for a remark
    TaggedValue value;
};

// Splits one line into a remark (the whole line under the name "*REM*") or an item.
ParsedLine parseLine(std::string_view line);

// Appends the text form of a value: a text as itself, empty as nothing, numbers as
// their digits, booleans as True or False.
void appendValueText(std::string& out, const TaggedValue& value);

// Appends "name = value". When the spaces around "=" would push the "=" or the value
// past the 16-bit limits of the reader, the line is written as "name=value" instead, so
// that it still reads back as the same item.
void appendItemLine(std::string& out, std::string_view name, const TaggedValue& value);

}  // namespace quorvel::ini
