#include "settings/NameIndex.h"

#include <bit>
#include <functional>

namespace quorvel {

std::uint64_t NameIndex::hashOf(std::string_view loweredName) {
    return std::hash<std::string_view>{}(loweredName);
}

void NameIndex::clear() {
    slots_.clear();
    used_ = 0;
}

void NameIndex::reserve(std::size_t names) {
    const std::size_t wanted = std::bit_ceil(names * 2 + 2);
    if (wanted > slots_.size()) {
        rehash(wanted);
    }
}

void NameIndex::place(std::vector<Slot>& slots, std::uint64_t hash, std::size_t indexPlusOne) const {
    const std::size_t slotMask = slots.size() - 1;
    std::size_t at = hash & slotMask;
    while (slots[at].occupied()) {
        at = (at + 1) & slotMask;
    }
    slots[at] = Slot{hash, indexPlusOne};
}

void NameIndex::rehash(std::size_t capacity) {
    std::vector<Slot> bigger(capacity);
    for (const Slot& slot : slots_) {
        if (slot.occupied()) {
            place(bigger, slot.hash, slot.indexPlusOne);
        }
    }
    slots_.swap(bigger);
}

void NameIndex::insertAbsent(std::uint64_t hash, std::size_t index) {
    if ((used_ + 1) * 2 > slots_.size()) {
        rehash(slots_.empty() ? 16 : slots_.size() * 2);
    }
    place(slots_, hash, index + 1);
    ++used_;
}

}  // namespace quorvel
