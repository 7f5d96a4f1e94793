#include <time.h>

#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <ostream>
#include <thread>
#include <variant>

#include "counters/clsPdh.h"
#include "tools/quorvel-info/InfoCommand.h"
#include "tools/quorvel-info/InfoPlatform.h"
#include "tools/quorvel-info/SampleOptions.h"

namespace quorvel::info {
namespace {

std::string_view problemWith(CounterStatus status) {
    switch (status) {
    case counter_status::Valid:
    case counter_status::InvalidData: return {};
    case counter_status::BadCounterName: return "is not a counter path (\\Object(Instance)\\Counter)";
    case counter_status::NoMachine: return "names no machine that can be asked (\\\\host or \\\\host:port)";
    case counter_status::NoObject: return "names an object that this machine does not offer";
    case counter_status::NoCounter: return "names a counter that its object does not have";
    case counter_status::NoInstance: return "names an instance that is not there now, or lacks one it needs";
    default: return "cannot be read";
    }
}

// The service's own verdict on a path: added to a query of its own, collected once,
// after its machine answered when it is another one.
std::string checkPath(CounterSource& counters, const std::string& path) {
    ValueSource& source = counters.values();
    QueryHandle query = 0;
    source.openQuery(query);
    CounterHandle counter = 0;
    CounterStatus status = source.addCounter(query, path, counter);
    std::string problem;
    if (status == counter_status::Valid) {
        problem = counters.awaitMachineOf(path);
        source.collect(query);
        (void)source.readDouble(counter, status);
    }
    source.closeQuery(query);
    if (!problem.empty()) {
        return problem;
    }
    if (status == counter_status::NoData) {
        return "\"" + path + "\" has no data now";
    }
    const auto verdict = problemWith(status);
    return verdict.empty() ? std::string() : "\"" + path + "\" " + std::string(verdict);
}

void writeQuoted(std::ostream& out, std::string_view cell) {
    out << '"';
    for (const char c : cell) {
        out << c;
        if (c == '"') {
            out << '"';
        }
    }
    out << '"';
}

std::string localTime() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // The tool runs on one thread, so the shared result of localtime is safe to copy.
    const std::time_t seconds = now.tv_sec;
    const std::tm* local = std::localtime(&seconds);
    const std::tm parts = local != nullptr ? *local : std::tm{};
    std::array<char, 64> text{};
    const std::size_t n = std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &parts);
    std::snprintf(text.data() + n, text.size() - n, ".%03ld", now.tv_nsec / 1'000'000);
    return text.data();
}

// Plain decimal digits, as short as reads back the same: spreadsheets take them as they are.
std::string decimal(double value) {
    std::array<char, 400> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return {text.data(), result.ptr};
}

}  // namespace

int runSample(InfoArgs args, InfoContext& context) {
    auto parsed = parseSampleOptions(args);
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        context.err << "quorvel-info: " << *message
                    << "\nusage: quorvel-info sample PATH... [-i MILLISECONDS] [-n COUNT]\n";
        return kUsageError;
    }
    const SampleOptions& options = std::get<SampleOptions>(parsed);
    const auto counters = OpenCounterSource(context);
    ValueSource& source = counters->values();
    bool bad = false;
    for (const std::string& path : options.paths) {
        if (const auto problem = checkPath(*counters, path); !problem.empty()) {
            context.err << "quorvel-info: " << problem << "\n";
            bad = true;
        }
    }
    if (bad) {
        context.err << "\"quorvel-info counters\" lists what there is.\n";
        return kFailed;
    }

    std::vector<std::unique_ptr<clsPdh>> queries;
    for (const std::string& path : options.paths) {
        queries.push_back(std::make_unique<clsPdh>(source));
        queries.back()->AddCounter(path);
    }
    writeQuoted(context.out, "time");
    for (const std::string& path : options.paths) {
        context.out << ',';
        writeQuoted(context.out, path);
    }
    context.out << std::endl;

    // The first collection only gives the rates something to be measured against.
    for (auto& q : queries) {
        q->Collect();
    }
    // Collections keep to their schedule however long each takes. (clock_nanosleep with an
    // absolute time fails at once on Windows, which made this loop spin forever there.)
    auto next = std::chrono::steady_clock::now();
    for (std::uint64_t n = 0; !options.count || n < *options.count; ++n) {
        next += std::chrono::milliseconds(options.intervalMs);
        std::this_thread::sleep_until(next);
        for (auto& q : queries) {
            q->Collect();
        }
        writeQuoted(context.out, localTime());
        for (auto& q : queries) {
            context.out << ',' << decimal(q->GetValue());
        }
        context.out << std::endl;
    }
    return kOk;
}

}  // namespace quorvel::info
