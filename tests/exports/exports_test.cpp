// What the exports decide for themselves: the envelope's inside test (the
// one the C and Python functions repeat), the names of objects and
// functions, the curve's range over the limits, comment lines that stay one
// line, and the cells a formula takes. The exported files themselves are read
// back by tests/exports/exports_check.py.
#include "exports/curveextremes.h"
#include "exports/exportenvelope.h"
#include "exports/exportformats.h"
#include "exports/exportnames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace calvero;

namespace {

Calculation fitted(FitType kind, int degree, const std::vector<std::array<double, 3>>& points)
{
    CalculationInput in;
    in.kind = kind;
    in.degree = degree;
    for (const auto& [x, y, z] : points) {
        ++in.pointCount;
        in.points.x[in.pointCount] = x;
        in.points.y[in.pointCount] = y;
        in.points.z[in.pointCount] = z;
    }
    const Outcome outcome = calculate(in);
    EXPECT_TRUE(bool(outcome));
    return *outcome;
}

// z = 10 - (x - 1)² - (y - 2)² over an L-shaped envelope: its top, 10, lies inside.
Calculation bowl()
{
    std::vector<std::array<double, 3>> points;
    for (double x : {0.0, 1.0, 2.0, 3.0})
        for (double y : {0.0, 1.0, 2.0, 3.0, 4.0})
            if (!(x == 3.0 && y > 2.0)) points.push_back({x, y, 10 - (x - 1) * (x - 1) - (y - 2) * (y - 2)});
    return fitted(FitType::SurfaceXY, 2, points);
}

} // namespace

TEST(Envelope, HullOfTheOperatingPoints)
{
    const Envelope e = pointEnvelope(bowl());
    ASSERT_TRUE(e.twoVariables);
    EXPECT_EQ(e.hull.size(), 5u); // (0,0) (3,0) (3,2) (2,4) (0,4)
    struct Case {
        double x, y;
        bool inside;
    };
    const Case cases[] = {
        {0, 2, true},        // on an edge, between corners
        {3, 1, true},        {2.5, 3, true},  // on the cut corner's edge
        {1, 2, true},        {3, 2.5, false}, // in the rectangle, outside the hull
        {2.9, 3.9, false},   {-0.001, 2, false}, {1, 4.001, false},
        {NAN, 1, false},     {1, NAN, false},
    };
    for (const Case& c : cases) EXPECT_EQ(insideEnvelope(e, c.x, c.y), c.inside) << c.x << ", " << c.y;
    const Calculation curve = bowl();
    for (int i = 1; i <= curve.pointCount; ++i) EXPECT_TRUE(insideEnvelope(e, curve.points.x[i], curve.points.y[i]));
}

TEST(Envelope, RangeOfTheCurveOverItsLimits)
{
    // x³ - 3x over [-2, 1.5]: -2 at x = -2 and at x = 1, its local top 2 at x = -1.
    std::vector<std::array<double, 3>> cubic;
    for (double x = -2; x <= 1.5; x += 0.25) cubic.push_back({x, x * x * x - 3 * x, 0});
    const Calculation c = fitted(FitType::Polynomial, 3, cubic);
    const ValueRange r = curveValueRange(c, pointEnvelope(c)).value();
    EXPECT_NEAR(r.lowest, -2.0, 1e-12);
    EXPECT_NEAR(r.highest, 2.0, 1e-12);
    // The bowl over the rectangle 0..3 x 0..4: 10 inside, 2 at the corners (3, 0) and (3, 4).
    const Calculation surface = bowl();
    const ValueRange s = curveValueRange(surface, pointEnvelope(surface)).value();
    EXPECT_NEAR(s.lowest, 2.0, 1e-12);
    EXPECT_NEAR(s.highest, 10.0, 1e-12);
}

TEST(ExportNames, PlainUniqueAndValidIdentifiers)
{
    const std::pair<const char*, const char*> objects[] = {
        {"pompa 1", "pompa_1"}, {"perdite-carico", "perdite-carico"}, {"caffè", "caff_"}, {"", "curva"},
        {"a\xff" "b", "a_b"},   {"tab\tnome", "tab_nome"}};
    for (const auto& [text, name] : objects) EXPECT_EQ(objectName(text), name) << text;
    const std::pair<const char*, const char*> identifiers[] = {
        {"perdite-carico", "perdite_carico"}, {"2020", "curva_2020"}, {"int", "curva_int"}, {"def", "curva_def"},
        {"math", "curva_math"},               {"Curva", "Curva"}};
    for (const auto& [text, name] : identifiers) EXPECT_EQ(identifierName(text), name) << text;
    UniqueNames names;
    const char* taken[] = {"pompa", "POMPA", "pompa 1", "pompa-1", "pompa_2", "pompa"};
    const char* given[] = {"pompa", "POMPA_2", "pompa_1", "pompa-1_2", "pompa_2_2", "pompa_3"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(names.take(taken[i]), given[i]);
    EXPECT_EQ(fileStem("dati/pompa 1.txt"), "pompa 1");
}

TEST(ExportComment, OneLineWhateverTheText)
{
    const std::string text = "C:\\dati\\\nnuova riga?\?/ ";
    EXPECT_EQ(exportComment(ExportFormat::CFunction, text), "// C:/dati/ nuova riga?-/ \n");
    EXPECT_EQ(exportComment(ExportFormat::EnergyPlus, "a\r\nb"), "! a  b\n");
    EXPECT_EQ(exportComment(ExportFormat::PythonFunction, "caff\xe8"), "# caff\xc3\xa8\n");
}

TEST(ExportComment, FitOptionsInEveryFormat)
{
    // The bowl by a cubic surface whose constant is fixed: every format can write it.
    std::vector<std::array<double, 3>> points;
    for (double x : {0.0, 1.0, 2.0, 3.0})
        for (double y : {0.0, 1.0, 2.0, 3.0, 4.0}) points.push_back({x, y, 10 - (x - 1) * (x - 1) - (y - 2) * (y - 2)});
    CalculationInput in;
    in.kind = FitType::SurfaceXY;
    in.degree = 3;
    for (const auto& [x, y, z] : points) {
        ++in.pointCount;
        in.points.x[in.pointCount] = x, in.points.y[in.pointCount] = y, in.points.z[in.pointCount] = z;
    }
    in.options.fixedTerms = {{1, 9.0}};
    const Outcome steered = calculate(in);
    ASSERT_TRUE(bool(steered)) << steered.failure();
    const std::pair<ExportFormat, const char*> comments[] = {{ExportFormat::EnergyPlus, "! "},
                                                             {ExportFormat::Ahri540, "# "},
                                                             {ExportFormat::Formula, "commento della cella: "},
                                                             {ExportFormat::CFunction, "// "},
                                                             {ExportFormat::PythonFunction, "# "}};
    for (const auto& [format, comment] : comments) {
        const Checked<std::string> text = exportText(format, *steered, {});
        ASSERT_TRUE(bool(text)) << exportCaption(format) << ": " << text.failure();
        const std::size_t at = text->find("vincoli: termine 1 = 9");
        ASSERT_NE(at, std::string::npos) << exportCaption(format);
        const std::size_t lineStart = text->rfind('\n', at) + 1;
        EXPECT_EQ(text->compare(lineStart, std::strlen(comment), comment), 0) << exportCaption(format);
    }
    // Without options the comments say nothing of them.
    EXPECT_EQ(exportText(ExportFormat::CFunction, bowl(), {})->find("vincoli"), std::string::npos);
}

TEST(FormulaCells, ReferencesTheSpreadsheetsTake)
{
    const std::pair<const char*, const char*> valid[] = {
        {"a2", "A2"}, {"$B$7", "$B$7"}, {"XFD1048576", "XFD1048576"}, {"c$10", "C$10"}};
    for (const auto& [text, cell] : valid) EXPECT_EQ(cellReference(text).value_or("-"), cell) << text;
    for (const char* text : {"", "A0", "A1048577", "XFE1", "ABCD1", "A2;", "2A", "A 2"})
        EXPECT_FALSE(cellReference(text)) << text;
}
