#pragma once

#include "platform/UserConfigFolder.h"
#include "platform/linux/XdgFolderLookup.h"

namespace quorvel {

// The XDG configuration home: $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config when HOME is one, else none. Read again on every call.
class XdgConfigFolder final : public UserConfigFolder {
public:
    explicit XdgConfigFolder(EnvironmentReader environment = ReadProcessEnvironment);

    [[nodiscard]] std::string userConfigFolder() const override;

private:
    EnvironmentReader environment_;
};

}  // namespace quorvel
