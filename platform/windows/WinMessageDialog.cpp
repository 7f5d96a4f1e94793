#include "platform/windows/WinMessageDialog.h"

#include "platform/windows/AnsiText.h"

namespace quorvel {

void WinMessageDialog::inform(const std::string& title, const std::string& text) {
    ::MessageBoxW(owner_, ProgramTextToWide(text).c_str(), ProgramTextToWide(title).c_str(), MB_OK | MB_SETFOREGROUND);
}

}  // namespace quorvel
