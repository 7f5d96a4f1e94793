#include "counters/clsPdh.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "support/FakeValueSource.h"

namespace quorvel {
namespace {

using test::FakeValueSource;

TEST(clsPdh, ClosesOnDestructionEvenWhenTheOpenFailed) {
    FakeValueSource source;
    { clsPdh pdh(source); }
    FakeValueSource failing;
    failing.nextQuery.reset();
    failing.statusOfCalls = counter_status::NoData;
    { clsPdh pdh(failing); }
    EXPECT_EQ(source.trace() + "/ " + failing.trace(), "open 0; close 7; / open 0; close 0; ");
}

TEST(clsPdh, FollowsTheHandlesInOrderAndRedirectsOnASecondAddCounter) {
    FakeValueSource source;
    source.readings = {{0, {42.0, counter_status::InvalidHandle}},
                       {101, {std::numeric_limits<double>::max(), counter_status::InvalidData}},
                       {102, {-0.1 + 1e-17, counter_status::Valid}}};
    const std::string odd = "\\\\.\\Network Interface(we\xC3\xAF\xFF(d)\\Bytes Sent/sec";
    std::vector<double> values;
    {
        clsPdh pdh(source);
        values.push_back(pdh.GetValue());  // through the zero handle before any AddCounter
        pdh.AddCounter(odd);
        pdh.Collect();
        values.push_back(pdh.GetValue());
        pdh.AddCounter("");
        pdh.Collect();
        values.push_back(pdh.GetValue());
    }
    // Values and paths pass unchanged; nothing removes the first counter from the query.
    EXPECT_EQ(values, (std::vector<double>{42.0, std::numeric_limits<double>::max(), -0.1 + 1e-17}));
    EXPECT_EQ(source.trace(),
              "open 0; read 0; add 7 " + odd + "; collect 7; read 101; add 7; collect 7; read 102; close 7; ");
}

TEST(clsPdh, RejectedPathKeepsTheEarlierCounterHandle) {
    FakeValueSource source;
    source.nextCounters = {101};
    source.readings[101] = {5.0, counter_status::InvalidData};
    clsPdh pdh(source);
    pdh.AddCounter("\\RAS Total\\Bytes Transmitted/Sec");
    EXPECT_EQ(pdh.GetValue(), 5.0);
    EXPECT_EQ(pdh.Status(), counter_status::InvalidData);  // the last reading's
    source.statusOfCalls = counter_status::NoObject;
    pdh.AddCounter("\\No Such Object\\Nothing");
    EXPECT_EQ(pdh.GetValue(), 5.0);
    // The refusal is kept: the reading goes on through the earlier counter.
    EXPECT_EQ(pdh.Status(), counter_status::NoObject);
}

}  // namespace
}  // namespace quorvel
