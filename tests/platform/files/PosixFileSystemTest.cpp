#include "platform/linux/PosixFileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "app/Tool.h"
#include "common/RuntimeError.h"
#include "support/TempDir.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using fs::perms;

class PosixFiles : public ::testing::Test {
protected:
    [[nodiscard]] std::string path(const std::string& name) const { return (dir / name).string(); }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    [[nodiscard]] std::string get(const std::string& name) const { return files.readFile(path(name)).bytes; }

    const testing::TempDir dir{"quorvel-files"};
    PosixFileSystem files;
};

TEST_F(PosixFiles, ListsPlainVisibleFilesAndOpensAllButFolders) {
    put("q.ini", "A=1");
    put(".hidden.ini", "");
    fs::create_directories(path(".cfg/folder.ini"));
    put(".cfg/q.ini", "");
    fs::create_symlink(path("q.ini"), path("link.ini"));
    ASSERT_EQ(::mkfifo(path("pipe.ini").c_str(), 0600), 0);  // opening it must not wait for a writer
    // {name, listed by a directory search, opens for reading}
    const std::vector<std::tuple<std::string, bool, bool>> table = {
        {"q.ini", true, true},         {"link.ini", true, true},  {".cfg/q.ini", true, true},
        {".hidden.ini", false, true},  {"pipe.ini", false, true}, {".cfg/folder.ini", false, false},
        {"missing.ini", false, false}, {"q.ini/", false, false},
    };
    for (const auto& [name, listed, opens] : table) {
        EXPECT_EQ(files.isListedFile(path(name)), listed) << name;
        EXPECT_EQ(Tool::IsExistingFile(files, path(name)), opens) << name;
    }
    EXPECT_FALSE(files.isListedFile("") || Tool::IsExistingFile(files, ""));
    EXPECT_FALSE(Tool::IsExistingFile(files, path("q.ini") + '\0'));
    EXPECT_THROW((void)files.isListedFile(path("q.ini") + '\0'), RuntimeError);
    EXPECT_THROW((void)files.isListedFile(path(std::string(5000, 'n'))), RuntimeError);
}

TEST_F(PosixFiles, ReadsBytesExactlyOrTellsWhatFailed) {
    std::string bytes(200000, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');  // every byte value, over and over
    put("big.bin", bytes);
    const FileContents whole = files.readFile(path("big.bin"));
    EXPECT_TRUE(whole.status == ReadStatus::Complete && whole.bytes == bytes);
    const FileContents unsized = files.readFile("/proc/self/status");
    EXPECT_TRUE(unsized.status == ReadStatus::Complete && unsized.bytes.find("Name:") != std::string::npos);
    fs::create_directory(path("folder"));
    EXPECT_EQ(files.readFile(path("folder")).status, ReadStatus::ReadError);
    EXPECT_EQ(files.readFile(path("missing")).status, ReadStatus::CannotOpen);
}

TEST_F(PosixFiles, WriteCreatesWithTheUmaskReplacesKeepingPermissionsAndLinksOrFailsQuietly) {
    const mode_t old = ::umask(022);
    ASSERT_TRUE(files.writeFile(path("new.ini"), "A = 1\r\n"));
    ::umask(old);
    EXPECT_EQ(get("new.ini"), "A = 1\r\n");
    EXPECT_EQ(fs::status(path("new.ini")).permissions(), perms{0644});
    put("kept.ini", "a much longer old content than the new one");
    fs::permissions(path("kept.ini"), perms{0620});
    fs::create_symlink(path("kept.ini"), path("link.ini"));
    fs::create_hard_link(path("kept.ini"), path("hard.ini"));
    ASSERT_TRUE(files.writeFile(path("link.ini"), "B") && files.writeFile(path("hard.ini"), "C"));
    EXPECT_TRUE(fs::is_symlink(path("link.ini")));
    EXPECT_EQ(get("kept.ini"), "C");
    EXPECT_EQ(fs::status(path("kept.ini")).permissions(), perms{0620});
    fs::create_symlink(path("made.ini"), path("dangling.ini"));  // a link to a file not made yet
    ASSERT_TRUE(files.writeFile(path("dangling.ini"), "D"));
    EXPECT_TRUE(fs::is_symlink(path("dangling.ini")));
    EXPECT_EQ(get("made.ini"), "D");
    fs::create_directory(path("folder.ini"));
    for (const std::string& bad : {path("folder.ini"), path("missing/q.ini"), std::string(), path("q.ini") + '\0'}) {
        EXPECT_FALSE(files.writeFile(bad, "x")) << bad;
    }
    // Nothing else is left behind: no temporary file, no file named up to the NUL.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 7);
}

TEST_F(PosixFiles, WriteRespectsPermissionsOfTheFileNotOfItsFolder) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes files whatever their permissions";
    }
    put("ro.ini", "old");
    fs::permissions(path("ro.ini"), perms::owner_read);
    EXPECT_FALSE(files.writeFile(path("ro.ini"), "new"));
    // A folder that takes no new file still lets a writable file in it be rewritten in place.
    put("q.ini", "old");
    fs::permissions(dir.path(), perms::owner_read | perms::owner_exec);
    EXPECT_FALSE(files.writeFile(path("other.ini"), "new"));
    EXPECT_TRUE(files.writeFile(path("q.ini"), "new"));
    EXPECT_EQ(get("ro.ini") + get("q.ini"), "oldnew");
    fs::permissions(dir.path(), perms::owner_all);
}

}  // namespace
}  // namespace quorvel
