#include "common/refusal.h"

#include "common/numtext.h"

#include <array>
#include <string_view>

namespace calvero {

namespace {

// The detail at k, or nothing when the refusal carries fewer.
std::string detail(const Refusal& r, std::size_t k) { return k < r.details.size() ? r.details[k] : std::string(); }

const char* const ThreeKinds = "valgono solo per POLINOMIO, POLINOMIO FRATTO e polinomio Z=F(x,y)";

// The option a kind does not take: "through", "weights", "minimax", "monotone" or "curvature".
std::string optionNotForKind(const std::string& option)
{
    if (option == "through") return std::string("i punti di passaggio e i termini fissi ") + ThreeKinds;
    if (option == "weights") return std::string("i pesi ") + ThreeKinds;
    if (option == "minimax") return "il minimo errore massimo vale solo per POLINOMIO e polinomio Z=F(x,y)";
    if (option == "leastSquaresInY")
        return "i minimi quadrati sui valori di y valgono solo per POTENZA, ESPONENZIALE, CURVA temperatura-tempo e "
               "curva saturazione";
    if (option == "curvature") return "la curva concava o convessa vale solo per POLINOMIO";
    return "la curva monotona vale solo per POLINOMIO";
}

// A point whose value is 0: details why ("relative", "rational" or
// "minimax"), the point's number and the value's name (y, or z).
std::string zeroValue(const Refusal& r)
{
    const std::string why = detail(r, 0), point = detail(r, 1), value = detail(r, 2);
    if (why == "relative") return "pesi relativi: il punto " + point + " ha " + value + " = 0 e nessun errore relativo";
    if (why == "rational") return "il punto " + point + " ha y = 0: il polinomio fratto non vi si calcola";
    return "minimo errore massimo: il punto " + point + " ha " + value + " = 0, che non ha errore percentuale";
}

// A question with a value it cannot take: which value.
std::string invalidQuestion(const std::string& what)
{
    if (what == "level") return "livello non valido: una probabilità tra 0 e 1, per esempio 0.95";
    if (what == "weight") return "peso del nuovo punto non valido: un numero maggiore di 0";
    if (what == "ratio") return "rapporto non valido: un numero maggiore di 0";
    if (what == "system") return "curva dell'impianto non valida: k, p0 e n numeri finiti, n maggiore di 0";
    return "valore non valido per la domanda alla curva";
}

// The equation without a finite value: details the point's number and where
// ("start": with the start values, "fit": while fitting).
std::string nonFiniteValue(const Refusal& r)
{
    return "l'equazione non ha un valore finito al punto " + detail(r, 0) +
           (detail(r, 1) == "start" ? " con i valori iniziali dei parametri" : " con i parametri calcolati") +
           " (una divisione per zero, il logaritmo o la radice di un numero negativo, o un numero troppo grande)";
}

} // namespace

std::string refusalText(const Refusal& r)
{
    switch (r.code) {
    case RefusalCode::KindNotChosen: return " tipo non scelto=" + formatInteger(std::stoll("0" + detail(r, 0)), 2);
    case RefusalCode::TooFewPoints: return " numero punti=  <2!";
    case RefusalCode::TooFewPointsForDegree: return "numero punti insufficiente per il grado scelto";
    case RefusalCode::TooFewDistinctX: return "valori di x diversi insufficienti per il grado scelto";
    case RefusalCode::TooManyPoints:
        return "massimo " + detail(r, 0) + " punti" + (detail(r, 1).empty() ? "" : " per il " + detail(r, 1));
    case RefusalCode::SurfaceUndetermined:
        return "i punti non bastano a determinare i termini del polinomio Z=F(x,y) del grado scelto";
    case RefusalCode::NotPositive: return "tutti numeri devono essere>0!";
    case RefusalCode::MissingTemperatures:
        return "per la curva temperatura-tempo servono la temperatura iniziale e quella finale";
    // The arithmetic faults keep the standard texts the program has always shown.
    case RefusalCode::DivisionByZero: return "Floating point division by zero";
    case RefusalCode::InvalidOperation: return "Invalid floating point operation";
    case RefusalCode::Overflow: return "Floating point overflow";
    case RefusalCode::OptionNotForKind: return optionNotForKind(detail(r, 0));
    case RefusalCode::TooManyConditions:
        return "troppi vincoli: " + detail(r, 0) + " tra punti di passaggio e termini fissi, più dei " + detail(r, 1) +
               " coefficienti del grado scelto";
    case RefusalCode::NoSuchTerm:
        return "termine fisso " + detail(r, 0) + " inesistente: i termini del grado scelto vanno da 1 a " + detail(r, 1);
    case RefusalCode::TermFixedTwice: return "termine " + detail(r, 0) + " fissato due volte";
    case RefusalCode::InvalidCondition:
        return r.details.empty() ? "punto di passaggio non valido" : "valore non valido per il termine " + detail(r, 0);
    case RefusalCode::ThroughPointAtZero:
        return "il polinomio fratto non passa per un punto con y = 0 (la curva è 1/P(x)): x = " + detail(r, 0);
    case RefusalCode::ZeroValue: return zeroValue(r);
    case RefusalCode::MissingWeights:
        if (detail(r, 0) == "column")
            return "manca la colonna dei pesi nel file dei punti: con --weights column ogni riga è x;y;peso";
        if (detail(r, 0) == "point")
            return "manca il peso del punto " + detail(r, 1) + " nel file dei punti: con --weights column ogni riga "
                   "è x;y;peso";
        return detail(r, 0) == "surface"
                   ? "mancano i pesi dei punti: per il polinomio Z=F(x,y) sono la quarta colonna di un file di punti "
                     "di testo (x;y;z;peso), con calvero1-batch --points e --weights column"
                   : "mancano i pesi dei punti";
    case RefusalCode::NonPositiveWeight:
        return "peso non positivo al punto " + detail(r, 0) + ": " + detail(r, 1) + " (i pesi devono essere maggiori di 0)";
    case RefusalCode::MinimaxWithWeights:
        return "il minimo errore massimo non usa pesi: togliere i pesi o il minimo errore massimo";
    case RefusalCode::ThroughPointsNotMonotone:
        return "i punti di passaggio salgono e scendono: nessuna curva monotona " + detail(r, 0) + " passa per tutti";
    case RefusalCode::DependentConditions:
        return "i vincoli non sono indipendenti: uno segue dagli altri (per esempio due punti di passaggio alla stessa "
               "x, o un punto a x = 0 con il termine 1 fissato)";
    case RefusalCode::ConditionsUndetermined:
        return "i punti non bastano a determinare i coefficienti che i vincoli lasciano liberi";
    case RefusalCode::IncompatibleConditions: return "i vincoli chiesti non si possono rispettare insieme";
    case RefusalCode::NotSolved: return "il calcolo con i vincoli non ha trovato una soluzione";
    case RefusalCode::InvalidTolerance: return "tolleranza non valida (un numero di punti percentuali, 0 o più)";
    case RefusalCode::InvalidQuestion: return invalidQuestion(detail(r, 0));
    case RefusalCode::NoCurve: return "la punteggiata non ha una curva a cui fare domande";
    case RefusalCode::NoValueAt: return "la curva non ha valore a x = " + detail(r, 0);
    case RefusalCode::QuestionNotForKind:
        if (detail(r, 0) == "surfaceEquation") return "per un'equazione z = f(x, y) si chiede solo il valore a x, y";
        return detail(r, 0) == "surface" ? "per il polinomio Z=F(x,y) si chiede solo il valore a x, y"
                                         : "la curva temperatura-tempo e la curva di saturazione non sono curve di "
                                           "ventilatori o pompe";
    case RefusalCode::NoXForY:
        return "nessuna x dà y = " + detail(r, 0) + " nel campo dei punti (né fino al 10 % oltre)";
    case RefusalCode::NoOperatingPoint:
        return "la curva dell'impianto non incontra la curva nel campo dei punti (né fino al 10 % oltre)";
    case RefusalCode::NoDutyRatio:
        return "nessun rapporto da 0,3 a 1,5 porta la curva per il punto richiesto (" + detail(r, 0) + "; " +
               detail(r, 1) + ")";
    case RefusalCode::AffinityNotKept:
        return "le leggi di affinità non conservano la forma della curva " + detail(r, 0) +
               ": valgono per POLINOMIO, POLINOMIO FRATTO, POTENZA ed ESPONENZIALE";
    case RefusalCode::TooFewPointsForParameters:
        return "numero punti insufficiente per i " + detail(r, 0) +
               " parametri da calcolare dell'equazione (servono più punti che parametri)";
    case RefusalCode::NonFiniteValue: return nonFiniteValue(r);
    case RefusalCode::NotConverged:
        return "il calcolo dei parametri non converge (dopo " + detail(r, 0) +
               " iterazioni la somma dei quadrati e i parametri cambiano ancora): provare altri valori iniziali";
    case RefusalCode::SingularJacobian:
        return "i punti non determinano tutti i parametri (matrice jacobiana singolare" +
               (detail(r, 0).empty() ? std::string(")")
                                     : "): il parametro " + detail(r, 0) +
                                           " non cambia la curva sui punti, o la cambia come gli altri insieme") +
               "; fissarne uno o cambiare i valori iniziali";
    case RefusalCode::LeastSquaresInYNotWithOptions:
        return "i minimi quadrati sui valori di y non si combinano con il minimo errore massimo né con la curva "
               "monotona, concava o convessa";
    // The sentence made where the refusal happened: a file, a field, an
    // argument, an export's format.
    case RefusalCode::Message:
    case RefusalCode::BadArguments:
    case RefusalCode::NoExport:
    case RefusalCode::InvalidRatedPoint:
    case RefusalCode::NoValueInRange:
    case RefusalCode::ZeroAtRatedPoint:
    case RefusalCode::InvalidCell:
    case RefusalCode::UnknownFormat:
    case RefusalCode::UnknownObject:
    case RefusalCode::ObjectInputs:
    case RefusalCode::NeedsNonlinearSolver:
    case RefusalCode::InvalidUnitType:
    case RefusalCode::NotAGrid:
    case RefusalCode::NotNormalizable:
    case RefusalCode::InvalidEquation:
    case RefusalCode::InvalidParameterSetting:
    case RefusalCode::Count: break;
    }
    return detail(r, 0);
}

const char* refusalIdentifier(RefusalCode code)
{
    static constexpr std::array<const char*, static_cast<std::size_t>(RefusalCode::Count)> Identifiers = {
        "message",
        "bad_arguments",
        "kind_not_chosen",
        "too_few_points",
        "too_few_points_for_degree",
        "too_few_distinct_x",
        "too_many_points",
        "surface_undetermined",
        "not_positive",
        "missing_temperatures",
        "division_by_zero",
        "invalid_operation",
        "overflow",
        "option_not_for_kind",
        "too_many_conditions",
        "no_such_term",
        "term_fixed_twice",
        "invalid_condition",
        "through_point_at_zero",
        "zero_value",
        "missing_weights",
        "non_positive_weight",
        "minimax_with_weights",
        "through_points_not_monotone",
        "dependent_conditions",
        "conditions_undetermined",
        "incompatible_conditions",
        "not_solved",
        "no_export",
        "invalid_rated_point",
        "no_value_in_range",
        "zero_at_rated_point",
        "invalid_cell",
        "unknown_format",
        "invalid_tolerance",
        "invalid_question",
        "no_curve",
        "no_value_at",
        "question_not_for_kind",
        "no_x_for_y",
        "no_operating_point",
        "no_duty_ratio",
        "affinity_not_kept",
        "unknown_object",
        "object_inputs",
        "needs_nonlinear_solver",
        "invalid_unit_type",
        "not_a_grid",
        "not_normalizable",
        "invalid_equation",
        "invalid_parameter_setting",
        "too_few_points_for_parameters",
        "non_finite_value",
        "not_converged",
        "singular_jacobian",
        "least_squares_in_y_not_with_options",
    };
    const auto at = static_cast<std::size_t>(code);
    return at < Identifiers.size() ? Identifiers[at] : "";
}

} // namespace calvero
