#pragma once

#include "platform/ValueSource.h"

namespace quorvel {

// A value source for systems without a performance-data service: every call
// reports "no data", reads give 0 and no handle is ever written.
class NullValueSource final : public ValueSource {
public:
    CounterStatus openQuery(QueryHandle& query) override;
    CounterStatus addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) override;
    CounterStatus collect(QueryHandle query) override;
    double readDouble(CounterHandle counter, CounterStatus& status) override;
    CounterStatus closeQuery(QueryHandle query) override;
};

}  // namespace quorvel
