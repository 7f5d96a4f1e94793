#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quorvel::test {

// A private copy of a fixture tree. Later steps are written over it in place, so
// that descriptors the source keeps open see the new content as they would in /proc.
class FixtureRoot {
public:
    explicit FixtureRoot(const std::string& scenario) {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-counters-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary directory");
        }
        path_ = pattern;
        apply(scenario);
    }
    ~FixtureRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FixtureRoot(const FixtureRoot&) = delete;
    FixtureRoot& operator=(const FixtureRoot&) = delete;

    [[nodiscard]] std::string path() const { return path_.string(); }

    void apply(const std::string& scenario) {
        const std::filesystem::path from = std::filesystem::path(QUORVEL_SOURCE_DIR) / "tests/fixtures" / scenario;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(from)) {
            const auto target = path_ / std::filesystem::relative(entry.path(), from);
            if (entry.is_directory()) {
                std::filesystem::create_directories(target);
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            std::ofstream out(target, std::ios::binary | std::ios::trunc);
            out << content;
        }
    }

private:
    std::filesystem::path path_;
};

}  // namespace quorvel::test
