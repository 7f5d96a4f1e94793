#include "platform/linux/ProcCatalog.h"

#include <array>

#include "common/Text.h"

namespace quorvel::proc {
namespace {

using K = CounterKind;
using F = Field;

constexpr unsigned kNet = NeedNetDev;

constexpr std::array kRasTotal{
    CounterDef{"Bytes Transmitted/Sec", F::TxBytes, K::Rate, 1.0, kNet},
    CounterDef{"Bytes Received/Sec", F::RxBytes, K::Rate, 1.0, kNet},
    CounterDef{"Bytes Transmitted", F::TxBytes, K::Gauge, 1.0, kNet},
    CounterDef{"Bytes Received", F::RxBytes, K::Gauge, 1.0, kNet},
    CounterDef{"Frames Transmitted/Sec", F::TxPackets, K::Rate, 1.0, kNet},
    CounterDef{"Frames Received/Sec", F::RxPackets, K::Rate, 1.0, kNet},
    CounterDef{"Frames Transmitted", F::TxPackets, K::Gauge, 1.0, kNet},
    CounterDef{"Frames Received", F::RxPackets, K::Gauge, 1.0, kNet},
    CounterDef{"Total Errors", F::Errors, K::Gauge, 1.0, kNet},
    CounterDef{"Total Errors/Sec", F::Errors, K::Rate, 1.0, kNet},
    CounterDef{"Total Connections", F::Connections, K::Gauge, 1.0, kNet | NeedLinkState},
};

// A port is one link: everything of the total but the count of connections.
constexpr std::span<const CounterDef> kRasPort{kRasTotal.data(), kRasTotal.size() - 1};

constexpr std::array kNetworkInterface{
    CounterDef{"Bytes Sent/sec", F::TxBytes, K::Rate, 1.0, kNet},
    CounterDef{"Bytes Received/sec", F::RxBytes, K::Rate, 1.0, kNet},
    CounterDef{"Bytes Total/sec", F::TotalBytes, K::Rate, 1.0, kNet},
    CounterDef{"Packets Sent/sec", F::TxPackets, K::Rate, 1.0, kNet},
    CounterDef{"Packets Received/sec", F::RxPackets, K::Rate, 1.0, kNet},
    CounterDef{"Packets/sec", F::TotalPackets, K::Rate, 1.0, kNet},
    CounterDef{"Current Bandwidth", F::Bandwidth, K::Gauge, 1e6, kNet | NeedLinkSpeed},
};

constexpr std::array kProcessor{
    CounterDef{"% Processor Time", F::CpuBusy, K::TickPercent, 1.0, NeedStat},
    CounterDef{"% User Time", F::CpuUser, K::TickPercent, 1.0, NeedStat},
    CounterDef{"% Privileged Time", F::CpuPrivileged, K::TickPercent, 1.0, NeedStat},
    CounterDef{"% Idle Time", F::CpuIdle, K::TickPercent, 1.0, NeedStat},
};

constexpr std::array kMemory{
    CounterDef{"Available Bytes", F::MemAvailable, K::Gauge, 1.0, NeedMeminfo},
    CounterDef{"Committed Bytes", F::MemCommitted, K::Gauge, 1.0, NeedMeminfo},
    CounterDef{"Cache Bytes", F::MemCache, K::Gauge, 1.0, NeedMeminfo},
    CounterDef{"% Committed Bytes In Use", F::MemCommittedPercent, K::GaugePercent, 1.0, NeedMeminfo},
};

// /proc/diskstats counts 512-byte sectors.
constexpr std::array kPhysicalDisk{
    CounterDef{"Disk Read Bytes/sec", F::DiskRead, K::Rate, 512.0, NeedDiskstats},
    CounterDef{"Disk Write Bytes/sec", F::DiskWrite, K::Rate, 512.0, NeedDiskstats},
    CounterDef{"Disk Bytes/sec", F::DiskTotal, K::Rate, 512.0, NeedDiskstats},
};

constexpr std::array kSystem{
    CounterDef{"Processes", F::Processes, K::Gauge, 1.0, NeedProcesses},
    CounterDef{"Processor Queue Length", F::QueueLength, K::Gauge, 1.0, NeedStat},
    CounterDef{"Context Switches/sec", F::ContextSwitches, K::Rate, 1.0, NeedStat},
    CounterDef{"System Up Time", F::UpTime, K::Gauge, 0.01, NeedUptime},
};

constexpr std::array kObjects{
    ObjectDef{"RAS Total", ObjectId::RasTotal, false, kRasTotal},
    ObjectDef{"RAS Port", ObjectId::RasPort, true, kRasPort},
    ObjectDef{"Network Interface", ObjectId::NetworkInterface, true, kNetworkInterface},
    ObjectDef{"Processor", ObjectId::Processor, true, kProcessor},
    ObjectDef{"Memory", ObjectId::Memory, false, kMemory},
    ObjectDef{"PhysicalDisk", ObjectId::PhysicalDisk, true, kPhysicalDisk},
    ObjectDef{"System", ObjectId::System, false, kSystem},
};

}  // namespace

std::span<const ObjectDef> objects() {
    return kObjects;
}

const ObjectDef* findObject(std::string_view name) {
    for (const ObjectDef& object : kObjects) {
        if (text::equalsIgnoreCase(object.name, name)) {
            return &object;
        }
    }
    return nullptr;
}

const CounterDef* findCounter(const ObjectDef& object, std::string_view name) {
    for (const CounterDef& counter : object.counters) {
        if (text::equalsIgnoreCase(counter.name, name)) {
            return &counter;
        }
    }
    return nullptr;
}

}  // namespace quorvel::proc
