#pragma once

#include "platform/ProcessInfo.h"

namespace quorvel {

// The running executable as /proc/self/exe names it.
class LinuxProcessInfo final : public ProcessInfo {
public:
    // `exePath` stands in for /proc/self/exe's target (tests); empty for the real one.
    explicit LinuxProcessInfo(std::string exePath = {});

    [[nodiscard]] std::string executableFolder() const override;
    [[nodiscard]] std::string executableName() const override;
    [[nodiscard]] char pathSeparator() const override { return '/'; }
    [[noreturn]] void terminate(int status) override;

private:
    [[nodiscard]] std::string exePath() const;

    std::string exePath_;
};

}  // namespace quorvel
