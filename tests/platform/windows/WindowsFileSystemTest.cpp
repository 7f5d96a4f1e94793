#include "platform/windows/SystemHeaders.h"

#include "platform/windows/WindowsFileSystem.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/windows/ScopedHandle.h"
#include "settings/iniMente.h"
#include "support/ErrorKindOf.h"

namespace quorvel::test {
namespace {

// A folder of its own in the temporary folder, removed with everything in it.
class WindowsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::array<char, MAX_PATH + 1> temp{};
        ::GetTempPathA(static_cast<DWORD>(temp.size()), temp.data());
        folder_ = std::string(temp.data()) + "quorvel-files-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        WIN32_FIND_DATAA found{};
        const win::FindHandle search(::FindFirstFileA((folder_ + "\\*").c_str(), &found));
        for (BOOL more = search.valid() ? TRUE : FALSE; more != FALSE; more = ::FindNextFileA(search.get(), &found)) {
            const std::string path = folder_ + "\\" + found.cFileName;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(path.c_str());
            ::RemoveDirectoryA(path.c_str());
        }
        ::RemoveDirectoryA(folder_.c_str());
    }

    std::string file(const std::string& name, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        std::string path = folder_ + "\\" + name;
        EXPECT_TRUE(files_.writeFile(path, bytes));
        ::SetFileAttributesA(path.c_str(), attributes);
        return path;
    }
    std::string bytesOf(const std::string& path) const { return files_.readFile(path).bytes; }
    int entries() const {
        int n = 0;
        WIN32_FIND_DATAA found{};
        const win::FindHandle search(::FindFirstFileA((folder_ + "\\*").c_str(), &found));
        for (BOOL more = search.valid() ? TRUE : FALSE; more != FALSE; more = ::FindNextFileA(search.get(), &found)) {
            n += found.cFileName[0] != '.' ? 1 : 0;
        }
        return n;
    }

    std::string folder_;
    WindowsFileSystem files_;
};

TEST_F(WindowsFiles, OnlyPlainFilesCountAsListed) {
    const std::string plain = file("plain.ini", "a");
    const std::string hidden = file("hidden.ini", "a", FILE_ATTRIBUTE_HIDDEN);
    const std::string system = file("system.ini", "a", FILE_ATTRIBUTE_SYSTEM);
    const std::string readOnly = file("read-only.ini", "a", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files_.isListedFile(plain) && files_.isListedFile(readOnly));
    EXPECT_FALSE(files_.isListedFile(hidden) || files_.isListedFile(system) || files_.isListedFile(folder_) ||
                 files_.isListedFile(folder_ + "\\missing.ini") || files_.isListedFile(folder_ + "\\*.ini"));
    // Opening for reading is another test: a hidden file opens, a folder does not.
    EXPECT_TRUE(files_.canOpenForReading(hidden));
    EXPECT_FALSE(files_.canOpenForReading(folder_) || files_.canOpenForReading(folder_ + "\\missing.ini"));
    EXPECT_EQ(errorOf([&] { (void)files_.isListedFile(std::string("a\0b", 3)); }), ErrorKind::FileError);
    EXPECT_EQ(errorOf([&] { (void)files_.isListedFile("C:\\" + std::string(400, 'x')); }), ErrorKind::FileError);
}

TEST_F(WindowsFiles, AHiddenSettingsFileIsNotLoaded) {
    const std::string hidden = file("Quorvel.ini", "Max=9000\r\n", FILE_ATTRIBUTE_HIDDEN);
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
    const std::string fresh = folder_ + "\\new.ini";
    EXPECT_TRUE(files_.writeFile(fresh, ""));
    EXPECT_EQ(files_.readFile(fresh).status, ReadStatus::Complete);
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
    EXPECT_FALSE(files_.writeFile(readOnly, "new"));
    EXPECT_FALSE(files_.writeFile(folder_, "new"));
    EXPECT_FALSE(files_.writeFile(folder_ + "\\missing\\q.ini", "new"));
    EXPECT_FALSE(files_.writeFile("", "new"));
    EXPECT_EQ(bytesOf(locked), "old bytes\r\n");
    EXPECT_EQ(bytesOf(readOnly), "kept\r\n");
    EXPECT_EQ(entries(), 2);
}

}  // namespace
}  // namespace quorvel::test
