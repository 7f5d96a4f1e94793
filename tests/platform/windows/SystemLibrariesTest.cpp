#include "platform/windows/SystemHeaders.h"

#include "platform/windows/SystemLibraries.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ExeFolder.h"
#include "support/ErrorKindOf.h"

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

// A library told to come from elsewhere, and missing there: a function of it is null
// where the caller can do without, an error where not; other libraries still load.
TEST(SystemLibraries, AMissingLibraryIsAnErrorOrNull) {
    win::SystemLibraries libraries({{win::SystemLibrary::Version, besideExe("no-such-folder")}});
    EXPECT_EQ(libraries.libraryPath(win::SystemLibrary::Version), besideExe("no-such-folder\\version.dll"));
    EXPECT_EQ(libraries.find<win::Fn::VerQueryValueA>(), nullptr);
    EXPECT_EQ(errorOf([&] { (void)libraries.require<win::Fn::VerQueryValueA>(); }), ErrorKind::PlatformUnavailable);
    EXPECT_NE(libraries.require<win::Fn::GetTempPathA>(), nullptr);
}

}  // namespace
}  // namespace quorvel::test
