#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/ValueSource.h"
#include "platform/windows/SystemLibraries.h"

namespace quorvel {

// The value source on the system's performance-data library (pdh.dll), through its
// Visual Basic entry points; where a library lacks one of them, through the documented
// function that does the same (a value the service calls invalid then reads 0). The
// service's handles are pointers; the 32-bit handles
// that this source hands out number them, so that a 64-bit handle is never cut short.
// A path that the service refuses as an unknown object or counter is added again
// through its English-name entry point where the library has one: the paths that
// users and the defaults give are English, and a Windows in another language knows
// its counters under translated names.
class PdhValueSource final : public ValueSource {
public:
    explicit PdhValueSource(win::SystemLibraries& libraries);

    CounterStatus openQuery(QueryHandle& query) override;
    CounterStatus addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) override;
    CounterStatus collect(QueryHandle query) override;
    double readDouble(CounterHandle counter, CounterStatus& status) override;
    CounterStatus closeQuery(QueryHandle query) override;

private:
    struct Counter {
        PDH_HCOUNTER handle;
        QueryHandle query;
    };

    [[nodiscard]] PDH_HQUERY nativeQuery(QueryHandle query) const;
    [[nodiscard]] PDH_HCOUNTER nativeCounter(CounterHandle counter) const;

    win::SystemLibraries& libraries_;
    std::vector<PDH_HQUERY> queries_;  // handle n names queries_[n - 1]; null once closed
    std::vector<Counter> counters_;    // the same for counters
};

}  // namespace quorvel
