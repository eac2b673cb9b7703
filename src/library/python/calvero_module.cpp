// The Python module calvero: the engine for scripts and notebooks. Lists or
// numpy arrays of real numbers in; a result with numpy coefficients, the
// statistics and shape checks by the names calvero1-batch --json gives them,
// the Italian report, a vectorized evaluation and the exports out. A refusal
// raises calvero.Refused with its code and the Italian text; arguments no
// fit can take raise ValueError or TypeError, in Italian too. The fit itself
// runs without the interpreter's lock, so other threads go on meanwhile.
// Built with pybind11 for Debian's own Python; calvero.pyi describes it for
// editors and type checkers.
#include "formats/datasetformat.h"
#include "formats/fitjson.h"
#include "formats/fitoptionsfile.h"
#include "fit/curvequestions.h"
#include "fit/shapecheck.h"
#include "library/equationrequest.h"
#include "library/equationtext.h"
#include "fit/equationstatistics.h"
#include "formats/equationfile.h"
#include "formats/equationjson.h"
#include "common/numtext.h"
#include "exports/formulaexport.h"
#include "library/fitrequest.h"

#include <pybind11/eval.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <filesystem>
#include <mutex>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace py = pybind11;
using namespace calvero;

namespace {

using Numbers = py::array_t<double, py::array::c_style | py::array::forcecast>;

// A JSON value of the batch's documents as the Python value json.loads gives.
py::object fromJson(const nlohmann::json& j)
{
    switch (j.type()) {
    case nlohmann::json::value_t::object: {
        py::dict d;
        for (const auto& [key, value] : j.items()) d[py::str(key)] = fromJson(value);
        return d;
    }
    case nlohmann::json::value_t::array: {
        py::list l;
        for (const auto& value : j) l.append(fromJson(value));
        return l;
    }
    case nlohmann::json::value_t::string: return py::str(j.get<std::string>());
    case nlohmann::json::value_t::boolean: return py::bool_(j.get<bool>());
    case nlohmann::json::value_t::number_integer: return py::int_(j.get<long long>());
    case nlohmann::json::value_t::number_unsigned: return py::int_(j.get<unsigned long long>());
    case nlohmann::json::value_t::number_float: return py::float_(j.get<double>());
    default: return py::none();
    }
}

// Values that are real numbers (Python's or numpy's integers and floats) as
// an array of doubles of the same shape; a string, a complex number, None or
// anything else that numpy would turn into a number its own way is a
// TypeError, never a number.
Numbers realNumbers(const py::handle& values, const std::string& refusal)
{
    if (values.is_none() || py::isinstance<py::str>(values) || py::isinstance<py::bytes>(values))
        throw py::type_error(refusal);
    py::array given;
    try {
        given = py::module_::import("numpy").attr("asarray")(values);
    } catch (const py::error_already_set&) {
        throw py::type_error(refusal);
    }
    const char kind = given.dtype().kind();
    if (kind == 'O') {
        // Mixed objects: each must be a real number by Python's own measure.
        const py::object real = py::module_::import("numbers").attr("Real");
        for (const py::handle item : given.attr("flat"))
            if (!py::isinstance(item, real)) throw py::type_error(refusal);
    } else if (kind != 'b' && kind != 'i' && kind != 'u' && kind != 'f') {
        throw py::type_error(refusal);
    }
    try {
        return Numbers::ensure(given);
    } catch (const py::error_already_set&) {
        throw py::type_error(refusal);
    }
}

// A list, tuple or array of numbers as one row of doubles.
Numbers numbers(const py::handle& values, const char* name)
{
    const Numbers array = realNumbers(values, std::string(name) + " deve essere una sequenza di numeri reali");
    if (array.ndim() != 1) throw py::value_error(std::string(name) + " deve essere una sequenza di numeri, in una riga");
    return array;
}

std::span<const double> span(const Numbers& array)
{
    return {array.data(), static_cast<std::size_t>(array.size())};
}

// A whole number (a Python or numpy integer: whatever has an index, a bool
// aside), or why not.
int wholeNumber(const py::handle& value, const char* what, const char* refusal)
{
    if (py::isinstance<py::bool_>(value) || !PyIndex_Check(value.ptr())) throw py::type_error(what);
    const py::int_ index(py::reinterpret_borrow<py::object>(value));
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    if (overflow != 0 || number < -1000 || number > 1000)
        throw py::value_error(refusal + index.attr("__str__")().cast<std::string>());
    return static_cast<int>(number);
}

int kindOf(const py::handle& kind)
{
    if (py::isinstance<py::str>(kind)) {
        const std::string name = kind.cast<std::string>();
        if (const auto number = kindOfName(name)) return *number;
        throw py::value_error("tipo non riconosciuto: " + name +
                              " (scatter, power, polynomial, exponential, rational, temperature-time, surface, "
                              "saturation, o il numero 1..8)");
    }
    return wholeNumber(kind, "il tipo è un nome o un numero da 1 a 8", "tipo non valido (1..8): ");
}


// A Python or numpy real number as a double, or a TypeError with the refusal.
double number(const py::handle& value, const std::string& refusal)
{
    const Numbers one = realNumbers(value, refusal);
    if (one.ndim() != 0) throw py::type_error(refusal);
    return *one.data();
}

std::optional<double> temperature(const py::object& t, const char* name)
{
    if (t.is_none()) return std::nullopt;
    return number(t, std::string(name) + " deve essere un numero o None");
}

// The fit options as a script gives them: through=[(x, y), ...] ((x, y, z)
// for the surface), fix={term: value}, weights="relative" or one per point,
// minimax=True, monotone="increasing" or "decreasing", curvature="concave" or "convex".
FitOptions optionsOf(const py::object& through, const py::object& fix, const py::object& weights,
                     const py::object& minimax, const py::object& monotone, const py::object& curvature,
                     const py::object& leastSquaresInY)
{
    FitOptions o;
    if (!through.is_none()) {
        for (const py::handle& point : through) {
            const Numbers values = numbers(point, "un punto di passaggio");
            if (values.size() != 2 && values.size() != 3)
                throw py::value_error("un punto di passaggio si dà come (x, y), o (x, y, z) per il polinomio Z=F(x,y)");
            o.throughPoints.push_back({values.at(0), values.at(1), values.size() == 3 ? values.at(2) : 0.0});
        }
    }
    if (!fix.is_none()) {
        if (!py::isinstance<py::dict>(fix)) throw py::type_error("fix è un dizionario {termine: valore}");
        for (const auto& [term, value] : fix.cast<py::dict>())
            o.fixedTerms.push_back({wholeNumber(term, "il termine fisso è un numero intero (1 la costante)",
                                                "termine fisso non valido (1..99): "),
                                    number(value, "il valore di un termine fisso deve essere un numero")});
    }
    if (!weights.is_none()) {
        if (py::isinstance<py::str>(weights)) {
            if (weights.cast<std::string>() != "relative")
                throw py::value_error("pesi non validi: \"relative\" o un peso per punto");
            o.weighting = Weighting::Relative;
        } else {
            const Numbers values = numbers(weights, "weights");
            o.weighting = Weighting::Column;
            o.pointWeights.assign(values.data(), values.data() + values.size());
        }
    }
    o.minimax = py::bool_(minimax);
    o.leastSquaresInY = py::bool_(leastSquaresInY);
    if (!monotone.is_none()) {
        const std::string direction = py::isinstance<py::str>(monotone) ? monotone.cast<std::string>() : "";
        if (direction != "increasing" && direction != "decreasing")
            throw py::value_error("monotone vale \"increasing\" o \"decreasing\"");
        o.monotone = direction == "increasing" ? Monotone::Increasing : Monotone::Decreasing;
    }
    if (!curvature.is_none()) {
        const std::string sign = py::isinstance<py::str>(curvature) ? curvature.cast<std::string>() : "";
        if (sign != "concave" && sign != "convex") throw py::value_error("curvature vale \"concave\" o \"convex\"");
        o.curvature = sign == "concave" ? Curvature::Concave : Curvature::Convex;
    }
    return o;
}

// The request's arrays, kept alive while the request is read.
struct Arrays {
    Numbers x, y, z;
    FitRequest request;
};

Arrays requestOf(const py::object& x, const py::object& y, const py::object& kind, const py::object& degree,
                 const py::object& z, const py::object& tInitial, const py::object& tFinal)
{
    Arrays a;
    a.request.degree = wholeNumber(degree, "il grado è un numero intero da 1 a 9", "grado non valido (1..9): ");
    a.x = numbers(x, "x");
    a.y = numbers(y, "y");
    a.request.kind = kindOf(kind);
    a.request.x = span(a.x);
    a.request.y = span(a.y);
    if (a.request.kind == kindNumber(FitType::SurfaceXY)) {
        if (z.is_none()) throw py::value_error("per il polinomio Z=F(x,y) servono i valori di z");
        a.z = numbers(z, "z");
        a.request.z = span(a.z);
    }
    a.request.initialTemperature = temperature(tInitial, "t_initial");
    a.request.finalTemperature = temperature(tFinal, "t_final");
    return a;
}

// calvero.Refused with the refusal's code and its Italian sentence.
[[noreturn]] void refuse(const Refusal& refusal)
{
    const py::object type = py::module_::import("calvero").attr("Refused");
    const py::object raised = type(libraryMessage(refusal), refusalIdentifier(refusal.code));
    PyErr_SetObject(type.ptr(), raised.ptr());
    throw py::error_already_set();
}

// What calvero.fit gives: the answer, and what is made of it when first read.
class Result {
public:
    explicit Result(FitAnswer answer, std::optional<EquationFit> equation = std::nullopt)
        : answer_(std::move(answer)),
          equation_(equation ? std::make_shared<const EquationFit>(std::move(*equation)) : nullptr)
    {
    }

    // A kind's calculation; a typed equation's fit has none (equation() instead).
    const Calculation& calculation() const
    {
        if (equation_) refuse(Refusal{RefusalCode::AffinityNotKept, {"EQUAZIONE LIBERA"}});
        return *answer_.calculation;
    }
    const EquationFit* equation() const { return equation_.get(); }
    int kind() const { return equation_ ? 0 : kindNumber(answer_.calculation->kind); }
    int pointCount() const { return equation_ ? equation_->points.count() : answer_.calculation->pointCount; }

    py::array_t<double> coefficients() const
    {
        py::array_t<double> values(static_cast<py::ssize_t>(answer_.coefficients.size()));
        for (std::size_t k = 0; k < answer_.coefficients.size(); ++k)
            values.mutable_at(static_cast<py::ssize_t>(k)) = answer_.coefficients[k].second;
        return values;
    }
    py::list coefficientNames() const
    {
        py::list names;
        for (const auto& coefficient : answer_.coefficients) names.append(coefficient.first);
        return names;
    }
    // Worked out when first read, without the interpreter's lock: another
    // thread asking meanwhile waits for the same figures.
    const py::object& statistics()
    {
        if (!statistics_) {
            nlohmann::json figures;
            {
                py::gil_scoped_release unlocked;
                Lazy& lazy = *lazy_;
                std::call_once(lazy.once, [&] {
                    lazy.figures = equation_ ? equationStatisticsJson(*equation_, equationStatistics(*equation_))
                                             : fitStatisticsJson(calculation(), fitStatistics(calculation()));
                });
                figures = lazy.figures;
            }
            if (!statistics_) statistics_ = fromJson(figures);
        }
        return *statistics_;
    }
    const py::object& shapeChecks()
    {
        // A typed equation has no shape checks: an empty dict.
        if (!shape_) shape_ = equation_ ? py::dict() : fromJson(shapeJson(calvero::shapeChecks(calculation())));
        return *shape_;
    }
    const std::string& report()
    {
        if (!report_) report_ = equation_ ? equationReportText(*equation_) : reportText(calculation());
        return *report_;
    }
    double valueAt(double x, double y) const
    {
        const std::optional<double> v = equation_ ? equationValue(*equation_, x, y) : calvero::valueAt(calculation(), x, y);
        return v.value_or(std::numeric_limits<double>::quiet_NaN());
    }
    // The curve ready for questions, factorized when first asked.
    const CurvePredictor& predictor()
    {
        if (!predictor_)
            predictor_ = equation_ ? std::make_shared<CurvePredictor>(*equation_) : std::make_shared<CurvePredictor>(calculation());
        return *predictor_;
    }
    std::string repr() const
    {
        if (equation_) return "<calvero.Result EQUAZIONE LIBERA: " + equation_->equation.text + ">";
        const Calculation& c = calculation();
        std::string kind = kindLabel(c.kind);
        if (takesDegree(c.kind)) kind += " grado " + std::to_string(c.degree);
        return "<calvero.Result " + kind + ": " + equationText(c) + ">";
    }

private:
    FitAnswer answer_;
    std::shared_ptr<const EquationFit> equation_;
    std::optional<py::object> statistics_, shape_;
    struct Lazy {
        std::once_flag once;
        nlohmann::json figures;
    };
    std::shared_ptr<Lazy> lazy_ = std::make_shared<Lazy>();
    std::optional<std::string> report_;
    std::shared_ptr<CurvePredictor> predictor_;
};

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A question's refusal: a value it cannot take is a ValueError, the rest calvero.Refused.
[[noreturn]] void refuseQuestion(const Refusal& refusal)
{
    if (refusal.code == RefusalCode::InvalidQuestion) throw py::value_error(refusalText(refusal));
    refuse(refusal);
}

double levelOf(const py::object& level)
{
    const double value = number(level, "level deve essere un numero tra 0 e 1");
    if (!(value > 0.0 && value < 1.0)) throw py::value_error(refusalText({RefusalCode::InvalidQuestion, {"level"}}));
    return value;
}

AffinityQuantity quantityOf(const py::object& quantity)
{
    const std::string name = py::isinstance<py::str>(quantity) ? quantity.cast<std::string>() : "";
    const std::optional<AffinityQuantity> q = quantityOfName(name);
    if (!q) throw py::value_error("quantity vale \"head\", \"power\" o \"efficiency\"");
    return *q;
}

py::tuple predict(Result& r, const py::object& x, const py::object& y, const std::string& interval,
                  const py::object& level, const py::object& weight)
{
    if (interval != "confidence" && interval != "prediction")
        throw py::value_error("interval vale \"confidence\" o \"prediction\"");
    const double u = number(x, "x deve essere un numero reale");
    const double v = y.is_none() ? 0.0 : number(y, "y deve essere un numero reale o None");
    const double w = number(weight, "weight deve essere un numero reale");
    const Checked<Prediction> p = r.predictor().at(u, v, {levelOf(level), w});
    if (!p) refuseQuestion(p.refusal);
    const std::optional<Interval>& chosen = interval == "confidence" ? p->confidence : p->prediction;
    return py::make_tuple(p->value, chosen ? chosen->low : NaN, chosen ? chosen->high : NaN);
}

py::list placesList(const Checked<std::vector<CurvePlace>>& found, bool operating)
{
    if (!found) refuseQuestion(found.refusal);
    py::list list;
    for (const CurvePlace& p : *found) {
        py::dict d;
        d["x"] = p.x;
        d["y"] = p.y;
        d["x_interval"] = py::make_tuple(p.xLow.value_or(NaN), p.xHigh.value_or(NaN));
        if (operating) d["y_interval"] = py::make_tuple(p.yLow.value_or(NaN), p.yHigh.value_or(NaN));
        d["extrapolated"] = p.extrapolated;
        d["tangent"] = p.tangent;
        list.append(d);
    }
    return list;
}

py::list solveY(Result& r, const py::object& y, const py::object& level)
{
    const double value = number(y, "y deve essere un numero reale");
    const double chosen = levelOf(level);
    return placesList(solveForY(r.predictor(), value, chosen), false);
}

py::list operatingPointsOf(Result& r, const py::object& k, const py::object& p0, const py::object& n,
                           const py::object& through, const py::object& level)
{
    const double base = number(p0, "p0 deve essere un numero reale");
    const double exponent = number(n, "n deve essere un numero reale");
    std::optional<SystemCurve> system;
    if (!through.is_none()) {
        const Numbers point = numbers(through, "through");
        if (point.size() != 2) throw py::value_error("through è il punto di progetto (Q, dp)");
        system = systemThrough(point.at(0), point.at(1), base, exponent);
        if (!system) throw py::value_error(refusalText({RefusalCode::InvalidQuestion, {"system"}}));
    } else if (!k.is_none()) {
        system = SystemCurve{number(k, "k deve essere un numero reale"), base, exponent};
    } else {
        throw py::value_error("la curva dell'impianto chiede k, o through=(Q, dp)");
    }
    return placesList(operatingPoints(r.predictor(), *system, levelOf(level)), true);
}

Result scaled(const Result& r, const py::object& ratio, const py::object& quantity)
{
    FitAnswer answer = scaledAnswer(r.calculation(), number(ratio, "ratio deve essere un numero reale"), quantityOf(quantity));
    if (answer.status != FitStatus::Fitted) refuseQuestion(answer.refusal);
    return Result(std::move(answer));
}

py::list dutyOf(const Result& r, const py::object& q, const py::object& h, const py::object& quantity)
{
    const auto found = dutyRatios(r.calculation(), number(q, "q deve essere un numero reale"),
                                  number(h, "h deve essere un numero reale"), quantityOf(quantity));
    if (!found) refuseQuestion(found.refusal);
    py::list ratios;
    for (const DutyRatio& d : *found) ratios.append(d.ratio);
    return ratios;
}

// A typed equation fitted to (x, y), or (x, y, z) for z = f(x, y), from the
// start values {name: value} when given, as calvero1-batch --equation.
Result fitTypedEquation(const py::object& x, const py::object& y, const py::object& z, const py::object& equation,
                        const py::object& start)
{
    if (!py::isinstance<py::str>(equation)) throw py::type_error("equation è un testo, come \"y = b1*(1-exp(-b2*x))\"");
    const std::string text = equation.cast<std::string>();
    std::string startText;
    if (!start.is_none()) {
        if (!py::isinstance<py::dict>(start)) throw py::type_error("start è un dizionario {parametro: valore}");
        for (const auto& [name, value] : start.cast<py::dict>()) {
            if (!py::isinstance<py::str>(name)) throw py::type_error("i nomi dei parametri sono testi");
            startText += (startText.empty() ? "" : ",") + name.cast<std::string>() + "=" +
                         shortestText(number(py::reinterpret_borrow<py::object>(value),
                                             "il valore iniziale di un parametro deve essere un numero"));
        }
    }
    const Numbers xs = numbers(x, "x"), ys = numbers(y, "y");
    const Numbers zs = z.is_none() ? Numbers() : numbers(z, "z");
    EquationRequest asked;
    asked.equation = text;
    asked.start = startText;
    asked.x = span(xs);
    asked.y = span(ys);
    if (!z.is_none()) asked.z = span(zs);
    std::optional<EquationFit> fitted;
    FitAnswer answer;
    {
        py::gil_scoped_release unlocked;
        answer = fitEquationRequest(asked, fitted);
    }
    if (answer.status == FitStatus::BadArguments) throw py::value_error(answerMessage(answer));
    if (answer.status == FitStatus::Refused) refuse(answer.refusal);
    return Result(std::move(answer), std::move(fitted));
}

Result fit(const py::object& x, const py::object& y, const py::object& kind, const py::object& degree,
           const py::object& z, const py::object& tInitial, const py::object& tFinal, const py::object& through,
           const py::object& fix, const py::object& weights, const py::object& minimax, const py::object& monotone,
           const py::object& curvature, const py::object& leastSquaresInY, const py::object& equation,
           const py::object& start)
{
    if (!equation.is_none()) {
        const bool steered = !through.is_none() || !fix.is_none() || !weights.is_none() || py::bool_(minimax) ||
                             !monotone.is_none() || !curvature.is_none() || py::bool_(leastSquaresInY);
        if (steered) throw py::value_error("con equation valgono x, y, z e start; non i vincoli dei tipi");
        return fitTypedEquation(x, y, z, equation, start);
    }
    if (!start.is_none()) throw py::value_error("start vale solo con equation");
    Arrays a = requestOf(x, y, kind, degree, z, tInitial, tFinal);
    a.request.options = optionsOf(through, fix, weights, minimax, monotone, curvature, leastSquaresInY);
    FitAnswer answer;
    {
        // The arrays stay alive in a; nothing of Python is touched meanwhile.
        py::gil_scoped_release unlocked;
        answer = fitRequest(a.request);
    }
    if (answer.status == FitStatus::BadArguments) throw py::value_error(answerMessage(answer));
    if (answer.status == FitStatus::Refused) refuse(answer.refusal);
    return Result(std::move(answer));
}

py::list compare(const py::object& x, const py::object& y, const py::object& z, const py::object& tInitial,
                 const py::object& tFinal, const py::object& kind, const py::object& degree, const py::object& tolerance)
{
    const py::object chosen = kind.is_none() ? py::str(z.is_none() ? "polynomial" : "surface") : kind;
    const Arrays a = requestOf(x, y, chosen, degree, z, tInitial, tFinal);
    const double percent = temperature(tolerance, "tolerance").value_or(DefaultTolerancePercent);
    Checked<std::vector<ComparisonRow>> rows;
    {
        py::gil_scoped_release unlocked;
        rows = compareRequest(a.request, percent);
    }
    if (!rows) throw py::value_error(libraryMessage(rows.refusal));
    py::list list;
    for (const ComparisonRow& row : *rows) list.append(fromJson(comparisonRowJson(row)));
    return list;
}

// A data set file's points, kind, degree and temperatures, as calvero.fit
// takes them: ds.x, ds["x"] and calvero.fit(**ds) alike.
struct DataSet {
    py::dict fields;
};

// A data set's options as calvero.fit takes them; none when none is on.
void addOptions(py::dict& fields, const FitOptions& o, const CalculationInput& input)
{
    if (!o.throughPoints.empty()) {
        py::list points;
        for (const ThroughPoint& p : o.throughPoints)
            points.append(input.kind == FitType::SurfaceXY ? py::make_tuple(p.x, p.y, p.z) : py::make_tuple(p.x, p.y));
        fields["through"] = points;
    }
    if (!o.fixedTerms.empty()) {
        py::dict fixed;
        for (const FixedTerm& t : o.fixedTerms) fixed[py::int_(t.term)] = t.value;
        fields["fix"] = fixed;
    }
    if (o.weighting == Weighting::Relative) fields["weights"] = "relative";
    if (o.weighting == Weighting::Column) {
        // A data set holds no fourth column: the one-variable kinds weigh by z.
        if (input.kind == FitType::SurfaceXY)
            throw py::value_error("i pesi dei punti del polinomio Z=F(x,y) si leggono dalla quarta colonna di un file "
                                  "di punti di testo (x;y;z;peso)");
        py::array_t<double> column(input.pointCount);
        for (int i = 1; i <= input.pointCount; ++i) column.mutable_at(i - 1) = input.points.z[i];
        fields["weights"] = column;
    }
    if (o.minimax) fields["minimax"] = true;
    if (o.leastSquaresInY) fields["least_squares_in_y"] = true;
    if (o.monotone != Monotone::None)
        fields["monotone"] = o.monotone == Monotone::Increasing ? "increasing" : "decreasing";
    if (o.curvature != Curvature::None) fields["curvature"] = o.curvature == Curvature::Concave ? "concave" : "convex";
}

DataSet readDataset(const py::object& given)
{
    std::string path;
    try {
        path = py::str(py::module_::import("os").attr("fspath")(given)).cast<std::string>();
    } catch (const py::error_already_set&) {
        throw py::type_error("il percorso è un testo o un os.PathLike");
    }
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        PyErr_SetString(PyExc_FileNotFoundError, (" IL FILE:" + path + " NON ESISTE!").c_str());
        throw py::error_already_set();
    }
    const Checked<DataSetFileContents> contents = readDataSetFile(path);
    if (!contents) throw py::value_error(libraryMessage(contents.refusal));
    const CalculationInput input = dataSetInput(*contents);
    const auto column = [&](const PointArray& values) {
        py::array_t<double> array(input.pointCount);
        for (int i = 1; i <= input.pointCount; ++i) array.mutable_at(i - 1) = values[i];
        return array;
    };
    DataSet data;
    data.fields["x"] = column(input.points.x);
    data.fields["y"] = column(input.points.y);
    data.fields["z"] = input.kind == FitType::SurfaceXY ? py::object(column(input.points.z)) : py::none();
    // An equation saved beside it is fitted instead of the kind, as calvero1-batch does.
    const Checked<std::optional<SavedEquation>> equation = readDataSetEquation(path);
    if (!equation) throw py::value_error(libraryMessage(equation.refusal));
    if (*equation) {
        const SavedEquation& e = **equation;
        const ParameterSettings& s = e.settings;
        if (anySet(s.fixed) || anySet(s.lower) || anySet(s.upper))
            throw py::value_error("l'equazione salvata con i dati ha parametri fissi o limiti, che calvero.fit non "
                                  "prende: si calcola con calvero1-batch " + path);
        if ((input.kind == FitType::SurfaceXY) != e.equation.twoVariables)
            throw py::value_error("l'equazione salvata con i dati dà " + e.equation.response() + ", ma i dati " +
                                  (e.equation.twoVariables ? "non hanno z" : "hanno anche z"));
        data.fields["equation"] = e.equation.text;
        if (anySet(s.start)) {
            py::dict start;
            for (std::size_t k = 0; k < s.start.size() && k < e.equation.parameters.size(); ++k)
                if (s.start[k]) start[py::str(e.equation.parameters[k])] = *s.start[k];
            data.fields["start"] = start;
        }
        return data;
    }
    data.fields["kind"] = kindNumber(input.kind);
    data.fields["degree"] = input.degree;
    data.fields["t_initial"] = *input.initialTemperature;
    data.fields["t_final"] = *input.finalTemperature;
    // The options saved beside it steer its fit, as they do the programs'.
    const Checked<FitOptions> saved = readDataSetOptions(path);
    if (!saved) throw py::value_error(libraryMessage(saved.refusal));
    addOptions(data.fields, *saved, input);
    return data;
}

// The fitted equation in a format another program reads (calvero.export).
std::string exportOfResult(const Result& result, const std::string& format, const py::object& name, const py::object& rated,
                       const std::string& units, const py::object& cells)
{
    if (!exportFormatNamed(format)) throw py::value_error(refusalText(unknownExportFormat(format)));
    if (result.equation())
        refuse(Refusal{RefusalCode::Message, {"le esportazioni valgono per gli otto tipi, non per un'equazione libera"}});
    ExportChoices choices;
    if (!name.is_none()) {
        if (!py::isinstance<py::str>(name)) throw py::type_error("il nome è un testo");
        choices.name = name.cast<std::string>();
    }
    if (!rated.is_none()) {
        const Numbers point = realNumbers(rated, "il punto nominale è x, o (x, y) per il polinomio Z=F(x,y)");
        if (point.size() < 1 || point.size() > 2 || point.ndim() > 1)
            throw py::value_error("il punto nominale è x, o (x, y) per il polinomio Z=F(x,y)");
        choices.rated = RatedPoint{point.data()[0], point.size() == 2 ? std::optional<double>(point.data()[1]) : std::nullopt};
    }
    if (units != "C" && units != "F") throw py::value_error("units vale \"C\" o \"F\" (le temperature dei punti)");
    choices.units = units == "F" ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
    if (!cells.is_none()) {
        const py::sequence pair = py::reinterpret_borrow<py::sequence>(cells);
        if (py::isinstance<py::str>(cells) || !py::isinstance<py::sequence>(cells) || pair.size() != 2)
            throw py::type_error("cells è una coppia di celle, come (\"A2\", \"B2\")");
        for (std::size_t k = 0; k < 2; ++k) {
            const std::string text = py::str(pair[k]).cast<std::string>();
            const std::optional<std::string> reference = cellReference(text);
            if (!reference) throw py::value_error("cella non valida: " + text);
            (k == 0 ? choices.cells.x : choices.cells.y) = *reference;
        }
    }
    const Checked<std::string> text = exportOf(result.calculation(), format, choices);
    if (!text) refuse(text.refusal);
    return *text;
}

// calvero.Refused: an exception with the refusal's code beside its text.
const char* const RefusedClass = R"(
class Refused(Exception):
    """Il calcolo è stato rifiutato. str(e) e e.message dicono perché, in italiano;
    e.code lo dice con un identificatore breve (vedi calvero.REFUSAL_CODES),
    per esempio "too_few_points", "too_few_points_for_degree", "not_positive",
    "invalid_operation", "overflow", "dependent_conditions", "no_export"."""

    def __init__(self, message, code="message"):
        super().__init__(message)
        self.message = message
        self.code = code
)";

const char* const FitDoc = R"(fit(x, y, kind="polynomial", degree=3, z=None, t_initial=None, t_final=None,
    through=None, fix=None, weights=None, minimax=False, monotone=None, curvature=None,
    least_squares_in_y=False, equation=None, start=None) -> Result

Adatta ai punti (x, y), o (x, y, z) per la superficie, l'equazione del tipo
scelto, come calvero1-batch. x, y, z: sequenze (liste, tuple, array numpy) di
numeri reali finiti, della stessa lunghezza; fino a 100 000 punti.

kind, per nome o per numero (come calvero1-batch --kind):
  1 "scatter"          PUNTEGGIATA: i soli punti, nessun coefficiente
  2 "power"            POTENZA y = A x^B (retta dei logaritmi; x e y > 0)
  3 "polynomial"       POLINOMIO y = c1 + c2 x + ... di grado 1..8
  4 "exponential"      ESPONENZIALE y = A e^(B x) (y > 0)
  5 "rational"         POLINOMIO FRATTO y = 1 / (c1 + c2 x + ...) di grado 1..8
  6 "temperature-time" CURVA temperatura-tempo T = Tf - e^(-M t) (Tf - Ti),
                       con t_initial (Ti) e t_final (Tf)
  7 "surface"          polinomio Z=F(x,y) di grado 2..4, con z
  8 "saturation"       curva saturazione log10 p = A + B / T
degree: un intero da 1 a 9; i polinomi ne adattano al più 8, la superficie
da 2 a 4 (un grado fuori è portato al più vicino); gli altri tipi lo ignorano.

Un'equazione scritta (come equazione.htm e calvero1-batch --equation), al
posto del tipo: equation="y = b1*x^b2" (o "z = ..." di x e y, con z),
start={"b1": 2, "b2": 1.5} i valori iniziali (senza, li cerca il
programma); i coefficienti sono i parametri, kind vale 0 e kind_name
"equation"; export, scaled e duty la rifiutano.

Vincoli (POLINOMIO, POLINOMIO FRATTO, Z=F(x,y), come vincoli.htm):
  through=[(x, y), ...]     la curva passa per i punti ((x, y, z) per la superficie)
  fix={termine: valore}     il termine (1 la costante) tenuto al valore
  weights="relative"        errori pesati con 1/y^2; o un peso per punto
  minimax=True              il più piccolo errore percentuale massimo
  monotone="increasing" o "decreasing"  una curva che non torna indietro
  curvature="concave" o "convex"        una curva che non si piega all'indietro
                            (concava: la pendenza non sale mai, come una curva
                            di pompa o ventilatore che scende sempre più in fretta)
  least_squares_in_y=True   POTENZA, ESPONENZIALE, temperatura-tempo e saturazione
                            ai minimi quadrati dei valori di y stessi (non con
                            minimax, monotone o curvature)

Eccezioni:
  calvero.Refused  il calcolo è rifiutato (troppo pochi punti per il grado,
                   un logaritmo di 0, vincoli incompatibili...): .code dice
                   quale rifiuto, .message perché, in italiano
  ValueError       argomenti che nessun calcolo prende: tipo o grado fuori
                   campo, sequenze di lunghezze diverse, un valore non finito
  TypeError        un argomento del tipo sbagliato: testi, numeri complessi o
                   None al posto dei numeri, un grado non intero)";

const char* const CompareDoc = R"(compare(x, y, z=None, t_initial=None, t_final=None, kind=None, degree=3, tolerance=1.0) -> list[dict]

Il confronto delle equazioni che si applicano ai punti, una riga (dict con le
chiavi di calvero1-batch --json, "comparison") per equazione, nell'ordine
consigliato; tolerance è l'errore percentuale massimo accettato. Con z, il
confronto dei gradi della superficie. Eccezioni come calvero.fit.)";

const char* const ExportDoc = R"(export(result, format, name=None, rated=None, units="C", cells=None) -> str

L'equazione adattata nel formato di un altro programma, come la scrivono
calvero1-batch e la finestra "esporta": format "energyplus" (oggetto
Curve:... di EnergyPlus; rated=x, o (x, y) per la superficie, la normalizza a 1
nel punto nominale), "ahri540" (i dieci coefficienti AHRI 540 / EN 12900 dal
polinomio Z=F(x,y) di grado 3; units "C" o "F", le temperature dei punti),
"formula" (la formula del foglio di calcolo; cells=("A2", "B2")),
"c-function" o "python-function". name: il nome della curva o della funzione.
calvero.Refused (code "no_export", ...) quando il formato non ha una forma per
questa equazione; ValueError per un formato sconosciuto o un valore non valido.)";

} // namespace

PYBIND11_MODULE(calvero, m)
{
    m.doc() = "CALVERO1: equazioni dai punti per il riscaldamento, la ventilazione e la refrigerazione.\n\n"
              "calvero.fit adatta un'equazione ai punti (otto tipi: scatter, power, polynomial, exponential,\n"
              "rational, temperature-time, surface, saturation), calvero.compare confronta le equazioni,\n"
              "calvero.export scrive l'equazione per un altro programma, calvero.read_dataset legge un file\n"
              "di dati. Un calcolo rifiutato solleva calvero.Refused (con .code e .message).";
    m.attr("__version__") = CALVERO_VERSION;
    py::exec(RefusedClass, m.attr("__dict__"));
    py::list codes;
    for (int code = 0; code < static_cast<int>(RefusalCode::Count); ++code)
        codes.append(refusalIdentifier(static_cast<RefusalCode>(code)));
    m.attr("REFUSAL_CODES") = py::tuple(codes);

    py::class_<Result>(m, "Result", "Un'equazione adattata ai punti (calvero.fit).")
        .def_property_readonly("coefficients", &Result::coefficients, "i coefficienti (array numpy), nell'ordine del rapporto")
        .def_property_readonly("coefficient_names", &Result::coefficientNames, "i nomi dei coefficienti, come il rapporto")
        .def_property_readonly("statistics", &Result::statistics, "le statistiche (dict), coi nomi del JSON di calvero1-batch")
        .def_property_readonly("shape_checks", &Result::shapeChecks, "i controlli della forma della curva (dict)")
        .def_property_readonly("report", &Result::report, "il rapporto in italiano")
        .def_property_readonly("kind", &Result::kind, "il tipo, come numero da 1 a 8; 0 per un'equazione scritta")
        .def_property_readonly("kind_name",
                               [](const Result& r) {
                                   return r.equation() ? std::string("equation") : std::string(kindScriptName(r.kind()));
                               },
                               "il tipo, per nome (\"polynomial\", ...; \"equation\" per un'equazione scritta)")
        .def_property_readonly("degree", [](const Result& r) { return r.equation() ? 0 : r.calculation().degree; },
                               "il grado adattato (0 per un'equazione scritta)")
        .def_property_readonly("n", &Result::pointCount, "il numero dei punti")
        .def(
            "evaluate",
            [](const Result& r, const py::object& x, const py::object& y) {
                realNumbers(x, "x deve essere un numero reale o un array di numeri reali");
                if (!y.is_none()) realNumbers(y, "y deve essere un numero reale, un array di numeri reali o None");
                auto at = py::vectorize([&r](double u, double v) { return r.valueAt(u, v); });
                return at(x, y.is_none() ? py::object(py::float_(0.0)) : y);
            },
            py::arg("x"), py::arg("y") = py::none(),
            "evaluate(x, y=None): la curva in x (la superficie in x, y): un numero o un array della stessa forma; "
            "nan dove non ha valore. TypeError per testi, numeri complessi o None.")
        .def("predict", &predict, py::arg("x"), py::arg("y") = py::none(), py::arg("interval") = "confidence",
             py::arg("level") = 0.95, py::arg("weight") = 1.0,
             "predict(x, y=None, interval=\"confidence\", level=0.95, weight=1.0) -> (valore, basso, alto)\n\n"
             "Il valore della curva in x (della superficie in x, y) con il suo intervallo di confidenza (della "
             "curva) o di previsione (di un nuovo punto di peso weight, sui pesi riportati a media 1), al livello "
             "level; nan, nan dove non c'è intervallo (minimo errore massimo, n = p, il polo di 1/y). "
             "calvero.Refused dove la curva non ha valore; ValueError per un livello fuori da (0, 1).")
        .def("solve_y", &solveY, py::arg("y"), py::arg("level") = 0.95,
             "solve_y(y, level=0.95) -> list[dict]\n\nOgni x dove la curva vale y, nel campo dei punti e fino al 10 % "
             "oltre: dict con x, y, x_interval (dove la banda di confidenza contiene y; nan oltre il campo), "
             "extrapolated, tangent. calvero.Refused (code \"no_x_for_y\") se non ce n'è.")
        .def("operating_points", &operatingPointsOf, py::arg("k") = py::none(), py::arg("p0") = 0.0,
             py::arg("n") = 2.0, py::arg("through") = py::none(), py::arg("level") = 0.95,
             "operating_points(k=None, p0=0.0, n=2.0, through=None, level=0.95) -> list[dict]\n\nI punti di "
             "funzionamento con la curva dell'impianto dp = p0 + k Q^n (k dato, o dal punto di progetto "
             "through=(Q, dp)): dict con x, y, x_interval, y_interval, extrapolated, tangent. calvero.Refused "
             "(code \"no_operating_point\") se non si incontrano nel campo.")
        .def("scaled", &scaled, py::arg("ratio"), py::arg("quantity") = "head",
             "scaled(ratio, quantity=\"head\") -> Result\n\nLa curva a un'altra velocità (o diametro della "
             "girante) con le leggi di affinità: portata x ratio, prevalenza x ratio^2 (\"head\"), potenza x "
             "ratio^3 (\"power\"), rendimento invariato (\"efficiency\"). Stesso tipo, nuovi coefficienti; "
             "calvero.Refused (code \"affinity_not_kept\") per i tipi che le leggi non conservano.")
        .def("duty", &dutyOf, py::arg("q"), py::arg("h"), py::arg("quantity") = "head",
             "duty(q, h, quantity=\"head\") -> list[float]\n\nI rapporti di velocità (o di diametro) da 0,3 a 1,5 "
             "per cui la curva scalata passa per il punto richiesto (q, h). calvero.Refused (code "
             "\"no_duty_ratio\") se nessuno.")
        .def("__repr__", &Result::repr);

    py::class_<DataSet>(m, "DataSet", "Un file di dati: punti, tipo, grado, temperature e vincoli, da dare a calvero.fit(**ds).")
        .def("keys", [](const DataSet& d) { return d.fields.attr("keys")(); })
        .def("__getitem__", [](const DataSet& d, const std::string& key) {
            if (!d.fields.contains(key)) throw py::key_error(key);
            return py::object(d.fields[py::str(key)]);
        })
        .def("__iter__", [](const DataSet& d) { return d.fields.attr("__iter__")(); })
        .def("__len__", [](const DataSet& d) { return py::len(d.fields); })
        .def("__getattr__", [](const DataSet& d, const std::string& key) {
            if (!d.fields.contains(key)) throw py::attribute_error(key);
            return py::object(d.fields[py::str(key)]);
        })
        .def("__repr__", [](const DataSet& d) { return "calvero.DataSet(" + py::repr(d.fields).cast<std::string>() + ")"; });

    m.def("fit", &fit, py::arg("x"), py::arg("y"), py::arg("kind") = "polynomial", py::arg("degree") = 3,
          py::arg("z") = py::none(), py::arg("t_initial") = py::none(), py::arg("t_final") = py::none(),
          py::arg("through") = py::none(), py::arg("fix") = py::none(), py::arg("weights") = py::none(),
          py::arg("minimax") = false, py::arg("monotone") = py::none(), py::arg("curvature") = py::none(),
          py::arg("least_squares_in_y") = false, py::arg("equation") = py::none(), py::arg("start") = py::none(),
          FitDoc);
    m.def("compare", &compare, py::arg("x"), py::arg("y"), py::arg("z") = py::none(),
          py::arg("t_initial") = py::none(), py::arg("t_final") = py::none(), py::arg("kind") = py::none(),
          py::arg("degree") = 3, py::arg("tolerance") = DefaultTolerancePercent, CompareDoc);
    m.def("export", &exportOfResult, py::arg("result"), py::arg("format"), py::arg("name") = py::none(),
          py::arg("rated") = py::none(), py::arg("units") = "C", py::arg("cells") = py::none(), ExportDoc);
    m.def("read_dataset", &readDataset, py::arg("path"),
          "read_dataset(path) -> DataSet\\n\\nLegge un file di dati (e i vincoli salvati accanto, NOME.vincoli.json, o "
          "l'equazione salvata accanto, NOME.equazione.json): "
          "calvero.fit(**calvero.read_dataset(path)) lo calcola come calvero1-batch. FileNotFoundError se il file "
          "non c'è, ValueError se non è un file di dati, TypeError se path non è un percorso.");
}
