#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/ValueSource.h"
#include "platform/linux/ProcRows.h"
#include "platform/linux/ProcSampler.h"
#include "platform/linux/snmp/AgentTables.h"

namespace quorvel::snmp {

// What the agent's objects give for one counter of the local catalog: the objects it
// needs (as Need bits), or 0 when an agent's standard tables do not have it.
unsigned needsOf(proc::ObjectId object, proc::Field field, bool total);

// How the samples of a counter turn into a reading.
struct SampleKind {
    proc::CounterKind kind = proc::CounterKind::Gauge;
    double scale = 1.0;
};

// Fills `out` with the contributors of one counter as the agent's tables show them.
// Returns Valid, NoInstance for an instance that is not there now, or NoCounter when
// the agent lacks the objects the counter is computed from.
CounterStatus sampleRemote(proc::ObjectId object, const proc::CounterDef& counter, const proc::InstanceRef& instance,
                           const AgentTables& tables, ProcRows<proc::KeyedSample>& out, SampleKind& kind);

// Whether any contributor changed between two answers: the agent refreshed its counters.
bool countsMoved(std::span<const proc::KeyedSample> before, std::span<const proc::KeyedSample> after);

// Interface types that are point-to-point links: ppp, SLIP, tunnels, serial lines.
bool isRemoteAccessType(std::int64_t type);

// The current instances of an object, "_Total" first where there is one.
std::vector<std::string> remoteInstances(proc::ObjectId object, const AgentTables& tables);

}  // namespace quorvel::snmp
