#include "platform/windows/SystemHeaders.h"

#include "platform/windows/PdhValueSource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "counters/clsPdh.h"
#include "platform/windows/WindowsProcessInfo.h"

namespace quorvel::test {
namespace {

// The counter source against a stand-in pdh.dll that the build puts beside the test
// program (Wine's own library aborts in these entry points). The stand-in is loaded by
// full path from its folder instead of the system folder; WINEDLLOVERRIDES=pdh=n makes
// Wine load that file rather than its built-in library of the same name. Each case runs
// on both builds of the stand-in: one with the Visual Basic entry points, one with only
// the documented functions, which must give the same results.
class StandInPdh : public ::testing::TestWithParam<const char*> {
protected:
    // The queries the stand-in holds open, once the source has loaded it.
    int openQueries() {
        const HMODULE module = ::GetModuleHandleA(libraries_.libraryPath(win::SystemLibrary::Pdh).c_str());
        return reinterpret_cast<int(WINAPI*)()>(
            reinterpret_cast<void (*)()>(::GetProcAddress(module, "StandInOpenQueries")))();
    }

    win::SystemLibraries libraries_{
        {{win::SystemLibrary::Pdh, WindowsProcessInfo().executableFolder() + "\\" + GetParam()}}};
    PdhValueSource source_{libraries_};
};

INSTANTIATE_TEST_SUITE_P(Builds, StandInPdh, ::testing::Values("pdh-standin", "pdh-standin-documented"));

// The stand-in's localised service knows \Memory only by its English name; its handles
// lie above 32 bits, so one cut short reads nothing.
TEST_P(StandInPdh, ReadsTheValuesOfEachCounterInTurnAndClosesItsQueries) {
    ::_putenv("QUORVEL_STANDIN_VALUES=\\Memory\\Available Bytes=42,7,3|\\RAS Total\\Bytes Received/Sec=1.5,2.25e9,0.1");
    std::vector<double> red;
    std::vector<double> green;
    {
        clsPdh memory(source_);
        clsPdh received(source_);
        memory.AddCounter("\\Memory\\Available Bytes");
        received.AddCounter("\\RAS Total\\Bytes Received/Sec");
        for (int tick = 0; tick < 3; ++tick) {
            memory.Collect();
            received.Collect();
            red.push_back(memory.GetValue());
            green.push_back(received.GetValue());
        }
    }
    EXPECT_EQ(red, (std::vector<double>{42, 7, 3}));
    EXPECT_EQ(green, (std::vector<double>{1.5, 2.25e9, 0.1}));
    EXPECT_EQ(openQueries(), 0);
}

// A value the service marks invalid (a counter not collected yet, a handle it does not
// know) has its status; without the Visual Basic read it reads 0, whatever the call
// left behind.
TEST_P(StandInPdh, AnInvalidValueHasItsStatusAndWithoutTheVisualBasicReadReadsZero) {
    QueryHandle query = 0;
    CounterHandle counter = 0;
    ASSERT_EQ(source_.openQuery(query), counter_status::Valid);
    ASSERT_EQ(source_.addCounter(query, "\\RAS Total\\Bytes Sent/Sec", counter), counter_status::Valid);
    const bool documented = std::string(GetParam()) == "pdh-standin-documented";
    for (const auto& [handle, want] :
         {std::pair{counter, counter_status::InvalidData}, std::pair{counter + 1, counter_status::InvalidHandle}}) {
        CounterStatus status = 0;
        const double value = source_.readDouble(handle, status);
        EXPECT_EQ(status, want) << handle;
        EXPECT_TRUE(!documented || value == 0.0) << value;
    }
}

}  // namespace
}  // namespace quorvel::test
