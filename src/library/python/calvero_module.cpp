// The Python module calvero: the engine for scripts and notebooks. Lists or
// numpy arrays in; a result with numpy coefficients, the statistics and
// shape checks by the names calvero1-batch --json gives them, the Italian
// report and a vectorized evaluation out. A refusal raises calvero.Refused
// with the engine's Italian text; arguments no fit can take raise ValueError
// or TypeError. Built with pybind11 for Debian's own Python.
#include "formats/datasetformat.h"
#include "formats/fitjson.h"
#include "formats/fitoptionsfile.h"
#include "fit/shapecheck.h"
#include "library/equationtext.h"
#include "library/fitrequest.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <filesystem>
#include <limits>
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

// A list, tuple or array of numbers as one row of doubles.
Numbers numbers(const py::handle& values, const char* name)
{
    Numbers array;
    try {
        array = Numbers::ensure(values);
    } catch (const py::error_already_set&) {
        array = Numbers();
    }
    if (!array) throw py::type_error(std::string(name) + " deve essere una sequenza di numeri");
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


// A Python or numpy number as a double, or a TypeError with the refusal.
double number(const py::handle& value, const std::string& refusal)
{
    try {
        return py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>();
    } catch (const py::error_already_set&) {
        throw py::type_error(refusal);
    }
}

std::optional<double> temperature(const py::object& t, const char* name)
{
    if (t.is_none()) return std::nullopt;
    return number(t, std::string(name) + " deve essere un numero o None");
}

// The fit options as a script gives them: through=[(x, y), ...] ((x, y, z)
// for the surface), fix={term: value}, weights="relative" or one per point,
// minimax=True, monotone="increasing" or "decreasing".
FitOptions optionsOf(const py::object& through, const py::object& fix, const py::object& weights,
                     const py::object& minimax, const py::object& monotone)
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
    if (!monotone.is_none()) {
        const std::string direction = py::isinstance<py::str>(monotone) ? monotone.cast<std::string>() : "";
        if (direction != "increasing" && direction != "decreasing")
            throw py::value_error("monotone vale \"increasing\" o \"decreasing\"");
        o.monotone = direction == "increasing" ? Monotone::Increasing : Monotone::Decreasing;
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

[[noreturn]] void refuse(const std::string& message)
{
    PyErr_SetString(py::module_::import("calvero").attr("Refused").ptr(), message.c_str());
    throw py::error_already_set();
}

// What calvero.fit gives: the answer, and what is made of it when first read.
class Result {
public:
    explicit Result(FitAnswer answer) : answer_(std::move(answer)) {}

    const Calculation& calculation() const { return *answer_.calculation; }

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
    const py::object& statistics()
    {
        if (!statistics_) statistics_ = fromJson(fitStatisticsJson(calculation(), answer_.statistics));
        return *statistics_;
    }
    const py::object& shapeChecks()
    {
        if (!shape_) shape_ = fromJson(shapeJson(calvero::shapeChecks(calculation())));
        return *shape_;
    }
    const std::string& report()
    {
        if (!report_) report_ = reportText(calculation());
        return *report_;
    }
    double valueAt(double x, double y) const
    {
        return calvero::valueAt(calculation(), x, y).value_or(std::numeric_limits<double>::quiet_NaN());
    }
    std::string repr() const
    {
        const Calculation& c = calculation();
        std::string kind = kindLabel(c.kind);
        if (takesDegree(c.kind)) kind += " grado " + std::to_string(c.degree);
        return "<calvero.Result " + kind + ": " + equationText(c) + ">";
    }

private:
    FitAnswer answer_;
    std::optional<py::object> statistics_, shape_;
    std::optional<std::string> report_;
};

Result fit(const py::object& x, const py::object& y, const py::object& kind, const py::object& degree,
           const py::object& z, const py::object& tInitial, const py::object& tFinal, const py::object& through,
           const py::object& fix, const py::object& weights, const py::object& minimax, const py::object& monotone)
{
    Arrays a = requestOf(x, y, kind, degree, z, tInitial, tFinal);
    a.request.options = optionsOf(through, fix, weights, minimax, monotone);
    FitAnswer answer = fitRequest(a.request);
    if (answer.status == FitStatus::BadArguments) throw py::value_error(answerMessage(answer));
    if (answer.status == FitStatus::Refused) refuse(answerMessage(answer));
    return Result(std::move(answer));
}

py::list compare(const py::object& x, const py::object& y, const py::object& z, const py::object& tInitial,
                 const py::object& tFinal, const py::object& kind, const py::object& degree, const py::object& tolerance)
{
    const py::object chosen = kind.is_none() ? py::str(z.is_none() ? "polynomial" : "surface") : kind;
    const Arrays a = requestOf(x, y, chosen, degree, z, tInitial, tFinal);
    const Checked<std::vector<ComparisonRow>> rows =
        compareRequest(a.request, temperature(tolerance, "tolerance").value_or(DefaultTolerancePercent));
    if (!rows) throw py::value_error(rows.failure());
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
    if (o.monotone != Monotone::None)
        fields["monotone"] = o.monotone == Monotone::Increasing ? "increasing" : "decreasing";
}

DataSet readDataset(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        PyErr_SetString(PyExc_FileNotFoundError, (" IL FILE:" + path + " NON ESISTE!").c_str());
        throw py::error_already_set();
    }
    const Checked<DataSetFileContents> contents = readDataSetFile(path);
    if (!contents) throw py::value_error(contents.failure());
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
    data.fields["kind"] = kindNumber(input.kind);
    data.fields["degree"] = input.degree;
    data.fields["t_initial"] = *input.initialTemperature;
    data.fields["t_final"] = *input.finalTemperature;
    // The options saved beside it steer its fit, as they do the programs'.
    const Checked<FitOptions> saved = readDataSetOptions(path);
    if (!saved) throw py::value_error(saved.failure());
    addOptions(data.fields, *saved, input);
    return data;
}

} // namespace

PYBIND11_MODULE(calvero, m)
{
    m.doc() = "CALVERO1: equazioni dai punti per il riscaldamento, la ventilazione e la refrigerazione.";
    m.attr("__version__") = CALVERO_VERSION;
    py::exception<std::runtime_error>(m, "Refused", PyExc_Exception).attr("__doc__") =
        "Il calcolo è stato rifiutato: il testo dice perché.";

    py::class_<Result>(m, "Result", "Un'equazione adattata ai punti.")
        .def_property_readonly("coefficients", &Result::coefficients, "i coefficienti, nell'ordine del rapporto")
        .def_property_readonly("coefficient_names", &Result::coefficientNames)
        .def_property_readonly("statistics", &Result::statistics, "le statistiche, coi nomi del JSON")
        .def_property_readonly("shape_checks", &Result::shapeChecks, "i controlli della forma della curva")
        .def_property_readonly("report", &Result::report, "il rapporto in italiano")
        .def_property_readonly("kind", [](const Result& r) { return kindNumber(r.calculation().kind); })
        .def_property_readonly("kind_name",
                               [](const Result& r) { return std::string(kindScriptName(kindNumber(r.calculation().kind))); })
        .def_property_readonly("degree", [](const Result& r) { return r.calculation().degree; })
        .def_property_readonly("n", [](const Result& r) { return r.calculation().pointCount; })
        .def(
            "evaluate",
            [](const Result& r, const py::object& x, const py::object& y) {
                auto at = py::vectorize([&r](double u, double v) { return r.valueAt(u, v); });
                return at(x, y.is_none() ? py::object(py::float_(0.0)) : y);
            },
            py::arg("x"), py::arg("y") = py::none(),
            "la curva in x (la superficie in x, y): un numero o un array; nan dove non ha valore")
        .def("__repr__", &Result::repr);

    py::class_<DataSet>(m, "DataSet", "Un file di dati: punti, tipo, grado e temperature.")
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
          py::arg("minimax") = false, py::arg("monotone") = py::none(),
          "Adatta l'equazione del tipo ai punti; calvero.Refused se il calcolo è rifiutato. Vincoli: "
          "through=[(x, y), ...], fix={termine: valore}, weights=\"relative\" o un peso per punto, minimax=True, "
          "monotone=\"increasing\" o \"decreasing\".");
    m.def("compare", &compare, py::arg("x"), py::arg("y"), py::arg("z") = py::none(),
          py::arg("t_initial") = py::none(), py::arg("t_final") = py::none(), py::arg("kind") = py::none(),
          py::arg("degree") = 3, py::arg("tolerance") = DefaultTolerancePercent,
          "Il confronto delle equazioni, una riga (dict) per equazione, nell'ordine consigliato.");
    m.def("read_dataset", &readDataset, py::arg("path"),
          "Legge un file di dati: calvero.fit(**calvero.read_dataset(path)) lo calcola come calvero1-batch.");
}
