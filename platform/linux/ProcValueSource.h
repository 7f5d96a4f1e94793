#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ValueSource.h"
#include "platform/linux/ProcFd.h"

namespace quorvel {

namespace proc {
class ProcSnapshot;
struct ProcCounter;
}  // namespace proc

// The performance-data service on Linux, computed from /proc and /sys under a root
// directory. Paths have the form `[\\machine]\Object[(Instance)]\Counter`, names
// matching without regard to letter case; the machine may only be this host or ".".
// Unknown objects and counters are refused when added; an instance is looked for at
// every collection, because links come and go.
class ProcValueSource final : public ValueSource {
public:
    // Monotonic time in nanoseconds.
    using Clock = std::function<std::int64_t()>;

    // An empty clock means CLOCK_MONOTONIC. A root that cannot be opened throws
    // RuntimeError(PlatformUnavailable).
    explicit ProcValueSource(const std::string& root = "/", Clock clock = {});
    ~ProcValueSource() override;

    ProcValueSource(const ProcValueSource&) = delete;
    ProcValueSource& operator=(const ProcValueSource&) = delete;
    ProcValueSource(ProcValueSource&&) = delete;
    ProcValueSource& operator=(ProcValueSource&&) = delete;

    CounterStatus openQuery(QueryHandle& query) override;
    CounterStatus addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) override;
    CounterStatus collect(QueryHandle query) override;
    double readDouble(CounterHandle counter, CounterStatus& status) override;
    CounterStatus closeQuery(QueryHandle query) override;

    // What the source offers right now, for listings.
    struct ObjectInfo {
        std::string name;
        std::vector<std::string> counters;
        bool hasInstances = false;
        std::vector<std::string> instances;  // current ones, "_Total" first
    };
    std::vector<ObjectInfo> describe();

private:
    struct Query {
        bool open = false;
        unsigned needs = 0;
        std::uint64_t consumed = 0;
        std::vector<CounterHandle> counters;
    };

    proc::ProcCounter* counterFor(CounterHandle handle);
    Query* queryFor(QueryHandle handle);

    ProcFd root_;
    Clock clock_;
    std::string hostName_;
    std::unique_ptr<proc::ProcSnapshot> snapshot_;
    std::vector<Query> queries_;
    std::vector<std::unique_ptr<proc::ProcCounter>> counters_;
};

}  // namespace quorvel
