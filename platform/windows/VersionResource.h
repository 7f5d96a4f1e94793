#pragma once

#include <string>

#include "platform/VersionInfo.h"
#include "platform/windows/SystemLibraries.h"

namespace quorvel {

// The version resource of a module file (the running program by default), read with
// the version library: the product name from the string table of the first language
// the resource lists, the numbers from the fixed part's product version.
class VersionResource final : public VersionInfo {
public:
    // `modulePath` names another file (tests); empty for the running program.
    explicit VersionResource(win::SystemLibraries& libraries, std::string modulePath = {});

    [[nodiscard]] ProductVersion productVersion() const override;

private:
    win::SystemLibraries& libraries_;
    std::string modulePath_;
};

}  // namespace quorvel
