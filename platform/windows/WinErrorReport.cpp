#include "platform/windows/WinErrorReport.h"

#include <cstdio>
#include <cstdlib>

#include "platform/windows/AnsiText.h"
#include "platform/windows/SystemHeaders.h"

namespace quorvel {

void WinErrorReport::show(const std::string& title, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    std::fflush(stderr);
    // No owner: the failing window may be in any state. Task-modal keeps the program's
    // other windows from taking input while the box is up.
    ::MessageBoxW(nullptr, ProgramTextToWide(message).c_str(), ProgramTextToWide(title).c_str(),
                  MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    // The failing handler is still on the stack: leave without unwinding through the message loop.
    std::fflush(nullptr);
    ::ExitProcess(1);
}

}  // namespace quorvel
