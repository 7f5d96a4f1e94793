#include "platform/linux/ProcSnapshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "platform/linux/ProcCatalog.h"

namespace quorvel::proc {
namespace {

// From <linux/if.h> and <linux/if_arp.h>; only these bits are needed.
constexpr std::int64_t kIffUp = 0x1;
constexpr std::int64_t kIffLoopback = 0x8;
constexpr std::int64_t kIffPointToPoint = 0x10;
constexpr std::int64_t kArphrdPpp = 512;
constexpr std::int64_t kArphrdLoopback = 772;

std::optional<std::int64_t> readInteger(ProcFile& file) {
    const auto text = file.read();
    return text ? parseSysfsInteger(*text) : std::nullopt;
}

}  // namespace

ProcSnapshot::ProcSnapshot(int rootFd)
    : rootFd_(rootFd),
      netDevFile_(rootFd, "proc/net/dev"),
      statFile_(rootFd, "proc/stat"),
      memInfoFile_(rootFd, "proc/meminfo"),
      diskstatsFile_(rootFd, "proc/diskstats"),
      uptimeFile_(rootFd, "proc/uptime"),
      procDir_(rootFd, "proc") {}

void ProcSnapshot::refresh(unsigned needs, std::uint64_t& consumed, std::int64_t nowNs) {
    if (generation_ > consumed && (needs & ~attempted_) == 0 && nowNs - timeNs_ < kShareWindowNs && nowNs >= timeNs_) {
        consumed = generation_;
        return;
    }
    attempted_ = needs;
    ok_ = 0;
    timeNs_ = nowNs;
    consumed = ++generation_;
    if ((needs & (NeedNetDev | NeedLinkState | NeedLinkSpeed)) != 0 && readNetDev()) {
        ok_ |= NeedNetDev;
        updateLinks();
        if ((needs & NeedLinkState) != 0) {
            readLinkStates();
            ok_ |= NeedLinkState;
        }
        if ((needs & NeedLinkSpeed) != 0) {
            readLinkSpeeds();
            ok_ |= NeedLinkSpeed;
        }
    }
    if ((needs & NeedStat) != 0) {
        if (const auto text = statFile_.read()) {
            parseStat(*text, stat_);
            ok_ |= NeedStat;
        }
    }
    if ((needs & NeedMeminfo) != 0) {
        if (const auto text = memInfoFile_.read()) {
            parseMeminfo(*text, memInfo_);
            ok_ |= NeedMeminfo;
        }
    }
    if ((needs & NeedDiskstats) != 0) {
        if (const auto text = diskstatsFile_.read()) {
            parseDiskstats(*text, disks_);
            ok_ |= NeedDiskstats;
        }
    }
    if ((needs & NeedUptime) != 0) {
        const auto text = uptimeFile_.read();
        uptime_ = text ? parseUptime(*text) : std::nullopt;
        if (uptime_) {
            ok_ |= NeedUptime;
        }
    }
    if ((needs & NeedProcesses) != 0) {
        processes_ = procDir_.countProcesses();
        if (processes_) {
            ok_ |= NeedProcesses;
        }
    }
}

bool ProcSnapshot::readNetDev() {
    const auto text = netDevFile_.read();
    return text && parseNetDev(*text, netDev_);
}

const ProcLink* ProcSnapshot::link(const std::string& name) const {
    for (const auto& l : links_) {
        if (l->name == name) {
            return l.get();
        }
    }
    return nullptr;
}

void ProcSnapshot::updateLinks() {
    for (auto& l : links_) {
        l->seen = false;
    }
    for (std::size_t i = 0; i < netDev_.size(); ++i) {
        const std::string& name = netDev_[i].name;
        ProcLink* found = (i < links_.size() && links_[i]->name == name) ? links_[i].get() : nullptr;
        for (std::size_t j = 0; found == nullptr && j < links_.size(); ++j) {
            if (links_[j]->name == name) {
                found = links_[j].get();
            }
        }
        if (found == nullptr) {
            // A new interface: its kind does not change while it exists.
            auto fresh = std::make_unique<ProcLink>();
            fresh->name = name;
            const std::string dir = "sys/class/net/" + name + "/";
            fresh->flags = ProcFile(rootFd_, dir + "flags");
            fresh->carrier = ProcFile(rootFd_, dir + "carrier");
            fresh->speed = ProcFile(rootFd_, dir + "speed");
            ProcFile typeFile(rootFd_, dir + "type");
            const auto type = readInteger(typeFile);
            const auto flags = readInteger(fresh->flags);
            fresh->remoteAccess = type == kArphrdPpp || (flags && (*flags & kIffPointToPoint) != 0);
            fresh->loopback = type ? *type == kArphrdLoopback : (flags ? (*flags & kIffLoopback) != 0 : name == "lo");
            found = fresh.get();
            links_.push_back(std::move(fresh));
        }
        found->seen = true;
    }
    std::erase_if(links_, [](const auto& l) { return !l->seen; });
}

void ProcSnapshot::readLinkStates() {
    for (auto& l : links_) {
        if (!l->remoteAccess) {
            continue;
        }
        const auto flags = readInteger(l->flags);
        const bool up = flags && (*flags & kIffUp) != 0;
        // The carrier of a link that is down cannot be read at all.
        l->connected = up && readInteger(l->carrier).value_or(0) == 1;
    }
}

void ProcSnapshot::readLinkSpeeds() {
    for (auto& l : links_) {
        l->speedMbps = std::max<std::int64_t>(0, readInteger(l->speed).value_or(0));
    }
}

bool ProcSnapshot::isPhysicalDisk(const std::string& name) {
    for (const auto& [disk, physical] : physicalDisks_) {
        if (disk == name) {
            return physical;
        }
    }
    // Whole disks backed by a device; partitions, loop, RAM and mapper devices have no
    // "device" link of their own.
    const std::string path = "sys/block/" + name + "/device";
    const bool physical = ::faccessat(rootFd_, path.c_str(), F_OK, 0) == 0;
    physicalDisks_.emplace_back(name, physical);
    return physical;
}

}  // namespace quorvel::proc
