#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace quorvel {

// Rows that are refilled on every collection. Elements are reused rather than
// destroyed, so a refill of the same size or smaller touches no heap memory.
template <class Row>
class ProcRows {
public:
    void clear() noexcept { count_ = 0; }
    Row& append() {
        if (count_ == rows_.size()) {
            rows_.emplace_back();
        }
        return rows_[count_++];
    }
    void dropLast() noexcept { --count_; }
    [[nodiscard]] std::size_t size() const noexcept { return count_; }
    [[nodiscard]] bool empty() const noexcept { return count_ == 0; }
    [[nodiscard]] std::span<const Row> view() const noexcept { return {rows_.data(), count_}; }
    [[nodiscard]] const Row& operator[](std::size_t i) const { return rows_[i]; }
    void swap(ProcRows& other) noexcept {
        rows_.swap(other.rows_);
        std::swap(count_, other.count_);
    }

private:
    std::vector<Row> rows_;
    std::size_t count_ = 0;
};

}  // namespace quorvel
