#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/ProcDirectory.h"
#include "platform/linux/ProcFile.h"
#include "platform/linux/ProcLink.h"
#include "platform/linux/ProcParsers.h"

namespace quorvel::proc {

// The kernel's figures as of one moment, read from a root directory. Several queries
// collected within the same short moment share one reading, so a tick that collects
// two queries reads each file once; a query never sees the same reading twice.
class ProcSnapshot {
public:
    explicit ProcSnapshot(int rootFd);

    // Brings the files named by `needs` (bits of Need) up to date for a query that last
    // used reading number `consumed`, and records the reading it now uses there.
    void refresh(unsigned needs, std::uint64_t& consumed, std::int64_t nowNs);

    // Bits of Need whose files were read successfully in the current reading.
    [[nodiscard]] unsigned available() const noexcept { return ok_; }
    [[nodiscard]] std::int64_t timeNs() const noexcept { return timeNs_; }

    [[nodiscard]] const ProcRows<NetDevRow>& netDev() const noexcept { return netDev_; }
    [[nodiscard]] const std::vector<std::unique_ptr<ProcLink>>& links() const noexcept { return links_; }
    [[nodiscard]] const ProcLink* link(const std::string& name) const;
    [[nodiscard]] const StatData& stat() const noexcept { return stat_; }
    [[nodiscard]] const MemInfo& memInfo() const noexcept { return memInfo_; }
    [[nodiscard]] const ProcRows<DiskRow>& disks() const noexcept { return disks_; }
    // A whole physical disk, not a partition or a virtual block device.
    [[nodiscard]] bool isPhysicalDisk(const std::string& name);
    [[nodiscard]] std::optional<std::uint64_t> uptimeCentiseconds() const noexcept { return uptime_; }
    [[nodiscard]] std::optional<std::size_t> processes() const noexcept { return processes_; }

    // Readings younger than this are shared with the next query that asks.
    static constexpr std::int64_t kShareWindowNs = 10'000'000;

private:
    bool readNetDev();
    void updateLinks();
    void readLinkStates();
    void readLinkSpeeds();

    int rootFd_;
    std::uint64_t generation_ = 0;
    unsigned attempted_ = 0;
    unsigned ok_ = 0;
    std::int64_t timeNs_ = 0;

    ProcFile netDevFile_;
    ProcFile statFile_;
    ProcFile memInfoFile_;
    ProcFile diskstatsFile_;
    ProcFile uptimeFile_;
    ProcDirectory procDir_;

    ProcRows<NetDevRow> netDev_;
    std::vector<std::unique_ptr<ProcLink>> links_;
    StatData stat_;
    MemInfo memInfo_;
    ProcRows<DiskRow> disks_;
    std::vector<std::pair<std::string, bool>> physicalDisks_;
    std::optional<std::uint64_t> uptime_;
    std::optional<std::size_t> processes_;
};

}  // namespace quorvel::proc
