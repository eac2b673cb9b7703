#pragma once
// The middle of a few numbers (lines' ends, labels' heights, marks' steps):
// of an even count the upper of the two middle ones; 0 of none.
#include <algorithm>
#include <cstddef>
#include <vector>

namespace calvero::capture {

inline double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

} // namespace calvero::capture
