#pragma once

namespace quorvel::bench {

// Heap allocations made through operator new since the program started.
long allocationCount();

}  // namespace quorvel::bench
