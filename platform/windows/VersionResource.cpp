#include "platform/windows/VersionResource.h"

#include <array>
#include <cstdio>
#include <utility>
#include <vector>

#include "common/RuntimeError.h"
#include "platform/windows/WindowsProcessInfo.h"

namespace quorvel {

VersionResource::VersionResource(win::SystemLibraries& libraries, std::string modulePath)
    : libraries_(libraries), modulePath_(std::move(modulePath)) {}

ProductVersion VersionResource::productVersion() const {
    const auto infoSize = libraries_.require<win::Fn::GetFileVersionInfoSizeA>();
    const auto info = libraries_.require<win::Fn::GetFileVersionInfoA>();
    const auto query = libraries_.require<win::Fn::VerQueryValueA>();

    const std::string path = modulePath_.empty() ? ExecutablePath() : modulePath_;
    const auto missing = [&path] {
        return RuntimeError(ErrorKind::PlatformUnavailable, "no version information in " + path);
    };
    DWORD ignored = 0;
    const DWORD size = infoSize(path.c_str(), &ignored);
    if (size == 0) {
        throw missing();
    }
    std::vector<char> block(size, '\0');
    if (info(path.c_str(), 0, size, block.data()) == FALSE) {
        throw missing();
    }

    void* data = nullptr;
    UINT length = 0;
    if (query(block.data(), "\\", &data, &length) == FALSE || length < sizeof(VS_FIXEDFILEINFO)) {
        throw missing();
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    ProductVersion version;
    version.major = HIWORD(fixed->dwProductVersionMS);
    version.minor = LOWORD(fixed->dwProductVersionMS);
    version.revision = HIWORD(fixed->dwProductVersionLS);

    struct Translation {
        WORD language;
        WORD codePage;
    };
    if (query(block.data(), "\\VarFileInfo\\Translation", &data, &length) == FALSE || length < sizeof(Translation)) {
        throw missing();
    }
    const auto* translation = static_cast<const Translation*>(data);
    std::array<char, 64> key{};
    std::snprintf(key.data(), key.size(), "\\StringFileInfo\\%04x%04x\\ProductName",
                  static_cast<unsigned>(translation->language), static_cast<unsigned>(translation->codePage));
    if (query(block.data(), key.data(), &data, &length) == FALSE || length == 0) {
        throw missing();
    }
    const auto* name = static_cast<const char*>(data);
    version.productName.assign(name, length);
    // The length may count the terminating NUL.
    version.productName.resize(version.productName.find('\0') == std::string::npos ? version.productName.size()
                                                                                   : version.productName.find('\0'));
    return version;
}

}  // namespace quorvel
