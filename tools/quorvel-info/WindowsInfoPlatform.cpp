#include "platform/windows/AnsiCodePage.h"
#include "platform/windows/PdhValueSource.h"
#include "platform/windows/WindowsFolderLookup.h"
#include "tools/quorvel-info/InfoPlatform.h"
#include "tools/quorvel-info/WindowsLibraries.h"

namespace quorvel::info {

win::SystemLibraries& Libraries() {
    static win::SystemLibraries libraries;
    return libraries;
}

void UseSystemTextEncoding() {
    (void)UseAnsiCodePage();
}

std::unique_ptr<ValueSource> OpenCounterSource(const InfoContext& /*context*/) {
    return std::make_unique<PdhValueSource>(Libraries());
}

std::unique_ptr<FolderLookup> OpenFolderLookup() {
    return std::make_unique<WindowsFolderLookup>(Libraries());
}

}  // namespace quorvel::info
