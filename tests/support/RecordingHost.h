#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/RuntimeError.h"
#include "platform/ControlHost.h"

namespace quorvel::testing {

// A control host that records the change notifications it receives.
class RecordingHost final : public ControlHost {
public:
    std::vector<std::string> changes;
    FontRef ambient = std::make_shared<const FontObject>(FontObject{.name = "Sans", .size = 8.25});
    // Makes every notification fail after it was recorded.
    bool failNotifications = false;
    // Called with each notification, before it is recorded.
    std::function<void(std::string_view)> onChange;

    [[nodiscard]] FontRef ambientFont() const override { return ambient; }
    void propertyChanged(std::string_view name) override {
        if (onChange) {
            onChange(name);
        }
        changes.emplace_back(name);
        if (failNotifications) {
            throw RuntimeError(ErrorKind::InvalidOperation, "the host refused a notification");
        }
    }
};

}  // namespace quorvel::testing
