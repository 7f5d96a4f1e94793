#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/RuntimeError.h"
#include "settings/iniMente.h"
#include "support/FakeFileSystem.h"
#include "support/TestLocales.h"

namespace quorvel::test {
namespace {

using Entries = std::vector<std::string>;
constexpr const char* kIni = "/cfg/q.ini";

class IniStore : public ::testing::Test {
protected:
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

    // The next entry of the group walk as "name|value".
    std::string nextInGroup(std::string_view prefix = {}) {
        const auto next = store.GetiniGroup2(prefix);
        return next[0].toText() + "|" + next[1].toText();
    }
};

TEST_F(IniStore, LoadSplitsLinesIntoRemarksAndItems) {
    EXPECT_TRUE(load("") && store.lastIndex() == -1);
    ASSERT_TRUE(load(
        "; Max=1\r[General]\r\nMax=9000\r\r\nmax=  \r\nMin=\r\na = b = c\r\n  =x\r\n ; Max=1\r\n[Colors=x\r\n#a=b\r\n"
        "//a=b\r\nHello\r\n   \r\n  Bar X  =   red  blue  \r\n\tTab=\t v\r\n*REM*=a=b\r\n*rem*=a\r\nA=1\nB=2\n"));
    EXPECT_EQ(entries(), (Entries{"*REM*|; Max=1", "*REM*|[General]", "Max|9000",    "*REM*|",    "max|<empty>",
                                  "Min|<empty>",   "a|b = c",         "|x",          "; Max|1",   "*REM*|[Colors=x",
                                  "*REM*|#a=b",    "*REM*|//a=b",     "*REM*|Hello", "*REM*|   ", "Bar X|red  blue  ",
                                  "\tTab|\t v",    "*REM*|*REM*=a=b", "*rem*|a",     "A|1",       "B|2"}));
    EXPECT_EQ(store.GetiniValue("MAX"), TaggedValue("9000"));
    EXPECT_TRUE(store.GetiniValue("min", 5).isEmpty());
    // A second load replaces the entries and the index with them.
    files.addFile("/cfg/other.ini", "C=3");
    ASSERT_TRUE(store.iniLoader("/cfg/other.ini"));
    EXPECT_EQ(store.GetiniValue("A", "d"), TaggedValue("d"));
    EXPECT_EQ(entries(), (Entries{"C|3", "A|d"}));
}

TEST_F(IniStore, UnloadablePathsAreQuiet) {
    ASSERT_TRUE(load("A=1"));
    files.addFile("/cfg/.hidden.ini", "B=2");
    files.addFolder("/cfg/folder.ini");
    EXPECT_THROW((void)store.iniLoader(std::string("/cfg/q\0.ini", 11)), RuntimeError);
    EXPECT_EQ(store.GetiniFilename(), std::string("/cfg/q\0.ini", 11));
    for (const std::string path : {"/cfg/missing.ini", "/cfg/.hidden.ini", "/cfg/folder.ini", ""}) {
        EXPECT_FALSE(store.iniLoader(path)) << path;
        EXPECT_EQ(store.GetiniFilename(), path);
        EXPECT_EQ(entries(), Entries{"A|1"}) << path;
    }
    files.addFile("/cfg/locked.ini", "B=2").readable = false;
    EXPECT_FALSE(store.iniLoader("/cfg/locked.ini"));
    EXPECT_EQ(store.lastIndex(), -1);
}

TEST_F(IniStore, LookUpsAndEditsFindTheFirstMatchIgnoringCase) {
    ASSERT_TRUE(load("; one\r\nMax=9000\r\nmax=2\r\nBlank="));
    for (const char* name : {"Max", "max", "MAX"}) {
        EXPECT_EQ(store.GetiniValue(name, 100), TaggedValue("9000"));
    }
    EXPECT_EQ(store.GetiniValue("TimerValue", std::int32_t{1000}), TaggedValue(std::int32_t{1000}));
    EXPECT_EQ(store.GetiniValue("timervalue", std::int16_t{5}), TaggedValue(std::int32_t{1000}));
    EXPECT_TRUE(store.GetiniValue("Omitted").isEmpty());
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

TEST_F(IniStore, GroupWalkMatchesPrefixesAndRestartsOnANewOne) {
    ASSERT_TRUE(load("Color0=a\r\n; note\r\ncolorMode=dark"));
    // Before any prefix is given every entry matches, remarks too.
    EXPECT_EQ((Entries{nextInGroup(), nextInGroup(), nextInGroup("color"), nextInGroup(), nextInGroup()}),
              (Entries{"Color0|a", "*REM*|; note", "Color0|a", "colorMode|dark", "|"}));
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
    EXPECT_EQ(store.GetiniFilename(), "/cfg/new.ini");
    EXPECT_TRUE(files.contents("/cfg/out.ini") == "old" && !files.hasFile("/cfg/new.ini"));
    store.SetiniValue("A", 1);
    EXPECT_FALSE(store.iniSaver("/missing/q.ini") || store.iniSaverSameFilename());
    // A value without a text form fails before the file is touched.
    store.SetiniValue("List", TaggedValue::makeArray(2));
    EXPECT_FALSE(store.iniSaver("/cfg/out.ini"));
    EXPECT_EQ(files.contents("/cfg/out.ini"), "old");
}

TEST_F(IniStore, SavedFilesComeBackByteForByteInEveryLocale) {
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
        {"; top\r\n  Name  =  value  \r\n ;x=1\r\nk=a\r\nGone=*DEL*\r\n[General]\r\nT=\tt\rlast",
         "[General]\r\n; top\r\nName = value  \r\n;x = 1\r\nk = a\r\nT = \tt\r\nlast\r\n"},
        {"*REM*=a=b\r\n *REM* = c", "[General]\r\n*REM*=a=b\r\n *REM* = c\r\n"},
        {n + "=x\r\nk=" + v + "\r\n" + n.substr(1) + "=" + v.substr(1),
         "[General]\r\n" + n + "=x\r\nk=" + v + "\r\n" + n.substr(1) + " = " + v.substr(1) + "\r\n"},
        {"A=1\r\n" + n + "n=1\r\nB=2", "[General]\r\nA = 1\r\n = \r\n"},
    };
    for (const char* locale : {"C", test::multibyteLocale().name}) {
        EXPECT_NE(std::setlocale(LC_ALL, locale), nullptr);
        for (const auto& [loaded, saved] : table) {
            load(loaded);
            EXPECT_TRUE(store.iniSaver("/cfg/1.ini") && store.iniLoader("/cfg/1.ini") && store.iniSaver("/cfg/2.ini"));
            EXPECT_EQ(files.contents("/cfg/1.ini"), saved) << locale;
            EXPECT_EQ(files.contents("/cfg/2.ini"), saved) << locale;
        }
    }
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace quorvel::test
