#include <clocale>
#include <filesystem>
#include <string_view>

#include "app/SettingsLocation.h"
#include "app/Tool.h"
#include "common/Text.h"
#include "platform/linux/CounterPath.h"
#include "platform/linux/LinuxProcessInfo.h"
#include "platform/linux/LocalHostName.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcValueSource.h"
#include "platform/linux/RoutingValueSource.h"
#include "platform/linux/XdgConfigFolder.h"
#include "platform/linux/XdgFolderLookup.h"
#include "platform/linux/snmp/SnmpValueSource.h"
#include "tools/quorvel-info/InfoPlatform.h"
#include "tools/quorvel-info/RemoteMachine.h"

namespace quorvel::info {
namespace {

// This machine from proc and sys, other machines over SNMP, as the gadget reads them.
class LinuxCounterSource final : public CounterSource {
public:
    explicit LinuxCounterSource(const std::string& root) : local_(root) {}

    ValueSource& values() override { return routing_; }

    std::string awaitMachineOf(const std::string& path) override {
        std::string problem;
        if (const auto machine = remoteMachine(path); !machine.empty()) {
            (void)askMachine(remote_, machine, 0, problem);
        }
        return problem;
    }

private:
    // The other machine a path names, or nothing for this one.
    [[nodiscard]] std::string_view remoteMachine(std::string_view path) const {
        const auto parts = parseCounterPath(path);
        if (!parts || parts->machine.empty() || parts->machine == "." ||
            text::equalsIgnoreCase(parts->machine, here_)) {
            return {};
        }
        return parts->machine;
    }

    ProcValueSource local_;
    SnmpValueSource remote_;
    std::string here_ = localHostName();
    RoutingValueSource routing_{local_, remote_, here_};
};

// The gadget named on the command line, or "quorvel" beside this tool, where both are installed.
std::string gadgetPath(InfoArgs args) {
    if (args.empty()) {
        const LinuxProcessInfo tool;
        return Tool::JoinPath(tool.executableFolder(), "quorvel", tool.pathSeparator());
    }
    // The gadget finds its own folder through /proc/self/exe, which resolves links.
    std::error_code error;
    const auto path = std::filesystem::weakly_canonical(std::filesystem::absolute(args[0], error), error);
    return error ? std::string(args[0]) : path.string();
}

}  // namespace

void RestrictLibrarySearch() {
    // The loader searches only the folders that the system and the program name.
}

void UseSystemTextEncoding() {
    // Names are matched in the user's encoding; numbers are written with a "." always.
    std::setlocale(LC_CTYPE, "");
}

std::unique_ptr<CounterSource> OpenCounterSource(const InfoContext& context) {
    return std::make_unique<LinuxCounterSource>(context.root);
}

std::unique_ptr<FolderLookup> OpenFolderLookup() {
    return std::make_unique<XdgFolderLookup>();
}

SettingsSearch SearchSettings(InfoArgs args) {
    const LinuxProcessInfo gadget(gadgetPath(args));
    SettingsSearch search{SettingsLocation::Candidates(gadget, XdgConfigFolder()), {}};
    search.found = SettingsLocation::FirstExisting(PosixFileSystem(), search.candidates);
    return search;
}

}  // namespace quorvel::info
