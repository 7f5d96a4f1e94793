#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/iniMente.h"
#include "support/FakeFileSystem.h"

namespace quorvel::test {

class IniStoreTest : public ::testing::Test {
protected:
    IniStoreTest() { files.addFolder("/cfg"); }

    FakeFileSystem files;
    iniMente store{files};

    // Every entry as "name|value-text", "name|<empty>" for the empty value.
    [[nodiscard]] std::vector<std::string> entries() const {
        std::vector<std::string> out;
        for (std::int32_t i = 0; i <= store.lastIndex(); ++i) {
            const auto index = static_cast<std::size_t>(i);
            const TaggedValue& value = store.itemValue(index);
            out.push_back(store.itemName(index) + "|" + (value.isEmpty() ? "<empty>" : value.toText()));
        }
        return out;
    }

    bool load(const std::string& bytes) {
        files.addFile("/cfg/q.ini", bytes);
        return store.iniLoader("/cfg/q.ini");
    }
};

using Entries = std::vector<std::string>;

}  // namespace quorvel::test
