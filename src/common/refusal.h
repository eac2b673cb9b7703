#pragma once
// Why an operation gave no value, in a form a program can branch on: a code
// from one list, and the details its sentence quotes (a number, a point's
// index, a file's name), already written as text. The Italian sentence a user
// reads is made from the two by refusalText(), in one place, so the windows,
// the batch program and the library's C and Python doors all say the same.
// A failure whose sentence is made where it happens (a file that cannot be
// read, a field that is not a number) carries the code Message and the
// sentence as its one detail.
#include <string>
#include <vector>

namespace calvero {

// The list is the library's too (calvero_refusal_code in calvero.h and the
// identifiers of calvero.pyi): new codes go at the end, before Count.
enum class RefusalCode : int {
    Message = 0,            // a sentence made where the failure happened
    BadArguments,           // what no calculation can take (a value not finite, arrays of unequal length)
    KindNotChosen,          // a kind outside 1..8
    TooFewPoints,           // fewer than two points
    TooFewPointsForDegree,  // no more points than coefficients
    TooFewDistinctX,        // no more distinct x than coefficients
    TooManyPoints,          // more points than the limit
    SurfaceUndetermined,    // the points leave a term of the surface free
    NotPositive,            // a value the kind takes the logarithm or reciprocal of is 0 or less
    MissingTemperatures,    // the temperature-time kind without its two temperatures
    DivisionByZero,         // arithmetic faults met while fitting
    InvalidOperation,
    Overflow,
    OptionNotForKind,       // a fit option the kind does not take
    TooManyConditions,      // more through points and fixed terms than coefficients
    NoSuchTerm,             // a fixed term the degree does not have
    TermFixedTwice,
    InvalidCondition,       // a through point or a fixed value that is not a finite number
    ThroughPointAtZero,     // the rational kind through a point with y = 0
    ZeroValue,              // a point with value 0 where weights, the rational kind or minimax need its reciprocal
    MissingWeights,
    NonPositiveWeight,
    MinimaxWithWeights,
    ThroughPointsNotMonotone,
    DependentConditions,    // a condition follows from the others
    ConditionsUndetermined, // the points leave coefficients free after the conditions
    IncompatibleConditions, // no curve meets all the conditions
    NotSolved,              // the programme of a steered fit found no solution
    NoExport,               // a kind or degree the export format has no form for
    InvalidRatedPoint,
    NoValueInRange,         // the curve has no value somewhere in the points' range
    ZeroAtRatedPoint,
    InvalidCell,
    UnknownFormat,
    InvalidTolerance,
    InvalidQuestion,        // a question to the curve with a value it cannot take (a level, a weight, a ratio)
    NoCurve,                // the scatter kind: no curve to ask
    NoValueAt,              // the curve has no value at the x asked (a pole, a logarithm)
    QuestionNotForKind,     // a question the kind cannot answer (x for y of a surface)
    NoXForY,                // the curve takes the value nowhere in the points' range and 10 % beyond
    NoOperatingPoint,       // the system curve meets the curve nowhere in that range
    NoDutyRatio,            // no speed or trim ratio from 0.3 to 1.5 takes the curve through the duty point
    AffinityNotKept,        // a kind the affinity laws do not keep
    UnknownObject,          // an EnergyPlus object name the export does not know
    ObjectInputs,           // the points have one input where the object takes two, or the other way round
    NeedsNonlinearSolver,   // no longer given (every object is fitted now); kept so the codes after it keep their numbers
    InvalidUnitType,        // a unit type the object's field does not allow
    NotAGrid,               // a lookup table from points that are not a full grid
    NotNormalizable,        // a rated point for an object that is not normalized
    InvalidEquation,          // a typed equation that cannot be read: the sentence and the position
    InvalidParameterSetting,  // a start value, fixed value or bound that cannot be taken: its sentence
    TooFewPointsForParameters, // no more points than free parameters
    NonFiniteValue,           // the equation has no finite value at a point
    NotConverged,             // the nonlinear fit did not settle
    SingularJacobian,         // the points do not determine every parameter
    LeastSquaresInYNotWithOptions, // least squares of y with minimax or a monotone, concave or convex curve
    Count
};

struct Refusal {
    RefusalCode code = RefusalCode::Message;
    std::vector<std::string> details;

    bool operator==(const Refusal&) const = default;
};

// A refusal whose sentence quotes nothing.
inline Refusal refusalOf(RefusalCode code) { return Refusal{code, {}}; }

// The refusal of a sentence made where it happened.
inline Refusal refusalOf(std::string sentence) { return Refusal{RefusalCode::Message, {std::move(sentence)}}; }

// The Italian sentence of a refusal.
std::string refusalText(const Refusal& refusal);

// The short English identifier of a code ("too_few_points"), as the Python
// module and calvero.pyi name it; empty for a value outside the list.
const char* refusalIdentifier(RefusalCode code);

} // namespace calvero
