#pragma once
// Fixed-size arrays indexed from 1, as every data array of the program is.
#include <array>
#include <cassert>
#include <cstddef>

namespace calvero {

template <typename T, int N>
struct OneBasedArray {
    std::array<T, N> items{};

    T& operator[](int i)
    {
        assert(i >= 1 && i <= N);
        return items[static_cast<std::size_t>(i - 1)];
    }
    const T& operator[](int i) const
    {
        assert(i >= 1 && i <= N);
        return items[static_cast<std::size_t>(i - 1)];
    }
    static constexpr int size() { return N; }
    void fill(const T& value) { items.fill(value); }
    bool operator==(const OneBasedArray&) const = default;
};

constexpr int MaxPoints = 200;
using PointArray = OneBasedArray<double, MaxPoints>;

} // namespace calvero
