#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "SnmpAgent.h"
#include "tools/quorvel-info/InfoCommand.h"

namespace quorvel::info {
namespace {

// Status, standard output and standard error in one string.
std::string run(const std::vector<std::string>& words) {
    const std::vector<std::string_view> args(words.begin(), words.end());
    std::ostringstream out;
    std::ostringstream err;
    InfoContext context{out, err, "/"};
    const int status = runInfo(args, context);
    return std::to_string(status) + "|" + out.str() + "|" + err.str();
}

TEST(QuorvelInfoRemote, SaysWhatIsWrongWithAMachine) {
    test::SilentPort silent;
    const std::string dead = "\\\\127.0.0.1:" + std::to_string(silent.port());
    const std::string silence = "1||quorvel-info: " + dead + " does not answer (no answer from udp:" + dead.substr(2) +
                                "); is its SNMP agent running, and do the community or user in snmp.conf match?\n";
    const std::string lists = "\"quorvel-info counters\" lists what there is.\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"counters", "\\\\bad name"},
         "1||quorvel-info: \"\\\\bad name\" is not a machine name (\\\\host, \\\\host:port or \\\\[IPv6 "
         "address]:port)\n"},
        {{"counters", dead}, silence},
        {{"sample", dead + "\\System\\Processes", "-n", "1"}, silence + lists},
        {{"sample", "\\\\bad:port\\System\\Processes", "-n", "1"},
         "1||quorvel-info: \"\\\\bad:port\\System\\Processes\" names no machine that can be asked (\\\\host or "
         "\\\\host:port)\n" +
             lists},
        {{"sample", dead + "\\PhysicalDisk(_Total)\\Disk Bytes/sec", "-n", "1"},
         "1||quorvel-info: \"" + dead +
             "\\PhysicalDisk(_Total)\\Disk Bytes/sec\" names an object that this machine does not offer\n" + lists},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(run(args), expected) << args[1];
    }
}

}  // namespace
}  // namespace quorvel::info
