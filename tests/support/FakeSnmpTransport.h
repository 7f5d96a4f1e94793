#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/snmp/SnmpObjects.h"
#include "platform/linux/snmp/SnmpTransport.h"

namespace quorvel::test {

// A scripted agent shared by the test and the worker threads: the test sets objects and
// switches it silent; transports made by `factory()` answer from it.
class FakeAgent : public std::enable_shared_from_this<FakeAgent> {
public:
    void set(snmp::Scalar s, std::uint64_t number, bool wide = false) {
        const std::lock_guard lock(mutex_);
        scalars_[snmp::oidOf(s)] = {true, wide, number, {}};
    }
    void setCell(snmp::Column c, std::uint32_t index, std::uint64_t number, bool wide = false) {
        const std::lock_guard lock(mutex_);
        columns_[snmp::oidOf(c)][index] = {true, wide, number, {}};
    }
    void setText(snmp::Column c, std::uint32_t index, std::string text) {
        const std::lock_guard lock(mutex_);
        columns_[snmp::oidOf(c)][index] = {true, false, 0, std::move(text)};
    }
    void removeRow(std::uint32_t index) {
        const std::lock_guard lock(mutex_);
        for (auto& [oid, cells] : columns_) {
            cells.erase(index);
        }
    }
    // Answering, failing each request at once (as a timeout does), or keeping each
    // request waiting until the mode changes or the worker stops.
    enum class Mode { Answer, NoAnswer, Hang };
    void setMode(Mode mode) {
        {
            const std::lock_guard lock(mutex_);
            mode_ = mode;
        }
        changed_.notify_all();
    }
    [[nodiscard]] int fetches() const {
        const std::lock_guard lock(mutex_);
        return fetches_;
    }

    snmp::FetchResult fetch(const snmp::SnmpRequest& request, const snmp::StopSignal& stop) {
        std::unique_lock lock(mutex_);
        ++fetches_;
        snmp::FetchResult result;
        if (mode_ != Mode::Answer) {
            // Looks at `stop` often, as the real transport does.
            while (!stop.raised() && mode_ == Mode::Hang) {
                changed_.wait_for(lock, std::chrono::milliseconds(5));
            }
            result.outcome = stop.raised() ? snmp::FetchOutcome::Stopped : snmp::FetchOutcome::NoAnswer;
            result.problem = "no answer";
            return result;
        }
        result.outcome = snmp::FetchOutcome::Answered;
        for (const auto& oid : request.scalars) {
            result.answer.scalars.push_back(scalars_[oid]);  // absent where never set
        }
        for (const auto& oid : request.columns) {
            auto& cells = result.answer.columns.emplace_back();
            for (const auto& [index, value] : columns_[oid]) {
                cells.push_back({index, value});
            }
        }
        return result;
    }

    std::function<std::unique_ptr<snmp::SnmpTransport>(const std::string&)> factory() {
        return [self = shared_from_this()](const std::string&) -> std::unique_ptr<snmp::SnmpTransport> {
            return std::make_unique<Transport>(self);
        };
    }

private:
    struct Transport : snmp::SnmpTransport {
        explicit Transport(std::shared_ptr<FakeAgent> from) : agent(std::move(from)) {}
        snmp::FetchResult fetch(const snmp::SnmpRequest& request, const snmp::StopSignal& stop) override {
            return agent->fetch(request, stop);
        }
        std::shared_ptr<FakeAgent> agent;
    };

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Mode mode_ = Mode::Answer;
    int fetches_ = 0;
    std::map<snmp::Oid, snmp::SnmpValue> scalars_;
    std::map<snmp::Oid, std::map<std::uint32_t, snmp::SnmpValue>> columns_;  // by row index
};

}  // namespace quorvel::test
