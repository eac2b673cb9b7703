/*
 * calvero.h: the CALVERO1 fitting engine for C programs (libcalvero).
 *
 * Numbers in, numbers out: the points of a data set, the kind of equation and
 * its degree go in; the fitted coefficients, the statistics of the fit, the
 * curve's values and the Italian report come out, exactly as calvero1-batch
 * gives them for the same points. No C++ type crosses this header.
 *
 * Build a program with
 *     cc prog.c $(pkg-config --cflags --libs calvero)
 *
 * A minimal use:
 *     double x[] = {1, 2, 3, 4, 5}, y[] = {2.1, 3.9, 6.2, 7.8, 10.1};
 *     calvero_request request = {3, 1, 5, x, y, NULL, NAN, NAN};
 *     calvero_result* result = NULL;
 *     if (calvero_fit(&request, &result) == 0)
 *         printf("%.17g %.17g\n", calvero_coefficient(result, 0), calvero_coefficient(result, 1));
 *     else
 *         printf("%s\n", calvero_message(result));
 *     calvero_result_free(result);
 *
 * Every function is safe to call from several threads at once on different
 * results; a result may be read from several threads once it is made.
 */
#ifndef CALVERO_H
#define CALVERO_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A fit: what calvero_fit made of a request. Opaque; free it with
 * calvero_result_free. */
typedef struct calvero_result calvero_result;

/* What to fit. The layout never changes: options that later versions add
 * come through objects of their own, made and set by functions.
 *   kind      the kind of equation, numbered as calvero1-batch --kind:
 *             1 scatter (the points alone), 2 power y = A x^B, 3 polynomial,
 *             4 exponential y = A e^(B x), 5 rational polynomial
 *             y = 1 / (c1 + c2 x + ...), 6 temperature-time
 *             T = Tf - e^(-M t) (Tf - Ti), 7 surface z = F(x, y),
 *             8 saturation curve log10 p = A + B / T;
 *   degree    1 to 9, as calvero1-batch --degree; the polynomials fit at most
 *             8, the surface 2 to 4 (a degree outside those is brought to the
 *             nearest); the other kinds ignore it;
 *   n         the number of points: at most 100 000 (more are refused);
 *   x, y      n values each;
 *   z         n values for the surface, NULL (or ignored) for the others;
 *   t_initial, t_final
 *             the initial and final temperature of the temperature-time kind
 *             (NAN when not given, which that kind refuses); the others
 *             ignore them.
 * Every point counts, a point (0, 0) too (the programs' point grid ends at
 * one; an array does not). Every value must be a finite number. */
typedef struct calvero_request {
    int kind;
    int degree;
    size_t n;
    const double* x;
    const double* y;
    const double* z;
    double t_initial;
    double t_final;
} calvero_request;

/* Fits the request. Returns 0 when fitted, 1 when the calculation was
 * refused (too few points for the degree, a logarithm of a point at 0, more
 * points than the engine has places...), 2 for bad arguments (a NULL
 * pointer, a kind or degree out of range, a value that is not finite). Unless
 * result is NULL, *result receives a result in every case, which says why
 * there is no fit (calvero_message) and must be freed; it is NULL only when
 * request or result is NULL, or memory ran out. */
int calvero_fit(const calvero_request* request, calvero_result** result);

/* Fits a typed equation, "y = b1*(1-exp(-b2*x))" of x (x, y) or "z = ..." of
 * x and y (x, y, z), to the request's n points (its kind, degree and
 * temperatures are not read; any number of points). start_text gives the
 * start values as calvero1-batch's --start does ("b1=500,b2=1e-4"); NULL or
 * "" lets the program find them. Returns as calvero_fit; the coefficients are
 * the parameters, named as in the equation and in its order; the statistics
 * add "iterations", "converged", "possiblyLocal" (1 when the program chose
 * the start and cannot exclude a lower minimum) and "linear". A typed
 * equation has no exports (calvero_export refuses it). */
int calvero_fit_equation(const calvero_request* request, const char* equation_text, const char* start_text,
                         calvero_result** result);

/* What steers a fit beyond least squares, as the programs' fit options do:
 * points the curve passes through, coefficients held at a value, weights of
 * the errors, the smallest largest percentage error, a curve that never
 * turns back. Opaque: made by calvero_options_new, set by the functions
 * below (each returns 0, or 2 for a NULL options or a value it cannot take,
 * which leaves the options as they were), freed by calvero_options_free.
 * With nothing set, a fit is the plain least squares of calvero_fit. Which
 * options suit which kind is said by calvero_fit_steered's refusal, in the
 * programs' words. */
typedef struct calvero_options calvero_options;

calvero_options* calvero_options_new(void);
void calvero_options_free(calvero_options* options);

/* The curve passes through (x, y); the surface through (x, y, z), z ignored
 * for the other kinds. Each call adds a point. */
int calvero_options_through(calvero_options* options, double x, double y, double z);

/* Term number term (1 the constant, as the report numbers them; 1 to 99)
 * held at value. Each call adds a term. */
int calvero_options_fix(calvero_options* options, int term, double value);

/* The errors weighted by 1/y^2 (1/z^2 for the surface): the relative
 * errors count. */
int calvero_options_relative_weights(calvero_options* options);

/* A weight per point, n of them in the points' order (n must be the
 * request's n). */
int calvero_options_point_weights(calvero_options* options, const double* weights, size_t n);

/* 1: the smallest largest percentage error instead of least squares; 0: not. */
int calvero_options_minimax(calvero_options* options, int on);

/* -1: never rising over the points' range of x; 1: never falling; 0: free. */
int calvero_options_monotone(calvero_options* options, int direction);

/* -1: concave over the points' range of x (the slope never rises, as a pump
 * or fan curve falls ever faster); 1: convex; 0: free. */
int calvero_options_curvature(calvero_options* options, int sign);

/* calvero_fit with options (NULL: none). The result's statistics add
 * "equalityConditions" and "weightedSse" when an option is set. */
int calvero_fit_steered(const calvero_request* request, const calvero_options* options, calvero_result** result);

/* The number of coefficients: 0 without a fit (the scatter kind has none). */
size_t calvero_coefficient_count(const calvero_result* result);

/* Coefficient k, from 0, in the report's order: the polynomials' c1, c2, ...
 * (c1 + c2 x + ...), A and B of the power, exponential and saturation kinds, M
 * of the temperature-time kind, the surface's terms 1, x, y, x^2, y^2, x*y,
 * x^3, y^3, x*y^2, x^2*y, x^4, y^4, x*y^3, x^2*y^2, x^3*y. NAN beyond them. */
double calvero_coefficient(const calvero_result* result, size_t k);

/* The name of coefficient k as the report and the JSON give it ("termine 1",
 * "A", "M", "x*y"); "" beyond them. */
const char* calvero_coefficient_name(const calvero_result* result, size_t k);

/* The fitted curve at x (the surface at x, y; y is ignored otherwise), as the
 * report computes it; NAN where it has no value (a pole, the logarithm of a
 * negative x) and without a fit. */
double calvero_evaluate(const calvero_result* result, double x, double y);

/* Why there is no fit, in Italian, UTF-8; "" when fitted. */
const char* calvero_message(const calvero_result* result);

/* Why there is no fit, as a code a program can branch on; the message says
 * the same in words. New codes are only ever added at the end. */
typedef enum calvero_refusal_code {
    CALVERO_REFUSAL_NONE = 0,               /* fitted */
    CALVERO_REFUSAL_MESSAGE,                /* see the message (none of those below) */
    CALVERO_REFUSAL_BAD_ARGUMENTS,          /* a NULL array, unequal lengths, a value not finite, ... */
    CALVERO_REFUSAL_KIND_NOT_CHOSEN,        /* a kind outside 1..8 */
    CALVERO_REFUSAL_TOO_FEW_POINTS,         /* fewer than two points */
    CALVERO_REFUSAL_TOO_FEW_POINTS_FOR_DEGREE, /* no more points than coefficients */
    CALVERO_REFUSAL_TOO_FEW_DISTINCT_X,     /* no more distinct x than coefficients */
    CALVERO_REFUSAL_TOO_MANY_POINTS,        /* more than 100 000 points */
    CALVERO_REFUSAL_SURFACE_UNDETERMINED,   /* the points leave a term of the surface free */
    CALVERO_REFUSAL_NOT_POSITIVE,           /* the temperature-time kind's first point at 0 */
    CALVERO_REFUSAL_MISSING_TEMPERATURES,   /* the temperature-time kind without its temperatures */
    CALVERO_REFUSAL_DIVISION_BY_ZERO,       /* arithmetic faults: a point at 0 where the kind */
    CALVERO_REFUSAL_INVALID_OPERATION,      /* takes its logarithm or reciprocal, a singular */
    CALVERO_REFUSAL_OVERFLOW,               /* design, a value beyond a double */
    CALVERO_REFUSAL_OPTION_NOT_FOR_KIND,    /* options: one the kind does not take */
    CALVERO_REFUSAL_TOO_MANY_CONDITIONS,    /* more through points and fixed terms than coefficients */
    CALVERO_REFUSAL_NO_SUCH_TERM,           /* a fixed term the degree does not have */
    CALVERO_REFUSAL_TERM_FIXED_TWICE,
    CALVERO_REFUSAL_INVALID_CONDITION,      /* a through point or fixed value that is not finite */
    CALVERO_REFUSAL_THROUGH_POINT_AT_ZERO,  /* the rational kind through y = 0 */
    CALVERO_REFUSAL_ZERO_VALUE,             /* a point at 0 where weights, the rational kind or minimax divide by it */
    CALVERO_REFUSAL_MISSING_WEIGHTS,
    CALVERO_REFUSAL_NON_POSITIVE_WEIGHT,
    CALVERO_REFUSAL_MINIMAX_WITH_WEIGHTS,
    CALVERO_REFUSAL_THROUGH_POINTS_NOT_MONOTONE,
    CALVERO_REFUSAL_DEPENDENT_CONDITIONS,   /* a condition follows from the others */
    CALVERO_REFUSAL_CONDITIONS_UNDETERMINED, /* the points leave coefficients free after the conditions */
    CALVERO_REFUSAL_INCOMPATIBLE_CONDITIONS, /* no curve meets all the conditions */
    CALVERO_REFUSAL_NOT_SOLVED,             /* the programme of a steered fit found no solution */
    CALVERO_REFUSAL_NO_EXPORT,              /* exports: the format has no form for the fit */
    CALVERO_REFUSAL_INVALID_RATED_POINT,
    CALVERO_REFUSAL_NO_VALUE_IN_RANGE,      /* the curve has no value somewhere over the points */
    CALVERO_REFUSAL_ZERO_AT_RATED_POINT,
    CALVERO_REFUSAL_INVALID_CELL,
    CALVERO_REFUSAL_UNKNOWN_FORMAT,
    CALVERO_REFUSAL_INVALID_TOLERANCE,
    CALVERO_REFUSAL_INVALID_QUESTION,       /* questions to the curve: a level, weight, ratio or system curve it cannot take */
    CALVERO_REFUSAL_NO_CURVE,               /* the scatter kind has no curve */
    CALVERO_REFUSAL_NO_VALUE_AT,            /* the curve has no value at that x */
    CALVERO_REFUSAL_QUESTION_NOT_FOR_KIND,  /* x for y of a surface, a fan law of a temperature curve */
    CALVERO_REFUSAL_NO_X_FOR_Y,             /* no x in the points' range (and 10 % beyond) gives that y */
    CALVERO_REFUSAL_NO_OPERATING_POINT,     /* the system curve meets the curve nowhere in that range */
    CALVERO_REFUSAL_NO_DUTY_RATIO,          /* no ratio from 0.3 to 1.5 takes the curve through the duty point */
    CALVERO_REFUSAL_AFFINITY_NOT_KEPT,      /* a kind the affinity laws do not keep */
    CALVERO_REFUSAL_UNKNOWN_OBJECT,         /* exports: an EnergyPlus object name not known */
    CALVERO_REFUSAL_OBJECT_INPUTS,          /* the points have one input where the object takes two, or the reverse */
    CALVERO_REFUSAL_NEEDS_NONLINEAR_SOLVER, /* no longer given: kept so the codes after it keep their numbers */
    CALVERO_REFUSAL_INVALID_UNIT_TYPE,      /* a unit type the object's field does not allow */
    CALVERO_REFUSAL_NOT_A_GRID,             /* a lookup table from points that are not a full grid */
    CALVERO_REFUSAL_NOT_NORMALIZABLE,       /* a rated point for an object that is not normalized */
    CALVERO_REFUSAL_INVALID_EQUATION,       /* a typed equation that cannot be read (the message gives the position) */
    CALVERO_REFUSAL_INVALID_PARAMETER_SETTING, /* a start value, fixed value or bound that cannot be taken */
    CALVERO_REFUSAL_TOO_FEW_POINTS_FOR_PARAMETERS, /* no more points than free parameters */
    CALVERO_REFUSAL_NON_FINITE_VALUE,       /* the equation has no finite value at a point */
    CALVERO_REFUSAL_NOT_CONVERGED,          /* the nonlinear fit did not settle */
    CALVERO_REFUSAL_SINGULAR_JACOBIAN,      /* the points do not determine every parameter */
    CALVERO_REFUSAL_LEAST_SQUARES_IN_Y_NOT_WITH_OPTIONS /* least squares of y with minimax, monotone, concave or convex */
} calvero_refusal_code;

/* The code of the result's refusal; CALVERO_REFUSAL_NONE when fitted, and
 * CALVERO_REFUSAL_BAD_ARGUMENTS for a NULL result. */
calvero_refusal_code calvero_refusal(const calvero_result* result);

/* The code's short English identifier, as the Python module's
 * calvero.Refused.code gives it: "too_few_points", ...; "" for another
 * value. */
const char* calvero_refusal_name(calvero_refusal_code code);

/* A statistic of the fit by the name calvero1-batch --json gives it in its
 * "statistics": "n", "p", "degreesOfFreedom", "sse", "standardError",
 * "rSquared", "adjustedRSquared", "transformedRSquared",
 * "largestAbsoluteError", "largestPercentError", "rmsPercentError", "aicc",
 * "studentT", "conditionNumber", "dataSensitivityDigits" (the digits of the
 * worst coefficient that a change of every datum by one unit in its 16th
 * significant digit leaves), "evaluationDigits" (the digits a double-precision
 * evaluation of the curve keeps at the points), "coefficientDigits" (the
 * former name of dataSensitivityDigits, kept for one more release),
 * "illConditioned" (1 or 0: either figure under 10). NAN where the JSON has
 * null, for any other name and without a fit. */
double calvero_statistic(const calvero_result* result, const char* name);

/* The standard error of coefficient k and its 95 % confidence interval, as
 * the statistics give them (for A of the power and exponential kinds the
 * error is that of log10 A or ln A, and the interval that one transformed
 * back). NAN (and 1 returned) where there is none: no degrees of freedom, a
 * term fixed by the options, the temperature-time kind, no fit. */
double calvero_coefficient_standard_error(const calvero_result* result, size_t k);
int calvero_coefficient_interval(const calvero_result* result, size_t k, double* lower, double* upper);

/* The fitted equation written for a program that uses it, as calvero1-batch
 * writes it: format "energyplus", "ahri540", "formula", "c-function" or
 * "python-function". settings may be NULL (the defaults below). On 0, *text
 * is the file's text; on 1 (no fit, the format has no form for this fit, or
 * a setting it cannot take) *text is the Italian reason; 2 for a NULL
 * argument or an unknown format (*text then says which, or is NULL). *text
 * is freed with calvero_text_free. Unless refusal is NULL, *refusal receives
 * the code of the reason (CALVERO_REFUSAL_NONE on 0). */
typedef struct calvero_export_settings {
    const char* name;    /* the curve's or function's name; NULL or "": "curva" */
    int rated;           /* EnergyPlus normalised to 1 at the rated point: 1 at rated_x, 2 at (rated_x,
                          * rated_y) for the surface; 0 not normalised */
    double rated_x;
    double rated_y;
    int fahrenheit;      /* AHRI 540: 1 when the points' temperatures are in degrees F, 0 in C */
    const char* cell_x;  /* the spreadsheet formula's cells; NULL: "A2" and "B2" */
    const char* cell_y;
} calvero_export_settings;

int calvero_export(const calvero_result* result, const char* format, const calvero_export_settings* settings,
                   char** text, calvero_refusal_code* refusal);
void calvero_text_free(char* text);

/* Questions to the fitted curve. Each returns 0 when answered, 1 when
 * refused (no fit, a question the kind cannot answer, no x for that y, no
 * intersection in range, no ratio, a kind the affinity laws do not keep), 2
 * for bad arguments (a NULL pointer, a level outside (0, 1), a weight or ratio
 * not above 0, a value not finite). Unless refusal is NULL, *refusal
 * receives the code (CALVERO_REFUSAL_NONE on 0). level is that of every
 * interval (0.95 for 95 %). doc/domande.htm states the rules. */

/* The value at x (the surface's at x, y; y ignored otherwise) with its
 * confidence interval (of the curve) and prediction interval (of a new point
 * of weight `weight`, 1 without weights, on the weights as the statistics
 * read them; times 1/y^2 under relative weights). An interval that does not exist (the smallest largest error, n =
 * p, an interval of 1/y holding the pole) is NAN, NAN. */
typedef struct calvero_prediction {
    double value;
    double confidence_low, confidence_high;
    double prediction_low, prediction_high;
    int extrapolated; /* 1: beyond the points' range of x (or of y) */
    int approximate;  /* 1: a monotone (concave, convex) fit held at its bound, its intervals approximate */
} calvero_prediction;

int calvero_predict(const calvero_result* result, double x, double y, double level, double weight,
                    calvero_prediction* prediction, calvero_refusal_code* refusal);

/* A place where the curve takes a value (x for y) or meets a system curve
 * (an operating point): x, the curve's y there, the interval of x over which
 * the confidence band holds the value (NAN for an end beyond the range looked
 * at) and, for an operating point, the system's pressure at those ends. */
typedef struct calvero_place {
    double x, y;
    double x_low, x_high;
    double y_low, y_high;
    int extrapolated; /* 1: beyond the points' range of x (up to 10 % of it) */
    int tangent;      /* 1: the curve touches the value without crossing it */
} calvero_place;

/* Every x where the one-variable curve takes the value y, in increasing
 * order, within the points' range and 10 % of it beyond. At most capacity are
 * written into places; *count receives how many there are. */
int calvero_solve_y(const calvero_result* result, double y, double level, calvero_place* places, size_t capacity,
                    size_t* count, calvero_refusal_code* refusal);

/* Every operating point with the system curve dp = p0 + k Q^n (flows of 0
 * and more), as calvero_solve_y. calvero_system_through gives the k of the
 * system curve through the design point (q, dp). */
int calvero_operating_points(const calvero_result* result, double k, double p0, double n, double level,
                             calvero_place* places, size_t capacity, size_t* count, calvero_refusal_code* refusal);
int calvero_system_through(double q, double dp, double p0, double n, double* k);

/* The affinity laws: the quantity a curve gives. */
typedef enum calvero_quantity {
    CALVERO_HEAD = 0,      /* head or pressure: scaled by r^2 */
    CALVERO_POWER = 1,     /* power: r^3 */
    CALVERO_EFFICIENCY = 2 /* efficiency: unchanged along the scaled flow */
} calvero_quantity;

/* The curve at the speed (or impeller diameter) ratio r = n2/n1, flows
 * scaled by r: a new result of the same kind (polynomial, rational
 * polynomial, power and exponential only), to be freed. Returns as
 * calvero_fit does; *scaled says why not when refused. */
int calvero_scaled(const calvero_result* result, double ratio, calvero_quantity quantity, calvero_result** scaled);

/* The ratios from 0.3 to 1.5 whose scaled curve passes through the duty point
 * (q, h), as calvero_solve_y writes places (at most capacity into ratios). */
int calvero_duty_ratios(const calvero_result* result, double q, double h, calvero_quantity quantity, double* ratios,
                        size_t capacity, size_t* count, calvero_refusal_code* refusal);

/* The report the programs show for the fit, its lines ended by '\n', UTF-8;
 * "" without a fit. Written when first asked for. */
const char* calvero_report(const calvero_result* result);

/* Frees a result; NULL is allowed. */
void calvero_result_free(calvero_result* result);

/* The version of the library, "1.0.0". */
const char* calvero_version(void);

#ifdef __cplusplus
}
#endif

#endif /* CALVERO_H */
