#include "app/Tool.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
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
        {'/', "/opt/q/", "/opt/q/a"},
        {'/', "/", "/a"},
        {'/', "bin", "bin/a"},
        {'/', "C:", "C:/a"},
        {'\\', "C:\\Tools", "C:\\Tools\\a"},
        {'\\', "C:\\Tools\\", "C:\\Tools\\a"},
        {'\\', "C:\\", "C:\\a"},
        {'\\', "C:", "C:\\a"},
        {'\\', "\\\\srv\\share", "\\\\srv\\share\\a"},
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
