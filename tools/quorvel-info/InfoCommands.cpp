#include <array>
#include <ostream>

#include "common/RuntimeError.h"
#include "tools/quorvel-info/InfoCommand.h"

namespace quorvel::info {
namespace {

// The subcommands, in the order the usage lists them. A new one is one more line.
constexpr std::array kCommands{
    InfoCommand{"counters", "counters [\\\\MACHINE] [OBJECT]",
                "list the objects, their counters and current instances, here or on another machine", runCounters},
    InfoCommand{"sample", "sample PATH... [-i MILLISECONDS] [-n COUNT]",
                "print one CSV line per collection: the time, then each counter's value", runSample},
    InfoCommand{"folders", "folders", "print every special folder as Name=path", runFolders},
    InfoCommand{"settings-path", "settings-path [GADGET]",
                "print the settings file the gadget (default: quorvel beside this tool) would use;\n"
                "      with none, list where it looks and exit with status 1",
                runSettingsPath},
};

void usage(std::ostream& out) {
    out << "usage: quorvel-info [--root DIRECTORY] COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const InfoCommand& c : kCommands) {
        out << "  " << c.synopsis << "\n      " << c.summary << "\n";
    }
    out << "\nA counter path has the form \\Object(Instance)\\Counter, for example\n"
           "\"\\RAS Total\\Bytes Received/Sec\" or \"\\Network Interface(eth0)\\Bytes Sent/sec\"; with\n"
           "\\\\MACHINE or \\\\MACHINE:PORT in front it is read from that machine's SNMP agent,\n"
           "with the version, community or user that net-snmp's snmp.conf gives (else v2c, \"public\").\n"
           "--root reads proc and sys below DIRECTORY instead of /.\n";
}

}  // namespace

int runInfo(InfoArgs args, InfoContext& context) {
    if (args.size() >= 2 && args[0] == "--root") {
        context.root = std::string(args[1]);
        args = args.subspan(2);
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        usage(args.empty() ? context.err : context.out);
        return args.empty() ? kUsageError : kOk;
    }
    for (const InfoCommand& c : kCommands) {
        if (c.name == args[0]) {
            try {
                return c.run(args.subspan(1), context);
            } catch (const RuntimeError& e) {
                context.err << "quorvel-info: " << e.what() << "\n";
                return kFailed;
            }
        }
    }
    context.err << "quorvel-info: unknown command \"" << args[0] << "\"\n\n";
    usage(context.err);
    return kUsageError;
}

}  // namespace quorvel::info
