#include "app/SettingsLocation.h"

#include <string>
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
        {"/usr/bin", "quorvel", "/home/u/.config", {"/usr/bin/quorvel.ini", "/home/u/.config/quorvel/quorvel.ini"}},
        {"/", "gadget", "/cfg/", {"/gadget.ini", "/cfg/quorvel/quorvel.ini"}},
        {"/opt/q", "quorvel", "", {"/opt/q/quorvel.ini"}},
        // The system's own separator, also after a drive's root.
        {"C:\\Tools", "Quorvel", "", {"C:\\Tools\\Quorvel.ini"}, '\\'},
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
    bool besideIsFolder = false;
    bool besideUnreadable = false;
    bool noUserFolder = false;
    const char* used = nullptr;  // the file loaded and written back; nullptr: none
};

class SettingsFileChoice : public GadgetFixture, public ::testing::WithParamInterface<Layout> {};

TEST_P(SettingsFileChoice, LoadsAndWritesBackTheFirstThatExists) {
    const Layout& layout = GetParam();
    files.addFolder("/home/u/.config/quorvel");
    if (layout.beside != nullptr) {
        files.addFile(kIni, layout.beside).readable = !layout.besideUnreadable;
    }
    if (layout.besideIsFolder) {
        files.addFolder(kIni);
    }
    if (layout.user != nullptr) {
        files.addFile(kUserIni, layout.user);
    }
    if (layout.noUserFolder) {
        configFolder.folder.clear();
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

INSTANTIATE_TEST_SUITE_P(
    Layouts, SettingsFileChoice,
    ::testing::Values(Layout{"BesideWins", "Max=5000", "Max=7000", false, false, false, GadgetFixture::kIni},
                      Layout{"UserFileWhenNoneBeside", nullptr, "Max=7000", false, false, false, kUserIni},
                      Layout{"FolderBesideCountsAsMissing", nullptr, "Max=7000", true, false, false, kUserIni},
                      Layout{"UnreadableBesideCountsAsMissing", "Max=5000", "Max=7000", false, true, false, kUserIni},
                      Layout{"NeitherLoadsAndCreatesNothing", nullptr, nullptr},
                      Layout{"NoUserFolderLooksOnlyBeside", nullptr, "Max=7000", false, false, true, nullptr}),
    [](const ::testing::TestParamInfo<Layout>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace quorvel
