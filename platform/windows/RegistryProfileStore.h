#pragma once

#include <string>

#include "platform/ProfileStore.h"

namespace quorvel {

// Per-user settings in the registry, where the system's standard per-user settings
// functions keep them: string values under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>.
// Key names match in any letter case, as registry names do.
class RegistryProfileStore final : public ProfileStore {
public:
    // `root` replaces "Software\VB and VBA Program Settings" (tests use a key of their own).
    explicit RegistryProfileStore(std::string root = kStandardRoot);

    [[nodiscard]] std::string getSetting(const std::string& application, const std::string& section,
                                         const std::string& key, const std::string& fallback) const override;
    void saveSetting(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) override;

    static constexpr const char* kStandardRoot = "Software\\VB and VBA Program Settings";

private:
    [[nodiscard]] std::string sectionKey(const std::string& application, const std::string& section) const;

    std::string root_;
};

}  // namespace quorvel
