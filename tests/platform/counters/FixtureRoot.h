#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace quorvel::test {

// A private copy of a fixture tree. Later steps are copied over it; files are rewritten
// in place, so that descriptors the source keeps open see the new content as in /proc.
class FixtureRoot {
public:
    explicit FixtureRoot(const std::string& scenario) { apply(scenario); }
    ~FixtureRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FixtureRoot(const FixtureRoot&) = delete;
    FixtureRoot& operator=(const FixtureRoot&) = delete;

    [[nodiscard]] const std::string& path() const { return path_; }
    void apply(const std::string& scenario) const {
        std::filesystem::copy(
            std::string(QUORVEL_SOURCE_DIR) + "/tests/fixtures/" + scenario, path_,
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    }

private:
    const std::string path_ = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-counters-XXXXXX").string();
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : throw std::runtime_error("cannot make a directory");
    }();
};

}  // namespace quorvel::test
