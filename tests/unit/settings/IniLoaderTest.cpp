#include <gtest/gtest.h>

#include <string>

#include "IniStoreFixture.h"
#include "common/RuntimeError.h"

namespace quorvel::test {
namespace {

using IniLoader = IniStoreTest;

TEST_F(IniLoader, StartsEmptyWithoutAName) {
    EXPECT_EQ(store.lastIndex(), -1);
    EXPECT_EQ(store.GetiniFilename(), "");
    EXPECT_EQ(store.iniSavertoVariable(), "");
}

TEST_F(IniLoader, KeepsRemarksWholeAndSplitsItems) {
    ASSERT_TRUE(load("; comment\r\n[General]\r\nMax=9000"));
    EXPECT_EQ(entries(), (Entries{"*REM*|; comment", "*REM*|[General]", "Max|9000"}));
    EXPECT_EQ(store.GetiniFilename(), "/cfg/q.ini");
}

TEST_F(IniLoader, EmptyFileGivesNoEntries) {
    EXPECT_TRUE(load(""));
    EXPECT_EQ(store.lastIndex(), -1);
}

TEST_F(IniLoader, LoneLineFeedsMakeOneLine) {
    ASSERT_TRUE(load("Max=1\nMin=2\n"));
    EXPECT_EQ(entries(), Entries{"Max|1\nMin=2\n"});
    ASSERT_TRUE(load(";a\nb=c\n"));
    EXPECT_EQ(entries(), Entries{"*REM*|;a\nb=c\n"});
}

TEST_F(IniLoader, ValueOfSpacesIsTheEmptyValueNotEmptyText) {
    ASSERT_TRUE(load("Max=   \r\nMin=\r\n"));
    EXPECT_TRUE(store.itemValue(0).isEmpty());
    EXPECT_TRUE(store.itemValue(1).isEmpty());
    EXPECT_EQ(store.GetiniValue("Max", 5).toInt32(), 0);
}

TEST_F(IniLoader, DuplicateNamesAllStay) {
    ASSERT_TRUE(load("Max=1\r\nmax=2\r\n"));
    EXPECT_EQ(entries(), (Entries{"Max|1", "max|2"}));
    EXPECT_EQ(store.GetiniValue("MAX"), TaggedValue("1"));
}

TEST_F(IniLoader, SecondLoadReplacesTheFirst) {
    ASSERT_TRUE(load("A=1\r\nB=2\r\n"));
    files.addFile("/cfg/other.ini", "C=3");
    ASSERT_TRUE(store.iniLoader("/cfg/other.ini"));
    EXPECT_EQ(entries(), Entries{"C|3"});
    // The index forgot the first file too: A is appended, not found.
    EXPECT_EQ(store.GetiniValue("A", "d"), TaggedValue("d"));
    EXPECT_EQ(store.lastIndex(), 1);
}

TEST_F(IniLoader, MissingHiddenOrFolderPathsLeaveTheEntries) {
    ASSERT_TRUE(load("A=1"));
    files.addFile("/cfg/.hidden.ini", "B=2");
    files.addFolder("/cfg/folder.ini");
    for (const std::string path : {"/cfg/missing.ini", "/cfg/.hidden.ini", "/cfg/folder.ini", ""}) {
        EXPECT_FALSE(store.iniLoader(path)) << path;
        EXPECT_EQ(store.GetiniFilename(), path);
        EXPECT_EQ(entries(), Entries{"A|1"}) << path;
    }
}

TEST_F(IniLoader, UnsearchableNameRaisesAfterTakingTheName) {
    ASSERT_TRUE(load("A=1"));
    const std::string bad("/cfg/q\0.ini", 11);
    try {
        (void)store.iniLoader(bad);
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::FileError);
    }
    EXPECT_EQ(store.GetiniFilename(), bad);
    EXPECT_EQ(entries(), Entries{"A|1"});
}

TEST_F(IniLoader, ListedButUnreadableFileLeavesTheStoreEmpty) {
    ASSERT_TRUE(load("A=1"));
    files.addFile("/cfg/locked.ini", "B=2").readable = false;
    EXPECT_FALSE(store.iniLoader("/cfg/locked.ini"));
    EXPECT_EQ(store.lastIndex(), -1);
}

TEST_F(IniLoader, ReadErrorKeepsFinishedLinesAndOneEmptyEntry) {
    files.addFile("/cfg/q.ini", "A=1\r\nB=2\r\nC=3\r\n").readFailsAfter = 8;
    EXPECT_FALSE(store.iniLoader("/cfg/q.ini"));
    EXPECT_EQ(entries(), (Entries{"A|1", "|<empty>"}));

    files.file("/cfg/q.ini").readFailsAfter = 0;
    EXPECT_FALSE(store.iniLoader("/cfg/q.ini"));
    EXPECT_EQ(entries(), Entries{"|<empty>"});
}

TEST_F(IniLoader, EqualsPastCharacter32767StopsWithAnEmptyEntry) {
    const std::string far = std::string(39999, 'x') + "=1";  // "=" at character 40000
    EXPECT_FALSE(load("; top\r\nA=1\r\n" + far + "\r\nB=2\r\n"));
    EXPECT_EQ(entries(), (Entries{"*REM*|; top", "A|1", "|<empty>"}));
    EXPECT_EQ(store.GetiniValue("B", "d"), TaggedValue("d"));
}

TEST_F(IniLoader, OverlongValueStopsWithTheNameKept) {
    EXPECT_FALSE(load("A=1\r\nLong=" + std::string(40000, 'v') + "\r\nB=2"));
    EXPECT_EQ(entries(), (Entries{"A|1", "Long|<empty>"}));
}

TEST_F(IniLoader, LongLinesWithinTheLimitsLoad) {
    const std::string remark(100000, ';');
    const std::string value(32767, 'v');
    ASSERT_TRUE(load(remark + "\r\nk=" + value));
    EXPECT_EQ(store.itemValue(0), TaggedValue(remark));
    EXPECT_EQ(store.itemValue(1), TaggedValue(value));
}

TEST_F(IniLoader, FileNameChangesOnlyWhenTold) {
    store.SetiniFilename("/nowhere/x.ini");
    EXPECT_EQ(store.GetiniFilename(), "/nowhere/x.ini");
    EXPECT_EQ(store.lastIndex(), -1);
    EXPECT_EQ(files.writeAttempts(), 0);
}

}  // namespace
}  // namespace quorvel::test
