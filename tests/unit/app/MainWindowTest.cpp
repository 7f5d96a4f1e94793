#include "GadgetFixture.h"

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

using MainWindow = GadgetFixture;

const std::string kApp = "Kelvane SoftWares";

std::string stored(const fake::ProfileStore& profile, const std::string& key) {
    return profile.getSetting(kApp, "Quorvel", key, "<none>");
}

// The per-user entries, and where the window opens: a left or top of std::nullopt is the
// default position, which the window system gives for the size the window opens at.
TEST_F(MainWindow, OpensAtThePlacementTheUsersEntriesGive) {
    using Saved = std::vector<std::pair<std::string, std::string>>;
    using Row = std::tuple<const char*, Saved, std::optional<double>, std::optional<double>, double, double>;
    // The entries of every key come back on quit; see the test of quitting.
    const std::vector<Row> table = {
        {"first run", {}, {}, {}, 2500, 3000},
        {"size only", {{"WindowWidth", "4000"}}, {}, {}, 4000, 3000},
        {"off every screen", {{"WindowTop", "99000"}, {"WindowLeft", "-99000"}}, {}, {}, 2500, 3000},
        {"a corner on screen", {{"WindowTop", "-2000"}, {"WindowLeft", "-2000"}}, -2000, -2000, 2500, 3000},
        {"top not a number", {{"WindowTop", "abc"}, {"WindowLeft", "900"}}, 900, {}, 2500, 3000},
    };
    for (const auto& [name, saved, left, top, width, height] : table) {
        SCOPED_TRACE(name);
        profile.entries.clear();
        for (const auto& [key, text] : saved) {
            profile.saveSetting(kApp, "Quorvel", key, text);
        }
        start();
        EXPECT_TRUE(window.shown);
        const Placement p = window.placement();
        const Placement& moved = window.sizeAtDefaultMove;
        EXPECT_EQ(std::tuple(p.left, p.top, p.width, p.height, moved.width, moved.height),
                  std::tuple(left.value_or(window.defaultLeft), top.value_or(window.defaultTop), width, height, width,
                             height));
    }
}

TEST_F(MainWindow, LeftButtonMovesRightButtonOpensTheMenuWhoseCommandsToggleTheirChecks) {
    start();
    pressOnGraph(1);
    pressOnGraph(4);
    EXPECT_TRUE(menu.shownEntries.empty());
    pressOnGraph(2);
    // A right click outside the graph opens the same menu.
    window.fireMouseDown(2);
    EXPECT_EQ(menu.shownEntries.size(), 2U);
    EXPECT_EQ(window.moves, 1);

    // Menu commands toggle their checks.
    menu.nextChoice = frmMain::MenuTop;
    window.fireMouseDown(2);
    window.fireMouseDown(2);
    EXPECT_EQ(window.onTopCalls, (std::vector<bool>{true, false}));
    EXPECT_TRUE(menu.shownEntries[3][frmMain::MenuTop].checked);

    menu.nextChoice = frmMain::MenuShowTitlebar;
    window.fireMouseDown(2);
    EXPECT_EQ(window.caption(), "Quorvel Ver.1.1.0");
    EXPECT_TRUE(form->MenuRight()[frmMain::MenuShowTitlebar].checked);
    // The title bar shrinks the client area and the graph follows it.
    EXPECT_EQ(std::pair(surface.placeWidth, surface.placeHeight),
              std::pair(window.clientPixelWidth(), window.clientPixelHeight()));
    window.fireMouseDown(2);
    EXPECT_EQ(window.caption(), "");

    menu.nextChoice = frmMain::MenuHelp;
    window.fireMouseDown(2);
    EXPECT_EQ(dialog.shown, (std::vector<std::pair<std::string, std::string>>{{"Quorvel", "特にありません。"}}));
}

TEST_F(MainWindow, QuitSavesTheSettingsAndTheRestoredPlacementEachValueUnderItsOwnKeyThenEnds) {
    writeIni("Max=5000");
    profile.saveSetting(kApp, "Quorvel", "Windowtop", "600");
    profile.saveSetting(kApp, "Quorvel", "WindowLeft", "1234.5");
    profile.saveSetting(kApp, "Quorvel", "WindowHeight", "3300");
    start();
    profile.entries.clear();
    profile.writes.clear();
    // Any other close saves no placement.
    window.fireClose();
    EXPECT_TRUE(profile.writes.empty());
    writeIni("");
    try {
        form->MenuQuit_Click();
        FAIL() << "the process did not end";
    } catch (const fake::ProcessEnded& ended) {
        EXPECT_EQ(ended.status, 0);
    }
    EXPECT_EQ(profile.writes, (std::vector<std::string>{"WindowTop", "WindowLeft", "WindowWidth", "WindowHeight"}));
    EXPECT_EQ(stored(profile, "WindowTop") + " " + stored(profile, "WindowLeft") + " " +
                  stored(profile, "WindowWidth") + " " + stored(profile, "WindowHeight"),
              "600 1234.5 2500 3300");
    EXPECT_EQ(files.contents(kIni).substr(0, 26), "[General]\r\nMax = 5000\r\nBun");
}

}  // namespace
}  // namespace quorvel
