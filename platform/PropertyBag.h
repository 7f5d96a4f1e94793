#pragma once

#include <string_view>
#include <variant>

#include "common/TaggedValue.h"
#include "platform/FontObject.h"

namespace quorvel {

// A saved property: a plain value or a font object.
using PropertyValue = std::variant<TaggedValue, FontRef>;

// The host's store of a control instance's saved properties. Keys match without regard
// to letter case.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;

    // The stored value for the key, or `defaultValue` when the key is not stored.
    virtual PropertyValue read(std::string_view key, const PropertyValue& defaultValue) = 0;
    // Stores the value under the key, unless it equals `defaultValue`.
    virtual void write(std::string_view key, const PropertyValue& value, const PropertyValue& defaultValue) = 0;
};

}  // namespace quorvel
