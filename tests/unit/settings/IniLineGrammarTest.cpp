#include "settings/IniLineGrammar.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace quorvel::ini {
namespace {

std::vector<std::string> splitAll(std::string_view bytes) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const LineSpan line = nextLine(bytes, pos);
        lines.emplace_back(line.text);
        pos = line.next;
    }
    return lines;
}

TEST(IniLines, EndAtCrOrCrLfButNotAtLoneLf) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(splitAll(""), Lines{});
    EXPECT_EQ(splitAll("a\r\nb\rc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(splitAll("a\nb\nc\n"), Lines{"a\nb\nc\n"});
    EXPECT_EQ(splitAll("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(splitAll("a\r\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(splitAll("\n\r\n"), Lines{"\n"});
    EXPECT_FALSE(nextLine("a\r\nb", 3).terminated);
    EXPECT_TRUE(nextLine("a\r\nb", 0).terminated);
}

struct Worked {
    std::string line;
    std::string name;
    TaggedValue value;
};

TEST(IniLines, SplitIntoRemarksAndItems) {
    const std::vector<Worked> table = {
        {"Max=9000", "Max", TaggedValue("9000")},
        {"Max =", "Max", TaggedValue()},
        {"Max =    ", "Max", TaggedValue()},
        {"a = b = c", "a", TaggedValue("b = c")},
        {"=x", "", TaggedValue("x")},
        {"  =x", "", TaggedValue("x")},
        {"; Max=1", "*REM*", TaggedValue("; Max=1")},
        {" ; Max=1", "; Max", TaggedValue("1")},
        {"[General]", "*REM*", TaggedValue("[General]")},
        {"[Colors=x", "*REM*", TaggedValue("[Colors=x")},
        {"#a=b", "*REM*", TaggedValue("#a=b")},
        {"//a=b", "*REM*", TaggedValue("//a=b")},
        {"Hello", "*REM*", TaggedValue("Hello")},
        {"", "*REM*", TaggedValue("")},
        {"   ", "*REM*", TaggedValue("   ")},
        {"  Bar X  =   red  blue  ", "Bar X", TaggedValue("red  blue  ")},
        {"\tTab=\t v", "\tTab", TaggedValue("\t v")},
        {"k=a\nb", "k", TaggedValue("a\nb")},
        {"MAX=9000", "MAX", TaggedValue("9000")},
        // The remark marker as an item name would lose the name on the next save.
        {"*REM*=a=b", "*REM*", TaggedValue("*REM*=a=b")},
        {"*rem*=a", "*rem*", TaggedValue("a")},
    };
    for (const Worked& row : table) {
        const ParsedLine parsed = parseLine(row.line);
        EXPECT_EQ(parsed.status, LineStatus::Ok) << row.line;
        EXPECT_EQ(parsed.name, row.name) << row.line;
        EXPECT_EQ(parsed.value, row.value) << row.line;
    }
}

TEST(IniLines, SixteenBitLimitsOfAnItemLine) {
    const std::string name32766(32766, 'n');
    EXPECT_EQ(parseLine(name32766 + "=v").status, LineStatus::Ok);  // "=" at character 32767
    const ParsedLine tooFar = parseLine(name32766 + "n=v");
    EXPECT_EQ(tooFar.status, LineStatus::EqualsTooFar);
    EXPECT_EQ(tooFar.name, "");
    EXPECT_TRUE(tooFar.value.isEmpty());
    // The position overflows before the line is classified, even for a comment.
    EXPECT_EQ(parseLine(";" + name32766 + "=v").status, LineStatus::EqualsTooFar);
    EXPECT_EQ(parseLine(std::string(50000, 'x')).status, LineStatus::Ok);

    EXPECT_EQ(parseLine("k=" + std::string(32767, 'v')).status, LineStatus::Ok);
    const ParsedLine tooLong = parseLine("k=" + std::string(32768, ' '));
    EXPECT_EQ(tooLong.status, LineStatus::ValueTooLong);
    EXPECT_EQ(tooLong.name, "k");
    EXPECT_TRUE(tooLong.value.isEmpty());
}

class IniLinesInUtf8 : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
            GTEST_SKIP() << "no C.UTF-8 locale on this machine";
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(IniLinesInUtf8, LimitsCountCharactersNotBytes) {
    std::string wide;
    for (int i = 0; i < 20000; ++i) {
        wide += "\xC3\xA9";  // two bytes, one character
    }
    EXPECT_EQ(parseLine(wide + "=v").status, LineStatus::Ok);
    EXPECT_EQ(parseLine("k=" + wide).status, LineStatus::Ok);
    const std::string emoji = "\xF0\x9F\x98\x80";  // two 16-bit units
    std::string units;
    for (int i = 0; i < 16384; ++i) {
        units += emoji;
    }
    EXPECT_EQ(parseLine(units + "=v").status, LineStatus::EqualsTooFar);
    EXPECT_EQ(parseLine("k=" + units).status, LineStatus::ValueTooLong);
}

TEST(IniItemLines, WriteNameSpacedEqualsValue) {
    std::string out;
    appendItemLine(out, "Max", TaggedValue("9000"));
    appendItemLine(out, "|BarX", TaggedValue(true));
    appendItemLine(out, "|N", TaggedValue(std::int32_t{-1}));
    appendItemLine(out, "|E", TaggedValue());
    appendItemLine(out, "|S", TaggedValue(std::int16_t{7}));
    EXPECT_EQ(out, "Max = 9000|BarX = True|N = -1|E = |S = 7");
}

TEST(IniItemLines, DropTheSpacesWhereTheReaderWouldOverflow) {
    const std::string longName(32766, 'n');
    std::string out;
    appendItemLine(out, longName, TaggedValue("v"));
    EXPECT_EQ(out, longName + "=v");
    const ParsedLine back = parseLine(out);
    EXPECT_EQ(back.name, longName);
    EXPECT_EQ(back.value, TaggedValue("v"));

    const std::string longValue(32767, 'v');
    out.clear();
    appendItemLine(out, "k", TaggedValue(longValue));
    EXPECT_EQ(out, "k=" + longValue);
    EXPECT_EQ(parseLine(out).value, TaggedValue(longValue));

    out.clear();
    appendItemLine(out, std::string(32765, 'n'), TaggedValue(std::string(32766, 'v')));
    EXPECT_EQ(out.find(" = "), 32765U);
}

}  // namespace
}  // namespace quorvel::ini
