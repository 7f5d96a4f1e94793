#pragma once

#include "platform/ErrorReport.h"

namespace quorvel {

// The standard error report on Windows: the error on standard error (where there is
// one) and in a message box with the error icon, then the end of the process with
// status 1.
class WinErrorReport final : public ErrorReport {
protected:
    [[noreturn]] void show(const std::string& title, const std::string& message) override;
};

}  // namespace quorvel
