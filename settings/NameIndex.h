#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvel {

// Maps a lower-cased name to the index of the first entry that bears it. The names stay
// in the caller's entries; a slot holds only the name's hash and the entry's index, so a
// look-up touches one slot and then the entry itself. Entries are only ever appended, and
// the first index of a name never changes, so slots are never removed one by one.
class NameIndex {
public:
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

    static std::uint64_t hashOf(std::string_view loweredName);

    void clear();
    void reserve(std::size_t names);

    // The index stored for `hash` for which `isName(index)` holds, or kNotFound.
    template <class IsName>
    [[nodiscard]] std::size_t find(std::uint64_t hash, IsName isName) const {
        if (slots_.empty()) {
            return kNotFound;
        }
        for (std::size_t at = hash & mask(); slots_[at].occupied(); at = (at + 1) & mask()) {
            if (slots_[at].hash == hash && isName(slots_[at].index())) {
                return slots_[at].index();
            }
        }
        return kNotFound;
    }

    // Stores `index` for a name known to be absent. Either succeeds or changes nothing.
    void insertAbsent(std::uint64_t hash, std::size_t index);

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::size_t indexPlusOne = 0;  // 0 marks a free slot
        [[nodiscard]] bool occupied() const { return indexPlusOne != 0; }
        [[nodiscard]] std::size_t index() const { return indexPlusOne - 1; }
    };

    [[nodiscard]] std::size_t mask() const { return slots_.size() - 1; }
    void place(std::vector<Slot>& slots, std::uint64_t hash, std::size_t indexPlusOne) const;
    void rehash(std::size_t capacity);

    std::vector<Slot> slots_;  // a power of two long, at most half full
    std::size_t used_ = 0;
};

}  // namespace quorvel
