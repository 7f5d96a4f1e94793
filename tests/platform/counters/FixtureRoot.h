#pragma once

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace quorvel::test {

// A private copy of a fixture tree. Later steps are copied over it; files are rewritten
// in place, so that descriptors the source keeps open see the new content as in /proc.
class FixtureRoot {
public:
    explicit FixtureRoot(const std::string& scenario) { apply(scenario); }
    [[nodiscard]] std::string path() const { return dir_.str(); }
    void apply(const std::string& scenario) const {
        std::filesystem::copy(
            std::string(QUORVEL_SOURCE_DIR) + "/tests/fixtures/" + scenario, dir_.path(),
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    }

private:
    testing::TempDir dir_{"quorvel-counters"};
};

}  // namespace quorvel::test
