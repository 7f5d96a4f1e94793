#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "SnmpAgent.h"
#include "platform/linux/ProcValueSource.h"
#include "platform/linux/snmp/SnmpValueSource.h"
#include "support/Loopback.h"
#include "support/TempDir.h"

// Built twice: as SNMPv2c with a community, and as an SNMPv3 authPriv user. net-snmp
// reads its client configuration once per process.
#ifndef QUORVEL_SNMP_V3
#define QUORVEL_SNMP_V3 0
#endif

namespace quorvel {
namespace {

using namespace std::chrono_literals;

std::vector<CounterHandle> open(ValueSource& source, QueryHandle& query, const std::vector<std::string>& paths) {
    std::vector<CounterHandle> counters;
    source.openQuery(query);
    for (const auto& path : paths) {
        EXPECT_EQ(source.addCounter(query, path, counters.emplace_back()), counter_status::Valid) << path;
    }
    return counters;
}

std::pair<double, CounterStatus> read(ValueSource& source, CounterHandle h) {
    CounterStatus status = 0;
    const double value = source.readDouble(h, status);
    return {value, status};
}

// The real transport against a real agent: what the agent answers for loopback agrees with
// what the local source reads from /proc.
TEST(SnmpLive, AgreesWithTheLocalSourceOnLoopback) {
    if (::access(test::kSnmpd, X_OK) != 0) {
        GTEST_SKIP() << "needs Debian's snmpd (scripts/install-deps)";
    }
    const testing::TempDir dir("quorvel-snmp");
    test::writeClientConfig(dir.str(), QUORVEL_SNMP_V3 != 0);  // before the first session reads it
    const testing::PrivateLoopback loopback;
    ASSERT_TRUE(loopback.usable());
    test::SilentPort port;
    port.close();
    const test::SnmpAgent agent(dir.str(), port.port());
    ASSERT_TRUE(agent.started());
    const std::string machine = "127.0.0.1:" + std::to_string(port.port());
    const std::string prefix = "\\\\" + machine;

    SnmpValueSource remote;
    ProcValueSource local;
    QueryHandle rq = 0;
    QueryHandle lq = 0;
    const auto r = open(
        remote, rq,
        {prefix + "\\Network Interface(LO)\\Bytes Received/sec", prefix + "\\Processor(_Total)\\% Processor Time",
         prefix + "\\Memory\\Available Bytes", prefix + "\\System\\Processes", prefix + "\\System\\System Up Time"});
    const auto l = open(local, lq, {"\\Network Interface(lo)\\Bytes Received/sec", "\\System\\System Up Time"});
    // Asks until the agent answers (it takes a moment to start).
    std::string problem;
    for (int i = 0; i < 20; ++i, std::this_thread::sleep_for(200ms)) {
        const auto reading = remote.refresh(machine, 0, 10s);
        problem = reading->problem;
        if (reading->state == snmp::MachineReading::State::Answering) {
            break;
        }
    }
    remote.collect(rq);
    EXPECT_EQ(read(remote, r[3]).second, counter_status::Valid) << problem;
    // What the agent offers, as quorvel-info lists it: in this namespace only loopback.
    EXPECT_TRUE(std::ranges::any_of(
        SnmpValueSource::describe(*remote.refresh(machine, SnmpValueSource::allNeeds(), 10s)), [](const auto& object) {
            return object.name == "Network Interface" && object.instances == std::vector<std::string>{"_Total", "lo"} &&
                   std::ranges::count(object.counters, "Bytes Sent/sec") == 1;
        }));
    if (QUORVEL_SNMP_V3 != 0) {
        return;  // the user's keys got an answer; what follows is the same for both versions
    }
    // net-snmp's agent reloads its interface table when a request comes more than about
    // three seconds after the last load. Both sources collect at the same moments, the
    // agent's tables fresh each time; two answers with changes come before the one
    // measured, so that the rate knows that the agent counts afresh at each request.
    const auto both = [&] {
        std::this_thread::sleep_for(3500ms);
        remote.refresh(machine, 0, 10s);
        remote.collect(rq);
        local.collect(lq);
    };
    both();
    both();
    const std::size_t sent = testing::sendOverLoopback(60000, 300);
    both();

    const auto [there, thereStatus] = read(remote, r[0]);
    const auto [here, hereStatus] = read(local, l[0]);
    ASSERT_EQ(thereStatus, counter_status::Valid) << problem;
    ASSERT_EQ(hereStatus, counter_status::Valid);
    EXPECT_GT(here * 4.0, static_cast<double>(sent)) << "the traffic did not show locally";
    EXPECT_NEAR(there, here, here * 0.03) << "sent " << sent << " bytes";
    EXPECT_LE(read(remote, r[1]).first, 100.0);  // 0 while the agent has no busy figure yet
    EXPECT_GT(read(remote, r[2]).first, 1e6);
    EXPECT_GE(read(remote, r[3]).first, 1.0);
    // The agent gives the machine's own up time, which the local source reads too.
    EXPECT_NEAR(read(remote, r[4]).first, read(local, l[1]).first, 30.0);
}

}  // namespace
}  // namespace quorvel
