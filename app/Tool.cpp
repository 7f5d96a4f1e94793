#include "app/Tool.h"

#include <cstddef>

#include "common/RuntimeError.h"
#include "common/Text.h"

namespace quorvel::Tool {
namespace {

constexpr std::size_t kMaxCount16 = 32767;

// The platform's path service: one separator between folder and name.
std::string buildPath(std::string_view folder, std::string_view name, char separator) {
    std::string path(folder);
    if (!path.empty() && path.back() != separator) {
        path.push_back(separator);
    }
    path += name;
    return path;
}

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name, char separator) {
    // Both tests always run, so an over-long folder raises whatever its length.
    const bool twoCharacters = text::charCount(folder) == 2;
    const bool driveSpec = IsDriveSpec(folder);
    if (twoCharacters && driveSpec) {
        return buildPath(std::string(folder) + separator, name, separator);
    }
    return buildPath(folder, name, separator);
}

bool IsDriveSpec(std::string_view candidate) {
    const std::size_t length = text::charCount(candidate);
    if (length > kMaxCount16) {
        throw RuntimeError(ErrorKind::Overflow,
                           "a text of " + std::to_string(length) + " characters does not fit a 16-bit length");
    }
    if (length != 2 && length != 3) {
        return false;
    }
    // The first character may take several bytes; one beyond U+FFFF fills both of the
    // first two character units, so no ":" can stand second.
    const std::size_t firstBytes = text::bytePrefixLength(candidate, 1);
    return text::charCount(candidate.substr(0, firstBytes)) == 1 && firstBytes < candidate.size() &&
           candidate[firstBytes] == ':';
}

bool IsExistingFile(const FileSystem& files, const std::string& path) {
    return files.canOpenForReading(path);
}

}  // namespace quorvel::Tool
