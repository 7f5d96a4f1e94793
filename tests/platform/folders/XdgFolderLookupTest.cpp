#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "folders/clsSystemFolder.h"
#include "platform/linux/XdgConfigFolder.h"
#include "platform/linux/XdgFolderLookup.h"
#include "platform/linux/XdgUserDirs.h"
#include "support/TempDir.h"

namespace quorvel {
namespace {

using F = clsSystemFolder;
using Environment = std::map<std::string, std::string>;

// Reads a variable from `environment`, as it stands at each call, for the process environment.
auto VariableIn(const Environment& environment) {
    return [&environment](const std::string& name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional(found->second);
    };
}

std::string Read(const Environment& environment, std::string (F::*read)() const) {
    XdgFolderLookup lookup(VariableIn(environment));
    return (F(lookup).*read)();
}

// The expected folders are what xdg-user-dir prints for DESKTOP and DOCUMENTS in the same home.
TEST(XdgFolderLookupTest, ShellFoldersFollowUserDirsLikeXdgUserDir) {
    const testing::TempDir temp("quorvel-home");
    const std::string home = temp.str();
    struct Case {
        std::string file, desktop, documents;  // no file at all where `file` is empty
        std::string configDir = ".config";     // any other is named by XDG_CONFIG_HOME, else it is empty
    };
    const Case cases[] = {
        {"", home + "/Desktop", home},
        {"# by hand\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n  XDG_DOCUMENTS_DIR=\"/srv/docs/\"  # shared\n",
         home + "/Schreibtisch", "/srv/docs/"},
        {"XDG_DESKTOP_DIR=\"/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"\nXDG_DOCUMENTS_DIR=\"/c\"\nXDG_DOCUMENTS_DIR=\"\"\n",
         home + "/b", home},
        // The previous case's file stays behind in ~/.config as a decoy.
        {"XDG_DESKTOP_DIR=\"$HOME/There\"\n", home + "/There", home, "elsewhere"},
    };
    Environment environment;
    XdgFolderLookup lookup(VariableIn(environment));
    const F folders(lookup);
    for (const auto& c : cases) {
        const std::string config = home + "/" + c.configDir;
        environment = {{"HOME", home}, {"XDG_CONFIG_HOME", c.configDir == ".config" ? "" : config}};
        std::filesystem::create_directories(config);
        if (!c.file.empty()) {
            std::ofstream(config + "/user-dirs.dirs") << c.file;
        }
        EXPECT_EQ(folders.Desktop() + "\n" + folders.Personal(), c.desktop + "\n" + c.documents);
    }
}

TEST(XdgFolderLookupTest, EachPropertyHasItsDesktopCounterpart) {
    const Environment variables{
        {"HOME", "/home/u"}, {"XDG_DATA_HOME", "/data/"}, {"XDG_CONFIG_HOME", "/conf"}, {"TMPDIR", "/var/tmp/"}};
    const Environment homeOnly{
        {"HOME", "/home/u"}, {"XDG_DATA_HOME", "relative"}, {"XDG_CONFIG_HOME", ""}, {"TMPDIR", "/var/tmp"}};
    const std::tuple<std::string (F::*)() const, std::string, std::string, std::string> cases[] = {
        {&F::Temp, "/var/tmp/", "/var/tmp/", "/tmp/"},
        {&F::Desktop, "/home/u/Desktop", "/home/u/Desktop", ""},
        {&F::Programs, "/data/applications", "/home/u/.local/share/applications", ""},
        {&F::Startup, "/conf/autostart", "/home/u/.config/autostart", ""},
        {&F::Fonts, "/data/fonts", "/home/u/.local/share/fonts", ""},
        {&F::Favorites, "", "", ""},
        {&F::Config, "/etc", "/etc", "/etc"},
        {&F::OldWindows, "", "", ""},
        {&F::VB5Install, "", "", ""},
    };
    for (const auto& [read, withVariables, withHomeOnly, withNothing] : cases) {
        EXPECT_EQ(Read(variables, read), withVariables);
        EXPECT_EQ(Read(homeOnly, read), withHomeOnly);
        EXPECT_EQ(Read({}, read), withNothing);
    }
    // A path of 255 characters or more does not fit the buffer with its NUL.
    const std::string home = "/" + std::string(230, 'h');
    EXPECT_EQ(Read({{"HOME", home}}, &F::Fonts), home + "/.local/share/fonts");
    EXPECT_EQ(Read({{"HOME", home}}, &F::Programs), "");
    EXPECT_EQ(Read({{"TMPDIR", "/" + std::string(254, 't')}}, &F::Temp), "");
}

// The file is shell text: anything needing more of the shell than quotes, backslashes
// and a leading $HOME is refused rather than guessed at.
TEST(XdgFolderLookupTest, UserDirsAreReadLikeTheShellOrNotAtAll) {
    EXPECT_EQ(FindUserDir(R"(XDG_DESKTOP_DIR="/a\"b\\c\$d\e")", "DESKTOP", "/h"), R"(/a"b\c$d\e)");
    for (const char* text : {"# XDG_DESKTOP_DIR=\"/no\"", "XDG_DESKTOP_DIRS=\"/a\"", "MY_XDG_DESKTOP_DIR=\"/b\"",
                             "XDG_MUSIC_DIR=\"/c\"", "XDG_DESKTOP_DIR=\"$HOMEDIR/x\"", "XDG_DESKTOP_DIR=\"/`id`\"",
                             "XDG_DESKTOP_DIR=\"/$(id)\"", "XDG_DESKTOP_DIR=\"Desktop\"", "XDG_DESKTOP_DIR=/srv/desk",
                             "XDG_DESKTOP_DIR=\"/srv/desk\n", "XDG_DESKTOP_DIR=\"/srv\"/desk"}) {
        EXPECT_EQ(FindUserDir(text, "DESKTOP", "/h"), std::nullopt) << text;
    }
    EXPECT_EQ(FindUserDir("XDG_DESKTOP_DIR=\"$HOME/Desktop\"", "DESKTOP", ""), std::nullopt) << "no home";
}

TEST(XdgConfigFolderTest, AbsoluteConfigHomeElseHomeDotConfigElseNone) {
    const std::pair<Environment, std::string> cases[] = {
        {{{"XDG_CONFIG_HOME", "/x/cfg"}, {"HOME", "/home/u"}}, "/x/cfg"},
        {{{"XDG_CONFIG_HOME", "rel/cfg"}, {"HOME", "/home/u"}}, "/home/u/.config"},
        {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/u/"}}, "/home/u/.config"},
        {{{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "home/u"}}, ""},
        {{}, ""},
    };
    for (const auto& [variables, folder] : cases) {
        const XdgConfigFolder config(VariableIn(variables));
        EXPECT_EQ(config.userConfigFolder(), folder) << (variables.empty() ? "(empty)" : variables.begin()->second);
    }
}

}  // namespace
}  // namespace quorvel
