#include <gtest/gtest.h>

#include "platform/linux/snmp/MachineAddress.h"

namespace quorvel::snmp {
namespace {

TEST(MachineAddress, ParsesNamesAddressesAndPorts) {
    struct Case {
        const char* text;
        const char* key;  // nullptr: not a machine
        const char* peer;
    };
    const Case cases[] = {
        {"Router", "router:161", "udp:Router:161"},
        {"192.168.1.1:1161", "192.168.1.1:1161", "udp:192.168.1.1:1161"},
        {"[::1]", "[::1]:161", "udp6:[::1]:161"},
        {"[FE80::1%eth0]:16161", "[fe80::1%eth0]:16161", "udp6:[FE80::1%eth0]:16161"},
        {"nas.example.org:65535", "nas.example.org:65535", "udp:nas.example.org:65535"},
        {"", nullptr, nullptr},
        {"host:", nullptr, nullptr},
        {"host:0", nullptr, nullptr},
        {"host:65536", nullptr, nullptr},
        {"host:16x", nullptr, nullptr},
        {"::1", nullptr, nullptr},
        {"[::1", nullptr, nullptr},
        {"[::1]x", nullptr, nullptr},
        {"[]", nullptr, nullptr},
        {"bad name", nullptr, nullptr},
        {"tcp:host", nullptr, nullptr},
        {"host/path", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const auto parsed = parseMachineAddress(c.text);
        if (c.key == nullptr) {
            EXPECT_FALSE(parsed) << c.text;
            continue;
        }
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parsed->key(), c.key) << c.text;
        EXPECT_EQ(parsed->peerName(), c.peer) << c.text;
    }
}

}  // namespace
}  // namespace quorvel::snmp
