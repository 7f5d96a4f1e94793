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
    // The character that separates a folder from the names in it in this system's paths.
    [[nodiscard]] virtual char pathSeparator() const = 0;
    // Ends the process at once with the given status, without unwinding.
    [[noreturn]] virtual void terminate(int status) = 0;
};

}  // namespace quorvel
