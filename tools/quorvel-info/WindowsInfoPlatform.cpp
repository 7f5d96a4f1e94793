#include <cstdlib>
#include <filesystem>

#include "app/SettingsLocation.h"
#include "platform/UserConfigFolder.h"
#include "platform/windows/AnsiCodePage.h"
#include "platform/windows/LibrarySearch.h"
#include "platform/windows/PdhValueSource.h"
#include "platform/windows/WindowsFileSystem.h"
#include "platform/windows/WindowsFolderLookup.h"
#include "platform/windows/WindowsProcessInfo.h"
#include "tools/quorvel-info/InfoPlatform.h"
#include "tools/quorvel-info/WindowsLibraries.h"

namespace quorvel::info {

win::SystemLibraries& Libraries() {
    static win::SystemLibraries libraries;
    return libraries;
}

void RestrictLibrarySearch() {
    win::RestrictLibrarySearch();
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

// The gadget whose settings file is looked for: a folder and a name, nothing to run.
class GadgetFile final : public ProcessInfo {
public:
    GadgetFile(std::string folder, std::string name) : folder_(std::move(folder)), name_(std::move(name)) {}
    [[nodiscard]] std::string executableFolder() const override { return folder_; }
    [[nodiscard]] std::string executableName() const override { return name_; }
    [[nodiscard]] char pathSeparator() const override { return WindowsProcessInfo().pathSeparator(); }
    [[noreturn]] void terminate(int status) override { std::_Exit(status); }

private:
    std::string folder_;
    std::string name_;
};

// A copy of the program keeps its settings beside itself only.
class NoUserConfigFolder final : public UserConfigFolder {
public:
    [[nodiscard]] std::string userConfigFolder() const override { return {}; }
};

GadgetFile gadgetOf(InfoArgs args) {
    if (args.empty()) {
        return {WindowsProcessInfo().executableFolder(), "quorvel"};
    }
    const std::filesystem::path path(std::string{args[0]});
    return {path.has_parent_path() ? path.parent_path().string() : WindowsProcessInfo().executableFolder(),
            path.stem().string()};
}

}  // namespace

std::unique_ptr<CounterSource> OpenCounterSource(const InfoContext& /*context*/) {
    return std::make_unique<PdhCounterSource>();
}

std::unique_ptr<FolderLookup> OpenFolderLookup() {
    return std::make_unique<WindowsFolderLookup>(Libraries());
}

SettingsSearch SearchSettings(InfoArgs args) {
    SettingsSearch search{SettingsLocation::Candidates(gadgetOf(args), NoUserConfigFolder()), {}};
    search.found = SettingsLocation::FirstExisting(WindowsFileSystem(), search.candidates);
    return search;
}

}  // namespace quorvel::info
