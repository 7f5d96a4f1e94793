#include "platform/linux/ProcParsers.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

// The fixture trees check the parsers through the whole source, awkward lines of a large
// /proc/net/dev included; these are the texts those trees do not hold.
namespace quorvel::proc {
namespace {

// Each row as "name rxBytes rxPackets rxErrors/txBytes txPackets txErrors", one a line.
std::string rowsOf(const std::string& text, bool& parsed) {
    ProcRows<NetDevRow> rows;
    parsed = parseNetDev(text, rows);
    std::ostringstream s;
    for (const NetDevRow& r : rows.view()) {
        s << r.name << ' ' << r.rxBytes << ' ' << r.rxPackets << ' ' << r.rxErrors << '/' << r.txBytes << ' '
          << r.txPackets << ' ' << r.txErrors << '\n';
    }
    return s.str();
}

TEST(ProcNetDev, FindsColumnsFromTheHeaderAndRefusesTextWithoutOne) {
    bool parsed = false;
    // A kernel that put packets before bytes and dropped a column.
    EXPECT_EQ(
        rowsOf("Inter-| Receive | Transmit\n face |packets bytes errs|errs packets bytes\n  x0: 1 2 3 4 5 6\n", parsed),
        "x0 2 1 3/6 5 4\n");
    EXPECT_TRUE(parsed);
    for (const char* bad :
         {"  lo: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n", "Inter-| Receive | Transmit\n face |bytes|bytes\n", ""}) {
        EXPECT_EQ(rowsOf(bad, parsed), "");
        EXPECT_FALSE(parsed) << bad;
    }
}

TEST(ProcStatAndMeminfo, OldKernelsAndMalformedLines) {
    StatData stat;
    parseStat("cpu 1 2 3 4\ncpu0 1 2 3\ncpux 1 2 3 4\ncpu1 1 2 x 4\nctxt\n", stat);
    ASSERT_TRUE(stat.total.has_value());
    EXPECT_EQ(stat.total->totalTicks(), 10U);  // four fields
    EXPECT_TRUE(stat.cpus.empty());
    EXPECT_FALSE(stat.contextSwitches.has_value() || stat.runnable.has_value());
    MemInfo mem;  // a value without its unit is taken as bytes
    parseMeminfo("MemAvailable: lots kB\nCached: 7\n", mem);
    EXPECT_EQ((std::vector{mem.available, mem.cached, mem.committed}),
              (std::vector<std::optional<std::uint64_t>>{std::nullopt, 7, std::nullopt}));
}

TEST(ProcSmallFiles, UptimeAndSysfsIntegers) {
    const std::pair<const char*, std::optional<std::uint64_t>> uptimes[] = {{"12345.67 23456.78\n", 1234567},
                                                                            {"5.5 1.0", 550},
                                                                            {"7", 700},
                                                                            {"7.123", 712},
                                                                            {"", std::nullopt},
                                                                            {"x.5", std::nullopt},
                                                                            {"3.", std::nullopt}};
    for (const auto& [text, centiseconds] : uptimes) {
        EXPECT_EQ(parseUptime(text), centiseconds) << text;
    }
    const std::pair<const char*, std::optional<std::int64_t>> integers[] = {
        {"0x1091\n", 0x1091}, {"512\n", 512},       {"-1\n", -1},           {"1", 1},
        {"", std::nullopt},   {"0x", std::nullopt}, {"12 kB", std::nullopt}};
    for (const auto& [text, value] : integers) {
        EXPECT_EQ(parseSysfsInteger(text), value) << text;
    }
}

}  // namespace
}  // namespace quorvel::proc
