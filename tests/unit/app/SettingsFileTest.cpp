#include <sstream>
#include <string>
#include <vector>

#include "GadgetFixture.h"

namespace quorvel {
namespace {

class SettingsFile : public GadgetFixture {
protected:
    SettingsFile() { env.setNotices(noticeLines); }
    std::ostringstream notices;
    StreamNotices noticeLines{notices};
};

TEST_F(SettingsFile, FileNotReadWholeIsNamedOnceAndSurvivesEveryExit) {
    const std::string tooLong = "Bunkaino=30\nMax=5000\nBarX=" + std::string(40000, 'x') + "\nBarY=False\n";
    struct Exit {
        const char* how;
        void (*close)(SettingsFile&);
    };
    const std::vector<Exit> exits = {
        {"window closed", [](SettingsFile& t) { t.window.fireClose(); }},
        {"quit from the menu",
         [](SettingsFile& t) {
             t.menu.nextChoice = frmMain::MenuQuit;
             EXPECT_THROW(t.window.fireMouseDown(2), fake::ProcessEnded);
         }},
    };
    for (const Exit& exit : exits) {
        notices.str({});
        writeIni(tooLong);
        frmMain& main = start();
        // The gadget runs on what it read: the lines before the failing one are in force.
        EXPECT_TRUE(window.shown);
        EXPECT_EQ(main.Bunkaino(), 30);
        EXPECT_EQ(main.Graph().Max(), 5000.0);
        tick(1, 2);
        exit.close(*this);
        EXPECT_EQ(files.contents(kIni), tooLong) << exit.how;
        EXPECT_EQ(notices.str(),
                  "Quorvel: stopped reading the settings file /opt/quorvel/quorvel.ini at line 3 (its value is longer "
                  "than 32767 characters). The settings from there on take their defaults, and the program will not "
                  "write the file back.\n")
            << exit.how;
    }
}

TEST(IncompleteLoadNotice, NamesTheLineAndWhyItStopped) {
    const std::vector<std::pair<IncompleteLoad, std::string>> table = {
        {{"/a/q.ini", 7, LoadStop::EqualsTooFar}, "at line 7 (its first \"=\" stands after character 32767)"},
        {{"/a/q.ini", 2, LoadStop::ReadError}, "at line 2 (reading failed there)"},
        {{"/a/q.ini", 0, LoadStop::CannotOpen}, "Quorvel: could not open the settings file /a/q.ini."},
    };
    for (const auto& [load, part] : table) {
        EXPECT_NE(Startup::IncompleteLoadNotice(load).find(part), std::string::npos) << part;
    }
}

}  // namespace
}  // namespace quorvel
