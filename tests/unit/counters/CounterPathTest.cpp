#include "platform/linux/CounterPath.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel {
namespace {

TEST(CounterPath, SplitsWellFormedPathsAndRefusesOtherText) {
    // Expected: machine|object(instance)|counter, the parentheses only with an instance.
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"\\\\.\\Memory\\Available Bytes", ".|Memory|Available Bytes"},
        {"\\\\Host-1\\Processor(_Total)\\% Idle Time", "Host-1|Processor(_Total)|% Idle Time"},
        {"\\Network Interface(we\\ird(1))\\Bytes Sent/sec", "|Network Interface(we\\ird(1))|Bytes Sent/sec"},
        {"\\PhysicalDisk()\\Disk Bytes/sec", "|PhysicalDisk()|Disk Bytes/sec"}};
    for (const auto& [path, expected] : cases) {
        const auto p = parseCounterPath(path);
        ASSERT_TRUE(p.has_value()) << path;
        std::string joined(p->machine);
        joined.append("|").append(p->object);
        if (p->hasInstance) {
            joined.append("(").append(p->instance).append(")");
        }
        joined.append("|").append(p->counter);
        EXPECT_EQ(joined, expected);
    }
    for (const std::string_view path :
         {"", "\\", "RAS Total\\Bytes", "\\RAS Total", "\\RAS Total\\", "\\\\\\RAS Total\\Bytes", "\\\\host",
          "\\Processor(0\\% Idle Time", "\\\\host\\\\Memory\\Available Bytes", "\\(x)\\Counter"}) {
        EXPECT_FALSE(parseCounterPath(path).has_value()) << path;
    }
}

}  // namespace
}  // namespace quorvel
