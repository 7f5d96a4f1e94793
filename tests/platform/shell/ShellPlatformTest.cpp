#include <gtest/gtest.h>
#include <poll.h>

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
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

namespace fs = std::filesystem;

// Runs the event loop for `milliseconds`, or until `done` holds.
void runEventLoop(
    int milliseconds, const std::function<bool()>& done = [] { return false; }) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done()) {
            loop.quit();
        }
    });
    poll.start(5);
    loop.exec();
}

// TimerValue 0 stops the ticks; a zero-timeout Qt timer would tick on every pass of the loop.
TEST(QtIntervalTimer, IntervalZeroDeliversNoTicks) {
    testing::qtTestApp();
    QtIntervalTimer timer;
    int ticks = 0;
    timer.setTick([&ticks] { ++ticks; });
    timer.setInterval(0);
    runEventLoop(200);
    EXPECT_EQ(ticks, 0);
    timer.setInterval(10);
    runEventLoop(10000, [&ticks] { return ticks > 0; });
    ASSERT_GT(ticks, 0);
    timer.setInterval(0);
    ticks = 0;
    runEventLoop(200);
    EXPECT_EQ(ticks, 0);
}

TEST(QtPopupMenu, SwitchesThatAreOnAreTheOnlyCheckableActions) {
    testing::qtTestApp();
    const std::vector<MenuEntry> entries = {
        {"簡易ヘルプ(&H)", false}, {"最前面表示(&T)", true}, {"-", false}, {"終了(&Q)", false}};
    QMenu menu;
    const std::vector<QAction*> actions = addMenuEntries(menu, entries);
    const QList<QAction*> listed = menu.actions();
    ASSERT_EQ(actions, std::vector<QAction*>(listed.begin(), listed.end()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool separator = entries[i].caption == "-";
        EXPECT_EQ(actions[i]->isSeparator(), separator) << i;
        EXPECT_EQ(actions[i]->isCheckable(), entries[i].checked) << i;
        EXPECT_EQ(actions[i]->isChecked(), entries[i].checked) << i;
        EXPECT_EQ(actions[i]->text().toStdString(), separator ? "" : entries[i].caption) << i;
    }
}

TEST(QtProfileStore, KeysMatchInAnyLetterCaseAndEntriesPersist) {
    testing::qtTestApp();
    const testing::TempDir folder;
    std::ofstream(folder / "Kelvane SoftWares.ini") << "[Quorvel]\nWINDOWHEIGHT=4500\n";
    {
        QtProfileStore store(folder.str());
        EXPECT_EQ(store.getSetting("Kelvane SoftWares", "Quorvel", "Windowtop", "600"), "600");
        store.saveSetting("Kelvane SoftWares", "Quorvel", "WindowTop", "1234.5");
        store.saveSetting("Kelvane SoftWares", "Quorvel", "WINDOWTOP", "1200");
        store.saveSetting("Kelvane SoftWares", "Other", "WindowTop", "1");
    }
    const QtProfileStore reopened(folder.str());
    EXPECT_EQ(reopened.getSetting("Kelvane SoftWares", "Quorvel", "windowtop", "x"), "1200");
    EXPECT_EQ(reopened.getSetting("Kelvane SoftWares", "Quorvel", "WindowHeight", "x"), "4500");
    EXPECT_EQ(reopened.getSetting("Kelvane SoftWares", "Other", "WindowTop", "x"), "1");
    EXPECT_EQ(reopened.getSetting("Kelvane SoftWares", "Quorvel", "WindowLeft", "x"), "x");
    // One entry, stored under the spelling it was first written with.
    std::stringstream text;
    text << std::ifstream(folder / "Kelvane SoftWares.ini").rdbuf();
    EXPECT_NE(text.str().find("WindowTop=1200"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("WINDOWTOP"), std::string::npos) << text.str();
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
    EXPECT_TRUE(fs::is_directory(real.executableFolder()));
}

// Placement in twips through the logical DPI, the default position centred for the
// window's own size, and the title bar following the caption.
TEST(QtFormWindow, PlacementDefaultPositionAndTitleBar) {
    testing::qtTestApp();
    QtFormWindow window;
    EXPECT_NEAR(window.pixelsToTwipsX(window.twipsToPixelsX(2500)), 2500, 1e-9);
    const double twipsPerPixel = window.pixelsToTwipsX(1);
    window.setPlacement({1500, 3000, 2500, 3000});
    const Placement p = window.placement();
    EXPECT_NEAR(p.left, 1500, twipsPerPixel);
    EXPECT_NEAR(p.top, 3000, twipsPerPixel);
    EXPECT_NEAR(p.width, 2500, twipsPerPixel);
    EXPECT_NEAR(p.height, 3000, twipsPerPixel);
    EXPECT_TRUE(window.isOnAnyScreen(p));
    EXPECT_FALSE(window.isOnAnyScreen({-100000, -100000, 2500, 3000}));

    const QRect screen = window.screen()->availableGeometry();
    for (const Placement size : {Placement{0, 0, 2500, 3000}, Placement{0, 0, 9000, 1500}}) {
        window.setPlacement(size);
        window.moveToDefaultPosition();
        const Placement d = window.placement();
        EXPECT_NEAR(window.twipsToPixelsX(d.left + d.width / 2), screen.x() + screen.width() / 2.0, 1);
        EXPECT_NEAR(window.twipsToPixelsY(d.top + d.height / 2), screen.y() + screen.height() / 2.0, 1);
    }

    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    window.setCaption("Quorvel Ver.1.1.0");
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window.windowTitle().toStdString(), "Quorvel Ver.1.1.0");
    window.setCaption("");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.setStaysOnTop(true));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
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
