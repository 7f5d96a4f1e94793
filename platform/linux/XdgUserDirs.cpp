#include "platform/linux/XdgUserDirs.h"

namespace quorvel {

namespace {

constexpr std::string_view kHomeVariable = "$HOME";
// Inside double quotes the shell drops a backslash only before these.
constexpr std::string_view kEscapable = "$`\"\\";

std::string_view SkipBlanks(std::string_view s) {
    const auto start = s.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view{} : s.substr(start);
}

// The folder of a quoted value such as "$HOME/Desktop", or nothing when the value is
// empty or not of that plain form.
std::optional<std::string> ReadQuotedValue(std::string_view value, std::string_view home) {
    if (value.empty() || value.front() != '"') {
        return std::nullopt;
    }
    value.remove_prefix(1);
    std::string folder;
    if (value.starts_with(kHomeVariable) &&
        (value.size() == kHomeVariable.size() || value[kHomeVariable.size()] == '/' ||
         value[kHomeVariable.size()] == '"')) {
        if (home.empty()) {
            return std::nullopt;
        }
        folder = home;
        value.remove_prefix(kHomeVariable.size());
    }
    while (!value.empty() && value.front() != '"') {
        const char c = value.front();
        if (c == '$' || c == '`') {
            return std::nullopt;
        }
        if (c == '\\' && value.size() > 1 && kEscapable.find(value[1]) != std::string_view::npos) {
            value.remove_prefix(1);
        }
        folder += value.front();
        value.remove_prefix(1);
    }
    if (value.empty()) {
        return std::nullopt;
    }
    const auto rest = SkipBlanks(value.substr(1));
    if (!rest.empty() && rest.front() != '#') {
        return std::nullopt;
    }
    if (!folder.starts_with('/')) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace

std::optional<std::string> FindUserDir(std::string_view fileText, std::string_view name, std::string_view home) {
    const std::string key = "XDG_" + std::string(name) + "_DIR=";
    std::optional<std::string> found;
    while (!fileText.empty()) {
        const auto end = fileText.find('\n');
        auto line = SkipBlanks(fileText.substr(0, end));
        fileText = end == std::string_view::npos ? std::string_view{} : fileText.substr(end + 1);
        if (!line.starts_with(key)) {
            continue;
        }
        line.remove_prefix(key.size());
        found = ReadQuotedValue(line, home);
    }
    return found;
}

}  // namespace quorvel
