#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PropertyBag.h"

namespace quorvel {

// A property bag held in memory, in the order its entries were stored. Keys are stored
// in lower case. A key written twice is stored twice; successive reads of such a key
// return its entries in stored order, and the last one again once they run out.
class MemoryPropertyBag final : public PropertyBag {
public:
    struct Entry {
        std::string key;
        PropertyValue value;
    };

    PropertyValue read(std::string_view key, const PropertyValue& defaultValue) override;
    void write(std::string_view key, const PropertyValue& value, const PropertyValue& defaultValue) override;

    // Stores an entry whatever its value, as saved data holds it.
    void append(std::string_view key, PropertyValue value);

    [[nodiscard]] const std::vector<Entry>& entries() const noexcept { return entries_; }
    // Starts every key's reads again from its first entry.
    void rewind() noexcept { readCounts_.clear(); }

private:
    std::vector<Entry> entries_;
    std::map<std::string, std::size_t, std::less<>> readCounts_;
};

// Values equal for a bag's default test: plain values by valuesMatch, fonts by content.
bool propertyValuesEqual(const PropertyValue& a, const PropertyValue& b);

}  // namespace quorvel
