#pragma once

#include <array>
#include <map>
#include <string>

#include "platform/windows/ScopedHandle.h"
#include "platform/windows/SystemFunctions.h"

namespace quorvel::win {

// Loads the system libraries and finds their functions by name, each at its first use.
// A library is loaded by its full path in the system folder, never by a bare name, so
// that a DLL of the same name in the program's folder or the working folder is never
// picked up. Libraries stay loaded as long as this object lives.
class SystemLibraries {
public:
    // `folders` loads the libraries it names from another folder: tests point the
    // performance-data library at a stand-in. The program passes nothing.
    explicit SystemLibraries(std::map<SystemLibrary, std::string> folders = {});

    // The function; throws RuntimeError(PlatformUnavailable) when its library cannot
    // be loaded or does not export it.
    template <Fn F>
    typename Signature<F>::type require() {
        return cast<F>(address(F, true));
    }
    // The same, but null instead of the error, for functions that only some versions
    // of a library have.
    template <Fn F>
    typename Signature<F>::type find() {
        return cast<F>(address(F, false));
    }

    // The full path that a library is (or would be) loaded from.
    [[nodiscard]] std::string libraryPath(SystemLibrary library) const;

private:
    template <Fn F>
    static typename Signature<F>::type cast(FARPROC address) {
        // Through the generic function type, which converts to every other without a warning.
        return reinterpret_cast<typename Signature<F>::type>(reinterpret_cast<void (*)()>(address));
    }

    FARPROC address(Fn fn, bool required);
    HMODULE library(SystemLibrary which, bool required);

    std::map<SystemLibrary, std::string> folders_;
    std::string systemFolder_;
    std::array<ModuleHandle, kLibraryFiles.size()> modules_;
    std::array<bool, kLibraryFiles.size()> libraryTried_{};
    std::array<FARPROC, kFunctionCount> functions_{};
    std::array<bool, kFunctionCount> functionTried_{};
};

}  // namespace quorvel::win
