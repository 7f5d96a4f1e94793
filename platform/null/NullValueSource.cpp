#include "platform/null/NullValueSource.h"

namespace quorvel {

CounterStatus NullValueSource::openQuery(QueryHandle& /*query*/) {
    return counter_status::NoData;
}

CounterStatus NullValueSource::addCounter(QueryHandle /*query*/, std::string_view /*path*/,
                                          CounterHandle& /*counter*/) {
    return counter_status::NoData;
}

CounterStatus NullValueSource::collect(QueryHandle /*query*/) {
    return counter_status::NoData;
}

double NullValueSource::readDouble(CounterHandle /*counter*/, CounterStatus& status) {
    status = counter_status::NoData;
    return 0.0;
}

CounterStatus NullValueSource::closeQuery(QueryHandle /*query*/) {
    return counter_status::NoData;
}

}  // namespace quorvel
