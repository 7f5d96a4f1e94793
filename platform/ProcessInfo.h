#pragma once

#include <string>

namespace quorvel {

class ProcessInfo {
public:
    virtual ~ProcessInfo() = default;
    // Folder of the running executable, without a trailing separator except at the root.
    [[nodiscard]] virtual std::string executableFolder() const = 0;
    // File name of the executable without folder and extension.
    [[nodiscard]] virtual std::string executableName() const = 0;
    // Ends the process at once with the given status, without unwinding.
    [[noreturn]] virtual void terminate(int status) = 0;
};

}  // namespace quorvel
