#include "platform/linux/snmp/SnmpObjects.h"

#include <array>

namespace quorvel::snmp {
namespace {

struct ColumnDef {
    Column column;
    unsigned need;
    Oid oid;
};

struct ScalarDef {
    Scalar scalar;
    unsigned need;
    Oid oid;
};

// ifTable, ifXTable, hrProcessorTable.
Oid ifEntry(std::uint32_t column) {
    return {1, 3, 6, 1, 2, 1, 2, 2, 1, column};
}
Oid ifXEntry(std::uint32_t column) {
    return {1, 3, 6, 1, 2, 1, 31, 1, 1, 1, column};
}
// The UCD system statistics and memory groups.
Oid ucd(std::uint32_t group, std::uint32_t object) {
    return {1, 3, 6, 1, 4, 1, 2021, group, object, 0};
}

const std::array<ColumnDef, kColumnCount>& columnDefs() {
    static const std::array<ColumnDef, kColumnCount> defs{{
        {Column::IfDescr, NeedInterfaces, ifEntry(2)},
        {Column::IfType, NeedInterfaces, ifEntry(3)},
        {Column::IfSpeed, NeedInterfaces, ifEntry(5)},
        {Column::IfOperStatus, NeedInterfaces, ifEntry(8)},
        {Column::IfInOctets, NeedInterfaces, ifEntry(10)},
        {Column::IfOutOctets, NeedInterfaces, ifEntry(16)},
        {Column::IfInUcast, NeedPackets, ifEntry(11)},
        {Column::IfInNUcast, NeedPackets, ifEntry(12)},
        {Column::IfOutUcast, NeedPackets, ifEntry(17)},
        {Column::IfOutNUcast, NeedPackets, ifEntry(18)},
        {Column::IfInErrors, NeedErrors, ifEntry(14)},
        {Column::IfOutErrors, NeedErrors, ifEntry(20)},
        {Column::IfName, NeedInterfaces, ifXEntry(1)},
        {Column::IfHCInOctets, NeedInterfaces, ifXEntry(6)},
        {Column::IfHCOutOctets, NeedInterfaces, ifXEntry(10)},
        {Column::IfHCInUcast, NeedPackets, ifXEntry(7)},
        {Column::IfHCInMulticast, NeedPackets, ifXEntry(8)},
        {Column::IfHCInBroadcast, NeedPackets, ifXEntry(9)},
        {Column::IfHCOutUcast, NeedPackets, ifXEntry(11)},
        {Column::IfHCOutMulticast, NeedPackets, ifXEntry(12)},
        {Column::IfHCOutBroadcast, NeedPackets, ifXEntry(13)},
        {Column::IfHighSpeed, NeedInterfaces, ifXEntry(15)},
        {Column::ProcessorLoad, NeedCpuLoads, {1, 3, 6, 1, 2, 1, 25, 3, 3, 1, 2}},
    }};
    return defs;
}

const std::array<ScalarDef, kScalarCount>& scalarDefs() {
    static const std::array<ScalarDef, kScalarCount> defs{{
        // Always asked for: when it goes backwards the agent restarted and its counters with it.
        {Scalar::SysUpTime, 0, {1, 3, 6, 1, 2, 1, 1, 3, 0}},
        {Scalar::HrSystemUptime, NeedSystem, {1, 3, 6, 1, 2, 1, 25, 1, 1, 0}},
        {Scalar::HrSystemProcesses, NeedSystem, {1, 3, 6, 1, 2, 1, 25, 1, 6, 0}},
        {Scalar::CpuUser, NeedCpuTicks, ucd(11, 50)},
        {Scalar::CpuNice, NeedCpuTicks, ucd(11, 51)},
        {Scalar::CpuSystem, NeedCpuTicks, ucd(11, 52)},
        {Scalar::CpuIdle, NeedCpuTicks, ucd(11, 53)},
        {Scalar::CpuWait, NeedCpuTicks, ucd(11, 54)},
        {Scalar::CpuInterrupt, NeedCpuTicks, ucd(11, 56)},
        {Scalar::CpuSoftIrq, NeedCpuTicks, ucd(11, 61)},
        {Scalar::CpuSteal, NeedCpuTicks, ucd(11, 64)},
        {Scalar::MemSysAvail, NeedMemory, ucd(4, 27)},
        {Scalar::MemAvailReal, NeedMemory, ucd(4, 6)},
        {Scalar::MemBuffer, NeedMemory, ucd(4, 14)},
        {Scalar::MemCached, NeedMemory, ucd(4, 15)},
    }};
    return defs;
}

}  // namespace

RequestPlan planFor(unsigned needs) {
    RequestPlan plan;
    plan.needs = needs;
    for (const ScalarDef& def : scalarDefs()) {
        if (def.need == 0 || (needs & def.need) != 0) {
            plan.scalars.push_back(def.scalar);
        }
    }
    for (const ColumnDef& def : columnDefs()) {
        if ((needs & def.need) != 0) {
            plan.columns.push_back(def.column);
        }
    }
    return plan;
}

SnmpRequest requestFor(const RequestPlan& plan, std::uint32_t expectedRows) {
    SnmpRequest request;
    request.expectedRows = expectedRows;
    for (const Scalar s : plan.scalars) {
        request.scalars.push_back(oidOf(s));
    }
    for (const Column c : plan.columns) {
        request.columns.push_back(oidOf(c));
    }
    return request;
}

Oid oidOf(Column column) {
    return columnDefs()[static_cast<std::size_t>(column)].oid;
}

Oid oidOf(Scalar scalar) {
    return scalarDefs()[static_cast<std::size_t>(scalar)].oid;
}

}  // namespace quorvel::snmp
