#include "platform/windows/SystemHeaders.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "folders/FolderListing.h"
#include "folders/clsSystemFolder.h"
#include "platform/windows/ScopedHandle.h"
#include "platform/windows/SystemLibraries.h"
#include "platform/windows/WindowsFileSystem.h"
#include "platform/windows/WindowsFolderLookup.h"
#include "support/TempDir.h"

// The system's libraries, the folders and the files, as the program meets them under Wine.
namespace quorvel::test {
namespace {

// Every library comes from the system folder by its full path, never from the program's
// own folder, where anyone who can write there could plant one; a misspelt name in the
// table would only show on the machine that first calls it.
TEST(SystemLibraries, EveryFunctionOfTheTableIsExportedByItsLibraryInTheSystemFolder) {
    std::array<char, MAX_PATH + 1> system{};
    ::GetSystemDirectoryA(system.data(), static_cast<UINT>(system.size()));
    const win::SystemLibraries libraries;
    for (const win::FunctionEntry& entry : win::kFunctions) {
        const std::string path = libraries.libraryPath(entry.library);
        EXPECT_EQ(path.rfind(std::string(system.data()) + "\\", 0), 0U) << path;
        const win::ModuleHandle module(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        ASSERT_TRUE(module.valid()) << path;
        EXPECT_NE(::GetProcAddress(module.get(), entry.name), nullptr) << entry.name;
    }
}

// The folders as the system gives them. VB5Install is a 32-bit program's key, which a
// 64-bit program finds under Wow6432Node; the key of the same name in its own view is not it.
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
    const std::map<std::string, std::string> byName(listed.begin(), listed.end());
    EXPECT_TRUE(byName.at("Temp").ends_with("\\")) << byName.at("Temp");
    EXPECT_EQ(byName.at("Fonts"), "C:\\windows\\Fonts");  // a shell folder
    EXPECT_EQ(byName.at("VB5Install"), "C:\\Program Files (x86)\\VB");
}

// A hidden or system file is not a settings file, though it opens. A save replaces the
// whole file and keeps its attributes, and leaves no temporary file; one that cannot be
// made leaves the old bytes. The attributes are cleared at the end so that the folder can go.
TEST(WindowsFiles, OnlyPlainFilesAreListedAndSavesReplaceWholeFilesOrLeaveTheOldBytes) {
    const testing::TempDir folder("quorvel-files");
    const std::string dir = folder.str();
    WindowsFileSystem files;
    const auto file = [&](const char* name, const std::string& bytes, DWORD attributes) {
        std::string path = dir + "\\" + name;
        EXPECT_TRUE(files.writeFile(path, bytes));
        ::SetFileAttributesA(path.c_str(), attributes);
        return path;
    };
    const std::string plain = file("plain.ini", "old bytes\r\n", FILE_ATTRIBUTE_NORMAL);
    const std::string hidden = file("hidden.ini", "old", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    const std::string system = file("system.ini", "a", FILE_ATTRIBUTE_SYSTEM);
    const std::string readOnly = file("read-only.ini", "kept\r\n", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files.isListedFile(plain) && files.isListedFile(readOnly));
    EXPECT_FALSE(files.isListedFile(hidden) || files.isListedFile(system) || files.isListedFile(dir) ||
                 files.isListedFile(dir + "\\missing.ini") || files.isListedFile(dir + "\\*.ini"));
    EXPECT_TRUE(files.canOpenForReading(hidden));
    EXPECT_FALSE(files.canOpenForReading(dir) || files.canOpenForReading(dir + "\\missing.ini"));

    const std::string bytes("[General]\r\nA = \x83\x5c\0b\r\n", 20);
    EXPECT_TRUE(files.writeFile(hidden, bytes));
    EXPECT_EQ(files.readFile(hidden).bytes, bytes);
    EXPECT_EQ(::GetFileAttributesA(hidden.c_str()), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
    for (const std::string& path : {readOnly, dir, dir + "\\missing\\q.ini", std::string()}) {
        EXPECT_FALSE(files.writeFile(path, "new")) << path;
    }
    EXPECT_EQ(files.readFile(readOnly).bytes, "kept\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 4);
    for (const std::string& path : {hidden, system, readOnly}) {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

}  // namespace
}  // namespace quorvel::test
