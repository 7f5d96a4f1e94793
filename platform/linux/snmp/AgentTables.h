#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/snmp/SnmpObjects.h"
#include "platform/linux/snmp/SnmpTransport.h"

namespace quorvel::snmp {

// A counter as the agent sent it, and its running total: a 32-bit counter that wrapped
// keeps counting up in `total`.
struct CounterCell {
    bool present = false;
    bool wide = false;
    std::uint64_t raw = 0;
    std::uint64_t total = 0;
};

struct InterfaceRow {
    std::uint32_t index = 0;
    std::string name;  // ifName, or ifDescr where the agent has no ifName
    std::string descr;
    std::int64_t type = 0;
    bool up = false;
    std::uint64_t speedBitsPerSecond = 0;
    std::array<CounterCell, kColumnCount> cells{};
};

// One answer of an agent, decoded, with the counters carried on from the answer before.
struct AgentTables {
    unsigned needs = 0;  // what the request asked for
    std::vector<InterfaceRow> interfaces;
    std::vector<std::uint64_t> processorLoads;  // percent, in the agent's device order
    std::array<CounterCell, kScalarCount> scalars{};

    [[nodiscard]] const CounterCell& scalar(Scalar s) const { return scalars[static_cast<std::size_t>(s)]; }
};

// Decodes `answer` to the request that `plan` describes. `before` is the previous decoded
// answer of the same agent (null at the first, or after the agent fell silent or
// restarted); 32-bit counters that went backwards since then wrapped, unless the increase
// that implies is more than the interface could have carried in `elapsedNs`, which means
// the counter was reset.
AgentTables decodeAnswer(const RequestPlan& plan, const SnmpAnswer& answer, const AgentTables* before,
                         std::int64_t elapsedNs);

// Whether the agent restarted between two answers: its own up time went backwards.
bool agentRestarted(const AgentTables& before, const AgentTables& after);

// Carries a counter on from its previous cell.
CounterCell carryCounter(const SnmpValue& value, const CounterCell* before, double maxIncrease);

}  // namespace quorvel::snmp
