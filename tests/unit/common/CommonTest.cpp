#include "common/TaggedValue.h"
#include "common/Text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "common/RuntimeError.h"
#include "support/ErrorKindOf.h"
#include "support/TestLocales.h"

namespace quorvel {
namespace {

using test::errorOf;

// What converting `value` gives, as text, or the name of the error it raises. `to` is one of
// i (16 bits), l (32 bits), d (double), b (Boolean), t (text).
std::string converted(const TaggedValue& value, char to) {
    try {
        switch (to) {
        case 'i': return std::to_string(value.toInt16());
        case 'l': return std::to_string(value.toInt32());
        case 'd': return TaggedValue(value.toDouble()).toText();
        case 'b': return value.toBool() ? "yes" : "no";
        default: return value.toText();
        }
    } catch (const RuntimeError& e) {
        return std::string(errorKindName(e.kind()));
    }
}

TEST(TaggedValueConversion, RoundsHalvesToEvenParsesDecimalsAndOverflowsOutOfRange) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    using Row = std::tuple<TaggedValue, char, std::string>;  // {value, to, result}
    // Two tables, so that each is laid out in columns.
    const std::vector<Row> table = {
        {2.5, 'i', "2"},           {3.5, 'i', "4"},         {-2.5, 'l', "-2"},         {-3.5, 'l', "-4"},
        {2.4999, 'l', "2"},        {"9000.5", 'i', "9000"}, {"9001.5", 'i', "9002"},   {32767.4, 'i', "32767"},
        {-32768.0, 'i', "-32768"}, {kNaN, 'l', "Overflow"}, {TaggedValue(), 'i', "0"}, {TaggedValue(), 'd', "0"},
        {TaggedValue(), 't', ""},  {true, 'i', "-1"},       {false, 'd', "0"},         {true, 't', "True"},
        {false, 't', "False"},     {"TRUE", 'b', "yes"},    {"true", 'b', "yes"},      {"False", 'b', "no"},
        {"0", 'b', "no"},          {"-1", 'b', "yes"},      {" 2.5 ", 'b', "yes"},     {" 9000 ", 'd', "9000"},
        {"-1.5e3", 'd', "-1500"},  {"+.5", 'd', "0.5"},     {"5.", 'd', "5"},          {1234.5, 't', "1234.5"},
        {0.1F, 't', "0.1"},
    };
    const std::vector<Row> longer = {
        {32767.5, 'i', "Overflow"},      {"40000", 'i', "Overflow"},
        {2147483648.0, 'l', "Overflow"}, {-2147483648.0, 'l', "-2147483648"},
        {"1e400", 'd', "Overflow"},      {TaggedValue(), 'b', "no"},
        {"yes", 'b', "Type mismatch"},   {"", 'b', "Type mismatch"},
        {std::int16_t{-5}, 't', "-5"},   {std::int32_t{-32769}, 'i', "Overflow"},
    };

    for (const auto* rows : {&table, &longer}) {
        for (const auto& [value, to, result] : *rows) {
            EXPECT_EQ(converted(value, to), result) << value.toText() << " to " << to;
        }
    }
    for (const char* bad : {"abc", "", " ", "12abc", "1e", "0x10", "1,000", "--1", ".", "inf", "nan"}) {
        EXPECT_EQ(converted(TaggedValue(bad), 'd'), "Type mismatch") << bad;
    }
    EXPECT_EQ(RuntimeError(ErrorKind::Overflow, "40000 does not fit").report(), "Overflow: 40000 does not fit");
}

TEST(TaggedValueArray, BoundsAreChecked) {
    TaggedValue a = TaggedValue::makeArray(3);
    EXPECT_EQ(a.arraySize(), 3U);
    EXPECT_TRUE(a.at(2).isEmpty());
    a.at(1) = 4.5;
    a.resizeArray(5);
    EXPECT_EQ(a.at(1), TaggedValue(4.5));
    EXPECT_EQ(errorOf([&a] { (void)a.at(5); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(errorOf([] { (void)TaggedValue(1).arraySize(); }), ErrorKind::TypeMismatch);
    EXPECT_EQ(errorOf([&a] { (void)a.toDouble(); }), ErrorKind::TypeMismatch);
}

TEST(TaggedValueCompare, ValuesMatchKeepsTextAndNumbersApart) {
    // {a, b, they match}
    const std::tuple<TaggedValue, TaggedValue, bool> pairs[] = {
        {"B", "B", true}, {"B", "b", false},         {std::int16_t{5}, 5.0, true}, {true, -1, true},
        {5, "5", false},  {TaggedValue(), "", true}, {TaggedValue(), 0, true}};
    for (const auto& [a, b, match] : pairs) {
        EXPECT_EQ(valuesMatch(a, b), match) << a.toText() << " and " << b.toText();
    }
    EXPECT_NE(TaggedValue(std::int16_t{255}), TaggedValue(255));
    EXPECT_TRUE(TaggedValue().isEmptyResult() && TaggedValue("").isEmptyResult());
    EXPECT_FALSE(TaggedValue(0).isEmptyResult() || TaggedValue(false).isEmptyResult());
}

}  // namespace
}  // namespace quorvel

namespace quorvel::text {
namespace {

// Characters, not bytes, in a multibyte locale; undecodable bytes count one each and pass
// through the lower-casing unchanged.
TEST(TextInMultibyte, CountsCharactersAndLowersOnlyLetters) {
    const test::MultibyteLocale& sample = test::multibyteLocale();
    if (std::setlocale(LC_ALL, sample.name) == nullptr) {
        GTEST_SKIP() << "no " << sample.name << " locale on this machine";
    }
    // Whole characters are counted through the settings store's limits and the drive test.
    EXPECT_EQ(charCount(std::string("a\xFF\xFE") + "b"), 4U);
    EXPECT_EQ(bytePrefixLength("ab", 5), 2U);

    EXPECT_EQ(toLower(sample.upper + "rger"), sample.lower + "rger");
    EXPECT_EQ(toLower("A\x82\xA0Z"), "a\x82\xA0z");  // Shift-JIS bytes pass through
    if (sample.capitalSecondByte) {
        // The second byte belongs to the character: it is no letter of its own.
        EXPECT_EQ(toLower("X" + *sample.capitalSecondByte), "x" + *sample.capitalSecondByte);
        EXPECT_FALSE(equalsIgnoreCase(*sample.capitalSecondByte, sample.capitalSecondByte->substr(0, 1) + "a"));
    }
    EXPECT_FALSE(equalsIgnoreCase("Max", "Max "));
    std::setlocale(LC_ALL, "C");
}

// Every letter from A to Z, and the characters just outside that range, with and without
// a byte beyond ASCII that sends the text through the locale's decoding.
TEST(TextLowerCase, MapsExactlyAToZ) {
    for (const char* locale : {"C", "C.UTF-8"}) {
        if (std::setlocale(LC_ALL, locale) == nullptr) {
            continue;
        }
        for (const std::string tail : {"", "\xC3\xA9"}) {
            EXPECT_EQ(toLower("@ABCDEFGHIJKLMNOPQRSTUVWXYZ[`{" + tail), "@abcdefghijklmnopqrstuvwxyz[`{" + tail)
                << locale;
            EXPECT_TRUE(equalsIgnoreCase("AZ" + tail, "az" + tail) && equalsIgnoreCase("az" + tail, "AZ" + tail))
                << locale;
            EXPECT_FALSE(equalsIgnoreCase("@[" + tail, "`{" + tail)) << locale;
        }
    }
    std::setlocale(LC_ALL, "C");
}

// Trimming is seen through the settings store's line grammar.
TEST(TextNumber, TheLocaleSeparatorOrPoint) {
    // Numbers are read with the locale's separator or a point.
    EXPECT_EQ(parseNumber("1.5"), 1.5);
    if (std::setlocale(LC_NUMERIC, test::decimalCommaLocale()) != nullptr) {
        EXPECT_EQ(parseNumber("1,5"), 1.5);
        EXPECT_EQ(parseNumber("1.5"), 1.5);
        std::setlocale(LC_NUMERIC, "C");
    }
    EXPECT_FALSE(parseNumber("1,5").has_value());
    EXPECT_EQ(formatNumber(0.1), "0.1");
}

}  // namespace
}  // namespace quorvel::text
