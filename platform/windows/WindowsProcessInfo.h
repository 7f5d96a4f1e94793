#pragma once

#include "platform/ProcessInfo.h"

namespace quorvel {

// The running executable as the system's module-name call gives it (ANSI text).
class WindowsProcessInfo final : public ProcessInfo {
public:
    [[nodiscard]] std::string executableFolder() const override;
    [[nodiscard]] std::string executableName() const override;
    [[nodiscard]] char pathSeparator() const override { return '\\'; }
    [[noreturn]] void terminate(int status) override;
};

// The full path of the running executable; throws RuntimeError(PlatformUnavailable)
// when the system cannot give it whole.
std::string ExecutablePath();

}  // namespace quorvel
