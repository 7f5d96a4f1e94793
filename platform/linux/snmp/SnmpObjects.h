#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/linux/snmp/SnmpTransport.h"

// The objects of the agents' standard tables that the remote source reads, by number
// (no MIB files needed), and what a collection asks for.
namespace quorvel::snmp {

// Table columns, indexed by interface or device number.
enum class Column : std::uint8_t {
    IfDescr,
    IfType,
    IfSpeed,
    IfOperStatus,
    IfInOctets,
    IfOutOctets,
    IfInUcast,
    IfInNUcast,
    IfOutUcast,
    IfOutNUcast,
    IfInErrors,
    IfOutErrors,
    IfName,
    IfHCInOctets,
    IfHCOutOctets,
    IfHCInUcast,
    IfHCInMulticast,
    IfHCInBroadcast,
    IfHCOutUcast,
    IfHCOutMulticast,
    IfHCOutBroadcast,
    IfHighSpeed,
    ProcessorLoad,
};
inline constexpr std::size_t kColumnCount = static_cast<std::size_t>(Column::ProcessorLoad) + 1;

// Single objects.
enum class Scalar : std::uint8_t {
    SysUpTime,
    HrSystemUptime,
    HrSystemProcesses,
    CpuUser,
    CpuNice,
    CpuSystem,
    CpuIdle,
    CpuWait,
    CpuInterrupt,
    CpuSoftIrq,
    CpuSteal,
    MemSysAvail,
    MemAvailReal,
    MemBuffer,
    MemCached,
};
inline constexpr std::size_t kScalarCount = static_cast<std::size_t>(Scalar::MemCached) + 1;

// Groups of objects that counters need, as bits.
enum Need : unsigned {
    NeedInterfaces = 1U << 0,
    NeedPackets = 1U << 1,
    NeedErrors = 1U << 2,
    NeedCpuTicks = 1U << 3,
    NeedCpuLoads = 1U << 4,
    NeedMemory = 1U << 5,
    NeedSystem = 1U << 6,
};

// Which objects a request holds, in the order they appear in it.
struct RequestPlan {
    unsigned needs = 0;
    std::vector<Scalar> scalars;
    std::vector<Column> columns;
};

RequestPlan planFor(unsigned needs);
SnmpRequest requestFor(const RequestPlan& plan, std::uint32_t expectedRows);
Oid oidOf(Column column);
Oid oidOf(Scalar scalar);

}  // namespace quorvel::snmp
