#include "platform/windows/SystemHeaders.h"

#include "platform/windows/WindowsFileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/windows/ScopedHandle.h"
#include "settings/iniMente.h"
#include "support/ErrorKindOf.h"
#include "support/TempDir.h"

namespace quorvel::test {
namespace {

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
    [[nodiscard]] auto entries() const {
        const std::filesystem::directory_iterator all(folder_.path());
        return std::distance(begin(all), end(all));
    }

    testing::TempDir folder_{"quorvel-files"};
    std::string dir_ = folder_.str();
    WindowsFileSystem files_;
};

// A hidden or system file is not a settings file: the store does not load it.
TEST_F(WindowsFiles, OnlyPlainFilesCountAsListed) {
    const std::string plain = file("plain.ini", "a");
    const std::string hidden = file("Quorvel.ini", "Max=9000\r\n", FILE_ATTRIBUTE_HIDDEN);
    const std::string system = file("system.ini", "a", FILE_ATTRIBUTE_SYSTEM);
    const std::string readOnly = file("read-only.ini", "a", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files_.isListedFile(plain) && files_.isListedFile(readOnly));
    EXPECT_FALSE(files_.isListedFile(hidden) || files_.isListedFile(system) || files_.isListedFile(dir_) ||
                 files_.isListedFile(dir_ + "\\missing.ini") || files_.isListedFile(dir_ + "\\*.ini"));
    EXPECT_EQ(errorOf([&] { (void)files_.isListedFile(std::string("a\0b", 3)); }), ErrorKind::FileError);
    EXPECT_EQ(errorOf([&] { (void)files_.isListedFile("C:\\" + std::string(400, 'x')); }), ErrorKind::FileError);
    // Opening for reading is another test: a hidden file opens, a folder does not.
    EXPECT_TRUE(files_.canOpenForReading(hidden));
    EXPECT_FALSE(files_.canOpenForReading(dir_) || files_.canOpenForReading(dir_ + "\\missing.ini"));
    iniMente store(files_);
    EXPECT_FALSE(store.iniLoader(hidden));
    ::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(store.iniLoader(hidden));
    EXPECT_EQ(store.GetiniValue("max", "0"), TaggedValue("9000"));
}

TEST_F(WindowsFiles, SavesReplaceWholeFilesAndKeepTheirAttributes) {
    const std::string bytes("[General]\r\nA = \x83\x5c\0b\r\n", 20);
    const std::string hidden = file("hidden.ini", "old", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(files_.writeFile(hidden, bytes));
    EXPECT_EQ(bytesOf(hidden), bytes);
    EXPECT_EQ(::GetFileAttributesA(hidden.c_str()), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_TRUE(files_.writeFile(dir_ + "\\new.ini", ""));
    EXPECT_EQ(files_.readFile(dir_ + "\\new.ini").status, ReadStatus::Complete);
    EXPECT_EQ(entries(), 2);  // no temporary file stays behind
}

TEST_F(WindowsFiles, AFailedSaveLeavesTheOldBytes) {
    const std::string locked = file("locked.ini", "old bytes\r\n");
    const std::string readOnly = file("read-only.ini", "kept\r\n", FILE_ATTRIBUTE_READONLY);
    {
        // Another program holds the file open without letting it be replaced.
        const win::FileHandle holder(
            ::CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder.valid());
        EXPECT_FALSE(files_.writeFile(locked, "new"));
    }
    for (const std::string& path : {readOnly, dir_, dir_ + "\\missing\\q.ini", std::string()}) {
        EXPECT_FALSE(files_.writeFile(path, "new")) << path;
    }
    EXPECT_EQ(bytesOf(locked), "old bytes\r\n");
    EXPECT_EQ(bytesOf(readOnly), "kept\r\n");
    EXPECT_EQ(entries(), 2);
}

}  // namespace
}  // namespace quorvel::test
