#include <ostream>

#include "common/Text.h"
#include "platform/linux/ProcValueSource.h"
#include "tools/quorvel-info/InfoCommand.h"

namespace quorvel::info {

int runCounters(InfoArgs args, InfoContext& context) {
    if (args.size() > 1) {
        context.err << "quorvel-info: counters takes at most one object name\n";
        return kUsageError;
    }
    ProcValueSource source(context.root);
    bool found = false;
    for (const auto& object : source.describe()) {
        if (!args.empty() && !text::equalsIgnoreCase(object.name, args[0])) {
            continue;
        }
        found = true;
        context.out << object.name << "\n";
        if (object.hasInstances) {
            context.out << "  instances:";
            if (object.instances.empty()) {
                context.out << " (none now)";
            }
            for (std::size_t i = 0; i < object.instances.size(); ++i) {
                context.out << (i == 0 ? " " : ", ") << object.instances[i];
            }
            context.out << "\n";
        }
        context.out << "  counters:\n";
        for (const auto& counter : object.counters) {
            context.out << "    " << counter << "\n";
        }
    }
    if (!found) {
        context.err << "quorvel-info: unknown object \"" << args[0] << "\"; \"quorvel-info counters\" lists them\n";
        return kFailed;
    }
    return kOk;
}

}  // namespace quorvel::info
