#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/ProcRows.h"

// Parsers of the kernel's text files. Each is a pure function of the text; lines that
// do not have the expected shape are skipped rather than guessed at.
namespace quorvel::proc {

struct NetDevRow {
    std::string name;
    std::uint64_t rxBytes = 0;
    std::uint64_t rxPackets = 0;
    std::uint64_t rxErrors = 0;
    std::uint64_t txBytes = 0;
    std::uint64_t txPackets = 0;
    std::uint64_t txErrors = 0;
};

// /proc/net/dev. Columns are found from the header line, so a kernel that adds or
// moves columns is read correctly. False when the header is missing or lacks a column.
bool parseNetDev(std::string_view text, ProcRows<NetDevRow>& rows);

struct CpuTimes {
    int index = -1;  // -1 for the line that sums every processor
    std::uint64_t user = 0;
    std::uint64_t nice = 0;
    std::uint64_t system = 0;
    std::uint64_t idle = 0;
    std::uint64_t iowait = 0;
    std::uint64_t irq = 0;
    std::uint64_t softirq = 0;
    std::uint64_t steal = 0;

    [[nodiscard]] std::uint64_t userTicks() const { return user + nice; }
    [[nodiscard]] std::uint64_t privilegedTicks() const { return system + irq + softirq; }
    [[nodiscard]] std::uint64_t idleTicks() const { return idle + iowait; }
    [[nodiscard]] std::uint64_t totalTicks() const { return userTicks() + privilegedTicks() + idleTicks() + steal; }
};

struct StatData {
    std::optional<CpuTimes> total;
    ProcRows<CpuTimes> cpus;
    std::optional<std::uint64_t> contextSwitches;
    std::optional<std::uint64_t> runnable;
};

// /proc/stat: the processor lines, "ctxt" and "procs_running".
void parseStat(std::string_view text, StatData& out);

struct MemInfo {
    std::optional<std::uint64_t> available;  // bytes, as every field here
    std::optional<std::uint64_t> cached;
    std::optional<std::uint64_t> buffers;
    std::optional<std::uint64_t> committed;
    std::optional<std::uint64_t> commitLimit;
};

// /proc/meminfo, whose sizes are in KiB.
void parseMeminfo(std::string_view text, MemInfo& out);

struct DiskRow {
    std::string name;
    std::uint64_t sectorsRead = 0;
    std::uint64_t sectorsWritten = 0;
};

// /proc/diskstats. Sectors are 512 bytes whatever the device's own sector size.
void parseDiskstats(std::string_view text, ProcRows<DiskRow>& rows);

// /proc/uptime: seconds since boot, to the hundredth, as centiseconds.
std::optional<std::uint64_t> parseUptime(std::string_view text);

// A sysfs attribute holding one integer, decimal or with a 0x prefix hexadecimal
// ("0x1091", "512", "-1").
std::optional<std::int64_t> parseSysfsInteger(std::string_view text);

}  // namespace quorvel::proc
