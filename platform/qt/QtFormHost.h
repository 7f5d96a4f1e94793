#pragma once

#include "platform/ControlHost.h"

namespace quorvel {

// The main window as host of its graph control: it lends the application's font and
// takes property changes, which matter only to a designer and are dropped at run time.
class QtFormHost final : public ControlHost {
public:
    [[nodiscard]] FontRef ambientFont() const override;
    void propertyChanged(std::string_view /*name*/) override {}
};

}  // namespace quorvel
