// The report lines written from a result set by hand, without a fit: the
// error column and statistics in their special cases.
#include "fit/reportwriter.h"

#include "fit/fault.h"
#include "common/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace calvero;
using Lines = std::vector<std::string>;

namespace {

// A report written from points and a curve set by hand.
class ReportWriter : public ::testing::Test {
protected:
    void SetUp() override { clearReport(report); }

    void points(const std::vector<std::pair<double, double>>& xy)
    {
        int i = 1;
        for (auto [x, y] : xy) {
            pts.x[i] = x;
            pts.y[i] = y;
            ++i;
        }
        count = static_cast<int>(xy.size());
    }
    // The straight line y = a + b x as the polynomial curve.
    void line(double a, double b, FitType polynomialKind = FitType::Polynomial)
    {
        kind = polynomialKind;
        degree = 1;
        PolynomialCoefficients c{};
        c[1] = a, c[2] = b;
        curve = PolynomialCurve{c, 1};
    }
    ReportSubject subject() const { return {kind, degree, pts, count, curve ? &*curve : nullptr, {}}; }
    void writeTable() { writeOneVariableReport(report, subject()); }
    void writeHead() { writeReportHead(report, subject()); }
    Lines written() const { return reportLines(report); }

    PointSet pts;
    int count = 0;
    FitType kind = FitType::Polynomial;
    int degree = 1;
    std::optional<FittedCurve> curve;
    ReportBuffer report;
};

TEST_F(ReportWriter, FirstPointWithZeroOrdinateHasNoErrorAndStaysOutOfTheStatistics)
{
    points({{1, 0}, {2, 4}, {4, 2}});
    line(0, 1);
    writeTable();
    const Lines expected = {
        "numero punti:   3",
        "     punto.........X.........Y......Yint......errore%.. differenza",
        "         1    1.0000    0.0000    1.0000             -1.0000",
        "         2    2.0000    4.0000    2.0000   50.0000    2.0000",
        "         3    4.0000    2.0000    4.0000 -100.0000   -2.0000",
        "errore minimo = -100.0000",
        "errore massimo=   50.0000",
        "errore medio =   75.0000", // over the two points that have an error
    };
    EXPECT_EQ(written(), expected);
}

TEST_F(ReportWriter, LaterZeroOrdinateRepeatsThePreviousErrorAndCountsIt)
{
    points({{1, 2}, {2, 0}, {4, 2}});
    line(0, 1);
    writeTable();
    const Lines report = written();
    ASSERT_EQ(report.size(), 8u);
    EXPECT_EQ(report[2], "         1    1.0000    2.0000    1.0000   50.0000    1.0000");
    EXPECT_EQ(report[3], "         2    2.0000    0.0000    2.0000   50.0000   -2.0000");
    EXPECT_EQ(report[7], "errore medio =   66.6667");
}

TEST_F(ReportWriter, NoPointWithAnErrorLeavesTheStatisticsBlank)
{
    points({{1, 0}, {2, 0}});
    line(0, 0);
    writeTable();
    const Lines report = written();
    ASSERT_EQ(report.size(), 7u);
    EXPECT_EQ(report[2], "         1    1.0000    0.0000    0.0000              0.0000");
    EXPECT_EQ(report[4], "errore minimo =          ");
    EXPECT_EQ(report[5], "errore massimo=          ");
    EXPECT_EQ(report[6], "errore medio =          ");
}

TEST_F(ReportWriter, TwoHundredPointsAreListedAndAveragedOverOneHundredEighty)
{
    // Against y = 2x: -100 % for the first 180 points, +50 % for the last 20.
    std::vector<std::pair<double, double>> xy;
    for (int i = 1; i <= 200; ++i) xy.emplace_back(i, i <= 180 ? i : 4.0 * i);
    points(xy);
    line(0, 2);
    writeTable();
    const Lines report = written();
    ASSERT_EQ(report.size(), 2u + 180u + 3u);
    EXPECT_EQ(report[0], "numero punti: 180");
    EXPECT_EQ(report[181], "       180  180.0000  180.0000  360.0000 -100.0000 -180.0000");
    EXPECT_EQ(report[182], "errore minimo = -100.0000");
    EXPECT_EQ(report[183], "errore massimo= -100.0000");
    EXPECT_EQ(report[184], "errore medio =  100.0000");
}

TEST_F(ReportWriter, SaturationErrorIsPositiveWhenTheCurveIsAboveThePoint)
{
    points({{1, 8}, {2, 12.5}});
    kind = FitType::Saturation;
    curve = SaturationCurve{{1.0, 0.0}}; // p = 10^(1 + 0/T) = 10
    writeTable();
    const Lines expected = {
        "numero punti:   2",
        "temperature e pressioni assolute ",
        "     punto.........X.........Y......Yint......errore%.. differenza",
        "         1    1.0000    8.0000   10.0000   25.0000   -2.0000",
        "         2    2.0000   12.5000   10.0000  -20.0000    2.5000",
        "errore minimo %=  -20.0000",
        "errore massimo%=   25.0000",
        "errore medio  %=   22.5000",
    };
    EXPECT_EQ(written(), expected);

    // The same points against the same curve as a polynomial: the opposite sign.
    clearReport(report);
    line(10, 0);
    writeTable();
    EXPECT_EQ(written()[2], "         1    1.0000    8.0000   10.0000  -25.0000   -2.0000");
}

TEST_F(ReportWriter, KindWithoutCurveListsThePointsAlone)
{
    points({{1, 2}, {3, 4}});
    kind = FitType::SurfaceXY;
    curve.reset();
    writeHead();
    writeTable();
    const Lines expected = {
        "tipo di equazione:Z=F(x,y)",
        "numero punti:   2",
        "     punto.........X.........Y......Yint......errore%.. differenza",
        "         1    1.0000    2.0000                              ",
        "         2    3.0000    4.0000                              ",
    };
    EXPECT_EQ(written(), expected);
}

TEST_F(ReportWriter, TemperatureTimeWithoutDecayHasNoTimeConstant)
{
    kind = FitType::TemperatureTime;
    curve = TemperatureTimeCurve{0.0, 20.0, 80.0};
    try {
        writeHead();
        FAIL() << "expected a division by zero";
    } catch (const ArithmeticFault& fault) {
        EXPECT_EQ(fault.kind(), FaultKind::DivisionByZero);
    }
}

TEST_F(ReportWriter, CurveValueBeyondTheDoublesIsAFault)
{
    points({{10, 1}, {20, 2}});
    line(0, 1e308);
    EXPECT_THROW(writeTable(), ArithmeticFault);
}

TEST_F(ReportWriter, SurfacePointWithZeroHeight)
{
    // Z = 1 everywhere: the first z = 0 has no error, a later one repeats the last.
    const double rows[3][3] = {{1, 1, 0}, {2, 1, 2}, {3, 1, 0}};
    for (int i = 1; i <= 3; ++i) {
        pts.x[i] = rows[i - 1][0];
        pts.y[i] = rows[i - 1][1];
        pts.z[i] = rows[i - 1][2];
    }
    SurfaceCoefficients K{};
    K[1] = 1.0;
    K[7] = 99.0; // beyond degree 2: neither listed nor used
    appendLine(report, "resto di un rapporto precedente");
    writeSurfaceReport(report, 2, pts, 3, K);
    const Lines expected = {
        "POLINOMIO Z=F(x,y)  grado=  2",
        "termine........",
        "    1     1.00000000000  (1)",
        "    2     0.00000000000  (x)",
        "    3     0.00000000000  (y)",
        "    4     0.00000000000  (x^2)",
        "    5     0.00000000000  (y^2)",
        "    6     0.00000000000  (x*y)",
        "...punto........X........Y........Z.....Zint.....err%",
        "  1        1.0000   1.0000   0.0000   1.0000        ",
        "  2        2.0000   1.0000   2.0000   1.0000   -50.0",
        "  3        3.0000   1.0000   0.0000   1.0000   -50.0",
    };
    EXPECT_EQ(written(), expected);
}

// The numbers of a report line, split at blanks.
std::vector<double> numbersOf(const std::string& line)
{
    std::vector<double> numbers;
    std::istringstream words(line);
    for (std::string word; words >> word;) numbers.push_back(parseDecimal(word).value_or(NAN));
    return numbers;
}

TEST_F(ReportWriter, FullFieldsStayApartAndZerosHaveNoSign)
{
    // On y = 0.1 + 0.2 x up to rounding noise, with numbers that fill their fields.
    const std::vector<std::pair<double, double>> xy = {{1, 0.3}, {12000, 2400.1}, {-617282, -123456.3}};
    points(xy);
    line(0.1, 0.2);
    writeTable();
    for (std::size_t i = 0; i < xy.size(); ++i) {
        const std::string text = written()[2 + i];
        EXPECT_EQ(numbersOf(text), (std::vector<double>{i + 1.0, xy[i].first, xy[i].second, xy[i].second, 0, 0})) << text;
        EXPECT_EQ(text.find("-0.0000"), std::string::npos) << text;
    }
    EXPECT_EQ(written()[2], "         1    1.0000    0.3000    0.3000    0.0000    0.0000"); // fitting fields keep their width

    // The surface Z = 6154.6879 plus a small y term whose 12 digits overflow its
    // field, and an x term too small to change Z at all, which prints as zero.
    pts.x[1] = -25, pts.y[1] = 25, pts.z[1] = 6154.688;
    SurfaceCoefficients K{};
    K[1] = 6154.6879;
    K[2] = -1.23456789012e-14;
    K[3] = -1.23456789012e-6;
    writeSurfaceReport(report, 2, pts, 1, K);
    EXPECT_EQ(written()[3], "    2     0.00000000000     (x)");
    EXPECT_EQ(written()[4], "    3 -0.00000123456789012  (y)");
    EXPECT_EQ(numbersOf(written().back()), (std::vector<double>{1, -25, 25, 6154.688, 6154.6879, 0})) << written().back();
}

TEST_F(ReportWriter, HeadCoefficientsKeepTwelveSignificantDigits)
{
    // A degree-8 fan curve over x up to 5475 (tiny high terms), then a decay of M = 0.0123456789.
    const double c[9] = {812.5, -0.31, 1.2e-4, -3.3e-8, 4.1e-12, -2.7e-16, 9.1e-21, -1.3e-25, 7.7e-31};
    PolynomialCoefficients polynomial{};
    for (int k = 0; k < 9; ++k) polynomial[k + 1] = c[k];
    kind = FitType::Polynomial, degree = 8, curve = PolynomialCurve{polynomial, 8};
    writeHead();
    kind = FitType::TemperatureTime, curve = TemperatureTimeCurve{0.0123456789, 20, 80};
    writeHead();
    const Lines report = written();
    for (int k = 0; k < 9; ++k) EXPECT_NEAR(numbersOf(report[3 + k].substr(17))[0], c[k], std::fabs(c[k]) * 5e-12) << report[3 + k];
    EXPECT_EQ(report[3], "Termine nr:  1  =    812.500000000000"); // 12 digits already: as before
    EXPECT_EQ(report[17], " COEFFICIENTE M= 0.0123456789"); // reads back whole, a blank after "=" as it overflows
}

} // namespace
