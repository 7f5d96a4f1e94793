#pragma once

#include "platform/UserConfigFolder.h"

namespace quorvel {

// A copy of the program on Windows keeps its settings file beside itself only.
class PortableConfigFolder final : public UserConfigFolder {
public:
    [[nodiscard]] std::string userConfigFolder() const override { return {}; }
};

}  // namespace quorvel
