#pragma once
// What the benchmarks of the whole calculation share: smooth, physically
// plausible point sets for every kind, the grid typed from them, a presenter
// that shows nothing but remembers whether a message would have appeared,
// and a temporary file path.
#include "app/calculatecommand.h"
#include "app/document.h"
#include "app/frontend.h"
#include "plain_inputs.h"
#include "fit/dataset.h"
#include "common/numtext.h"
#include "fit/surface.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace calvero::bench {

// Shows nothing; counts what a calculation would have shown.
class QuietPresenter : public Presenter {
public:
    void showMessage(const std::string& text) override
    {
        if (messages++ == 0) firstMessage = text;
    }
    void showReport() override { ++reports; }
    void showGraph(const std::string&) override { ++graphs; }

    int messages = 0;
    int reports = 0;
    int graphs = 0;
    std::string firstMessage;
};

// The texts of the point grid, one row per point, as the user types them.
struct GridRows {
    std::vector<std::string> x, y, z;
    void add(double xv, double yv)
    {
        x.push_back(formatGridValue(xv));
        y.push_back(formatGridValue(yv));
        z.push_back("");
    }
    void add(double xv, double yv, double zv)
    {
        add(xv, yv);
        z.back() = formatGridValue(zv);
    }
    int size() const { return static_cast<int>(x.size()); }
};

// The calculation to run: kind, degree, the two temperatures, the points.
struct BenchCase {
    FitType kind = FitType::Polynomial;
    int degree = 1;
    std::string initialTemperature;
    std::string finalTemperature;
    GridRows rows;
};

// A small deterministic ripple, so the points do not lie exactly on the curve.
inline double ripple(int i, double amplitude) { return amplitude * std::sin(1.7 * i); }

// Heating load (kW) against outdoor temperature (degrees C).
inline BenchCase scatterCase()
{
    BenchCase c{FitType::Scatter, 1, "", "", {}};
    for (int i = 1; i <= MaxPoints; ++i) {
        const double t = -15.0 + 0.15 * i;
        c.rows.add(t, 120.0 - 3.2 * t + ripple(i, 1.5));
    }
    return c;
}

// Duct pressure drop (Pa) against air flow (m3/s): dp = 12 q^1.85.
inline BenchCase powerCase()
{
    BenchCase c{FitType::Power, 1, "", "", {}};
    for (int i = 1; i <= MaxPoints; ++i) {
        const double q = 0.05 * i;
        c.rows.add(q, 12.0 * std::pow(q, 1.85) * (1.0 + ripple(i, 0.01)));
    }
    return c;
}

// Fan curve: static pressure (Pa) against air flow (m3/s), degree 8.
inline BenchCase polynomialCase()
{
    BenchCase c{FitType::Polynomial, 8, "", "", {}};
    for (int i = 1; i <= MaxPoints; ++i) {
        const double q = 0.01 * i;
        c.rows.add(q, 800.0 - 50.0 * q - 120.0 * q * q + 8.0 * std::sin(2.0 * q) + ripple(i, 0.5));
    }
    return c;
}

// Excess temperature (K) of a cooling body against time (min): 95 e^(-0.012 t).
inline BenchCase exponentialCase()
{
    BenchCase c{FitType::Exponential, 1, "", "", {}};
    for (int i = 1; i <= MaxPoints; ++i) {
        const double t = 1.0 * i;
        c.rows.add(t, 95.0 * std::exp(-0.012 * t) * (1.0 + ripple(i, 0.005)));
    }
    return c;
}

// Heat transfer coefficient against flow as the reciprocal of a cubic.
inline BenchCase rationalCase()
{
    BenchCase c{FitType::RationalPolynomial, 3, "", "", {}};
    for (int i = 1; i <= MaxPoints; ++i) {
        const double v = 0.5 * i;
        c.rows.add(v, 1.0 / (0.02 + 0.004 * v + 0.0001 * v * v + 1e-7 * v * v * v) * (1.0 + ripple(i, 0.003)));
    }
    return c;
}

// Water in a tank heated from 15 to 70 degrees C against time (min), M = 0.02.
inline BenchCase temperatureTimeCase()
{
    BenchCase c{FitType::TemperatureTime, 1, "15.0", "70.0", {}};
    for (int i = 1; i <= MaxPoints; ++i) {
        const double t = 1.0 * i;
        c.rows.add(t, 70.0 - std::exp(-0.02 * t) * (70.0 - 15.0) + ripple(i, 0.02));
    }
    return c;
}

// Saturation pressure of water (kPa) against temperature (K): log10 p = A + B / T.
inline BenchCase saturationCase()
{
    BenchCase c{FitType::Saturation, 1, "", "", {}};
    for (int i = 1; i <= MaxPoints; ++i) {
        const double t = 273.15 + 0.5 * i;
        c.rows.add(t, std::pow(10.0, 8.057 - 2258.0 / t) * (1.0 + ripple(i, 0.002)));
    }
    return c;
}

// Chiller capacity (kW) against chilled-water (x) and condenser-water (y)
// temperatures on a 10 x 10 grid: the surface's limit of 100 points, degree 4.
inline BenchCase surfaceCase()
{
    BenchCase c{FitType::SurfaceXY, 4, "", "", {}};
    for (int i = 0; i < MaxSurfacePoints; ++i) {
        const double x = 5.0 + i % 10, y = 25.0 + 2.0 * (i / 10);
        c.rows.add(x, y, 500.0 + 18.0 * x - 6.0 * y + 0.2 * x * x - 0.03 * x * y + ripple(i + 1, 0.3));
    }
    return c;
}

// A document, the main window's inputs and a presenter that shows nothing.
struct BenchWorkspace {
    Document doc;
    InputFields inputs;
    QuietPresenter shown;
    Workspace work{doc, inputs, &shown};
};

// The kind and degree chosen in the main window, and the temperatures typed.
inline void chooseInputs(BenchWorkspace& w, const BenchCase& c)
{
    w.doc.kind = c.kind;
    w.inputs.setKindItemIndex(kindNumber(c.kind) - 1);
    w.inputs.setDegreeValue(c.degree);
    w.inputs.setInitialTemperatureText(c.initialTemperature);
    w.inputs.setFinalTemperatureText(c.finalTemperature);
}

inline void typeIntoGrid(PointGrid& grid, const GridRows& rows)
{
    for (int r = 0; r < rows.size(); ++r) {
        grid.setCell(r + 1, 1, rows.x[r]);
        grid.setCell(r + 1, 2, rows.y[r]);
        grid.setCell(r + 1, 3, rows.z[r]);
    }
}

// The calculation's inputs chosen, its points typed and calculated once.
// Returns false (and marks the benchmark failed) when that calculation showed
// a message.
inline bool prepareCalculated(benchmark::State& state, const BenchCase& c, BenchWorkspace& w)
{
    chooseInputs(w, c);
    typeIntoGrid(w.doc.grid, c.rows);
    w.work.tell(calculate(w.work));
    if (w.shown.messages > 0) {
        state.SkipWithError(("the calculation showed: " + w.shown.firstMessage).c_str());
        return false;
    }
    if (w.shown.reports == 0) {
        state.SkipWithError("the calculation showed no report");
        return false;
    }
    if (w.doc.points.foundCount != c.rows.size()) {
        state.SkipWithError(("the calculation counted " + std::to_string(w.doc.points.foundCount) + " points").c_str());
        return false;
    }
    return true;
}

// A path in the temporary folder, unique to this process; removed on destruction.
class TempPath {
public:
    explicit TempPath(const std::string& name)
        : path_((std::filesystem::temp_directory_path() /
                 ("calvero_bench_" + std::to_string(::getpid()) + "_" + name))
                    .string())
    {
    }
    ~TempPath()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;
    const std::string& str() const { return path_; }

private:
    std::string path_;
};

} // namespace calvero::bench
