#include "platform/linux/snmp/RemoteSampler.h"

#include <algorithm>
#include <optional>

#include "common/Text.h"

namespace quorvel::snmp {
namespace {

using proc::CounterKind;
using proc::Field;
using proc::KeyedSample;
using proc::ObjectId;

constexpr std::int64_t kSoftwareLoopback = 24;

void add(ProcRows<KeyedSample>& out, const std::string& key, std::uint64_t part, std::uint64_t whole = 0) {
    KeyedSample& s = out.append();
    s.key.assign(key);
    s.part = part;
    s.whole = whole;
}

const CounterCell& cell(const InterfaceRow& row, Column c) {
    return row.cells[static_cast<std::size_t>(c)];
}

// A sum of counters, and whether it came from the 64-bit ones: the two never compare.
struct Total {
    bool present = false;
    bool wide = false;
    std::uint64_t value = 0;
};

Total sumOf(const InterfaceRow& row, std::initializer_list<Column> wide, std::initializer_list<Column> narrow) {
    Total t;
    for (const auto* set : {&wide, &narrow}) {
        bool all = true;
        std::uint64_t sum = 0;
        for (const Column c : *set) {
            all = all && cell(row, c).present;
            sum += cell(row, c).total;
        }
        if (all) {
            return {true, set == &wide, sum};
        }
    }
    return t;
}

Total netTotal(Field field, const InterfaceRow& row) {
    using C = Column;
    switch (field) {
    case Field::TxBytes: return sumOf(row, {C::IfHCOutOctets}, {C::IfOutOctets});
    case Field::RxBytes: return sumOf(row, {C::IfHCInOctets}, {C::IfInOctets});
    case Field::TotalBytes: return sumOf(row, {C::IfHCOutOctets, C::IfHCInOctets}, {C::IfOutOctets, C::IfInOctets});
    case Field::TxPackets:
        return sumOf(row, {C::IfHCOutUcast, C::IfHCOutMulticast, C::IfHCOutBroadcast}, {C::IfOutUcast, C::IfOutNUcast});
    case Field::RxPackets:
        return sumOf(row, {C::IfHCInUcast, C::IfHCInMulticast, C::IfHCInBroadcast}, {C::IfInUcast, C::IfInNUcast});
    case Field::TotalPackets:
        return sumOf(row,
                     {C::IfHCOutUcast, C::IfHCOutMulticast, C::IfHCOutBroadcast, C::IfHCInUcast, C::IfHCInMulticast,
                      C::IfHCInBroadcast},
                     {C::IfOutUcast, C::IfOutNUcast, C::IfInUcast, C::IfInNUcast});
    case Field::Errors: return sumOf(row, {}, {C::IfInErrors, C::IfOutErrors});
    case Field::Connections: return {true, false, row.up ? 1U : 0U};
    case Field::Bandwidth: return {true, false, row.speedBitsPerSecond};
    default: return {};
    }
}

// A row's key: a counter of one interface never compares with another's, nor with
// the counter of other width of the same interface.
void addRow(ProcRows<KeyedSample>& out, const InterfaceRow& row, const Total& t) {
    std::string key = std::to_string(row.index);
    key += t.wide ? "/64/" : "/32/";
    key += row.name;
    add(out, key, t.value);
}

const InterfaceRow* findInterface(const AgentTables& tables, const std::string& wanted) {
    for (const auto exact : {true, false}) {
        for (std::string InterfaceRow::*which : {&InterfaceRow::name, &InterfaceRow::descr}) {
            for (const InterfaceRow& row : tables.interfaces) {
                const std::string& name = row.*which;
                if (exact ? name == wanted : text::equalsIgnoreCase(name, wanted)) {
                    return &row;
                }
            }
        }
    }
    return nullptr;
}

CounterStatus sampleNet(ObjectId object, Field field, const proc::InstanceRef& instance, const AgentTables& tables,
                        ProcRows<KeyedSample>& out) {
    const bool ras = object != ObjectId::NetworkInterface;
    const auto counted = [&](const InterfaceRow& row) {
        if (ras) {
            return isRemoteAccessType(row.type);
        }
        // The total of the network interfaces leaves loopback traffic out, as locally.
        return !instance.total || row.type != kSoftwareLoopback;
    };
    if (object == ObjectId::RasTotal || instance.total) {
        for (const InterfaceRow& row : tables.interfaces) {
            const Total t = netTotal(field, row);
            if (counted(row) && t.present) {
                addRow(out, row, t);
            }
        }
        return counter_status::Valid;
    }
    const InterfaceRow* row = findInterface(tables, instance.name);
    if (row == nullptr || !counted(*row)) {
        return counter_status::NoInstance;
    }
    const Total t = netTotal(field, *row);
    if (!t.present) {
        return counter_status::NoCounter;
    }
    addRow(out, *row, t);
    return counter_status::Valid;
}

CounterStatus sampleProcessor(Field field, const proc::InstanceRef& instance, const AgentTables& tables,
                              ProcRows<KeyedSample>& out, SampleKind& kind) {
    const auto tick = [&](Scalar s) { return tables.scalar(s).total; };
    if (instance.total && tables.scalar(Scalar::CpuIdle).present) {
        const std::uint64_t idle = tick(Scalar::CpuIdle) + tick(Scalar::CpuWait);
        const std::uint64_t user = tick(Scalar::CpuUser) + tick(Scalar::CpuNice);
        const std::uint64_t privileged =
            tick(Scalar::CpuSystem) + tick(Scalar::CpuInterrupt) + tick(Scalar::CpuSoftIrq);
        const std::uint64_t whole = idle + user + privileged + tick(Scalar::CpuSteal);
        std::uint64_t part = whole - idle;
        switch (field) {
        case Field::CpuUser: part = user; break;
        case Field::CpuPrivileged: part = privileged; break;
        case Field::CpuIdle: part = idle; break;
        default: break;
        }
        kind = {CounterKind::TickPercent, 1.0};
        add(out, "cpu", part, whole);
        return counter_status::Valid;
    }
    if (field != Field::CpuBusy && field != Field::CpuIdle) {
        return counter_status::NoCounter;
    }
    if (tables.processorLoads.empty()) {
        return counter_status::NoCounter;
    }
    // The agent's load is a percentage over its last minute: a gauge.
    kind = {CounterKind::GaugePercent, 1.0};
    for (std::size_t i = 0; i < tables.processorLoads.size(); ++i) {
        if (instance.total || static_cast<int>(i) == instance.number) {
            const std::uint64_t load = tables.processorLoads[i];
            add(out, std::to_string(i), field == Field::CpuIdle ? 100 - load : load, 100);
        }
    }
    return out.empty() ? counter_status::NoInstance : counter_status::Valid;
}

CounterStatus sampleMemory(const AgentTables& tables, ProcRows<KeyedSample>& out) {
    const auto kib = [&](Scalar s) { return tables.scalar(s).raw * 1024; };
    if (tables.scalar(Scalar::MemSysAvail).present) {
        add(out, "memory", kib(Scalar::MemSysAvail));
        return counter_status::Valid;
    }
    if (tables.scalar(Scalar::MemAvailReal).present) {
        // Older agents: free memory, and the buffers and cache that can be had back.
        add(out, "memory", kib(Scalar::MemAvailReal) + kib(Scalar::MemBuffer) + kib(Scalar::MemCached));
        return counter_status::Valid;
    }
    return counter_status::NoCounter;
}

CounterStatus sampleSystem(Field field, const AgentTables& tables, ProcRows<KeyedSample>& out) {
    std::optional<std::uint64_t> value;
    if (field == Field::Processes && tables.scalar(Scalar::HrSystemProcesses).present) {
        value = tables.scalar(Scalar::HrSystemProcesses).raw;
    } else if (field == Field::UpTime) {
        // The machine's up time; an agent without it at least knows its own.
        for (const Scalar s : {Scalar::HrSystemUptime, Scalar::SysUpTime}) {
            if (!value && tables.scalar(s).present) {
                value = tables.scalar(s).raw;
            }
        }
    }
    if (!value) {
        return counter_status::NoCounter;
    }
    add(out, "system", *value);
    return counter_status::Valid;
}

}  // namespace

unsigned needsOf(ObjectId object, Field field, bool total) {
    switch (object) {
    case ObjectId::RasTotal:
    case ObjectId::RasPort:
    case ObjectId::NetworkInterface:
        switch (field) {
        case Field::TxBytes:
        case Field::RxBytes:
        case Field::TotalBytes:
        case Field::Connections:
        case Field::Bandwidth: return NeedInterfaces;
        case Field::TxPackets:
        case Field::RxPackets:
        case Field::TotalPackets: return NeedInterfaces | NeedPackets;
        case Field::Errors: return NeedInterfaces | NeedErrors;
        default: return 0;
        }
    case ObjectId::Processor:
        if (total) {
            return field == Field::CpuBusy || field == Field::CpuIdle ? unsigned{NeedCpuTicks | NeedCpuLoads}
                                                                      : unsigned{NeedCpuTicks};
        }
        return field == Field::CpuBusy || field == Field::CpuIdle ? unsigned{NeedCpuLoads} : 0U;
    case ObjectId::Memory: return field == Field::MemAvailable ? unsigned{NeedMemory} : 0U;
    case ObjectId::System: return field == Field::Processes || field == Field::UpTime ? unsigned{NeedSystem} : 0U;
    case ObjectId::PhysicalDisk: return 0;
    }
    return 0;
}

CounterStatus sampleRemote(ObjectId object, const proc::CounterDef& counter, const proc::InstanceRef& instance,
                           const AgentTables& tables, ProcRows<KeyedSample>& out, SampleKind& kind) {
    out.clear();
    kind = {counter.kind, counter.scale};
    switch (object) {
    case ObjectId::RasTotal:
    case ObjectId::RasPort:
    case ObjectId::NetworkInterface:
        if (counter.field == Field::Bandwidth) {
            kind.scale = 1.0;  // the agent gives bits per second, not megabits
        }
        return sampleNet(object, counter.field, instance, tables, out);
    case ObjectId::Processor: return sampleProcessor(counter.field, instance, tables, out, kind);
    case ObjectId::Memory: return sampleMemory(tables, out);
    case ObjectId::System: return sampleSystem(counter.field, tables, out);
    case ObjectId::PhysicalDisk: break;
    }
    return counter_status::NoObject;
}

bool countsMoved(std::span<const KeyedSample> before, std::span<const KeyedSample> after) {
    return !std::equal(before.begin(), before.end(), after.begin(), after.end(),
                       [](const KeyedSample& a, const KeyedSample& b) { return a.key == b.key && a.part == b.part; });
}

bool isRemoteAccessType(std::int64_t type) {
    // propPointToPointSerial, ppp, slip, pppMultilinkBundle, tunnel.
    return type == 22 || type == 23 || type == 28 || type == 108 || type == 131;
}

std::vector<std::string> remoteInstances(ObjectId object, const AgentTables& tables) {
    std::vector<std::string> names;
    switch (object) {
    case ObjectId::NetworkInterface:
    case ObjectId::RasPort:
        if (object == ObjectId::NetworkInterface) {
            names.emplace_back(proc::kTotalInstance);
        }
        for (const InterfaceRow& row : tables.interfaces) {
            if (object == ObjectId::NetworkInterface || isRemoteAccessType(row.type)) {
                names.push_back(row.name);
            }
        }
        break;
    case ObjectId::Processor:
        names.emplace_back(proc::kTotalInstance);
        for (std::size_t i = 0; i < tables.processorLoads.size(); ++i) {
            names.push_back(std::to_string(i));
        }
        break;
    default: break;
    }
    return names;
}

}  // namespace quorvel::snmp
