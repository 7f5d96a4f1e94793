#pragma once

#include "platform/FolderLookup.h"
#include "platform/windows/SystemLibraries.h"

namespace quorvel {

// The special folders from the system's own calls: the kernel's directory calls, the
// shell's special-folder ids (owned by the desktop window) and string values of the
// registry. Every function is reached by name at its first call; the answers are the
// system's ANSI text, written into the caller's buffer as they come.
class WindowsFolderLookup final : public FolderLookup {
public:
    explicit WindowsFolderLookup(win::SystemLibraries& libraries) : libraries_(libraries) {}

    void Directory(DirectoryCall which, std::span<char> buffer) override;
    void ShellFolder(std::int32_t id, std::span<char> buffer) override;
    void RegistryValue(std::uint32_t rootKey, const std::string& subkey, const std::string& valueName,
                       RegistryView view, std::span<char> buffer) override;

private:
    win::SystemLibraries& libraries_;
};

}  // namespace quorvel
