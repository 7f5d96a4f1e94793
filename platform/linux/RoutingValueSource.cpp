#include "platform/linux/RoutingValueSource.h"

#include <limits>

#include "common/Text.h"
#include "platform/linux/CounterPath.h"

namespace quorvel {

RoutingValueSource::RoutingValueSource(ValueSource& local, ValueSource& remote, std::string localHostName)
    : local_(local), remote_(remote), localHostName_(std::move(localHostName)) {}

RoutingValueSource::Query* RoutingValueSource::queryFor(QueryHandle handle) {
    if (handle == 0 || handle > queries_.size() || !queries_[handle - 1].open) {
        return nullptr;
    }
    return &queries_[handle - 1];
}

CounterStatus RoutingValueSource::openQuery(QueryHandle& query) {
    if (queries_.size() >= std::numeric_limits<QueryHandle>::max()) {
        return counter_status::InvalidHandle;
    }
    queries_.emplace_back().open = true;
    query = static_cast<QueryHandle>(queries_.size());
    return counter_status::Valid;
}

CounterStatus RoutingValueSource::addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) {
    Query* q = queryFor(query);
    if (q == nullptr || counters_.size() >= std::numeric_limits<CounterHandle>::max()) {
        return counter_status::InvalidHandle;
    }
    // A path that does not parse goes to this machine's source, which says what is wrong.
    const auto parts = parseCounterPath(path);
    const bool here = !parts || parts->machine.empty() || parts->machine == "." ||
                      text::equalsIgnoreCase(parts->machine, localHostName_);
    const std::size_t which = here ? 0 : 1;
    if (q->inner[which] == 0) {
        QueryHandle inner = 0;
        const CounterStatus opened = source(which).openQuery(inner);
        if (opened != counter_status::Valid) {
            return opened;
        }
        q->inner[which] = inner;
    }
    CounterHandle inner = 0;
    const CounterStatus added = source(which).addCounter(q->inner[which], path, inner);
    if (added != counter_status::Valid) {
        return added;
    }
    counters_.push_back({true, which, inner});
    counter = static_cast<CounterHandle>(counters_.size());
    q->counters.push_back(counter);
    return counter_status::Valid;
}

CounterStatus RoutingValueSource::collect(QueryHandle query) {
    Query* q = queryFor(query);
    if (q == nullptr) {
        return counter_status::InvalidHandle;
    }
    CounterStatus status = counter_status::Valid;
    for (std::size_t which = 0; which < kSources; ++which) {
        if (q->inner[which] != 0) {
            const CounterStatus collected = source(which).collect(q->inner[which]);
            if (status == counter_status::Valid) {
                status = collected;
            }
        }
    }
    return status;
}

double RoutingValueSource::readDouble(CounterHandle counter, CounterStatus& status) {
    if (counter == 0 || counter > counters_.size() || !counters_[counter - 1].open) {
        status = counter_status::InvalidHandle;
        return 0.0;
    }
    const Counter& c = counters_[counter - 1];
    return source(c.source).readDouble(c.inner, status);
}

CounterStatus RoutingValueSource::closeQuery(QueryHandle query) {
    Query* q = queryFor(query);
    if (q == nullptr) {
        return counter_status::InvalidHandle;
    }
    for (std::size_t which = 0; which < kSources; ++which) {
        if (q->inner[which] != 0) {
            source(which).closeQuery(q->inner[which]);
        }
    }
    for (const CounterHandle handle : q->counters) {
        counters_[handle - 1].open = false;
    }
    *q = Query{};
    return counter_status::Valid;
}

}  // namespace quorvel
