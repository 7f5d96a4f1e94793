#include "graph/MemoryPropertyBag.h"

#include <utility>

#include "common/Text.h"

namespace quorvel {

bool propertyValuesEqual(const PropertyValue& a, const PropertyValue& b) {
    const auto* plainA = std::get_if<TaggedValue>(&a);
    const auto* plainB = std::get_if<TaggedValue>(&b);
    if (plainA != nullptr && plainB != nullptr) {
        return valuesMatch(*plainA, *plainB);
    }
    const auto* fontA = std::get_if<FontRef>(&a);
    const auto* fontB = std::get_if<FontRef>(&b);
    return fontA != nullptr && fontB != nullptr && sameFont(*fontA, *fontB);
}

PropertyValue MemoryPropertyBag::read(std::string_view key, const PropertyValue& defaultValue) {
    std::string lower = text::toLower(key);
    const Entry* found = nullptr;
    std::size_t seen = 0;
    std::size_t& wanted = readCounts_[lower];
    for (const Entry& entry : entries_) {
        if (entry.key == lower) {
            found = &entry;
            if (seen++ == wanted) {
                break;
            }
        }
    }
    if (found == nullptr) {
        return defaultValue;
    }
    ++wanted;
    return found->value;
}

void MemoryPropertyBag::write(std::string_view key, const PropertyValue& value, const PropertyValue& defaultValue) {
    if (!propertyValuesEqual(value, defaultValue)) {
        append(key, value);
    }
}

void MemoryPropertyBag::append(std::string_view key, PropertyValue value) {
    entries_.push_back({text::toLower(key), std::move(value)});
}

}  // namespace quorvel
