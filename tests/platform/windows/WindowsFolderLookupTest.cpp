#include "platform/windows/SystemHeaders.h"

#include "platform/windows/WindowsFolderLookup.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>

#include "ExeFolder.h"
#include "folders/FolderListing.h"
#include "folders/clsSystemFolder.h"
#include "support/ErrorKindOf.h"

namespace quorvel::test {
namespace {

std::string shellPath(int csidl) {
    std::array<char, MAX_PATH + 1> path{};
    return ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path.data()) == S_OK ? path.data() : "";
}

TEST(WindowsFolders, AgreeWithWhatTheSystemSays) {
    win::SystemLibraries libraries;
    WindowsFolderLookup lookup(libraries);
    const clsSystemFolder folders(lookup);
    const auto listed = ListSystemFolders(folders);
    ASSERT_EQ(listed.size(), 19U);
    const std::map<std::string, std::string> byName(listed.begin(), listed.end());
    EXPECT_EQ(byName.at("Windows"), "C:\\windows");
    EXPECT_EQ(byName.at("System"), "C:\\windows\\system32");
    EXPECT_TRUE(byName.at("Temp").ends_with("\\")) << byName.at("Temp");
    // Paths come as the shell gives them: Wine's item lists of some user folders end in
    // a backslash, which the path query of the same shell leaves off.
    const auto withoutEndSeparator = [](std::string path) {
        if (path.size() > 3 && path.ends_with("\\")) {
            path.pop_back();
        }
        return path;
    };
    EXPECT_EQ(withoutEndSeparator(byName.at("Desktop")), shellPath(CSIDL_DESKTOPDIRECTORY));
    EXPECT_EQ(withoutEndSeparator(byName.at("Personal")), shellPath(CSIDL_PERSONAL));
    EXPECT_EQ(byName.at("Fonts"), "C:\\windows\\Fonts");
    EXPECT_FALSE(byName.at("StartMenu").empty());
    EXPECT_EQ(byName.at("ProgramFiles"), "C:\\Program Files");
    EXPECT_EQ(byName.at("CommonFiles"), "C:\\Program Files\\Common Files");
}

// A 32-bit program's key, which a 64-bit program finds under Wow6432Node; the key of the
// same name in the program's own view is not the one.
TEST(WindowsFolders, VB5InstallIsReadFromThe32BitView) {
    const auto setInstallDir = [](const char* subkey, const std::string& folder) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyA(HKEY_LOCAL_MACHINE, subkey, &key), ERROR_SUCCESS);
        ::RegSetValueExA(key, "InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                         static_cast<DWORD>(folder.size() + 1));
        ::RegCloseKey(key);
    };
    setInstallDir("Software\\Microsoft\\Visual Basic\\5.0", "C:\\VB 64");
    setInstallDir("Software\\Wow6432Node\\Microsoft\\Visual Basic\\5.0", "C:\\Program Files (x86)\\VB");
    win::SystemLibraries libraries;
    WindowsFolderLookup lookup(libraries);
    const std::string found = clsSystemFolder(lookup).VB5Install();
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Visual Basic");
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Microsoft\\Visual Basic");
    EXPECT_EQ(found, "C:\\Program Files (x86)\\VB");
}

// Registry values of every length under a key of this test run, read the way the
// folder resolver reads them: into 256 NULs, keeping the text before the first NUL.
TEST(WindowsFolders, RegistryValuesLongerThanTheBufferComeBackEmpty) {
    const std::string subkey = "Software\\Quorvel test " + std::to_string(::GetCurrentProcessId());
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, subkey.c_str(), &key), ERROR_SUCCESS);
    const std::string v255(255, 'a');
    const std::string v300(300, 'b');
    ::RegSetValueExA(key, "255", 0, REG_SZ, reinterpret_cast<const BYTE*>(v255.c_str()), 256);
    ::RegSetValueExA(key, "256", 0, REG_BINARY, reinterpret_cast<const BYTE*>(v300.c_str()), 256);
    ::RegSetValueExA(key, "300", 0, REG_SZ, reinterpret_cast<const BYTE*>(v300.c_str()), 301);
    const DWORD number = 0x00414243;
    ::RegSetValueExA(key, "number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    ::RegCloseKey(key);

    win::SystemLibraries libraries;
    WindowsFolderLookup lookup(libraries);
    const auto read = [&](const std::string& subkeyName, const char* value) {
        std::array<char, 256> buffer{};
        lookup.RegistryValue(0x80000001U, subkeyName, value, RegistryView::Program, buffer);
        const auto nul = std::find(buffer.begin(), buffer.end(), '\0');
        return nul == buffer.end() ? std::string("<no NUL>") : std::string(buffer.begin(), nul);
    };
    EXPECT_EQ(read(subkey, "255"), v255);
    EXPECT_EQ(read(subkey, "256"), "<no NUL>");
    EXPECT_EQ(read(subkey, "300"), "");
    EXPECT_EQ(read(subkey, "number"), "CBA");
    EXPECT_EQ(read(subkey, "missing"), "");
    EXPECT_EQ(read(subkey + "\\missing", "255"), "");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, subkey.c_str());
}

TEST(WindowsFolders, AMissingLibraryFailsOnlyTheLookupsThatNeedIt) {
    win::SystemLibraries libraries({{win::SystemLibrary::Shell32, besideExe("no-such-folder")}});
    WindowsFolderLookup lookup(libraries);
    const clsSystemFolder folders(lookup);
    EXPECT_EQ(folders.Windows(), "C:\\windows");
    EXPECT_EQ(errorOf([&] { (void)folders.Desktop(); }), ErrorKind::PlatformUnavailable);
}

}  // namespace
}  // namespace quorvel::test
