// A stand-in for the performance-data library, built as pdh.dll for the counter tests:
// Wine's own Visual Basic entry points are unimplemented. It hands out handles above
// 32 bits, so that a caller cutting them short is caught. Built with
// QUORVEL_STANDIN_DOCUMENTED it exports none of the Visual Basic entry points, only the
// documented functions that do the same.
// The values come by path from QUORVEL_STANDIN_VALUES, "path=value|path=value"; a path
// with several values, "path=1000,3000,2000", takes them in turn, one a collection, over
// and over; a path not named reads 0. The service is a localised one: its plain add does
// not know \Memory, which only the English-name entry point finds. It lists two objects
// with their instances and counters, for quorvel-info.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr LONG kNoObject = static_cast<LONG>(0xC0000BB8);
constexpr LONG kInvalidHandle = static_cast<LONG>(0xC0000BBC);
constexpr LONG kInvalidData = static_cast<LONG>(0xC0000BBA);
constexpr LONG kMoreData = static_cast<LONG>(0x800007D2);
constexpr std::uintptr_t kQueryBase = 0x5100000000;
constexpr std::uintptr_t kCounterBase = 0x7300000000;

std::vector<int> collections;                               // of each query; -1 once it is closed
std::vector<std::pair<std::size_t, std::string>> counters;  // the query and the path of each

struct Offered {
    const char* object;
    std::vector<const char*> instances;
    std::vector<const char*> counters;
};
const std::vector<Offered> offered{
    {"Network Interface", {"Ethernet", "Loopback"}, {"Bytes Received/sec", "Bytes Sent/sec"}},
    {"RAS Total", {}, {"Bytes Received/Sec", "Bytes Transmitted/Sec"}},
};

// The value of the path at a collection (1 the first).
double environmentValue(const std::string& path, int sample) {
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
            return numbers.at(static_cast<std::size_t>(sample - 1) % numbers.size());
        }
    }
    return 0.0;
}

// The number of a handle, past the end of `table` for one not handed out.
template <class T>
std::size_t numberOf(const void* handle, std::uintptr_t base, const std::vector<T>& table) {
    const std::uintptr_t n = reinterpret_cast<std::uintptr_t>(handle) - base;
    return n < table.size() ? n : table.size();
}

LONG onQuery(HANDLE query, int change) {
    const std::size_t n = numberOf(query, kQueryBase, collections);
    if (n == collections.size() || collections[n] < 0) {
        return kInvalidHandle;
    }
    collections[n] = change < 0 ? change : collections[n] + change;
    return ERROR_SUCCESS;
}

LONG openQuery(HANDLE* query) {
    collections.push_back(0);
    *query = reinterpret_cast<HANDLE>(kQueryBase + collections.size() - 1);  // NOLINT(performance-no-int-to-ptr)
    return ERROR_SUCCESS;
}

LONG addCounter(bool english, HANDLE query, const char* path, HANDLE* counter) {
    if (!english && std::string(path).starts_with("\\Memory")) {
        return kNoObject;
    }
    const std::size_t n = numberOf(query, kQueryBase, collections);
    if (n == collections.size()) {
        return kInvalidHandle;
    }
    counters.emplace_back(n, path);
    *counter = reinterpret_cast<HANDLE>(kCounterBase + counters.size() - 1);  // NOLINT(performance-no-int-to-ptr)
    return ERROR_SUCCESS;
}

// A bad handle reads -1 with its status; before the first collection the value means
// nothing and the status says so.
double readValue(HANDLE counter, LONG* status) {
    const std::size_t n = numberOf(counter, kCounterBase, counters);
    if (n == counters.size()) {
        *status = kInvalidHandle;
        return -1.0;
    }
    const int sample = collections[counters[n].first];
    *status = sample > 0 ? ERROR_SUCCESS : kInvalidData;
    return sample > 0 ? environmentValue(counters[n].second, sample) : 99.0;
}

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

// The queries opened and not closed yet.
__declspec(dllexport) int WINAPI StandInOpenQueries() {
    return static_cast<int>(std::count_if(collections.begin(), collections.end(), [](int c) { return c >= 0; }));
}

__declspec(dllexport) LONG WINAPI PdhCollectQueryData(HANDLE query) {
    return onQuery(query, 1);
}

__declspec(dllexport) LONG WINAPI PdhCloseQuery(HANDLE query) {
    return onQuery(query, -1);
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
