#include "folders/clsSystemFolder.h"

#include <algorithm>
#include <array>

namespace quorvel {

namespace {

constexpr std::size_t kBufferSize = 256;
using Buffer = std::array<char, kBufferSize>;

constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kVisualBasicKey = "SOFTWARE\\Microsoft\\Visual Basic\\5.0";

// A buffer the lookup filled to the brim has lost its end, so it yields nothing rather
// than a cut-off path.
std::string TextBeforeNul(const Buffer& buffer) {
    const auto nul = std::find(buffer.begin(), buffer.end(), '\0');
    if (nul == buffer.end()) {
        return {};
    }
    return {buffer.begin(), nul};
}

}  // namespace

std::string clsSystemFolder::GetDirectory(DirectoryCall which) const {
    Buffer buffer{};
    lookup_.Directory(which, buffer);
    return TextBeforeNul(buffer);
}

std::string clsSystemFolder::GetShellFolder(std::int32_t id) const {
    Buffer buffer{};
    lookup_.ShellFolder(id, buffer);
    return TextBeforeNul(buffer);
}

std::string clsSystemFolder::GetRegValue(std::uint32_t rootKey, const std::string& subkey, const std::string& valueName,
                                         RegistryView view) const {
    Buffer buffer{};
    lookup_.RegistryValue(rootKey, subkey, valueName, view, buffer);
    return TextBeforeNul(buffer);
}

std::string clsSystemFolder::Windows() const {
    return GetDirectory(DirectoryCall::Windows);
}
std::string clsSystemFolder::System() const {
    return GetDirectory(DirectoryCall::System);
}
std::string clsSystemFolder::Temp() const {
    return GetDirectory(DirectoryCall::Temp);
}

std::string clsSystemFolder::Desktop() const {
    return GetShellFolder(CSIDL_DESKTOP);
}
std::string clsSystemFolder::Programs() const {
    return GetShellFolder(CSIDL_PROGRAMS);
}
std::string clsSystemFolder::Personal() const {
    return GetShellFolder(CSIDL_PERSONAL);
}
std::string clsSystemFolder::Favorites() const {
    return GetShellFolder(CSIDL_FAVORITES);
}
std::string clsSystemFolder::Startup() const {
    return GetShellFolder(CSIDL_STARTUP);
}
std::string clsSystemFolder::Recent() const {
    return GetShellFolder(CSIDL_RECENT);
}
std::string clsSystemFolder::SendTo() const {
    return GetShellFolder(CSIDL_SENDTO);
}
std::string clsSystemFolder::Fonts() const {
    return GetShellFolder(CSIDL_FONTS);
}
std::string clsSystemFolder::StartMenu() const {
    return GetShellFolder(CSIDL_STARTMENU);
}

std::string clsSystemFolder::Device() const {
    return GetRegValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "DevicePath");
}
std::string clsSystemFolder::CommonFiles() const {
    return GetRegValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir");
}
std::string clsSystemFolder::Config() const {
    return GetRegValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ConfigPath");
}
std::string clsSystemFolder::Media() const {
    return GetRegValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "MediaPath");
}
std::string clsSystemFolder::ProgramFiles() const {
    return GetRegValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir");
}
std::string clsSystemFolder::OldWindows() const {
    return GetRegValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "OldWinDir");
}
std::string clsSystemFolder::VB5Install() const {
    // The development environment is a 32-bit program, so its key lies in the 32-bit view.
    return GetRegValue(HKEY_LOCAL_MACHINE, kVisualBasicKey, "InstallDir", RegistryView::Bits32);
}

}  // namespace quorvel
