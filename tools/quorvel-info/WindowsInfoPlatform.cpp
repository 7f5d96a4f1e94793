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

namespace {

// The performance-data service reads other machines itself; nothing to wait for.
class PdhCounterSource final : public CounterSource {
public:
    ValueSource& values() override { return source_; }
    std::string awaitMachineOf(const std::string& /*path*/) override { return {}; }

private:
    PdhValueSource source_{Libraries()};
};

}  // namespace

std::unique_ptr<CounterSource> OpenCounterSource(const InfoContext& /*context*/) {
    return std::make_unique<PdhCounterSource>();
}

std::unique_ptr<FolderLookup> OpenFolderLookup() {
    return std::make_unique<WindowsFolderLookup>(Libraries());
}

}  // namespace quorvel::info
