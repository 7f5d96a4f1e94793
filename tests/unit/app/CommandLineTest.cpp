#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace quorvel::CommandLine {
namespace {

TEST(CommandLine, TheFirstHelpOrVersionDecidesAndAllElseIsIgnored) {
    const std::pair<std::vector<std::string_view>, Request> cases[] = {
        {{}, Request::Run},
        {{"--help"}, Request::Help},
        {{"--version"}, Request::Version},
        {{"-x", "file", "--help"}, Request::Help},
        {{"--version", "--help"}, Request::Version},
        {{"--help", "--version"}, Request::Help},
        {{"-h", "-v", "--Version", "--help=1", "help", "--"}, Request::Run},
    };
    for (const auto& [args, request] : cases) {
        EXPECT_EQ(Parse(args), request) << (args.empty() ? "(none)" : args.front());
    }
}

// Where the settings file is looked for differs between platforms; each gives its own paragraph.
constexpr std::string_view kSettingsHelp = "Settings: here.\n";

TEST(CommandLine, HelpHasASynopsisAndAnOptionsSection) {
    // help2man takes the first line for the synopsis and needs an options section.
    const std::string help = HelpText(kSettingsHelp);
    EXPECT_TRUE(help.starts_with("Usage: quorvel "));
    EXPECT_NE(help.find("\n  --version "), std::string::npos);
    EXPECT_NE(help.find("menu.\n\nSettings: here.\n\"quorvel-info settings-path\""), std::string::npos) << help;
}

TEST(CommandLine, AnswerPrintsTheRequestedTextFailsIfItCannotOrLetsTheGadgetRun) {
    const std::tuple<std::vector<std::string_view>, std::optional<int>, std::string> cases[] = {
        {{}, std::nullopt, ""},
        {{"file", "-x"}, std::nullopt, ""},
        {{"--help"}, 0, HelpText(kSettingsHelp)},
        {{"x", "--version"}, 0, "Quorvel 1.1.0\n"},
    };
    for (const auto& [args, status, printed] : cases) {
        std::ostringstream out;
        EXPECT_EQ(Answer(args, kSettingsHelp, out), status) << (args.empty() ? "(none)" : args.back());
        EXPECT_EQ(out.str(), printed);
    }
    std::ostream nowhere(nullptr);  // every write sets badbit, as a closed pipe does
    EXPECT_EQ(Answer(std::get<0>(cases[2]), kSettingsHelp, nowhere), 1);
}

}  // namespace
}  // namespace quorvel::CommandLine
