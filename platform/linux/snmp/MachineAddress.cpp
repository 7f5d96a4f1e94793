#include "platform/linux/snmp/MachineAddress.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quorvel::snmp {
namespace {

std::optional<std::uint16_t> portOf(std::string_view text) {
    unsigned value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || ptr != text.data() + text.size() || value == 0 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

bool hostCharacter(char c, bool ipv6) {
    const auto u = static_cast<unsigned char>(c);
    // An IPv6 address may end in a zone, "%eth0".
    return std::isalnum(u) != 0 || c == '-' || c == '.' || c == '_' || (ipv6 && (c == ':' || c == '%'));
}

}  // namespace

std::string MachineAddress::peerName() const {
    const std::string number = std::to_string(port);
    return ipv6 ? "udp6:[" + host + "]:" + number : "udp:" + host + ":" + number;
}

std::string MachineAddress::key() const {
    std::string lower = host;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return (ipv6 ? "[" + lower + "]" : lower) + ":" + std::to_string(port);
}

std::optional<MachineAddress> parseMachineAddress(std::string_view text) {
    MachineAddress address;
    std::string_view rest;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        address.ipv6 = true;
        address.host = std::string(text.substr(1, close - 1));
        rest = text.substr(close + 1);
    } else {
        const std::size_t colon = text.find(':');
        address.host = std::string(text.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view{} : text.substr(colon);
    }
    if (!rest.empty()) {
        const auto port = rest.starts_with(':') ? portOf(rest.substr(1)) : std::nullopt;
        if (!port) {
            return std::nullopt;
        }
        address.port = *port;
    }
    if (address.host.empty() || !std::all_of(address.host.begin(), address.host.end(),
                                             [&](char c) { return hostCharacter(c, address.ipv6); })) {
        return std::nullopt;
    }
    return address;
}

}  // namespace quorvel::snmp
