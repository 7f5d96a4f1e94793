#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/ProcessInfo.h"
#include "platform/UserConfigFolder.h"

// Where the settings file is looked for. An installed executable lies in a folder its user
// cannot write, so a copy of the file in the user's own configuration folder serves it.
namespace quorvel::SettingsLocation {

// The folder and file name under the user's configuration folder.
inline constexpr const char* kUserFolderName = "quorvel";
inline constexpr const char* kUserFileName = "quorvel.ini";

// The places in the order they are tried: beside the executable, bearing its name with
// ".ini" (a portable copy); then quorvel/quorvel.ini in the user's configuration folder,
// left out when the user has none.
std::vector<std::string> Candidates(const ProcessInfo& process, const UserConfigFolder& config);

// The first candidate that can be opened for reading; empty when none can.
std::string FirstExisting(const FileSystem& files, const std::vector<std::string>& candidates);

}  // namespace quorvel::SettingsLocation
