#include "platform/linux/PosixFileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/Tool.h"
#include "common/RuntimeError.h"
#include "settings/iniMente.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

class PosixFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quorvel-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }

    [[nodiscard]] std::string path(const std::string& name) const { return (dir / name).string(); }

    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    [[nodiscard]] std::string get(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    [[nodiscard]] std::size_t entryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    static bool isRoot() { return ::geteuid() == 0; }

    fs::path dir;
    PosixFileSystem files;
};

TEST_F(PosixFiles, ListsPlainVisibleFilesOnly) {
    put("Quorvel.ini", "A=1");
    put(".Quorvel.ini", "A=1");
    fs::create_directory(path("folder.ini"));
    fs::create_symlink(path("Quorvel.ini"), path("link.ini"));
    ASSERT_EQ(::mkfifo(path("pipe.ini").c_str(), 0600), 0);
    EXPECT_TRUE(files.isListedFile(path("Quorvel.ini")));
    EXPECT_TRUE(files.isListedFile(path("link.ini")));
    EXPECT_FALSE(files.isListedFile(path(".Quorvel.ini")));
    EXPECT_FALSE(files.isListedFile(path("folder.ini")));
    EXPECT_FALSE(files.isListedFile(path("pipe.ini")));
    EXPECT_FALSE(files.isListedFile(path("missing.ini")));
    EXPECT_FALSE(files.isListedFile(path("Quorvel.ini/")));
    EXPECT_FALSE(files.isListedFile(""));
    // A hidden folder above does not hide the file.
    fs::create_directory(path(".cfg"));
    put(".cfg/q.ini", "");
    EXPECT_TRUE(files.isListedFile(path(".cfg/q.ini")));
}

TEST_F(PosixFiles, UnsearchablePathsRaiseFileErrors) {
    for (const std::string& bad : {path("q.ini") + std::string(1, '\0'), path(std::string(5000, 'n'))}) {
        try {
            (void)files.isListedFile(bad);
            ADD_FAILURE() << "no error for a path of " << bad.size() << " bytes";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.kind(), ErrorKind::FileError);
        }
    }
}

TEST_F(PosixFiles, OpenTestAcceptsHiddenAndRefusesFolders) {
    put(".hidden.ini", "");
    fs::create_directory(path("folder.ini"));
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    EXPECT_TRUE(Tool::IsExistingFile(files, path(".hidden.ini")));
    EXPECT_FALSE(Tool::IsExistingFile(files, path("folder.ini")));
    EXPECT_FALSE(Tool::IsExistingFile(files, path("missing.ini")));
    EXPECT_FALSE(Tool::IsExistingFile(files, ""));
    EXPECT_FALSE(Tool::IsExistingFile(files, path(".hidden.ini") + std::string(1, '\0')));
    EXPECT_TRUE(Tool::IsExistingFile(files, path("pipe")));  // returns at once without a writer
}

TEST_F(PosixFiles, OpenTestRefusesAFileWithoutReadPermission) {
    if (isRoot()) {
        GTEST_SKIP() << "root opens files whatever their permissions";
    }
    put("locked.ini", "A=1");
    fs::permissions(path("locked.ini"), fs::perms::none);
    EXPECT_FALSE(Tool::IsExistingFile(files, path("locked.ini")));
    EXPECT_EQ(files.readFile(path("locked.ini")).status, ReadStatus::CannotOpen);
}

TEST_F(PosixFiles, ReadsBytesExactlyOrTellsWhatFailed) {
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7);
    }
    put("big.bin", bytes);
    const FileContents whole = files.readFile(path("big.bin"));
    EXPECT_EQ(whole.status, ReadStatus::Complete);
    EXPECT_EQ(whole.bytes, bytes);
    put("empty", "");
    EXPECT_EQ(files.readFile(path("empty")).status, ReadStatus::Complete);
    EXPECT_EQ(files.readFile(path("missing")).status, ReadStatus::CannotOpen);
    // A folder opens but cannot be read.
    fs::create_directory(path("folder"));
    EXPECT_EQ(files.readFile(path("folder")).status, ReadStatus::ReadError);
}

TEST_F(PosixFiles, ReadsFilesWhoseSizeIsNotKnownInAdvance) {
    const FileContents status = files.readFile("/proc/self/status");
    EXPECT_EQ(status.status, ReadStatus::Complete);
    EXPECT_NE(status.bytes.find("Name:"), std::string::npos);
}

TEST_F(PosixFiles, WriteCreatesWithTheUmaskAndReplacesKeepingPermissions) {
    const mode_t old = ::umask(022);
    ASSERT_TRUE(files.writeFile(path("new.ini"), "A = 1\r\n"));
    ::umask(old);
    EXPECT_EQ(get("new.ini"), "A = 1\r\n");
    EXPECT_EQ(fs::status(path("new.ini")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);

    put("kept.ini", "a much longer old content than the new one");
    fs::permissions(path("kept.ini"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_write);
    ASSERT_TRUE(files.writeFile(path("kept.ini"), "B"));
    EXPECT_EQ(get("kept.ini"), "B");
    EXPECT_EQ(fs::status(path("kept.ini")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_write);
    EXPECT_EQ(entryCount(), 2U);  // no temporary file left behind
}

TEST_F(PosixFiles, WriteThroughALinkReplacesItsTarget) {
    put("real.ini", "old");
    fs::create_symlink(path("real.ini"), path("link.ini"));
    ASSERT_TRUE(files.writeFile(path("link.ini"), "new"));
    EXPECT_TRUE(fs::is_symlink(path("link.ini")));
    EXPECT_EQ(get("real.ini"), "new");

    put("one.ini", "old");
    fs::create_hard_link(path("one.ini"), path("two.ini"));
    ASSERT_TRUE(files.writeFile(path("one.ini"), "new"));
    EXPECT_EQ(get("two.ini"), "new");
}

TEST_F(PosixFiles, WriteFailuresReturnFalse) {
    fs::create_directory(path("folder.ini"));
    EXPECT_FALSE(files.writeFile(path("folder.ini"), "x"));
    EXPECT_FALSE(files.writeFile(path("missing/q.ini"), "x"));
    EXPECT_FALSE(files.writeFile("", "x"));
    EXPECT_FALSE(files.writeFile(path("q.ini") + std::string(1, '\0'), "x"));
    EXPECT_FALSE(fs::exists(path("q.ini")));
}

TEST_F(PosixFiles, WriteRespectsAReadOnlyFileInAWritableFolder) {
    if (isRoot()) {
        GTEST_SKIP() << "root writes files whatever their permissions";
    }
    put("ro.ini", "old");
    fs::permissions(path("ro.ini"), fs::perms::owner_read);
    EXPECT_FALSE(files.writeFile(path("ro.ini"), "new"));
    EXPECT_EQ(get("ro.ini"), "old");
}

TEST_F(PosixFiles, WriteFallsBackToTheFileWhenTheFolderTakesNoNewFile) {
    if (isRoot()) {
        GTEST_SKIP() << "root creates files in any folder";
    }
    put("q.ini", "old");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_TRUE(files.writeFile(path("q.ini"), "new"));
    EXPECT_EQ(get("q.ini"), "new");
    EXPECT_FALSE(files.writeFile(path("other.ini"), "new"));
}

TEST_F(PosixFiles, StoreRoundTripsThroughDisk) {
    const std::string file = "[General]\r\n; \x83\x65\x83\x58\x83\x67\r\nMax = 9000\r\n";
    put("Quorvel.ini", file);
    iniMente store(files);
    ASSERT_TRUE(store.iniLoader(path("Quorvel.ini")));
    store.GetiniValue("Bunkaino", std::int32_t{10});
    ASSERT_TRUE(store.iniSaverSameFilename());
    EXPECT_EQ(get("Quorvel.ini"), file + "Bunkaino = 10\r\n");
}

TEST_F(PosixFiles, StoreTurnsDiskFailuresIntoFalse) {
    iniMente store(files);
    store.SetiniValue("A", 1);
    EXPECT_FALSE(store.iniLoader(path("missing.ini")));
    EXPECT_FALSE(store.iniSaver(path("no/such/folder.ini")));
    EXPECT_FALSE(store.iniSaverSameFilename());
    EXPECT_FALSE(fs::exists(path("no")));
    EXPECT_EQ(store.lastIndex(), 0);
    // A listed file whose reading fails: one entry with empty slots is all that is left.
    ASSERT_TRUE(files.isListedFile("/proc/self/mem"));
    EXPECT_FALSE(store.iniLoader("/proc/self/mem"));
    EXPECT_EQ(store.lastIndex(), 0);
    EXPECT_EQ(store.itemName(0), "");
    EXPECT_TRUE(store.itemValue(0).isEmpty());
}

}  // namespace
}  // namespace quorvel
