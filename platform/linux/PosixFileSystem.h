#pragma once

#include "platform/FileSystem.h"

namespace quorvel {

// Files through the POSIX calls. A hidden file is one whose name begins with "."; there
// is no system-file attribute. A write replaces the file through a hidden temporary file
// in the same folder, so that a save that fails part-way leaves the previous file whole.
class PosixFileSystem final : public FileSystem {
public:
    [[nodiscard]] bool isListedFile(const std::string& path) const override;
    [[nodiscard]] bool canOpenForReading(const std::string& path) const override;
    [[nodiscard]] FileContents readFile(const std::string& path) const override;
    bool writeFile(const std::string& path, std::string_view bytes) override;
};

}  // namespace quorvel
