#include "tools/quorvel-info/RemoteMachine.h"

namespace quorvel::info {

std::shared_ptr<const snmp::MachineReading> askMachine(SnmpValueSource& remote, std::string_view machine,
                                                       unsigned needs, std::string& problem) {
    const std::string name = "\\\\" + std::string(machine);
    auto reading = remote.refresh(machine, needs, kRemoteTimeout);
    if (!reading) {
        problem = "\"" + name + "\" is not a machine name (\\\\host, \\\\host:port or \\\\[IPv6 address]:port)";
        return nullptr;
    }
    using State = snmp::MachineReading::State;
    switch (reading->state) {
    case State::Answering: return reading;
    case State::BadHost: problem = "cannot reach " + name + ": " + reading->problem; break;
    case State::Silent:
        problem = name + " does not answer (" + reading->problem +
                  "); is its SNMP agent running, and do the community or user in snmp.conf match?";
        break;
    case State::Waiting:
        problem = name + " did not answer within " + std::to_string(kRemoteTimeout.count() / 1000) + " s";
        break;
    }
    return nullptr;
}

}  // namespace quorvel::info
