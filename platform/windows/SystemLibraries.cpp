#include "platform/windows/SystemLibraries.h"

#include <utility>

#include "common/RuntimeError.h"

namespace quorvel::win {
namespace {

std::string systemFolder() {
    std::array<char, MAX_PATH + 1> buffer{};
    const UINT length = ::GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0 || length >= buffer.size()) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "the system folder cannot be found");
    }
    return {buffer.data(), length};
}

std::size_t indexOf(SystemLibrary library) {
    return static_cast<std::size_t>(library);
}

}  // namespace

SystemLibraries::SystemLibraries(std::map<SystemLibrary, std::string> folders)
    : folders_(std::move(folders)), systemFolder_(systemFolder()) {}

std::string SystemLibraries::libraryPath(SystemLibrary library) const {
    const auto other = folders_.find(library);
    std::string folder = other != folders_.end() ? other->second : systemFolder_;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') {
        folder.push_back('\\');
    }
    return folder + kLibraryFiles[indexOf(library)];
}

HMODULE SystemLibraries::library(SystemLibrary which, bool required) {
    const std::size_t i = indexOf(which);
    if (!libraryTried_[i]) {
        libraryTried_[i] = true;
        // Dependencies of the library come from its own folder, not from the program's.
        modules_[i].reset(::LoadLibraryExA(libraryPath(which).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    if (!modules_[i].valid() && required) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "cannot load " + libraryPath(which));
    }
    return modules_[i].get();
}

FARPROC SystemLibraries::address(Fn fn, bool required) {
    const auto i = static_cast<std::size_t>(fn);
    const FunctionEntry& entry = kFunctions[i];
    const HMODULE module = library(entry.library, required);
    if (!functionTried_[i] && module != nullptr) {
        functionTried_[i] = true;
        functions_[i] = ::GetProcAddress(module, entry.name);
    }
    if (functions_[i] == nullptr && required) {
        throw RuntimeError(ErrorKind::PlatformUnavailable,
                           std::string(kLibraryFiles[indexOf(entry.library)]) + " has no function " + entry.name);
    }
    return functions_[i];
}

}  // namespace quorvel::win
