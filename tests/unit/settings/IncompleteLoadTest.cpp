#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "settings/iniMente.h"
#include "support/FakeFileSystem.h"

namespace quorvel::test {
namespace {

constexpr const char* kIni = "/cfg/q.ini";

class IncompleteLoadTest : public ::testing::Test {
protected:
    FakeFileSystem files;
    iniMente store{files};
};

TEST_F(IncompleteLoadTest, FileNotReadWholeIsNeverWrittenBackOverItself) {
    const std::string name(32767, 'n');    // "=" after it stands at character 32768
    const std::string spaces(32768, ' ');  // spaces count towards the limit before the value is trimmed
    // {bytes, read fails after, line, stop, what a save under another name writes}
    const std::vector<std::tuple<std::string, std::optional<std::size_t>, std::size_t, LoadStop, std::string>> table = {
        {"; top\nA=1\n" + name + "=1\nB=2\n", {}, 3, LoadStop::EqualsTooFar, "[General]\n; top\nA = 1\n = \nN = 1\n"},
        {"A=1\r\nk=" + spaces + "\r\nB=2", {}, 2, LoadStop::ValueTooLong, "[General]\r\nA = 1\r\nk = \r\nN = 1\r\n"},
        {"A=1\r\nB=2\r\nC=3\r\n", 8, 2, LoadStop::ReadError, "[General]\r\nA = 1\r\n = \r\nN = 1\r\n"},
        {"A=1\nB=2\n", 4, 2, LoadStop::ReadError, "[General]\nA = 1\n = \nN = 1\n"},
        {"A=1", 0, 1, LoadStop::ReadError, "[General]\r\n = \r\nN = 1\r\n"},
        {";" + name.substr(1) + "=v", {}, 1, LoadStop::EqualsTooFar, "[General]\r\n = \r\nN = 1\r\n"},
    };
    for (const auto& [bytes, readFailsAfter, line, stop, copy] : table) {
        files.addFile(kIni, bytes).readFailsAfter = readFailsAfter;
        EXPECT_FALSE(store.iniLoader(kIni));
        ASSERT_TRUE(store.incompleteLoad().has_value());
        EXPECT_EQ(store.incompleteLoad()->filename, kIni);
        EXPECT_EQ(store.incompleteLoad()->line, line) << line;
        EXPECT_EQ(store.incompleteLoad()->stop, stop) << line;

        // The program runs on with what it read and appends what it misses.
        EXPECT_EQ(store.GetiniValue("N", std::int32_t{1}), TaggedValue(std::int32_t{1}));
        EXPECT_FALSE(store.iniSaverSameFilename());
        EXPECT_FALSE(store.iniSaver(kIni));
        EXPECT_EQ(files.contents(kIni), bytes);

        // Another name takes the store, and becomes the file that iniSaverSameFilename
        // writes; the file that was not read whole stays protected.
        EXPECT_TRUE(store.iniSaver("/cfg/copy.ini"));
        EXPECT_EQ(files.contents("/cfg/copy.ini"), copy);
        EXPECT_TRUE(store.iniSaverSameFilename());
        EXPECT_FALSE(store.iniSaver(kIni));
        EXPECT_EQ(files.contents(kIni), bytes);
    }
}

TEST_F(IncompleteLoadTest, MarkLastsUntilALoadReadsAFileWhole) {
    files.addFile(kIni, "A=1\r\nB=2\r\n").readFailsAfter = 6;
    ASSERT_FALSE(store.iniLoader(kIni));
    store.SetiniValue("C", "3");
    // A file that is not found changes nothing: the store still holds the partial read.
    EXPECT_FALSE(store.iniLoader("/cfg/missing.ini"));
    EXPECT_FALSE(store.iniSaver(kIni));
    ASSERT_TRUE(store.incompleteLoad().has_value());

    // Another file that stops short takes the mark over.
    files.addFile("/cfg/other.ini", "X=" + std::string(40000, 'x'));
    EXPECT_FALSE(store.iniLoader("/cfg/other.ini"));
    EXPECT_EQ(store.incompleteLoad()->filename, "/cfg/other.ini");
    EXPECT_FALSE(store.iniSaverSameFilename());

    // Once the user mends the file, it loads whole and is written back as usual.
    files.addFile(kIni, "A=1\r\nB=2\r\n");
    ASSERT_TRUE(store.iniLoader(kIni));
    EXPECT_FALSE(store.incompleteLoad().has_value());
    store.SetiniValue("C", "3");
    EXPECT_TRUE(store.iniSaverSameFilename());
    EXPECT_EQ(files.contents(kIni), "[General]\r\nA = 1\r\nB = 2\r\nC = 3\r\n");
}

// A hidden file opens, so start-up finds it, but the load does not list it: the store holds
// defaults only, and the user's bytes must stay. So must those of a file that does not open.
TEST_F(IncompleteLoadTest, FileThatTheLoadDidNotFindOrOpenIsNeverWrittenOver) {
    files.addFile("/cfg/.q.ini", "Max=5\r\n");
    EXPECT_FALSE(store.iniLoader("/cfg/.q.ini"));
    EXPECT_EQ(store.GetiniFilename(), "/cfg/.q.ini");
    store.GetiniValue("Max", std::int16_t{9000});
    EXPECT_FALSE(store.iniSaverSameFilename());
    EXPECT_FALSE(store.iniSaver("/cfg/.q.ini"));
    EXPECT_EQ(files.contents("/cfg/.q.ini"), "Max=5\r\n");
    // Other names take the store as usual, and a load that finds its file lifts the guard.
    EXPECT_TRUE(store.iniSaver("/cfg/copy.ini"));
    EXPECT_TRUE(store.iniLoader("/cfg/copy.ini"));
    EXPECT_TRUE(store.iniSaver("/cfg/.q.ini"));
    // A load of a name that names no file leaves the name free for a save to create.
    EXPECT_FALSE(store.iniLoader("/cfg/new.ini"));
    EXPECT_TRUE(store.iniSaverSameFilename());
    EXPECT_TRUE(files.hasFile("/cfg/new.ini"));
    // A listed file that cannot be opened keeps its contents too.
    files.addFile(kIni, "A=1\r\n").readable = false;
    EXPECT_FALSE(store.iniLoader(kIni));
    ASSERT_TRUE(store.incompleteLoad().has_value());
    EXPECT_EQ(store.incompleteLoad()->line, 0U);
    EXPECT_EQ(store.incompleteLoad()->stop, LoadStop::CannotOpen);
    store.GetiniValue("Max", std::int16_t{9000});
    EXPECT_FALSE(store.iniSaverSameFilename());
    EXPECT_EQ(files.contents(kIni), "A=1\r\n");
}

}  // namespace
}  // namespace quorvel::test
