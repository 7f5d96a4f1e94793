#pragma once

#include <string_view>

namespace quorvel {

// The paragraph of --help on where the settings file is looked for on Windows.
inline constexpr std::string_view kSettingsFileHelp =
    "Settings: quorvel.ini in the program's own folder, beside quorvel.exe, is read\n"
    "at start and written back at exit; no other place is searched. Without it, the\n"
    "defaults are used and no file is created. README.txt in the same folder shows\n"
    "an example.\n";

}  // namespace quorvel
