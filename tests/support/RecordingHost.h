#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ControlHost.h"

namespace quorvel::testing {

// A control host that records the change notifications it receives.
class RecordingHost final : public ControlHost {
public:
    std::vector<std::string> changes;
    FontRef ambient = std::make_shared<const FontObject>(FontObject{.name = "Sans", .size = 8.25});
    std::function<void(std::string_view)> onChange;  // sees each one once recorded; may throw

    [[nodiscard]] FontRef ambientFont() const override { return ambient; }
    void propertyChanged(std::string_view name) override {
        changes.emplace_back(name);
        if (onChange) {
            onChange(name);
        }
    }
};

}  // namespace quorvel::testing
