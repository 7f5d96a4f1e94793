#pragma once

#include "platform/ControlHost.h"

namespace quorvel {

// The main window as host of its graph control: it lends the system's font for dialog
// text and drops property changes, which matter only to a designer.
class WinFormHost final : public ControlHost {
public:
    [[nodiscard]] FontRef ambientFont() const override;
    void propertyChanged(std::string_view /*name*/) override {}
};

}  // namespace quorvel
