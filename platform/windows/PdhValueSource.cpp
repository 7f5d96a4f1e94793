#include "platform/windows/PdhValueSource.h"

#include <pdhmsg.h>

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
    PDH_HQUERY handle = nullptr;
    PDH_STATUS status = ERROR_SUCCESS;
    if (const auto open = libraries_.find<win::Fn::PdhVbOpenQuery>()) {
        status = open(&handle);
    } else {
        status = libraries_.require<win::Fn::PdhOpenQueryA>()(nullptr, 0, &handle);
    }
    if (status == ERROR_SUCCESS) {
        query = numberOf(queries_, handle);
    }
    return static_cast<CounterStatus>(status);
}

CounterStatus PdhValueSource::addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) {
    const std::string text(path);
    PDH_HCOUNTER handle = nullptr;
    PDH_STATUS status = ERROR_SUCCESS;
    if (const auto add = libraries_.find<win::Fn::PdhVbAddCounter>()) {
        status = add(nativeQuery(query), text.c_str(), &handle);
    } else {
        status = libraries_.require<win::Fn::PdhAddCounterA>()(nativeQuery(query), text.c_str(), 0, &handle);
    }
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
    if (const auto read = libraries_.find<win::Fn::PdhVbGetDoubleCounterValue>()) {
        PDH_STATUS readStatus = ERROR_SUCCESS;
        const double value = read(nativeCounter(counter), &readStatus);
        status = static_cast<CounterStatus>(readStatus);
        return value;
    }
    const auto format = libraries_.require<win::Fn::PdhGetFormattedCounterValue>();
    PDH_FMT_COUNTERVALUE value{};
    const PDH_STATUS result = format(nativeCounter(counter), PDH_FMT_DOUBLE, nullptr, &value);
    status = static_cast<CounterStatus>(result != ERROR_SUCCESS ? static_cast<DWORD>(result) : value.CStatus);
    // A failed call leaves the value undefined; a rate after one collection is no number yet.
    const bool valid =
        result == ERROR_SUCCESS && (value.CStatus == PDH_CSTATUS_VALID_DATA || value.CStatus == PDH_CSTATUS_NEW_DATA);
    return valid ? value.doubleValue : 0.0;
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
