#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/snmp/StopSignal.h"

namespace quorvel::snmp {

// A numeric object identifier, one sub-identifier per element.
using Oid = std::vector<std::uint32_t>;

// One value as an agent sent it. Counters, gauges, integers and time ticks are numbers;
// strings are text. `present` is false for an object the agent does not have.
struct SnmpValue {
    bool present = false;
    bool wide = false;  // a 64-bit counter
    std::uint64_t number = 0;
    std::string text;
};

// One row of a column: the last sub-identifier of its object identifier, and its value.
struct SnmpCell {
    std::uint32_t index = 0;
    SnmpValue value;
};

// What one collection asks a machine for: single objects, and whole table columns.
struct SnmpRequest {
    std::vector<Oid> scalars;
    std::vector<Oid> columns;
    std::uint32_t expectedRows = 16;  // a hint for how many rows to ask for at once
};

// The answer, in the order of the request.
struct SnmpAnswer {
    std::vector<SnmpValue> scalars;
    std::vector<std::vector<SnmpCell>> columns;
};

enum class FetchOutcome { Answered, NoAnswer, BadHost, Stopped };

struct FetchResult {
    FetchOutcome outcome = FetchOutcome::NoAnswer;
    SnmpAnswer answer;
    std::string problem;  // for NoAnswer and BadHost: what went wrong, for people
};

// The connection to one machine's agent. Used by one thread at a time.
class SnmpTransport {
public:
    virtual ~SnmpTransport() = default;
    // Asks for everything in `request`, waiting no longer than the transport's timeout,
    // and returns early with Stopped once `stop` is raised.
    virtual FetchResult fetch(const SnmpRequest& request, const StopSignal& stop) = 0;

protected:
    SnmpTransport() = default;
    SnmpTransport(const SnmpTransport&) = default;
    SnmpTransport& operator=(const SnmpTransport&) = default;
};

}  // namespace quorvel::snmp
