#include <ostream>

#include "tools/quorvel-info/InfoCommand.h"
#include "tools/quorvel-info/InfoPlatform.h"

namespace quorvel::info {

int runSettingsPath(InfoArgs args, InfoContext& context) {
    if (args.size() > 1) {
        context.err << "quorvel-info: settings-path takes at most the path of the gadget\n";
        return kUsageError;
    }
    const SettingsSearch search = SearchSettings(args);
    if (!search.found.empty()) {
        context.out << search.found << "\n";
        return kOk;
    }
    context.err << "quorvel-info: no settings file exists, so the gadget runs on its defaults.\n"
                   "It reads the first of these that exists; create one there to configure it:\n";
    for (const std::string& path : search.candidates) {
        context.err << "  " << path << "\n";
    }
    return kFailed;
}

}  // namespace quorvel::info
