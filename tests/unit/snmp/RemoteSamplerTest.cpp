#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/ProcCatalog.h"
#include "platform/linux/snmp/RefreshedRate.h"
#include "platform/linux/snmp/RemoteSampler.h"
#include "platform/linux/snmp/SnmpValueSource.h"
#include "support/FakeSnmpTransport.h"

namespace quorvel::snmp {
namespace {

using C = Column;
constexpr std::uint64_t k32 = 1ULL << 32;

// One interface as an agent lists it: "index name type received", then "32" for an agent
// without the 64-bit counters or "speed=bits/s". A name "=descr" stands for an agent that
// has no ifName but the description.
void put(test::FakeAgent& agent, const std::string& row) {
    std::istringstream words(row);
    std::uint32_t index = 0;
    std::string name;
    std::uint64_t type = 0;
    std::uint64_t in = 0;
    std::uint64_t speed = 100'000'000;
    bool wide = true;
    words >> index >> name >> type >> in;
    for (std::string word; words >> word;) {
        wide = wide && word != "32";
        speed = word.starts_with("speed=") ? std::stoull(word.substr(6)) : speed;
    }
    agent.setText(C::IfDescr, index, name[0] == '=' ? name.substr(1) : "Interface");
    if (name[0] != '=') {
        agent.setText(C::IfName, index, name);
    }
    agent.setCell(C::IfType, index, type);
    agent.setCell(C::IfSpeed, index, speed);
    agent.setCell(C::IfOperStatus, index, 1);
    agent.setCell(C::IfInOctets, index, in % k32);
    agent.setCell(C::IfOutOctets, index, 0);
    if (wide) {
        agent.setCell(C::IfHCInOctets, index, in, true);
        agent.setCell(C::IfHCOutOctets, index, 0, true);
    }
}

// Decodes the fake agent's answers in turn, as the worker does, one second apart.
struct Agent {
    std::shared_ptr<test::FakeAgent> fake = std::make_shared<test::FakeAgent>();
    RequestPlan plan = planFor(SnmpValueSource::allNeeds());
    AgentTables tables;
    bool first = true;

    const AgentTables& answer() {
        const StopSignal stop;
        const FetchResult r = fake->fetch(requestFor(plan, 16), stop);
        tables = decodeAnswer(plan, r.answer, first ? nullptr : &tables, 1'000'000'000);
        first = false;
        return tables;
    }
};

struct Read {
    CounterStatus status;
    double value;
};

// Reads `path` over two answers of `agent`, `between` changing the agent one second on.
template <class Change>
Read rateOver(Agent& agent, const char* object, const char* counter, const char* instance, Change between) {
    const proc::ObjectDef* o = proc::findObject(object);
    const proc::CounterDef* d = proc::findCounter(*o, counter);
    proc::InstanceRef ref{instance, std::string_view(instance) == "_Total", instance[0] - '0'};
    ProcRows<proc::KeyedSample> before;
    ProcRows<proc::KeyedSample> after;
    SampleKind kind;
    const CounterStatus first = sampleRemote(o->id, *d, ref, agent.answer(), before, kind);
    between();
    const CounterStatus second = sampleRemote(o->id, *d, ref, agent.answer(), after, kind);
    if (first != counter_status::Valid || second != counter_status::Valid) {
        return {second != counter_status::Valid ? second : first, 0.0};
    }
    const auto reading =
        proc::computeReading(kind.kind, kind.scale, std::span(before.view()), after.view(), 1'000'000'000);
    return {reading->status, reading->value};
}

TEST(RemoteSampler, PointToPointInterfacesAreTheRemoteAccessOnes) {
    const std::pair<int, bool> cases[] = {{23, true}, {131, true}, {22, true}, {28, true},
                                          {6, false}, {24, false}, {71, false}};
    for (const auto& [code, remoteAccess] : cases) {
        const std::string type = std::to_string(code);
        Agent a;
        put(*a.fake, "1 eth0 6 0");
        put(*a.fake, "2 link " + type + " 1000");
        const Read total = rateOver(a, "RAS Total", "Bytes Received/Sec", "", [&] {
            put(*a.fake, "1 eth0 6 9000");
            put(*a.fake, "2 link " + type + " 1500");
        });
        EXPECT_EQ(total.value, remoteAccess ? 500.0 : 0.0) << "type " << type;
        const Read port = rateOver(a, "RAS Port", "Bytes Received/Sec", "LINK", [] {});
        EXPECT_EQ(port.status, remoteAccess ? counter_status::Valid : counter_status::NoInstance) << type;
    }
}

TEST(RemoteSampler, CountersCarryOnAcrossWrapsAndResets) {
    struct Case {
        const char* what;
        SnmpValue before;
        SnmpValue after;
        double maxIncrease;
        std::optional<std::uint64_t> total;  // the second's; nullopt: absent
    };
    const auto n32 = [](std::uint64_t v) { return SnmpValue{true, false, v, {}}; };
    const auto n64 = [](std::uint64_t v) { return SnmpValue{true, true, v, {}}; };
    const Case cases[] = {
        {"32-bit step", n32(100), n32(350), 0, 350},
        {"32-bit wrap", n32(k32 - 100), n32(50), 0, k32 + 50},
        {"32-bit wrap within the link's reach", n32(k32 - 100), n32(50), 1000, k32 + 50},
        {"32-bit drop beyond the link's reach is a reset", n32(3'000'000'000), n32(50), 1000, 3'000'000'000},
        {"64-bit step", n64(1'000'000'000'000), n64(1'000'000'000'500), 0, 1'000'000'000'500},
        // A 64-bit counter that went backwards was reset: its total follows, and the rate
        // arithmetic counts that interval as nothing. One that changed width starts afresh.
        {"64-bit reset", n64(5000), n64(10), 0, 10},
        {"width changed", n64(5000), n32(10), 0, 10},
        {"gone", n64(5000), SnmpValue{}, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        const CounterCell first = carryCounter(c.before, nullptr, 0);
        const CounterCell second = carryCounter(c.after, &first, c.maxIncrease);
        EXPECT_EQ(second.present ? std::optional(second.total) : std::nullopt, c.total) << c.what;
    }
}

// Each row: "instance | interfaces before; ... | interfaces a second on; ... | bytes received
// a second, or 'no instance'".
std::vector<std::string> split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, by);) {
        parts.push_back(part.substr(part.find_first_not_of(' ')));
    }
    return parts;
}

TEST(RemoteSampler, InterfaceRatesFromTheTables) {
    const char* const rows[] = {
        "eth0 | 2 eth0 6 5000000000000 | 2 eth0 6 5000000004000 | 4000",
        "eth0 | 2 eth0 6 4294966296 32 | 2 eth0 6 4294970296 32 | 4000",  // only 32-bit counters, wrapping
        "eth0 | 2 eth0 6 5000000000000 | 2 eth0 6 5000000004000 32 | 0",  // 64-bit counters vanish: no spike
        "eth0 | 2 eth0 6 1000 32 | 2 eth0 6 5000000000000 | 0",           // 64-bit counters appear: no spike
        "ETH0 | 2 eth0 6 0 | 2 eth0 6 700 | 700",                         // the name without regard to case
        "Intel | 2 =Intel 6 0 | 2 =Intel 6 700 | 700",                    // the description where there is no name
        "eth0 | 2 eth0 6 0 | 2 wan0 6 700 | no instance",                 // gone under its old name
        "_Total | 1 lo 24 0; 2 eth0 6 0; 3 ppp0 23 0 | 1 lo 24 9000; 2 eth0 6 300; 3 ppp0 23 200 | 500",
        "_Total | 2 eth0 6 0; 3 eth1 6 0 | 2 wan0 6 5000000000000; 3 eth1 6 100 | 100",  // renamed: nothing
        "_Total | 2 eth0 6 0; 3 eth1 6 0 | 3 eth1 6 100 | 100",                          // vanished
    };
    for (const std::string row : rows) {
        const std::vector<std::string> parts = split(row, '|');
        Agent a;
        for (const std::string& i : split(parts[1], ';')) {
            put(*a.fake, i);
        }
        const Read r =
            rateOver(a, "Network Interface", "Bytes Received/sec", parts[0].substr(0, parts[0].find(' ')).c_str(), [&] {
                for (const std::string& i : split(parts[1], ';')) {
                    a.fake->removeRow(static_cast<std::uint32_t>(std::stoul(i)));
                }
                for (const std::string& i : split(parts[2], ';')) {
                    put(*a.fake, i);
                }
            });
        EXPECT_EQ(r.status == counter_status::NoInstance ? "no instance"
                  : r.status == counter_status::Valid    ? std::to_string(static_cast<long>(r.value))
                                                         : "?",
                  parts[3])
            << row;
    }
    // The bandwidth prefers the high-speed column.
    Agent a;
    put(*a.fake, "2 eth0 6 0 speed=4294967295");
    a.fake->setCell(C::IfHighSpeed, 2, 10'000);
    EXPECT_EQ(rateOver(a, "Network Interface", "Current Bandwidth", "eth0", [] {}).value, 10e9);
    Agent slow;
    put(*slow.fake, "2 eth0 6 0 speed=1544000");
    EXPECT_EQ(rateOver(slow, "Network Interface", "Current Bandwidth", "eth0", [] {}).value, 1'544'000.0);
}

TEST(RemoteSampler, ProcessorMemoryAndSystem) {
    struct Case {
        const char* what;
        const char* object;
        const char* counter;
        const char* instance;
        std::function<void(test::FakeAgent&, int)> agent;  // the agent at answer 0 and 1
        CounterStatus status;
        double value;
    };
    const auto ticks = [](test::FakeAgent& f, int n) {
        f.set(Scalar::CpuUser, 1000 + 30 * n);
        f.set(Scalar::CpuSystem, 500 + 10 * n);
        f.set(Scalar::CpuIdle, 9000 + 50 * n);
        f.set(Scalar::CpuWait, 100 + 10 * n);
    };
    const auto loads = [](test::FakeAgent& f, int) {
        f.setCell(C::ProcessorLoad, 196608, 20);
        f.setCell(C::ProcessorLoad, 196609, 60);
    };
    const Case cases[] = {
        {"total from the agent's ticks", "Processor", "% Processor Time", "_Total", ticks, counter_status::Valid, 40},
        {"idle from the agent's ticks", "Processor", "% Idle Time", "_Total", ticks, counter_status::Valid, 60},
        {"total from the processor loads", "Processor", "% Processor Time", "_Total", loads, counter_status::Valid, 40},
        {"one processor's load", "Processor", "% Processor Time", "1", loads, counter_status::Valid, 60},
        {"a processor that is not there", "Processor", "% Processor Time", "2", loads, counter_status::NoInstance, 0},
        {"no processor objects at all", "Processor", "% Processor Time", "_Total", [](auto&, int) {},
         counter_status::NoCounter, 0},
        {"available memory", "Memory", "Available Bytes", "",
         [](auto& f, int) { f.set(Scalar::MemSysAvail, 2048, true); }, counter_status::Valid, 2048 * 1024},
        {"available memory of an older agent", "Memory", "Available Bytes", "",
         [](auto& f, int) {
             f.set(Scalar::MemAvailReal, 1000);
             f.set(Scalar::MemBuffer, 20);
             f.set(Scalar::MemCached, 3);
         },
         counter_status::Valid, 1023 * 1024},
        {"no memory objects", "Memory", "Available Bytes", "", [](auto&, int) {}, counter_status::NoCounter, 0},
        {"processes", "System", "Processes", "", [](auto& f, int) { f.set(Scalar::HrSystemProcesses, 42); },
         counter_status::Valid, 42},
        {"the machine's up time", "System", "System Up Time", "",
         [](auto& f, int) {
             f.set(Scalar::SysUpTime, 100);
             f.set(Scalar::HrSystemUptime, 123456);
         },
         counter_status::Valid, 1234.56},
        {"the agent's up time where the machine's is missing", "System", "System Up Time", "",
         [](auto& f, int) { f.set(Scalar::SysUpTime, 500); }, counter_status::Valid, 5},
    };
    for (const Case& c : cases) {
        Agent a;
        c.agent(*a.fake, 0);
        const Read r = rateOver(a, c.object, c.counter, c.instance, [&] { c.agent(*a.fake, 1); });
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_NEAR(r.value, c.value, 1e-9) << c.what;
    }
}

TEST(RemoteSampler, ARefreshedRateStartsAndStops) {
    // The answers as "seconds:increase", with '+' where a contributor moved; then what the
    // last answer gives ("-": nothing).
    const char* const rows[] = {
        "1 = -",                                          // the first answer gives nothing
        "1 2:900+ = -",                                   // nor does the first change
        "1 2:900+ 3.5:600+ 4:300+ = 600",                 // changes twice in a row count over the time between them
        "1 2:900+ 3 4:900+ 5:900+ = 600",                 // one answer just after a refresh, one just before: 1 to 2 s
        "1 2:900+ 3 4:900+ = 300",                        // one refresh counts up to its longest
        "1 2:900+ 3 4 5:900+ 6 7 8:900+ 8.5:900+ = 600",  // too soon for the period before: starts anew
        "1 2:900+ 3 4:900+ 5 6 = -",                      // a still counter waits for the agent's refresh
        "1 2:900+ 3 4:900+ 5 10 = 0",                     // and reads 0 once it stood still for longer than that
        "1 2:900+ 3 4:0+ = 0",                            // a counter that went backwards counted nothing
        "1 2:900+ 2:900+ = -",                            // answers out of time order are left out
    };
    for (const std::string row : rows) {
        RefreshedRate rate;
        std::optional<double> last;
        std::istringstream words(row);
        for (std::string w; words >> w && w != "=";) {
            const std::uint64_t increase =
                w.find(':') == std::string::npos ? 0 : std::stoull(w.substr(w.find(':') + 1));
            last = rate.add(static_cast<std::int64_t>(std::stod(w) * 1e9), increase, w.back() == '+');
        }
        std::ostringstream seen;
        seen << "= " << (last ? std::to_string(std::lround(*last * 1e6) / 1'000'000) : "-");
        EXPECT_EQ(seen.str(), row.substr(row.find('='))) << row;
    }
}

}  // namespace
}  // namespace quorvel::snmp
