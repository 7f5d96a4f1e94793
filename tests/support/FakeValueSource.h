#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    };

    // Handle written by the next openQuery; nullopt leaves the caller's variable alone.
    std::optional<QueryHandle> nextQuery = 7;
    // Handles written by successive addCounter calls; when used up, nothing is written.
    std::vector<CounterHandle> nextCounters{101, 102, 103};
    // Value and status that readDouble gives per counter handle; unknown handles get 0.
    std::map<CounterHandle, std::pair<double, CounterStatus>> readings;
    CounterStatus statusOfCalls = counter_status::Valid;
    std::vector<Call> calls;

    CounterStatus openQuery(QueryHandle& query) override {
        record("open", 0);
        query = nextQuery.value_or(query);
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
    CounterStatus collect(QueryHandle query) override { return record("collect", query); }
    double readDouble(CounterHandle counter, CounterStatus& status) override {
        record("read", counter);
        const auto found = readings.find(counter);
        status = found == readings.end() ? counter_status::InvalidHandle : found->second.second;
        return found == readings.end() ? 0.0 : found->second.first;
    }
    CounterStatus closeQuery(QueryHandle query) override { return record("close", query); }

    // The calls so far, as "op handle [path]; ...".
    [[nodiscard]] std::string trace() const {
        std::string text;
        for (const auto& call : calls) {
            text += call.op + " " + std::to_string(call.handle) + (call.path.empty() ? "" : " " + call.path) + "; ";
        }
        return text;
    }

private:
    CounterStatus record(const char* op, std::uint32_t handle, std::string_view path = {}) {
        calls.push_back({op, handle, std::string(path)});
        return statusOfCalls;
    }
};

}  // namespace quorvel::test
