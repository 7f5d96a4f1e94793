#include "graph/MemoryPropertyBag.h"

#include <gtest/gtest.h>

#include <memory>

namespace quorvel {
namespace {

TEST(MemoryPropertyBag, KeysMatchWithoutCaseAndAreStoredInLowerCase) {
    MemoryPropertyBag bag;
    bag.write("BarXColor", TaggedValue(std::int32_t{255}), TaggedValue(std::int16_t{0}));
    ASSERT_EQ(bag.entries().size(), 1U);
    EXPECT_EQ(bag.entries()[0].key, "barxcolor");
    EXPECT_EQ(std::get<TaggedValue>(bag.read("BARXCOLOR", TaggedValue())), TaggedValue(std::int32_t{255}));
    EXPECT_EQ(std::get<TaggedValue>(bag.read("BarYColor", TaggedValue("none"))), TaggedValue("none"));
}

TEST(MemoryPropertyBag, ValuesEqualToTheirDefaultAreNotStored) {
    MemoryPropertyBag bag;
    bag.write("a", TaggedValue(125.0F), TaggedValue(std::int16_t{125}));
    bag.write("b", TaggedValue(false), TaggedValue(std::int16_t{0}));
    bag.write("c", TaggedValue(true), TaggedValue(true));
    auto font = std::make_shared<const FontObject>(FontObject{.name = "Sans"});
    bag.write("d", std::make_shared<const FontObject>(*font), font);
    EXPECT_TRUE(bag.entries().empty());

    // A text is never equal to a number, so its kind survives a save.
    bag.write("e", TaggedValue("10"), TaggedValue(std::int16_t{10}));
    bag.write("f", TaggedValue("Sans"), font);
    EXPECT_EQ(bag.entries().size(), 2U);
}

TEST(MemoryPropertyBag, AKeyWrittenTwiceIsStoredTwiceAndReadInOrder) {
    MemoryPropertyBag bag;
    bag.write("Max", TaggedValue(50.0F), TaggedValue(std::int16_t{85}));
    bag.write("Max", TaggedValue(9000.0), TaggedValue(std::int16_t{100}));
    ASSERT_EQ(bag.entries().size(), 2U);
    EXPECT_EQ(std::get<TaggedValue>(bag.read("max", TaggedValue())), TaggedValue(50.0F));
    EXPECT_EQ(std::get<TaggedValue>(bag.read("max", TaggedValue())), TaggedValue(9000.0));
    EXPECT_EQ(std::get<TaggedValue>(bag.read("max", TaggedValue())), TaggedValue(9000.0));
    bag.rewind();
    EXPECT_EQ(std::get<TaggedValue>(bag.read("max", TaggedValue())), TaggedValue(50.0F));
}

}  // namespace
}  // namespace quorvel
