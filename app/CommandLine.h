#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

// The two requests a desktop program answers on its command line without opening a window.
namespace quorvel::CommandLine {

enum class Request { Run, Help, Version };

// What the arguments (without the program name) ask for: the first "--help" or "--version"
// decides; every other argument is ignored.
Request Parse(std::span<const std::string_view> args);

// The text for --help, ending in a newline. `settingsHelp` is the platform's paragraph on
// where the settings file is looked for, ending in a newline.
std::string HelpText(std::string_view settingsHelp);

// The product name and version, "Quorvel 1.1.0", without a newline.
std::string VersionText();

// Answers --help and --version on `out` before anything needs a display: the exit status
// (1 when the answer could not be written), or nothing when the gadget is to run.
std::optional<int> Answer(std::span<const std::string_view> args, std::string_view settingsHelp, std::ostream& out);

}  // namespace quorvel::CommandLine
