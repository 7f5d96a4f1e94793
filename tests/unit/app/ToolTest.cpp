#include "app/Tool.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <utility>
#include <vector>

#include "common/RuntimeError.h"

namespace quorvel::Tool {
namespace {

TEST(Tool, JoinPathAddsOneSeparatorOnlyWhenMissing) {
    const std::vector<std::pair<std::string, std::string>> table = {
        {"/opt/q", "/opt/q/a"}, {"/opt/q/", "/opt/q/a"}, {"/", "/a"}, {"bin", "bin/a"}, {"C:", "C:/a"}};
    for (const auto& [folder, joined] : table) {
        EXPECT_EQ(JoinPath(folder, "a"), joined);
    }
    // The drive test counts the folder's characters in 16 bits.
    EXPECT_EQ(JoinPath(std::string(32767, 'd'), "a").size(), 32769U);
    EXPECT_THROW((void)JoinPath(std::string(32768, 'd'), "a"), RuntimeError);
}

TEST(Tool, DriveSpecIsTwoOrThreeCharactersWithTheColonSecond) {
    const std::vector<std::pair<std::string, bool>> table = {{"C:", true},   {"C:x", true}, {"C:\\", true},
                                                             {"C", false},   {"", false},   {"C:\\x", false},
                                                             {"ab:", false}, {":C", false}, {"\xC3\xA9:", false}};
    for (const auto& [candidate, isDrive] : table) {
        EXPECT_EQ(IsDriveSpec(candidate), isDrive) << candidate;
    }
    EXPECT_THROW((void)IsDriveSpec(std::string(32768, 'x')), RuntimeError);
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale on this machine";
    }
    EXPECT_TRUE(IsDriveSpec("\xC3\xA9:"));
    EXPECT_FALSE(IsDriveSpec("\xE6\x97\xA5\xE6\x9C\xAC:"));  // ":" is the third character
    EXPECT_FALSE(IsDriveSpec("\xF0\x9F\x98\x80:"));          // the emoji fills the first two 16-bit units
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace quorvel::Tool
