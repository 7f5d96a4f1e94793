#include "platform/linux/XdgFolderLookup.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>
#include <utility>

#include "common/Text.h"
#include "platform/linux/XdgUserDirs.h"

namespace quorvel {

namespace {

constexpr std::string_view kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

struct RegistryFolder {
    std::string_view valueName;
    std::string_view folder;
};

constexpr std::array<RegistryFolder, 5> kRegistryFolders{{
    {"ProgramFilesDir", "/opt"},
    {"CommonFilesDir", "/usr/share"},
    {"MediaPath", "/usr/share/sounds"},
    {"ConfigPath", "/etc"},
    {"DevicePath", "/lib/modules"},
}};

// An answer that does not fit with its NUL is not written at all, the way the
// directory calls leave a too-small buffer alone: a cut-off path would name the
// wrong folder.
void WriteAnswer(std::span<char> buffer, std::string_view answer) {
    if (answer.empty() || answer.size() >= buffer.size()) {
        return;
    }
    std::copy(answer.begin(), answer.end(), buffer.begin());
    buffer[answer.size()] = '\0';
}

std::string JoinPath(const std::string& folder, std::string_view name) {
    if (folder.empty()) {
        return {};
    }
    return folder.ends_with('/') ? folder + std::string(name) : folder + '/' + std::string(name);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

std::optional<std::string> ReadProcessEnvironment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

XdgFolderLookup::XdgFolderLookup(EnvironmentReader environment) : environment_(std::move(environment)) {}

// Relative folders in these variables would depend on the working directory, and the
// XDG rules tell readers to ignore them.
std::string XdgFolderLookup::AbsoluteVariable(const std::string& name) const {
    auto value = environment_(name);
    if (!value || !value->starts_with('/')) {
        return {};
    }
    return std::move(*value);
}

std::string XdgFolderLookup::TempFolder() const {
    std::string folder = AbsoluteVariable("TMPDIR");
    if (folder.empty()) {
        folder = "/tmp";
    }
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    return folder;
}

std::string XdgFolderLookup::BaseFolder(const std::string& variable, const char* homeRelative) const {
    std::string folder = AbsoluteVariable(variable);
    return folder.empty() ? JoinPath(AbsoluteVariable("HOME"), homeRelative) : folder;
}

std::string XdgFolderLookup::UserDir(const char* name, const char* fallback) const {
    const std::string home = AbsoluteVariable("HOME");
    const std::string configHome = BaseFolder("XDG_CONFIG_HOME", ".config");
    if (!configHome.empty()) {
        if (auto folder = FindUserDir(ReadWholeFile(JoinPath(configHome, "user-dirs.dirs")), name, home)) {
            return std::move(*folder);
        }
    }
    return *fallback == '\0' ? home : JoinPath(home, fallback);
}

std::string XdgFolderLookup::ShellFolderPath(std::int32_t id) const {
    switch (id) {
    case CSIDL_DESKTOP: return UserDir("DESKTOP", "Desktop");
    case CSIDL_PERSONAL: return UserDir("DOCUMENTS", "");
    case CSIDL_PROGRAMS:
    case CSIDL_STARTMENU: return JoinPath(BaseFolder("XDG_DATA_HOME", ".local/share"), "applications");
    case CSIDL_STARTUP: return JoinPath(BaseFolder("XDG_CONFIG_HOME", ".config"), "autostart");
    case CSIDL_RECENT: return JoinPath(BaseFolder("XDG_DATA_HOME", ".local/share"), "RecentDocuments");
    case CSIDL_FONTS: return JoinPath(BaseFolder("XDG_DATA_HOME", ".local/share"), "fonts");
    default: return {};
    }
}

void XdgFolderLookup::Directory(DirectoryCall which, std::span<char> buffer) {
    switch (which) {
    case DirectoryCall::Windows: WriteAnswer(buffer, "/usr"); break;
    case DirectoryCall::System: WriteAnswer(buffer, "/usr/bin"); break;
    case DirectoryCall::Temp: WriteAnswer(buffer, TempFolder()); break;
    }
}

void XdgFolderLookup::ShellFolder(std::int32_t id, std::span<char> buffer) {
    WriteAnswer(buffer, ShellFolderPath(id));
}

void XdgFolderLookup::RegistryValue(std::uint32_t rootKey, const std::string& subkey, const std::string& valueName,
                                    RegistryView /*view*/, std::span<char> buffer) {
    if (rootKey != HKEY_LOCAL_MACHINE || !text::equalsIgnoreCase(subkey, kCurrentVersionKey)) {
        return;
    }
    for (const auto& entry : kRegistryFolders) {
        if (text::equalsIgnoreCase(valueName, entry.valueName)) {
            WriteAnswer(buffer, entry.folder);
            return;
        }
    }
}

}  // namespace quorvel
