// Factors and offsets written for a whole axis, and a second axis told as
// the same quantity in another unit, without OCR: the texts as the reader
// gives them, each value worked out by hand.
#include "capture/axisfactor.h"
#include "capture/axisunits.h"
#include "capture/axisquantity.h"

#include <gtest/gtest.h>

using namespace calvero::capture;

TEST(AxisFactor, EachNotationAtTheAxisEndAndInTheTitleGoesItsWay)
{
    using Kind = FactorReading::Kind;
    struct Case {
        const char* text;
        bool title;
        Kind kind;
        double multiply, add;
    };
    const Case cases[] = {
        {"1e4", false, Kind::Factor, 1e4, 0},
        {"1e-3", false, Kind::Factor, 1e-3, 0},
        {"\xc3\x97" "10^4", false, Kind::Factor, 1e4, 0}, // ×10⁴, the exponent read raised
        {"x1000", false, Kind::Factor, 1000, 0},
        {"[\xc3\x97" "1000]", false, Kind::Factor, 1000, 0},
        {"+1000", false, Kind::Factor, 1, 1000},
        {"\xe2\x88\x92" "5", false, Kind::Factor, 1, -5},     // −5, matplotlib's minus
        {"1e4+1000", false, Kind::Factor, 1e4, 1000},
        {"x104", false, Kind::Doubtful, 1, 0},                 // 104 or 10⁴: not guessed
        {"x25", false, Kind::Doubtful, 1, 0},                  // no power of ten
        {"+1O0O", false, Kind::Factor, 1, 1000},               // letters for digits mended
        {"250", false, Kind::None, 1, 0},                      // a plain number: another label's
        {"Portata [m3/h]", false, Kind::None, 1, 0},
        {"", false, Kind::None, 1, 0},
        {"Q [x1000 m3/h]", true, Kind::Factor, 1000, 0},       // the unit is 1000 m³/h
        {"Q [10^3 m3/h]", true, Kind::Factor, 1000, 0},
        {"Q x 10^-3 [m3/h]", true, Kind::Factor, 1000, 0},     // drawn: Q × 10⁻³
        {"Q / 1000 [m3/h]", true, Kind::Factor, 1000, 0},
        {"Potenza x 1000 [W]", true, Kind::Factor, 1e-3, 0},   // drawn: P × 1000
        {"Prevalenza [m]", true, Kind::None, 1, 0},
        {"Portata [m3/h]", true, Kind::None, 1, 0},
        {"Q [x12 m3/h]", true, Kind::Doubtful, 1, 0},
        {"x10", false, Kind::Doubtful, 1, 0},                  // 10 with its exponent lost
        {"H (10\xc2\xb0 UNIT], Pa", true, Kind::Doubtful, 1, 0}, // 10⁵ read as 10°
        {"Hx 10-4, Pa", true, Kind::Doubtful, 1, 0},           // 10⁻⁴ read on the line
        {"H [*105 UNIT] [Pa]", true, Kind::Doubtful, 1, 0},    // ×10⁵ read as *105
        {"Q [*1000 m3/h]", true, Kind::Factor, 1000, 0},
        {"H x 10^-4, Pa", true, Kind::Factor, 1e4, 0},         // drawn: H × 10⁻⁴
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const FactorReading r = c.title ? factorInTitle(c.text) : factorAtAxisEnd(c.text);
        EXPECT_EQ(r.kind, c.kind);
        if (r.kind != Kind::Factor) continue;
        EXPECT_NEAR(r.factor.multiply, c.multiply, 1e-12 * c.multiply);
        EXPECT_NEAR(r.factor.add, c.add, 1e-12);
        EXPECT_EQ(r.factor.text, c.text);
    }
}

TEST(AxisUnits, ASecondAxisIsTheSameQuantityOnlyWhereAKnownConversionHoldsAllAlong)
{
    // Each reading: values at rows 500 (bottom) and 100 (top) of the plot.
    const auto axis = [](double bottom, double top) {
        AxisReading r;
        r.first = {500, "", 100, true, bottom};
        r.second = {100, "", 100, true, top};
        return r;
    };
    struct Case {
        const char* name;
        AxisReading left, right;
        const char* units; // none: two quantities
    };
    const Case cases[] = {
        {"head in m and in ft", axis(0, 40), axis(0, 131.2336), "m e ft"},
        {"head in ft and in m", axis(0, 100), axis(0, 30.48), "ft e m"},
        {"°C and °F", axis(-10, 40), axis(14, 104), "°C e °F"},
        {"m³/h and l/s", axis(0, 360), axis(0, 100), "m3/h e l/s"},
        {"kPa and psi", axis(0, 600), axis(0, 87.0226), "kPa e psi"},
        {"head and power", axis(0, 40), axis(0, 20), nullptr},
        {"ft read 2 % off: not the same", axis(0, 40), axis(0, 131.2336 * 1.02), nullptr},
        {"°C and an offset that is no °F", axis(-10, 40), axis(24, 114), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> units = sameQuantityInTwoUnits(c.left, c.right, 500, 100);
        if (c.units) EXPECT_EQ(units, std::string(c.units));
        else EXPECT_EQ(units, std::nullopt);
    }
}

TEST(AxisQuantity, ACurveGoesToTheAxisWhoseTitleNamesTheQuantityItsLabelBeginsWith)
{
    // Pump catalogues' twin charts as drawn: head on the left, power or
    // efficiency on the right; a label naming neither, or both titles one
    // quantity, assigns nothing.
    using A = std::optional<NamedAxis>;
    struct Case {
        const char* label;
        const char* left;
        const char* right;
        A axis;
    };
    const Case cases[] = {
        {"P D=235", "Prevalenza [kPa]", "P [kW]", NamedAxis::Right},
        {"H D=235", "Prevalenza [kPa]", "P [kW]", NamedAxis::Left},
        {"P D=190", "H, m", "Potenza assorbita, kW", NamedAxis::Right},
        {"η", "H (m)", "Rendimento (%)", NamedAxis::Right},
        {"H", "H [m]", "η [%]", NamedAxis::Left},
        {"D=200", "H [m]", "P [kW]", std::nullopt},
        {"P D=200", "Prevalenza (m)", "Prevalenza (ft)", std::nullopt},
        {"H", "", "P [kW]", std::nullopt},
        {"Q", "H [m]", "P [kW]", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label + std::string(" / ") + c.left + " / " + c.right);
        EXPECT_EQ(axisNamedBy(c.label, c.left, c.right), c.axis);
    }
}
