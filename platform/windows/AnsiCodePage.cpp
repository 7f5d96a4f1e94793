#include "platform/windows/AnsiCodePage.h"

#include <windows.h>

#include <clocale>
#include <string>

namespace quorvel {

bool UseAnsiCodePage() {
    // Appended rather than "." + to_string(): g++ 12 at -O3 warns wrongly about that sum.
    std::string name = ".";
    name += std::to_string(::GetACP());
    return std::setlocale(LC_CTYPE, name.c_str()) != nullptr;
}

void UseUserNumberFormat() {
    // "" is the user's default locale; the run-time always has one.
    std::setlocale(LC_NUMERIC, "");
}

}  // namespace quorvel
