#include "platform/windows/SystemHeaders.h"

#include "platform/windows/RegistryProfileStore.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel::test {
namespace {

// Entries under an application name of this test run only, removed at the end.
class RegistryStore : public ::testing::Test {
protected:
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(RegistryProfileStore::kStandardRoot) + "\\" + app_).c_str());
    }

    const std::string app_ = "Quorvel test " + std::to_string(::GetCurrentProcessId());
    RegistryProfileStore store_;
};

TEST_F(RegistryStore, RoundTripsTextsWithKeysInAnyCase) {
    EXPECT_EQ(store_.getSetting(app_, "Quorvel", "Windowtop", "1200"), "1200");
    store_.saveSetting(app_, "Quorvel", "WindowTop", "1234.5");
    store_.saveSetting(app_, "Quorvel", "WindowLeft", "");
    store_.saveSetting(app_, "Quorvel", "Caption", "\x83\x5e\x83\x43\x83\x67\x83\x8b");  // Shift-JIS bytes
    const std::vector<std::pair<std::string, std::string>> reads = {{"Windowtop", "1234.5"},
                                                                    {"WINDOWTOP", "1234.5"},
                                                                    {"windowleft", ""},
                                                                    {"caption", "\x83\x5e\x83\x43\x83\x67\x83\x8b"},
                                                                    {"WindowWidth", "2500"}};
    for (const auto& [key, value] : reads) {
        EXPECT_EQ(store_.getSetting(app_, "quorvel", key, "2500"), value) << key;
    }
    store_.saveSetting(app_, "Quorvel", "WINDOWTOP", "99");  // replaces, whatever the case
    EXPECT_EQ(store_.getSetting(app_, "Quorvel", "WindowTop", "0"), "99");
    EXPECT_EQ(store_.getSetting(app_, "Other", "WindowTop", "none"), "none");
}

}  // namespace
}  // namespace quorvel::test
