#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/linux/XdgUserDirs.h"

namespace quorvel {
namespace {

struct ParseCase {
    const char* what;
    std::string text;
    std::optional<std::string> expected;
};

TEST(XdgUserDirsTest, ReadsAssignmentsAsTheShellWould) {
    const ParseCase cases[] = {
        {"home relative", "XDG_DESKTOP_DIR=\"$HOME/Desk top\"\n", "/h/Desk top"},
        {"home itself", "XDG_DESKTOP_DIR=\"$HOME\"", "/h"},
        {"absolute", "XDG_DESKTOP_DIR=\"/srv/desk/\"", "/srv/desk/"},
        {"comments and indentation", "# XDG_DESKTOP_DIR=\"/no\"\n  XDG_DESKTOP_DIR=\"/yes\"  # note\n", "/yes"},
        {"last assignment wins", "XDG_DESKTOP_DIR=\"/first\"\nXDG_DESKTOP_DIR=\"/second\"\n", "/second"},
        {"empty assignment clears", "XDG_DESKTOP_DIR=\"/first\"\nXDG_DESKTOP_DIR=\"\"\n", std::nullopt},
        {"other names ignored", "XDG_DESKTOP_DIRS=\"/a\"\nMY_XDG_DESKTOP_DIR=\"/b\"\nXDG_MUSIC_DIR=\"/c\"",
         std::nullopt},
        {"escapes", R"(XDG_DESKTOP_DIR="/a\"b\\c\$d\e")", R"(/a"b\c$d\e)"},
        {"other variables", "XDG_DESKTOP_DIR=\"$HOMEDIR/x\"", std::nullopt},
        {"command substitution", "XDG_DESKTOP_DIR=\"/`id`\"", std::nullopt},
        {"relative folder", "XDG_DESKTOP_DIR=\"Desktop\"", std::nullopt},
        {"unquoted", "XDG_DESKTOP_DIR=/srv/desk", std::nullopt},
        {"unterminated", "XDG_DESKTOP_DIR=\"/srv/desk\n", std::nullopt},
        {"text after the quote", "XDG_DESKTOP_DIR=\"/srv\"/desk", std::nullopt},
        {"empty file", "", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindUserDir(c.text, "DESKTOP", "/h"), c.expected) << c.what;
    }
}

TEST(XdgUserDirsTest, HomeRelativeFolderNeedsAHome) {
    EXPECT_EQ(FindUserDir("XDG_DESKTOP_DIR=\"$HOME/Desktop\"", "DESKTOP", ""), std::nullopt);
    EXPECT_EQ(FindUserDir("XDG_DESKTOP_DIR=\"/srv/Desktop\"", "DESKTOP", ""), "/srv/Desktop");
}

}  // namespace
}  // namespace quorvel
