#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/linux/CounterPath.h"
#include "platform/linux/ProcCatalog.h"
#include "platform/linux/ProcParsers.h"
#include "platform/linux/ProcValueSource.h"
#include "support/TempDir.h"

// Counter paths come from a settings file, and kernel files may hold anything an interface
// can be named: neither may crash or read out of bounds. The parsers get the whole input;
// then the local source reads a /proc and /sys tree whose files hold pieces of it, twice.
namespace {

using namespace quorvel;

constexpr const char* kFiles =
    "proc/net/dev proc/stat proc/meminfo proc/diskstats proc/uptime sys/class/net/ppp0/type "
    "sys/class/net/ppp0/flags sys/class/net/ppp0/carrier sys/class/net/eth0/type sys/class/net/eth0/flags "
    "sys/class/net/eth0/speed sys/block/sda/device/x";

// Removed when the run ends.
const testing::TempDir tree("quorvel-fuzz");

void writeTree(FuzzedDataProvider& in) {
    std::istringstream files(kFiles);
    for (std::string file; files >> file;) {
        const std::filesystem::path path = tree / file;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << in.ConsumeRandomLengthString(600);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto parts = parseCounterPath(text)) {
        for (const std::string_view part : {parts->machine, parts->object, parts->instance, parts->counter}) {
            if (!part.empty() && (part.data() < text.data() || part.data() + part.size() > text.data() + text.size())) {
                __builtin_trap();
            }
        }
    }
    ProcRows<proc::NetDevRow> rows;
    (void)proc::parseNetDev(text, rows);
    proc::StatData stat;
    proc::parseStat(text, stat);
    proc::MemInfo mem;
    proc::parseMeminfo(text, mem);
    ProcRows<proc::DiskRow> disks;
    proc::parseDiskstats(text, disks);
    (void)proc::parseUptime(text);
    (void)proc::parseSysfsInteger(text);

    FuzzedDataProvider in(data, size);
    writeTree(in);
    std::int64_t now = 0;
    ProcValueSource source(tree.str(), [&now] { return now += 1'000'000'000; });
    QueryHandle query = 0;
    source.openQuery(query);
    for (const proc::ObjectDef& object : proc::objects()) {
        for (const proc::CounterDef& counter : object.counters) {
            for (const char* instance : {"", "(_Total)", "(0)", "(eth0)", "(ppp0)", "(sda)", "(lo)"}) {
                CounterHandle handle = 0;
                (void)source.addCounter(
                    query, "\\" + std::string(object.name) + instance + "\\" + std::string(counter.name), handle);
            }
        }
    }
    source.collect(query);
    writeTree(in);
    source.collect(query);
    (void)source.describe();
    return 0;
}
