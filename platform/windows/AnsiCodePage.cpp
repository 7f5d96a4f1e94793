#include "platform/windows/AnsiCodePage.h"

#include <windows.h>

#include <clocale>
#include <string>

namespace quorvel {

bool UseAnsiCodePage() {
    const std::string name = "." + std::to_string(::GetACP());
    return std::setlocale(LC_CTYPE, name.c_str()) != nullptr;
}

}  // namespace quorvel
