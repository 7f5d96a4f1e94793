#pragma once

#include <cstdint>
#include <string>

#include "platform/linux/ProcFile.h"

namespace quorvel::proc {

// What the source knows of one network interface beyond its counters. Kind and flags
// are read once, when the interface first shows up; state and speed on demand.
struct ProcLink {
    std::string name;
    bool remoteAccess = false;  // point-to-point or PPP: a dial-up, tunnel or VPN link
    bool loopback = false;
    bool connected = false;      // up and with carrier, as of the last state read
    std::int64_t speedMbps = 0;  // 0 when the driver does not know it
    bool seen = false;
    ProcFile flags;
    ProcFile carrier;
    ProcFile speed;
};

}  // namespace quorvel::proc
