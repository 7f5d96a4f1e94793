#pragma once

#include <string_view>

namespace quorvel {

// The paragraph of --help on where the settings file is looked for on Linux.
inline constexpr std::string_view kSettingsFileHelp =
    "Settings: the first of these files that exists is read at start and written back\n"
    "at exit: quorvel.ini beside the program (a portable copy), then\n"
    "$XDG_CONFIG_HOME/quorvel/quorvel.ini, by default ~/.config/quorvel/quorvel.ini\n"
    "(an installed copy). With neither, the defaults are used and no file is created.\n"
    "To start one, copy /usr/share/doc/quorvel/quorvel.ini to ~/.config/quorvel/.\n";

}  // namespace quorvel
