#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {

// The standard error report: shows the error and ends the program with a failure status.
// It is the last thing the program does. Every source of events that runs program code
// (the timer, the window's events, session-end signals) registers the step that stops
// it; `fatal` runs them all before the box is shown, so that nothing else runs while the
// box is up, and exactly one box is ever shown.
class ErrorReport {
public:
    using StopStep = std::function<void()>;

    virtual ~ErrorReport() = default;

    // Shows the error and ends the program. An error raised while an earlier one is being
    // reported goes to standard error only, and the call returns.
    void fatal(const std::string& title, const std::string& message) {
        if (reporting_) {
            std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
            std::fflush(stderr);
            return;
        }
        reporting_ = true;
        // A step may be the last reference to its owner's state: take them all first.
        const auto sources = std::exchange(sources_, {});
        for (const auto& source : sources) {
            source.second();
        }
        show(title, message);
    }

    [[nodiscard]] bool reporting() const { return reporting_; }

    // Registers the step that stops one source of events for `owner`; the owner removes
    // its steps before it goes.
    void addEventSource(const void* owner, StopStep stop) { sources_.emplace_back(owner, std::move(stop)); }
    void removeEventSources(const void* owner) {
        std::erase_if(sources_, [owner](const auto& source) { return source.first == owner; });
    }

protected:
    // Shows the one box and ends the process; every event source is already stopped.
    virtual void show(const std::string& title, const std::string& message) = 0;

private:
    std::vector<std::pair<const void*, StopStep>> sources_;
    bool reporting_ = false;
};

}  // namespace quorvel
