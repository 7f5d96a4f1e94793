#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// The folder that a user-dirs.dirs file assigns to XDG_<name>_DIR, read the way the
// shell that sources the file reads it: the last assignment wins, a leading "$HOME"
// stands for `home`, and a backslash keeps the character after it. An assignment that
// needs more of the shell than that, or that names no absolute folder, leaves the name
// without a folder, as an empty one does for the shell.
std::optional<std::string> FindUserDir(std::string_view fileText, std::string_view name, std::string_view home);

}  // namespace quorvel
