#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "common/RuntimeError.h"
#include "settings/IniLineGrammar.h"
#include "settings/iniMente.h"
#include "support/FakeFileSystem.h"
#include "support/TestLocales.h"

namespace quorvel::test {
namespace {

using Entries = std::vector<std::string>;
constexpr const char* kIni = "/cfg/q.ini";

class IniStore : public ::testing::Test {
protected:
    IniStore() { files.addFolder("/cfg"); }
    FakeFileSystem files;
    iniMente store{files};

    // Every entry as "name|value", with "<empty>" for the empty value; walking both arrays
    // to the last index also shows that they have the same length.
    [[nodiscard]] Entries entries() const {
        Entries out;
        for (std::size_t i = 0; std::cmp_less_equal(i, store.lastIndex()); ++i) {
            const TaggedValue& value = store.itemValue(i);
            out.push_back(store.itemName(i) + "|" + (value.isEmpty() ? "<empty>" : value.toText()));
        }
        return out;
    }

    bool load(const std::string& bytes, std::optional<std::size_t> readFailsAfter = {}) {
        files.addFile(kIni, bytes).readFailsAfter = readFailsAfter;
        return store.iniLoader(kIni);
    }
};

TEST_F(IniStore, LoadSplitsLinesIntoRemarksAndItems) {
    EXPECT_TRUE(load("") && store.lastIndex() == -1);
    EXPECT_THROW((void)store.itemName(0), RuntimeError);
    ASSERT_TRUE(load(
        "; Max=1\r[General]\r\nMax=9000\r\r\nmax=  \r\nMin=\r\na = b = c\r\n  =x\r\n ; Max=1\r\n[Colors=x\r\n#a=b\r\n"
        "//a=b\r\nHello\r\n   \r\n  Bar X  =   red  blue  \r\n\tTab=\t v\r\n*REM*=a=b\r\n*rem*=a\r\nA=1\nB=2\n"));
    EXPECT_EQ(entries(), (Entries{"*REM*|; Max=1", "*REM*|[General]", "Max|9000",    "*REM*|",    "max|<empty>",
                                  "Min|<empty>",   "a|b = c",         "|x",          "; Max|1",   "*REM*|[Colors=x",
                                  "*REM*|#a=b",    "*REM*|//a=b",     "*REM*|Hello", "*REM*|   ", "Bar X|red  blue  ",
                                  "\tTab|\t v",    "*REM*|*REM*=a=b", "*rem*|a",     "A|1",       "B|2"}));
}

TEST_F(IniStore, LookUpsAndEditsFindTheFirstMatchIgnoringCase) {
    ASSERT_TRUE(load("; one\r\nMax=9000\r\nmax=2\r\nBlank="));
    EXPECT_EQ(store.GetiniValue("TimerValue", std::int32_t{1000}), TaggedValue(std::int32_t{1000}));
    EXPECT_EQ(store.GetiniValue("timervalue", std::int16_t{5}), TaggedValue(std::int32_t{1000}));
    store.GetiniValue("Omitted");
    EXPECT_TRUE(store.SetiniValue("MAX", std::int16_t{7}));
    // "*REM*" always appends a remark, yet as a name it matches like any other.
    store.SetiniValue("*REM*", "; two");
    EXPECT_EQ(store.GetiniValue("*rem*"), TaggedValue("; one"));
    store.SetiniValue("*Rem*", "; changed");
    EXPECT_EQ(entries(), (Entries{"*REM*|; changed", "Max|7", "max|2", "Blank|<empty>", "TimerValue|1000",
                                  "Omitted|<empty>", "*REM*|; two"}));
    // Many names, so that the index sees collisions and grows.
    for (int n = 0; n < 3000; ++n) {
        store.SetiniValue("H" + std::to_string(n), n);
    }
    for (int n = 0; n < 3000; ++n) {
        ASSERT_EQ(store.GetiniValue("h" + std::to_string(n)), TaggedValue(n)) << n;
    }
}

TEST_F(IniStore, MultibyteLocaleCountsCharactersAndMatchesLetters) {
    const test::MultibyteLocale& sample = test::multibyteLocale();
    ASSERT_TRUE(load(sample.upper + "rger=1"));  // under "C" the bytes of the capital are no letter
    EXPECT_EQ(store.GetiniValue(sample.lower + "rger", "d"), TaggedValue("d"));
    if (std::setlocale(LC_ALL, sample.name) == nullptr) {
        GTEST_SKIP() << "no " << sample.name << " locale on this machine";
    }
    EXPECT_EQ(store.GetiniValue(sample.upper + "RGER", "x"), TaggedValue("1"));  // both entries match now
    std::string wide;  // 20000 characters, more than 32767 bytes
    for (int i = 0; i < 10000; ++i) {
        wide += sample.twoIdeographs;
    }
    EXPECT_TRUE(load(wide + "=v") && load("k=" + wide));
    if (sample.beyondBmp) {
        std::string units;  // 16384 characters of two 16-bit units
        for (int i = 0; i < 16384; ++i) {
            units += *sample.beyondBmp;
        }
        EXPECT_FALSE(load(units + "=v") || load("k=" + units));
    }
    std::setlocale(LC_ALL, "C");
}

TEST_F(IniStore, SavingSkipsDeletedAndGeneralValuesWhateverTheName) {
    ASSERT_TRUE(load("; comment\r\n[General]\r\nMax=9000\r\n[Colors]\r\n"));
    store.GetiniValue("TimerValue", std::int32_t{1000});
    store.SetiniValue("Max", "*DEL*");
    store.SetiniValue("Lower", "[general]");
    store.SetiniValue("Kept", "*del*");
    store.SetiniValue("*REM*", std::int32_t{42});
    store.SetiniValue("*REM*", false);
    store.SetiniValue("Yes", true);
    store.SetiniValue("Item", "[General]");
    ASSERT_TRUE(store.iniSaverSameFilename());
    const std::string rest =
        "[Colors]\r\nTimerValue = 1000\r\nLower = [general]\r\nKept = *del*\r\n42\r\nFalse\r\nYes = True\r\n";
    EXPECT_EQ(files.contents(kIni), "[General]\r\n; comment\r\n" + rest);
    EXPECT_EQ(store.iniSavertoVariable(), "; comment\r\n[General]\r\n" + rest + "Item = [General]\r\n");
}

TEST_F(IniStore, FailedSavesAreQuietAndEmptyStoresWriteNothing) {
    files.addFile("/cfg/out.ini", "old");
    EXPECT_TRUE(store.iniSaver("/cfg/out.ini") && store.iniSaver("/cfg/new.ini"));
    EXPECT_TRUE(files.contents("/cfg/out.ini") == "old" && !files.hasFile("/cfg/new.ini"));
    store.SetiniValue("A", 1);
    EXPECT_FALSE(store.iniSaver("/missing/q.ini") || store.iniSaverSameFilename());
    // A value without a text form fails before the file is touched.
    store.SetiniValue("List", TaggedValue::makeArray(2));
    EXPECT_FALSE(store.iniSaver("/cfg/out.ini"));
    EXPECT_EQ(files.contents("/cfg/out.ini"), "old");
}

TEST_F(IniStore, SavedFilesKeepTheLoadedBytesInEveryLocale) {
    // Shift-JIS: "; 設定ファイル", "タイトル = テスト表示", "; ソ表" (0x5C as a second byte).
    const std::string program =
        "[General]\r\n; \x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b\r\n\r\n"
        "\x83\x5e\x83\x43\x83\x67\x83\x8b = \x83\x65\x83\x58\x83\x67\x95\x5c\x8e\xa6\r\n; \x83\x5c\x95\x5c\r\n"
        "Max = 9000\r\nCounterPath1 = \\RAS Total\\Bytes Transmitted/Sec\r\n";
    // Where the spaces around "=" would push a limit, the item line goes without them.
    const std::string n(32766, 'n');
    const std::string v(32767, 'v');
    // {loaded, saved}: only item lines change, to the "name = value" form.
    const std::vector<std::pair<std::string, std::string>> table = {
        {program, program},
        {"\x83\x65=\x93\xfa\r\n;\x83\x5c=\x83\x5c", "[General]\r\n\x83\x65 = \x93\xfa\r\n;\x83\x5c=\x83\x5c\r\n"},
        {"*REM*=a=b\r\n *REM* = c", "[General]\r\n*REM*=a=b\r\n *REM* = c\r\n"},
        {n + "=x\r\nk=" + v + "\r\n" + n.substr(1) + "=" + v.substr(1),
         "[General]\r\n" + n + "=x\r\nk=" + v + "\r\n" + n.substr(1) + " = " + v.substr(1) + "\r\n"},
        {"A=1\r\n" + n + "n=1\r\nB=2", "[General]\r\nA = 1\r\n = \r\n"},
    };
    for (const char* locale : {"C", test::multibyteLocale().name}) {
        EXPECT_NE(std::setlocale(LC_ALL, locale), nullptr);
        for (const auto& [loaded, saved] : table) {
            load(loaded);
            EXPECT_TRUE(store.iniSaver("/cfg/1.ini"));
            EXPECT_EQ(files.contents("/cfg/1.ini"), saved) << locale;
        }
    }
    std::setlocale(LC_ALL, "C");
}

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
        // A pair counts once only as CR LF; LF CR is two line ends, and so is CR CR LF.
        {"a\n\rb", {"a|", "|", "b"}, "\n"},
        {"a\r\r\nb", {"a|", "|", "b"}, "\r\n"},
        {"a\nb\r\nc\rd", {"a|", "b|", "c|", "d"}, "\n"},
        {"\xff\x83\n\x5c\r", {"\xff\x83|", "\x5c|"}, "\n"},
    };
    for (const auto& [bytes, lines, lineEnd] : table) {
        EXPECT_EQ(split(bytes), lines) << bytes;
        EXPECT_EQ(ini::lineEndOf(bytes), lineEnd) << bytes;
    }
}

TEST_F(IniStore, WritersEndEveryLineAsTheLoadedFileEndedItsFirst) {
    // Mixed line ends: the first decides, for both writers.
    ASSERT_TRUE(load("; c\nMax=9000\r\n\r[General]\r\n"));
    store.GetiniValue("TimerValue", std::int32_t{1000});
    EXPECT_EQ(store.iniSavertoVariable(), "; c\nMax = 9000\n\n[General]\nTimerValue = 1000\n");
    ASSERT_TRUE(store.iniSaverSameFilename());
    EXPECT_EQ(files.contents(kIni), "[General]\n; c\nMax = 9000\n\nTimerValue = 1000\n");
}

TEST_F(IniStore, UnloadablePathsAreQuietAndAStoreWithoutALoadedFileWritesCrLf) {
    // A load that finds no file, or is given no name, keeps the entries and the line end
    // they came with; a file that cannot be opened empties the store, which then writes
    // CR LF again.
    ASSERT_TRUE(load("A=1\n"));
    EXPECT_THROW((void)store.iniLoader(std::string("/cfg/q\0.ini", 11)), RuntimeError);
    EXPECT_FALSE(store.iniLoader("/cfg/missing.ini") || store.iniLoader(""));
    EXPECT_EQ(store.iniSavertoVariable(), "A = 1\n");
    // A listed file that cannot be opened is never written over either.
    files.addFile("/cfg/locked.ini", "B=2\n").readable = false;
    EXPECT_FALSE(store.iniLoader("/cfg/locked.ini"));
    EXPECT_EQ(std::pair(store.incompleteLoad()->line, store.incompleteLoad()->stop),
              std::pair(std::size_t{0}, LoadStop::CannotOpen));
    store.SetiniValue("B", "2");
    EXPECT_EQ(store.iniSavertoVariable(), "B = 2\r\n");
    EXPECT_FALSE(store.iniSaverSameFilename());
    EXPECT_EQ(files.contents("/cfg/locked.ini"), "B=2\n");
}

TEST_F(IniStore, FileNotReadWholeIsNeverWrittenBackOverItself) {
    const std::string name(32767, 'n');    // "=" after it stands at character 32768
    const std::string spaces(32768, ' ');  // spaces count towards the limit before the value is trimmed
    // {bytes, read fails after, line, stop, what a save under another name writes}
    const std::vector<std::tuple<std::string, std::optional<std::size_t>, std::size_t, LoadStop, std::string>> table = {
        {"; top\nA=1\n" + name + "=1\nB=2\n", {}, 3, LoadStop::EqualsTooFar, "[General]\n; top\nA = 1\n = \nN = 1\n"},
        {"A=1\r\nk=" + spaces + "\r\nB=2", {}, 2, LoadStop::ValueTooLong, "[General]\r\nA = 1\r\nk = \r\nN = 1\r\n"},
        {"A=1\r\nB=2\r\nC=3\r\n", 8, 2, LoadStop::ReadError, "[General]\r\nA = 1\r\n = \r\nN = 1\r\n"},
        {"A=1", 0, 1, LoadStop::ReadError, "[General]\r\n = \r\nN = 1\r\n"},
        {";" + name.substr(1) + "=v", {}, 1, LoadStop::EqualsTooFar, "[General]\r\n = \r\nN = 1\r\n"},
    };
    for (const auto& [bytes, readFailsAfter, line, stop, copy] : table) {
        EXPECT_FALSE(load(bytes, readFailsAfter));
        ASSERT_TRUE(store.incompleteLoad().has_value());
        EXPECT_EQ(store.incompleteLoad()->line, line) << line;
        EXPECT_EQ(store.incompleteLoad()->stop, stop) << line;

        // The program runs on with what it read and appends what it misses.
        EXPECT_EQ(store.GetiniValue("N", std::int32_t{1}), TaggedValue(std::int32_t{1}));
        EXPECT_FALSE(store.iniSaverSameFilename());
        // Another name takes the store, and becomes the file that iniSaverSameFilename
        // writes; the file that was not read whole stays protected.
        EXPECT_TRUE(store.iniSaver("/cfg/copy.ini"));
        EXPECT_EQ(files.contents("/cfg/copy.ini"), copy);
        EXPECT_TRUE(store.iniSaverSameFilename());
        EXPECT_FALSE(store.iniSaver(kIni));
        EXPECT_EQ(files.contents(kIni), bytes);
    }
}

TEST_F(IniStore, MarkLastsUntilALoadReadsAFileWhole) {
    ASSERT_FALSE(load("A=1\r\nB=2\r\n", 6));
    store.SetiniValue("C", "3");
    // A file that is not found changes nothing: the store still holds the partial read.
    EXPECT_FALSE(store.iniLoader("/cfg/missing.ini"));
    EXPECT_FALSE(store.iniSaver(kIni));
    ASSERT_TRUE(store.incompleteLoad().has_value());

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
TEST_F(IniStore, FileThatTheLoadDidNotFindOrOpenIsNeverWrittenOver) {
    files.addFile("/cfg/.q.ini", "Max=5\r\n");
    EXPECT_FALSE(store.iniLoader("/cfg/.q.ini"));
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
}

}  // namespace
}  // namespace quorvel::test
