#pragma once

#include <string>
#include <vector>

#include "platform/ValueSource.h"

namespace quorvel {

// Sends each counter path to the source of this machine or to the one of other machines,
// by the path's machine part: none, ".", or this host's name is this machine. One query
// may hold counters of both; each source sees a query of its own.
class RoutingValueSource final : public ValueSource {
public:
    // Both sources must outlive this object.
    RoutingValueSource(ValueSource& local, ValueSource& remote, std::string localHostName);

    CounterStatus openQuery(QueryHandle& query) override;
    CounterStatus addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) override;
    CounterStatus collect(QueryHandle query) override;
    double readDouble(CounterHandle counter, CounterStatus& status) override;
    CounterStatus closeQuery(QueryHandle query) override;

private:
    static constexpr std::size_t kSources = 2;
    struct Query {
        bool open = false;
        QueryHandle inner[kSources] = {0, 0};
        std::vector<CounterHandle> counters;
    };
    struct Counter {
        bool open = false;
        std::size_t source = 0;
        CounterHandle inner = 0;
    };

    Query* queryFor(QueryHandle handle);
    ValueSource& source(std::size_t which) { return which == 0 ? local_ : remote_; }

    ValueSource& local_;
    ValueSource& remote_;
    std::string localHostName_;
    std::vector<Query> queries_;
    std::vector<Counter> counters_;
};

}  // namespace quorvel
