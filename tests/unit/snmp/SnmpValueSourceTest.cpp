#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

#include "platform/linux/snmp/SnmpValueSource.h"
#include "support/FakeSnmpTransport.h"

namespace quorvel {
namespace {

using snmp::Column;
using snmp::Scalar;
using namespace std::chrono_literals;

constexpr std::int64_t kSecond = 1'000'000'000;

// A source whose machines all answer from one fake agent, on a clock the test moves.
struct Remote {
    std::shared_ptr<test::FakeAgent> agent = std::make_shared<test::FakeAgent>();
    std::shared_ptr<std::atomic<std::int64_t>> now = std::make_shared<std::atomic<std::int64_t>>(kSecond);
    SnmpValueSource source{agent->factory(), [now = now] { return now->load(); }};
    QueryHandle query = 0;

    Remote() {
        source.openQuery(query);
        agent->set(Scalar::SysUpTime, 100);
        setOctets(0);
    }
    void setOctets(std::uint64_t in) {
        agent->setText(Column::IfName, 1, "eth0");
        agent->setCell(Column::IfType, 1, 6);
        agent->setCell(Column::IfHCInOctets, 1, in, true);
    }
    CounterHandle add(const char* path, CounterStatus expected = counter_status::Valid) {
        CounterHandle h = 0;
        EXPECT_EQ(source.addCounter(query, path, h), expected) << path;
        return h;
    }
    // One tick a second later, after the machine answered for it.
    void tick(const char* machine = "nas") {
        *now += kSecond;
        source.refresh(machine, 0, 10s);
        source.collect(query);
    }
    std::pair<double, CounterStatus> read(CounterHandle h) {
        CounterStatus status = 0;
        const double value = source.readDouble(h, status);
        return {value, status};
    }
};

constexpr const char* kReceived = "\\\\nas\\Network Interface(eth0)\\Bytes Received/sec";

TEST(SnmpValueSource, RatesFromSuccessiveAnswers) {
    Remote r;
    const CounterHandle h = r.add(kReceived);
    EXPECT_EQ(r.read(h), std::make_pair(0.0, counter_status::NoData));
    r.tick();
    EXPECT_EQ(r.read(h), std::make_pair(0.0, counter_status::InvalidData));
    // The agent may have counted its first change at any time since the answer before.
    r.setOctets(2500);
    r.tick();
    EXPECT_EQ(r.read(h), std::make_pair(0.0, counter_status::InvalidData));
    r.setOctets(4000);
    r.tick();
    EXPECT_EQ(r.read(h).second, counter_status::Valid);
    // Once it changed at every answer, it counts as often as it is asked.
    r.setOctets(5000);
    r.tick();
    EXPECT_EQ(r.read(h), std::make_pair(1000.0, counter_status::Valid));
}

TEST(SnmpValueSource, RefusesWhatTheRemoteSourceCannotOffer) {
    Remote r;
    r.add("\\\\nas\\PhysicalDisk(_Total)\\Disk Bytes/sec", counter_status::NoObject);
    r.add("\\\\nas\\Memory\\Committed Bytes", counter_status::NoCounter);
    r.add("\\\\nas\\Processor(0)\\% User Time", counter_status::NoCounter);
    r.add("\\\\nas\\Nothing\\Bytes", counter_status::NoObject);
    r.add("\\\\bad name\\Memory\\Available Bytes", counter_status::NoMachine);
    r.add("\\\\nas\\Network Interface\\Bytes Sent/sec", counter_status::NoInstance);
    r.add("\\\\nas\\Memory\\Available Bytes", counter_status::Valid);
    // Once the agent answered without the memory objects, they are refused like unknown ones.
    r.tick();
    r.add("\\\\nas\\Memory\\Available Bytes", counter_status::NoCounter);
    r.agent->set(Scalar::MemSysAvail, 4, true);
    r.tick();
    const CounterHandle h = r.add("\\\\nas\\Memory\\Available Bytes");
    r.tick();
    EXPECT_EQ(r.read(h), std::make_pair(4096.0, counter_status::Valid));
}

TEST(SnmpValueSource, ASilentMachineReadsNoDataAndComesBackWithoutASpike) {
    Remote r;
    const CounterHandle h = r.add(kReceived);
    r.tick();
    r.setOctets(1000);
    r.tick();
    r.setOctets(2000);
    r.tick();
    r.setOctets(3000);
    r.tick();
    ASSERT_EQ(r.read(h), std::make_pair(1000.0, counter_status::Valid));

    r.agent->setMode(test::FakeAgent::Mode::NoAnswer);
    for (int i = 0; i < 3; ++i) {
        r.tick();
        EXPECT_EQ(r.read(h), std::make_pair(0.0, counter_status::NoData));
    }
    // While it was silent, its counters went on.
    r.setOctets(1'000'000'000);
    r.agent->setMode(test::FakeAgent::Mode::Answer);
    r.tick();
    EXPECT_EQ(r.read(h), std::make_pair(0.0, counter_status::InvalidData));
    r.setOctets(1'000'000'700);
    r.tick();
    EXPECT_EQ(r.read(h), std::make_pair(0.0, counter_status::InvalidData));
    r.setOctets(1'000'001'400);
    r.tick();
    r.setOctets(1'000'002'100);
    r.tick();
    EXPECT_EQ(r.read(h), std::make_pair(700.0, counter_status::Valid));
}

TEST(SnmpValueSource, ARestartedAgentStartsItsRatesAfresh) {
    Remote r;
    const CounterHandle h = r.add(kReceived);
    r.setOctets(5'000'000);
    r.tick();
    r.tick();
    r.agent->set(Scalar::SysUpTime, 50);
    r.setOctets(300);
    r.tick();
    EXPECT_EQ(r.read(h), std::make_pair(0.0, counter_status::InvalidData));
    r.agent->set(Scalar::SysUpTime, 150);
    r.setOctets(800);
    r.tick();
    r.agent->set(Scalar::SysUpTime, 250);
    r.setOctets(1300);
    r.tick();
    r.agent->set(Scalar::SysUpTime, 350);
    r.setOctets(1800);
    r.tick();
    EXPECT_EQ(r.read(h), std::make_pair(500.0, counter_status::Valid));
}

TEST(SnmpValueSource, CollectDoesNotWaitForAHangingMachine) {
    Remote r;
    const CounterHandle h = r.add(kReceived);
    r.agent->setMode(test::FakeAgent::Mode::Hang);
    // Each collection asks and returns; the one request stays in flight.
    for (int i = 0; i < 5; ++i) {
        *r.now += kSecond;
        EXPECT_EQ(r.source.collect(r.query), counter_status::Valid);
        EXPECT_EQ(r.read(h), std::make_pair(0.0, counter_status::NoData));
    }
    EXPECT_LE(r.agent->fetches(), 1);
    r.agent->setMode(test::FakeAgent::Mode::Answer);
}

TEST(SnmpValueSource, QueriesOfOneTickShareOneRequest) {
    Remote r;
    QueryHandle second = 0;
    r.source.openQuery(second);
    CounterHandle sent = 0;
    r.source.addCounter(second, "\\\\nas\\Network Interface(eth0)\\Bytes Sent/sec", sent);
    r.add(kReceived);
    r.tick();
    const int before = r.agent->fetches();
    for (int i = 0; i < 3; ++i) {
        r.tick();
        r.source.collect(second);
    }
    EXPECT_EQ(r.agent->fetches() - before, 3);
}

TEST(SnmpValueSource, QuitsWhileAMachineIsSilent) {
    auto r = std::make_unique<Remote>();
    r->add(kReceived);
    r->add("\\\\router\\Network Interface(eth0)\\Bytes Received/sec");
    r->agent->setMode(test::FakeAgent::Mode::Hang);
    r->source.collect(r->query);
    r.reset();  // must return, with the workers still waiting on the silent agent
}

}  // namespace
}  // namespace quorvel
