#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>

#include "IniStoreFixture.h"

namespace quorvel::test {
namespace {

using IniWriting = IniStoreTest;

constexpr const char* kOut = "/cfg/out.ini";

TEST_F(IniWriting, WritesTheHeaderAndEveryKindOfEntry) {
    ASSERT_TRUE(load("; c\r\n\r\n;  trailing  \r\nMax=9000\r\nBlank=  "));
    store.SetiniValue("BarX", true);
    store.SetiniValue("BarY", std::int32_t{-1});
    store.SetiniValue("Small", std::int16_t{12});
    ASSERT_TRUE(store.iniSaver(kOut));
    EXPECT_EQ(files.contents(kOut),
              "[General]\r\n; c\r\n\r\n;  trailing  \r\nMax = 9000\r\nBlank = \r\nBarX = True\r\nBarY = -1\r\n"
              "Small = 12\r\n");
    EXPECT_EQ(store.GetiniFilename(), kOut);
}

TEST_F(IniWriting, ExampleOfAnEditedStore) {
    ASSERT_TRUE(load("; comment\r\n[General]\r\nMax=9000\r\n[Colors]\r\n"));
    store.GetiniValue("TimerValue", std::int32_t{1000});
    store.DeliniValue("Max");
    ASSERT_TRUE(store.iniSaverSameFilename());
    EXPECT_EQ(files.contents("/cfg/q.ini"), "[General]\r\n; comment\r\n[Colors]\r\nTimerValue = 1000\r\n");
    EXPECT_EQ(store.iniSavertoVariable(), "; comment\r\n[General]\r\n[Colors]\r\nTimerValue = 1000\r\n");
}

TEST_F(IniWriting, SkipsDeletedAndGeneralValuesWhateverTheName) {
    store.SetiniValue("*REM*", "[General]");
    store.SetiniValue("Item", "[General]");
    store.SetiniValue("Lower", "[general]");
    store.SetiniValue("Gone", "*DEL*");
    store.SetiniValue("Kept", "*del*");
    ASSERT_TRUE(store.iniSaver(kOut));
    EXPECT_EQ(files.contents(kOut), "[General]\r\nLower = [general]\r\nKept = *del*\r\n");
    EXPECT_EQ(store.iniSavertoVariable(), "[General]\r\nItem = [General]\r\nLower = [general]\r\nKept = *del*\r\n");
}

TEST_F(IniWriting, LoneGeneralRemarkGivesTheHeaderOnly) {
    store.SetiniValue("*REM*", "[General]");
    ASSERT_TRUE(store.iniSaver(kOut));
    EXPECT_EQ(files.contents(kOut), "[General]\r\n");
}

TEST_F(IniWriting, EmptyStoreTouchesNoFile) {
    files.addFile(kOut, "old");
    EXPECT_TRUE(store.iniSaver(kOut));
    EXPECT_TRUE(store.iniSaver("/cfg/new.ini"));
    EXPECT_EQ(files.contents(kOut), "old");
    EXPECT_FALSE(files.hasFile("/cfg/new.ini"));
    EXPECT_EQ(files.writeAttempts(), 0);
    EXPECT_EQ(store.GetiniFilename(), "/cfg/new.ini");
}

TEST_F(IniWriting, FailuresAreQuietAndRepeatable) {
    store.SetiniValue("A", 1);
    EXPECT_FALSE(store.iniSaverSameFilename());  // no name yet
    EXPECT_FALSE(store.iniSaver("/missing/q.ini"));
    EXPECT_FALSE(store.iniSaverSameFilename());
    EXPECT_EQ(store.GetiniFilename(), "/missing/q.ini");
    files.addFolder("/cfg/folder.ini");
    EXPECT_FALSE(store.iniSaver("/cfg/folder.ini"));
    files.addFile(kOut, "old").writable = false;
    EXPECT_FALSE(store.iniSaver(kOut));
    EXPECT_EQ(files.contents(kOut), "old");
    EXPECT_EQ(entries(), Entries{"A|1"});
}

TEST_F(IniWriting, ValueWithoutTextFormFailsBeforeTheFileIsTouched) {
    files.addFile(kOut, "precious");
    store.SetiniValue("A", 1);
    store.SetiniValue("List", TaggedValue::makeArray(2));
    EXPECT_FALSE(store.iniSaver(kOut));
    EXPECT_EQ(files.contents(kOut), "precious");
    EXPECT_EQ(files.writeAttempts(), 0);
}

TEST_F(IniWriting, RemarkStoredAsANumberIsWrittenAsItsDigits) {
    store.SetiniValue("*REM*", std::int32_t{42});
    store.SetiniValue("*REM*", false);
    EXPECT_EQ(store.iniSavertoVariable(), "42\r\nFalse\r\n");
}

TEST_F(IniWriting, DeletedItemIsGoneAfterReload) {
    ASSERT_TRUE(load("Max=9000\r\nMin=1"));
    store.DeliniValue("Max");
    ASSERT_TRUE(store.iniSaverSameFilename());
    ASSERT_TRUE(store.iniLoader("/cfg/q.ini"));
    EXPECT_EQ(store.GetiniValue("Max", 100), TaggedValue(100));
}

TEST_F(IniWriting, VariableTextNeverRepeatsTheGeneralLine) {
    ASSERT_TRUE(load("[General]\r\nA=1"));
    const std::string once = store.iniSavertoVariable();
    EXPECT_EQ(once, "[General]\r\nA = 1\r\n");
    ASSERT_TRUE(store.iniSaverSameFilename());
    ASSERT_TRUE(store.iniLoader("/cfg/q.ini"));
    EXPECT_EQ(store.iniSavertoVariable(), once);
}

// Saves, reloads and saves again; the second file must equal the first.
std::string saveTwice(FakeFileSystem& files, iniMente& store) {
    EXPECT_TRUE(store.iniSaver("/cfg/first.ini"));
    std::string first = files.contents("/cfg/first.ini");
    EXPECT_TRUE(store.iniLoader("/cfg/first.ini"));
    EXPECT_TRUE(store.iniSaver("/cfg/second.ini"));
    EXPECT_EQ(files.contents("/cfg/second.ini"), first);
    return first;
}

TEST_F(IniWriting, ProgramStyleFileComesBackByteForByte) {
    const std::string file =
        "[General]\r\n; Quorvel settings\r\n\r\nBunkaino = 60\r\nMax = 9000\r\nLineColorSent = 32768\r\n"
        "CounterPath1 = \\RAS Total\\Bytes Transmitted/Sec\r\n";
    ASSERT_TRUE(load(file));
    EXPECT_EQ(saveTwice(files, store), file);
}

TEST_F(IniWriting, OtherFormsSettleAfterOneSave) {
    ASSERT_TRUE(load("; top\r\n  Name  =  value  \r\n ;x=1\r\nk=a\nb\r\nGone=*DEL*\r\n[General]\r\nT=\tt\rlast"));
    EXPECT_EQ(saveTwice(files, store),
              "[General]\r\n; top\r\nName = value  \r\n;x = 1\r\nk = a\nb\r\nT = \tt\r\nlast\r\n");
}

TEST_F(IniWriting, RemarkMarkerLineSurvivesSaving) {
    ASSERT_TRUE(load("*REM*=a=b\r\n *REM* = c"));
    EXPECT_EQ(saveTwice(files, store), "[General]\r\n*REM*=a=b\r\n *REM* = c\r\n");
}

TEST_F(IniWriting, LongestItemsKeepTheirNameAndValue) {
    const std::string name(32766, 'n');
    const std::string value(32767, 'v');
    ASSERT_TRUE(load(name + "=x\r\nk=" + value));
    const std::string saved = saveTwice(files, store);
    EXPECT_EQ(saved, "[General]\r\n" + name + "=x\r\nk=" + value + "\r\n");
    EXPECT_EQ(store.GetiniValue(name), TaggedValue("x"));
    EXPECT_EQ(store.GetiniValue("k"), TaggedValue(value));
}

TEST_F(IniWriting, PartialLoadSavesWhatWasRead) {
    EXPECT_FALSE(load("A=1\r\n" + std::string(40000, 'x') + "=1\r\nB=2"));
    EXPECT_EQ(saveTwice(files, store), "[General]\r\nA = 1\r\n = \r\n");
}

TEST_F(IniWriting, ShiftJisFileSurvivesLoadAndSave) {
    // "; 設定ファイル" / "[General]" / "タイトル=テスト表示" / "Max=9000" / "; ソ表" (bytes 0x5C inside)
    const std::string file =
        "[General]\r\n"
        "; \x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b\r\n"
        "\x83\x5e\x83\x43\x83\x67\x83\x8b = \x83\x65\x83\x58\x83\x67\x95\x5c\x8e\xa6\r\n"
        "Max = 9000\r\n"
        "; \x83\x5c\x95\x5c\r\n";
    for (const char* locale : {"C", "C.UTF-8"}) {
        if (std::setlocale(LC_ALL, locale) == nullptr) {
            continue;
        }
        ASSERT_TRUE(load(file)) << locale;
        EXPECT_EQ(store.GetiniValue("\x83\x5e\x83\x43\x83\x67\x83\x8b"),
                  TaggedValue("\x83\x65\x83\x58\x83\x67\x95\x5c\x8e\xa6"));
        EXPECT_EQ(saveTwice(files, store), file) << locale;
        EXPECT_EQ(store.lastIndex(), 4);
    }
    std::setlocale(LC_ALL, "C");
}

TEST_F(IniWriting, ShiftJisItemsLoadedWithoutSpacesGainOnlyTheSpaces) {
    ASSERT_TRUE(load("\x83\x65\x83\x58\x83\x67=\x93\xfa\x96\x7b\r\n;\x83\x5c=\x83\x5c"));
    EXPECT_EQ(saveTwice(files, store),
              "[General]\r\n\x83\x65\x83\x58\x83\x67 = \x93\xfa\x96\x7b\r\n;\x83\x5c=\x83\x5c\r\n");
}

}  // namespace
}  // namespace quorvel::test
