#include <ostream>

#include "common/Text.h"
#include "platform/linux/ProcValueSource.h"
#include "platform/linux/snmp/SnmpValueSource.h"
#include "tools/quorvel-info/InfoCommand.h"
#include "tools/quorvel-info/RemoteMachine.h"

namespace quorvel::info {

namespace {

// Both sources list their objects in the same shape.
template <class Info>
std::vector<ProcValueSource::ObjectInfo> asListing(std::vector<Info> objects) {
    std::vector<ProcValueSource::ObjectInfo> listing;
    listing.reserve(objects.size());
    for (auto& o : objects) {
        listing.push_back({std::move(o.name), std::move(o.counters), o.hasInstances, std::move(o.instances)});
    }
    return listing;
}

}  // namespace

int runCounters(InfoArgs args, InfoContext& context) {
    std::string_view machine;
    if (!args.empty() && args[0].starts_with("\\\\")) {
        machine = args[0].substr(2);
        args = args.subspan(1);
    }
    if (args.size() > 1) {
        context.err << "quorvel-info: counters takes at most a machine and one object name\n";
        return kUsageError;
    }
    std::vector<ProcValueSource::ObjectInfo> objects;
    if (machine.empty()) {
        ProcValueSource source(context.root);
        objects = source.describe();
    } else {
        SnmpValueSource remote;
        std::string problem;
        const auto reading = askMachine(remote, machine, SnmpValueSource::allNeeds(), problem);
        if (!reading) {
            context.err << "quorvel-info: " << problem << "\n";
            return kFailed;
        }
        objects = asListing(SnmpValueSource::describe(*reading));
    }
    bool found = false;
    for (const auto& object : objects) {
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
