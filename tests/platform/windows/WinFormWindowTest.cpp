#include "platform/windows/SystemHeaders.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/windows/AnsiText.h"
#include "platform/windows/TwipsScale.h"
#include "platform/windows/WinFormWindow.h"
#include "platform/windows/WinIntervalTimer.h"

// Run with Wine's system code page set to 1252 (Western European), which lacks the
// program's Japanese captions.
namespace quorvel::test {
namespace {

// Shown text goes through the wide calls: the program's own text is UTF-8, text that is
// not came from the system in its code page. The title bar reads the same in every code page.
TEST(ProgramTextToWide, CaptionsKeepTextBeyondTheCodePage) {
    ASSERT_EQ(::GetACP(), 1252U);
    const std::pair<std::string, std::wstring> cases[] = {
        {"\xe7\xb5\x82\xe4\xba\x86(&Q)", L"\u7d42\u4e86(&Q)"},            // "end (Q)" in UTF-8
        {"C:\\J\xfcrgen\\quorvel.ini", L"C:\\J\u00fcrgen\\quorvel.ini"},  // a path in code page 1252: not UTF-8
        {"", L""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(ProgramTextToWide(in), out) << in;
    }
    win::SystemLibraries libraries;
    WinFormWindow window{libraries};
    window.setCaption("\xe7\xb5\x82\xe4\xba\x86 Ver.1.1.0");
    std::array<wchar_t, 64> text{};
    ::GetWindowTextW(window.handle(), text.data(), static_cast<int>(text.size()));
    EXPECT_EQ(std::wstring(text.data()), L"\u7d42\u4e86 Ver.1.1.0");
}

// Two monitors, the primary at 96 pixels per inch and one beside it at 144. The system's
// resolution stays that of the primary; the window's placement, saved at quit while on either
// monitor, gives the same pixels at the next start, whichever monitor the new window is on.
TEST(TwipsScale, PlacementKeepsItsPixelsAcrossMonitorsOfDifferentResolution) {
    for (const int systemDpi : {96, 144}) {
        for (const int savedOn : {96, 144}) {
            for (const int startedOn : {96, 144}) {
                const TwipsScale atQuit = TwipsScale::ForPlacement(systemDpi, savedOn);
                const TwipsScale atStart = TwipsScale::ForPlacement(systemDpi, startedOn);
                for (const double pixels : {2100, 150, 250, 300}) {
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

// TimerValue 0 means no ticks: while another timer ticks five times, a stopped one hands
// out at most the tick that was already queued.
TEST(WinIntervalTimer, TicksUntilTheIntervalIsZero) {
    std::array<int, 2> ticks{};
    std::array<WinIntervalTimer, 2> timers;
    timers[0].setTick([&ticks] { ++ticks[0]; });
    timers[1].setTick([&ticks] { ++ticks[1]; });
    const auto pumpUntil = [&ticks](std::size_t timer, int count) {
        const ULONGLONG end = ::GetTickCount64() + 5000;
        for (MSG message{}; ticks.at(timer) < count && ::GetTickCount64() < end;) {
            if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
                ::DispatchMessageA(&message);
            } else {
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            }
        }
        return ticks.at(timer) >= count;
    };
    timers[0].setInterval(10);
    EXPECT_TRUE(pumpUntil(0, 3));
    timers[0].setInterval(0);
    const int stoppedAt = ticks[0];
    timers[1].setInterval(10);
    EXPECT_TRUE(pumpUntil(1, 5));
    EXPECT_LE(ticks[0], stoppedAt + 1);
}

}  // namespace
}  // namespace quorvel::test
