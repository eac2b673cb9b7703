#pragma once
// Axis calibration: two reference pixels with their values on each axis, each
// axis linear or logarithmic. The two references of an axis give that axis's
// direction on the picture, so a scan turned by a few degrees (or a slightly
// skewed one) still reads right: the x value of a pixel depends only on where
// it lies along the x axis, measured parallel to the y axis, and likewise for y.
#include "common/checked.h"

#include <string>

namespace calvero::capture {

// A position on the picture in pixels, from its top-left corner; pixel (i, j)
// covers [i, i+1) x [j, j+1), so its centre is (i + 0.5, j + 0.5).
struct PixelPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// A position in the units of the axes.
struct UnitPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const UnitPoint&, const UnitPoint&) = default;
};

enum class AxisScale { Linear, Logarithmic };

struct AxisReference {
    PixelPoint first;
    PixelPoint second;
    double firstValue = 0;
    double secondValue = 1;
    AxisScale scale = AxisScale::Linear;
    friend bool operator==(const AxisReference&, const AxisReference&) = default;
};

struct AxesReferences {
    AxisReference x;
    AxisReference y;
    friend bool operator==(const AxesReferences&, const AxesReferences&) = default;
};

// Why the references cannot calibrate the axes, or nothing when they can:
// two points on one spot, equal values, a value of 0 or below on a
// logarithmic axis, a value that is not a finite number, axes parallel.
std::optional<std::string> referencesProblem(const AxesReferences& references);

class AxisCalibration {
public:
    // The calibration, or the message of referencesProblem.
    static Checked<AxisCalibration> fromReferences(const AxesReferences& references);

    const AxesReferences& references() const { return references_; }

    UnitPoint toUnits(PixelPoint pixel) const;
    PixelPoint toPixels(UnitPoint units) const;

    // The value of an axis as the calibration measures it: the value itself on
    // a linear axis, its decimal logarithm on a logarithmic one. Equal steps
    // of it are equal distances on the picture.
    double scaledX(double value) const;
    double scaledY(double value) const;
    double valueOfScaledX(double scaled) const;
    double valueOfScaledY(double scaled) const;

private:
    AxisCalibration() = default;

    AxesReferences references_;
    // scaled = gradient . (pixel - origin) + offset, one row per axis.
    double xGradient_[2] = {0, 0};
    double yGradient_[2] = {0, 0};
    double xOffset_ = 0;
    double yOffset_ = 0;
};

} // namespace calvero::capture
