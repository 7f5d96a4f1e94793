#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace quorvel::info {

// Exit statuses of the tool.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;      // the request was understood but cannot be met
inline constexpr int kUsageError = 2;  // the request itself is wrong

// What every command gets: where to write, and the directory that holds proc and sys.
struct InfoContext {
    std::ostream& out;
    std::ostream& err;
    std::string root = "/";
};

using InfoArgs = std::span<const std::string_view>;

// One subcommand of the tool.
struct InfoCommand {
    std::string_view name;
    std::string_view synopsis;
    std::string_view summary;
    int (*run)(InfoArgs args, InfoContext& context);
};

// Runs the tool with its arguments (without the program name); returns the exit status.
int runInfo(InfoArgs args, InfoContext& context);

int runCounters(InfoArgs args, InfoContext& context);
int runSample(InfoArgs args, InfoContext& context);
int runFolders(InfoArgs args, InfoContext& context);
int runSettingsPath(InfoArgs args, InfoContext& context);

}  // namespace quorvel::info
