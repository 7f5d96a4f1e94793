#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "folders/clsSystemFolder.h"
#include "support/FakeFolderLookup.h"

namespace quorvel {
namespace {

using test::FakeFolderLookup;

constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// One property, the single lookup it must make, and a way to give that lookup an answer.
struct PropertyCase {
    const char* name;
    std::string (clsSystemFolder::*read)() const;
    std::string expectedCall;
    std::function<void(FakeFolderLookup&, const std::string&)> answer;
};

PropertyCase Directory(const char* name, std::string (clsSystemFolder::*read)() const, DirectoryCall which) {
    return {name, read, FakeFolderLookup::Describe(which),
            [which](FakeFolderLookup& fake, const std::string& bytes) { fake.directories[which] = bytes; }};
}

PropertyCase Shell(const char* name, std::string (clsSystemFolder::*read)() const, std::int32_t id) {
    return {name, read, FakeFolderLookup::Describe(id),
            [id](FakeFolderLookup& fake, const std::string& bytes) { fake.shellFolders[id] = bytes; }};
}

PropertyCase Registry(const char* name, std::string (clsSystemFolder::*read)() const, const std::string& subkey,
                      const std::string& valueName) {
    constexpr std::uint32_t machineRoot = 0x80000002U;
    return {name, read, FakeFolderLookup::Describe(machineRoot, subkey, valueName),
            [=](FakeFolderLookup& fake, const std::string& bytes) {
                fake.registryValues[{machineRoot, subkey, valueName}] = bytes;
            }};
}

std::vector<PropertyCase> AllProperties() {
    using F = clsSystemFolder;
    return {
        Directory("Windows", &F::Windows, DirectoryCall::Windows),
        Directory("System", &F::System, DirectoryCall::System),
        Directory("Temp", &F::Temp, DirectoryCall::Temp),
        Shell("Desktop", &F::Desktop, 0),
        Shell("Programs", &F::Programs, 2),
        Shell("Personal", &F::Personal, 5),
        Shell("Favorites", &F::Favorites, 6),
        Shell("Startup", &F::Startup, 7),
        Shell("Recent", &F::Recent, 8),
        Shell("SendTo", &F::SendTo, 9),
        Shell("Fonts", &F::Fonts, 20),
        Shell("StartMenu", &F::StartMenu, 11),
        Registry("Device", &F::Device, kCurrentVersion, "DevicePath"),
        Registry("CommonFiles", &F::CommonFiles, kCurrentVersion, "CommonFilesDir"),
        Registry("Config", &F::Config, kCurrentVersion, "ConfigPath"),
        Registry("Media", &F::Media, kCurrentVersion, "MediaPath"),
        Registry("ProgramFiles", &F::ProgramFiles, kCurrentVersion, "ProgramFilesDir"),
        Registry("OldWindows", &F::OldWindows, kCurrentVersion, "OldWinDir"),
        Registry("VB5Install", &F::VB5Install, "SOFTWARE\\Microsoft\\Visual Basic\\5.0", "InstallDir"),
    };
}

// Reads the property once with the given raw answer, checking the one lookup it makes.
std::string ReadWithAnswer(const PropertyCase& property, const std::optional<std::string>& bytes) {
    FakeFolderLookup fake;
    if (bytes) {
        property.answer(fake, *bytes);
    }
    const clsSystemFolder folders(fake);
    std::string result = (folders.*property.read)();
    EXPECT_EQ(fake.calls.size(), 1U);
    if (!fake.calls.empty()) {
        EXPECT_EQ(fake.calls.front().what, property.expectedCall);
        EXPECT_EQ(fake.calls.front().bufferSize, 256U);
    }
    return result;
}

TEST(SystemFolderTest, EachPropertyMakesItsOneLookupAndPassesThePathThrough) {
    for (const auto& property : AllProperties()) {
        SCOPED_TRACE(property.name);
        for (const std::string path : {"C:\\Quorvel\\", "C:\\Quorvel", "/home/a b/Bureau/", "/home/a b/Bureau"}) {
            EXPECT_EQ(ReadWithAnswer(property, path), path);
        }
    }
}

TEST(SystemFolderTest, BufferRulesHoldForEveryProperty) {
    const std::string longest(255, 'x');
    for (const auto& property : AllProperties()) {
        SCOPED_TRACE(property.name);
        EXPECT_EQ(ReadWithAnswer(property, longest), longest) << "255 characters come back whole";
        EXPECT_EQ(ReadWithAnswer(property, longest + "y"), "") << "a full buffer without NUL";
        EXPECT_EQ(ReadWithAnswer(property, longest + "yz"), "") << "an answer beyond the buffer";
        EXPECT_EQ(ReadWithAnswer(property, std::string("C:\\A\0C:\\B", 9)), "C:\\A");
        EXPECT_EQ(ReadWithAnswer(property, std::string("\x05\0\0\0", 4)), "\x05") << "non-text bytes";
        EXPECT_EQ(ReadWithAnswer(property, std::string("\0junk", 5)), "");
        EXPECT_EQ(ReadWithAnswer(property, std::nullopt), "") << "no answer at all";
    }
}

TEST(SystemFolderTest, EveryReadAsksAgain) {
    for (const auto& property : AllProperties()) {
        SCOPED_TRACE(property.name);
        FakeFolderLookup fake;
        const clsSystemFolder folders(fake);
        property.answer(fake, "/old/place");
        EXPECT_EQ((folders.*property.read)(), "/old/place");
        property.answer(fake, "/new/place");
        EXPECT_EQ((folders.*property.read)(), "/new/place");
        ASSERT_EQ(fake.calls.size(), 2U);
        EXPECT_EQ(fake.calls[1].what, property.expectedCall);
    }
}

}  // namespace
}  // namespace quorvel
