#include "platform/linux/ProcParsers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace quorvel::proc {
namespace {

std::string fixture(const std::string& relative) {
    std::ifstream in(std::string(QUORVEL_SOURCE_DIR) + "/tests/fixtures/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const NetDevRow* row(const ProcRows<NetDevRow>& rows, const std::string& name) {
    for (const NetDevRow& r : rows.view()) {
        if (r.name == name) {
            return &r;
        }
    }
    return nullptr;
}

constexpr std::string_view kHeader =
    "Inter-|   Receive                                                |  Transmit\n"
    " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo colls "
    "carrier compressed\n";

TEST(ProcNetDev, ReadsALargeFileWithAwkwardLines) {
    const std::string text = fixture("basic/proc/net/dev");
    ASSERT_GT(text.size(), 4096U);
    ProcRows<NetDevRow> rows;
    ASSERT_TRUE(parseNetDev(text, rows));
    EXPECT_EQ(rows.size(), 47U);  // six named, forty veths, one glued; three malformed lines dropped
    const NetDevRow* eth0 = row(rows, "eth0");
    ASSERT_NE(eth0, nullptr);
    EXPECT_EQ(eth0->rxBytes, 100000U);
    EXPECT_EQ(eth0->rxPackets, 1000U);
    EXPECT_EQ(eth0->rxErrors, 1U);
    EXPECT_EQ(eth0->txBytes, 200000U);
    EXPECT_EQ(eth0->txPackets, 2000U);
    EXPECT_EQ(eth0->txErrors, 2U);
    ASSERT_NE(row(rows, "we\\ird(1)"), nullptr);
    ASSERT_NE(row(rows, "\xC3\xBCml\xC3\xA4ut"), nullptr);
    const NetDevRow* glued = row(rows, "glued0");  // name and first number without a space, no newline
    ASSERT_NE(glued, nullptr);
    EXPECT_EQ(glued->rxBytes, 4294967296U);
    EXPECT_EQ(glued->txBytes, 5U);
    EXPECT_EQ(row(rows, "bad0"), nullptr);
    EXPECT_EQ(row(rows, "short0"), nullptr);
}

TEST(ProcNetDev, FindsColumnsFromTheHeader) {
    ProcRows<NetDevRow> rows;
    // A kernel that put packets before bytes and dropped a column.
    const std::string moved =
        "Inter-| Receive | Transmit\n face |packets bytes errs|errs packets bytes\n  x0: 1 2 3 4 5 6\n";
    ASSERT_TRUE(parseNetDev(moved, rows));
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0].rxPackets, 1U);
    EXPECT_EQ(rows[0].rxBytes, 2U);
    EXPECT_EQ(rows[0].txErrors, 4U);
    EXPECT_EQ(rows[0].txBytes, 6U);

    EXPECT_TRUE(parseNetDev(kHeader, rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_FALSE(parseNetDev("  lo: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n", rows));
    EXPECT_FALSE(parseNetDev("Inter-| Receive | Transmit\n face |bytes|bytes\n", rows));
    EXPECT_FALSE(parseNetDev("", rows));
}

TEST(ProcNetDev, RefillReusesRows) {
    ProcRows<NetDevRow> rows;
    ASSERT_TRUE(parseNetDev(fixture("basic/proc/net/dev"), rows));
    ASSERT_TRUE(parseNetDev(std::string(kHeader) + "  a: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", rows));
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0].name, "a");
    EXPECT_EQ(rows[0].txBytes, 9U);
}

TEST(ProcStat, ReadsProcessorsAndSystemFigures) {
    StatData stat;
    parseStat(fixture("basic/proc/stat"), stat);
    ASSERT_TRUE(stat.total.has_value());
    EXPECT_EQ(stat.total->totalTicks(), 4000U);
    EXPECT_EQ(stat.total->idleTicks(), 3400U);
    ASSERT_EQ(stat.cpus.size(), 4U);
    EXPECT_EQ(stat.cpus[3].index, 3);
    EXPECT_EQ(stat.cpus[3].userTicks(), 100U);
    EXPECT_EQ(stat.contextSwitches, 123456U);
    EXPECT_EQ(stat.runnable, 3U);

    // Old kernels: four fields. Malformed lines are dropped, not half-read.
    parseStat("cpu 1 2 3 4\ncpu0 1 2 3\ncpux 1 2 3 4\ncpu1 1 2 x 4\nctxt\n", stat);
    ASSERT_TRUE(stat.total.has_value());
    EXPECT_EQ(stat.total->totalTicks(), 10U);
    EXPECT_TRUE(stat.cpus.empty());
    EXPECT_FALSE(stat.contextSwitches.has_value());
    EXPECT_FALSE(stat.runnable.has_value());
}

TEST(ProcMeminfo, ConvertsKibibytes) {
    MemInfo mem;
    parseMeminfo(fixture("basic/proc/meminfo"), mem);
    EXPECT_EQ(mem.available, 2000000ULL * 1024);
    EXPECT_EQ(mem.committed, 1000000ULL * 1024);
    EXPECT_EQ(mem.commitLimit, 4000000ULL * 1024);
    EXPECT_EQ(mem.cached, 300000ULL * 1024);
    EXPECT_EQ(mem.buffers, 20000ULL * 1024);
    parseMeminfo("MemAvailable: lots kB\nCached: 7\n", mem);
    EXPECT_FALSE(mem.available.has_value());
    EXPECT_EQ(mem.cached, 7U);
    EXPECT_FALSE(mem.committed.has_value());
}

TEST(ProcDiskstats, ReadsSectorsAndSkipsBrokenLines) {
    ProcRows<DiskRow> rows;
    parseDiskstats(fixture("basic/proc/diskstats"), rows);
    ASSERT_EQ(rows.size(), 5U);
    EXPECT_EQ(rows[0].name, "sda");
    EXPECT_EQ(rows[0].sectorsRead, 1000U);
    EXPECT_EQ(rows[0].sectorsWritten, 2000U);
    EXPECT_EQ(rows[4].name, "dm-0");
    parseDiskstats("", rows);
    EXPECT_TRUE(rows.empty());
}

TEST(ProcSmallFiles, UptimeAndSysfsIntegers) {
    const struct {
        const char* text;
        std::optional<std::uint64_t> centiseconds;
    } uptimes[] = {{"12345.67 23456.78\n", 1234567},
                   {"5.5 1.0", 550},
                   {"7", 700},
                   {"7.123", 712},
                   {"", std::nullopt},
                   {"x.5", std::nullopt},
                   {"3.", std::nullopt}};
    for (const auto& c : uptimes) {
        EXPECT_EQ(parseUptime(c.text), c.centiseconds) << c.text;
    }
    const struct {
        const char* text;
        std::optional<std::int64_t> value;
    } integers[] = {{"0x1091\n", 0x1091}, {"512\n", 512},       {"-1\n", -1},           {"1", 1},
                    {"", std::nullopt},   {"0x", std::nullopt}, {"12 kB", std::nullopt}};
    for (const auto& c : integers) {
        EXPECT_EQ(parseSysfsInteger(c.text), c.value) << c.text;
    }
}

}  // namespace
}  // namespace quorvel::proc
