#include "platform/null/NullValueSource.h"

#include <gtest/gtest.h>

#include "counters/clsPdh.h"

namespace quorvel {
namespace {

TEST(NullValueSource, AnswersNoDataAndWritesNoHandle) {
    NullValueSource source;
    QueryHandle query = 3;
    CounterHandle counter = 4;
    EXPECT_EQ(source.openQuery(query), counter_status::NoData);
    EXPECT_EQ(source.addCounter(query, "\\RAS Total\\Bytes Received/Sec", counter), counter_status::NoData);
    EXPECT_EQ(query, 3U);
    EXPECT_EQ(counter, 4U);
    EXPECT_EQ(source.collect(query), counter_status::NoData);
    CounterStatus status = counter_status::Valid;
    EXPECT_EQ(source.readDouble(counter, status), 0.0);
    EXPECT_EQ(status, counter_status::NoData);
    EXPECT_EQ(source.closeQuery(query), counter_status::NoData);
}

TEST(NullValueSource, DrivesAclsPdhToZero) {
    NullValueSource source;
    clsPdh pdh(source);
    pdh.AddCounter("\\RAS Total\\Bytes Received/Sec");
    pdh.Collect();
    EXPECT_EQ(pdh.GetValue(), 0.0);
}

}  // namespace
}  // namespace quorvel
