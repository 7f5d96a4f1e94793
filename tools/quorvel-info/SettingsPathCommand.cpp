#include <filesystem>
#include <ostream>

#include "app/SettingsLocation.h"
#include "app/Tool.h"
#include "platform/linux/LinuxProcessInfo.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/XdgConfigFolder.h"
#include "tools/quorvel-info/InfoCommand.h"

namespace quorvel::info {
namespace {

// The gadget named on the command line, or "quorvel" beside this tool, where both are installed.
std::string gadgetPath(InfoArgs args) {
    if (args.empty()) {
        return Tool::JoinPath(LinuxProcessInfo().executableFolder(), "quorvel");
    }
    // The gadget finds its own folder through /proc/self/exe, which resolves links.
    std::error_code error;
    const auto path = std::filesystem::weakly_canonical(std::filesystem::absolute(args[0], error), error);
    return error ? std::string(args[0]) : path.string();
}

}  // namespace

int runSettingsPath(InfoArgs args, InfoContext& context) {
    if (args.size() > 1) {
        context.err << "quorvel-info: settings-path takes at most the path of the gadget\n";
        return kUsageError;
    }
    const LinuxProcessInfo gadget(gadgetPath(args));
    const XdgConfigFolder configFolder;
    const PosixFileSystem files;
    const auto candidates = SettingsLocation::Candidates(gadget, configFolder);
    if (const std::string found = SettingsLocation::FirstExisting(files, candidates); !found.empty()) {
        context.out << found << "\n";
        return kOk;
    }
    context.err << "quorvel-info: no settings file exists, so the gadget runs on its defaults.\n"
                   "It reads the first of these that exists; create one there to configure it:\n";
    for (const std::string& path : candidates) {
        context.err << "  " << path << "\n";
    }
    return kFailed;
}

}  // namespace quorvel::info
