#include "platform/windows/SystemHeaders.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/windows/AnsiText.h"
#include "platform/windows/TwipsScale.h"
#include "platform/windows/WinPopupMenu.h"

namespace quorvel::test {
namespace {

// Run with Wine's system code page set to 932 (Japanese).
TEST(ProgramTextToAnsi, ConvertsTheProgramsOwnTextAndKeepsSystemText) {
    ASSERT_EQ(::GetACP(), 932U);
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"Quorvel Ver.1.1.0", "Quorvel Ver.1.1.0"},
        {"\xe7\xb5\x82\xe4\xba\x86(&Q)", "\x8f\x49\x97\xb9(&Q)"},  // "end (Q)" in UTF-8 becomes Shift-JIS
        {"\x8f\x49\x97\xb9", "\x8f\x49\x97\xb9"},                  // already Shift-JIS: not UTF-8, kept
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgramTextToAnsi(c.in), c.out) << c.in;
    }
}

TEST(TwipsScale, ConvertsThroughTheScreensResolution) {
    struct Case {
        int dpi;
        double twips;
        int pixels;
    };
    const Case cases[] = {{96, 2500, 167}, {96, 3000, 200}, {120, 3000, 250},  {144, 2500, 250},
                          {0, 1440, 96},   {-5, 15, 1},     {192, -1440, -192}};
    for (const Case& c : cases) {
        const TwipsScale scale(c.dpi, c.dpi);
        EXPECT_EQ(TwipsScale::whole(scale.toPixelsX(c.twips)), c.pixels) << c.dpi << " " << c.twips;
        EXPECT_EQ(TwipsScale::whole(scale.toPixelsY(c.twips)), c.pixels) << c.dpi << " " << c.twips;
        EXPECT_NEAR(scale.toTwipsX(scale.toPixelsX(c.twips)), c.twips, 1e-9);
    }
    EXPECT_EQ(TwipsScale::whole(1e300), 1 << 24);
}

TEST(MenuItemFlags, SeparatorChecksAndPlainItems) {
    EXPECT_EQ(MenuItemFlags({"-", false}), static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(MenuItemFlags({"-", true}), static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(MenuItemFlags({"&Top", true}), static_cast<UINT>(MF_STRING | MF_CHECKED));
    EXPECT_EQ(MenuItemFlags({"--", false}), static_cast<UINT>(MF_STRING | MF_UNCHECKED));
}

}  // namespace
}  // namespace quorvel::test
