#pragma once

#include <string>

namespace quorvel {

// The per-user settings store: texts by application, section and key.
// Key names match without regard to letter case.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The stored text, or `fallback` when the entry does not exist.
    [[nodiscard]] virtual std::string getSetting(const std::string& application, const std::string& section,
                                                 const std::string& key, const std::string& fallback) const = 0;
    // Creates or replaces the entry and makes it durable before returning.
    virtual void saveSetting(const std::string& application, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

}  // namespace quorvel
