#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/linux/ProcValueSource.h"
#include "support/Loopback.h"

namespace quorvel {
namespace {

// The real /proc: loopback traffic of the test's own shows at the rate it was sent, over
// the very interval the source measured.
TEST(ProcLive, LoopbackTrafficShowsInBytesSent) {
    const testing::PrivateLoopback loopback;
    ASSERT_TRUE(loopback.usable()) << "cannot bring up loopback";
    std::vector<std::int64_t> taken;
    ProcValueSource source(
        "/", [&taken] { return taken.emplace_back(std::chrono::steady_clock::now().time_since_epoch().count()); });
    QueryHandle query = 0;
    CounterHandle sent = 0;
    source.openQuery(query);
    ASSERT_EQ(source.addCounter(query, "\\Network Interface(lo)\\Bytes Sent/sec", sent), counter_status::Valid);
    source.collect(query);
    const auto bytes = static_cast<double>(testing::sendOverLoopback(60000, 300));
    source.collect(query);
    const double rate = bytes / (static_cast<double>(taken.back() - taken.at(taken.size() - 2)) / 1e9);
    CounterStatus status = 0;
    // The counted bytes also hold the link headers of each datagram: under 0.1 % here.
    EXPECT_NEAR(source.readDouble(sent, status), rate, rate * 0.03);
    EXPECT_EQ(status, counter_status::Valid);
    EXPECT_GT(bytes, 0.0);
}

}  // namespace
}  // namespace quorvel
