#include "platform/windows/SystemHeaders.h"

#include "platform/windows/VersionResource.h"

#include <gtest/gtest.h>

#include "ExeFolder.h"
#include "platform/windows/WindowsProcessInfo.h"
#include "support/ErrorKindOf.h"

namespace quorvel::test {
namespace {

// The test program carries the project's version resource, as every program does.
TEST(WindowsProcess, VersionResourceAndExecutableName) {
    win::SystemLibraries libraries;
    EXPECT_EQ(VersionResource(libraries).productVersion(), (ProductVersion{"Quorvel", 1, 1, 0}));
    const std::string withoutResource = besideExe("pdh-standin\\pdh.dll");
    EXPECT_EQ(errorOf([&] { (void)VersionResource(libraries, withoutResource).productVersion(); }),
              ErrorKind::PlatformUnavailable);
    const WindowsProcessInfo process;
    EXPECT_EQ(process.executableName(), "windows_platform_tests");
    EXPECT_EQ(process.executableFolder() + "\\windows_platform_tests.exe", ExecutablePath());
    EXPECT_EQ(process.executableFolder().substr(1, 2), ":\\");
}

}  // namespace
}  // namespace quorvel::test
