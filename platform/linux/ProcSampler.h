#pragma once

#include <string>

#include "platform/ValueSource.h"
#include "platform/linux/ProcCatalog.h"
#include "platform/linux/ProcRate.h"
#include "platform/linux/ProcRows.h"
#include "platform/linux/ProcSnapshot.h"

namespace quorvel::proc {

// Which instance a counter reads: one by name, every one, or none for objects without.
struct InstanceRef {
    std::string name;
    bool total = false;
    int number = -1;  // the name read as a processor number, when it is one
};

// Fills `out` with the contributors of one counter as the snapshot shows them. Returns
// Valid, NoInstance for an instance that is not there now, or NoObject / NoCounter when
// the kernel does not offer what the counter needs.
CounterStatus sampleCounter(ObjectId object, const CounterDef& counter, const InstanceRef& instance,
                            ProcSnapshot& snapshot, ProcRows<KeyedSample>& out);

}  // namespace quorvel::proc
