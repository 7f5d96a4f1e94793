#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "folders/FolderListing.h"
#include "support/FakeFolderLookup.h"

namespace quorvel {
namespace {

TEST(FolderListingTest, ListsEveryPropertyInOrderWithItsOwnPath) {
    test::FakeFolderLookup fake;
    fake.directories = {{DirectoryCall::Windows, "/w"}, {DirectoryCall::System, "/s"}, {DirectoryCall::Temp, "/t/"}};
    for (const int id : {0, 2, 5, 6, 7, 8, 9, 11, 20}) {
        fake.shellFolders[id] = "/shell/" + std::to_string(id);
    }
    const std::string currentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    for (const char* value :
         {"DevicePath", "CommonFilesDir", "ConfigPath", "MediaPath", "ProgramFilesDir", "OldWinDir"}) {
        fake.registryValues[{0x80000002U, currentVersion, value}] = std::string("/reg/") + value;
    }
    const clsSystemFolder folders(fake);

    const std::vector<std::pair<std::string, std::string>> expected{
        {"Windows", "/w"},
        {"System", "/s"},
        {"Temp", "/t/"},
        {"Desktop", "/shell/0"},
        {"Programs", "/shell/2"},
        {"Personal", "/shell/5"},
        {"Favorites", "/shell/6"},
        {"Startup", "/shell/7"},
        {"Recent", "/shell/8"},
        {"SendTo", "/shell/9"},
        {"Fonts", "/shell/20"},
        {"StartMenu", "/shell/11"},
        {"Device", "/reg/DevicePath"},
        {"CommonFiles", "/reg/CommonFilesDir"},
        {"Config", "/reg/ConfigPath"},
        {"Media", "/reg/MediaPath"},
        {"ProgramFiles", "/reg/ProgramFilesDir"},
        {"OldWindows", "/reg/OldWinDir"},
        {"VB5Install", ""},
    };
    EXPECT_EQ(ListSystemFolders(folders), expected);
    EXPECT_EQ(fake.calls.size(), expected.size()) << "each path is read once";
}

}  // namespace
}  // namespace quorvel
