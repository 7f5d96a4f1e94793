#pragma once

#include <string>
#include <string_view>

#include "platform/FileSystem.h"

// Small path helpers of the start-up code. They keep no state between calls.
namespace quorvel::Tool {

// `name` inside `folder`: `separator` (the system's, see ProcessInfo::pathSeparator) is
// inserted only when the folder does not end in one. A bare drive designator gets a
// separator first, so that the name lands in the drive's root.
// Raises an Overflow for a folder longer than 32767 characters (see IsDriveSpec).
std::string JoinPath(std::string_view folder, std::string_view name, char separator);

// True for a text of 2 or 3 characters whose second character is ":" (C:, C:\, C:x).
// Raises an Overflow for a text longer than 32767 characters.
bool IsDriveSpec(std::string_view candidate);

// Whether the file can be opened for reading: folders, missing and unreadable files give
// false, hidden files true. Never raises.
bool IsExistingFile(const FileSystem& files, const std::string& path);

}  // namespace quorvel::Tool
