#pragma once

#include <span>
#include <string_view>

#include "platform/linux/ProcRate.h"

namespace quorvel::proc {

enum class ObjectId { RasTotal, RasPort, NetworkInterface, Processor, Memory, PhysicalDisk, System };

enum class Field {
    TxBytes,
    RxBytes,
    TotalBytes,
    TxPackets,
    RxPackets,
    TotalPackets,
    Errors,
    Connections,
    Bandwidth,
    CpuBusy,
    CpuUser,
    CpuPrivileged,
    CpuIdle,
    MemAvailable,
    MemCommitted,
    MemCache,
    MemCommittedPercent,
    DiskRead,
    DiskWrite,
    DiskTotal,
    Processes,
    QueueLength,
    ContextSwitches,
    UpTime,
};

// The kernel files a counter reads, as bits.
enum Need : unsigned {
    NeedNetDev = 1U << 0,
    NeedLinkState = 1U << 1,
    NeedLinkSpeed = 1U << 2,
    NeedStat = 1U << 3,
    NeedMeminfo = 1U << 4,
    NeedDiskstats = 1U << 5,
    NeedUptime = 1U << 6,
    NeedProcesses = 1U << 7,
};

struct CounterDef {
    std::string_view name;
    Field field;
    CounterKind kind;
    double scale;
    unsigned needs;
};

struct ObjectDef {
    std::string_view name;
    ObjectId id;
    bool hasInstances;
    std::span<const CounterDef> counters;
};

// Every object the source offers, in the order a listing shows them.
std::span<const ObjectDef> objects();

// Look-ups by name, without regard to letter case.
const ObjectDef* findObject(std::string_view name);
const CounterDef* findCounter(const ObjectDef& object, std::string_view name);

// The instance that stands for every instance of an object.
inline constexpr std::string_view kTotalInstance = "_Total";

}  // namespace quorvel::proc
