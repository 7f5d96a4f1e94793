#include "app/Tool.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "common/RuntimeError.h"
#include "support/FakeFileSystem.h"

namespace quorvel::Tool {
namespace {

TEST(ToolJoinPath, InsertsOneSeparatorOnlyWhenMissing) {
    EXPECT_EQ(JoinPath("/opt/quorvel", "Quorvel.ini"), "/opt/quorvel/Quorvel.ini");
    EXPECT_EQ(JoinPath("/opt/quorvel/", "Quorvel.ini"), "/opt/quorvel/Quorvel.ini");
    EXPECT_EQ(JoinPath("/", "Quorvel.ini"), "/Quorvel.ini");
    EXPECT_EQ(JoinPath("bin", "a.ini"), "bin/a.ini");
}

TEST(ToolJoinPath, BareDriveDesignatorLandsInItsRoot) {
    EXPECT_EQ(JoinPath("C:", "a.ini"), "C:/a.ini");
    EXPECT_EQ(JoinPath("C:/", "a.ini"), "C:/a.ini");
    EXPECT_EQ(JoinPath("ab:", "a.ini"), "ab:/a.ini");
}

TEST(ToolJoinPath, OverlongFolderOverflowsThroughTheDriveTest) {
    EXPECT_EQ(JoinPath(std::string(32767, 'd'), "a").size(), 32769U);
    try {
        (void)JoinPath(std::string(32768, 'd'), "a");
        ADD_FAILURE() << "no overflow";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
}

TEST(ToolIsDriveSpec, TwoOrThreeCharactersWithColonSecond) {
    EXPECT_TRUE(IsDriveSpec("C:"));
    EXPECT_TRUE(IsDriveSpec("C:x"));
    EXPECT_TRUE(IsDriveSpec("C:\\"));
    EXPECT_FALSE(IsDriveSpec("C"));
    EXPECT_FALSE(IsDriveSpec(""));
    EXPECT_FALSE(IsDriveSpec("C:\\x"));
    EXPECT_FALSE(IsDriveSpec("ab:"));
    EXPECT_FALSE(IsDriveSpec(":C"));
    EXPECT_THROW((void)IsDriveSpec(std::string(32768, 'x')), RuntimeError);
}

TEST(ToolIsDriveSpec, CountsCharactersInTheLocale) {
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale on this machine";
    }
    EXPECT_TRUE(IsDriveSpec("\xC3\xA9:"));                   // é: is two characters
    EXPECT_FALSE(IsDriveSpec("\xE6\x97\xA5\xE6\x9C\xAC:"));  // three characters, ":" third
    EXPECT_FALSE(IsDriveSpec("\xF0\x9F\x98\x80:"));          // the emoji fills the first two units
    std::setlocale(LC_ALL, "C");
    EXPECT_FALSE(IsDriveSpec("\xC3\xA9:"));  // three single-byte characters here
}

TEST(ToolIsExistingFile, OpenableFilesOnlyHiddenIncluded) {
    test::FakeFileSystem files;
    files.addFile("/opt/q/Quorvel.ini");
    files.addFile("/opt/q/.hidden.ini");
    files.addFile("/opt/q/locked.ini").readable = false;
    files.addFolder("/opt/q/folder.ini");
    EXPECT_TRUE(IsExistingFile(files, "/opt/q/Quorvel.ini"));
    EXPECT_TRUE(IsExistingFile(files, "/opt/q/.hidden.ini"));
    EXPECT_FALSE(IsExistingFile(files, "/opt/q/locked.ini"));
    EXPECT_FALSE(IsExistingFile(files, "/opt/q/folder.ini"));
    EXPECT_FALSE(IsExistingFile(files, "/opt/q/missing.ini"));
    EXPECT_FALSE(IsExistingFile(files, ""));
    EXPECT_FALSE(IsExistingFile(files, std::string("/opt/q/Quorvel.ini\0x", 20)));
}

}  // namespace
}  // namespace quorvel::Tool
