#include "common/TaggedValue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/RuntimeError.h"
#include "support/ErrorKindOf.h"

namespace quorvel {
namespace {

using test::errorOf;

TEST(TaggedValueConversion, IntegersRoundHalvesToEven) {
    EXPECT_EQ(TaggedValue(2.5).toInt16(), 2);
    EXPECT_EQ(TaggedValue(3.5).toInt16(), 4);
    EXPECT_EQ(TaggedValue(-2.5).toInt32(), -2);
    EXPECT_EQ(TaggedValue(-3.5).toInt32(), -4);
    EXPECT_EQ(TaggedValue(2.4999).toInt32(), 2);
    EXPECT_EQ(TaggedValue("9000.5").toInt16(), 9000);
    EXPECT_EQ(TaggedValue("9001.5").toInt16(), 9002);
}

TEST(TaggedValueConversion, IntegerRangesOverflow) {
    EXPECT_EQ(TaggedValue(32767.4).toInt16(), 32767);
    EXPECT_EQ(TaggedValue(-32768.0).toInt16(), -32768);
    EXPECT_EQ(errorOf([] { (void)TaggedValue(32767.5).toInt16(); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { (void)TaggedValue("40000").toInt16(); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { (void)TaggedValue(std::int32_t{-32769}).toInt16(); }), ErrorKind::Overflow);
    EXPECT_EQ(TaggedValue(std::int32_t{16711680}).toInt32(), 16711680);
    EXPECT_EQ(errorOf([] { (void)TaggedValue(2147483648.0).toInt32(); }), ErrorKind::Overflow);
    EXPECT_EQ(TaggedValue(-2147483648.0).toInt32(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(errorOf([] { (void)TaggedValue(std::numeric_limits<double>::quiet_NaN()).toInt32(); }),
              ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { (void)TaggedValue("1e400").toDouble(); }), ErrorKind::Overflow);
}

TEST(TaggedValueConversion, EmptyAndBooleans) {
    const TaggedValue empty;
    EXPECT_EQ(empty.toInt16(), 0);
    EXPECT_EQ(empty.toDouble(), 0.0);
    EXPECT_FALSE(empty.toBool());
    EXPECT_EQ(empty.toText(), "");
    EXPECT_EQ(TaggedValue(true).toInt16(), -1);
    EXPECT_EQ(TaggedValue(false).toDouble(), 0.0);
    EXPECT_EQ(TaggedValue(true).toText(), "True");
    EXPECT_EQ(TaggedValue(false).toText(), "False");
}

TEST(TaggedValueConversion, TextToBoolean) {
    EXPECT_TRUE(TaggedValue("TRUE").toBool());
    EXPECT_TRUE(TaggedValue("true").toBool());
    EXPECT_FALSE(TaggedValue("False").toBool());
    EXPECT_FALSE(TaggedValue("0").toBool());
    EXPECT_TRUE(TaggedValue("-1").toBool());
    EXPECT_TRUE(TaggedValue(" 2.5 ").toBool());
    EXPECT_EQ(errorOf([] { (void)TaggedValue("yes").toBool(); }), ErrorKind::TypeMismatch);
    EXPECT_EQ(errorOf([] { (void)TaggedValue("").toBool(); }), ErrorKind::TypeMismatch);
}

TEST(TaggedValueConversion, TextToNumberAcceptsOnlyDecimalNumbers) {
    EXPECT_EQ(TaggedValue(" 9000 ").toDouble(), 9000.0);
    EXPECT_EQ(TaggedValue("-1.5e3").toDouble(), -1500.0);
    EXPECT_EQ(TaggedValue("+.5").toDouble(), 0.5);
    EXPECT_EQ(TaggedValue("5.").toDouble(), 5.0);
    for (const char* bad : {"abc", "", " ", "12abc", "1e", "0x10", "1,000", "--1", ".", "inf", "nan"}) {
        EXPECT_EQ(errorOf([bad] { (void)TaggedValue(bad).toDouble(); }), ErrorKind::TypeMismatch) << bad;
    }
}

TEST(TaggedValueConversion, NumbersToText) {
    EXPECT_EQ(TaggedValue(std::int16_t{-5}).toText(), "-5");
    EXPECT_EQ(TaggedValue(std::int32_t{16711680}).toText(), "16711680");
    EXPECT_EQ(TaggedValue(1234.5).toText(), "1234.5");
    EXPECT_EQ(TaggedValue(0.1f).toText(), "0.1");
}

TEST(TaggedValueKinds, KeepTheirKindAndCompareByKind) {
    EXPECT_EQ(TaggedValue(std::int16_t{255}).kind(), ValueKind::Int16);
    EXPECT_EQ(TaggedValue(255).kind(), ValueKind::Int32);
    EXPECT_EQ(TaggedValue("255").kind(), ValueKind::Text);
    EXPECT_NE(TaggedValue(std::int16_t{255}), TaggedValue(255));
    EXPECT_TRUE(TaggedValue().isEmptyResult());
    EXPECT_TRUE(TaggedValue("").isEmptyResult());
    EXPECT_FALSE(TaggedValue(0).isEmptyResult());
    EXPECT_FALSE(TaggedValue(false).isEmptyResult());
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
    EXPECT_TRUE(valuesMatch(TaggedValue("B"), TaggedValue("B")));
    EXPECT_FALSE(valuesMatch(TaggedValue("B"), TaggedValue("b")));
    EXPECT_TRUE(valuesMatch(TaggedValue(std::int16_t{5}), TaggedValue(5.0)));
    EXPECT_TRUE(valuesMatch(TaggedValue(true), TaggedValue(-1)));
    EXPECT_FALSE(valuesMatch(TaggedValue(5), TaggedValue("5")));
    EXPECT_TRUE(valuesMatch(TaggedValue(), TaggedValue("")));
    EXPECT_TRUE(valuesMatch(TaggedValue(), TaggedValue(0)));
}

TEST(TaggedValueCompare, EqualsTrue) {
    for (const TaggedValue& v : {TaggedValue("True"), TaggedValue("true"), TaggedValue("TRUE"), TaggedValue(true),
                                 TaggedValue(-1), TaggedValue("1")}) {
        EXPECT_TRUE(equalsTrue(v)) << v.toText();
    }
    for (const TaggedValue& v : {TaggedValue("False"), TaggedValue(false), TaggedValue(), TaggedValue(""),
                                 TaggedValue("yes"), TaggedValue(0)}) {
        EXPECT_FALSE(equalsTrue(v)) << v.toText();
    }
}

TEST(RuntimeErrorReport, NamesKindAndMessage) {
    const RuntimeError e(ErrorKind::Overflow, "40000 does not fit");
    EXPECT_EQ(e.report(), "Overflow: 40000 does not fit");
    EXPECT_EQ(e.kind(), ErrorKind::Overflow);
}

}  // namespace
}  // namespace quorvel
