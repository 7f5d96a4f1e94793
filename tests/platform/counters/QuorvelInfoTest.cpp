#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "FixtureRoot.h"
#include "support/TempDir.h"
#include "tools/quorvel-info/InfoCommand.h"

namespace quorvel::info {
namespace {

class QuorvelInfo : public ::testing::Test {
protected:
    test::FixtureRoot root_{"basic"};
};

// Status, standard output and standard error in one string.
std::string runIn(const std::string& root, const std::vector<std::string_view>& args) {
    std::ostringstream out;
    std::ostringstream err;
    InfoContext context{out, err, root};
    const int status = runInfo(args, context);
    return std::to_string(status) + "|" + out.str() + "|" + err.str();
}

TEST_F(QuorvelInfo, ListsObjectsCountersAndCurrentInstances) {
    const std::string all = runIn(root_.path(), {"counters"});
    EXPECT_EQ(all.substr(0, 2), "0|");
    EXPECT_NE(all.find("RAS Port\n  instances: ppp0, tun0, we\\ird(1)\n  counters:\n    Bytes Transmitted/Sec\n"),
              std::string::npos)
        << all;
    EXPECT_NE(all.find("PhysicalDisk\n  instances: _Total, sda, nvme0n1\n"), std::string::npos);
    EXPECT_EQ(runIn(root_.path(), {"counters", "memory"}),
              "0|Memory\n  counters:\n    Available Bytes\n    Committed Bytes\n    Cache Bytes\n"
              "    % Committed Bytes In Use\n|");
    EXPECT_EQ(runIn(root_.path(), {"counters", "Modem"}),
              "1||quorvel-info: unknown object \"Modem\"; \"quorvel-info counters\" lists them\n");
}

TEST_F(QuorvelInfo, SamplesOneCsvLinePerCollection) {
    const std::string r = runIn("/", {"--root", root_.path(), "sample", "\\RAS Total\\Bytes Received",
                                      "\\Memory\\Available Bytes", "-n", "2", "-i", "1"});
    const std::string stamp = R"("\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}")";
    EXPECT_TRUE(
        std::regex_match(r, std::regex(R"re(0\|"time","\\RAS Total\\Bytes Received","\\Memory\\Available Bytes")re"
                                       "\n(" +
                                       stamp + R"(,3711,2048000000\n){2}\|)")))
        << r;
}

TEST_F(QuorvelInfo, RefusesUnknownPathsBeforeSampling) {
    EXPECT_EQ(runIn(root_.path(), {"sample", "\\RAS Total\\Bytes Received", "\\Modem\\Bytes",
                                   "\\RAS Port(eth0)\\Bytes Received", "-n", "1"}),
              "1||quorvel-info: \"\\Modem\\Bytes\" names an object that this machine does not offer\n"
              "quorvel-info: \"\\RAS Port(eth0)\\Bytes Received\" names an instance that is not there now, or lacks "
              "one it needs\n\"quorvel-info counters\" lists what there is.\n");
    EXPECT_EQ(runIn("/nonexistent/root", {"sample", "\\Memory\\Available Bytes", "-n", "1"}).substr(0, 3), "1||");
}

TEST_F(QuorvelInfo, BadCommandLinesAreUsageErrors) {
    for (const std::string line :
         {"", "frobnicate", "counters Memory System", "sample -n 1", "sample \\A\\b -i", "sample \\A\\b -x 3",
          "sample \\A\\b -i 0", "sample \\A\\b -i 1.5", "sample \\A\\b -i 86400001",
          "sample \\A\\b -i 99999999999999999999", "sample \\A\\b -n 2x", "settings-path a b"}) {
        std::istringstream words(line);
        const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
        const std::string r = runIn(root_.path(), {args.begin(), args.end()});
        EXPECT_TRUE(r.starts_with("2||") && r.size() > 3) << line << ": " << r;
    }
    EXPECT_EQ(runIn(root_.path(), {"--help"}).substr(0, 2), "0|");
    EXPECT_TRUE(runIn(root_.path(), {"folders"}).starts_with("0|Windows="));
}

// Without a settings file, settings-path names both places the gadget looks: beside it
// (named as a user might, reported resolved) and under XDG_CONFIG_HOME, set for the test.
TEST(QuorvelInfoSettingsPath, NamesThePlacesTheGadgetLooksIn) {
    const testing::TempDir dir("quorvel-settings-path");
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", (dir.str() + "/cfg").c_str(), 1), 0);
    std::filesystem::create_directories(dir.str() + "/bin");
    EXPECT_EQ(runIn("/", {"settings-path", dir.str() + "/bin/../bin/quorvel"}),
              "1||quorvel-info: no settings file exists, so the gadget runs on its defaults.\n"
              "It reads the first of these that exists; create one there to configure it:\n  " +
                  dir.str() + "/bin/quorvel.ini\n  " + dir.str() + "/cfg/quorvel/quorvel.ini\n");
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace quorvel::info
