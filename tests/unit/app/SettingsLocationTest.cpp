#include "app/SettingsLocation.h"

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "GadgetFixture.h"

namespace quorvel {
namespace {

constexpr const char* kUserIni = "/home/u/.config/quorvel/quorvel.ini";

TEST(SettingsLocation, CandidatesAreBesideTheExecutableThenTheUserFolder) {
    struct Case {
        std::string folder, name, configFolder;
        std::vector<std::string> candidates;
        char separator = '/';
    };
    const Case cases[] = {
        {"/opt/q", "quorvel", "", {"/opt/q/quorvel.ini"}},
        // The system's own separator, also after a drive's root.
        {"C:\\", "Quorvel", "C:\\Cfg", {"C:\\Quorvel.ini", "C:\\Cfg\\quorvel\\quorvel.ini"}, '\\'},
    };
    for (const Case& c : cases) {
        fake::ProcessInfo process;
        process.folder = c.folder;
        process.name = c.name;
        process.separator = c.separator;
        fake::UserConfigFolder config;
        config.folder = c.configFolder;
        EXPECT_EQ(SettingsLocation::Candidates(process, config), c.candidates) << c.folder << " " << c.configFolder;
    }
}

// Which file the gadget loads at start and writes back at exit, and that the others stay as they were.
struct Layout {
    const char* name;
    const char* beside;  // contents of the file beside the executable; nullptr: none
    const char* user;    // contents of the user's file; nullptr: none
    bool besideUnreadable = false;
    const char* used = nullptr;  // the file loaded and written back; nullptr: none
};

class SettingsFileChoice : public GadgetFixture, public ::testing::WithParamInterface<Layout> {};

TEST_P(SettingsFileChoice, LoadsAndWritesBackTheFirstThatExists) {
    const Layout& layout = GetParam();
    files.addFolder("/home/u/.config/quorvel");
    if (layout.beside != nullptr) {
        files.addFile(kIni, layout.beside).readable = !layout.besideUnreadable;
    }
    if (layout.user != nullptr) {
        files.addFile(kUserIni, layout.user);
    }
    EXPECT_EQ(Startup::SettingsPath(env), layout.used == nullptr ? "" : layout.used);
    start();
    window.fireClose();

    // The file used comes back rewritten with the value it was loaded with; the others stay
    // as they were, and none is created.
    for (const auto& [path, before] :
         {std::pair{GadgetFixture::kIni, layout.beside}, std::pair{kUserIni, layout.user}}) {
        if (layout.used != nullptr && path == std::string(layout.used)) {
            EXPECT_EQ(files.contents(path).substr(0, 21), "[General]\r\nMax = " + std::string(before).substr(4, 4))
                << path;
        } else if (before == nullptr) {
            EXPECT_FALSE(files.hasFile(path)) << path << " was created";
        } else {
            EXPECT_EQ(files.contents(path), before) << path << " was changed";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, SettingsFileChoice,
                         ::testing::Values(Layout{"BesideWins", "Max=5000", "Max=7000", false, GadgetFixture::kIni},
                                           Layout{"UserFileWhenNoneBeside", nullptr, "Max=7000", false, kUserIni},
                                           Layout{"UnreadableBesideCountsAsMissing", "Max=5000", "Max=7000", true,
                                                  kUserIni},
                                           Layout{"NeitherLoadsAndCreatesNothing", nullptr, nullptr}),
                         [](const ::testing::TestParamInfo<Layout>& param) { return std::string(param.param.name); });

using SettingsFile = GadgetFixture;

// The store refuses to write such a file back whatever the exit; closing the window is one.
TEST_F(SettingsFile, FileNotReadWholeIsNamedOnceAndSurvivesTheExit) {
    const std::string tooLong = "Bunkaino=30\nMax=5000\nBarX=" + std::string(40000, 'x') + "\nBarY=False\n";
    writeIni(tooLong);
    std::ostringstream notices;
    StreamNotices noticeLines{notices};
    env.setNotices(noticeLines);
    frmMain& main = start();
    // The gadget runs on what it read: the lines before the failing one are in force.
    EXPECT_EQ(std::pair(main.Bunkaino(), main.Graph().Max()), std::pair(std::int16_t{30}, 5000.0));
    window.fireClose();
    EXPECT_EQ(files.contents(kIni), tooLong);
    EXPECT_EQ(notices.str(),
              "Quorvel: stopped reading the settings file /opt/quorvel/quorvel.ini at line 3 (its value is longer "
              "than 32767 characters). The settings from there on take their defaults, and the program will not "
              "write the file back.\n");
}

}  // namespace
}  // namespace quorvel
