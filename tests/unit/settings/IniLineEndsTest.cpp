#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "settings/IniLineGrammar.h"
#include "settings/iniMente.h"
#include "support/FakeFileSystem.h"

namespace quorvel::test {
namespace {

using Lines = std::vector<std::string>;

// Every line of `bytes`, with "|" after each one that has a line end.
Lines split(std::string_view bytes) {
    Lines lines;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const ini::LineSpan line = ini::nextLine(bytes, pos);
        lines.push_back(std::string(line.text) + (line.terminated ? "|" : ""));
        pos = line.next;
    }
    return lines;
}

TEST(IniLineGrammar, LfCrAndCrLfEachEndOneLine) {
    // {bytes, lines, the writer's line end}
    const std::vector<std::tuple<std::string, Lines, std::string_view>> table = {
        {"", {}, "\r\n"},
        {"A=1", {"A=1"}, "\r\n"},
        {"A=1\nB\n", {"A=1|", "B|"}, "\n"},
        {"A=1\rB\r", {"A=1|", "B|"}, "\r\n"},
        {"A=1\r\nB\r\n", {"A=1|", "B|"}, "\r\n"},
        {"\n\n", {"|", "|"}, "\n"},
        {"\r\n\r\n", {"|", "|"}, "\r\n"},
        // A pair counts once only as CR LF; LF CR is two line ends, and so is CR CR LF.
        {"a\n\rb", {"a|", "|", "b"}, "\n"},
        {"a\r\r\nb", {"a|", "|", "b"}, "\r\n"},
        {"a\rb\nc\r\nd", {"a|", "b|", "c|", "d"}, "\r\n"},
        {"a\nb\r\nc\rd", {"a|", "b|", "c|", "d"}, "\n"},
        {"\xff\x83\n\x5c\r", {"\xff\x83|", "\x5c|"}, "\n"},
    };
    for (const auto& [bytes, lines, lineEnd] : table) {
        EXPECT_EQ(split(bytes), lines) << bytes;
        EXPECT_EQ(ini::lineEndOf(bytes), lineEnd) << bytes;
    }
}

class IniLineEnds : public ::testing::Test {
protected:
    static constexpr const char* kIni = "/cfg/q.ini";
    IniLineEnds() { files.addFolder("/cfg"); }
    FakeFileSystem files;
    iniMente store{files};
};

TEST_F(IniLineEnds, WritersEndEveryLineAsTheLoadedFileEndedItsFirst) {
    // {loaded, saved by iniSaver after TimerValue was looked up, by iniSavertoVariable}
    const std::vector<std::tuple<std::string, std::string, std::string>> table = {
        // One kind of line end throughout: remarks come back byte for byte, items rewritten.
        {"[General]\n; \x90\xdd\x92\xe8 \n\nMax = 9000\n[Colors]\nx\n",
         "[General]\n; \x90\xdd\x92\xe8 \n\nMax = 9000\n[Colors]\nx\nTimerValue = 1000\n",
         "[General]\n; \x90\xdd\x92\xe8 \n\nMax = 9000\n[Colors]\nx\nTimerValue = 1000\n"},
        {"; c\nMax=9000", "[General]\n; c\nMax = 9000\nTimerValue = 1000\n", "; c\nMax = 9000\nTimerValue = 1000\n"},
        {"; c\rMax=9000\r", "[General]\r\n; c\r\nMax = 9000\r\nTimerValue = 1000\r\n",
         "; c\r\nMax = 9000\r\nTimerValue = 1000\r\n"},
        {"; c\r\nMax=9000\r\n", "[General]\r\n; c\r\nMax = 9000\r\nTimerValue = 1000\r\n",
         "; c\r\nMax = 9000\r\nTimerValue = 1000\r\n"},
        // Mixed: the first line end decides.
        {"; c\nMax=9000\r\n\r[General]\r\n", "[General]\n; c\nMax = 9000\n\nTimerValue = 1000\n",
         "; c\nMax = 9000\n\n[General]\nTimerValue = 1000\n"},
        // No line end at all.
        {"Max=9000", "[General]\r\nMax = 9000\r\nTimerValue = 1000\r\n", "Max = 9000\r\nTimerValue = 1000\r\n"},
    };
    for (const auto& [loaded, saved, variable] : table) {
        files.addFile(kIni, loaded);
        ASSERT_TRUE(store.iniLoader(kIni)) << loaded;
        store.GetiniValue("TimerValue", std::int32_t{1000});
        EXPECT_EQ(store.iniSavertoVariable(), variable) << loaded;
        ASSERT_TRUE(store.iniSaverSameFilename());
        EXPECT_EQ(files.contents(kIni), saved) << loaded;
        // The saved file is a fixed point: loading and saving it again changes nothing.
        ASSERT_TRUE(store.iniLoader(kIni) && store.iniSaver("/cfg/again.ini"));
        EXPECT_EQ(files.contents("/cfg/again.ini"), saved) << loaded;
    }
}

TEST_F(IniLineEnds, StoreWithoutALoadedFileWritesCrLf) {
    store.SetiniValue("A", "1");
    EXPECT_EQ(store.iniSavertoVariable(), "A = 1\r\n");
    ASSERT_TRUE(store.iniSaver("/cfg/new.ini"));
    EXPECT_EQ(files.contents("/cfg/new.ini"), "[General]\r\nA = 1\r\n");

    // A load that finds no file keeps the entries and the line end they came with;
    // a file that cannot be opened empties the store, which then writes CR LF again.
    files.addFile(kIni, "A=1\n");
    ASSERT_TRUE(store.iniLoader(kIni));
    EXPECT_FALSE(store.iniLoader("/cfg/missing.ini"));
    EXPECT_EQ(store.iniSavertoVariable(), "A = 1\n");
    files.addFile("/cfg/locked.ini", "B=2\n").readable = false;
    EXPECT_FALSE(store.iniLoader("/cfg/locked.ini"));
    store.SetiniValue("B", "2");
    EXPECT_EQ(store.iniSavertoVariable(), "B = 2\r\n");
}

}  // namespace
}  // namespace quorvel::test
