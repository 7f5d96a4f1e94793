#pragma once

#include <span>
#include <string>
#include <string_view>

// The two requests a desktop program answers on its command line without opening a window.
namespace quorvel::CommandLine {

enum class Request { Run, Help, Version };

// What the arguments (without the program name) ask for: the first "--help" or "--version"
// decides; every other argument is ignored.
Request Parse(std::span<const std::string_view> args);

// The text for --help, ending in a newline.
std::string HelpText();

// The product name and version, "Quorvel 1.1.0", without a newline.
std::string VersionText();

}  // namespace quorvel::CommandLine
