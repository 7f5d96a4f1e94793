#include "platform/linux/ProcSampler.h"

#include <optional>

#include "common/Text.h"

namespace quorvel::proc {
namespace {

// An exact match wins; otherwise names match without regard to letter case.
template <class Rows, class NameOf>
std::optional<std::size_t> findInstance(const Rows& rows, const std::string& wanted, NameOf nameOf) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (nameOf(rows[i]) == wanted) {
            return i;
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (text::equalsIgnoreCase(nameOf(rows[i]), wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

void add(ProcRows<KeyedSample>& out, const std::string& key, std::uint64_t part, std::uint64_t whole = 0) {
    KeyedSample& s = out.append();
    s.key.assign(key);
    s.part = part;
    s.whole = whole;
}

std::uint64_t netField(Field field, const NetDevRow& row, const ProcLink* link) {
    switch (field) {
    case Field::TxBytes: return row.txBytes;
    case Field::RxBytes: return row.rxBytes;
    case Field::TotalBytes: return row.txBytes + row.rxBytes;
    case Field::TxPackets: return row.txPackets;
    case Field::RxPackets: return row.rxPackets;
    case Field::TotalPackets: return row.txPackets + row.rxPackets;
    case Field::Errors: return row.txErrors + row.rxErrors;
    case Field::Connections: return link != nullptr && link->connected ? 1 : 0;
    case Field::Bandwidth: return link != nullptr ? static_cast<std::uint64_t>(link->speedMbps) : 0;
    default: return 0;
    }
}

CounterStatus sampleNet(ObjectId object, Field field, const InstanceRef& instance, const ProcSnapshot& snapshot,
                        ProcRows<KeyedSample>& out) {
    const auto& rows = snapshot.netDev();
    const bool ras = object != ObjectId::NetworkInterface;
    const auto counted = [&](const ProcLink* link) {
        if (ras) {
            return link != nullptr && link->remoteAccess;
        }
        // The total of the network interfaces leaves loopback traffic out.
        return !instance.total || link == nullptr || !link->loopback;
    };
    if (object == ObjectId::RasTotal || instance.total) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ProcLink* link = snapshot.link(rows[i].name);
            if (counted(link)) {
                add(out, rows[i].name, netField(field, rows[i], link));
            }
        }
        return counter_status::Valid;
    }
    const auto index =
        findInstance(rows, instance.name, [](const NetDevRow& r) -> const std::string& { return r.name; });
    if (!index) {
        return counter_status::NoInstance;
    }
    const NetDevRow& row = rows[*index];
    const ProcLink* link = snapshot.link(row.name);
    if (!counted(link)) {
        return counter_status::NoInstance;
    }
    add(out, row.name, netField(field, row, link));
    return counter_status::Valid;
}

std::uint64_t cpuPart(Field field, const CpuTimes& t) {
    switch (field) {
    case Field::CpuBusy: return t.totalTicks() - t.idleTicks();
    case Field::CpuUser: return t.userTicks();
    case Field::CpuPrivileged: return t.privilegedTicks();
    default: return t.idleTicks();
    }
}

CounterStatus sampleProcessor(Field field, const InstanceRef& instance, const StatData& stat,
                              ProcRows<KeyedSample>& out) {
    if (instance.total) {
        if (!stat.total) {
            return counter_status::NoObject;
        }
        static const std::string kKey(kTotalInstance);
        add(out, kKey, cpuPart(field, *stat.total), stat.total->totalTicks());
        return counter_status::Valid;
    }
    for (std::size_t i = 0; i < stat.cpus.size(); ++i) {
        const CpuTimes& t = stat.cpus[i];
        if (t.index == instance.number) {
            add(out, instance.name, cpuPart(field, t), t.totalTicks());
            return counter_status::Valid;
        }
    }
    return counter_status::NoInstance;
}

CounterStatus sampleMemory(Field field, const MemInfo& mem, ProcRows<KeyedSample>& out) {
    static const std::string kKey = "memory";
    std::optional<std::uint64_t> part;
    std::uint64_t whole = 0;
    switch (field) {
    case Field::MemAvailable: part = mem.available; break;
    case Field::MemCommitted: part = mem.committed; break;
    case Field::MemCache:
        if (mem.cached) {
            part = *mem.cached + mem.buffers.value_or(0);
        }
        break;
    default:
        part = mem.committed;
        whole = mem.commitLimit.value_or(0);
        if (!mem.commitLimit) {
            part.reset();
        }
        break;
    }
    if (!part) {
        return counter_status::NoCounter;
    }
    add(out, kKey, *part, whole);
    return counter_status::Valid;
}

std::uint64_t diskField(Field field, const DiskRow& row) {
    switch (field) {
    case Field::DiskRead: return row.sectorsRead;
    case Field::DiskWrite: return row.sectorsWritten;
    default: return row.sectorsRead + row.sectorsWritten;
    }
}

CounterStatus sampleDisk(Field field, const InstanceRef& instance, ProcSnapshot& snapshot, ProcRows<KeyedSample>& out) {
    const auto& rows = snapshot.disks();
    if (instance.total) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (snapshot.isPhysicalDisk(rows[i].name)) {
                add(out, rows[i].name, diskField(field, rows[i]));
            }
        }
        return counter_status::Valid;
    }
    const auto index = findInstance(rows, instance.name, [](const DiskRow& r) -> const std::string& { return r.name; });
    if (!index) {
        return counter_status::NoInstance;
    }
    add(out, rows[*index].name, diskField(field, rows[*index]));
    return counter_status::Valid;
}

CounterStatus sampleSystem(Field field, const ProcSnapshot& snapshot, ProcRows<KeyedSample>& out) {
    static const std::string kKey = "system";
    std::optional<std::uint64_t> value;
    switch (field) {
    case Field::Processes:
        if (const auto n = snapshot.processes()) {
            value = *n;
        }
        break;
    case Field::QueueLength: value = snapshot.stat().runnable; break;
    case Field::ContextSwitches: value = snapshot.stat().contextSwitches; break;
    default: value = snapshot.uptimeCentiseconds(); break;
    }
    if (!value) {
        return counter_status::NoCounter;
    }
    add(out, kKey, *value);
    return counter_status::Valid;
}

}  // namespace

CounterStatus sampleCounter(ObjectId object, const CounterDef& counter, const InstanceRef& instance,
                            ProcSnapshot& snapshot, ProcRows<KeyedSample>& out) {
    out.clear();
    if ((snapshot.available() & counter.needs) != counter.needs) {
        return counter_status::NoObject;
    }
    switch (object) {
    case ObjectId::RasTotal:
    case ObjectId::RasPort:
    case ObjectId::NetworkInterface: return sampleNet(object, counter.field, instance, snapshot, out);
    case ObjectId::Processor: return sampleProcessor(counter.field, instance, snapshot.stat(), out);
    case ObjectId::Memory: return sampleMemory(counter.field, snapshot.memInfo(), out);
    case ObjectId::PhysicalDisk: return sampleDisk(counter.field, instance, snapshot, out);
    case ObjectId::System: return sampleSystem(counter.field, snapshot, out);
    }
    return counter_status::NoObject;
}

}  // namespace quorvel::proc
