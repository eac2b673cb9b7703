// The "vincoli" window's fields into options and back: numbers with a
// decimal comma, empty rows skipped, and the first field that does not read named.
#include "app/fitoptionsform.h"

#include <gtest/gtest.h>

using namespace calvero;

TEST(FitOptionsForm, FieldsReadIntoOptionsAndBack)
{
    FitOptionsForm form;
    form.throughRows = {{"", "", ""}, {" 0", "620,5", "9"}, {"5500", "120", ""}};
    form.fixedRows = {{"1", "-0,25"}, {"", ""}};
    form.weighting = Weighting::Relative;
    form.monotone = Monotone::Increasing;
    form.curvature = Curvature::Concave;
    const Checked<FitOptions> read = optionsOf(form, false);
    ASSERT_TRUE(read) << read.failure();
    EXPECT_EQ(read->throughPoints, (std::vector<ThroughPoint>{{0.0, 620.5, 0.0}, {5500.0, 120.0, 0.0}}));
    EXPECT_EQ(read->fixedTerms, (std::vector<FixedTerm>{{1, -0.25}}));
    EXPECT_EQ(read->weighting, Weighting::Relative);
    EXPECT_EQ(read->monotone, Monotone::Increasing);
    EXPECT_EQ(read->curvature, Curvature::Concave);
    // The form of the options reads back as the same options.
    EXPECT_EQ(*optionsOf(formOf(*read), false), *read);
}

TEST(FitOptionsForm, TheFirstFieldThatDoesNotReadIsNamed)
{
    std::vector<std::tuple<FitOptionsForm, bool, std::string>> forms = {
        {{{{"1", "", ""}}, {}}, false, "punto di passaggio 1: y non è un numero: "},
        {{{{"1", "2", ""}}, {}}, true, "punto di passaggio 1: z non è un numero: "},
        {{{{"", "", ""}, {"a", "2", ""}}, {}}, false, "punto di passaggio 2: x non è un numero: a"},
        {{{}, {{"0", "1"}}}, false, "termine fisso 1: il numero del termine va da 1 a 15 (come nel rapporto): 0"},
        {{{}, {{"2.5", "1"}}}, false, "termine fisso 1: il numero del termine va da 1 a 15 (come nel rapporto): 2.5"},
        {{{}, {{"2", "x"}}}, false, "termine fisso 1: il valore non è un numero: x"},
    };
    FitOptionsForm minimaxWeighted;
    minimaxWeighted.minimax = true;
    minimaxWeighted.weighting = Weighting::Relative;
    forms.push_back({minimaxWeighted, false, "il minimo errore massimo non usa pesi: togliere i pesi o il minimo errore massimo"});
    for (const auto& [form, surface, message] : forms) EXPECT_EQ(optionsOf(form, surface).failure(), message);
}
