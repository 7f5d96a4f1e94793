#pragma once

#include <QSettings>
#include <memory>

#include "platform/ProfileStore.h"

namespace quorvel {

// Per-user settings in the user's configuration folder: one INI file per application,
// one group per section. Keys match without regard to letter case.
class QtProfileStore final : public ProfileStore {
public:
    // `folder` overrides the configuration folder (tests); empty for the user's own.
    explicit QtProfileStore(const std::string& folder = {});

    [[nodiscard]] std::string getSetting(const std::string& application, const std::string& section,
                                         const std::string& key, const std::string& fallback) const override;
    void saveSetting(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) override;

private:
    [[nodiscard]] std::unique_ptr<QSettings> open(const std::string& application) const;

    std::string folder_;
};

}  // namespace quorvel
