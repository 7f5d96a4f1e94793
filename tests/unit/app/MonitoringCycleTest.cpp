#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "GadgetFixture.h"
#include "app/ErrorGuard.h"
#include "common/RuntimeError.h"
#include "support/ErrorKindOf.h"

namespace quorvel {
namespace {

using MonitoringCycle = GadgetFixture;

TEST_F(MonitoringCycle, RunsOnDefaultsWithoutSettingsFileAndReportsAnOverflow) {
    frmMain& main = start();
    EXPECT_EQ(timer.interval(), 1000);
    EXPECT_EQ(main.Graph().Max(), 9000.0);
    tick(100, 200);
    // No sum line by default; green under red, each in its own colour.
    EXPECT_EQ(seriesColours(), (std::vector<Colour>{32768, 128}));
    // Every history moves towards index 0: of these 12 ticks the last 10 are kept.
    for (int t = 2; t <= 12; ++t) {
        tick(t, 10.0 * t);
    }
    EXPECT_EQ(std::tuple(main.RedLineData().at(0), main.GreenLineData().at(0), main.SumLineData().at(0)),
              std::tuple(TaggedValue(3.0), TaggedValue(30.0), TaggedValue(33.0)));
    // An overflow in a tick reaches the standard report.
    const double huge = std::numeric_limits<double>::max();
    EXPECT_NE(fatalMessage([&] { tick(huge, huge); }).find("Overflow"), std::string::npos);
}

// The file the user gets back: each missing item appended with its default, in the order
// the program first asks for them. An item without a value takes zero, not its default;
// the line colours are looked up on every tick.
TEST_F(MonitoringCycle, AppendsMissingItemsWithTheirDefaultsInTableOrderEmptyItemsTakeZero) {
    writeIni("; mine\r\nMax=\r\nLineColorSent=\r\n");
    start();
    EXPECT_EQ(form->Graph().Max(), 0.0);
    const iniMente& store = env.settings();
    EXPECT_EQ(store.iniSavertoVariable(),
              "; mine\r\nMax = \r\nLineColorSent = \r\nBunkaino = 10\r\nBarX = True\r\nBarXColor = 16711680\r\n"
              "BarXInterval = 1000\r\nBarY = True\r\nBarYColor = 16711680\r\nBarYInterval = 10\r\nBackColor = 0\r\n"
              "TimerValue = 1000\r\nRedLineSource = \\RAS Total\\Bytes Transmitted/Sec\r\n"
              "GreenLineSource = \\RAS Total\\Bytes Received/Sec\r\n");
    tick(1, 2);
    EXPECT_TRUE(store.iniSavertoVariable().ends_with("\r\nNotShowSum = False\r\nLineColorRecieved = 128\r\n"))
        << store.iniSavertoVariable();
    EXPECT_EQ(seriesColours(), (std::vector<Colour>{0, 128}));
    env.settings().SetiniValue("LineColorSent", "255");
    env.settings().SetiniValue("LineColorRecieved", std::int32_t{65280});
    tick(1, 2);
    EXPECT_EQ(seriesColours(), (std::vector<Colour>{255, 65280}));
}

// The sum goes first, so that the green and the red line lie on top of it.
TEST_F(MonitoringCycle, NotShowSumFromTheFileAsTextOrNumber) {
    const std::vector<std::pair<std::string, bool>> table = {
        {"NotShowSum=0", false}, {"NotShowSum = 0", false}, {"NotShowSum=0.0", false}, {"NotShowSum=false", false},
        {"NotShowSum=", false},  {"NotShowSum=True", true}, {"NotShowSum=-1", true},
    };
    const std::vector<Colour> withSum{32896, 32768, 128};
    const std::vector<Colour> withoutSum{32768, 128};
    for (const auto& [line, sum] : table) {
        writeIni("; mine\r\n" + line + "\r\n");
        start();
        tick(1, 2);
        EXPECT_EQ(seriesColours(), sum ? withSum : withoutSum) << line;
    }
}

TEST_F(MonitoringCycle, TimerValueZeroShowsTheGridOnly) {
    writeIni("TimerValue=0\r\nBarXInterval=3000\r\nBarY=False\r\n");
    start();
    EXPECT_EQ(timer.interval(), 0);
    // The grid of the file's settings: bars at 0, 3000, 6000 and 9000.
    EXPECT_EQ(surface.opsOf(testing::RecordingSurface::OpKind::Line).size(), 4U);
}

TEST_F(MonitoringCycle, BadSettingsStopTheLoadStep) {
    const std::pair<std::string, ErrorKind> table[] = {{"Bunkaino=0", ErrorKind::IndexOutOfRange},
                                                       {"Max=abc", ErrorKind::TypeMismatch},
                                                       {"TimerValue=65536", ErrorKind::InvalidValue},
                                                       {"TimerValue=-1", ErrorKind::InvalidValue}};
    for (const auto& [line, kind] : table) {
        writeIni(line);
        EXPECT_EQ(test::errorOf([this] { start(); }), kind) << line;
    }
    EXPECT_FALSE(window.shown);
}

// The report is the last thing the program does: while its box is up, the timer, the
// window and the graph run no program code, and a further error shows no second box.
TEST_F(MonitoringCycle, ErrorReportShowsOneBoxAndNothingRunsWhileItIsUp) {
    writeIni("LineColorSent=blue\r\nTimerValue=200\r\n");
    start();
    errors.whileShown = [this] {
        EXPECT_EQ(timer.interval(), 0);
        tick(1, 2);
        window.fireResize();
        window.fireMouseDown(2);
        window.fireClose();
        pressOnGraph(2);
        Guarded(errors, [] { throw RuntimeError(ErrorKind::InvalidValue, "a second error"); });
    };
    EXPECT_NE(fatalMessage([this] { tick(1, 2); }).find("Type mismatch"), std::string::npos);
    EXPECT_EQ(errors.boxes, 1);
    EXPECT_TRUE(menu.shownEntries.empty());
    // No unload ran: the file is as it was.
    EXPECT_EQ(files.contents(kIni), "LineColorSent=blue\r\nTimerValue=200\r\n");
}

}  // namespace
}  // namespace quorvel
