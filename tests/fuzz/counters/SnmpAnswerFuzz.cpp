#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/ProcCatalog.h"
#include "platform/linux/ProcRate.h"
#include "platform/linux/snmp/AgentTables.h"
#include "platform/linux/snmp/RefreshedRate.h"
#include "platform/linux/snmp/RemoteSampler.h"

// An agent may answer with anything: values of any type where counters belong, columns
// with rows missing, repeated or out of order, fewer or more objects than asked for, and
// counters that jump between answers. Two such answers go the way the worker and the
// source take them, for every counter and instance: nothing may crash or read out of bounds.
namespace {

using namespace quorvel;

snmp::SnmpAnswer answerTo(const snmp::SnmpRequest& request, FuzzedDataProvider& in) {
    const auto value = [&in] {
        snmp::SnmpValue v;
        v.present = in.ConsumeBool();
        v.wide = in.ConsumeBool();
        v.number = in.ConsumeIntegral<std::uint64_t>();
        v.text = in.ConsumeRandomLengthString(12);
        return v;
    };
    const auto count = [&in](std::size_t asked) {
        return in.ConsumeBool() ? asked : in.ConsumeIntegralInRange<std::size_t>(0, asked + 2);
    };
    snmp::SnmpAnswer answer;
    for (std::size_t i = count(request.scalars.size()); i > 0; --i) {
        answer.scalars.push_back(value());
    }
    for (std::size_t i = count(request.columns.size()); i > 0; --i) {
        auto& cells = answer.columns.emplace_back();
        for (std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, 5); n > 0; --n) {
            const auto index = in.ConsumeIntegralInRange<std::uint32_t>(0, 6);
            cells.push_back({in.ConsumeBool() ? index : in.ConsumeIntegral<std::uint32_t>(), value()});
        }
    }
    return answer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    using namespace snmp;
    const unsigned needs = in.ConsumeIntegral<unsigned>() & (NeedInterfaces | NeedPackets | NeedErrors | NeedCpuTicks |
                                                             NeedCpuLoads | NeedMemory | NeedSystem);
    const snmp::RequestPlan plan = snmp::planFor(needs);
    const snmp::SnmpRequest request = snmp::requestFor(plan, 16);
    const snmp::AgentTables first = snmp::decodeAnswer(plan, answerTo(request, in), nullptr, 0);
    const std::int64_t elapsed = in.ConsumeIntegral<std::int64_t>();
    const snmp::AgentTables second = snmp::decodeAnswer(plan, answerTo(request, in), &first, elapsed);
    (void)snmp::agentRestarted(first, second);
    for (const proc::ObjectDef& object : proc::objects()) {
        std::vector<std::string> names = snmp::remoteInstances(object.id, second);
        names.insert(names.end(), {"", "0", "1", std::string(proc::kTotalInstance)});
        for (const proc::CounterDef& def : object.counters) {
            for (const std::string& name : names) {
                const proc::InstanceRef instance{
                    name, name == proc::kTotalInstance,
                    name.size() == 1 && name[0] >= '0' && name[0] <= '9' ? name[0] - '0' : -1};
                // As the source does: only counters the agent's objects give, only from answers
                // to requests that asked for those objects.
                const unsigned wanted = snmp::needsOf(object.id, def.field, instance.total);
                if (wanted == 0 || (needs & wanted) != wanted) {
                    continue;
                }
                ProcRows<proc::KeyedSample> before;
                ProcRows<proc::KeyedSample> after;
                snmp::SampleKind kind;
                if (snmp::sampleRemote(object.id, def, instance, first, before, kind) != counter_status::Valid ||
                    snmp::sampleRemote(object.id, def, instance, second, after, kind) != counter_status::Valid) {
                    continue;
                }
                const proc::Increase increase = proc::sumIncreases(before.view(), after.view());
                snmp::RefreshedRate rate;
                (void)rate.add(0, 0, false);
                (void)rate.add(elapsed, increase.part, snmp::countsMoved(before.view(), after.view()));
                (void)proc::computeReading(kind.kind, kind.scale, before.view(), after.view(), elapsed);
            }
        }
    }
    return 0;
}
