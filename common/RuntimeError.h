#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel {

// What went wrong, as the standard error report names it.
enum class ErrorKind {
    Overflow,
    IndexOutOfRange,
    TypeMismatch,
    InvalidValue,
    FileError,
    PlatformUnavailable,
    OutOfMemory,
    InvalidOperation,
};

std::string_view errorKindName(ErrorKind kind) noexcept;

// The one exception type of the program: a kind and a message a person can read.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(ErrorKind kind, const std::string& message);

    [[nodiscard]] ErrorKind kind() const noexcept { return kind_; }
    // "Kind: message", the text the standard error report shows.
    [[nodiscard]] std::string report() const;

private:
    ErrorKind kind_;
};

}  // namespace quorvel
