#include "app/equationcommand.h"

#include "app/document.h"
#include "common/numtext.h"
#include "entry/equationinput.h"
#include "fit/equationparser.h"

#include <algorithm>

namespace calvero {

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One cell: none when empty, its number (a decimal comma as a point), or the refusal.
Checked<std::optional<double>> cellValue(const std::string& text, const std::string& name, const char* what)
{
    const std::string cell = trimmed(text);
    if (cell.empty()) return succeeded(std::optional<double>{});
    if (const auto value = parseDecimal(commaToPoint(cell))) return succeeded(std::optional<double>{*value});
    return failed<std::optional<double>>(std::string(what) + " di " + name + " non numerico: " + cell);
}

} // namespace

const ParameterCells* cellsNamed(const std::vector<ParameterCells>& cells, const std::string& name)
{
    const auto found = std::find_if(cells.begin(), cells.end(), [&](const ParameterCells& c) { return c.name == name; });
    return found == cells.end() ? nullptr : &*found;
}

Checked<ParameterSettings> readParameterCells(const std::vector<ParameterCells>& cells,
                                              const std::vector<std::string>& names)
{
    ParameterSettings settings;
    for (auto* list : {&settings.start, &settings.fixed, &settings.lower, &settings.upper})
        list->assign(names.size(), std::nullopt);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const ParameterCells* row = cellsNamed(cells, names[i]);
        if (!row) continue;
        const std::pair<const std::string*, const char*> columns[] = {
            {&row->start, "valore iniziale"}, {&row->fixed, "valore fisso"}, {&row->lower, "minimo"}, {&row->upper, "massimo"}};
        std::vector<std::optional<double>>* lists[] = {&settings.start, &settings.fixed, &settings.lower, &settings.upper};
        for (int c = 0; c < 4; ++c) {
            const auto value = cellValue(*columns[c].first, names[i], columns[c].second);
            if (!value) return failed<ParameterSettings>(value.refusal);
            (*lists[c])[i] = *value;
        }
    }
    return succeeded(std::move(settings));
}

Checked<EquationFit> fitDocumentEquation(Document& document, const std::string& equationText,
                                         const std::vector<ParameterCells>& cells)
{
    Checked<ParsedEquation> equation = readEquation(equationText);
    if (!equation) return failed<EquationFit>(equation.refusal);
    Checked<ParameterSettings> settings = readParameterCells(cells, equation->parameters);
    if (!settings) return failed<EquationFit>(settings.refusal);
    Checked<EquationGridPoints> points = readEquationPoints(document.grid, equation->twoVariables, false);
    if (!points) return failed<EquationFit>(points.refusal);
    EquationInput input;
    input.equation = *equation;
    input.points = std::move(points->points);
    input.settings = *settings;
    // A weight column belongs to a point file, and the grid has none for an equation.
    if (document.options.weighting == Weighting::Relative) input.weighting = Weighting::Relative;
    Checked<EquationFit> fit = fitEquation(std::move(input));
    if (fit) document.lastEquation = SavedEquation{std::move(*equation), std::move(*settings)};
    return fit;
}

} // namespace calvero
