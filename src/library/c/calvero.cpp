// The C door of the engine (calvero.h): requests become FitRequests, answers
// stay in the opaque result, and nothing thrown in C++ crosses into C (an
// allocation that fails gives a NULL result, or NAN and "").
#include "library/c/calvero.h"

#include "fit/curvequestions.h"
#include "formats/fitjson.h"
#include "formats/equationjson.h"
#include "fit/equationstatistics.h"
#include "library/equationrequest.h"
#include "library/fitrequest.h"

#include "exports/formulaexport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <span>
#include <string>
#include <vector>

struct calvero_result {
    calvero::FitAnswer answer;
    std::optional<calvero::EquationFit> equation; // a typed equation's fit (answer.calculation is then none)
    std::string message; // the refusal's Italian sentence; empty when fitted
    // Written when first asked for, once, whoever asks.
    std::once_flag reportOnce;
    std::string report;
    std::once_flag statisticsOnce;
    calvero::Statistics statistics;
    nlohmann::json statisticsJson;
    std::once_flag predictorOnce;
    std::optional<calvero::CurvePredictor> predictor;
};

struct calvero_options {
    calvero::FitOptions options;
};

namespace {

constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();

bool fitted(const calvero_result* result)
{
    return result != nullptr && result->answer.status == calvero::FitStatus::Fitted;
}

std::span<const double> values(const double* first, std::size_t n)
{
    return first == nullptr ? std::span<const double>{} : std::span<const double>(first, n);
}

std::optional<double> temperature(double t)
{
    if (std::isnan(t)) return std::nullopt;
    return t;
}

// The request's arrays must hold n values where they are read.
const char* missingArray(const calvero_request& r)
{
    if (r.n == 0) return nullptr;
    if (r.x == nullptr) return "mancano i valori di x";
    if (r.y == nullptr) return "mancano i valori di y";
    if (r.kind == 7 && r.z == nullptr) return "per il polinomio Z=F(x,y) servono i valori di z";
    return nullptr;
}

calvero::FitAnswer answerOf(const calvero_request& r, const calvero::FitOptions& options)
{
    if (const char* missing = missingArray(r)) {
        calvero::FitAnswer answer;
        answer.refusal = calvero::Refusal{calvero::RefusalCode::BadArguments, {missing}};
        return answer;
    }
    calvero::FitRequest request;
    request.kind = r.kind;
    request.degree = r.degree;
    request.x = values(r.x, r.n);
    request.y = values(r.y, r.n);
    if (r.kind == 7) request.z = values(r.z, r.n);
    request.initialTemperature = temperature(r.t_initial);
    request.finalTemperature = temperature(r.t_final);
    request.options = options;
    return calvero::fitRequest(request);
}

// An options object changed by set (false: a value it cannot take, and
// nothing changes); 0, or 2 for that or a NULL object.
template <typename Change>
int changed(calvero_options* options, Change set)
{
    constexpr int Bad = static_cast<int>(calvero::FitStatus::BadArguments);
    if (options == nullptr) return Bad;
    try {
        calvero::FitOptions copy = options->options;
        if (!set(copy)) return Bad;
        options->options = std::move(copy);
        return 0;
    } catch (const std::exception&) {
        return Bad;
    }
}

// The C code of a refusal: the engine's list from 1, 0 being "fitted".
static_assert(static_cast<int>(calvero::RefusalCode::Count) == CALVERO_REFUSAL_LEAST_SQUARES_IN_Y_NOT_WITH_OPTIONS,
              "calvero_refusal_code follows calvero::RefusalCode");
calvero_refusal_code codeOf(const calvero::Refusal& refusal)
{
    return static_cast<calvero_refusal_code>(static_cast<int>(refusal.code) + 1);
}

// The fit's statistics, worked out when first asked for; nothing without a
// fit or when they could not be.
const calvero_result* withStatistics(const calvero_result* result)
{
    if (!fitted(result)) return nullptr;
    auto* r = const_cast<calvero_result*>(result);
    try {
        std::call_once(r->statisticsOnce, [r] {
            if (r->equation) {
                r->statistics = calvero::equationStatistics(*r->equation);
                r->statisticsJson = calvero::equationStatisticsJson(*r->equation, r->statistics);
                return;
            }
            r->statistics = calvero::fitStatistics(*r->answer.calculation);
            r->statisticsJson = calvero::fitStatisticsJson(*r->answer.calculation, r->statistics);
        });
    } catch (const std::exception&) {
        return nullptr;
    }
    return r;
}

// The statistics of coefficient k, when the fit has them.
const calvero::CoefficientStatistics* coefficientStatistics(const calvero_result* result, size_t k)
{
    const calvero_result* r = withStatistics(result);
    if (r == nullptr || k >= r->statistics.coefficients.size()) return nullptr;
    return &r->statistics.coefficients[k];
}

// A copy the caller frees with calvero_text_free.
char* copyOf(const std::string& text)
{
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// The settings as the exports take them, or the reason they cannot be.
calvero::Checked<calvero::ExportChoices> exportChoices(const calvero_export_settings* s)
{
    calvero::ExportChoices choices;
    if (s == nullptr) return calvero::succeeded(choices);
    if (s->name != nullptr && *s->name != '\0') choices.name = s->name;
    if (s->rated != 0) {
        const bool both = s->rated == 2;
        if (!std::isfinite(s->rated_x) || (both && !std::isfinite(s->rated_y)) || (s->rated != 1 && !both))
            return calvero::failed<calvero::ExportChoices>(calvero::Refusal{
                calvero::RefusalCode::InvalidRatedPoint, {"il punto nominale non è fatto di numeri finiti"}});
        choices.rated = calvero::RatedPoint{s->rated_x, both ? std::optional<double>(s->rated_y) : std::nullopt};
    }
    choices.units = s->fahrenheit ? calvero::TemperatureUnit::Fahrenheit : calvero::TemperatureUnit::Celsius;
    for (const auto& [cell, text] : {std::pair{&choices.cells.x, s->cell_x}, std::pair{&choices.cells.y, s->cell_y}}) {
        if (text == nullptr) continue;
        const std::optional<std::string> reference = calvero::cellReference(text);
        if (!reference)
            return calvero::failed<calvero::ExportChoices>(
                calvero::Refusal{calvero::RefusalCode::InvalidCell, {std::string("cella non valida: ") + text}});
        *cell = *reference;
    }
    return calvero::succeeded(choices);
}

// The affinity laws keep the kinds' forms, not a typed equation's.
calvero::Refusal equationNotScaled() { return {calvero::RefusalCode::AffinityNotKept, {"EQUAZIONE LIBERA"}}; }

// The fit's curve (a kind's or a typed equation's) ready for questions, factorized when first asked.
const calvero::CurvePredictor* predictorOf(const calvero_result* result)
{
    if (!fitted(result)) return nullptr;
    auto* r = const_cast<calvero_result*>(result);
    try {
        std::call_once(r->predictorOnce, [r] {
            if (r->equation) r->predictor.emplace(*r->equation);
            else r->predictor.emplace(*r->answer.calculation);
        });
    } catch (const std::exception&) {
        return nullptr;
    }
    return r->predictor ? &*r->predictor : nullptr;
}

constexpr int Answered = 0;
constexpr int Refused = static_cast<int>(calvero::FitStatus::Refused);
constexpr int Bad = static_cast<int>(calvero::FitStatus::BadArguments);

// What a question's refusal returns: 2 for a value it cannot take, else 1.
int refusedWith(const calvero::Refusal& why, calvero_refusal_code* refusal)
{
    if (refusal != nullptr) *refusal = codeOf(why);
    return why.code == calvero::RefusalCode::InvalidQuestion ? Bad : Refused;
}

// The places found, as many as capacity holds.
int placesOut(const calvero::Checked<std::vector<calvero::CurvePlace>>& found, calvero_place* places, size_t capacity,
              size_t* count, calvero_refusal_code* refusal)
{
    if (!found) return refusedWith(found.refusal, refusal);
    *count = found->size();
    for (std::size_t i = 0; i < found->size() && i < capacity; ++i) {
        const calvero::CurvePlace& p = (*found)[i];
        places[i] = {p.x,
                     p.y,
                     p.xLow.value_or(NotANumber),
                     p.xHigh.value_or(NotANumber),
                     p.yLow.value_or(NotANumber),
                     p.yHigh.value_or(NotANumber),
                     p.extrapolated ? 1 : 0,
                     p.tangent ? 1 : 0};
    }
    if (refusal != nullptr) *refusal = CALVERO_REFUSAL_NONE;
    return Answered;
}

// The start every question shares: the refusal set to bad arguments until
// answered, a missing fit refused.
int questionStart(const calvero_result* result, calvero_refusal_code* refusal)
{
    if (refusal != nullptr) *refusal = CALVERO_REFUSAL_BAD_ARGUMENTS;
    if (result == nullptr) return Bad;
    if (!fitted(result)) {
        if (refusal != nullptr) *refusal = codeOf(result->answer.refusal);
        return Refused;
    }
    return Answered;
}

std::optional<calvero::AffinityQuantity> quantityOf(calvero_quantity q)
{
    switch (q) {
    case CALVERO_HEAD: return calvero::AffinityQuantity::Head;
    case CALVERO_POWER: return calvero::AffinityQuantity::Power;
    case CALVERO_EFFICIENCY: return calvero::AffinityQuantity::Efficiency;
    }
    return std::nullopt;
}

// A question answered by places on the curve (the x for a y, the operating
// points): the arguments checked, the answer copied out.
template <typename Ask>
int placesQuestion(const calvero_result* result, double level, calvero_place* places, size_t capacity, size_t* count,
                   calvero_refusal_code* refusal, const Ask& ask)
{
    if (count == nullptr || (places == nullptr && capacity > 0)) return questionStart(nullptr, refusal);
    *count = 0;
    if (const int start = questionStart(result, refusal); start != Answered) return start;
    if (!(level > 0.0 && level < 1.0)) return refusedWith({calvero::RefusalCode::InvalidQuestion, {"level"}}, refusal);
    try {
        const calvero::CurvePredictor* predictor = predictorOf(result);
        if (predictor == nullptr) return Bad;
        return placesOut(ask(*predictor), places, capacity, count, refusal);
    } catch (const std::exception&) {
        return Bad;
    }
}

} // namespace

extern "C" {

int calvero_predict(const calvero_result* result, double x, double y, double level, double weight,
                    calvero_prediction* prediction, calvero_refusal_code* refusal)
{
    if (prediction == nullptr) return questionStart(nullptr, refusal);
    if (const int start = questionStart(result, refusal); start != Answered) return start;
    try {
        const calvero::CurvePredictor* predictor = predictorOf(result);
        if (predictor == nullptr) return Bad;
        const calvero::Checked<calvero::Prediction> p = predictor->at(x, y, {level, weight});
        if (!p) return refusedWith(p.refusal, refusal);
        *prediction = {p->value,
                       p->confidence ? p->confidence->low : NotANumber,
                       p->confidence ? p->confidence->high : NotANumber,
                       p->prediction ? p->prediction->low : NotANumber,
                       p->prediction ? p->prediction->high : NotANumber,
                       p->extrapolated ? 1 : 0,
                       p->approximate ? 1 : 0};
        if (refusal != nullptr) *refusal = CALVERO_REFUSAL_NONE;
        return Answered;
    } catch (const std::exception&) {
        return Bad;
    }
}

int calvero_solve_y(const calvero_result* result, double y, double level, calvero_place* places, size_t capacity,
                    size_t* count, calvero_refusal_code* refusal)
{
    return placesQuestion(result, level, places, capacity, count, refusal,
                          [&](const calvero::CurvePredictor& p) { return calvero::solveForY(p, y, level); });
}

int calvero_operating_points(const calvero_result* result, double k, double p0, double n, double level,
                             calvero_place* places, size_t capacity, size_t* count, calvero_refusal_code* refusal)
{
    return placesQuestion(result, level, places, capacity, count, refusal, [&](const calvero::CurvePredictor& p) {
        return calvero::operatingPoints(p, {k, p0, n}, level);
    });
}

int calvero_system_through(double q, double dp, double p0, double n, double* k)
{
    if (k == nullptr) return Bad;
    const std::optional<calvero::SystemCurve> system = calvero::systemThrough(q, dp, p0, n);
    *k = system ? system->k : NotANumber;
    return system ? Answered : Bad;
}

int calvero_scaled(const calvero_result* result, double ratio, calvero_quantity quantity, calvero_result** scaled)
{
    if (scaled != nullptr) *scaled = nullptr;
    if (result == nullptr || scaled == nullptr) return Bad;
    try {
        auto* made = new calvero_result;
        const std::optional<calvero::AffinityQuantity> q = quantityOf(quantity);
        if (!q) {
            made->answer.refusal = calvero::Refusal{calvero::RefusalCode::BadArguments, {"grandezza non valida"}};
        } else if (!fitted(result)) {
            made->answer.status = calvero::FitStatus::Refused;
            made->answer.refusal = result->answer.refusal;
        } else if (result->equation) {
            made->answer.status = calvero::FitStatus::Refused;
            made->answer.refusal = equationNotScaled();
        } else {
            made->answer = calvero::scaledAnswer(*result->answer.calculation, ratio, *q);
        }
        made->message = calvero::answerMessage(made->answer);
        *scaled = made;
        return static_cast<int>(made->answer.status);
    } catch (const std::exception&) {
        delete *scaled;
        *scaled = nullptr;
        return Bad;
    }
}

int calvero_duty_ratios(const calvero_result* result, double q, double h, calvero_quantity quantity, double* ratios,
                        size_t capacity, size_t* count, calvero_refusal_code* refusal)
{
    if (count == nullptr || (ratios == nullptr && capacity > 0)) return questionStart(nullptr, refusal);
    *count = 0;
    if (const int start = questionStart(result, refusal); start != Answered) return start;
    const std::optional<calvero::AffinityQuantity> kind = quantityOf(quantity);
    if (!kind) return Bad;
    if (result->equation) return refusedWith(equationNotScaled(), refusal);
    try {
        const auto found = calvero::dutyRatios(*result->answer.calculation, q, h, *kind);
        if (!found) return refusedWith(found.refusal, refusal);
        *count = found->size();
        for (std::size_t i = 0; i < found->size() && i < capacity; ++i) ratios[i] = (*found)[i].ratio;
        if (refusal != nullptr) *refusal = CALVERO_REFUSAL_NONE;
        return Answered;
    } catch (const std::exception&) {
        return Bad;
    }
}

calvero_options* calvero_options_new(void) { return new (std::nothrow) calvero_options; }

void calvero_options_free(calvero_options* options) { delete options; }

int calvero_options_through(calvero_options* options, double x, double y, double z)
{
    return changed(options, [&](calvero::FitOptions& o) {
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return false;
        o.throughPoints.push_back({x, y, z});
        return true;
    });
}

int calvero_options_fix(calvero_options* options, int term, double value)
{
    return changed(options, [&](calvero::FitOptions& o) {
        if (term < 1 || term > 99 || !std::isfinite(value)) return false;
        o.fixedTerms.push_back({term, value});
        return true;
    });
}

int calvero_options_relative_weights(calvero_options* options)
{
    return changed(options, [](calvero::FitOptions& o) {
        o.weighting = calvero::Weighting::Relative;
        o.pointWeights.clear();
        return true;
    });
}

int calvero_options_point_weights(calvero_options* options, const double* weights, size_t n)
{
    return changed(options, [&](calvero::FitOptions& o) {
        if (weights == nullptr && n > 0) return false;
        std::vector<double> taken(weights, weights + n);
        if (!std::all_of(taken.begin(), taken.end(), [](double w) { return std::isfinite(w); })) return false;
        o.weighting = calvero::Weighting::Column;
        o.pointWeights = std::move(taken);
        return true;
    });
}

int calvero_options_minimax(calvero_options* options, int on)
{
    return changed(options, [&](calvero::FitOptions& o) {
        o.minimax = on != 0;
        return true;
    });
}

int calvero_options_monotone(calvero_options* options, int direction)
{
    return changed(options, [&](calvero::FitOptions& o) {
        if (direction < -1 || direction > 1) return false;
        o.monotone = direction < 0   ? calvero::Monotone::Decreasing
                     : direction > 0 ? calvero::Monotone::Increasing
                                     : calvero::Monotone::None;
        return true;
    });
}

int calvero_options_curvature(calvero_options* options, int sign)
{
    return changed(options, [&](calvero::FitOptions& o) {
        if (sign < -1 || sign > 1) return false;
        o.curvature = sign < 0   ? calvero::Curvature::Concave
                      : sign > 0 ? calvero::Curvature::Convex
                                 : calvero::Curvature::None;
        return true;
    });
}

int calvero_fit(const calvero_request* request, calvero_result** result)
{
    return calvero_fit_steered(request, nullptr, result);
}

int calvero_fit_steered(const calvero_request* request, const calvero_options* options, calvero_result** result)
{
    if (result != nullptr) *result = nullptr;
    if (request == nullptr || result == nullptr) return static_cast<int>(calvero::FitStatus::BadArguments);
    try {
        auto* made = new calvero_result;
        made->answer = answerOf(*request, options ? options->options : calvero::FitOptions{});
        made->message = calvero::answerMessage(made->answer);
        *result = made;
        return static_cast<int>(made->answer.status);
    } catch (const std::exception&) {
        delete *result;
        *result = nullptr;
        return static_cast<int>(calvero::FitStatus::BadArguments);
    }
}

int calvero_fit_equation(const calvero_request* request, const char* equation_text, const char* start_text,
                         calvero_result** result)
{
    if (result != nullptr) *result = nullptr;
    if (request == nullptr || result == nullptr || equation_text == nullptr)
        return static_cast<int>(calvero::FitStatus::BadArguments);
    try {
        auto* made = new calvero_result;
        const std::size_t n = request->n;
        calvero::EquationRequest asked;
        asked.equation = equation_text;
        asked.start = start_text == nullptr ? "" : start_text;
        asked.x = values(request->x, request->x ? n : 0);
        asked.y = values(request->y, request->y ? n : 0);
        asked.z = values(request->z, request->z ? n : 0);
        made->answer = calvero::fitEquationRequest(asked, made->equation);
        made->message = calvero::answerMessage(made->answer);
        *result = made;
        return static_cast<int>(made->answer.status);
    } catch (const std::exception&) {
        delete *result;
        *result = nullptr;
        return static_cast<int>(calvero::FitStatus::BadArguments);
    }
}

size_t calvero_coefficient_count(const calvero_result* result)
{
    return fitted(result) ? result->answer.coefficients.size() : 0;
}

double calvero_coefficient(const calvero_result* result, size_t k)
{
    if (k >= calvero_coefficient_count(result)) return NotANumber;
    return result->answer.coefficients[k].second;
}

const char* calvero_coefficient_name(const calvero_result* result, size_t k)
{
    if (k >= calvero_coefficient_count(result)) return "";
    return result->answer.coefficients[k].first.c_str();
}

double calvero_evaluate(const calvero_result* result, double x, double y)
{
    if (!fitted(result)) return NotANumber;
    if (result->equation) return calvero::equationValue(*result->equation, x, y).value_or(NotANumber);
    return calvero::valueAt(*result->answer.calculation, x, y).value_or(NotANumber);
}

const char* calvero_message(const calvero_result* result)
{
    return result == nullptr ? "" : result->message.c_str();
}

calvero_refusal_code calvero_refusal(const calvero_result* result)
{
    if (result == nullptr) return CALVERO_REFUSAL_BAD_ARGUMENTS;
    if (fitted(result)) return CALVERO_REFUSAL_NONE;
    return codeOf(result->answer.refusal);
}

const char* calvero_refusal_name(calvero_refusal_code code)
{
    if (code == CALVERO_REFUSAL_NONE) return "";
    return calvero::refusalIdentifier(static_cast<calvero::RefusalCode>(static_cast<int>(code) - 1));
}

double calvero_coefficient_standard_error(const calvero_result* result, size_t k)
{
    const calvero::CoefficientStatistics* c = coefficientStatistics(result, k);
    return c != nullptr && c->standardError ? *c->standardError : NotANumber;
}

int calvero_coefficient_interval(const calvero_result* result, size_t k, double* lower, double* upper)
{
    const calvero::CoefficientStatistics* c = coefficientStatistics(result, k);
    const bool known = c != nullptr && c->lower && c->upper;
    if (lower != nullptr) *lower = known ? *c->lower : NotANumber;
    if (upper != nullptr) *upper = known ? *c->upper : NotANumber;
    return known ? 0 : 1;
}

int calvero_export(const calvero_result* result, const char* format, const calvero_export_settings* settings,
                   char** text, calvero_refusal_code* refusal)
{
    calvero_refusal_code ignored;
    calvero_refusal_code& code = refusal != nullptr ? *refusal : ignored;
    code = CALVERO_REFUSAL_BAD_ARGUMENTS;
    if (text == nullptr) return Bad;
    *text = nullptr;
    if (result == nullptr || format == nullptr) return Bad;
    try {
        const auto say = [&](const calvero::Refusal& why, int status) {
            code = codeOf(why);
            *text = copyOf(status == Bad ? calvero::refusalText(why) : calvero::libraryMessage(why));
            return *text == nullptr ? Bad : status;
        };
        if (!calvero::exportFormatNamed(format)) return say(calvero::unknownExportFormat(format), Bad);
        if (!fitted(result)) return say(result->answer.refusal, Refused);
        if (result->equation)
            return say(calvero::Refusal{calvero::RefusalCode::Message,
                                        {"le esportazioni valgono per gli otto tipi, non per un'equazione libera"}},
                       Refused);
        const calvero::Checked<calvero::ExportChoices> choices = exportChoices(settings);
        if (!choices) return say(choices.refusal, Refused);
        const calvero::Checked<std::string> written = calvero::exportOf(*result->answer.calculation, format, *choices);
        if (!written) return say(written.refusal, Refused);
        *text = copyOf(*written);
        if (*text == nullptr) return Bad;
        code = CALVERO_REFUSAL_NONE;
        return 0;
    } catch (const std::exception&) {
        std::free(*text);
        *text = nullptr;
        return Bad;
    }
}

void calvero_text_free(char* text) { std::free(text); }

double calvero_statistic(const calvero_result* result, const char* name)
{
    const calvero_result* r = withStatistics(result);
    if (r == nullptr || name == nullptr) return NotANumber;
    const auto found = r->statisticsJson.find(name);
    if (found == r->statisticsJson.end()) return NotANumber;
    if (found->is_boolean()) return found->get<bool>() ? 1.0 : 0.0;
    if (found->is_number()) return found->get<double>();
    return NotANumber;
}

const char* calvero_report(const calvero_result* result)
{
    if (!fitted(result)) return "";
    auto* r = const_cast<calvero_result*>(result);
    try {
        std::call_once(r->reportOnce, [r] {
            r->report = r->equation ? calvero::equationReportText(*r->equation) : calvero::reportText(*r->answer.calculation);
        });
    } catch (const std::exception&) {
        return "";
    }
    return r->report.c_str();
}

void calvero_result_free(calvero_result* result) { delete result; }

const char* calvero_version(void) { return CALVERO_VERSION; }

} // extern "C"
