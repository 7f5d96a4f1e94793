#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "platform/linux/snmp/SnmpValueSource.h"

namespace quorvel::info {

// How long the tool waits for another machine's agent before it gives up.
inline constexpr std::chrono::milliseconds kRemoteTimeout{15000};

// Asks `machine` (the text after "\\") for `needs` and waits for the answer. On failure
// gives nothing and leaves in `problem` what to tell the user.
std::shared_ptr<const snmp::MachineReading> askMachine(SnmpValueSource& remote, std::string_view machine,
                                                       unsigned needs, std::string& problem);

}  // namespace quorvel::info
