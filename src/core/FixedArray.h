// Fixed-size tables with checked indexing: an index outside 0..N-1 raises
// ERangeError instead of touching memory that does not belong to the table.
#pragma once

#include "Errors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace wellenschau {

template <typename T, std::size_t N>
class TFixedArray {
public:
    static constexpr std::size_t Count = N;

    T& operator[](std::int64_t index) {
        Check(index);
        return FItems[static_cast<std::size_t>(index)];
    }
    const T& operator[](std::int64_t index) const {
        Check(index);
        return FItems[static_cast<std::size_t>(index)];
    }

    void Fill(const T& value) { FItems.fill(value); }

    // Unchecked views for loops whose bounds have been checked once.
    T* data() { return FItems.data(); }
    const T* data() const { return FItems.data(); }
    std::span<T, N> Span() { return FItems; }
    std::span<const T, N> Span() const { return FItems; }
    static constexpr std::size_t size() { return N; }

    auto begin() { return FItems.begin(); }
    auto end() { return FItems.end(); }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    static void Check(std::int64_t index) {
        if (index < 0 || static_cast<std::uint64_t>(index) >= N) throw ERangeError();
    }

    std::array<T, N> FItems{};
};

}  // namespace wellenschau
