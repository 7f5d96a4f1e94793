#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Text shown to the user (captions, messages), for the system's wide ("W") calls, so that
// it reads the same in every code page. The program's own texts are written in UTF-8;
// text that is not valid UTF-8 came from the system in its ANSI code page (a file name,
// a value from the settings file) and is decoded from that.
std::wstring ProgramTextToWide(std::string_view text);

}  // namespace quorvel
