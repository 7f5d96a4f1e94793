#include "platform/windows/WindowsProcessInfo.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/RuntimeError.h"

namespace quorvel {

std::string ExecutablePath() {
    // The module name has no length limit of its own; grow until it fits.
    for (DWORD size = MAX_PATH + 1; size <= 32768 * 2; size *= 2) {
        std::vector<char> buffer(size, '\0');
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) {
            break;
        }
        if (length < size) {
            return {buffer.data(), length};
        }
    }
    throw RuntimeError(ErrorKind::PlatformUnavailable, "the program's own file name cannot be read");
}

std::string WindowsProcessInfo::executableFolder() const {
    const std::string path = ExecutablePath();
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) {
        return {};
    }
    // At the root of a drive the folder keeps its backslash: C:\ rather than C:.
    if (separator == 2 && path[1] == ':') {
        return path.substr(0, 3);
    }
    return path.substr(0, separator);
}

std::string WindowsProcessInfo::executableName() const {
    const std::string path = ExecutablePath();
    const std::size_t separator = path.find_last_of("\\/");
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot != 0) {
        name.erase(dot);
    }
    return name;
}

void WindowsProcessInfo::terminate(int status) {
    std::fflush(nullptr);
    ::ExitProcess(static_cast<UINT>(status));
}

}  // namespace quorvel
