#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace quorvel::CommandLine {
namespace {

TEST(CommandLine, TheFirstHelpOrVersionDecidesAndAllElseIsIgnored) {
    struct Case {
        std::vector<std::string_view> args;
        Request request;
    };
    const Case cases[] = {
        {{}, Request::Run},
        {{"--help"}, Request::Help},
        {{"--version"}, Request::Version},
        {{"-x", "file", "--help"}, Request::Help},
        {{"--version", "--help"}, Request::Version},
        {{"--help", "--version"}, Request::Help},
        {{"-h", "-v", "--Version", "--help=1", "help", "--"}, Request::Run},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(c.args), c.request) << (c.args.empty() ? "(none)" : c.args.front());
    }
}

TEST(CommandLine, VersionIsProductNameAndThreeNumbers) {
    EXPECT_EQ(VersionText(), "Quorvel 1.1.0");
    // help2man takes the first line for the synopsis and needs an options section.
    EXPECT_TRUE(HelpText().starts_with("Usage: quorvel "));
    EXPECT_NE(HelpText().find("\n  --version "), std::string::npos);
}

}  // namespace
}  // namespace quorvel::CommandLine
