#include "capture/calibration.h"
#include "capture/capturedocument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace calvero::capture;
using calvero::Checked;

namespace {

// A chart as a scanner sees it: the plot box from (left, bottom) to
// (right, top) in pixels holds [x0, x1] x [y0, y1], the whole picture turned
// by some degrees about (0, 0).
struct Chart {
    double x0, x1, y0, y1;
    AxisScale xScale, yScale;
    double degrees;
    double left = 100, right = 900, bottom = 700, top = 100;

    double fraction(double v, double a, double b, AxisScale s) const
    {
        return s == AxisScale::Logarithmic ? std::log10(v / a) / std::log10(b / a) : (v - a) / (b - a);
    }
    PixelPoint pixelOf(UnitPoint u) const
    {
        const double px = left + (right - left) * fraction(u.x, x0, x1, xScale);
        const double py = bottom + (top - bottom) * fraction(u.y, y0, y1, yScale);
        const double t = degrees * std::numbers::pi / 180;
        return {px * std::cos(t) - py * std::sin(t), px * std::sin(t) + py * std::cos(t)};
    }
    // References at the axes' ends, on the axes themselves.
    AxesReferences references() const
    {
        return {{pixelOf({x0, y0}), pixelOf({x1, y0}), x0, x1, xScale}, {pixelOf({x0, y0}), pixelOf({x0, y1}), y0, y1, yScale}};
    }
};

double closeness(double expected, AxisScale scale) { return scale == AxisScale::Logarithmic ? 1e-9 * expected : 1e-9; }

} // namespace

TEST(AxisCalibration, ReadsPixelsBackAsValuesOnStraightAndTurnedScans)
{
    const AxisScale lin = AxisScale::Linear;
    const AxisScale log = AxisScale::Logarithmic;
    const Chart charts[] = {
        {0, 100, -5, 5, lin, lin, 0},     {0.01, 1000, 1, 1e4, log, log, 0}, {0, 50, 0, 2, lin, lin, 3},
        {1, 100, 10, 20, log, lin, -3},   {100, 0, 0, 1, lin, lin, 2.5},     {0.5, 5000, 0.1, 1, log, log, 3},
    };
    for (const Chart& chart : charts) {
        SCOPED_TRACE(testing::Message() << "chart " << &chart - charts);
        const Checked<AxisCalibration> calibration = AxisCalibration::fromReferences(chart.references());
        ASSERT_TRUE(calibration) << calibration.failure();
        for (double fx : {0.0, 0.13, 0.5, 0.97}) {
            for (double fy : {0.05, 0.6, 1.0}) {
                const auto at = [](double f, double a, double b, AxisScale s) {
                    return s == AxisScale::Logarithmic ? a * std::pow(b / a, f) : a + (b - a) * f;
                };
                const UnitPoint units{at(fx, chart.x0, chart.x1, chart.xScale), at(fy, chart.y0, chart.y1, chart.yScale)};
                const PixelPoint pixel = chart.pixelOf(units);
                const UnitPoint read = calibration->toUnits(pixel);
                EXPECT_NEAR(read.x, units.x, closeness(units.x, chart.xScale) * 100);
                EXPECT_NEAR(read.y, units.y, closeness(units.y, chart.yScale) * 100);
                const PixelPoint back = calibration->toPixels(units);
                EXPECT_NEAR(back.x, pixel.x, 1e-6);
                EXPECT_NEAR(back.y, pixel.y, 1e-6);
            }
        }
    }
}

TEST(AxisCalibration, ImpossibleReferencesAreRefusedAndChangeNothing)
{
    const Chart plain{0, 10, 0, 10, AxisScale::Linear, AxisScale::Linear, 0};
    const AxesReferences good = plain.references();
    struct Case {
        const char* message;
        void (*spoil)(AxesReferences&);
    };
    const Case cases[] = {
        {"i due punti di riferimento dell'asse x coincidono", [](AxesReferences& r) { r.x.second = r.x.first; }},
        {"i due punti di riferimento dell'asse y coincidono", [](AxesReferences& r) { r.y.second.y = r.y.first.y + 0.4; r.y.second.x = r.y.first.x; }},
        {"i due valori di riferimento dell'asse x sono uguali", [](AxesReferences& r) { r.x.secondValue = r.x.firstValue; }},
        {"asse y logaritmico: i valori di riferimento devono essere maggiori di zero",
         [](AxesReferences& r) { r.y.scale = AxisScale::Logarithmic; }},
        {"asse x logaritmico: i valori di riferimento devono essere maggiori di zero",
         [](AxesReferences& r) { r.x.scale = AxisScale::Logarithmic; r.x.firstValue = -1; r.x.secondValue = 1; }},
        {"gli assi x e y risultano paralleli", [](AxesReferences& r) { r.y.first = r.x.first; r.y.second = {r.x.second.x, r.x.second.y + 5}; }},
        {"riferimento non valido dell'asse y", [](AxesReferences& r) { r.y.firstValue = NAN; }},
    };
    CaptureDocument document;
    ASSERT_FALSE(document.setAxes(good));
    const CaptureState before = document.state();
    for (const Case& c : cases) {
        AxesReferences spoiled = good;
        c.spoil(spoiled);
        const Checked<AxisCalibration> calibration = AxisCalibration::fromReferences(spoiled);
        EXPECT_FALSE(calibration);
        EXPECT_EQ(calibration.failure().find(c.message), 0u) << calibration.failure();
        const std::optional<std::string> refused = document.setAxes(spoiled);
        EXPECT_EQ(refused.value_or(""), calibration.failure());
        EXPECT_EQ(document.state(), before);
    }
}
