#pragma once

#include <cstdint>

#include "platform/ValueSource.h"
#include "platform/linux/ProcCatalog.h"
#include "platform/linux/ProcRate.h"
#include "platform/linux/ProcRows.h"
#include "platform/linux/ProcSampler.h"

namespace quorvel::proc {

// One counter of a query: what it reads, its last reading, and the sample that the
// next reading is measured against.
struct ProcCounter {
    QueryHandle query = 0;
    bool open = true;
    const ObjectDef* object = nullptr;
    const CounterDef* def = nullptr;
    InstanceRef instance;
    Reading reading;
    ProcRows<KeyedSample> previous;
    ProcRows<KeyedSample> current;
    bool hasPrevious = false;
    std::int64_t previousTimeNs = 0;
};

}  // namespace quorvel::proc
