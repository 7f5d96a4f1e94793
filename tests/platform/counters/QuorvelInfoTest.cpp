#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
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
    std::vector<std::vector<std::string_view>> cases = {{},
                                                        {"frobnicate"},
                                                        {"counters", "Memory", "System"},
                                                        {"sample"},
                                                        {"sample", "-n", "1"},
                                                        {"folders", "extra"},
                                                        {"sample", "\\Memory\\Available Bytes", "-i"},
                                                        {"sample", "\\Memory\\Available Bytes", "-x", "3"}};
    for (const std::string_view bad : {"0", "-5", "1.5", "x", "", "86400001", "99999999999999999999"}) {
        cases.push_back({"sample", "\\A\\b", "-i", bad});
    }
    for (const std::string_view bad : {"0", "-1", "2x"}) {
        cases.push_back({"sample", "\\A\\b", "-n", bad});
    }
    for (const auto& args : cases) {
        const std::string r = runIn(root_.path(), args);
        EXPECT_TRUE(r.starts_with("2||") && r.size() > 3) << r;
    }
    EXPECT_EQ(runIn(root_.path(), {"--help"}).substr(0, 2), "0|");
    EXPECT_TRUE(runIn(root_.path(), {"folders"}).starts_with("0|Windows="));
}

// settings-path answers for a gadget in a folder of its own, with XDG_CONFIG_HOME set for
// the test (the tool reads the real environment, as the gadget does).
TEST(QuorvelInfoSettingsPath, PrintsTheFileTheGadgetWouldUse) {
    namespace fs = std::filesystem;
    const testing::TempDir dir("quorvel-settings-path");
    const std::string top = dir.str();
    const std::string beside = top + "/bin/quorvel.ini";
    const std::string user = top + "/cfg/quorvel/quorvel.ini";
    fs::create_directories(top + "/bin");
    fs::create_directories(top + "/cfg/quorvel");
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", (top + "/cfg").c_str(), 1), 0);
    const std::string gadget = top + "/bin/../bin/quorvel";  // named as a user might; reported resolved
    const std::vector<std::string_view> args{"settings-path", gadget};

    const std::string neither =
        "1||quorvel-info: no settings file exists, so the gadget runs on its defaults.\n"
        "It reads the first of these that exists; create one there to configure it:\n  " +
        beside + "\n  " + user + "\n";
    EXPECT_EQ(runIn("/", args), neither);
    std::ofstream(user) << "Max=1\r\n";
    EXPECT_EQ(runIn("/", args), "0|" + user + "\n|");
    std::ofstream(beside) << "Max=2\r\n";
    EXPECT_EQ(runIn("/", args), "0|" + beside + "\n|");
    EXPECT_EQ(runIn("/", {"settings-path", "a", "b"}).substr(0, 3), "2||");

    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace quorvel::info
