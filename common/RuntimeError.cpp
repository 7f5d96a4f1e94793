#include "common/RuntimeError.h"

namespace quorvel {

std::string_view errorKindName(ErrorKind kind) noexcept {
    switch (kind) {
    case ErrorKind::Overflow: return "Overflow";
    case ErrorKind::IndexOutOfRange: return "Subscript out of range";
    case ErrorKind::TypeMismatch: return "Type mismatch";
    case ErrorKind::InvalidValue: return "Invalid procedure call or argument";
    case ErrorKind::FileError: return "File error";
    case ErrorKind::PlatformUnavailable: return "Platform service unavailable";
    case ErrorKind::OutOfMemory: return "Out of memory";
    case ErrorKind::InvalidOperation: return "Invalid operation";
    }
    return "Error";
}

RuntimeError::RuntimeError(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}

std::string RuntimeError::report() const {
    std::string text(errorKindName(kind_));
    const std::string message = what();
    if (!message.empty()) {
        text += ": ";
        text += message;
    }
    return text;
}

}  // namespace quorvel
