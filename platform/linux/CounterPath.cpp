#include "platform/linux/CounterPath.h"

namespace quorvel {

std::optional<CounterPath> parseCounterPath(std::string_view path) {
    CounterPath parts;
    if (path.starts_with("\\\\")) {
        const std::size_t end = path.find('\\', 2);
        if (end == std::string_view::npos || end == 2) {
            return std::nullopt;
        }
        parts.machine = path.substr(2, end - 2);
        path.remove_prefix(end);
    }
    if (!path.starts_with('\\')) {
        return std::nullopt;
    }
    path.remove_prefix(1);
    const std::size_t last = path.rfind('\\');
    if (last == std::string_view::npos) {
        return std::nullopt;
    }
    parts.counter = path.substr(last + 1);
    std::string_view head = path.substr(0, last);
    const std::size_t open = head.find('(');
    if (open != std::string_view::npos) {
        if (!head.ends_with(')')) {
            return std::nullopt;
        }
        parts.instance = head.substr(open + 1, head.size() - open - 2);
        parts.hasInstance = true;
        head = head.substr(0, open);
    }
    parts.object = head;
    if (parts.object.empty() || parts.counter.empty() || parts.object.find('\\') != std::string_view::npos) {
        return std::nullopt;
    }
    return parts;
}

}  // namespace quorvel
