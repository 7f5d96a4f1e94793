#include "platform/windows/SystemHeaders.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "platform/windows/TwipsScale.h"
#include "platform/windows/WinFormWindow.h"
#include "platform/windows/WinIntervalTimer.h"

// The window parts, run with Wine's system code page set to 1252 (Western European),
// which lacks the program's Japanese captions.
namespace quorvel::test {
namespace {

// Runs the message loop until `done` holds, for `milliseconds` at most.
bool pumpUntil(const std::function<bool()>& done, ULONGLONG milliseconds = 3000) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < end && !done()) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return done();
}

// Shown text goes through the wide calls: the program's own text is UTF-8, text that is
// not came from the system in its code page (a path in a message). The title bar reads
// the same in every code page.
TEST(ProgramTextToWide, CaptionsKeepTextBeyondTheCodePage) {
    ASSERT_EQ(::GetACP(), 1252U);
    win::SystemLibraries libraries;
    WinFormWindow window{libraries};
    for (const auto& [in, out] :
         {std::pair<std::string, std::wstring>{"\xe7\xb5\x82\xe4\xba\x86 Ver.1.1.0", L"\u7d42\u4e86 Ver.1.1.0"},
          {"C:\\J\xfcrgen\\quorvel.ini", L"C:\\J\u00fcrgen\\quorvel.ini"}}) {
        window.setCaption(in);
        std::array<wchar_t, 64> text{};
        ::GetWindowTextW(window.handle(), text.data(), static_cast<int>(text.size()));
        EXPECT_EQ(std::wstring(text.data()), out) << in;
    }
}

// Two monitors, the primary at 96 pixels per inch and one beside it at 144. The system's
// resolution stays that of the primary; the window's placement, saved at quit on one
// monitor, gives the same pixels at the next start on the other.
TEST(TwipsScale, PlacementKeepsItsPixelsAcrossMonitorsOfDifferentResolution) {
    for (const int systemDpi : {96, 144}) {
        const TwipsScale atQuit = TwipsScale::ForPlacement(systemDpi, 96);
        const TwipsScale atStart = TwipsScale::ForPlacement(systemDpi, 144);
        for (const double pixels : {2100, 300}) {
            EXPECT_EQ(TwipsScale::whole(atStart.toPixelsX(atQuit.toTwipsX(pixels))), pixels) << systemDpi;
            EXPECT_EQ(TwipsScale::whole(atStart.toPixelsY(atQuit.toTwipsY(pixels))), pixels) << systemDpi;
        }
    }
    EXPECT_EQ(TwipsScale::ForPlacement(96, 144).toTwipsX(250), 3750);
    EXPECT_EQ(TwipsScale::ForPlacement(0, 144).toTwipsX(250), 2500);  // no system resolution reported
}

// TimerValue 0 means no ticks: a stopped timer hands out at most the tick that was
// already queued.
TEST(WinIntervalTimer, TicksUntilTheIntervalIsZero) {
    int ticks = 0;
    WinIntervalTimer timer;
    timer.setTick([&ticks] { ++ticks; });
    timer.setInterval(10);
    EXPECT_TRUE(pumpUntil([&] { return ticks >= 3; }));
    timer.setInterval(0);
    const int stoppedAt = ticks;
    pumpUntil([] { return false; }, 300);  // room for some thirty ticks
    EXPECT_LE(ticks, stoppedAt + 1);
}

}  // namespace
}  // namespace quorvel::test
