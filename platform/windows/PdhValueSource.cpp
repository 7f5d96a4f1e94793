#include "platform/windows/PdhValueSource.h"

#include <string>

namespace quorvel {
namespace {

template <class Handle>
std::uint32_t numberOf(std::vector<Handle>& table, const Handle& handle) {
    table.push_back(handle);
    return static_cast<std::uint32_t>(table.size());
}

bool unknownName(PDH_STATUS status) {
    const auto s = static_cast<CounterStatus>(status);
    return s == counter_status::NoObject || s == counter_status::NoCounter;
}

}  // namespace

PdhValueSource::PdhValueSource(win::SystemLibraries& libraries) : libraries_(libraries) {}

PDH_HQUERY PdhValueSource::nativeQuery(QueryHandle query) const {
    return query == 0 || query > queries_.size() ? nullptr : queries_[query - 1];
}

PDH_HCOUNTER PdhValueSource::nativeCounter(CounterHandle counter) const {
    if (counter == 0 || counter > counters_.size()) {
        return nullptr;
    }
    const Counter& c = counters_[counter - 1];
    // A closed query took its counters with it.
    return nativeQuery(c.query) == nullptr ? nullptr : c.handle;
}

CounterStatus PdhValueSource::openQuery(QueryHandle& query) {
    const auto open = libraries_.require<win::Fn::PdhVbOpenQuery>();
    PDH_HQUERY handle = nullptr;
    const PDH_STATUS status = open(&handle);
    if (status == ERROR_SUCCESS) {
        query = numberOf(queries_, handle);
    }
    return static_cast<CounterStatus>(status);
}

CounterStatus PdhValueSource::addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) {
    const auto add = libraries_.require<win::Fn::PdhVbAddCounter>();
    const std::string text(path);
    PDH_HCOUNTER handle = nullptr;
    PDH_STATUS status = add(nativeQuery(query), text.c_str(), &handle);
    if (unknownName(status)) {
        if (const auto addEnglish = libraries_.find<win::Fn::PdhAddEnglishCounterA>()) {
            status = addEnglish(nativeQuery(query), text.c_str(), 0, &handle);
        }
    }
    if (status == ERROR_SUCCESS) {
        counter = numberOf(counters_, Counter{handle, query});
    }
    return static_cast<CounterStatus>(status);
}

CounterStatus PdhValueSource::collect(QueryHandle query) {
    const auto collectData = libraries_.require<win::Fn::PdhCollectQueryData>();
    return static_cast<CounterStatus>(collectData(nativeQuery(query)));
}

double PdhValueSource::readDouble(CounterHandle counter, CounterStatus& status) {
    const auto read = libraries_.require<win::Fn::PdhVbGetDoubleCounterValue>();
    PDH_STATUS readStatus = ERROR_SUCCESS;
    const double value = read(nativeCounter(counter), &readStatus);
    status = static_cast<CounterStatus>(readStatus);
    return value;
}

CounterStatus PdhValueSource::closeQuery(QueryHandle query) {
    const auto close = libraries_.require<win::Fn::PdhCloseQuery>();
    const PDH_STATUS status = close(nativeQuery(query));
    if (status == ERROR_SUCCESS && nativeQuery(query) != nullptr) {
        queries_[query - 1] = nullptr;
    }
    return static_cast<CounterStatus>(status);
}

}  // namespace quorvel
