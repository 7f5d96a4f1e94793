#include <gtest/gtest.h>

#include <tuple>

#include "platform/linux/snmp/MachineAddress.h"

namespace quorvel::snmp {
namespace {

TEST(MachineAddress, ParsesNamesAddressesAndPorts) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Router", "router:161", "udp:Router:161"},
        {"192.168.1.1:1161", "192.168.1.1:1161", "udp:192.168.1.1:1161"},
        {"[::1]", "[::1]:161", "udp6:[::1]:161"},
        {"[FE80::1%eth0]:16161", "[fe80::1%eth0]:16161", "udp6:[FE80::1%eth0]:16161"},
        {"nas.example.org:65535", "nas.example.org:65535", "udp:nas.example.org:65535"},
    };
    for (const auto& [text, key, peer] : cases) {
        const auto parsed = parseMachineAddress(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(parsed->key(), key) << text;
        EXPECT_EQ(parsed->peerName(), peer) << text;
    }
    for (const char* text : {"", "host:", "host:0", "host:65536", "host:16x", "::1", "[::1", "[::1]x", "[]", "bad name",
                             "tcp:host", "host/path"}) {
        EXPECT_FALSE(parseMachineAddress(text)) << text;
    }
}

}  // namespace
}  // namespace quorvel::snmp
