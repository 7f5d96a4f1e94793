#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "folders/clsSystemFolder.h"
#include "platform/linux/XdgFolderLookup.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

using Environment = std::map<std::string, std::string>;

EnvironmentReader ReaderOf(const Environment& environment) {
    return [environment](const std::string& name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        if (found == environment.end()) {
            return std::nullopt;
        }
        return found->second;
    };
}

std::string ReadVia(const Environment& environment, std::string (clsSystemFolder::*read)() const) {
    XdgFolderLookup lookup(ReaderOf(environment));
    const clsSystemFolder folders(lookup);
    return (folders.*read)();
}

// A home folder of its own for each test, removed afterwards.
class TemporaryHome : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quorvel-home-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        home_ = pattern;
    }
    void TearDown() override { fs::remove_all(home_); }

    void WriteUserDirs(const fs::path& configHome, const std::string& text) {
        fs::create_directories(configHome);
        std::ofstream(configHome / "user-dirs.dirs") << text;
    }

    // What xdg-user-dir prints for the name with this home and configuration folder.
    std::string XdgUserDir(const std::string& name, const std::string& configHome = {}) {
        std::string command = "env -i PATH=/usr/bin:/bin HOME='" + home_.string() + "'";
        if (!configHome.empty()) {
            command += " XDG_CONFIG_HOME='" + configHome + "'";
        }
        command += " xdg-user-dir " + name;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            ADD_FAILURE() << "cannot run " << command;
            return {};
        }
        std::string output;
        std::array<char, 512> chunk{};
        while (fgets(chunk.data(), static_cast<int>(chunk.size()), pipe) != nullptr) {
            output += chunk.data();
        }
        EXPECT_EQ(pclose(pipe), 0) << command;
        if (output.ends_with('\n')) {
            output.pop_back();
        }
        return output;
    }

    static bool HaveXdgUserDir() { return std::system("command -v xdg-user-dir >/dev/null 2>&1") == 0; }

    fs::path home_;
};

TEST_F(TemporaryHome, ShellFoldersFollowUserDirsLikeXdgUserDir) {
    if (!HaveXdgUserDir()) {
        GTEST_SKIP() << "xdg-user-dir is not installed (Debian package xdg-user-dirs)";
    }
    struct Case {
        const char* what;
        std::string file;  // empty: no user-dirs.dirs at all
        std::string desktop;
        std::string documents;
        bool inConfigHome = false;  // the file sits in XDG_CONFIG_HOME, a decoy in ~/.config
    };
    const std::string home = home_.string();
    const Case cases[] = {
        {"no file", "", home + "/Desktop", home},
        {"both named", "# written by hand\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOCUMENTS_DIR=\"/srv/docs/\"\n",
         home + "/Schreibtisch", "/srv/docs/"},
        {"only documents", "XDG_DOCUMENTS_DIR=\"$HOME/My Docs\"\n", home + "/Desktop", home + "/My Docs"},
        {"reassigned and cleared",
         "XDG_DESKTOP_DIR=\"/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"\nXDG_DOCUMENTS_DIR=\"/c\"\nXDG_DOCUMENTS_DIR=\"\"\n",
         home + "/b", home},
        {"quote inside", "XDG_DESKTOP_DIR=\"$HOME/say \\\"hi\\\"\"\n", home + "/say \"hi\"", home},
        {"config home", "XDG_DESKTOP_DIR=\"$HOME/There\"\n", home + "/There", home, true},
    };
    const std::string configHome = home + "/elsewhere";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(home_ / ".config");
        Environment environment{{"HOME", home}};
        if (c.inConfigHome) {
            environment["XDG_CONFIG_HOME"] = configHome;
            WriteUserDirs(configHome, c.file);
            WriteUserDirs(home_ / ".config", "XDG_DESKTOP_DIR=\"$HOME/NotHere\"\n");
        } else if (!c.file.empty()) {
            WriteUserDirs(home_ / ".config", c.file);
        }
        const std::string shellConfigHome = c.inConfigHome ? configHome : "";
        EXPECT_EQ(ReadVia(environment, &clsSystemFolder::Desktop), c.desktop);
        EXPECT_EQ(ReadVia(environment, &clsSystemFolder::Personal), c.documents);
        EXPECT_EQ(XdgUserDir("DESKTOP", shellConfigHome), c.desktop);
        EXPECT_EQ(XdgUserDir("DOCUMENTS", shellConfigHome), c.documents);
    }
}

TEST_F(TemporaryHome, FolderMovedBetweenReadsShowsItsNewPlace) {
    XdgFolderLookup lookup(ReaderOf({{"HOME", home_.string()}}));
    const clsSystemFolder folders(lookup);
    WriteUserDirs(home_ / ".config", "XDG_DESKTOP_DIR=\"$HOME/Old\"\n");
    EXPECT_EQ(folders.Desktop(), home_.string() + "/Old");
    WriteUserDirs(home_ / ".config", "XDG_DESKTOP_DIR=\"$HOME/New\"\n");
    EXPECT_EQ(folders.Desktop(), home_.string() + "/New");
}

TEST(XdgFolderLookupTest, BaseFoldersComeFromXdgVariablesOrHome) {
    const Environment withVariables{{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/data/"}, {"XDG_CONFIG_HOME", "/conf"}};
    const Environment homeOnly{{"HOME", "/home/u"}, {"XDG_DATA_HOME", "relative"}, {"XDG_CONFIG_HOME", ""}};
    const Environment nothing{};

    struct Case {
        const char* name;
        std::string (clsSystemFolder::*read)() const;
        std::string withVariables;
        std::string homeOnly;
    };
    const Case cases[] = {
        {"Programs", &clsSystemFolder::Programs, "/data/applications", "/home/u/.local/share/applications"},
        {"StartMenu", &clsSystemFolder::StartMenu, "/data/applications", "/home/u/.local/share/applications"},
        {"Startup", &clsSystemFolder::Startup, "/conf/autostart", "/home/u/.config/autostart"},
        {"Fonts", &clsSystemFolder::Fonts, "/data/fonts", "/home/u/.local/share/fonts"},
        {"Recent", &clsSystemFolder::Recent, "/data/RecentDocuments", "/home/u/.local/share/RecentDocuments"},
        {"Favorites", &clsSystemFolder::Favorites, "", ""},
        {"SendTo", &clsSystemFolder::SendTo, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadVia(withVariables, c.read), c.withVariables);
        EXPECT_EQ(ReadVia(homeOnly, c.read), c.homeOnly);
        EXPECT_EQ(ReadVia(nothing, c.read), "");
    }
    EXPECT_EQ(ReadVia(nothing, &clsSystemFolder::Desktop), "");
}

TEST(XdgFolderLookupTest, PathTooLongForTheBufferGivesEmptyText) {
    const std::string home = "/" + std::string(230, 'h');
    EXPECT_EQ(ReadVia({{"HOME", home}}, &clsSystemFolder::Fonts), home + "/.local/share/fonts");
    EXPECT_EQ(ReadVia({{"HOME", home}}, &clsSystemFolder::Programs), "") << "255 characters and more";
    EXPECT_EQ(ReadVia({{"TMPDIR", "/" + std::string(254, 't')}}, &clsSystemFolder::Temp), "");
}

TEST(XdgFolderLookupTest, TempEndsInOneSeparator) {
    EXPECT_EQ(ReadVia({}, &clsSystemFolder::Temp), "/tmp/");
    EXPECT_EQ(ReadVia({{"TMPDIR", "/var/tmp"}}, &clsSystemFolder::Temp), "/var/tmp/");
    EXPECT_EQ(ReadVia({{"TMPDIR", "/var/tmp/"}}, &clsSystemFolder::Temp), "/var/tmp/");
    EXPECT_EQ(ReadVia({{"TMPDIR", ""}}, &clsSystemFolder::Temp), "/tmp/");
    EXPECT_EQ(ReadVia({{"TMPDIR", "scratch"}}, &clsSystemFolder::Temp), "/tmp/");
}

TEST(XdgFolderLookupTest, SystemFoldersAndRegistryTable) {
    const std::pair<std::string (clsSystemFolder::*)() const, std::string> cases[] = {
        {&clsSystemFolder::Windows, "/usr"},        {&clsSystemFolder::System, "/usr/bin"},
        {&clsSystemFolder::Device, "/lib/modules"}, {&clsSystemFolder::CommonFiles, "/usr/share"},
        {&clsSystemFolder::Config, "/etc"},         {&clsSystemFolder::Media, "/usr/share/sounds"},
        {&clsSystemFolder::ProgramFiles, "/opt"},   {&clsSystemFolder::OldWindows, ""},
        {&clsSystemFolder::VB5Install, ""},
    };
    for (const auto& [read, expected] : cases) {
        EXPECT_EQ(ReadVia({{"HOME", "/home/u"}}, read), expected);
    }
}

}  // namespace
}  // namespace quorvel
