#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>

#include "IniStoreFixture.h"
#include "common/RuntimeError.h"

namespace quorvel::test {
namespace {

using IniQueries = IniStoreTest;

TEST_F(IniQueries, LookUpIgnoresLetterCaseAndAppendsNothingWhenFound) {
    ASSERT_TRUE(load("Max=9000"));
    for (const char* name : {"Max", "max", "MAX"}) {
        EXPECT_EQ(store.GetiniValue(name, 100), TaggedValue("9000"));
    }
    EXPECT_EQ(store.lastIndex(), 0);
}

TEST_F(IniQueries, MissingItemIsAppendedWithTheDefaultKeptAsItsKind) {
    const TaggedValue first = store.GetiniValue("TimerValue", std::int32_t{1000});
    EXPECT_EQ(first, TaggedValue(std::int32_t{1000}));
    EXPECT_EQ(entries(), Entries{"TimerValue|1000"});
    EXPECT_EQ(store.GetiniValue("timervalue", std::int16_t{5}), TaggedValue(std::int32_t{1000}));
    EXPECT_TRUE(store.GetiniValue("Omitted").isEmpty());
    EXPECT_EQ(store.lastIndex(), 1);
}

TEST_F(IniQueries, EmptyLoadedValueIsReturnedRatherThanTheDefault) {
    ASSERT_TRUE(load("Max=   "));
    EXPECT_TRUE(store.GetiniValue("Max", 100).isEmpty());
}

TEST_F(IniQueries, DeletedItemReadsAsMarkerUntilSetAgainInPlace) {
    ASSERT_TRUE(load("A=1\r\nMax=9000\r\nB=2"));
    EXPECT_TRUE(store.DeliniValue("max"));
    EXPECT_EQ(store.GetiniValue("Max", 5), TaggedValue("*DEL*"));
    EXPECT_TRUE(store.SetiniValue("MAX", std::int16_t{7}));
    EXPECT_EQ(entries(), (Entries{"A|1", "Max|7", "B|2"}));
}

TEST_F(IniQueries, DeletingAMissingNameAppendsADeletedItem) {
    EXPECT_TRUE(store.DeliniValue("Ghost"));
    EXPECT_EQ(entries(), Entries{"Ghost|*DEL*"});
}

TEST_F(IniQueries, RemarkMarkerAppendsButTakesPartInNameMatching) {
    ASSERT_TRUE(load("; one\r\nA=1\r\n; two"));
    store.SetiniValue("*REM*", "; three");
    store.SetiniValue("*REM*", "; three");
    EXPECT_EQ(store.lastIndex(), 4);
    EXPECT_EQ(store.GetiniValue("*rem*"), TaggedValue("; one"));
    // Any other spelling is an ordinary name: it replaces the first remark's line.
    store.SetiniValue("*Rem*", "; changed");
    EXPECT_EQ(entries(), (Entries{"*REM*|; changed", "A|1", "*REM*|; two", "*REM*|; three", "*REM*|; three"}));
}

TEST_F(IniQueries, FirstMatchWinsAmongDuplicates) {
    ASSERT_TRUE(load("Max=1\r\nmax=2"));
    store.SetiniValue("MAX", "3");
    store.DeliniValue("mAx");
    EXPECT_EQ(entries(), (Entries{"Max|*DEL*", "max|2"}));
}

TEST_F(IniQueries, DeleteGroupMarksTheRunAndAppendsItsEnd) {
    ASSERT_TRUE(load("Host0=a\r\nHost1=b\r\nHost3=d"));
    EXPECT_TRUE(store.DeliniGroup("Host"));
    EXPECT_EQ(entries(), (Entries{"Host0|*DEL*", "Host1|*DEL*", "Host3|d", "Host2|<empty>"}));
}

TEST_F(IniQueries, DeleteGroupStopsAtAnEmptyItemWithoutMarkingIt) {
    ASSERT_TRUE(load("G0=a\r\nG1=\r\nG2=c"));
    store.DeliniGroup("g");
    EXPECT_EQ(entries(), (Entries{"G0|*DEL*", "G1|<empty>", "G2|c"}));
}

TEST_F(IniQueries, SearchInGroupComparesExactlyOrIgnoringCase) {
    ASSERT_TRUE(load("Host0=a\r\nHost1=b"));
    EXPECT_EQ(store.SearchinGroup("Host", "B"), -1);
    EXPECT_EQ(store.lastIndex(), 2);  // Host2 ended the run
    EXPECT_EQ(store.SearchinGroup("Host", "B", true), 1);
    EXPECT_EQ(store.SearchinGroup("Host", "b"), 1);
}

TEST_F(IniQueries, SearchInGroupKeepsNumbersApartFromTexts) {
    store.SetiniValue("N0", "5");
    store.SetiniValue("N1", std::int32_t{5});
    store.SetiniValue("N2", true);
    EXPECT_EQ(store.SearchinGroup("N", std::int16_t{5}), 1);
    EXPECT_EQ(store.SearchinGroup("N", std::int16_t{5}, true), 0);
    EXPECT_EQ(store.SearchinGroup("N", std::int32_t{-1}), 2);
    EXPECT_EQ(store.SearchinGroup("N", "true", true), 2);
    EXPECT_EQ(store.SearchinGroup("Missing", "x"), -1);
    EXPECT_EQ(store.itemName(3), "Missing0");
}

TEST_F(IniQueries, GroupRunsPast32767Overflow) {
    for (int n = 0; n <= 32767; ++n) {
        store.SetiniValue(std::string("H").append(std::to_string(n)), "x");
    }
    EXPECT_THROW(store.SearchinGroup("H", "nothing"), RuntimeError);
    try {
        store.DeliniGroup("H");
        ADD_FAILURE() << "no overflow";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
    EXPECT_EQ(store.GetiniValue("H32767"), TaggedValue("*DEL*"));
    EXPECT_EQ(store.lastIndex(), 32767);
}

TEST_F(IniQueries, GroupIteratorWalksPrefixMatchesAndResumes) {
    ASSERT_TRUE(load("Color1=red\r\n; note\r\ncolorMode=dark\r\nSize=3"));
    EXPECT_EQ(store.GetiniGroup2("color"), (std::array<TaggedValue, 2>{"Color1", "red"}));
    EXPECT_EQ(store.GetiniGroup2(), (std::array<TaggedValue, 2>{"colorMode", "dark"}));
    const std::array<TaggedValue, 2> none{std::string(), std::string()};
    EXPECT_EQ(store.GetiniGroup2(), none);
    EXPECT_EQ(store.GetiniGroup2(), none);
    store.SetiniValue("COLORX", std::int32_t{9});
    EXPECT_EQ(store.GetiniGroup2(), (std::array<TaggedValue, 2>{"COLORX", std::int32_t{9}}));
}

TEST_F(IniQueries, GroupIteratorIncludesRemarksAndDeletedItems) {
    ASSERT_TRUE(load("; note\r\nA=1"));
    store.DeliniValue("A");
    // Before any prefix was given every entry matches.
    EXPECT_EQ(store.GetiniGroup2(), (std::array<TaggedValue, 2>{"*REM*", "; note"}));
    EXPECT_EQ(store.GetiniGroup2(), (std::array<TaggedValue, 2>{"A", "*DEL*"}));
    EXPECT_EQ(store.GetiniGroup2("*r"), (std::array<TaggedValue, 2>{"*REM*", "; note"}));
    // Loading does not reset the cursor.
    ASSERT_TRUE(load("*Rfirst=1\r\nx=2\r\n;c"));
    EXPECT_EQ(store.GetiniGroup2(), (std::array<TaggedValue, 2>{"*REM*", ";c"}));
}

TEST_F(IniQueries, GroupIteratorOverflowsAtIndex32767AndKeepsItsCursor) {
    store.SetiniValue("Item", 1);
    for (int n = 1; n < 32767; ++n) {
        store.SetiniValue("*REM*", "x");
    }
    store.SetiniValue("ItemLate", 2);  // index 32767
    EXPECT_EQ(store.GetiniGroup2("item")[0], TaggedValue("Item"));
    EXPECT_THROW(store.GetiniGroup2(), RuntimeError);
    EXPECT_THROW(store.GetiniGroup2(), RuntimeError);  // the cursor did not move
}

TEST_F(IniQueries, MakeItemOnlyFillsMissingOrEmptyItems) {
    ASSERT_TRUE(load("Zero=0\r\nBlank=\r\nGone=1"));
    store.DeliniValue("Gone");
    EXPECT_TRUE(store.MakeiniItem("Zero", "x").isEmpty());
    EXPECT_TRUE(store.MakeiniItem("Blank", "x").isEmpty());
    EXPECT_TRUE(store.MakeiniItem("Gone", "x").isEmpty());
    EXPECT_TRUE(store.MakeiniItem("New", std::int32_t{4}).isEmpty());
    store.MakeiniItem("Text");
    EXPECT_EQ(entries(), (Entries{"Zero|0", "Blank|x", "Gone|*DEL*", "New|4", "Text|"}));
    EXPECT_TRUE(store.itemValue(4).isText());
}

class IniQueriesInUtf8 : public IniStoreTest {
protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
            GTEST_SKIP() << "no C.UTF-8 locale on this machine";
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(IniQueriesInUtf8, NonAsciiLettersMatchThroughTheLocaleAndTheIndexFollowsIt) {
    // Loaded under the C locale, where the bytes of "Ä" are no letter.
    std::setlocale(LC_ALL, "C");
    ASSERT_TRUE(load("\xC3\x84rger=1"));
    EXPECT_EQ(store.GetiniValue("\xC3\xA4rger", "d"), TaggedValue("d"));
    std::setlocale(LC_ALL, "C.UTF-8");
    // Both entries now read as "ärger": the first one wins.
    EXPECT_EQ(store.GetiniValue("\xC3\x84RGER", "x"), TaggedValue("1"));
    EXPECT_EQ(store.lastIndex(), 1);
}

TEST_F(IniQueriesInUtf8, GroupPrefixCountsCharacters) {
    store.SetiniValue("\xC3\x89t\xC3\xA9", "summer");
    store.SetiniValue("\xC3\xA9", "short");
    EXPECT_EQ(store.GetiniGroup2("\xC3\xA9t")[1], TaggedValue("summer"));
    EXPECT_EQ(store.GetiniGroup2()[0], TaggedValue(std::string()));
}

}  // namespace
}  // namespace quorvel::test
