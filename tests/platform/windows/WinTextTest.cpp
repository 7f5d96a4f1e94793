#include "platform/windows/SystemHeaders.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "common/TaggedValue.h"
#include "platform/windows/AnsiCodePage.h"
#include "platform/windows/AnsiText.h"
#include "platform/windows/CommandLineAnswer.h"
#include "platform/windows/SettingsFileHelp.h"
#include "platform/windows/TwipsScale.h"
#include "platform/windows/WinPopupMenu.h"

namespace quorvel::test {
namespace {

// Run with Wine's system code page set to 1252 (Western European), which lacks the
// program's Japanese captions.
TEST(ProgramTextToWide, DecodesTheProgramsOwnTextAsUtf8AndSystemTextFromTheCodePage) {
    ASSERT_EQ(::GetACP(), 1252U);
    struct Case {
        std::string in;
        std::wstring out;
    };
    const Case cases[] = {
        {"Quorvel Ver.1.1.0", L"Quorvel Ver.1.1.0"},
        {"\xe7\xb5\x82\xe4\xba\x86(&Q)", L"\u7d42\u4e86(&Q)"},            // "end (Q)" in UTF-8
        {"C:\\J\xfcrgen\\quorvel.ini", L"C:\\J\u00fcrgen\\quorvel.ini"},  // a path in code page 1252: not UTF-8
        {"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgramTextToWide(c.in), c.out) << c.in;
    }
}

// The program's locale set-up at start, on a German system (code page 1252): a number in
// the settings file reads with the user's decimal comma, as on Linux, and with a point.
TEST(UserNumberFormat, TextReadsAsANumberInTheUsersFormat) {
    ASSERT_EQ(::GetACP(), 1252U);
    ASSERT_TRUE(UseAnsiCodePage());
    UseUserNumberFormat();
    EXPECT_EQ(TaggedValue("9000,5").toDouble(), 9000.5);
    EXPECT_EQ(TaggedValue(" 9000.5 ").toDouble(), 9000.5);
    std::setlocale(LC_ALL, "C");
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

// Two monitors, the primary at 96 pixels per inch and one beside it at 144. The system's
// resolution stays that of the primary; the window's placement, saved at quit while on either
// monitor, gives the same pixels at the next start, whichever monitor the new window is on.
TEST(TwipsScale, PlacementKeepsItsPixelsAcrossMonitorsOfDifferentResolution) {
    const int monitorDpi[] = {96, 144};
    const double outer[] = {2100, 150, 250, 300};  // left, top, width, height on the second monitor
    for (const int systemDpi : {96, 144}) {
        for (const int savedOn : monitorDpi) {
            for (const int startedOn : monitorDpi) {
                const TwipsScale atQuit = TwipsScale::ForPlacement(systemDpi, savedOn);
                const TwipsScale atStart = TwipsScale::ForPlacement(systemDpi, startedOn);
                for (const double pixels : outer) {
                    EXPECT_EQ(TwipsScale::whole(atStart.toPixelsX(atQuit.toTwipsX(pixels))), pixels)
                        << systemDpi << " " << savedOn << " " << startedOn;
                    EXPECT_EQ(TwipsScale::whole(atStart.toPixelsY(atQuit.toTwipsY(pixels))), pixels);
                }
            }
        }
    }
    EXPECT_EQ(TwipsScale::ForPlacement(96, 144).toTwipsX(250), 3750);
    EXPECT_EQ(TwipsScale::ForPlacement(0, 144).toTwipsX(250), 2500);  // no system resolution reported
}

// --help tells a Windows user where the settings file is on Windows, not on Linux; the
// answer goes to a redirected output, else the parent console, else the output device, else a box.
TEST(CommandLineAnswer, WindowsTextAtTheFirstPlaceThereIs) {
    const std::string help(kSettingsFileHelp);
    EXPECT_NE(help.find("quorvel.ini in the program's own folder, beside quorvel.exe"), std::string::npos);
    for (const char* part : {"XDG", "~/", "/usr/"}) {
        EXPECT_EQ(help.find(part), std::string::npos) << part;
    }
    using enum AnswerPlace;
    struct Case {
        OutputKind output;
        bool parentConsole;
        AnswerPlace place;
    };
    const Case cases[] = {
        {OutputKind::Redirected, true, StandardOutput}, {OutputKind::Redirected, false, StandardOutput},
        {OutputKind::Device, true, ParentConsole},      {OutputKind::None, true, ParentConsole},
        {OutputKind::Device, false, StandardOutput},    {OutputKind::None, false, Box},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseAnswerPlace(c.output, c.parentConsole), c.place)
            << static_cast<int>(c.output) << " " << c.parentConsole;
    }
}

TEST(MenuItemFlags, SeparatorChecksAndPlainItems) {
    EXPECT_EQ(MenuItemFlags({"-", false}), static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(MenuItemFlags({"-", true}), static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(MenuItemFlags({"&Top", true}), static_cast<UINT>(MF_STRING | MF_CHECKED));
    EXPECT_EQ(MenuItemFlags({"--", false}), static_cast<UINT>(MF_STRING | MF_UNCHECKED));
}

}  // namespace
}  // namespace quorvel::test
