#include "app/CommandLine.h"

#include "app/Version.h"

#include <ostream>

namespace quorvel::CommandLine {

Request Parse(std::span<const std::string_view> args) {
    for (const std::string_view arg : args) {
        if (arg == "--help") {
            return Request::Help;
        }
        if (arg == "--version") {
            return Request::Version;
        }
    }
    return Request::Run;
}

std::string HelpText() {
    return "Usage: quorvel [--help | --version]\n"
           "A small window that graphs two performance counters once a second: by default the\n"
           "bytes sent and received per second over the machine's remote-access links.\n"
           "Drag it with the left mouse button; the right button opens its menu.\n"
           "\n"
           "Settings: the first of these files that exists is read at start and written back\n"
           "at exit: quorvel.ini beside the program (a portable copy), then\n"
           "$XDG_CONFIG_HOME/quorvel/quorvel.ini, by default ~/.config/quorvel/quorvel.ini\n"
           "(an installed copy). With neither, the defaults are used and no file is created.\n"
           "To start one, copy /usr/share/doc/quorvel/quorvel.ini to ~/.config/quorvel/.\n"
           "\"quorvel-info settings-path\" prints the file in use.\n"
           "\n"
           "Options:\n"
           "  --help     print this help and exit\n"
           "  --version  print the version and exit\n"
           "Any other argument is ignored.\n";
}

std::string VersionText() {
    return std::string(version::kProductName) + " " + std::to_string(version::kMajor) + "." +
           std::to_string(version::kMinor) + "." + std::to_string(version::kRevision);
}

std::optional<int> Answer(std::span<const std::string_view> args, std::ostream& out) {
    switch (Parse(args)) {
    case Request::Run: return std::nullopt;
    case Request::Help: out << HelpText(); break;
    case Request::Version: out << VersionText() << '\n'; break;
    }
    // A full disk or a closed pipe is a failure, not a printed answer.
    out.flush();
    return out ? 0 : 1;
}

}  // namespace quorvel::CommandLine
