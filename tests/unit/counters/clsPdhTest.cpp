#include "counters/clsPdh.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

#include "support/FakeValueSource.h"

namespace quorvel {
namespace {

using test::FakeValueSource;
using Call = FakeValueSource::Call;

TEST(clsPdhLifecycle, OpensOnConstructionAndClosesOnDestruction) {
    FakeValueSource source;
    {
        clsPdh pdh(source);
        EXPECT_EQ(source.calls, (std::vector<Call>{{"open", 0, ""}}));
    }
    EXPECT_EQ(source.calls, (std::vector<Call>{{"open", 0, ""}, {"close", 7, ""}}));
}

TEST(clsPdhLifecycle, ClosesEvenWhenTheOpenFailed) {
    FakeValueSource source;
    source.nextQuery.reset();
    source.statusOfCalls = counter_status::NoData;
    { clsPdh pdh(source); }
    ASSERT_EQ(source.calls.size(), 2U);
    EXPECT_EQ(source.calls[1], (Call{"close", 0, ""}));
}

TEST(clsPdhLifecycle, UnreachableServiceFailsConstruction) {
    FakeValueSource source;
    source.unreachable = true;
    std::unique_ptr<clsPdh> pdh;
    EXPECT_THROW(pdh = std::make_unique<clsPdh>(source), RuntimeError);
    EXPECT_EQ(pdh, nullptr);
}

TEST(clsPdhLifecycle, UnreachableServiceFailsTheCallThatTriedIt) {
    FakeValueSource source;
    clsPdh pdh(source);
    source.unreachable = true;
    EXPECT_THROW(pdh.AddCounter("\\RAS Total\\Bytes Received/Sec"), RuntimeError);
    EXPECT_THROW(pdh.Collect(), RuntimeError);
    EXPECT_THROW((void)pdh.GetValue(), RuntimeError);
    source.unreachable = false;
}

TEST(clsPdhCalls, FollowTheQueryAndCounterHandlesInOrder) {
    FakeValueSource source;
    source.readings[101] = {1234.5, counter_status::Valid};
    {
        clsPdh pdh(source);
        pdh.AddCounter("\\RAS Total\\Bytes Transmitted/Sec");
        pdh.Collect();
        EXPECT_EQ(pdh.GetValue(), 1234.5);
        pdh.Collect();
        EXPECT_EQ(pdh.GetValue(), 1234.5);
    }
    const std::vector<Call> expected{{"open", 0, ""},    {"add", 7, "\\RAS Total\\Bytes Transmitted/Sec"},
                                     {"collect", 7, ""}, {"read", 101, ""},
                                     {"collect", 7, ""}, {"read", 101, ""},
                                     {"close", 7, ""}};
    EXPECT_EQ(source.calls, expected);
}

TEST(clsPdhCalls, PathReachesTheSourceByteForByte) {
    FakeValueSource source;
    clsPdh pdh(source);
    const std::string odd = "\\\\.\\Network Interface(we\xC3\xAF\xFF(d)\\Bytes Sent/sec";
    pdh.AddCounter(odd);
    pdh.AddCounter("");
    EXPECT_EQ(source.calls[1].path, odd);
    EXPECT_EQ(source.calls[2].path, "");
}

TEST(clsPdhCalls, SecondAddCounterRedirectsGetValue) {
    FakeValueSource source;
    source.readings[101] = {1.0, counter_status::Valid};
    source.readings[102] = {2.0, counter_status::Valid};
    clsPdh pdh(source);
    pdh.AddCounter("\\RAS Total\\Bytes Transmitted/Sec");
    pdh.AddCounter("\\RAS Total\\Bytes Received/Sec");
    pdh.Collect();
    EXPECT_EQ(pdh.GetValue(), 2.0);
    EXPECT_EQ(source.calls.back(), (Call{"read", 102, ""}));
    // Nothing removes the first counter: the query is still the one both were added to.
    EXPECT_EQ(source.calls[2], (Call{"add", 7, "\\RAS Total\\Bytes Received/Sec"}));
}

TEST(clsPdhValues, PassesWhateverTheSourceGivesUnchanged) {
    FakeValueSource source;
    source.readings[101] = {std::numeric_limits<double>::max(), counter_status::InvalidData};
    clsPdh pdh(source);
    pdh.AddCounter("\\RAS Total\\Bytes Transmitted/Sec");
    EXPECT_EQ(pdh.GetValue(), std::numeric_limits<double>::max());
    source.readings[101] = {-0.1 + 1e-17, counter_status::Valid};
    EXPECT_EQ(pdh.GetValue(), -0.1 + 1e-17);
}

TEST(clsPdhValues, ReadsThroughAZeroHandleBeforeAnyAddCounter) {
    FakeValueSource source;
    source.readings[0] = {42.0, counter_status::InvalidHandle};
    clsPdh pdh(source);
    EXPECT_EQ(pdh.GetValue(), 42.0);
    EXPECT_EQ(source.calls.back(), (Call{"read", 0, ""}));
}

TEST(clsPdhValues, RejectedPathKeepsTheEarlierCounterHandle) {
    FakeValueSource source;
    source.nextCounters = {101};
    source.readings[101] = {5.0, counter_status::Valid};
    clsPdh pdh(source);
    pdh.AddCounter("\\RAS Total\\Bytes Transmitted/Sec");
    source.statusOfCalls = counter_status::NoObject;
    pdh.AddCounter("\\No Such Object\\Nothing");
    pdh.Collect();
    EXPECT_EQ(pdh.GetValue(), 5.0);
}

}  // namespace
}  // namespace quorvel
