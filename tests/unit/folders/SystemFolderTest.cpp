#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "folders/FolderListing.h"
#include "folders/clsSystemFolder.h"
#include "support/FakeFolderLookup.h"

namespace quorvel {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Every property in interface order, with the one lookup it must make.
Pairs Lookups() {
    Pairs lookups{{"Windows", "dir 0"},     {"System", "dir 1"},     {"Temp", "dir 2"},
                  {"Desktop", "shell 0"},   {"Programs", "shell 2"}, {"Personal", "shell 5"},
                  {"Favorites", "shell 6"}, {"Startup", "shell 7"},  {"Recent", "shell 8"},
                  {"SendTo", "shell 9"},    {"Fonts", "shell 20"},   {"StartMenu", "shell 11"}};
    const Pairs values{{"Device", "DevicePath"}, {"CommonFiles", "CommonFilesDir"},   {"Config", "ConfigPath"},
                       {"Media", "MediaPath"},   {"ProgramFiles", "ProgramFilesDir"}, {"OldWindows", "OldWinDir"}};
    for (const auto& [name, value] : values) {
        lookups.emplace_back(name, "reg 2147483650 SOFTWARE\\Microsoft\\Windows\\CurrentVersion " + value);
    }
    // The development environment is a 32-bit program: its key is in the 32-bit view.
    lookups.emplace_back("VB5Install", "reg32 2147483650 SOFTWARE\\Microsoft\\Visual Basic\\5.0 InstallDir");
    return lookups;
}

// The listing reads every property once, in order. With each lookup answered by its
// own key, it shows that every property makes exactly its one lookup; listing first with
// no answers shows that nothing is kept from one read to the next.
TEST(SystemFolderTest, EachPropertyMakesItsOwnLookupAfreshOnEveryRead) {
    test::FakeFolderLookup fake;
    const clsSystemFolder folders(fake);
    static_cast<void>(ListSystemFolders(folders));
    fake.calls.clear();
    const Pairs expected = Lookups();
    for (const auto& [name, call] : expected) {
        fake.answers[call] = call;
    }
    EXPECT_EQ(ListSystemFolders(folders), expected);
    EXPECT_EQ(fake.calls.size(), expected.size());
}

// A full buffer without NUL has lost its end, so it gives the empty text.
TEST(SystemFolderTest, AnswersAreTakenUpToTheirNulAndWithinTheBuffer) {
    const std::string longest(255, 'x');
    const Pairs answers{{"C:\\Quorvel\\", "C:\\Quorvel\\"},
                        {longest, longest},
                        {longest + "y", ""},
                        {std::string("C:\\A\0C:\\B", 9), "C:\\A"},
                        {"", ""}};
    for (const auto& [answer, expected] : answers) {
        test::FakeFolderLookup fake;
        for (const auto& [name, call] : Lookups()) {
            fake.answers[call] = answer;
        }
        for (const auto& [name, path] : ListSystemFolders(clsSystemFolder(fake))) {
            EXPECT_EQ(path, expected) << name;
        }
    }
}

}  // namespace
}  // namespace quorvel
