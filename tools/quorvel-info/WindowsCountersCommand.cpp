#include <array>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "common/Text.h"
#include "tools/quorvel-info/InfoCommand.h"
#include "tools/quorvel-info/WindowsLibraries.h"

namespace quorvel::info {
namespace {

constexpr PDH_STATUS kMoreData = static_cast<PDH_STATUS>(0x800007D2);

std::string statusText(PDH_STATUS status) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "0x%08lX", static_cast<unsigned long>(status));
    return text.data();
}

// The names of a list of NUL-ended names that ends in an empty one.
std::vector<std::string> namesOf(const std::vector<char>& list) {
    std::vector<std::string> names;
    for (std::size_t pos = 0; pos < list.size() && list[pos] != '\0';) {
        names.emplace_back(list.data() + pos);
        pos += names.back().size() + 1;
    }
    return names;
}

// Calls `enumerate` once for the sizes and once more for the lists; the status of the second call.
template <class Enumerate>
PDH_STATUS twice(Enumerate enumerate) {
    const PDH_STATUS sizing = enumerate(true);
    if (sizing != ERROR_SUCCESS && sizing != kMoreData) {
        return sizing;
    }
    return enumerate(false);
}

}  // namespace

int runCounters(InfoArgs args, InfoContext& context) {
    if (args.size() > 1) {
        context.err << "quorvel-info: counters takes at most one object name\n";
        return kUsageError;
    }
    auto& libraries = Libraries();
    const auto enumObjects = libraries.find<win::Fn::PdhEnumObjectsA>();
    const auto enumItems = libraries.find<win::Fn::PdhEnumObjectItemsA>();
    if (enumObjects == nullptr || enumItems == nullptr) {
        context.err << "quorvel-info: the performance-data library of this system cannot list its objects\n";
        return kFailed;
    }
    DWORD size = 0;
    std::vector<char> objects;
    const PDH_STATUS listed = twice([&](bool sizing) {
        objects.assign(sizing ? 0 : size + 1, '\0');
        return enumObjects(nullptr, nullptr, sizing ? nullptr : objects.data(), &size, PERF_DETAIL_WIZARD,
                           sizing ? TRUE : FALSE);
    });
    if (listed != ERROR_SUCCESS) {
        context.err << "quorvel-info: the performance-data library lists no objects (status " << statusText(listed)
                    << ")\n";
        return kFailed;
    }
    bool found = false;
    for (const std::string& object : namesOf(objects)) {
        if (!args.empty() && !text::equalsIgnoreCase(object, args[0])) {
            continue;
        }
        found = true;
        DWORD counterSize = 0;
        DWORD instanceSize = 0;
        std::vector<char> counters;
        std::vector<char> instances;
        const PDH_STATUS items = twice([&](bool sizing) {
            counters.assign(sizing ? 0 : counterSize + 1, '\0');
            instances.assign(sizing ? 0 : instanceSize + 1, '\0');
            return enumItems(nullptr, nullptr, object.c_str(), sizing ? nullptr : counters.data(), &counterSize,
                             sizing ? nullptr : instances.data(), &instanceSize, PERF_DETAIL_WIZARD, 0);
        });
        context.out << object << "\n";
        if (items != ERROR_SUCCESS) {
            context.out << "  (cannot be listed: status " << statusText(items) << ")\n";
            continue;
        }
        const auto instanceNames = namesOf(instances);
        if (!instanceNames.empty()) {
            context.out << "  instances:";
            for (std::size_t i = 0; i < instanceNames.size(); ++i) {
                context.out << (i == 0 ? " " : ", ") << instanceNames[i];
            }
            context.out << "\n";
        }
        context.out << "  counters:\n";
        for (const std::string& counter : namesOf(counters)) {
            context.out << "    " << counter << "\n";
        }
    }
    if (!found && args.empty()) {
        context.err << "quorvel-info: the performance-data library lists no objects\n";
        return kFailed;
    }
    if (!found) {
        context.err << "quorvel-info: unknown object \"" << args[0] << "\"; \"quorvel-info counters\" lists them\n";
        return kFailed;
    }
    return kOk;
}

}  // namespace quorvel::info
