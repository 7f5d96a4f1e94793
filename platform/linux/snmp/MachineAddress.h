#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::snmp {

// The machine part of a counter path: `host`, `host:port`, `[IPv6]` or `[IPv6]:port`.
struct MachineAddress {
    std::string host;  // without brackets
    std::uint16_t port = 161;
    bool ipv6 = false;

    // The agent address as net-snmp takes it, UDP always.
    [[nodiscard]] std::string peerName() const;
    // The same machine written the same way: host in lower case, port always given.
    [[nodiscard]] std::string key() const;
};

// Nothing for text that names no machine: empty, a bad port, stray brackets, spaces.
std::optional<MachineAddress> parseMachineAddress(std::string_view text);

}  // namespace quorvel::snmp
