#pragma once
// Arrays indexed from 1, as every data array of the program is: fixed-size
// ones for coefficients and report lines, and the points' values, as many as
// there are points.
#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <span>
#include <vector>

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

// The rows of the point grid and the points a data set file holds. The
// engine itself takes any number of points.
constexpr int MaxPoints = 200;

// Values numbered from 1, as many as have been written: writing value i
// makes room for 1..i (new places hold T{}, 0 for a number), and a place
// never written reads as T{}, as the grid's empty rows always have. The
// points' coordinates are such lists, so the engine takes any number of
// points.
template <typename T>
class OneBasedList {
public:
    OneBasedList() = default;
    explicit OneBasedList(std::span<const T> values) : values_(values.begin(), values.end()) {}

    T& operator[](int i)
    {
        assert(i >= 1);
        if (static_cast<std::size_t>(i) > values_.size()) values_.resize(static_cast<std::size_t>(i), T{});
        return values_[static_cast<std::size_t>(i - 1)];
    }
    T operator[](int i) const
    {
        assert(i >= 1);
        return static_cast<std::size_t>(i) <= values_.size() ? values_[static_cast<std::size_t>(i - 1)] : T{};
    }
    // Values 1..n as a span; n is at most the values written.
    std::span<const T> first(int n) const
    {
        assert(n >= 0 && static_cast<std::size_t>(n) <= values_.size());
        return std::span<const T>(values_.data(), static_cast<std::size_t>(n));
    }
    int size() const { return static_cast<int>(values_.size()); }
    void assign(std::span<const T> values) { values_.assign(values.begin(), values.end()); }
    void resize(int n) { values_.resize(static_cast<std::size_t>(std::max(n, 0)), T{}); }
    void clear() { values_.clear(); }
    // Equal when every place holds the same value, an unwritten place being T{}.
    bool operator==(const OneBasedList& other) const
    {
        const int n = std::max(size(), other.size());
        for (int i = 1; i <= n; ++i)
            if (!((*this)[i] == other[i])) return false;
        return true;
    }

private:
    std::vector<T> values_;
};

// One coordinate of the points.
using PointValues = OneBasedList<double>;
using PointArray = PointValues;

} // namespace calvero
