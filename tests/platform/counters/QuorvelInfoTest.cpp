#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "FixtureRoot.h"
#include "tools/quorvel-info/InfoCommand.h"
#include "tools/quorvel-info/SampleOptions.h"

namespace quorvel::info {
namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun run(const std::vector<std::string_view>& args, const std::string& root) {
    std::ostringstream out;
    std::ostringstream err;
    InfoContext context{out, err, root};
    const int status = runInfo(args, context);
    return {status, out.str(), err.str()};
}

class QuorvelInfo : public ::testing::Test {
protected:
    test::FixtureRoot root_{"basic"};
};

TEST_F(QuorvelInfo, ListsObjectsCountersAndCurrentInstances) {
    const ToolRun all = run({"counters"}, root_.path());
    EXPECT_EQ(all.status, kOk);
    EXPECT_NE(all.out.find("RAS Port\n  instances: ppp0, tun0, we\\ird(1)\n  counters:\n    Bytes Transmitted/Sec\n"),
              std::string::npos)
        << all.out;
    EXPECT_NE(all.out.find("PhysicalDisk\n  instances: _Total, sda, nvme0n1\n"), std::string::npos);

    const ToolRun one = run({"counters", "memory"}, root_.path());
    EXPECT_EQ(one.status, kOk);
    EXPECT_EQ(one.out,
              "Memory\n  counters:\n    Available Bytes\n    Committed Bytes\n    Cache Bytes\n"
              "    % Committed Bytes In Use\n");

    const ToolRun unknown = run({"counters", "Modem"}, root_.path());
    EXPECT_EQ(unknown.status, kFailed);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_NE(unknown.err.find("unknown object \"Modem\""), std::string::npos);
}

TEST_F(QuorvelInfo, SamplesOneCsvLinePerCollection) {
    const ToolRun r = run({"--root", root_.path(), "sample", "\\RAS Total\\Bytes Received", "\\Memory\\Available Bytes",
                           "-i", "1", "-n", "2"},
                          "/");
    ASSERT_EQ(r.status, kOk) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, R"("time","\RAS Total\Bytes Received","\Memory\Available Bytes")");
    const std::regex row(R"re("\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}",3711,2048000000)re");
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_TRUE(std::regex_match(line, row)) << line;
    }
    EXPECT_FALSE(std::getline(lines, line));
}

TEST_F(QuorvelInfo, RefusesUnknownPathsBeforeSampling) {
    const ToolRun r =
        run({"sample", "\\RAS Total\\Bytes Received", "\\Modem\\Bytes", "\\RAS Port(eth0)\\Bytes Received", "-n", "1"},
            root_.path());
    EXPECT_EQ(r.status, kFailed);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("\"\\Modem\\Bytes\" names an object"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\"\\RAS Port(eth0)\\Bytes Received\" names an instance"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("\"\\RAS Total\\Bytes Received\""), std::string::npos) << r.err;
}

TEST_F(QuorvelInfo, BadCommandLinesAreUsageErrors) {
    const std::vector<std::vector<std::string_view>> cases = {
        {},
        {"frobnicate"},
        {"counters", "Memory", "System"},
        {"sample"},
        {"sample", "-n", "1"},
        {"sample", "\\Memory\\Available Bytes", "-i"},
        {"sample", "\\Memory\\Available Bytes", "-x", "3"},
    };
    for (const auto& args : cases) {
        const ToolRun r = run(args, root_.path());
        EXPECT_EQ(r.status, kUsageError) << (args.empty() ? "(nothing)" : args[0]);
        EXPECT_FALSE(r.err.empty());
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(run({"--help"}, root_.path()).status, kOk);
    EXPECT_EQ(run({"sample", "\\Memory\\Available Bytes", "-n", "1"}, "/nonexistent/root").status, kFailed);
}

TEST_F(QuorvelInfo, ListsEveryFolderInOrder) {
    const ToolRun folders = run({"folders"}, root_.path());
    EXPECT_EQ(folders.status, kOk);
    std::vector<std::string> names;
    std::istringstream lines(folders.out);
    for (std::string line; std::getline(lines, line);) {
        ASSERT_NE(line.find('='), std::string::npos) << line;
        names.push_back(line.substr(0, line.find('=')));
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"Windows", "System", "Temp", "Desktop", "Programs", "Personal", "Favorites",
                                        "Startup", "Recent", "SendTo", "Fonts", "StartMenu", "Device", "CommonFiles",
                                        "Config", "Media", "ProgramFiles", "OldWindows", "VB5Install"}));
    EXPECT_EQ(run({"folders", "extra"}, root_.path()).status, kUsageError);
}

TEST(SampleOptions, ReadsIntervalCountAndPaths) {
    const std::vector<std::string_view> args{"-n", "5", "\\A\\b", "-i", "250", "\\C(d)\\e"};
    const auto parsed = parseSampleOptions(args);
    ASSERT_TRUE(std::holds_alternative<SampleOptions>(parsed));
    const auto& options = std::get<SampleOptions>(parsed);
    EXPECT_EQ(options.paths, (std::vector<std::string>{"\\A\\b", "\\C(d)\\e"}));
    EXPECT_EQ(options.intervalMs, 250U);
    EXPECT_EQ(options.count, 5U);

    const auto defaults = std::get<SampleOptions>(parseSampleOptions(std::vector<std::string_view>{"\\A\\b"}));
    EXPECT_EQ(defaults.intervalMs, 1000U);
    EXPECT_FALSE(defaults.count.has_value());

    for (const std::string_view bad : {"0", "-5", "1.5", "x", "", "86400001", "99999999999999999999"}) {
        const std::vector<std::string_view> withInterval{"\\A\\b", "-i", bad};
        EXPECT_TRUE(std::holds_alternative<std::string>(parseSampleOptions(withInterval))) << bad;
    }
    for (const std::string_view bad : {"0", "-1", "2x"}) {
        const std::vector<std::string_view> withCount{"\\A\\b", "-n", bad};
        EXPECT_TRUE(std::holds_alternative<std::string>(parseSampleOptions(withCount))) << bad;
    }
}

}  // namespace
}  // namespace quorvel::info
