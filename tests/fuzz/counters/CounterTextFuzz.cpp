#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/CounterPath.h"
#include "platform/linux/ProcParsers.h"

// Counter paths come from a settings file and kernel files may hold anything an
// interface can be named: neither may crash or read out of bounds.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto parts = quorvel::parseCounterPath(text)) {
        const std::string_view whole = text;
        for (const std::string_view part : {parts->machine, parts->object, parts->instance, parts->counter}) {
            if (!part.empty() &&
                (part.data() < whole.data() || part.data() + part.size() > whole.data() + whole.size())) {
                __builtin_trap();
            }
        }
    }
    quorvel::ProcRows<quorvel::proc::NetDevRow> rows;
    (void)quorvel::proc::parseNetDev(text, rows);
    quorvel::proc::StatData stat;
    quorvel::proc::parseStat(text, stat);
    quorvel::proc::MemInfo mem;
    quorvel::proc::parseMeminfo(text, mem);
    quorvel::ProcRows<quorvel::proc::DiskRow> disks;
    quorvel::proc::parseDiskstats(text, disks);
    (void)quorvel::proc::parseUptime(text);
    (void)quorvel::proc::parseSysfsInteger(text);
    return 0;
}
