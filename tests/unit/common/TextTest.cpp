#include "common/Text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace quorvel::text {
namespace {

class TextInUtf8 : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
            GTEST_SKIP() << "no C.UTF-8 locale on this machine";
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(TextInUtf8, CountsCharactersNotBytes) {
    EXPECT_EQ(charCount("abc"), 3U);
    EXPECT_EQ(charCount("\xE6\x97\xA5\xE6\x9C\xAC"), 2U);  // two CJK characters
    EXPECT_EQ(charCount("\xF0\x9F\x98\x80"), 2U);          // beyond U+FFFF: two units
    EXPECT_EQ(charCount("a\xFF\xFE"
                        "b"),
              4U);  // undecodable bytes count one each
    EXPECT_EQ(bytePrefixLength("\xE6\x97\xA5\xE6\x9C\xAC", 1), 3U);
    EXPECT_EQ(bytePrefixLength("ab", 5), 2U);
}

TEST_F(TextInUtf8, LowerCaseKeepsUndecodableBytes) {
    EXPECT_EQ(toLower("MaX"), "max");
    EXPECT_EQ(toLower("\xC3\x84rger"), "\xC3\xA4rger");  // Ä -> ä
    EXPECT_EQ(toLower("A\x82\xA0Z"), "a\x82\xA0z");      // Shift-JIS bytes pass through
    EXPECT_TRUE(equalsIgnoreCase("LineColorSent", "linecolorsent"));
    EXPECT_FALSE(equalsIgnoreCase("Max", "Max "));
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

TEST(TextTrim, OnlySpaceCharacters) {
    EXPECT_EQ(trimSpaces("  Bar X  "), "Bar X");
    EXPECT_EQ(trimSpaces("\tName "), "\tName");
    EXPECT_EQ(trimLeadingSpaces("   red  "), "red  ");
    EXPECT_EQ(trimSpaces("    "), "");
}

TEST(TextNumber, UsesLocaleSeparatorOrPoint) {
    EXPECT_EQ(parseNumber("1.5"), 1.5);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(parseNumber("1,5"), 1.5);
        EXPECT_EQ(parseNumber("1.5"), 1.5);
        std::setlocale(LC_NUMERIC, "C");
    }
    EXPECT_FALSE(parseNumber("1,5").has_value());
    EXPECT_EQ(formatNumber(0.1), "0.1");
}

}  // namespace
}  // namespace quorvel::text
