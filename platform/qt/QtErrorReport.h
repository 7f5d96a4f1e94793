#pragma once

#include "platform/ErrorReport.h"

namespace quorvel {

// Shows the error in a modal box and on standard error, then ends the process with status 1.
class QtErrorReport final : public ErrorReport {
protected:
    [[noreturn]] void show(const std::string& title, const std::string& message) override;
};

}  // namespace quorvel
