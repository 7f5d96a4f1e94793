#include "platform/linux/LinuxProcessInfo.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "common/RuntimeError.h"

namespace quorvel {

LinuxProcessInfo::LinuxProcessInfo(std::string exePath) : exePath_(std::move(exePath)) {}

std::string LinuxProcessInfo::exePath() const {
    if (!exePath_.empty()) {
        return exePath_;
    }
    std::error_code error;
    const auto target = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "cannot read /proc/self/exe: " + error.message());
    }
    return target.string();
}

std::string LinuxProcessInfo::executableFolder() const {
    const std::string path = exePath();
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LinuxProcessInfo::executableName() const {
    const std::string path = exePath();
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot != 0) {
        name.erase(dot);
    }
    return name;
}

void LinuxProcessInfo::terminate(int status) {
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace quorvel
