#include "platform/windows/WinNoticeBox.h"

#include "platform/windows/SystemHeaders.h"

#include "platform/windows/AnsiText.h"

namespace quorvel {

void WinNoticeBox::notice(const std::string& text) {
    ::MessageBoxW(nullptr, ProgramTextToWide(text).c_str(), ProgramTextToWide(title_).c_str(),
                  MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

}  // namespace quorvel
