#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <sstream>
#include <thread>

#include "counters/clsPdh.h"
#include "platform/linux/RoutingValueSource.h"
#include "platform/linux/snmp/SnmpValueSource.h"
#include "support/FakeSnmpTransport.h"
#include "support/FakeValueSource.h"

namespace quorvel {
namespace {

using snmp::Column;
using snmp::Scalar;
using namespace std::chrono_literals;

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr const char* kReceived = "\\\\nas\\Network Interface(eth0)\\Bytes Received/sec";

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
    void tick() {
        *now += kSecond;
        source.refresh("nas", 0, 10s);
        source.collect(query);
    }
    // The reading as its value, or its status when it is not valid.
    std::string read(CounterHandle h) {
        CounterStatus status = 0;
        std::ostringstream text;
        text << source.readDouble(h, status);
        return status == counter_status::Valid         ? text.str()
               : status == counter_status::NoData      ? "nodata"
               : status == counter_status::InvalidData ? "invalid"
                                                       : "status " + std::to_string(status);
    }
};

TEST(SnmpValueSource, RatesOverSuccessiveAnswers) {
    // Each tick as "octets[/the agent's up time]=reading", "-" for a tick without an answer;
    // "*": valid, whatever the value. An up time that went backwards is a restarted agent.
    const std::pair<const char*, const char*> cases[] = {
        // The agent may have counted its first change at any time since the answer before;
        // once it changed at every answer, it counts as often as it is asked.
        {"rates from successive answers", "0=invalid 2500=invalid 4000=* 5000=1000"},
        // While it was silent, its counters went on: no spike when it comes back.
        {"a silent machine reads no data and comes back without a spike",
         "0=invalid 1000=invalid 2000=* 3000=1000 -=nodata -=nodata -=nodata 1000000000=invalid "
         "1000000700=invalid 1000001400=* 1000002100=700"},
        {"a restarted agent starts its rates afresh",
         "5000000=invalid 5000000=invalid 300/50=invalid 800/150=invalid 1300/250=* 1800/350=500"},
    };
    for (const auto& [what, ticks] : cases) {
        Remote r;
        const CounterHandle h = r.add(kReceived);
        EXPECT_EQ(r.read(h), "nodata") << what;
        std::istringstream words(ticks);
        for (std::string tick; words >> tick;) {
            const std::string expected = tick.substr(tick.find('=') + 1);
            r.agent->setMode(tick[0] == '-' ? test::FakeAgent::Mode::NoAnswer : test::FakeAgent::Mode::Answer);
            if (tick[0] != '-') {
                r.setOctets(std::stoull(tick));
                const std::size_t slash = tick.find('/');
                r.agent->set(Scalar::SysUpTime, slash < tick.find('=') ? std::stoull(tick.substr(slash + 1)) : 100);
            }
            r.tick();
            const std::string seen = r.read(h);
            EXPECT_TRUE(expected == "*" ? seen.find_first_not_of("0123456789.e+-") == std::string::npos
                                        : seen == expected)
                << what << ", " << tick << ": " << seen;
        }
    }
}

// The gadget's own tick: clsPdh through the router collects and reads, and never waits for
// the machine; the answer its collection asked for shows at a later tick, and the ticks
// after it keep asking.
TEST(SnmpValueSource, TheGadgetsTicksReadARemoteCounterWithoutARefresh) {
    Remote r;
    test::FakeValueSource local;
    RoutingValueSource router(local, r.source, "desk");
    clsPdh counter(router);
    counter.AddCounter("\\\\nas\\System\\Processes");
    for (const std::uint64_t processes : {42, 43}) {
        r.agent->set(Scalar::HrSystemProcesses, processes);
        double value = 0;
        for (const auto deadline = std::chrono::steady_clock::now() + 10s;
             value != static_cast<double>(processes) && std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(5ms)) {
            *r.now += kSecond / 10;
            counter.Collect();
            value = counter.GetValue();
        }
        EXPECT_EQ(value, static_cast<double>(processes));
    }
    EXPECT_EQ(counter.Status(), counter_status::Valid);
}

TEST(SnmpValueSource, RefusesWhatTheRemoteSourceCannotOffer) {
    Remote r;
    r.add("\\\\nas\\PhysicalDisk(_Total)\\Disk Bytes/sec", counter_status::NoObject);
    r.add("\\\\nas\\Memory\\Committed Bytes", counter_status::NoCounter);
    r.add("\\\\nas\\Nothing\\Bytes", counter_status::NoObject);
    r.add("\\\\bad name\\Memory\\Available Bytes", counter_status::NoMachine);
    r.add("\\\\nas\\Network Interface\\Bytes Sent/sec", counter_status::NoInstance);
    r.add("\\\\nas\\Memory\\Available Bytes", counter_status::Valid);
    r.add("\\\\nas\\Processor(0)\\% Processor Time", counter_status::Valid);  // one processor's load
    // Once the agent answered without the memory objects, they are refused like unknown ones.
    r.tick();
    r.add("\\\\nas\\Memory\\Available Bytes", counter_status::NoCounter);
    r.agent->set(Scalar::MemSysAvail, 4, true);
    r.tick();
    const CounterHandle h = r.add("\\\\nas\\Memory\\Available Bytes");
    r.tick();
    EXPECT_EQ(r.read(h), "4096");
}

TEST(SnmpValueSource, CollectDoesNotWaitForAHangingMachineNorDoesQuitting) {
    auto r = std::make_unique<Remote>();
    const CounterHandle h = r->add(kReceived);
    r->add("\\\\router\\Network Interface(eth0)\\Bytes Received/sec");
    r->agent->setMode(test::FakeAgent::Mode::Hang);
    // Each collection asks and returns; the one request stays in flight.
    for (int i = 0; i < 5; ++i) {
        *r->now += kSecond;
        EXPECT_EQ(r->source.collect(r->query), counter_status::Valid);
        EXPECT_EQ(r->read(h), "nodata");
    }
    EXPECT_LE(r->agent->fetches(), 2);
    r.reset();  // must return, with the workers still waiting on the silent agent
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
    std::this_thread::sleep_for(100ms);  // time for a request the collections might have started
    EXPECT_EQ(r.agent->fetches() - before, 3);
}

}  // namespace
}  // namespace quorvel
