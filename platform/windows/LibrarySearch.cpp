#include "platform/windows/LibrarySearch.h"

#include <exception>

#include "platform/windows/SystemLibraries.h"

namespace quorvel::win {

void RestrictLibrarySearch() {
    try {
        SystemLibraries libraries;
        const auto setDefault = libraries.find<Fn::SetDefaultDllDirectories>();
        if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE) {
            return;
        }
    } catch (const std::exception&) {
        // No system folder to load from: fall through to what the kernel always has.
    }
    ::SetDllDirectoryA("");
}

}  // namespace quorvel::win
