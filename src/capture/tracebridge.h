#pragma once
// A curve a legend's box or a text is drawn over: the trace stops at the
// box's edge and the curve goes on beyond it as another trace of its colour.
// The two are one curve when their trends at their ends, carried across the
// gap, meet half way with like slopes; the gap is then filled along a smooth arc
// between them. Two curves of one colour side by side, or one ending where
// another begins at another height or slope, are left apart.
#include "capture/calibration.h"

#include <optional>
#include <vector>

namespace calvero::capture {

// The two traces (a point per column, by x) joined across the gap between
// them, or nothing when they overlap in x, the gap is wider than maxGap
// columns, or their trends do not meet across it.
std::optional<std::vector<PixelPoint>> bridged(const std::vector<PixelPoint>& a, const std::vector<PixelPoint>& b,
                                               double maxGap);

} // namespace calvero::capture
