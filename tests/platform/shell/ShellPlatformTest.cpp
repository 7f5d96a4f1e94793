#include <gtest/gtest.h>
#include <poll.h>

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/linux/LinuxProcessInfo.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/qt/QtFormWindow.h"
#include "platform/qt/QtIntervalTimer.h"
#include "platform/qt/QtPopupMenu.h"
#include "platform/qt/QtProfileStore.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace quorvel {
namespace {

// TimerValue 0 stops the ticks; a zero-timeout Qt timer would tick on every pass of the loop.
TEST(QtIntervalTimer, IntervalZeroDeliversNoTicks) {
    testing::qtTestApp();
    QtIntervalTimer timer;
    int ticks = 0;
    timer.setTick([&ticks] { ++ticks; });
    for (const int interval : {0, 10, 0}) {
        timer.setInterval(interval);
        ticks = 0;
        QEventLoop loop;
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_EQ(ticks > 0, interval > 0) << "interval " << interval;
    }
}

TEST(QtPopupMenu, SwitchesThatAreOnAreTheOnlyCheckableActions) {
    testing::qtTestApp();
    const std::vector<MenuEntry> entries = {
        {"簡易ヘルプ(&H)", false}, {"最前面表示(&T)", true}, {"-", false}, {"終了(&Q)", false}};
    QMenu menu;
    const std::vector<QAction*> actions = addMenuEntries(menu, entries);
    ASSERT_EQ(QList<QAction*>(actions.begin(), actions.end()), menu.actions());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool separator = entries[i].caption == "-";
        EXPECT_EQ((std::tuple{actions[i]->isSeparator(), actions[i]->isCheckable(), actions[i]->isChecked(),
                              actions[i]->text().toStdString()}),
                  (std::tuple{separator, entries[i].checked, entries[i].checked, separator ? "" : entries[i].caption}))
            << i;
    }
}

// A key matches in any letter case, and its entry keeps the spelling it was first written with.
TEST(QtProfileStore, AKeyMatchesInAnyLetterCaseAndKeepsItsFirstSpelling) {
    const testing::TempDir folder;
    std::ofstream(folder / "A.ini") << "[S]\nWindowTop=4500\n";
    QtProfileStore(folder.str()).saveSetting("A", "S", "WINDOWTOP", "1200");
    EXPECT_EQ(QtProfileStore(folder.str()).getSetting("A", "S", "windowtop", "x"), "1200");
    std::stringstream text;
    text << std::ifstream(folder / "A.ini").rdbuf();
    EXPECT_EQ(text.str(), "[S]\nWindowTop=1200\n");
}

TEST(LinuxProcessInfo, SplitsTheExecutablePath) {
    const std::vector<std::vector<std::string>> table = {{"/opt/tools/quorvel", "/opt/tools", "quorvel"},
                                                         {"/quorvel.bin", "/", "quorvel"},
                                                         {"/home/me/.gadget", "/home/me", ".gadget"},
                                                         {"/a.b/gadget.v1.run", "/a.b", "gadget.v1"}};
    for (const auto& row : table) {
        EXPECT_EQ(LinuxProcessInfo(row[0]).executableFolder(), row[1]) << row[0];
        EXPECT_EQ(LinuxProcessInfo(row[0]).executableName(), row[2]) << row[0];
    }
    const LinuxProcessInfo real;
    EXPECT_EQ(real.executableName(), "shell_platform_tests");
    EXPECT_TRUE(std::filesystem::is_directory(real.executableFolder()));
}

// A placement off every screen is seen as such (the window then goes to its default position).
TEST(QtFormWindow, APlacementOffEveryScreenIsOnNone) {
    testing::qtTestApp();
    const QtFormWindow window;
    EXPECT_TRUE(window.isOnAnyScreen({1500, 3000, 2500, 3000}));
    EXPECT_FALSE(window.isOnAnyScreen({-100000, -100000, 2500, 3000}));
}

// The first SIGTERM or SIGHUP only asks the event loop for a close; a second one, while
// that close runs, ends the process at once.
void signalTwice() {
    const TerminationSignals terminations;
    std::raise(SIGTERM);
    pollfd request{terminations.fd(), POLLIN, 0};
    if (::poll(&request, 1, 0) != 1) {
        std::_Exit(3);
    }
    terminations.drain();
    std::raise(SIGHUP);
    std::_Exit(4);
}

TEST(TerminationSignals, FirstSignalAsksForACloseASecondEndsTheProcess) {
    EXPECT_EXIT(signalTwice(), ::testing::KilledBySignal(SIGHUP), "");
}

}  // namespace
}  // namespace quorvel
