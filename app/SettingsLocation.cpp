#include "app/SettingsLocation.h"

#include "app/Tool.h"

namespace quorvel::SettingsLocation {

std::vector<std::string> Candidates(const ProcessInfo& process, const UserConfigFolder& config) {
    const char separator = process.pathSeparator();
    std::vector<std::string> candidates{
        Tool::JoinPath(process.executableFolder(), process.executableName() + ".ini", separator)};
    if (const std::string folder = config.userConfigFolder(); !folder.empty()) {
        candidates.push_back(
            Tool::JoinPath(Tool::JoinPath(folder, kUserFolderName, separator), kUserFileName, separator));
    }
    return candidates;
}

std::string FirstExisting(const FileSystem& files, const std::vector<std::string>& candidates) {
    for (const std::string& path : candidates) {
        if (Tool::IsExistingFile(files, path)) {
            return path;
        }
    }
    return {};
}

}  // namespace quorvel::SettingsLocation
