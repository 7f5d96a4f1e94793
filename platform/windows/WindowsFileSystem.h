#pragma once

#include "platform/FileSystem.h"

namespace quorvel {

// Files through the system's 8-bit calls; paths are ANSI text. Whether a file exists
// is a directory search that lists neither folders nor hidden or system files. A save
// writes a temporary file beside the old one and moves it over the old one in a single
// replacing, write-through move, keeping the old file's attributes: a save that fails
// part-way leaves the old file whole.
class WindowsFileSystem final : public FileSystem {
public:
    [[nodiscard]] bool isListedFile(const std::string& path) const override;
    [[nodiscard]] bool canOpenForReading(const std::string& path) const override;
    [[nodiscard]] FileContents readFile(const std::string& path) const override;
    bool writeFile(const std::string& path, std::string_view bytes) override;
};

}  // namespace quorvel
