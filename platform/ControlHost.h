#pragma once

#include <string_view>

#include "platform/FontObject.h"

namespace quorvel {

// The window that contains a control: it supplies the ambient font and learns which
// of the control's properties changed.
class ControlHost {
public:
    virtual ~ControlHost() = default;

    [[nodiscard]] virtual FontRef ambientFont() const = 0;
    virtual void propertyChanged(std::string_view name) = 0;
};

}  // namespace quorvel
