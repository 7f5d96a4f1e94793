#pragma once

#include <string>

namespace quorvel {

struct ProductVersion {
    std::string productName;
    int major = 0;
    int minor = 0;
    int revision = 0;

    friend bool operator==(const ProductVersion&, const ProductVersion&) = default;
};

// The program's own version information: its product name and version numbers.
class VersionInfo {
public:
    virtual ~VersionInfo() = default;
    // Throws RuntimeError(PlatformUnavailable) when the program carries none.
    [[nodiscard]] virtual ProductVersion productVersion() const = 0;
};

}  // namespace quorvel
