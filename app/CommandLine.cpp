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

std::string HelpText(std::string_view settingsHelp) {
    std::string text =
        "Usage: quorvel [--help | --version]\n"
        "A small window that graphs two performance counters once a second: by default the\n"
        "bytes sent and received per second over the machine's remote-access links.\n"
        "Drag it with the left mouse button; the right button opens its menu.\n"
        "\n";
    text += settingsHelp;
    text +=
        "\"quorvel-info settings-path\" prints the file in use.\n"
        "\n"
        "Options:\n"
        "  --help     print this help and exit\n"
        "  --version  print the version and exit\n"
        "Any other argument is ignored.\n";
    return text;
}

std::string VersionText() {
    return std::string(version::kProductName) + " " + std::to_string(version::kMajor) + "." +
           std::to_string(version::kMinor) + "." + std::to_string(version::kRevision);
}

std::optional<int> Answer(std::span<const std::string_view> args, std::string_view settingsHelp, std::ostream& out) {
    switch (Parse(args)) {
    case Request::Run: return std::nullopt;
    case Request::Help: out << HelpText(settingsHelp); break;
    case Request::Version: out << VersionText() << '\n'; break;
    }
    // A full disk or a closed pipe is a failure, not a printed answer.
    out.flush();
    return out ? 0 : 1;
}

}  // namespace quorvel::CommandLine
