#include "platform/windows/RegistryProfileStore.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/RuntimeError.h"
#include "platform/windows/ScopedHandle.h"

namespace quorvel {

RegistryProfileStore::RegistryProfileStore(std::string root) : root_(std::move(root)) {}

std::string RegistryProfileStore::sectionKey(const std::string& application, const std::string& section) const {
    if (application.empty() || section.empty()) {
        throw RuntimeError(ErrorKind::InvalidValue, "a setting needs an application name and a section");
    }
    return root_ + "\\" + application + "\\" + section;
}

std::string RegistryProfileStore::getSetting(const std::string& application, const std::string& section,
                                             const std::string& key, const std::string& fallback) const {
    win::RegistryKey opened;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, sectionKey(application, section).c_str(), 0, KEY_QUERY_VALUE,
                        opened.receive()) != ERROR_SUCCESS) {
        return fallback;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(opened.get(), key.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return fallback;
    }
    // The value may change between the two calls; ask again while it grows.
    std::vector<char> data;
    LONG status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        data.assign(size + 1, '\0');
        size = static_cast<DWORD>(data.size());
        status =
            ::RegQueryValueExA(opened.get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (status != ERROR_SUCCESS) {
        return fallback;
    }
    const std::string text(data.data(), std::min<std::size_t>(size, data.size()));
    return text.substr(0, text.find('\0'));
}

void RegistryProfileStore::saveSetting(const std::string& application, const std::string& section,
                                       const std::string& key, const std::string& value) {
    win::RegistryKey created;
    LONG status = ::RegCreateKeyExA(HKEY_CURRENT_USER, sectionKey(application, section).c_str(), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, created.receive(), nullptr);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetValueExA(created.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1));
    }
    if (status == ERROR_SUCCESS) {
        status = ::RegFlushKey(created.get());
    }
    if (status != ERROR_SUCCESS) {
        throw RuntimeError(
            ErrorKind::PlatformUnavailable,
            "cannot save the setting " + key + " in HKEY_CURRENT_USER\\" + sectionKey(application, section));
    }
}

}  // namespace quorvel
