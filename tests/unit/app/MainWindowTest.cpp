#include "GadgetFixture.h"
#include "app/DispFormTop.h"

namespace quorvel {
namespace {

using MainWindow = GadgetFixture;

const std::string kApp = "Kelvane SoftWares";

std::string stored(const fake::ProfileStore& profile, const std::string& key) {
    return profile.getSetting(kApp, "Quorvel", key, "<none>");
}

TEST_F(MainWindow, FirstRunKeepsTheDefaultPositionAndTakesTheDefaultSize) {
    start();
    const Placement p = window.placement();
    EXPECT_EQ(p.left, window.defaultLeft);
    EXPECT_EQ(p.top, window.defaultTop);
    EXPECT_EQ(p.width, 2500);
    EXPECT_EQ(p.height, 3000);
    EXPECT_TRUE(window.shown);
    EXPECT_EQ(window.caption(), "");
    // The graph covers the client area.
    EXPECT_EQ(surface.placeWidth, window.clientPixelWidth());
    EXPECT_EQ(surface.placeHeight, window.clientPixelHeight());
}

TEST_F(MainWindow, RestoresPlacementWithKeysInAnyLetterCase) {
    profile.saveSetting(kApp, "Quorvel", "WINDOWTOP", "1200");
    profile.saveSetting(kApp, "Quorvel", "windowleft", "1234.5");
    profile.saveSetting(kApp, "Quorvel", "WindowWidth", "3000");
    profile.saveSetting(kApp, "Quorvel", "WindowHeight", "4500");
    start();
    const Placement p = window.placement();
    EXPECT_EQ(p.top, 1200);
    EXPECT_EQ(p.left, 1234.5);
    EXPECT_EQ(p.width, 3000);
    EXPECT_EQ(p.height, 4500);
}

TEST_F(MainWindow, PlacementOffEveryScreenOpensAtTheDefaultPosition) {
    profile.saveSetting(kApp, "Quorvel", "WindowTop", "99000");
    profile.saveSetting(kApp, "Quorvel", "WindowLeft", "-99000");
    start();
    EXPECT_EQ(window.placement().left, window.defaultLeft);
    EXPECT_EQ(window.placement().top, window.defaultTop);

    // Even a corner on screen is applied as read.
    profile.saveSetting(kApp, "Quorvel", "WindowTop", "-2000");
    profile.saveSetting(kApp, "Quorvel", "WindowLeft", "-2000");
    start();
    EXPECT_EQ(window.placement().left, -2000);
}

TEST_F(MainWindow, FirstRunIsCentredForTheSizeItOpensAt) {
    start();
    EXPECT_EQ(window.sizeAtDefaultMove.width, 2500);
    EXPECT_EQ(window.sizeAtDefaultMove.height, 3000);

    profile.saveSetting(kApp, "Quorvel", "WindowWidth", "4000");
    start();
    EXPECT_EQ(window.sizeAtDefaultMove.width, 4000);
    EXPECT_EQ(window.sizeAtDefaultMove.height, 3000);
}

TEST_F(MainWindow, PlacementEntryThatIsNotANumberTakesItsDefault) {
    struct Case {
        const char* key;
        const char* text;
    };
    for (const Case& c : {Case{"WindowTop", "abc"}, Case{"WindowLeft", "12,5x"}, Case{"WindowWidth", ""},
                          Case{"WindowHeight", "3e99"}}) {
        SCOPED_TRACE(c.key);
        profile.entries.clear();
        profile.saveSetting(kApp, "Quorvel", "WindowTop", "600");
        profile.saveSetting(kApp, "Quorvel", "WindowLeft", "900");
        profile.saveSetting(kApp, "Quorvel", "WindowWidth", "2700");
        profile.saveSetting(kApp, "Quorvel", "WindowHeight", "3300");
        profile.saveSetting(kApp, "Quorvel", c.key, c.text);
        start();
        EXPECT_TRUE(window.shown);
        const Placement p = window.placement();
        const std::string key = c.key;
        EXPECT_EQ(p.top, key == "WindowTop" ? window.defaultTop : 600);
        EXPECT_EQ(p.left, key == "WindowLeft" ? window.defaultLeft : 900);
        EXPECT_EQ(p.width, key == "WindowWidth" ? 2500 : 2700);
        EXPECT_EQ(p.height, key == "WindowHeight" ? 3000 : 3300);
    }
}

TEST_F(MainWindow, QuitSavesEachPlacementValueUnderItsOwnKey) {
    profile.saveSetting(kApp, "Quorvel", "WindowTop", "600");
    profile.saveSetting(kApp, "Quorvel", "WindowLeft", "1234.5");
    profile.saveSetting(kApp, "Quorvel", "WindowWidth", "2700");
    profile.saveSetting(kApp, "Quorvel", "WindowHeight", "3300");
    start();
    profile.entries.clear();
    EXPECT_THROW(form->MenuQuit_Click(), fake::ProcessEnded);
    EXPECT_EQ(stored(profile, "WindowTop"), "600");
    EXPECT_EQ(stored(profile, "WindowLeft"), "1234.5");
    EXPECT_EQ(stored(profile, "WindowWidth"), "2700");
    EXPECT_EQ(stored(profile, "WindowHeight"), "3300");
}

TEST_F(MainWindow, LeftButtonMovesRightButtonOpensTheMenuMiddleDoesNothing) {
    start();
    std::int16_t button = 1;
    std::int16_t shift = 0;
    float x = 5;
    float y = 4500;
    ASSERT_NE(surface.listener, nullptr);
    surface.listener->MouseDown(button, shift, x, y);
    EXPECT_EQ(window.moves, 1);
    EXPECT_TRUE(menu.shownEntries.empty());

    button = 4;
    surface.listener->MouseDown(button, shift, x, y);
    EXPECT_TRUE(menu.shownEntries.empty());

    button = 2;
    surface.listener->MouseDown(button, shift, x, y);
    ASSERT_EQ(menu.shownEntries.size(), 1U);
    std::vector<std::string> captions;
    for (const MenuEntry& e : menu.shownEntries[0]) {
        captions.push_back(e.caption);
    }
    EXPECT_EQ(captions,
              (std::vector<std::string>{"簡易ヘルプ(&H)", "最前面表示(&T)", "タイトルバー表示(&S)", "-", "終了(&Q)"}));
    // A right click outside the graph opens the same menu.
    window.fireMouseDown(2);
    EXPECT_EQ(menu.shownEntries.size(), 2U);
    EXPECT_EQ(window.moves, 1);
}

TEST_F(MainWindow, MenuCommandsToggleTheirChecks) {
    start();
    menu.nextChoice = frmMain::MenuTop;
    window.fireMouseDown(2);
    window.fireMouseDown(2);
    EXPECT_EQ(window.onTopCalls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(form->MenuRight()[frmMain::MenuTop].checked);

    menu.nextChoice = frmMain::MenuShowTitlebar;
    window.fireMouseDown(2);
    EXPECT_EQ(window.caption(), "Quorvel Ver.1.1.0");
    EXPECT_TRUE(menu.shownEntries.back()[frmMain::MenuShowTitlebar].checked == false);
    EXPECT_TRUE(form->MenuRight()[frmMain::MenuShowTitlebar].checked);
    // The title bar shrinks the client area and the graph follows it.
    EXPECT_EQ(surface.placeHeight, window.clientPixelHeight());
    window.fireMouseDown(2);
    EXPECT_EQ(window.caption(), "");

    menu.nextChoice = frmMain::MenuHelp;
    window.fireMouseDown(2);
    ASSERT_EQ(dialog.shown.size(), 1U);
    EXPECT_EQ(dialog.shown[0].first, "Quorvel");
    EXPECT_EQ(dialog.shown[0].second, "特にありません。");
}

TEST_F(MainWindow, QuitSavesSettingsAndPlacementThenEnds) {
    writeIni("Max=5000");
    profile.saveSetting(kApp, "Quorvel", "Windowtop", "600");
    start();
    profile.writes.clear();
    try {
        form->MenuQuit_Click();
        FAIL() << "the process did not end";
    } catch (const fake::ProcessEnded& ended) {
        EXPECT_EQ(ended.status, 0);
    }
    EXPECT_EQ(profile.writes, (std::vector<std::string>{"WindowTop", "WindowLeft", "WindowWidth", "WindowHeight"}));
    EXPECT_EQ(stored(profile, "windowtop"), "600");
    EXPECT_EQ(stored(profile, "WindowWidth"), "2500");
    EXPECT_EQ(files.contents(kIni).substr(0, 26), "[General]\r\nMax = 5000\r\nBun");
}

TEST_F(MainWindow, OtherCloseSavesSettingsButNotPlacement) {
    writeIni("Max=5000");
    start();
    window.fireClose();
    EXPECT_TRUE(profile.writes.empty());
    EXPECT_EQ(files.contents(kIni).substr(0, 9), "[General]");
}

TEST_F(MainWindow, NoSettingsFileIsEverCreated) {
    start();
    window.fireClose();
    EXPECT_FALSE(files.hasFile(kIni));
    try {
        form->MenuQuit_Click();
    } catch (const fake::ProcessEnded&) {
    }
    EXPECT_FALSE(files.hasFile(kIni));
}

TEST_F(MainWindow, SetTopmostIgnoresOtherFlags) {
    EXPECT_EQ(DispFormTop::SetTopmost(window, 2), 0);
    EXPECT_TRUE(window.onTopCalls.empty());
    EXPECT_EQ(DispFormTop::SetTopmost(window, 1), 1);
}

}  // namespace
}  // namespace quorvel
