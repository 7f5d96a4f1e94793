#include "app/CounterName.h"

namespace quorvel {
namespace {

constexpr std::string_view kDash = " \xE2\x80\x94 ";  // U+2014 between blanks

struct PathParts {
    std::string_view machine;
    std::string_view object;
    std::string_view instance;
    std::string_view counter;
    bool valid = false;
};

PathParts split(std::string_view path) {
    PathParts parts;
    if (path.starts_with("\\\\")) {
        const std::size_t end = path.find('\\', 2);
        if (end == std::string_view::npos) {
            return parts;
        }
        parts.machine = path.substr(2, end - 2);
        path.remove_prefix(end);
    }
    const std::size_t last = path.rfind('\\');
    if (!path.starts_with('\\') || last == 0 || last == std::string_view::npos) {
        return parts;
    }
    parts.counter = path.substr(last + 1);
    std::string_view object = path.substr(1, last - 1);
    const std::size_t open = object.find('(');
    if (open != std::string_view::npos && object.ends_with(')')) {
        parts.instance = object.substr(open + 1, object.size() - open - 2);
        object = object.substr(0, open);
    }
    parts.object = object;
    parts.valid = !parts.object.empty() && !parts.counter.empty();
    return parts;
}

}  // namespace

bool namesOtherMachine(std::string_view path) {
    const PathParts parts = split(path);
    return !parts.machine.empty() && parts.machine != ".";
}

std::string shortCounterName(std::string_view path) {
    const PathParts parts = split(path);
    if (!parts.valid) {
        return std::string(path);
    }
    std::string name(parts.instance.empty() ? parts.object : parts.instance);
    name += kDash;
    name += parts.counter;
    if (!parts.machine.empty() && parts.machine != ".") {
        name += " on ";
        name += parts.machine;
    }
    return name;
}

}  // namespace quorvel
