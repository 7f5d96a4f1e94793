#pragma once

#include <cstdint>
#include <string>

#include "platform/FolderLookup.h"

namespace quorvel {

// Resolves the system's special folders. Every property asks the lookup again and
// returns at most 255 characters: the text before the first NUL of a 256-byte buffer,
// or the empty text where the lookup has no answer. Paths come back exactly as the
// lookup gives them, separators included.
class clsSystemFolder {
public:
    explicit clsSystemFolder(FolderLookup& lookup) : lookup_(lookup) {}

    [[nodiscard]] std::string Windows() const;
    [[nodiscard]] std::string System() const;
    [[nodiscard]] std::string Temp() const;
    [[nodiscard]] std::string Desktop() const;
    [[nodiscard]] std::string Programs() const;
    [[nodiscard]] std::string Personal() const;
    [[nodiscard]] std::string Favorites() const;
    [[nodiscard]] std::string Startup() const;
    [[nodiscard]] std::string Recent() const;
    [[nodiscard]] std::string SendTo() const;
    [[nodiscard]] std::string Fonts() const;
    [[nodiscard]] std::string StartMenu() const;
    [[nodiscard]] std::string Device() const;
    [[nodiscard]] std::string CommonFiles() const;
    [[nodiscard]] std::string Config() const;
    [[nodiscard]] std::string Media() const;
    [[nodiscard]] std::string ProgramFiles() const;
    [[nodiscard]] std::string OldWindows() const;
    [[nodiscard]] std::string VB5Install() const;

private:
    [[nodiscard]] std::string GetDirectory(DirectoryCall which) const;
    [[nodiscard]] std::string GetShellFolder(std::int32_t id) const;
    [[nodiscard]] std::string GetRegValue(std::uint32_t rootKey, const std::string& subkey,
                                          const std::string& valueName,
                                          RegistryView view = RegistryView::Program) const;

    FolderLookup& lookup_;
};

}  // namespace quorvel
