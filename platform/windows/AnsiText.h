#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// The program's own texts (menu captions, messages) are written in UTF-8; the system's
// 8-bit calls take the ANSI code page. Text that is valid UTF-8 is converted, with "?"
// for a character the code page lacks; anything else already came from the system in
// its code page (a file name, a value from the settings file) and is returned as it is.
std::string ProgramTextToAnsi(std::string_view text);

}  // namespace quorvel
