#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/FolderLookup.h"

namespace quorvel {

// Reads one environment variable; nothing when it is not set.
using EnvironmentReader = std::function<std::optional<std::string>(const std::string& name)>;

std::optional<std::string> ReadProcessEnvironment(const std::string& name);

// Answers the folder lookups with the folders of a Linux desktop that serve the same
// purpose: fixed system folders for the directory calls and the registry values, the
// user's XDG base and user folders for the shell ids. Everything is worked out again
// on every call, so a changed user-dirs.dirs shows at the next lookup.
class XdgFolderLookup final : public FolderLookup {
public:
    explicit XdgFolderLookup(EnvironmentReader environment = ReadProcessEnvironment);

    void Directory(DirectoryCall which, std::span<char> buffer) override;
    void ShellFolder(std::int32_t id, std::span<char> buffer) override;
    void RegistryValue(std::uint32_t rootKey, const std::string& subkey, const std::string& valueName,
                       RegistryView view, std::span<char> buffer) override;

private:
    [[nodiscard]] std::string AbsoluteVariable(const std::string& name) const;
    [[nodiscard]] std::string TempFolder() const;
    [[nodiscard]] std::string BaseFolder(const std::string& variable, const char* homeRelative) const;
    [[nodiscard]] std::string UserDir(const char* name, const char* fallback) const;
    [[nodiscard]] std::string ShellFolderPath(std::int32_t id) const;

    EnvironmentReader environment_;
};

}  // namespace quorvel
