// The road of a calculation through calculate(): points typed into the grid,
// choices in the main window's inputs, and what the windows were shown.
#include "app/calculatecommand.h"

#include "app/document.h"
#include "entry/gridinput.h"
#include "common/numtext.h"
#include "graph/fitgraph.h"
#include "../plain_inputs.h"
#include "../recording_presenter.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <utility>
#include <vector>

using namespace calvero;
using calvero::testing::RecordingPresenter;
using calvero::testing::Shown;
using Lines = std::vector<std::string>;

namespace {

struct Row {
    Row(std::string x, std::string y, std::string z = "") : x(std::move(x)), y(std::move(y)), z(std::move(z)) {}
    std::string x, y, z;
};

class CalculateCommand : public ::testing::Test {
protected:
    void reset()
    {
        doc = Document{};
        inputs = InputFields{};
        shown.events.clear();
    }

    void enter(const std::vector<Row>& rows)
    {
        int r = 1;
        for (const Row& row : rows) {
            doc.grid.setCell(r, 1, row.x);
            doc.grid.setCell(r, 2, row.y);
            doc.grid.setCell(r, 3, row.z);
            ++r;
        }
    }
    void choose(FitType kind, int degree = 1)
    {
        doc.kind = kind;
        inputs.setDegreeValue(degree);
    }
    void temperatures(const std::string& initial, const std::string& final)
    {
        inputs.setInitialTemperatureText(initial);
        inputs.setFinalTemperatureText(final);
    }
    // A report of a previous calculation, to see that a refusal keeps it.
    void previousReport()
    {
        doc.lastCalculation = Calculation{};
        doc.lastCalculation->report = {"rapporto precedente"};
    }
    void expectOnlyMessage(const std::string& text)
    {
        EXPECT_EQ(shown.messages(), Lines{text});
        EXPECT_EQ(shown.events.size(), 1u);
    }

    // The report of the document's last calculation.
    Lines lastReport() const { return doc.lastCalculation ? doc.lastCalculation->report : Lines{}; }
    template <typename Curve>
    const Curve& lastCurve() const
    {
        return std::get<Curve>(*doc.lastCalculation->curve);
    }

    Document doc;
    InputFields inputs;
    RecordingPresenter shown{doc};
    Workspace work{doc, inputs, &shown};
};

// --- complete reports, one per kind -------------------------------------------

TEST_F(CalculateCommand, PolynomialOfDegreeOneOnThreePointsGivesTheThirteenLineReport)
{
    enter({{"1", "1"}, {"2", "3"}, {"3", "2"}});
    choose(FitType::Polynomial, 1);
    work.tell(calculate(work));
    const Lines expected = {
        "tipo di equazione:POLINOMIO DI GRADO N  ",
        "EQUAZIONE POLINOMIALE DI GRADO:   1",
        "I COEFFICIENTI DEL POLINOMIO SONO:",
        "Termine nr:  1  =      1.000000000000",
        "Termine nr:  2  =      0.500000000000",
        "numero punti:   3",
        "     punto.........X.........Y......Yint......errore%.. differenza",
        "         1    1.0000    1.0000    1.5000  -50.0000   -0.5000",
        "         2    2.0000    3.0000    2.0000   33.3333    1.0000",
        "         3    3.0000    2.0000    2.5000  -25.0000   -0.5000",
        "errore minimo =  -50.0000",
        "errore massimo=   33.3333",
        "errore medio =   36.1111",
    };
    EXPECT_EQ(shown.lastReport(), expected);
    for (int i = 8; i <= 10; ++i) EXPECT_EQ(expected[i - 1].size(), 60u);
    EXPECT_TRUE(shown.messages().empty());
}

// Each kind's whole report from a few points whose curve is worked out by
// hand (the comment of each case); anything a case checks beyond the report
// is in its own test below.
TEST_F(CalculateCommand, EachKindsReportAsItsCurveWorkedOutByHandGivesIt)
{
    const struct {
        const char* what;
        std::vector<Row> points;
        FitType kind;
        int degree;
        const char* initial;
        const char* final;
        Lines report;
    } cases[] = {
        {"least squares gives y = 10 + x exactly; (-1, 9) lies on it: zero error and difference",
         {{"-2", "9"}, {"-1", "9"}, {"1", "7"}, {"2", "15"}},
         FitType::Polynomial,
         1,
         "",
         "",
         {
             "tipo di equazione:POLINOMIO DI GRADO N  ",
             "EQUAZIONE POLINOMIALE DI GRADO:   1",
             "I COEFFICIENTI DEL POLINOMIO SONO:",
             "Termine nr:  1  =     10.000000000000",
             "Termine nr:  2  =      1.000000000000",
             "numero punti:   4",
             "     punto.........X.........Y......Yint......errore%.. differenza",
             "         1   -2.0000    9.0000    8.0000   11.1111    1.0000",
             "         2   -1.0000    9.0000    9.0000    0.0000    0.0000",
             "         3    1.0000    7.0000   11.0000  -57.1429   -4.0000",
             "         4    2.0000   15.0000   12.0000   20.0000    3.0000",
             "errore minimo =  -57.1429",
             "errore massimo=   20.0000",
             "errore medio =   22.0635",
         }},
        {"log10 y against log10 x: (0,0), (1,2), (2,2) give B = 1, A = 10^(1/3)",
         {{"1", "1"}, {"10", "100"}, {"100", "100"}},
         FitType::Power,
         1,
         "",
         "",
         {
             "tipo di equazione:CURVA DI POTENZA      ",
             " COEFFICIENTE A=  2.154434690032",
             " COEFFICIENTE B=  1.000000000000",
             "numero punti:   3",
             "     punto.........X.........Y......Yint......errore%.. differenza",
             "         1    1.0000    1.0000    2.1544 -115.4435   -1.1544",
             "         2   10.0000  100.0000   21.5443   78.4557   78.4557",
             "         3  100.0000  100.0000  215.4435 -115.4435 -115.4435",
             "errore minimo = -115.4435",
             "errore massimo=   78.4557",
             "errore medio =  103.1142",
         }},
        {"ln y = 0, 2, 2 at x = 0, 1, 2: B = 1, A = e^(1/3)",
         {{"0", "1"}, {"1", "7.38905609893065"}, {"2", "7.38905609893065"}},
         FitType::Exponential,
         1,
         "",
         "",
         {
             "tipo di equazione:ESPONENZIALE   ",
             " COEFFICIENTE A=  1.395612425086",
             " COEFFICIENTE B=  1.000000000000",
             "numero punti:   3",
             "     punto.........X.........Y......Yint......errore%.. differenza",
             "         1    0.0000    1.0000    1.3956  -39.5612   -0.3956",
             "         2    1.0000    7.3891    3.7937   48.6583    3.5954",
             "         3    2.0000    7.3891   10.3123  -39.5612   -2.9232",
             "errore minimo =  -39.5612",
             "errore massimo=   48.6583",
             "errore medio =   42.5936",
         }},
        {"1/y = 1, 2, 4 at x = 1, 2, 3: the line -2/3 + 1.5 x",
         {{"1", "1"}, {"2", "0.5"}, {"3", "0.25"}},
         FitType::RationalPolynomial,
         1,
         "",
         "",
         {
             "tipo di equazione:POLINOMIO FRATTO",
             "EQUAZIONE POLINOMIO FRATTO DI GRADO:   1",
             "Termine nr:  1  =     -0.666666666667",
             "Termine nr:  2  =      1.500000000000",
             "numero punti:   3",
             "     punto.........X.........Y......Yint......errore%.. differenza",
             "         1    1.0000    1.0000    1.2000  -20.0000   -0.2000",
             "         2    2.0000    0.5000    0.4286   14.2857    0.0714",
             "         3    3.0000    0.2500    0.2609   -4.3478   -0.0109",
             "errore minimo =  -20.0000",
             "errore massimo=   14.2857",
             "errore medio =   12.8778",
         }},
        {"from 20 towards 80 (the fields as a data set file leaves them): per-point coefficients 0.4 and 0.6, M = 0.5",
         {{"1", "39.78079723786164"}, {"2", "61.928347285267876"}},
         FitType::TemperatureTime,
         1,
         "    20.000",
         "    80.000",
         {
             "tipo di equazione:Temperatura-tempo",
             "equazione=    80.000-    60.000 e^[-0.500000 x tempo]",
             "temperatura iniziale:    20.000",
             "temperatura finale  :    80.000",
             "salto termico       :    60.000",
             " COEFFICIENTE M= 0.500000", // a full field keeps a blank after "="
             " COSTANTE DI TEMPO=  2.000000000000",
             "EQUAZIONE temperatura_tempo",
             "numero punti:   2",
             "     punto.........X.........Y......Yint......errore%.. differenza",
             "         1    1.0000   39.7808   43.6082   -9.6211   -3.8274",
             "         2    2.0000   61.9283   57.9272    6.4609    4.0011",
             "errore minimo =   -9.6211",
             "errore massimo=    6.4609",
             "errore medio =    8.0410",
         }},
        {"log10 p = 0, -2, 4 at 1/T = 4c, 2c, c (c = 1/1024): A = 3, B = -1024; errors measured from the curve",
         {{"256", "1"}, {"512", "0.01"}, {"1024", "10000"}},
         FitType::Saturation,
         1,
         "",
         "",
         {
             "tipo di equazione:curva saturazione",
             "curva saturazione",
             " COEFFICIENTE A=  3.000000000000",
             " COEFFICIENTE B= -1024.000000000000",
             "numero punti:   3",
             "temperature e pressioni assolute ",
             "     punto.........X.........Y......Yint......errore%.. differenza",
             "         1  256.0000    1.0000    0.1000  -90.0000    0.9000",
             "         2  512.0000    0.0100   10.0000 99900.0000   -9.9900", // a full field keeps a blank
             "         3 1024.0000 10000.0000  100.0000  -99.0000 9900.0000",
             "errore minimo %=  -99.0000",
             "errore massimo%= 99900.0000",
             "errore medio  %= 33363.0000",
         }},
    };
    for (const auto& c : cases) {
        reset();
        enter(c.points);
        choose(c.kind, c.degree);
        temperatures(c.initial, c.final);
        work.tell(calculate(work));
        EXPECT_EQ(shown.lastReport(), c.report) << c.what;
    }
}

TEST_F(CalculateCommand, TheCurvesKeepTheirDegreeAndTemperatures)
{
    enter({{"1", "1"}, {"2", "0.5"}, {"3", "0.25"}});
    choose(FitType::RationalPolynomial, 1);
    work.tell(calculate(work));
    EXPECT_EQ(lastCurve<RationalCurve>().degree, 1);

    reset();
    enter({{"1", "39.78079723786164"}, {"2", "61.928347285267876"}});
    choose(FitType::TemperatureTime);
    temperatures("    20.000", "    80.000");
    work.tell(calculate(work));
    EXPECT_DOUBLE_EQ(lastCurve<TemperatureTimeCurve>().initial, 20.0);
    EXPECT_DOUBLE_EQ(lastCurve<TemperatureTimeCurve>().final, 80.0);
}

TEST_F(CalculateCommand, QuadraticThroughThreePointsOfOnePlusTwoXPlusThreeXSquared)
{
    enter({{"-1", "2"}, {"0", "1"}, {"1", "6"}});
    choose(FitType::Polynomial, 2);
    work.tell(calculate(work));
    const Lines report = shown.lastReport();
    ASSERT_EQ(report.size(), 14u);
    EXPECT_EQ(report[1], "EQUAZIONE POLINOMIALE DI GRADO:   2");
    EXPECT_EQ(report[3], "Termine nr:  1  =      1.000000000000");
    EXPECT_EQ(report[4], "Termine nr:  2  =      2.000000000000");
    EXPECT_EQ(report[5], "Termine nr:  3  =      3.000000000000");
    EXPECT_EQ(report[6], "numero punti:   3");
    EXPECT_EQ(report[8], "         1   -1.0000    2.0000    2.0000    0.0000    0.0000");
    EXPECT_EQ(report[9], "         2    0.0000    1.0000    1.0000    0.0000    0.0000");
    EXPECT_EQ(report[10], "         3    1.0000    6.0000    6.0000    0.0000    0.0000");
    EXPECT_EQ(report[13], "errore medio =    0.0000");
    const PolynomialCurve& curve = lastCurve<PolynomialCurve>();
    EXPECT_NEAR(curve.coefficients[1], 1.0, 1e-12);
    EXPECT_NEAR(curve.coefficients[2], 2.0, 1e-12);
    EXPECT_NEAR(curve.coefficients[3], 3.0, 1e-12);
    // The data set keeps the curve's numbers where its file stores them.
    EXPECT_EQ(doc.coefficients.block[3], curve.coefficients[3]);
}

TEST_F(CalculateCommand, ScatterListsThePointsAloneAndShowsTheirGraph)
{
    enter({{"1", "1"}, {"2", "3.5"}});
    choose(FitType::Scatter);
    work.tell(calculate(work));
    const Lines expected = {
        "tipo di equazione:PUNTEGGIATA ",
        "numero punti:   2",
        "     punto.........X.........Y......Yint......errore%.. differenza",
        "         1    1.0000    1.0000                              ",
        "         2    2.0000    3.5000                              ",
    };
    EXPECT_EQ(shown.lastReport(), expected);
    EXPECT_FALSE(doc.lastCalculation->curve.has_value());
    EXPECT_EQ(shown.graphCaptions().size(), 1u);
}

TEST_F(CalculateCommand, SurfaceSortsTheGridByXAndReportsInThatOrder)
{
    // z = 1 + 2x + 3y on a 3 x 3 grid, one more at (3, 3); typed in descending x.
    enter({{"3", "1", "10"}, {"3", "2", "13"}, {"3", "3", "17"},
           {"2", "1", "8"},  {"2", "2", "11"}, {"2", "3", "14"},
           {"1", "1", "6"},  {"1", "2", "9"},  {"1", "3", "12"}});
    choose(FitType::SurfaceXY, 2);
    work.tell(calculate(work));
    const Lines expected = {
        "POLINOMIO Z=F(x,y)  grado=  2",
        "termine........",
        "    1     2.55555555556  (1)",
        "    2     1.00000000000  (x)",
        "    3     2.00000000000  (y)",
        "    4    0.166666666667  (x^2)", // 12 significant digits
        "    5    0.166666666667  (y^2)",
        "    6     0.25000000000  (x*y)",
        "...punto........X........Y........Z.....Zint.....err%",
        "  1        1.0000   1.0000   6.0000   6.1389     2.3",
        "  2        1.0000   2.0000   9.0000   8.8889    -1.2",
        "  3        1.0000   3.0000  12.0000  11.9722    -0.2",
        "  4        2.0000   1.0000   8.0000   7.8889    -1.4",
        "  5        2.0000   2.0000  11.0000  10.8889    -1.0",
        "  6        2.0000   3.0000  14.0000  14.2222     1.6",
        "  7        3.0000   1.0000  10.0000   9.9722    -0.3",
        "  8        3.0000   2.0000  13.0000  13.2222     1.7",
        "  9        3.0000   3.0000  17.0000  16.8056    -1.1",
    };
    EXPECT_EQ(shown.lastReport(), expected);
    // The grid now holds the sorted points; the surface's picture follows the report.
    EXPECT_EQ(doc.grid.cell(1, 1), formatGridValue(1.0));
    EXPECT_EQ(doc.grid.cell(1, 3), formatGridValue(6.0));
    EXPECT_EQ(doc.grid.cell(9, 1), formatGridValue(3.0));
    EXPECT_EQ(doc.grid.cell(9, 3), formatGridValue(17.0));
    EXPECT_EQ(shown.kinds(), (std::vector<Shown>{Shown::Report, Shown::Graph}));
    EXPECT_EQ(doc.kind, FitType::SurfaceXY);
    EXPECT_EQ(doc.points.foundCount, 9);
}

// --- the degree from the spin edit -------------------------------------------

TEST_F(CalculateCommand, DegreeNineFitsThePolynomialOfDegreeEight)
{
    std::vector<Row> rows;
    for (int i = 1; i <= 10; ++i) rows.push_back({std::to_string(i), std::to_string(i * i + 1)});
    enter(rows);
    choose(FitType::Polynomial, 9);
    work.tell(calculate(work));
    const Lines report = shown.lastReport();
    ASSERT_GE(report.size(), 13u);
    EXPECT_EQ(report[1], "EQUAZIONE POLINOMIALE DI GRADO:   8");
    EXPECT_EQ(report[11].substr(0, 17), "Termine nr:  9  =");
    EXPECT_EQ(report[12], "numero punti:  10");
    EXPECT_EQ(doc.degree, 8);
}

TEST_F(CalculateCommand, SurfaceDegreeIsHeldBetweenTwoAndFour)
{
    std::vector<Row> rows;
    for (int x = 1; x <= 5; ++x)
        for (int y = 1; y <= 5; ++y) rows.push_back({std::to_string(x), std::to_string(y), std::to_string(x + y)});
    enter(rows);
    choose(FitType::SurfaceXY, 1);
    work.tell(calculate(work));
    EXPECT_EQ(shown.lastReport().at(0), "POLINOMIO Z=F(x,y)  grado=  2");
    EXPECT_EQ(shown.lastReport().size(), 3u + 6u + 25u);

    inputs.setDegreeValue(9);
    work.tell(calculate(work));
    EXPECT_EQ(shown.lastReport().at(0), "POLINOMIO Z=F(x,y)  grado=  4");
    EXPECT_EQ(shown.lastReport().size(), 3u + 15u + 25u);
    EXPECT_EQ(doc.degree, 4);
}

// --- 200 points ---------------------------------------------------------------

TEST_F(CalculateCommand, TwoHundredPointsListOneHundredEighty)
{
    std::vector<Row> rows;
    for (int i = 1; i <= 200; ++i) rows.push_back({std::to_string(i), std::to_string(2 * i + 1)});
    enter(rows);
    choose(FitType::Polynomial, 1);
    work.tell(calculate(work));
    const Lines report = shown.lastReport();
    ASSERT_EQ(report.size(), 5u + 2u + 180u + 3u);
    EXPECT_EQ(report[5], "numero punti: 180");
    EXPECT_EQ(report[186].substr(0, 10), "       180");
    EXPECT_EQ(report[186].substr(10, 10), "  180.0000");
    EXPECT_EQ(report[187].substr(0, 15), "errore minimo =");
    // The graph marks the 180 listed points and takes its ranges over all 200.
    const FitGraphData graph = fitGraphData(*doc.lastCalculation);
    EXPECT_EQ(graph.plotted, 180);
    EXPECT_DOUBLE_EQ(maxX(graph.points), 200.0);
}

// --- refusals -----------------------------------------------------------------

TEST_F(CalculateCommand, OnePointIsRefusedByEitherDriver)
{
    previousReport();
    enter({{"1", "2", "3"}});
    choose(FitType::Polynomial, 1);
    work.tell(calculate(work));
    expectOnlyMessage(" numero punti=  <2!");
    EXPECT_EQ(lastReport(), Lines{"rapporto precedente"});

    shown.events.clear();
    choose(FitType::SurfaceXY, 2);
    work.tell(calculate(work));
    expectOnlyMessage(" numero punti=  <2!");
}

TEST_F(CalculateCommand, KindOutsideOneToEightIsRefused)
{
    enter({{"1", "2"}, {"2", "3"}});
    doc.kind = static_cast<FitType>(0);
    work.tell(calculate(work));
    expectOnlyMessage(" tipo non scelto= 0");

    // A kind above 8 (read from a damaged file) is refused the same way.
    shown.events.clear();
    doc.kind = static_cast<FitType>(12);
    work.tell(calculate(work));
    expectOnlyMessage(" tipo non scelto=12");
}

TEST_F(CalculateCommand, TooFewPointsForTheDegreeAreRefused)
{
    previousReport();
    doc.coefficients.block[1] = 42.0;
    enter({{"1", "2"}, {"2", "3"}, {"3", "5"}});
    choose(FitType::Polynomial, 3);
    work.tell(calculate(work));
    expectOnlyMessage("numero punti insufficiente per il grado scelto");

    shown.events.clear();
    choose(FitType::RationalPolynomial, 3);
    work.tell(calculate(work));
    expectOnlyMessage("numero punti insufficiente per il grado scelto");
    EXPECT_EQ(doc.coefficients.block[1], 42.0);
    EXPECT_EQ(lastReport(), Lines{"rapporto precedente"});

    // One point more than the degree is enough.
    shown.events.clear();
    choose(FitType::Polynomial, 2);
    work.tell(calculate(work));
    EXPECT_EQ(shown.reportCount(), 1);
}

TEST_F(CalculateCommand, SurfaceRefusesMoreThanOneHundredPoints)
{
    std::vector<Row> rows;
    for (int i = 1; i <= 101; ++i) rows.push_back({std::to_string(i), std::to_string(i % 7 + 1), "1"});
    enter(rows);
    choose(FitType::SurfaceXY, 2);
    work.tell(calculate(work));
    expectOnlyMessage("massimo 100 punti per il polinomio Z=F(x,y)");

    // One hundred are fitted.
    shown.events.clear();
    doc.grid.setCell(101, 1, "");
    doc.grid.setCell(101, 2, "");
    work.tell(calculate(work));
    EXPECT_TRUE(shown.messages().empty());
    EXPECT_EQ(shown.reportCount(), 1);
}

TEST_F(CalculateCommand, SurfaceRefusesFewerPointsThanTerms)
{
    std::vector<Row> rows;
    for (int x = 1; x <= 3; ++x)
        for (int y = 1; y <= 3; ++y) rows.push_back({std::to_string(x), std::to_string(y), "1"});
    enter(rows);
    choose(FitType::SurfaceXY, 3); // ten terms, nine points
    work.tell(calculate(work));
    expectOnlyMessage("numero punti insufficiente per il grado scelto");
}

TEST_F(CalculateCommand, PointsThatLeaveTheCurveUndeterminedAreRefused)
{
    // Enough points, but not enough distinct positions to fix every coefficient.
    const std::string fewX = "valori di x diversi insufficienti per il grado scelto";
    const std::string flatSurface = "i punti non bastano a determinare i termini del polinomio Z=F(x,y) del grado scelto";
    const std::vector<Row> twoX = {{"1", "2"}, {"1", "2.1"}, {"2", "3"}, {"2", "3.1"}};
    std::vector<Row> oneY, diagonal, threeByThree;
    for (int i = 1; i <= 8; ++i) oneY.push_back({std::to_string(i), "5", std::to_string(i * i)});
    for (int i = 1; i <= 8; ++i) diagonal.push_back({std::to_string(i), std::to_string(2 * i), std::to_string(i)});
    for (int x = 1; x <= 3; ++x)
        for (int y = 1; y <= 3; ++y) threeByThree.push_back({std::to_string(x), std::to_string(y), std::to_string(x * y)});
    struct Case {
        const char* what;
        std::vector<Row> rows;
        FitType kind;
        int degree;
        std::string refusal; // empty: fitted
    };
    const Case cases[] = {
        {"degree 2 on two x", twoX, FitType::Polynomial, 2, fewX},
        {"rational degree 2 on two x", twoX, FitType::RationalPolynomial, 2, fewX},
        {"a straight line on two x", twoX, FitType::Polynomial, 1, ""},
        {"surface on one y", oneY, FitType::SurfaceXY, 2, flatSurface},
        {"surface on a line", diagonal, FitType::SurfaceXY, 2, flatSurface},
        {"degree 2 surface on a 3 x 3 grid", threeByThree, FitType::SurfaceXY, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reset();
        previousReport();
        enter(c.rows);
        choose(c.kind, c.degree);
        work.tell(calculate(work));
        if (c.refusal.empty()) {
            EXPECT_TRUE(shown.messages().empty());
            EXPECT_EQ(shown.reportCount(), 1);
        } else {
            expectOnlyMessage(c.refusal);
            EXPECT_EQ(lastReport(), Lines{"rapporto precedente"});
        }
    }
}

TEST_F(CalculateCommand, NonNumericCellIsRefusedWithItsPlace)
{
    enter({{"1", "2"}, {"2", "tre"}, {"3", "4"}});
    choose(FitType::Polynomial, 1);
    work.tell(calculate(work));
    expectOnlyMessage("valore non numerico alla riga 2, colonna Y: tre");

    shown.events.clear();
    enter({{"1", "2"}, {"2", "3"}, {"3", "4"}, {"4", "5"}, {"5", "6"}, {"6", "7"},
           {"7", "8"}, {"8", "9"}, {"9", "10"}, {"10", "11"}, {"11", "12"}, {"x12", "13"}});
    work.tell(calculate(work));
    expectOnlyMessage("valore non numerico alla riga 12, colonna X: x12");
}

TEST_F(CalculateCommand, NonNumericSurfaceCellIsRefusedBeforeTheGridIsSorted)
{
    enter({{"3", "1", "4"}, {"2", "2", "5,5x"}, {"1", "3", "6"}});
    choose(FitType::SurfaceXY, 2);
    work.tell(calculate(work));
    expectOnlyMessage("valore non numerico alla riga 2, colonna Z: 5,5x");
    EXPECT_EQ(doc.grid.cell(1, 1), "3");
    EXPECT_EQ(doc.grid.cell(2, 3), "5,5x");
}

TEST_F(CalculateCommand, TemperatureTimeRefusesAFirstPointAtZero)
{
    temperatures("20", "80");
    choose(FitType::TemperatureTime);
    enter({{"0", "20"}, {"1", "40"}});
    work.tell(calculate(work));
    expectOnlyMessage("tutti numeri devono essere>0!");

    shown.events.clear();
    enter({{"1", "0"}, {"2", "40"}});
    work.tell(calculate(work));
    expectOnlyMessage("tutti numeri devono essere>0!");
}

TEST_F(CalculateCommand, TemperatureFieldThatIsNotANumberIsRefused)
{
    enter({{"1", "40"}, {"2", "60"}});
    choose(FitType::TemperatureTime);
    temperatures("12,5 gradi", "80");
    work.tell(calculate(work));
    expectOnlyMessage("temperatura non valida: 12,5 gradi");

    shown.events.clear();
    temperatures("20", "ottanta");
    work.tell(calculate(work));
    expectOnlyMessage("temperatura non valida: ottanta");
}

TEST_F(CalculateCommand, EmptyInitialTemperatureReadsAsZero)
{
    // From 0 towards 100: y = 100 - 100 e^(-t) at t = 1 and 2 gives M = 1.
    enter({{"1", "63.212055882855765"}, {"2", "86.46647167633873"}});
    choose(FitType::TemperatureTime);
    temperatures("", "100");
    work.tell(calculate(work));
    const Lines report = shown.lastReport();
    ASSERT_GE(report.size(), 7u);
    EXPECT_EQ(report[2], "temperatura iniziale:     0.000");
    EXPECT_EQ(report[5], " COEFFICIENTE M= 1.000000");
    EXPECT_DOUBLE_EQ(lastCurve<TemperatureTimeCurve>().initial, 0.0);

    // A field of blanks looks empty and reads the same; so does a decimal comma.
    temperatures("   ", "100");
    work.tell(calculate(work));
    EXPECT_EQ(shown.reportCount(), 2);
    EXPECT_EQ(shown.lastReport(), report);
    temperatures("0,0 ", " 100,0");
    work.tell(calculate(work));
    EXPECT_EQ(shown.reportCount(), 3);
    EXPECT_EQ(shown.lastReport(), report);
}

TEST(TemperatureField, DecimalCommaAndBlanks)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"15,5", 15.5}, {" -7,125 ", -7.125}, {"20", 20.0}, {"", 0.0},
        {"   ", 0.0},   {"1,5,0", std::nullopt}, {"12,5 gradi", std::nullopt}, {"1e2", 100.0}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(temperatureValue(text), expected) << '"' << text << '"';
}

TEST_F(CalculateCommand, OtherKindsIgnoreTheTemperatureFields)
{
    enter({{"1", "1"}, {"2", "3"}, {"3", "2"}});
    choose(FitType::Polynomial, 1);
    temperatures("12,5", "abc");
    work.tell(calculate(work));
    EXPECT_TRUE(shown.messages().empty());
    EXPECT_EQ(shown.reportCount(), 1);
}

// --- arithmetic faults ----------------------------------------------------------

TEST_F(CalculateCommand, PowerWithAPointAtZeroIsAbandonedBeforeTheReport)
{
    enter({{"1", "1"}, {"2", "3"}, {"3", "2"}});
    choose(FitType::Polynomial, 1);
    work.tell(calculate(work));
    const DataSetCoefficients before = doc.coefficients;
    const Lines reportBefore = lastReport();
    shown.events.clear();

    enter({{"1", "1"}, {"0", "3"}, {"3", "2"}});
    choose(FitType::Power);
    work.tell(calculate(work));
    expectOnlyMessage("Floating point division by zero");
    EXPECT_EQ(doc.coefficients, before);
    EXPECT_EQ(lastReport(), reportBefore);
}

TEST_F(CalculateCommand, TemperatureTimeWithoutDecayFailsOnTheTimeConstant)
{
    // Every point at the initial temperature: M = 0.
    enter({{"1", "20"}, {"2", "20"}});
    choose(FitType::TemperatureTime);
    temperatures("20", "80");
    work.tell(calculate(work));
    expectOnlyMessage("Floating point division by zero");
    EXPECT_FALSE(doc.lastCalculation.has_value()); // a fault leaves nothing behind
}

TEST_F(CalculateCommand, LaterPointAtTimeZeroIsAnArithmeticFault)
{
    enter({{"1", "40"}, {"0", "50"}});
    choose(FitType::TemperatureTime);
    temperatures("20", "80");
    work.tell(calculate(work));
    EXPECT_EQ(shown.reportCount(), 0);
    ASSERT_EQ(shown.messages().size(), 1u);
    EXPECT_NE(shown.messages()[0].find("Floating point"), std::string::npos);
}

TEST_F(CalculateCommand, RationalPolynomialWithAZeroOrdinateIsADivisionByZero)
{
    enter({{"1", "1"}, {"2", "0"}, {"3", "2"}});
    choose(FitType::RationalPolynomial, 1);
    work.tell(calculate(work));
    expectOnlyMessage("Floating point division by zero");
}

TEST_F(CalculateCommand, OverflowInTheFitIsShownAsOverflow)
{
    enter({{"1e200", "1"}, {"2e200", "2"}, {"3e200", "3"}});
    choose(FitType::Polynomial, 2);
    work.tell(calculate(work));
    expectOnlyMessage("Floating point overflow");
}

// --- what is shown, and in which order ---------------------------------------

TEST_F(CalculateCommand, GraphFollowsTheReportWithTheDataSetName)
{
    doc.currentDataSetName = "/dati/pompa.txt";
    enter({{"1", "1"}, {"2", "3"}, {"3", "2"}});
    choose(FitType::Exponential);
    work.tell(calculate(work));
    using K = Shown;
    EXPECT_EQ(shown.kinds(), (std::vector<K>{K::Report, K::Graph}));
    EXPECT_EQ(shown.graphCaptions(), Lines{"file:/dati/pompa.txt"});
}

TEST_F(CalculateCommand, WithoutPresenterTheCalculationStillRuns)
{
    const Workspace unseen{doc, inputs, nullptr};
    enter({{"1", "1"}, {"2", "3"}, {"3", "2"}});
    choose(FitType::Polynomial, 1);
    calculate(unseen);
    EXPECT_EQ(lastReport().size(), 13u);
    EXPECT_DOUBLE_EQ(lastCurve<PolynomialCurve>().coefficients[2], 0.5);

    enter({{"1", "1"}, {"0", "3"}});
    choose(FitType::Power);
    calculate(unseen); // the fault is caught even with nobody to tell
    EXPECT_TRUE(shown.events.empty());
}

TEST_F(CalculateCommand, DispatchSendsOnlyTheSurfaceKindToTheSurface)
{
    std::vector<Row> rows;
    for (int x = 1; x <= 3; ++x)
        for (int y = 1; y <= 3; ++y) rows.push_back({std::to_string(x), std::to_string(y), std::to_string(x * y + 1)});
    enter(rows);
    choose(FitType::SurfaceXY, 2);
    work.tell(calculate(work));
    EXPECT_EQ(shown.lastReport().at(0).substr(0, 18), "POLINOMIO Z=F(x,y)");

    shown.events.clear();
    choose(FitType::Saturation);
    work.tell(calculate(work));
    EXPECT_EQ(shown.lastReport().at(0), "tipo di equazione:curva saturazione");
}

} // namespace
