/* Each refusal a C program can meet from libcalvero, with the code it
 * carries: a line "CODE-NAME got-name status" per case, which
 * c_api_test.sh compares. Built like cubic_check.c. */
#include <calvero.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static double line[6] = {1, 2, 3, 4, 5, 6};

typedef void (*Steer)(calvero_options*);

static void minimax(calvero_options* o) { calvero_options_minimax(o, 1); }
static void threeThrough(calvero_options* o)
{
    for (int i = 1; i <= 3; ++i) calvero_options_through(o, i, i, 0);
}
static void fixFifth(calvero_options* o) { calvero_options_fix(o, 5, 1.0); }
static void fixFirstTwice(calvero_options* o)
{
    calvero_options_fix(o, 1, 1.0);
    calvero_options_fix(o, 1, 2.0);
}
static void throughZero(calvero_options* o) { calvero_options_through(o, 2, 0, 0); }
static void relative(calvero_options* o) { calvero_options_relative_weights(o); }
static void negativeWeight(calvero_options* o)
{
    const double w[6] = {1, 1, -1, 1, 1, 1};
    calvero_options_point_weights(o, w, 6);
}
static void minimaxWeighted(calvero_options* o)
{
    calvero_options_minimax(o, 1);
    calvero_options_relative_weights(o);
}
static void risingThroughFalling(calvero_options* o)
{
    calvero_options_monotone(o, 1);
    calvero_options_through(o, 1, 2, 0);
    calvero_options_through(o, 2, 1, 0);
}
static void sameXTwice(calvero_options* o)
{
    calvero_options_through(o, 1, 1, 0);
    calvero_options_through(o, 1, 2, 0);
}
static void fallingSlopeRising(calvero_options* o)
{
    calvero_options_fix(o, 2, -1.0);
    calvero_options_monotone(o, 1);
}

static void fitCase(const char* expected, int kind, int degree, size_t n, const double* x, const double* y,
                    const double* z, double ti, double tf, Steer steer)
{
    calvero_request request = {kind, degree, n, x, y, z, ti, tf};
    calvero_options* options = calvero_options_new();
    if (steer) steer(options);
    calvero_result* result = NULL;
    const int status = calvero_fit_steered(&request, options, &result);
    printf("%s %s %d\n", expected, calvero_refusal_name(calvero_refusal(result)), status);
    calvero_result_free(result);
    calvero_options_free(options);
}

static void exportCase(const char* expected, const char* format, const calvero_export_settings* settings)
{
    const double x[5] = {1, 2, 3, 4, 5}, y[5] = {-1, 0, 1, 2, 3}; /* y = x - 2: 0 at x = 2 */
    calvero_request request = {3, 1, 5, x, y, NULL, NAN, NAN};
    calvero_result* result = NULL;
    calvero_fit(&request, &result);
    char* text = NULL;
    calvero_refusal_code code = CALVERO_REFUSAL_NONE;
    const int status = calvero_export(result, format, settings, &text, &code);
    printf("%s %s %d\n", expected, calvero_refusal_name(code), status);
    calvero_text_free(text);
    calvero_result_free(result);
}

/* The questions to a curve: the line y = x - 2 of exportCase, a parabola
 * and a cooling curve. */
static void questionCases(void)
{
    const double x[5] = {1, 2, 3, 4, 5}, y[5] = {-1, 0, 1, 2, 3}, cooling[3] = {70, 55, 45}, times[3] = {1, 2, 3};
    /* A 3 by 3 grid: enough for the surface of degree 1. */
    const double gridX[9] = {1, 2, 3, 1, 2, 3, 1, 2, 3}, gridY[9] = {1, 1, 1, 2, 2, 2, 3, 3, 3};
    const double gridZ[9] = {2, 3, 5, 3, 4, 6, 5, 6, 9};
    calvero_request lineRequest = {3, 1, 5, x, y, NULL, NAN, NAN};
    calvero_request scatterRequest = {1, 1, 5, x, y, NULL, NAN, NAN};
    calvero_request coolingRequest = {6, 1, 3, times, cooling, NULL, 90, 20};
    calvero_request surfaceRequest = {7, 1, 9, gridX, gridY, gridZ, NAN, NAN};
    calvero_result *line = NULL, *scatter = NULL, *cool = NULL, *surface = NULL, *scaled = NULL;
    calvero_fit(&lineRequest, &line);
    calvero_fit(&scatterRequest, &scatter);
    calvero_fit(&coolingRequest, &cool);
    calvero_fit(&surfaceRequest, &surface);
    calvero_prediction p;
    calvero_place places[4];
    double ratios[4];
    size_t count = 0;
    calvero_refusal_code code = CALVERO_REFUSAL_NONE;
    int status = calvero_predict(line, 3, 0, 1.5, 1, &p, &code);
    printf("invalid_question %s %d\n", calvero_refusal_name(code), status);
    status = calvero_predict(scatter, 3, 0, 0.95, 1, &p, &code);
    printf("no_curve %s %d\n", calvero_refusal_name(code), status);
    status = calvero_solve_y(surface, 3, 0.95, places, 4, &count, &code);
    printf("question_not_for_kind %s %d\n", calvero_refusal_name(code), status);
    status = calvero_solve_y(line, 100, 0.95, places, 4, &count, &code);
    printf("no_x_for_y %s %d\n", calvero_refusal_name(code), status);
    status = calvero_operating_points(line, 1, 50, 2, 0.95, places, 4, &count, &code);
    printf("no_operating_point %s %d\n", calvero_refusal_name(code), status);
    status = calvero_duty_ratios(line, 3, 1000, CALVERO_HEAD, ratios, 4, &count, &code);
    printf("no_duty_ratio %s %d\n", calvero_refusal_name(code), status);
    status = calvero_scaled(cool, 0.8, CALVERO_HEAD, &scaled);
    printf("affinity_not_kept %s %d\n", calvero_refusal_name(calvero_refusal(scaled)), status);
    calvero_result_free(scaled);
    /* A typed equation answers values and places, not another speed. */
    calvero_result* equation = NULL;
    calvero_fit_equation(&lineRequest, "y = b1*x^2 + b2", NULL, &equation);
    status = calvero_scaled(equation, 0.8, CALVERO_HEAD, &scaled);
    printf("affinity_not_kept %s %d\n", calvero_refusal_name(calvero_refusal(scaled)), status);
    calvero_result_free(scaled);
    status = calvero_duty_ratios(equation, 3, 10, CALVERO_HEAD, ratios, 4, &count, &code);
    printf("affinity_not_kept %s %d\n", calvero_refusal_name(code), status);
    status = calvero_solve_y(equation, 1000, 0.95, places, 4, &count, &code);
    printf("no_x_for_y %s %d\n", calvero_refusal_name(code), status);
    calvero_result_free(equation);
    calvero_result_free(line);
    calvero_result_free(scatter);
    calvero_result_free(cool);
    calvero_result_free(surface);
}

int main(void)
{
    double squares[6], lineMinusOne[6], reciprocals[6];
    for (int i = 0; i < 6; ++i) {
        squares[i] = line[i] * line[i];
        lineMinusOne[i] = line[i] - 1;
        reciprocals[i] = 1 / line[i];
    }
    const double twice[4] = {1, 1, 2, 2}, cooling[3] = {80, 60, 50}, fromZero[3] = {0, 1, 2};
    const double signs[3] = {-1, 1, 2}, rising[3] = {1, 2, 3};
    const size_t many = 100001;
    double* more = malloc(many * sizeof(double));
    for (size_t i = 0; i < many; ++i) more[i] = (double)(i + 1);

    fitCase("bad_arguments", 9, 2, 6, line, line, NULL, NAN, NAN, NULL);
    fitCase("too_few_points", 3, 2, 1, line, line, NULL, NAN, NAN, NULL);
    fitCase("too_few_points_for_degree", 3, 3, 3, line, line, NULL, NAN, NAN, NULL);
    fitCase("too_few_distinct_x", 3, 2, 4, twice, line, NULL, NAN, NAN, NULL);
    fitCase("too_many_points", 3, 1, many, more, more, NULL, NAN, NAN, NULL);
    fitCase("surface_undetermined", 7, 2, 6, line, line, squares, NAN, NAN, NULL);
    fitCase("not_positive", 6, 1, 3, fromZero, cooling, NULL, 90, 20, NULL);
    fitCase("missing_temperatures", 6, 1, 3, rising, cooling, NULL, NAN, NAN, NULL);
    fitCase("division_by_zero", 2, 1, 3, fromZero, rising, NULL, NAN, NAN, NULL);
    fitCase("invalid_operation", 2, 1, 3, signs, rising, NULL, NAN, NAN, NULL);
    fitCase("option_not_for_kind", 2, 1, 6, line, line, NULL, NAN, NAN, minimax);
    fitCase("too_many_conditions", 3, 1, 6, line, line, NULL, NAN, NAN, threeThrough);
    fitCase("no_such_term", 3, 2, 6, line, line, NULL, NAN, NAN, fixFifth);
    fitCase("term_fixed_twice", 3, 2, 6, line, line, NULL, NAN, NAN, fixFirstTwice);
    fitCase("through_point_at_zero", 5, 1, 6, line, reciprocals, NULL, NAN, NAN, throughZero);
    fitCase("zero_value", 3, 1, 6, line, lineMinusOne, NULL, NAN, NAN, relative);
    fitCase("non_positive_weight", 3, 1, 6, line, line, NULL, NAN, NAN, negativeWeight);
    fitCase("minimax_with_weights", 3, 1, 6, line, line, NULL, NAN, NAN, minimaxWeighted);
    fitCase("through_points_not_monotone", 3, 2, 6, line, line, NULL, NAN, NAN, risingThroughFalling);
    fitCase("dependent_conditions", 3, 2, 6, line, line, NULL, NAN, NAN, sameXTwice);
    fitCase("incompatible_conditions", 3, 1, 6, line, line, NULL, NAN, NAN, fallingSlopeRising);
    free(more);

    const calvero_export_settings outside = {"curva", 1, 50, 0, 0, NULL, NULL};
    const calvero_export_settings atZero = {"curva", 1, 2, 0, 0, NULL, NULL};
    const calvero_export_settings badCell = {"curva", 0, 0, 0, 0, "A0", NULL};
    exportCase("no_export", "ahri540", NULL);
    exportCase("invalid_rated_point", "energyplus", &outside);
    exportCase("zero_at_rated_point", "energyplus", &atZero);
    exportCase("invalid_cell", "formula", &badCell);
    exportCase("unknown_format", "gnuplot", NULL);
    questionCases();
    return 0;
}
