#include <gtest/gtest.h>

#include "platform/linux/RoutingValueSource.h"
#include "support/FakeValueSource.h"

namespace quorvel {
namespace {

struct Routed {
    test::FakeValueSource local;
    test::FakeValueSource remote;
    RoutingValueSource router{local, remote, "Desk"};

    Routed() {
        local.nextQuery = 11;
        remote.nextQuery = 21;
        local.nextCounters = {111, 112};
        remote.nextCounters = {211, 212};
        local.readings[111] = {1.5, counter_status::Valid};
        remote.readings[211] = {2.5, counter_status::NoData};
    }
};

TEST(RoutingValueSource, SendsEachPathToItsMachinesSource) {
    const std::pair<const char*, bool> cases[] = {
        {"\\Memory\\Available Bytes", true},
        {"\\\\.\\Memory\\Available Bytes", true},
        {"\\\\desk\\Memory\\Available Bytes", true},
        {"not a path", true},
        {"\\\\router\\Memory\\Available Bytes", false},
        {"\\\\desk:1161\\Memory\\Available Bytes", false},
    };
    for (const auto& [path, here] : cases) {
        Routed r;
        QueryHandle q = 0;
        CounterHandle h = 0;
        r.router.openQuery(q);
        r.router.addCounter(q, path, h);
        EXPECT_EQ(r.local.trace() + "/" + r.remote.trace(),
                  here ? "open 0; add 11 " + std::string(path) + "; /" : "/open 0; add 21 " + std::string(path) + "; ");
    }
}

TEST(RoutingValueSource, OneQueryMixesMachines) {
    Routed r;
    QueryHandle q = 0;
    CounterHandle here = 0;
    CounterHandle there = 0;
    ASSERT_EQ(r.router.openQuery(q), counter_status::Valid);
    ASSERT_EQ(r.router.addCounter(q, "\\System\\Processes", here), counter_status::Valid);
    ASSERT_EQ(r.router.addCounter(q, "\\\\nas\\System\\Processes", there), counter_status::Valid);
    EXPECT_NE(here, there);
    r.router.collect(q);
    CounterStatus status = 0;
    EXPECT_EQ(r.router.readDouble(here, status), 1.5);
    EXPECT_EQ(status, counter_status::Valid);
    EXPECT_EQ(r.router.readDouble(there, status), 2.5);
    EXPECT_EQ(status, counter_status::NoData);
    r.router.closeQuery(q);
    EXPECT_EQ(r.local.trace(), "open 0; add 11 \\System\\Processes; collect 11; read 111; close 11; ");
    EXPECT_EQ(r.remote.trace(), "open 0; add 21 \\\\nas\\System\\Processes; collect 21; read 211; close 21; ");
    EXPECT_EQ(r.router.readDouble(here, status), 0.0);
    EXPECT_EQ(status, counter_status::InvalidHandle);
}

TEST(RoutingValueSource, PassesARefusalOnAndKeepsNoHandle) {
    Routed r;
    r.remote.statusOfCalls = counter_status::NoMachine;
    QueryHandle q = 0;
    CounterHandle h = 77;
    r.router.openQuery(q);
    // The remote source opens its query with a failure status: the router reports it.
    EXPECT_EQ(r.router.addCounter(q, "\\\\x\\System\\Processes", h), counter_status::NoMachine);
    EXPECT_EQ(h, 77U);
    EXPECT_EQ(r.router.collect(q), counter_status::Valid);
}

}  // namespace
}  // namespace quorvel
