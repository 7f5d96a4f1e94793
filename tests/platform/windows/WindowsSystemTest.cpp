#include "platform/windows/SystemHeaders.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "folders/FolderListing.h"
#include "folders/clsSystemFolder.h"
#include "platform/windows/RegistryProfileStore.h"
#include "platform/windows/ScopedHandle.h"
#include "platform/windows/SystemLibraries.h"
#include "platform/windows/VersionResource.h"
#include "platform/windows/WindowsFileSystem.h"
#include "platform/windows/WindowsFolderLookup.h"
#include "platform/windows/WindowsProcessInfo.h"
#include "support/ErrorKindOf.h"
#include "support/TempDir.h"

// The system's libraries, the program's version resource, the registry, the folders and
// the files, as the program meets them under Wine.
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

// The test program carries the project's version resource, as every program does.
TEST(WindowsProcess, VersionResourceAndExecutableName) {
    win::SystemLibraries libraries;
    EXPECT_EQ(VersionResource(libraries).productVersion(), (ProductVersion{"Quorvel", 1, 1, 0}));
    const std::string withoutResource = WindowsProcessInfo().executableFolder() + "\\pdh-standin\\pdh.dll";
    EXPECT_EQ(errorOf([&] { (void)VersionResource(libraries, withoutResource).productVersion(); }),
              ErrorKind::PlatformUnavailable);
    EXPECT_EQ(WindowsProcessInfo().executableName(), "windows_platform_tests");
}

// Entries under an application name of this test run only, removed at the end.
TEST(RegistryStore, RoundTripsTextsWithKeysInAnyCase) {
    const std::string app = "Quorvel test " + std::to_string(::GetCurrentProcessId());
    RegistryProfileStore store;
    EXPECT_EQ(store.getSetting(app, "Quorvel", "WindowTop", "1200"), "1200");
    store.saveSetting(app, "Quorvel", "WindowTop", "1234.5");
    EXPECT_EQ(store.getSetting(app, "quorvel", "WINDOWTOP", "0"), "1234.5");
    store.saveSetting(app, "Quorvel", "WINDOWTOP", "99");  // replaces, whatever the case
    EXPECT_EQ(store.getSetting(app, "Quorvel", "WindowTop", "0"), "99");
    EXPECT_EQ(store.getSetting(app, "Other", "WindowTop", "none"), "none");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(RegistryProfileStore::kStandardRoot) + "\\" + app).c_str());
}

// The folders as the system gives them: the three system calls, a shell folder, and the
// registry in both views. VB5Install is a 32-bit program's key, which a 64-bit program
// finds under Wow6432Node; the key of the same name in the program's own view is not the one.
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
    for (const auto& [name, path] : std::map<std::string, std::string>{{"Windows", "C:\\windows"},
                                                                       {"System", "C:\\windows\\system32"},
                                                                       {"Fonts", "C:\\windows\\Fonts"},
                                                                       {"ProgramFiles", "C:\\Program Files"},
                                                                       {"VB5Install", "C:\\Program Files (x86)\\VB"}}) {
        EXPECT_EQ(byName.at(name), path) << name;
    }
}

// Files in a folder of their own, their attributes cleared at the end so that the folder
// can go.
class WindowsFiles : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
            ::SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
    std::string file(const std::string& name, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        std::string path = (folder_ / name).string();
        EXPECT_TRUE(files_.writeFile(path, bytes));
        ::SetFileAttributesA(path.c_str(), attributes);
        return path;
    }
    [[nodiscard]] std::string bytesOf(const std::string& path) const { return files_.readFile(path).bytes; }

    testing::TempDir folder_{"quorvel-files"};
    std::string dir_ = folder_.str();
    WindowsFileSystem files_;
};

// A hidden or system file is not a settings file, though it opens. A save replaces the
// whole file and keeps its attributes, and leaves no temporary file; one that cannot be
// made leaves the old bytes.
TEST_F(WindowsFiles, OnlyPlainFilesAreListedAndSavesReplaceWholeFilesOrLeaveTheOldBytes) {
    const std::string plain = file("plain.ini", "old bytes\r\n");
    const std::string hidden = file("hidden.ini", "old", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    const std::string system = file("system.ini", "a", FILE_ATTRIBUTE_SYSTEM);
    const std::string readOnly = file("read-only.ini", "kept\r\n", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files_.isListedFile(plain) && files_.isListedFile(readOnly));
    EXPECT_FALSE(files_.isListedFile(hidden) || files_.isListedFile(system) || files_.isListedFile(dir_) ||
                 files_.isListedFile(dir_ + "\\missing.ini") || files_.isListedFile(dir_ + "\\*.ini"));
    EXPECT_EQ(errorOf([&] { (void)files_.isListedFile(std::string("a\0b", 3)); }), ErrorKind::FileError);
    EXPECT_EQ(errorOf([&] { (void)files_.isListedFile("C:\\" + std::string(400, 'x')); }), ErrorKind::FileError);
    EXPECT_TRUE(files_.canOpenForReading(hidden));
    EXPECT_FALSE(files_.canOpenForReading(dir_) || files_.canOpenForReading(dir_ + "\\missing.ini"));

    const std::string bytes("[General]\r\nA = \x83\x5c\0b\r\n", 20);
    EXPECT_TRUE(files_.writeFile(hidden, bytes));
    EXPECT_EQ(bytesOf(hidden), bytes);
    EXPECT_EQ(::GetFileAttributesA(hidden.c_str()), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_TRUE(files_.writeFile(dir_ + "\\new.ini", ""));
    EXPECT_EQ(files_.readFile(dir_ + "\\new.ini").status, ReadStatus::Complete);
    {
        // Another program holds the file open without letting it be replaced.
        const win::FileHandle holder(
            ::CreateFileA(plain.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder.valid());
        EXPECT_FALSE(files_.writeFile(plain, "new"));
    }
    for (const std::string& path : {readOnly, dir_, dir_ + "\\missing\\q.ini", std::string()}) {
        EXPECT_FALSE(files_.writeFile(path, "new")) << path;
    }
    EXPECT_EQ(bytesOf(plain), "old bytes\r\n");
    EXPECT_EQ(bytesOf(readOnly), "kept\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 5);
}

}  // namespace
}  // namespace quorvel::test
