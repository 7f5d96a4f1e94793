// A stand-in for the performance-data library, built as pdh.dll for the counter tests:
// Wine's own Visual Basic entry points are unimplemented. It hands out handles above
// 32 bits (so that a caller cutting them short is caught), logs every call with its
// arguments, and returns the values the test scripted. Built with
// QUORVEL_STANDIN_DOCUMENTED it exports none of the Visual Basic entry points, only the
// documented functions that do the same, logged the same way. A program
// that cannot script it (the gadget in the end-to-end tests) gives constant values by
// path in QUORVEL_STANDIN_VALUES instead: "path=value|path=value"; a path with several
// values, "path=1000,3000,2000", takes them in turn, one a collection, over and over.
// Both builds list two objects with their instances and counters, for quorvel-info.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr LONG kNoObject = static_cast<LONG>(0xC0000BB8);
constexpr LONG kInvalidHandle = static_cast<LONG>(0xC0000BBC);
constexpr LONG kInvalidData = static_cast<LONG>(0xC0000BBA);
constexpr LONG kMoreData = static_cast<LONG>(0x800007D2);
constexpr std::uintptr_t kQueryBase = 0x5100000000;
constexpr std::uintptr_t kCounterBase = 0x7300000000;

struct Query {
    int collections = 0;
    bool closed = false;
};

struct State {
    std::string log;
    bool localised = false;
    std::vector<double> values;
    std::vector<Query> queries;
    std::vector<std::size_t> counterQuery;  // the query of each counter
    std::vector<std::string> counterPath;   // the path of each counter
} state;

// The value that QUORVEL_STANDIN_VALUES gives the path at a collection (1 the first), or 0.
double environmentValue(const std::string& path, std::size_t sample) {
    const char* values = std::getenv("QUORVEL_STANDIN_VALUES");
    std::istringstream entries(values != nullptr ? values : "");
    for (std::string entry; std::getline(entries, entry, '|');) {
        const std::size_t equals = entry.rfind('=');
        if (equals != std::string::npos && entry.substr(0, equals) == path) {
            std::istringstream turns(entry.substr(equals + 1));
            std::vector<double> numbers;
            for (std::string turn; std::getline(turns, turn, ',');) {
                numbers.push_back(std::stod(turn));
            }
            return numbers.at((sample - 1) % numbers.size());
        }
    }
    return 0.0;
}

std::string handleText(const void* handle) {
    char text[32];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
    return text;
}

Query* queryOf(HANDLE handle) {
    const auto n = reinterpret_cast<std::uintptr_t>(handle) - kQueryBase;
    return n < state.queries.size() && !state.queries[n].closed ? &state.queries[n] : nullptr;
}

LONG onQuery(const char* call, HANDLE query, void (*change)(Query&)) {
    state.log += std::string(call) + " " + handleText(query) + "\n";
    Query* q = queryOf(query);
    if (q == nullptr) {
        return kInvalidHandle;
    }
    change(*q);
    return ERROR_SUCCESS;
}

LONG openQuery(HANDLE* query) {
    state.queries.emplace_back();
    *query = reinterpret_cast<HANDLE>(  // NOLINT(performance-no-int-to-ptr): handles are numbers here
        kQueryBase + state.queries.size() - 1);
    state.log += "open -> " + handleText(*query) + "\n";
    return ERROR_SUCCESS;
}

// The plain add of a localised service knows no English name.
LONG addCounter(bool english, HANDLE query, const char* path, HANDLE* counter) {
    state.log += std::string(english ? "add-english " : "add ") + handleText(query) + " " + path;
    if (!english && state.localised) {
        state.log += " -> no such object\n";
        return kNoObject;
    }
    state.log += "\n";
    if (queryOf(query) == nullptr) {
        return kInvalidHandle;
    }
    state.counterQuery.push_back(reinterpret_cast<std::uintptr_t>(query) - kQueryBase);
    state.counterPath.emplace_back(path);
    *counter = reinterpret_cast<HANDLE>(  // NOLINT(performance-no-int-to-ptr): handles are numbers here
        kCounterBase + state.counterQuery.size() - 1);
    return ERROR_SUCCESS;
}

// The value scripted for the query's latest collection; status 0xC0000BBC for a bad
// handle, 0xC0000BBA (and a value that means nothing) before the first collection.
double readValue(HANDLE counter, LONG* status) {
    state.log += "read " + handleText(counter) + "\n";
    const auto n = reinterpret_cast<std::uintptr_t>(counter) - kCounterBase;
    if (n >= state.counterQuery.size()) {
        *status = kInvalidHandle;
        return -1.0;
    }
    const Query& q = state.queries[state.counterQuery[n]];
    const auto sample = static_cast<std::size_t>(q.collections);
    if (sample == 0) {
        *status = kInvalidData;
        return 99.0;
    }
    *status = ERROR_SUCCESS;
    if (state.values.empty()) {
        return environmentValue(state.counterPath[n], sample);
    }
    return sample <= state.values.size() ? state.values[sample - 1] : 0.0;
}

// The objects offered, with their instances and counters.
struct Offered {
    const char* object;
    std::vector<const char*> instances;
    std::vector<const char*> counters;
};
const std::vector<Offered> offered{
    {"Network Interface", {"Ethernet", "Loopback"}, {"Bytes Received/sec", "Bytes Sent/sec"}},
    {"RAS Total", {}, {"Bytes Received/Sec", "Bytes Transmitted/Sec"}},
};

// Names each ended by a NUL, the list by one more (an empty list is empty), as the
// service gives them: into a buffer of *size characters, or, with none or one too
// small, the size needed and "more data".
LONG list(const std::vector<const char*>& names, char* buffer, DWORD* size) {
    std::string text;
    for (const char* name : names) {
        text.append(name).push_back('\0');
    }
    if (!text.empty()) {
        text.push_back('\0');
    }
    const bool fits = buffer != nullptr && *size >= text.size();
    if (fits) {
        std::memcpy(buffer, text.data(), text.size());
    }
    *size = static_cast<DWORD>(text.size());
    return fits ? ERROR_SUCCESS : kMoreData;
}

}  // namespace

extern "C" {

__declspec(dllexport) void WINAPI StandInScript(BOOL localised, const double* values, int count) {
    state.localised = localised != FALSE;
    state.values.assign(values, values + count);
}

__declspec(dllexport) const char* WINAPI StandInLog() {
    return state.log.c_str();
}

__declspec(dllexport) LONG WINAPI PdhCollectQueryData(HANDLE query) {
    return onQuery("collect", query, [](Query& q) { ++q.collections; });
}

__declspec(dllexport) LONG WINAPI PdhCloseQuery(HANDLE query) {
    return onQuery("close", query, [](Query& q) { q.closed = true; });
}

__declspec(dllexport) LONG WINAPI PdhAddEnglishCounterA(HANDLE query, const char* path, DWORD_PTR, HANDLE* counter) {
    return addCounter(true, query, path, counter);
}

__declspec(dllexport) LONG WINAPI PdhEnumObjectsA(const char* /*source*/, const char* /*machine*/, char* objects,
                                                  DWORD* size, DWORD /*detail*/, BOOL /*refresh*/) {
    return list({offered[0].object, offered[1].object}, objects, size);
}

__declspec(dllexport) LONG WINAPI
    PdhEnumObjectItemsA(const char* /*source*/, const char* /*machine*/, const char* object, char* counters,
                        DWORD* counterSize, char* instances, DWORD* instanceSize, DWORD /*detail*/, DWORD /*flags*/) {
    for (const Offered& o : offered) {
        if (std::string(o.object) == object) {
            const LONG counterStatus = list(o.counters, counters, counterSize);
            const LONG instanceStatus = list(o.instances, instances, instanceSize);
            return counterStatus != ERROR_SUCCESS ? counterStatus : instanceStatus;
        }
    }
    return kNoObject;
}

#ifdef QUORVEL_STANDIN_DOCUMENTED
struct FormattedValue {
    DWORD status;
    double doubleValue;  // of a union with a 32- and a 64-bit integer
};
constexpr DWORD kFormatDouble = 0x00000200;

__declspec(dllexport) LONG WINAPI PdhOpenQueryA(const char* /*source*/, DWORD_PTR /*user*/, HANDLE* query) {
    return openQuery(query);
}

__declspec(dllexport) LONG WINAPI PdhAddCounterA(HANDLE query, const char* path, DWORD_PTR /*user*/, HANDLE* counter) {
    return addCounter(false, query, path, counter);
}

// A failed call leaves the value as it was; a value of another format is refused.
__declspec(dllexport) LONG WINAPI
    PdhGetFormattedCounterValue(HANDLE counter, DWORD format, DWORD* /*type*/, FormattedValue* value) {
    LONG status = ERROR_SUCCESS;
    const double read = readValue(counter, &status);
    if (status == kInvalidHandle || format != kFormatDouble) {
        return kInvalidHandle;
    }
    value->status = static_cast<DWORD>(status);
    value->doubleValue = read;
    return status;
}
#else
__declspec(dllexport) LONG WINAPI PdhVbOpenQuery(HANDLE* query) {
    return openQuery(query);
}

__declspec(dllexport) LONG WINAPI PdhVbAddCounter(HANDLE query, const char* path, HANDLE* counter) {
    return addCounter(false, query, path, counter);
}

__declspec(dllexport) double WINAPI PdhVbGetDoubleCounterValue(HANDLE counter, LONG* status) {
    return readValue(counter, status);
}
#endif

}  // extern "C"
