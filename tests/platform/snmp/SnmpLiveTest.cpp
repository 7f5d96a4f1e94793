#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "SnmpAgent.h"
#include "platform/linux/ProcFd.h"
#include "platform/linux/ProcValueSource.h"
#include "platform/linux/snmp/SnmpValueSource.h"

// Built twice: as SNMPv2c with a community, and as an SNMPv3 authPriv user. net-snmp
// reads its client configuration once per process.
#ifndef QUORVEL_SNMP_V3
#define QUORVEL_SNMP_V3 0
#endif

namespace quorvel {
namespace {

using namespace std::chrono_literals;
using State = snmp::MachineReading::State;

// net-snmp's agent reloads its interface table when a request comes more than about
// three seconds after the last load; readings this far apart are fresh.
constexpr auto kAgentRefresh = 3500ms;

class ClientConfig : public ::testing::Environment {
public:
    void SetUp() override { test::writeClientConfig(dir_.path(), QUORVEL_SNMP_V3 != 0); }

private:
    test::TempDir dir_;
};
// NOLINTNEXTLINE(cert-err58-cpp): registered before main, as gtest wants it
const auto* const kClientConfig = ::testing::AddGlobalTestEnvironment(new ClientConfig);

bool haveSnmpd() {
    return ::access(test::kSnmpd, X_OK) == 0;
}

// Asks until the agent answers (it takes a moment to start), at most a few times.
::testing::AssertionResult waitForAgent(SnmpValueSource& remote, const std::string& machine) {
    std::string problem;
    for (int i = 0; i < 20; ++i) {
        const auto reading = remote.refresh(machine, 0, 10s);
        if (reading && reading->state == State::Answering) {
            return ::testing::AssertionSuccess();
        }
        problem = reading ? reading->problem : "not a machine";
        std::this_thread::sleep_for(200ms);
    }
    return ::testing::AssertionFailure() << "the agent on " << machine << " does not answer: " << problem;
}

struct Pair {
    QueryHandle query = 0;
    std::vector<CounterHandle> counters;
};

Pair open(ValueSource& source, const std::vector<std::string>& paths) {
    Pair p;
    source.openQuery(p.query);
    for (const auto& path : paths) {
        CounterHandle h = 0;
        EXPECT_EQ(source.addCounter(p.query, path, h), counter_status::Valid) << path;
        p.counters.push_back(h);
    }
    return p;
}

std::pair<double, CounterStatus> read(ValueSource& source, CounterHandle h) {
    CounterStatus status = 0;
    const double value = source.readDouble(h, status);
    return {value, status};
}

std::size_t sendOverLoopback(std::size_t size, int count) {
    const ProcFd sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_in to{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof to;
    if (::bind(sock.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
        ::getsockname(sock.get(), reinterpret_cast<sockaddr*>(&to), &length) != 0) {
        return 0;
    }
    const std::vector<char> payload(size, 'q');
    std::size_t sent = 0;
    for (int i = 0; i < count; ++i) {
        const ssize_t n =
            ::sendto(sock.get(), payload.data(), size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return sent;
}

TEST(SnmpLive, AgreesWithTheLocalSourceOnLoopback) {
    if (!haveSnmpd()) {
        GTEST_SKIP() << "needs Debian's snmpd (scripts/install-deps)";
    }
    const test::PrivateLoopback loopback;
    ASSERT_TRUE(loopback.usable());
    const test::TempDir dir;
    test::SilentPort port;
    port.close();
    const test::SnmpAgent agent(dir.path(), port.port());
    ASSERT_TRUE(agent.started());
    const std::string machine = "127.0.0.1:" + std::to_string(port.port());
    const std::string prefix = "\\\\" + machine;

    SnmpValueSource remote;
    ProcValueSource local;
    const Pair r = open(remote, {prefix + "\\Network Interface(LO)\\Bytes Received/sec",
                                 prefix + "\\Network Interface(_Total)\\Bytes Received/sec",
                                 prefix + "\\Processor(_Total)\\% Processor Time", prefix + "\\Memory\\Available Bytes",
                                 prefix + "\\System\\Processes", prefix + "\\System\\System Up Time"});
    const Pair l = open(local, {"\\Network Interface(lo)\\Bytes Received/sec", "\\System\\System Up Time"});
    ASSERT_TRUE(waitForAgent(remote, machine));
    remote.collect(r.query);

    // Both sources collect at the same moments, the agent's tables fresh each time.
    const auto both = [&] {
        remote.refresh(machine, 0, 10s);
        remote.collect(r.query);
        local.collect(l.query);
    };
    // Two answers with changes before the one measured: the rate then knows that the agent
    // counts afresh at each of these requests.
    for (int i = 0; i < 2; ++i) {
        std::this_thread::sleep_for(kAgentRefresh);
        both();
    }
    const auto start = std::chrono::steady_clock::now();
    const std::size_t sent = sendOverLoopback(60000, 300);
    std::this_thread::sleep_until(start + kAgentRefresh);
    both();

    const auto [there, thereStatus] = read(remote, r.counters[0]);
    const auto [here, hereStatus] = read(local, l.counters[0]);
    ASSERT_EQ(thereStatus, counter_status::Valid);
    ASSERT_EQ(hereStatus, counter_status::Valid);
    EXPECT_GT(here * 4.0, static_cast<double>(sent)) << "the traffic did not show locally";
    EXPECT_NEAR(there, here, here * 0.03) << "sent " << sent << " bytes";
    RecordProperty("remote_rate", std::to_string(there));
    RecordProperty("local_rate", std::to_string(here));

    const double total = read(remote, r.counters[1]).first;
    EXPECT_GE(total, 0.0);
    const auto processor = read(remote, r.counters[2]);
    if (processor.second == counter_status::Valid) {
        EXPECT_GE(processor.first, 0.0);
        EXPECT_LE(processor.first, 100.0);
    }
    EXPECT_GT(read(remote, r.counters[3]).first, 1e6);
    EXPECT_GE(read(remote, r.counters[4]).first, 1.0);
    // The agent gives the machine's own up time, which the local source reads too.
    EXPECT_NEAR(read(remote, r.counters[5]).first, read(local, l.counters[1]).first, 30.0);
}

#if !QUORVEL_SNMP_V3
// The rate arithmetic is the same whatever the protocol version: once is enough.
// Sends about `rate` bytes a second over loopback to a socket that never reads, in
// small paced datagrams, until it goes.
class SteadySender {
public:
    explicit SteadySender(double rate) : rate_(rate), thread_([this] { run(); }) {}
    ~SteadySender() {
        stop_ = true;
        thread_.join();
    }
    SteadySender(const SteadySender&) = delete;
    SteadySender& operator=(const SteadySender&) = delete;
    void setRate(double rate) { rate_ = rate; }

private:
    void run() {
        const ProcFd sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        sockaddr_in to{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof to;
        if (::bind(sock.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
            ::getsockname(sock.get(), reinterpret_cast<sockaddr*>(&to), &length) != 0) {
            return;
        }
        const std::vector<char> payload(20000, 'q');
        auto last = std::chrono::steady_clock::now();
        double owed = 0.0;
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            const auto now = std::chrono::steady_clock::now();
            owed += rate_.load() * std::chrono::duration<double>(now - last).count();
            last = now;
            const auto datagrams = static_cast<int>(owed / static_cast<double>(payload.size()));
            owed -= datagrams * static_cast<double>(payload.size());
            for (int i = 0; i < datagrams; ++i) {
                (void)::sendto(sock.get(), payload.data(), payload.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                               sizeof to);
            }
        }
    }

    std::atomic<double> rate_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST(SnmpLive, ARemoteRateIsAsSteadyAsTheTraffic) {
    if (!haveSnmpd()) {
        GTEST_SKIP() << "needs Debian's snmpd (scripts/install-deps)";
    }
    const test::PrivateLoopback loopback;
    ASSERT_TRUE(loopback.usable());
    const test::TempDir dir;
    test::SilentPort port;
    port.close();
    const test::SnmpAgent agent(dir.path(), port.port());
    ASSERT_TRUE(agent.started());
    const std::string machine = "127.0.0.1:" + std::to_string(port.port());
    SnmpValueSource remote;
    ProcValueSource local;
    const Pair r = open(remote, {"\\\\" + machine + "\\Network Interface(lo)\\Bytes Received/sec"});
    const Pair l = open(local, {"\\Network Interface(lo)\\Bytes Received/sec"});
    ASSERT_TRUE(waitForAgent(remote, machine));

    // The gadget's own cycle, without waiting for the network: both sources collect on each
    // tick. The tick is not a divisor of the agent's 3 s, so that the ticks drift past its
    // refreshes as a user's timer does.
    constexpr auto kTick = 1200ms;
    SteadySender sender(3e6);
    const auto start = std::chrono::steady_clock::now();
    int ticks = 0;
    const auto tick = [&] {
        std::this_thread::sleep_until(start + ++ticks * kTick);
        remote.collect(r.query);
        local.collect(l.query);
        return std::make_pair(read(remote, r.counters[0]), read(local, l.counters[0]).first);
    };
    double worst = 0.0;
    while (std::chrono::steady_clock::now() < start + 18s) {
        const auto [there, here] = tick();
        if (std::chrono::steady_clock::now() - start >= 10s) {
            EXPECT_EQ(there.second, counter_status::Valid);
            EXPECT_NEAR(there.first, here, here * 0.10) << "tick " << ticks;
            worst = std::max(worst, std::abs(there.first - here) / here);
        }
    }
    RecordProperty("max_deviation_percent", std::to_string(worst * 100));

    // The traffic doubles just after a refresh of the agent showed (the remote reading
    // moved). The remote line is clearly up within one refresh and one tick, at the new
    // rate one refresh later, and never above the traffic.
    const double before = tick().first.first;
    for (int i = 0; i < 3 && tick().first.first == before; ++i) {
    }
    sender.setRate(6e6);
    const auto stepped = std::chrono::steady_clock::now();
    bool up = false;
    bool reached = false;
    while (!reached && std::chrono::steady_clock::now() < stepped + 2 * kAgentRefresh + kTick) {
        const auto [remoteRate, localRate] = tick();
        EXPECT_LE(remoteRate.first, 6e6 * 1.1) << "tick " << ticks;
        up = up ||
             (remoteRate.first > before * 1.1 && std::chrono::steady_clock::now() < stepped + kAgentRefresh + kTick);
        reached = std::abs(remoteRate.first - localRate) < localRate * 0.10;
    }
    EXPECT_TRUE(up) << "the remote line did not follow the step within one refresh and one tick";
    EXPECT_TRUE(reached) << "the remote line did not reach the new rate";
}

TEST(SnmpLive, ASilentMachineReadsNoDataUntilItsAgentStarts) {
    if (!haveSnmpd()) {
        GTEST_SKIP() << "needs Debian's snmpd (scripts/install-deps)";
    }
    const test::PrivateLoopback loopback;
    ASSERT_TRUE(loopback.usable());
    test::SilentPort port;
    const std::string machine = "127.0.0.1:" + std::to_string(port.port());
    SnmpValueSource remote;
    const Pair r = open(remote, {"\\\\" + machine + "\\Network Interface(lo)\\Bytes Received/sec",
                                 "\\\\" + machine + "\\System\\Processes"});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(remote.collect(r.query), counter_status::Valid);
        EXPECT_EQ(read(remote, r.counters[0]), std::make_pair(0.0, counter_status::NoData));
        EXPECT_EQ(read(remote, r.counters[1]), std::make_pair(0.0, counter_status::NoData));
    }
    const auto unanswered = remote.refresh(machine, 0, 10s);
    ASSERT_TRUE(unanswered);
    EXPECT_EQ(unanswered->state, State::Silent);
    remote.collect(r.query);
    EXPECT_EQ(read(remote, r.counters[0]), std::make_pair(0.0, counter_status::NoData));

    // Traffic while it was silent must not show as one burst when it comes back.
    sendOverLoopback(60000, 100);
    const test::TempDir dir;
    port.close();
    const test::SnmpAgent agent(dir.path(), port.port());
    ASSERT_TRUE(waitForAgent(remote, machine));
    remote.collect(r.query);
    EXPECT_EQ(read(remote, r.counters[0]), std::make_pair(0.0, counter_status::InvalidData));
    EXPECT_EQ(read(remote, r.counters[1]).second, counter_status::Valid);
    // A rate comes with the second change of the counters.
    for (int i = 0; i < 2; ++i) {
        std::this_thread::sleep_for(kAgentRefresh);
        remote.refresh(machine, 0, 10s);
        remote.collect(r.query);
    }
    const auto resumed = read(remote, r.counters[0]);
    EXPECT_EQ(resumed.second, counter_status::Valid);
    // What loopback carries in this test's few seconds, far below the burst.
    EXPECT_LT(resumed.first, 6e6 / 3.5);
}

TEST(SnmpLive, QuitsWithARequestInFlight) {
    test::SilentPort port;
    auto remote = std::make_unique<SnmpValueSource>();
    const Pair r = open(*remote, {"\\\\127.0.0.1:" + std::to_string(port.port()) + "\\System\\Processes"});
    remote->collect(r.query);
    std::this_thread::sleep_for(50ms);  // the worker is now waiting for the answer
    remote.reset();
}
#endif

}  // namespace
}  // namespace quorvel
