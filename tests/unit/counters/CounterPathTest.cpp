#include "platform/linux/CounterPath.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quorvel {
namespace {

struct PathCase {
    std::string_view path;
    std::string_view machine;
    std::string_view object;
    bool hasInstance;
    std::string_view instance;
    std::string_view counter;
};

TEST(CounterPath, SplitsWellFormedPaths) {
    const PathCase cases[] = {
        {"\\RAS Total\\Bytes Transmitted/Sec", "", "RAS Total", false, "", "Bytes Transmitted/Sec"},
        {"\\\\.\\Memory\\Available Bytes", ".", "Memory", false, "", "Available Bytes"},
        {"\\\\Host-1\\Processor(_Total)\\% Idle Time", "Host-1", "Processor", true, "_Total", "% Idle Time"},
        {"\\Network Interface(we\\ird(1))\\Bytes Sent/sec", "", "Network Interface", true, "we\\ird(1)",
         "Bytes Sent/sec"},
        {"\\PhysicalDisk()\\Disk Bytes/sec", "", "PhysicalDisk", true, "", "Disk Bytes/sec"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.path);
        const auto parts = parseCounterPath(c.path);
        ASSERT_TRUE(parts.has_value());
        EXPECT_EQ(parts->machine, c.machine);
        EXPECT_EQ(parts->object, c.object);
        EXPECT_EQ(parts->hasInstance, c.hasInstance);
        EXPECT_EQ(parts->instance, c.instance);
        EXPECT_EQ(parts->counter, c.counter);
    }
}

TEST(CounterPath, RefusesOtherText) {
    for (const std::string_view path :
         {"", "\\", "RAS Total\\Bytes", "\\RAS Total", "\\RAS Total\\", "\\\\\\RAS Total\\Bytes", "\\\\host",
          "\\Processor(0\\% Idle Time", "\\\\host\\\\Memory\\Available Bytes", "\\(x)\\Counter"}) {
        EXPECT_FALSE(parseCounterPath(path).has_value()) << path;
    }
}

}  // namespace
}  // namespace quorvel
