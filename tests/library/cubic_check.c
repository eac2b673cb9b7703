/* A C program of the kind a user writes against libcalvero: fits a cubic to
 * twelve points and prints its coefficients, then what the library says of
 * requests it cannot fit. Built by c_api_test.sh with
 * cc cubic_check.c $(pkg-config --cflags --libs calvero). */
#include <calvero.h>

#include <math.h>
#include <stdio.h>

static int fitAndSay(const char* what, const calvero_request* request)
{
    calvero_result* result = NULL;
    const int status = calvero_fit(request, &result);
    printf("%s: %d %s\n", what, status, calvero_message(result));
    calvero_result_free(result);
    return status;
}

int main(int argc, char** argv)
{
    double x[12], y[12];
    for (int i = 0; i < 12; ++i) {
        x[i] = -2.0 + 0.5 * i;
        /* y = 1 - 2x + 0.5x^2 + 0.25x^3 and a little noise, so no fit is exact */
        y[i] = 1 - 2 * x[i] + 0.5 * x[i] * x[i] + 0.25 * x[i] * x[i] * x[i] + (i % 3 == 0 ? 0.01 : -0.005);
    }
    calvero_request request = {3, 3, 12, x, y, NULL, NAN, NAN};
    calvero_result* result = NULL;
    if (calvero_fit(&request, &result) != 0) {
        printf("refused: %s\n", calvero_message(result));
        return 1;
    }
    printf("version %s\n", calvero_version());
    for (size_t k = 0; k < calvero_coefficient_count(result); ++k)
        printf("%s = %.17g\n", calvero_coefficient_name(result, k), calvero_coefficient(result, k));
    printf("y(1.25) = %.17g\n", calvero_evaluate(result, 1.25, 0));
    printf("n = %g, sse = %.17g, illConditioned = %g, unknown = %g\n", calvero_statistic(result, "n"),
           calvero_statistic(result, "sse"), calvero_statistic(result, "illConditioned"),
           calvero_statistic(result, "nessuna"));
    printf("digits: data %.17g alias %.17g evaluation %.17g\n", calvero_statistic(result, "dataSensitivityDigits"),
           calvero_statistic(result, "coefficientDigits"), calvero_statistic(result, "evaluationDigits"));
    printf("beyond = %g\n", calvero_coefficient(result, 4));
    double lower = 0, upper = 0;
    const int none = calvero_coefficient_interval(result, 0, &lower, &upper);
    printf("se termine 1: se %.17g from %.17g to %.17g %d\n", calvero_coefficient_standard_error(result, 0), lower, upper,
           none);
    printf("beyond: se %g %d\n", calvero_coefficient_standard_error(result, 4),
           calvero_coefficient_interval(result, 4, &lower, &upper));
    if (argc > 1) {
        /* The points for calvero1-batch, and the export it must match. */
        char path[4096];
        snprintf(path, sizeof path, "%s/punti.txt", argv[1]);
        FILE* points = fopen(path, "w");
        for (int i = 0; i < 12; ++i) fprintf(points, "%.17g;%.17g\n", x[i], y[i]);
        fclose(points);
        const calvero_export_settings settings = {"cubica", 0, 0, 0, 0, NULL, NULL};
        char* text = NULL;
        if (calvero_export(result, "energyplus", &settings, &text, NULL) == 0) {
            snprintf(path, sizeof path, "%s/export.idf", argv[1]);
            FILE* idf = fopen(path, "w");
            fputs(text, idf);
            fclose(idf);
        }
        calvero_text_free(text);
    }
    fputs(calvero_report(result), stdout);
    calvero_result_free(result);

    /* Steered: through (0, 1) with the x^3 term held at 0.25. */
    calvero_options* options = calvero_options_new();
    calvero_options_through(options, 0.0, 1.0, 0.0);
    calvero_options_fix(options, 4, 0.25);
    printf("bad options: %d %d %d %d %d\n", calvero_options_fix(options, 0, 1.0), calvero_options_monotone(options, 5),
           calvero_options_through(options, NAN, 1.0, 0.0), calvero_options_fix(NULL, 1, 1.0),
           calvero_options_curvature(options, -2));
    if (calvero_fit_steered(&request, options, &result) != 0) {
        printf("steered refused: %s\n", calvero_message(result));
        return 1;
    }
    for (size_t k = 0; k < calvero_coefficient_count(result); ++k)
        printf("steered %s = %.17g\n", calvero_coefficient_name(result, k), calvero_coefficient(result, k));
    printf("equalityConditions = %g\n", calvero_statistic(result, "equalityConditions"));
    calvero_result_free(result);
    calvero_options_minimax(options, 1);
    calvero_options_relative_weights(options);
    calvero_request power = {2, 1, 12, x, y, NULL, NAN, NAN};
    const int refused = calvero_fit_steered(&power, options, &result);
    printf("steered power: %d %s\n", refused, calvero_message(result));
    calvero_result_free(result);
    calvero_options_free(options);

    /* A typed equation: points made exactly by y = 3 x / (0.5 + x), fitted
     * from the program's own start and from one given; an equation written
     * wrong is refused with its position. */
    double ex[12], ey[12];
    for (int i = 0; i < 12; ++i) {
        ex[i] = 0.25 * (i + 1);
        ey[i] = 3 * ex[i] / (0.5 + ex[i]);
    }
    calvero_request points = {0, 0, 12, ex, ey, NULL, NAN, NAN};
    const char* starts[] = {NULL, "b1=1,b2=1"};
    for (int s = 0; s < 2; ++s) {
        const int status = calvero_fit_equation(&points, "y = b1*x/(b2+x)", starts[s], &result);
        printf("equation %d: %d %s %.12f %s %.12f possiblyLocal %g\n", s, status, calvero_coefficient_name(result, 0),
               calvero_coefficient(result, 0), calvero_coefficient_name(result, 1), calvero_coefficient(result, 1),
               calvero_statistic(result, "possiblyLocal"));
        calvero_prediction at;
        calvero_refusal_code code;
        const int asked = calvero_predict(result, 1.0, 0.0, 0.95, 1.0, &at, &code);
        printf("equation %d at 1: %d %.12f\n", s, asked, at.value);
        calvero_result_free(result);
    }
    const int badEquation = calvero_fit_equation(&points, "y = b1*(1-exp(-b2*x)", NULL, &result);
    printf("bad equation: %d %s\n", badEquation, calvero_message(result));
    calvero_result_free(result);

    /* What cannot be fitted. */
    static double many[100001];
    for (int i = 0; i < 100001; ++i) many[i] = i + 1;
    calvero_request tooMany = {3, 2, 100001, many, many, NULL, NAN, NAN};
    calvero_request noKind = {9, 2, 12, x, y, NULL, NAN, NAN};
    calvero_request onePoint = {3, 1, 1, x, y, NULL, NAN, NAN};
    calvero_request noZ = {7, 2, 12, x, y, NULL, NAN, NAN};
    calvero_request noTemperatures = {6, 1, 12, x, y, NULL, NAN, NAN};
    fitAndSay("too many", &tooMany);
    fitAndSay("no kind", &noKind);
    fitAndSay("one point", &onePoint);
    fitAndSay("no z", &noZ);
    fitAndSay("no temperatures", &noTemperatures);
    y[3] = NAN;
    fitAndSay("not a number", &request);
    printf("null request: %d\n", calvero_fit(NULL, &result));
    printf("null result: %d %s\n", result == NULL ? 1 : 0, calvero_message(NULL));
    return 0;
}
