#include "platform/windows/SystemHeaders.h"

#include "platform/windows/WindowsFolderLookup.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <array>
#include <cstring>
#include <map>
#include <string>

#include "folders/FolderListing.h"
#include "folders/clsSystemFolder.h"

namespace quorvel::test {
namespace {

std::string shellPath(int csidl) {
    std::array<char, MAX_PATH + 1> path{};
    return ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path.data()) == S_OK ? path.data() : "";
}

// The folders as the shell gives them (Wine's item lists of some user folders end in a
// backslash, which the path query of the same shell leaves off). VB5Install is a 32-bit
// program's key, which a 64-bit program finds under Wow6432Node; the key of the same
// name in the program's own view is not the one.
TEST(WindowsFolders, AgreeWithWhatTheSystemSays) {
    for (const auto& [subkey, folder] :
         {std::pair{"Software\\Microsoft\\Visual Basic\\5.0", "C:\\VB 64"},
          {"Software\\Wow6432Node\\Microsoft\\Visual Basic\\5.0", "C:\\Program Files (x86)\\VB"}}) {
        ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, subkey, "InstallDir", REG_SZ, folder,
                                    static_cast<DWORD>(std::strlen(folder) + 1)),
                  ERROR_SUCCESS);
    }
    win::SystemLibraries libraries;
    WindowsFolderLookup lookup(libraries);
    const auto listed = ListSystemFolders(clsSystemFolder(lookup));
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Visual Basic");
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Microsoft\\Visual Basic");
    std::map<std::string, std::string> byName(listed.begin(), listed.end());
    EXPECT_TRUE(byName.at("Temp").ends_with("\\")) << byName.at("Temp");
    for (const auto& [name, path] :
         std::map<std::string, std::string>{{"Windows", "C:\\windows"},
                                            {"System", "C:\\windows\\system32"},
                                            {"Fonts", "C:\\windows\\Fonts"},
                                            {"ProgramFiles", "C:\\Program Files"},
                                            {"CommonFiles", "C:\\Program Files\\Common Files"},
                                            {"Desktop", shellPath(CSIDL_DESKTOPDIRECTORY)},
                                            {"Personal", shellPath(CSIDL_PERSONAL)},
                                            {"VB5Install", "C:\\Program Files (x86)\\VB"}}) {
        std::string& got = byName.at(name);
        if (got.size() > 3 && got.ends_with("\\")) {
            got.pop_back();
        }
        EXPECT_EQ(got, path) << name;
    }
}

}  // namespace
}  // namespace quorvel::test
