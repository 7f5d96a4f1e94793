#include "settings/NameIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel {
namespace {

TEST(NameIndex, FindsThroughCollisionsAndGrowth) {
    NameIndex index;
    std::vector<std::string> names;
    // Every third name shares one hash, so probing must go past foreign slots.
    for (std::size_t i = 0; i < 1000; ++i) {
        names.push_back("name" + std::to_string(i));
        const std::uint64_t hash = i % 3 == 0 ? 7 : NameIndex::hashOf(names.back());
        index.insertAbsent(hash, i);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::uint64_t hash = i % 3 == 0 ? 7 : NameIndex::hashOf(names[i]);
        EXPECT_EQ(index.find(hash, [&](std::size_t at) { return names[at] == names[i]; }), i);
    }
    EXPECT_EQ(index.find(7, [](std::size_t) { return false; }), NameIndex::kNotFound);
    index.clear();
    EXPECT_EQ(index.find(7, [](std::size_t) { return true; }), NameIndex::kNotFound);
}

}  // namespace
}  // namespace quorvel
