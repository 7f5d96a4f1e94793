#pragma once

#include <cstdint>
#include <string>

#include "platform/linux/snmp/AgentTables.h"

namespace quorvel::snmp {

// The latest news from one machine, as its worker last published it.
struct MachineReading {
    enum class State { Waiting, Answering, Silent, BadHost };
    State state = State::Waiting;
    std::uint64_t sequence = 0;  // one more with every request that ended
    std::uint64_t epoch = 0;     // one more whenever the counters start afresh
    std::int64_t timeNs = 0;     // when the agent answered, on the monotonic clock
    std::string problem;         // why the machine is silent, for people
    AgentTables tables;
};

}  // namespace quorvel::snmp
