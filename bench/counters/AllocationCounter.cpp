#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Every heap allocation of the program passes through here, so a benchmark can tell
// how many its steady state makes. Kept in a file of its own, away from the callers.
namespace {
std::atomic<long> gAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t /*size*/) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t /*size*/) noexcept {
    std::free(p);
}

namespace quorvel::bench {

long allocationCount() {
    return gAllocations.load(std::memory_order_relaxed);
}

}  // namespace quorvel::bench
