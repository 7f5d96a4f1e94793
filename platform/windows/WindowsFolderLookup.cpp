#include "platform/windows/WindowsFolderLookup.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quorvel {
namespace {

UINT sizeOf(std::span<char> buffer) {
    return static_cast<UINT>(std::min<std::size_t>(buffer.size(), UINT32_MAX));
}

}  // namespace

void WindowsFolderLookup::Directory(DirectoryCall which, std::span<char> buffer) {
    switch (which) {
    case DirectoryCall::Windows:
        libraries_.require<win::Fn::GetWindowsDirectoryA>()(buffer.data(), sizeOf(buffer));
        break;
    case DirectoryCall::System:
        libraries_.require<win::Fn::GetSystemDirectoryA>()(buffer.data(), sizeOf(buffer));
        break;
    case DirectoryCall::Temp: libraries_.require<win::Fn::GetTempPathA>()(sizeOf(buffer), buffer.data()); break;
    }
}

void WindowsFolderLookup::ShellFolder(std::int32_t id, std::span<char> buffer) {
    const auto desktopWindow = libraries_.require<win::Fn::GetDesktopWindow>();
    const auto location = libraries_.require<win::Fn::SHGetSpecialFolderLocation>();
    const auto pathFromList = libraries_.require<win::Fn::SHGetPathFromIDListA>();
    PIDLIST_ABSOLUTE list = nullptr;
    location(desktopWindow(), id, &list);
    if (list == nullptr) {
        return;
    }
    // The call is not told the buffer's size and may write up to MAX_PATH characters;
    // the caller gets what fits.
    std::array<char, MAX_PATH + 1> path{};
    pathFromList(list, path.data());
    ::CoTaskMemFree(list);
    const std::size_t length = std::find(path.begin(), path.end(), '\0') - path.begin();
    if (length == 0) {
        return;
    }
    const std::size_t copied = std::min(length + 1, buffer.size());
    std::copy_n(path.begin(), copied, buffer.begin());
}

void WindowsFolderLookup::RegistryValue(std::uint32_t rootKey, const std::string& subkey, const std::string& valueName,
                                        RegistryView view, std::span<char> buffer) {
    const auto query = libraries_.require<win::Fn::RegQueryValueExA>();
    const auto close = libraries_.require<win::Fn::RegCloseKey>();
    // The predefined root keys are 32-bit values sign-extended to the width of a handle.
    const auto root = reinterpret_cast<HKEY>(  // NOLINT(performance-no-int-to-ptr): keys are numbers
        static_cast<LONG_PTR>(static_cast<std::int32_t>(rootKey)));
    HKEY key = nullptr;
    if (view == RegistryView::Bits32) {
        // On a 64-bit system the keys of 32-bit programs lie apart; elsewhere the flag is ignored.
        libraries_.require<win::Fn::RegOpenKeyExA>()(root, subkey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key);
    } else {
        libraries_.require<win::Fn::RegOpenKeyA>()(root, subkey.c_str(), &key);
    }
    DWORD type = 0;
    auto size = static_cast<DWORD>(sizeOf(buffer));
    if (query(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
        ERROR_MORE_DATA) {
        // Whatever part of a longer value the call left behind would name the wrong folder.
        std::fill(buffer.begin(), buffer.end(), '\0');
    }
    close(key);
}

}  // namespace quorvel
