#pragma once

#include <string>

namespace quorvel {

// The standard error report: shows the error and ends the program with a failure status.
class ErrorReport {
public:
    virtual ~ErrorReport() = default;
    virtual void fatal(const std::string& title, const std::string& message) = 0;
};

}  // namespace quorvel
