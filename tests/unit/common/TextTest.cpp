#include "common/Text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "support/TestLocales.h"

namespace quorvel::text {
namespace {

// Characters, not bytes, in a multibyte locale; undecodable bytes count one each and pass
// through the lower-casing unchanged.
TEST(TextInMultibyte, CountsCharactersAndLowersOnlyLetters) {
    const test::MultibyteLocale& sample = test::multibyteLocale();
    if (std::setlocale(LC_ALL, sample.name) == nullptr) {
        GTEST_SKIP() << "no " << sample.name << " locale on this machine";
    }
    EXPECT_EQ(charCount("abc"), 3U);
    EXPECT_EQ(charCount(sample.twoIdeographs), 2U);
    EXPECT_EQ(charCount("a" + sample.upper + "b"), 3U);
    if (sample.beyondBmp) {
        EXPECT_EQ(charCount(*sample.beyondBmp), 2U);  // two 16-bit units
    }
    EXPECT_EQ(charCount(std::string("a\xFF\xFE") + "b"), 4U);
    EXPECT_EQ(bytePrefixLength(sample.twoIdeographs, 1), sample.twoIdeographs.size() / 2);
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

TEST(TextTrimAndNumber, OnlySpaceCharactersAndTheLocaleSeparatorOrPoint) {
    EXPECT_EQ(trimSpaces("  Bar X  "), "Bar X");
    EXPECT_EQ(trimSpaces("\tName "), "\tName");
    EXPECT_EQ(trimLeadingSpaces("   red  "), "red  ");
    EXPECT_EQ(trimSpaces("    "), "");
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
