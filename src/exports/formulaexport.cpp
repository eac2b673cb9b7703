#include "exports/formulaexport.h"

#include "exports/exportenvelope.h"
#include "exports/exportequation.h"
#include "exports/exportnames.h"

#include <cctype>
#include <regex>

namespace calvero {

std::optional<std::string> cellReference(std::string_view text)
{
    // Columns A to XFD, rows 1 to 1048576, as both programs number them.
    static const std::regex reference(R"(\$?([A-Za-z]{1,3})\$?([1-9][0-9]{0,6}))");
    std::string cell(text);
    std::smatch parts;
    if (!std::regex_match(cell, parts, reference)) return std::nullopt;
    for (char& c : cell) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string column = parts[1];
    for (char& c : column) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if ((column.size() == 3 && column > "XFD") || std::stol(parts[2]) > 1048576) return std::nullopt;
    return cell;
}

Checked<std::string> spreadsheetFormula(const Calculation& c, const FormulaCells& cells, bool italian)
{
    const std::optional<ExportEquation> e = exportEquation(c);
    if (!e) return failed<std::string>(Refusal{RefusalCode::NoExport, {NoEquationMessage}});
    const std::optional<std::string> x = cellReference(cells.x), y = cellReference(cells.y);
    if (!x) return failed<std::string>(Refusal{RefusalCode::InvalidCell, {"cella di x non valida: " + cells.x}});
    if (e->twoVariables() && !y)
        return failed<std::string>(Refusal{RefusalCode::InvalidCell, {"cella di y non valida: " + cells.y}});
    return succeeded("=" + expressionText(*e, spreadsheetSyntax(*x, y.value_or(""), italian)));
}

Checked<std::string> spreadsheetFormulas(const Calculation& c, const std::string& name, const FormulaCells& cells)
{
    const Checked<std::string> english = spreadsheetFormula(c, cells, false);
    if (!english) return english;
    const Envelope envelope = pointEnvelope(c);
    const std::string label = objectName(name);
    std::string text = "# " + label + ": " + equationTitle(c) + ", x nella cella " + *cellReference(cells.x);
    if (envelope.twoVariables) text += ", y nella cella " + *cellReference(cells.y);
    text += "\n# la formula non controlla l'inviluppo dei punti, che il commento della cella nomina\n";
    text += "inglese: " + *english + "\n";
    text += "italiano: " + *spreadsheetFormula(c, cells, true) + "\n";
    text += "commento della cella: CALVERO1 " + label + ", " + equationTitle(c) + ";";
    for (const std::string& line : fitCommentLines(c)) text += " " + line;
    return succeeded(text + "\n");
}

std::string formulaHead()
{
    return "# CALVERO1: formule per il foglio di calcolo (LibreOffice, Excel)\n"
           "# la forma inglese per i programmi in inglese, l'italiana (virgola decimale) per quelli in italiano\n";
}

} // namespace calvero
