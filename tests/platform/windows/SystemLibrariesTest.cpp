#include "platform/windows/SystemHeaders.h"

#include "platform/windows/SystemLibraries.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ExeFolder.h"
#include "platform/windows/WindowsProcessInfo.h"
#include "support/ErrorKindOf.h"

namespace quorvel::test {
namespace {

// A misspelt name in the table would only show on the machine that first calls it.
TEST(SystemLibraries, EveryFunctionOfTheTableIsExportedByItsSystemLibrary) {
    const win::SystemLibraries libraries;
    for (const win::FunctionEntry& entry : win::kFunctions) {
        const std::string path = libraries.libraryPath(entry.library);
        EXPECT_EQ(path.rfind(WindowsProcessInfo().executableFolder(), 0), std::string::npos) << path;
        const win::ModuleHandle module(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        ASSERT_TRUE(module.valid()) << path;
        EXPECT_NE(::GetProcAddress(module.get(), entry.name), nullptr) << entry.name;
    }
}

TEST(SystemLibraries, LibrariesComeFromTheSystemFolderUnlessToldOtherwise) {
    std::array<char, MAX_PATH + 1> system{};
    ::GetSystemDirectoryA(system.data(), static_cast<UINT>(system.size()));
    const win::SystemLibraries libraries({{win::SystemLibrary::Pdh, "D:\\stand-in"}});
    EXPECT_EQ(libraries.libraryPath(win::SystemLibrary::Shell32), std::string(system.data()) + "\\shell32.dll");
    EXPECT_EQ(libraries.libraryPath(win::SystemLibrary::Pdh), "D:\\stand-in\\pdh.dll");
}

TEST(SystemLibraries, AMissingLibraryIsAnErrorOrNull) {
    win::SystemLibraries libraries({{win::SystemLibrary::Version, besideExe("no-such-folder")}});
    EXPECT_EQ(libraries.find<win::Fn::VerQueryValueA>(), nullptr);
    EXPECT_EQ(errorOf([&] { (void)libraries.require<win::Fn::VerQueryValueA>(); }), ErrorKind::PlatformUnavailable);
    EXPECT_NE(libraries.require<win::Fn::GetTempPathA>(), nullptr);
}

}  // namespace
}  // namespace quorvel::test
