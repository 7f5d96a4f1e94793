#include "app/CommandLine.h"
#include "app/Tool.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "common/RuntimeError.h"
#include "support/TestLocales.h"

namespace quorvel::Tool {
namespace {

TEST(Tool, JoinPathAddsOneSeparatorOnlyWhenMissing) {
    // {separator, folder, joined}
    const std::vector<std::tuple<char, std::string, std::string>> table = {
        {'/', "/opt/q", "/opt/q/a"},
        {'/', "/", "/a"},
        {'\\', "C:\\", "C:\\a"},
        {'\\', "C:", "C:\\a"},
    };
    for (const auto& [separator, folder, joined] : table) {
        EXPECT_EQ(JoinPath(folder, "a", separator), joined);
    }
    // The drive test counts the folder's characters in 16 bits.
    EXPECT_EQ(JoinPath(std::string(32767, 'd'), "a", '/').size(), 32769U);
    EXPECT_THROW((void)JoinPath(std::string(32768, 'd'), "a", '/'), RuntimeError);
}

TEST(Tool, DriveSpecIsTwoOrThreeCharactersWithTheColonSecond) {
    const std::vector<std::pair<std::string, bool>> table = {{"C:", true},   {"C:x", true}, {"C:\\", true},
                                                             {"C", false},   {"", false},   {"C:\\x", false},
                                                             {"ab:", false}, {":C", false}, {"\xC3\xA9:", false}};
    for (const auto& [candidate, isDrive] : table) {
        EXPECT_EQ(IsDriveSpec(candidate), isDrive) << candidate;
    }
    EXPECT_THROW((void)IsDriveSpec(std::string(32768, 'x')), RuntimeError);
    const test::MultibyteLocale& sample = test::multibyteLocale();
    if (std::setlocale(LC_ALL, sample.name) == nullptr) {
        GTEST_SKIP() << "no " << sample.name << " locale on this machine";
    }
    EXPECT_TRUE(IsDriveSpec(sample.upper + ":"));
    EXPECT_FALSE(IsDriveSpec(sample.twoIdeographs + ":"));  // ":" is the third character
    if (sample.beyondBmp) {
        EXPECT_FALSE(IsDriveSpec(*sample.beyondBmp + ":"));  // it fills the first two 16-bit units
    }
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace quorvel::Tool

namespace quorvel::CommandLine {
namespace {

TEST(CommandLine, TheFirstHelpOrVersionDecidesAndAllElseIsIgnored) {
    const std::pair<std::vector<std::string_view>, Request> cases[] = {
        {{}, Request::Run},
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
