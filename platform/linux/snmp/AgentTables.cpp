#include "platform/linux/snmp/AgentTables.h"

#include <algorithm>

namespace quorvel::snmp {
namespace {

constexpr std::uint64_t kWrap32 = 1ULL << 32;

bool isCounter(Column c) {
    switch (c) {
    case Column::IfDescr:
    case Column::IfType:
    case Column::IfSpeed:
    case Column::IfOperStatus:
    case Column::IfName:
    case Column::IfHighSpeed:
    case Column::ProcessorLoad: return false;
    default: return true;
    }
}

InterfaceRow& rowFor(std::vector<InterfaceRow>& rows, std::uint32_t index) {
    const auto at = std::lower_bound(rows.begin(), rows.end(), index,
                                     [](const InterfaceRow& r, std::uint32_t i) { return r.index < i; });
    if (at != rows.end() && at->index == index) {
        return *at;
    }
    InterfaceRow fresh;
    fresh.index = index;
    return *rows.insert(at, std::move(fresh));
}

const InterfaceRow* previousRow(const AgentTables* before, const InterfaceRow& row) {
    if (before == nullptr) {
        return nullptr;
    }
    for (const InterfaceRow& r : before->interfaces) {
        // An index that now names another interface starts afresh.
        if (r.index == row.index && r.name == row.name) {
            return &r;
        }
    }
    return nullptr;
}

}  // namespace

CounterCell carryCounter(const SnmpValue& value, const CounterCell* before, double maxIncrease) {
    CounterCell cell;
    if (!value.present) {
        return cell;
    }
    cell.present = true;
    cell.wide = value.wide;
    cell.raw = value.number;
    cell.total = value.number;
    if (before == nullptr || !before->present || before->wide != value.wide || value.wide) {
        // A 64-bit counter never wraps in practice: one that goes backwards was reset,
        // and the rate arithmetic counts that interval as nothing.
        return cell;
    }
    std::uint64_t increase =
        value.number >= before->raw ? value.number - before->raw : (value.number + kWrap32 - before->raw) % kWrap32;
    if (value.number < before->raw && maxIncrease > 0.0 && static_cast<double>(increase) > maxIncrease) {
        increase = 0;
    }
    cell.total = before->total + increase;
    return cell;
}

AgentTables decodeAnswer(const RequestPlan& plan, const SnmpAnswer& answer, const AgentTables* before,
                         std::int64_t elapsedNs) {
    AgentTables tables;
    tables.needs = plan.needs;
    for (std::size_t i = 0; i < plan.scalars.size() && i < answer.scalars.size(); ++i) {
        const auto at = static_cast<std::size_t>(plan.scalars[i]);
        tables.scalars[at] = carryCounter(answer.scalars[i], before ? &before->scalars[at] : nullptr, 0.0);
    }
    // First the descriptive columns, so that the counters know their row's name and speed.
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < plan.columns.size() && i < answer.columns.size(); ++i) {
            const Column column = plan.columns[i];
            if (column == Column::ProcessorLoad) {
                if (pass == 0) {
                    for (const SnmpCell& cell : answer.columns[i]) {
                        tables.processorLoads.push_back(std::min<std::uint64_t>(cell.value.number, 100));
                    }
                }
                continue;
            }
            if (isCounter(column) != (pass == 1)) {
                continue;
            }
            for (const SnmpCell& cell : answer.columns[i]) {
                if (!cell.value.present) {
                    continue;
                }
                InterfaceRow& row = rowFor(tables.interfaces, cell.index);
                const auto at = static_cast<std::size_t>(column);
                switch (column) {
                case Column::IfDescr: row.descr = cell.value.text; break;
                case Column::IfName: row.name = cell.value.text; break;
                case Column::IfType: row.type = static_cast<std::int64_t>(cell.value.number); break;
                case Column::IfOperStatus: row.up = cell.value.number == 1; break;
                case Column::IfSpeed:
                    row.speedBitsPerSecond = std::max(row.speedBitsPerSecond, cell.value.number);
                    break;
                case Column::IfHighSpeed:
                    // ifSpeed stops at 4294967295; ifHighSpeed counts whole megabits.
                    row.speedBitsPerSecond = std::max(row.speedBitsPerSecond, cell.value.number * 1'000'000);
                    break;
                default: {
                    const InterfaceRow* old = previousRow(before, row);
                    // Octets cannot grow faster than the link carries them; twice that allows for slack.
                    const double seconds = static_cast<double>(elapsedNs) / 1e9;
                    const double limit = static_cast<double>(row.speedBitsPerSecond) / 8.0 * seconds * 2.0;
                    row.cells[at] = carryCounter(cell.value, old ? &old->cells[at] : nullptr, limit);
                    break;
                }
                }
            }
        }
        for (InterfaceRow& row : tables.interfaces) {
            if (row.name.empty()) {
                row.name = row.descr;
            }
        }
    }
    return tables;
}

bool agentRestarted(const AgentTables& before, const AgentTables& after) {
    const CounterCell& a = before.scalar(Scalar::SysUpTime);
    const CounterCell& b = after.scalar(Scalar::SysUpTime);
    return a.present && b.present && b.raw < a.raw;
}

}  // namespace quorvel::snmp
