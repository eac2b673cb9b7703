// Writes the six example data sets that "&Esempi" runs. The points are
// made-up but plausible measurements (a smooth law of the kind plus a small
// fixed measurement scatter); each set is fitted by the program's own driver,
// so the curve block of the file holds the coefficients of its fit, and then
// saved by the program's own writer with the points in catalogue order.
//
// Built and run by make_examples.sh; the files it writes are committed.
#include "app/datasetfile.h"
#include "fit/dataset.h"
#include "fit/drivers.h"
#include "fit/frontend.h"
#include "fit/session.h"
#include "fit/staging.h"
#include "fit/surface.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace calvero;

namespace {

struct Point {
    double x, y, z;
};

struct Example {
    const char* name;
    FitType kind;
    int degree;
    const char* initialTemperature;
    const char* finalTemperature;
    std::vector<Point> points;
};

// Relative scatter of a measurement, repeated over the points.
double scatter(int i)
{
    static const double pattern[] = {0.008, -0.012, 0.005, -0.004, 0.011, -0.009,
                                     0.003, -0.006, 0.010, -0.002, 0.007, -0.010};
    return pattern[i % 12];
}

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// Pressure drop (Pa) of a finned cooling coil against air flow (m³/h): dp = k Q^1.85.
Example coilPressureDrop()
{
    Example e{"potenzaold.txt", FitType::Power, 2, "", "", {}};
    int i = 0;
    for (double q = 1000; q <= 6000; q += 500, ++i)
        e.points.push_back({q, rounded(2.6e-5 * std::pow(q, 1.85) * (1 + scatter(i)), 1), 0});
    return e;
}

// Head (m) of a circulating pump against flow (m³/h).
Example pumpCurve()
{
    Example e{"nr150b6.txt", FitType::Polynomial, 2, "", "", {}};
    int i = 0;
    for (double q = 10; q <= 60; q += 5, ++i)
        e.points.push_back({q, rounded((32 + 0.05 * q - 0.0065 * q * q) * (1 + 0.5 * scatter(i)), 2), 0});
    return e;
}

// Coefficient of performance of an air-to-water heat pump against the supply
// water temperature (°C): 1/COP grows with the temperature lift.
Example heatPumpCop()
{
    Example e{"polinomiofratto.txt", FitType::RationalPolynomial, 2, "", "", {}};
    int i = 0;
    for (double t = 28; t <= 60; t += 4, ++i)
        e.points.push_back({t, rounded((1 + 0.5 * scatter(i)) / (0.10 + 0.002 * t + 0.00006 * t * t), 2), 0});
    return e;
}

// Excess temperature (K) of a radiator over the room after its pump stops,
// against time (min): an exponential decay.
Example radiatorCooling()
{
    Example e{"esponenziale.txt", FitType::Exponential, 2, "", "", {}};
    int i = 0;
    for (double t = 5; t <= 60; t += 5, ++i)
        e.points.push_back({t, rounded(45 * std::exp(-0.035 * t) * (1 + scatter(i)), 2), 0});
    return e;
}

// Water temperature (°C) of a storage tank heated from 15 °C towards 60 °C,
// against time (min), with a time constant of 40 minutes.
Example tankHeating()
{
    Example e{"temperatura_tempo.txt", FitType::TemperatureTime, 2, "15", "60", {}};
    int i = 0;
    for (double t = 10; t <= 120; t += 10, ++i)
        e.points.push_back({t, rounded(60 - std::exp(-0.025 * t) * 45 + 15 * scatter(i), 1), 0});
    return e;
}

// Cooling capacity (kW) of a scroll compressor against the evaporating
// temperature (x, °C) and the condensing temperature (y, °C), as a catalogue
// table lists it: one row per condensing temperature.
Example compressorCapacity()
{
    Example e{"funzxy.txt", FitType::SurfaceXY, 3, "", "", {}};
    int i = 0;
    for (double tc = 30; tc <= 55; tc += 5) {
        for (double te = -20; te <= 10; te += 5, ++i) {
            const double q = 15 * (1 + 0.035 * te + 0.0004 * te * te) * (1 - 0.012 * (tc - 40));
            e.points.push_back({te, tc, rounded(q * (1 + 0.5 * scatter(i * 5)), 2)});
        }
    }
    return e;
}

class ConsolePresenter : public Presenter {
public:
    void showMessage(const std::string& text) override
    {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        ++messages;
    }
    void showReport() override { ++reports; }
    void showGraph(const std::string&) override {}
    int messages = 0;
    int reports = 0;
};

// The largest deviation of the fit from the points, in per cent.
double largestDeviation(const Example& e)
{
    const Session& s = session();
    double largest = 0;
    for (const Point& p : e.points) {
        const double measured = e.kind == FitType::SurfaceXY ? p.z : p.y;
        const double fitted = e.kind == FitType::SurfaceXY
                                  ? evaluateSurface(s.result.coefficients, p.x, p.y, e.degree)
                                  : s.result.curveFunction(p.x);
        largest = std::fmax(largest, std::fabs(fitted - measured) / std::fabs(measured) * 100);
    }
    return largest;
}

void putPoints(const Example& e)
{
    Session& s = session();
    for (std::size_t i = 0; i < e.points.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        s.points.x[r] = e.points[i].x;
        s.points.y[r] = e.points[i].y;
        s.points.z[r] = e.points[i].z;
    }
    s.points.count = static_cast<std::uint16_t>(e.points.size());
}

bool make(const Example& e, const std::string& folder)
{
    resetSession();
    ConsolePresenter shown;
    setPresenter(&shown);
    putPoints(e);
    fillPointGrid();
    mainInputs().setKindItemIndex(kindNumber(e.kind) - 1);
    mainInputs().setDegreeValue(e.degree);
    mainInputs().setInitialTemperatureText(e.initialTemperature);
    mainInputs().setFinalTemperatureText(e.finalTemperature);
    session().fit.kind = e.kind;
    if (e.kind == FitType::SurfaceXY)
        calculateSurface();
    else
        calculateOneVariable();
    if (shown.messages != 0 || shown.reports != 1) return false;
    std::printf("%-22s %2zu points, largest deviation %.2f %%\n", e.name, e.points.size(), largestDeviation(e));

    putPoints(e); // the surface fit sorted them; the file keeps the catalogue order
    const bool written = writeDataSetFile(folder + e.name);
    setPresenter(nullptr);
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_examples OUTPUT_FOLDER/\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const Example& e : {coilPressureDrop(), pumpCurve(), heatPumpCop(), radiatorCooling(), tankHeating(),
                             compressorCapacity()}) {
        if (!make(e, folder)) {
            std::fprintf(stderr, "%s: not made\n", e.name);
            return 1;
        }
    }
    return 0;
}
