#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ValueSource.h"
#include "platform/linux/ProcCatalog.h"
#include "platform/linux/ProcRows.h"
#include "platform/linux/ProcSampler.h"
#include "platform/linux/snmp/RefreshedRate.h"
#include "platform/linux/snmp/SnmpMachine.h"

namespace quorvel {

// The performance-data service for other machines, read from their SNMP agents. Paths
// have the form `\\machine\Object[(Instance)]\Counter` with the objects and counters of
// the local source that the agents' standard tables give. Each machine is polled by a
// worker of its own: a collection asks for a fresh answer and takes the latest one, so it
// never waits on the network. A machine that does not answer reads 0 with the status
// NoData; when it answers again, its rates start afresh.
class SnmpValueSource final : public ValueSource {
public:
    using TransportFactory = snmp::SnmpMachine::TransportFactory;
    using Clock = snmp::SnmpMachine::Clock;

    // An empty factory means net-snmp, configured by its own files; an empty clock
    // means CLOCK_MONOTONIC.
    explicit SnmpValueSource(TransportFactory factory = {}, Clock clock = {});
    ~SnmpValueSource() override;

    SnmpValueSource(const SnmpValueSource&) = delete;
    SnmpValueSource& operator=(const SnmpValueSource&) = delete;
    SnmpValueSource(SnmpValueSource&&) = delete;
    SnmpValueSource& operator=(SnmpValueSource&&) = delete;

    CounterStatus openQuery(QueryHandle& query) override;
    CounterStatus addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) override;
    CounterStatus collect(QueryHandle query) override;
    double readDouble(CounterHandle counter, CounterStatus& status) override;
    CounterStatus closeQuery(QueryHandle query) override;

    // For tools, which may wait: asks the machine for everything its counters need (or
    // for `needs` as well) and waits for the answer, at most `timeout`. Nothing for a
    // machine part that names no machine.
    std::shared_ptr<const snmp::MachineReading> refresh(std::string_view machine, unsigned needs,
                                                        std::chrono::milliseconds timeout);

    struct ObjectInfo {
        std::string name;
        std::vector<std::string> counters;
        bool hasInstances = false;
        std::vector<std::string> instances;
    };
    // What the machine's last answer offers (after a refresh with every need).
    static std::vector<ObjectInfo> describe(const snmp::MachineReading& reading);
    // Every object group a counter can need.
    static unsigned allNeeds();

private:
    struct Counter {
        QueryHandle query = 0;
        bool open = true;
        snmp::SnmpMachine* machine = nullptr;
        const proc::ObjectDef* object = nullptr;
        const proc::CounterDef* def = nullptr;
        proc::InstanceRef instance;
        unsigned needs = 0;
        proc::Reading reading{0.0, counter_status::NoData};
        ProcRows<proc::KeyedSample> previous;
        ProcRows<proc::KeyedSample> current;
        bool hasPrevious = false;
        std::int64_t previousTimeNs = 0;
        std::uint64_t epoch = 0;
        std::uint64_t sequence = 0;
        snmp::RefreshedRate rate;
    };
    struct Query {
        bool open = false;
        std::vector<CounterHandle> counters;
    };
    struct Machine {
        std::unique_ptr<snmp::SnmpMachine> worker;
        unsigned extraNeeds = 0;
    };

    Counter* counterFor(CounterHandle handle);
    Query* queryFor(QueryHandle handle);
    Machine& machineFor(const std::string& key, const std::string& peer);
    void updateNeeds(snmp::SnmpMachine* machine);
    void take(Counter& c, const snmp::MachineReading& r);

    TransportFactory factory_;
    Clock clock_;
    std::map<std::string, Machine> machines_;
    std::vector<Query> queries_;
    std::vector<std::unique_ptr<Counter>> counters_;
};

}  // namespace quorvel
