#include <gtest/gtest.h>
#include <poll.h>

#include <QScreen>
#include <QSettings>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/linux/LinuxProcessInfo.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/qt/QtFormWindow.h"
#include "platform/qt/QtProfileStore.h"
#include "support/QtTestApp.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() {
        path_ = fs::temp_directory_path() / ("quorvel-shell-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    [[nodiscard]] std::string str() const { return path_.string(); }
    [[nodiscard]] fs::path path() const { return path_; }

private:
    fs::path path_;
};

std::string readAll(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(QtProfileStore, KeysMatchInAnyLetterCaseAndEntriesPersist) {
    testing::qtTestApp();
    TempFolder folder;
    {
        QtProfileStore store(folder.str());
        EXPECT_EQ(store.getSetting("Kelvane SoftWares", "Quorvel", "Windowtop", "600"), "600");
        store.saveSetting("Kelvane SoftWares", "Quorvel", "WindowTop", "1234.5");
        store.saveSetting("Kelvane SoftWares", "Quorvel", "WINDOWTOP", "1200");
        store.saveSetting("Kelvane SoftWares", "Other", "WindowTop", "1");
    }
    const QtProfileStore reopened(folder.str());
    EXPECT_EQ(reopened.getSetting("Kelvane SoftWares", "Quorvel", "windowtop", "x"), "1200");
    EXPECT_EQ(reopened.getSetting("Kelvane SoftWares", "Other", "WindowTop", "x"), "1");
    EXPECT_EQ(reopened.getSetting("Kelvane SoftWares", "Quorvel", "WindowLeft", "x"), "x");
    // One entry, stored under the spelling it was first written with.
    const std::string text = readAll(folder.path() / "Kelvane SoftWares.ini");
    EXPECT_NE(text.find("WindowTop=1200"), std::string::npos) << text;
    EXPECT_EQ(text.find("WINDOWTOP"), std::string::npos) << text;
}

TEST(QtProfileStore, ReadsEntriesWrittenByHandInAnyCase) {
    testing::qtTestApp();
    TempFolder folder;
    std::ofstream(folder.path() / "Kelvane SoftWares.ini") << "[Quorvel]\nWINDOWHEIGHT=4500\n";
    const QtProfileStore store(folder.str());
    EXPECT_EQ(store.getSetting("Kelvane SoftWares", "Quorvel", "WindowHeight", "3000"), "4500");
}

TEST(LinuxProcessInfo, SplitsTheExecutablePath) {
    EXPECT_EQ(LinuxProcessInfo("/opt/tools/quorvel").executableFolder(), "/opt/tools");
    EXPECT_EQ(LinuxProcessInfo("/opt/tools/quorvel").executableName(), "quorvel");
    EXPECT_EQ(LinuxProcessInfo("/quorvel.bin").executableFolder(), "/");
    EXPECT_EQ(LinuxProcessInfo("/quorvel.bin").executableName(), "quorvel");
    EXPECT_EQ(LinuxProcessInfo("/home/me/.gadget").executableName(), ".gadget");
    EXPECT_EQ(LinuxProcessInfo("/a.b/gadget.v1.run").executableName(), "gadget.v1");

    const LinuxProcessInfo real;
    EXPECT_EQ(real.executableName(), "shell_platform_tests");
    EXPECT_TRUE(fs::is_directory(real.executableFolder()));
}

TEST(QtFormWindow, PlacementIsInTwipsThroughTheLogicalDpi) {
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
}

TEST(QtFormWindow, DefaultPositionIsCentredForTheWindowsOwnSize) {
    testing::qtTestApp();
    QtFormWindow window;
    const QRect screen = window.screen()->availableGeometry();
    for (const Placement size : {Placement{0, 0, 2500, 3000}, Placement{0, 0, 9000, 1500}}) {
        window.setPlacement(size);
        window.moveToDefaultPosition();
        const Placement p = window.placement();
        const double centreX = window.twipsToPixelsX(p.left + p.width / 2);
        const double centreY = window.twipsToPixelsY(p.top + p.height / 2);
        EXPECT_NEAR(centreX, screen.x() + screen.width() / 2.0, 1);
        EXPECT_NEAR(centreY, screen.y() + screen.height() / 2.0, 1);
    }
}

TEST(QtFormWindow, TitleBarFollowsTheCaption) {
    testing::qtTestApp();
    QtFormWindow window;
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
