#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/RuntimeError.h"
#include "platform/ValueSource.h"

namespace quorvel::test {

// A scripted value source: it logs every call with its arguments and answers from
// what the test set up beforehand.
class FakeValueSource : public ValueSource {
public:
    struct Call {
        std::string op;
        std::uint32_t handle = 0;
        std::string path;
        bool operator==(const Call&) const = default;
    };

    // Handle written by the next openQuery; nullopt leaves the caller's variable alone.
    std::optional<QueryHandle> nextQuery = 7;
    // Handles written by successive addCounter calls; when used up, nothing is written.
    std::vector<CounterHandle> nextCounters{101, 102, 103};
    // Value and status that readDouble gives per counter handle; unknown handles get 0.
    std::map<CounterHandle, std::pair<double, CounterStatus>> readings;
    CounterStatus statusOfCalls = counter_status::Valid;
    bool unreachable = false;

    std::vector<Call> calls;

    CounterStatus openQuery(QueryHandle& query) override {
        record("open", 0);
        if (nextQuery) {
            query = *nextQuery;
        }
        return statusOfCalls;
    }

    CounterStatus addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) override {
        record("add", query, path);
        if (!nextCounters.empty()) {
            counter = nextCounters.front();
            nextCounters.erase(nextCounters.begin());
        }
        return statusOfCalls;
    }

    CounterStatus collect(QueryHandle query) override {
        record("collect", query);
        return statusOfCalls;
    }

    double readDouble(CounterHandle counter, CounterStatus& status) override {
        record("read", counter);
        const auto it = readings.find(counter);
        if (it == readings.end()) {
            status = counter_status::InvalidHandle;
            return 0.0;
        }
        status = it->second.second;
        return it->second.first;
    }

    CounterStatus closeQuery(QueryHandle query) override {
        record("close", query);
        return statusOfCalls;
    }

private:
    void record(const char* op, std::uint32_t handle, std::string_view path = {}) {
        if (unreachable) {
            throw RuntimeError(ErrorKind::PlatformUnavailable, std::string("no performance-data service for ") + op);
        }
        calls.push_back({op, handle, std::string(path)});
    }
};

}  // namespace quorvel::test
