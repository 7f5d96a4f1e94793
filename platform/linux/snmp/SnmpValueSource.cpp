#include "platform/linux/snmp/SnmpValueSource.h"

#include <charconv>
#include <ctime>
#include <limits>

#include "common/Text.h"
#include "platform/linux/CounterPath.h"
#include "platform/linux/snmp/MachineAddress.h"
#include "platform/linux/snmp/NetSnmpTransport.h"
#include "platform/linux/snmp/RemoteSampler.h"

namespace quorvel {
namespace {

using snmp::MachineReading;

std::int64_t monotonicNow() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

int processorNumber(std::string_view name) {
    int number = -1;
    const auto [ptr, ec] = std::from_chars(name.data(), name.data() + name.size(), number);
    return (ec == std::errc{} && ptr == name.data() + name.size() && !name.empty()) ? number : -1;
}

bool totalAllowed(proc::ObjectId id) {
    return id == proc::ObjectId::NetworkInterface || id == proc::ObjectId::Processor;
}

}  // namespace

SnmpValueSource::SnmpValueSource(TransportFactory factory, Clock clock)
    : factory_(factory ? std::move(factory) : TransportFactory(snmp::makeNetSnmpTransport)),
      clock_(clock ? std::move(clock) : Clock(monotonicNow)) {}

SnmpValueSource::~SnmpValueSource() {
    // Every worker is told first, so that they all stop together.
    for (auto& [key, machine] : machines_) {
        machine.worker->requestStop();
    }
    const auto deadline = std::chrono::steady_clock::now() + snmp::SnmpMachine::kJoinWait;
    for (auto& [key, machine] : machines_) {
        machine.worker->waitStopped(deadline);
    }
}

SnmpValueSource::Query* SnmpValueSource::queryFor(QueryHandle handle) {
    if (handle == 0 || handle > queries_.size() || !queries_[handle - 1].open) {
        return nullptr;
    }
    return &queries_[handle - 1];
}

SnmpValueSource::Counter* SnmpValueSource::counterFor(CounterHandle handle) {
    if (handle == 0 || handle > counters_.size() || !counters_[handle - 1]->open) {
        return nullptr;
    }
    return counters_[handle - 1].get();
}

SnmpValueSource::Machine& SnmpValueSource::machineFor(const std::string& key, const std::string& peer) {
    Machine& machine = machines_[key];
    if (!machine.worker) {
        machine.worker = std::make_unique<snmp::SnmpMachine>(peer, factory_, clock_);
    }
    return machine;
}

void SnmpValueSource::updateNeeds(snmp::SnmpMachine* worker) {
    unsigned needs = 0;
    for (const auto& c : counters_) {
        if (c->open && c->machine == worker) {
            needs |= c->needs;
        }
    }
    for (auto& [key, machine] : machines_) {
        if (machine.worker.get() == worker) {
            worker->setNeeds(needs | machine.extraNeeds);
        }
    }
}

CounterStatus SnmpValueSource::openQuery(QueryHandle& query) {
    if (queries_.size() >= std::numeric_limits<QueryHandle>::max()) {
        return counter_status::InvalidHandle;
    }
    queries_.emplace_back().open = true;
    query = static_cast<QueryHandle>(queries_.size());
    return counter_status::Valid;
}

CounterStatus SnmpValueSource::addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) {
    Query* q = queryFor(query);
    if (q == nullptr || counters_.size() >= std::numeric_limits<CounterHandle>::max()) {
        return counter_status::InvalidHandle;
    }
    const auto parts = parseCounterPath(path);
    if (!parts) {
        return counter_status::BadCounterName;
    }
    const auto address = snmp::parseMachineAddress(parts->machine);
    if (!address) {
        return counter_status::NoMachine;
    }
    const proc::ObjectDef* object = proc::findObject(parts->object);
    if (object == nullptr || object->id == proc::ObjectId::PhysicalDisk) {
        return counter_status::NoObject;
    }
    const proc::CounterDef* def = proc::findCounter(*object, parts->counter);
    if (def == nullptr) {
        return counter_status::NoCounter;
    }
    if (object->hasInstances != parts->hasInstance || (parts->hasInstance && parts->instance.empty())) {
        return counter_status::NoInstance;
    }
    auto added = std::make_unique<Counter>();
    added->query = query;
    added->object = object;
    added->def = def;
    added->instance.name = std::string(parts->instance);
    added->instance.total = totalAllowed(object->id) && text::equalsIgnoreCase(parts->instance, proc::kTotalInstance);
    added->instance.number = processorNumber(parts->instance);
    added->needs = snmp::needsOf(object->id, def->field, added->instance.total);
    if (added->needs == 0) {
        return counter_status::NoCounter;
    }
    Machine& machine = machineFor(address->key(), address->peerName());
    // When the machine has answered for these objects already, a counter that its agent
    // lacks is refused now, like an unknown one.
    const auto known = machine.worker->latest();
    if (known->state == MachineReading::State::Answering && (known->tables.needs & added->needs) == added->needs) {
        snmp::SampleKind kind;
        if (snmp::sampleRemote(object->id, *def, added->instance, known->tables, added->current, kind) ==
            counter_status::NoCounter) {
            return counter_status::NoCounter;
        }
    }
    added->machine = machine.worker.get();
    counters_.push_back(std::move(added));
    counter = static_cast<CounterHandle>(counters_.size());
    q->counters.push_back(counter);
    updateNeeds(machine.worker.get());
    return counter_status::Valid;
}

void SnmpValueSource::take(Counter& c, const MachineReading& r) {
    if (r.state != MachineReading::State::Answering || (r.tables.needs & c.needs) != c.needs) {
        c.reading = {0.0, counter_status::NoData};
        c.hasPrevious = false;
        return;
    }
    if (r.sequence == c.sequence) {
        return;  // nothing new since the last collection: the reading stands
    }
    c.sequence = r.sequence;
    snmp::SampleKind kind;
    const CounterStatus status = snmp::sampleRemote(c.object->id, *c.def, c.instance, r.tables, c.current, kind);
    if (status != counter_status::Valid) {
        c.reading = {0.0, status};
        c.hasPrevious = false;
        return;
    }
    std::optional<std::span<const proc::KeyedSample>> before;
    if (c.hasPrevious && c.epoch == r.epoch) {
        before = c.previous.view();
    }
    if (kind.kind == proc::CounterKind::Rate) {
        // Every answer goes to the rate, which knows when the agent refreshed.
        if (!before) {
            c.rate.restart();
            c.reading = {0.0, counter_status::InvalidData};
        }
        const proc::Increase increase = before ? proc::sumIncreases(*before, c.current.view()) : proc::Increase{};
        const bool moved = before && snmp::countsMoved(*before, c.current.view());
        if (const auto rate = c.rate.add(r.timeNs, increase.part, moved); rate && before) {
            c.reading = {*rate * kind.scale, counter_status::Valid};
        }
    } else {
        const auto reading =
            proc::computeReading(kind.kind, kind.scale, before, c.current.view(), r.timeNs - c.previousTimeNs);
        if (!reading) {
            return;
        }
        c.reading = *reading;
    }
    c.previous.swap(c.current);
    c.previousTimeNs = r.timeNs;
    c.hasPrevious = true;
    c.epoch = r.epoch;
}

CounterStatus SnmpValueSource::collect(QueryHandle query) {
    Query* q = queryFor(query);
    if (q == nullptr) {
        return counter_status::InvalidHandle;
    }
    snmp::SnmpMachine* last = nullptr;
    std::shared_ptr<const MachineReading> reading;
    for (const CounterHandle handle : q->counters) {
        Counter& c = *counters_[handle - 1];
        if (c.machine != last) {
            last = c.machine;
            last->poll();
            reading = last->latest();
        }
        take(c, *reading);
    }
    return counter_status::Valid;
}

double SnmpValueSource::readDouble(CounterHandle counter, CounterStatus& status) {
    const Counter* c = counterFor(counter);
    if (c == nullptr) {
        status = counter_status::InvalidHandle;
        return 0.0;
    }
    status = c->reading.status;
    return c->reading.value;
}

CounterStatus SnmpValueSource::closeQuery(QueryHandle query) {
    Query* q = queryFor(query);
    if (q == nullptr) {
        return counter_status::InvalidHandle;
    }
    std::vector<snmp::SnmpMachine*> touched;
    for (const CounterHandle handle : q->counters) {
        // The handle stays taken, so that a stale one can never name a later counter.
        auto& slot = counters_[handle - 1];
        touched.push_back(slot->machine);
        auto closed = std::make_unique<Counter>();
        closed->open = false;
        slot = std::move(closed);
    }
    for (snmp::SnmpMachine* machine : touched) {
        updateNeeds(machine);
    }
    *q = Query{};
    return counter_status::Valid;
}

std::shared_ptr<const MachineReading> SnmpValueSource::refresh(std::string_view machine, unsigned needs,
                                                               std::chrono::milliseconds timeout) {
    const auto address = snmp::parseMachineAddress(machine);
    if (!address) {
        return nullptr;
    }
    Machine& m = machineFor(address->key(), address->peerName());
    m.extraNeeds |= needs;
    updateNeeds(m.worker.get());
    return m.worker->refresh(timeout);
}

unsigned SnmpValueSource::allNeeds() {
    using namespace snmp;
    return NeedInterfaces | NeedPackets | NeedErrors | NeedCpuTicks | NeedCpuLoads | NeedMemory | NeedSystem;
}

std::vector<SnmpValueSource::ObjectInfo> SnmpValueSource::describe(const MachineReading& reading) {
    std::vector<ObjectInfo> result;
    ProcRows<proc::KeyedSample> rows;
    for (const proc::ObjectDef& object : proc::objects()) {
        ObjectInfo info;
        info.name = std::string(object.name);
        info.hasInstances = object.hasInstances;
        info.instances = snmp::remoteInstances(object.id, reading.tables);
        proc::InstanceRef probe;
        probe.total = totalAllowed(object.id);
        probe.name = probe.total ? std::string(proc::kTotalInstance) : std::string();
        for (const proc::CounterDef& def : object.counters) {
            snmp::SampleKind kind;
            if (snmp::needsOf(object.id, def.field, probe.total) != 0 &&
                snmp::sampleRemote(object.id, def, probe, reading.tables, rows, kind) != counter_status::NoCounter) {
                info.counters.emplace_back(def.name);
            }
        }
        if (!info.counters.empty()) {
            result.push_back(std::move(info));
        }
    }
    return result;
}

}  // namespace quorvel
