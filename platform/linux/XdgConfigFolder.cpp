#include "platform/linux/XdgConfigFolder.h"

#include <utility>

namespace quorvel {

XdgConfigFolder::XdgConfigFolder(EnvironmentReader environment) : environment_(std::move(environment)) {}

std::string XdgConfigFolder::userConfigFolder() const {
    // A relative folder would depend on the working directory; the XDG rules say to ignore it.
    if (auto configHome = environment_("XDG_CONFIG_HOME"); configHome && configHome->starts_with('/')) {
        return std::move(*configHome);
    }
    auto home = environment_("HOME");
    if (!home || !home->starts_with('/')) {
        return {};
    }
    return home->ends_with('/') ? *home + ".config" : *home + "/.config";
}

}  // namespace quorvel
