#include "platform/PropertyRange.h"

#include <string>

#include "common/RuntimeError.h"

namespace quorvel {

void refuseProperty(const char* property) {
    throw RuntimeError(ErrorKind::InvalidValue, std::string("invalid property value for ") + property);
}

std::int16_t checkedRange(const char* property, std::int16_t value, int low, int high) {
    if (value < low || value > high) {
        refuseProperty(property);
    }
    return value;
}

}  // namespace quorvel
