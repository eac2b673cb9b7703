#include "exports/functionexport.h"

#include "exports/exportenvelope.h"
#include "exports/exportequation.h"
#include "exports/exportnames.h"

namespace calvero {

namespace {

std::string commentLines(const std::string& prefix, const Calculation& c, const std::string& name)
{
    std::string text = prefix + " " + name + ": " + equationTitle(c) + ", " + std::to_string(c.pointCount) +
                       " punti (CALVERO1)\n";
    for (const std::string& line : fitCommentLines(c)) text += prefix + " " + line + "\n";
    return text;
}

// The C test of the envelope: the same comparisons, in the same order, as insideEnvelope.
std::string cEnvelopeTest(const Envelope& e, const ExpressionSyntax& s)
{
    const auto n = [&](double v) { return literalText(v, s); };
    const std::string xTest = "x >= " + n(e.xMin) + " && x <= " + n(e.xMax);
    if (!e.twoVariables) return "    int outside = !(" + xTest + ");\n    (void)y;\n";
    const std::string corners = std::to_string(e.hull.size());
    std::string text = "    static const double hull[" + corners + "][2] = {";
    for (std::size_t i = 0; i < e.hull.size(); ++i)
        text += std::string(i ? ", " : "") + "{" + n(e.hull[i].x) + ", " + n(e.hull[i].y) + "}";
    text += "};\n";
    text += "    const double sx = " + n(e.xScale()) + ", sy = " + n(e.yScale()) + ";\n";
    text += "    int outside = !(" + xTest + " && y >= " + n(e.yMin) + " && y <= " + n(e.yMax) + ");\n";
    text += "    int i;\n";
    text += "    for (i = 0; i < " + corners + " && !outside; ++i) {\n";
    text += "        const double* a = hull[i];\n";
    text += "        const double* b = hull[(i + 1) % " + corners + "];\n";
    text += "        if ((b[0] - a[0]) / sx * ((y - a[1]) / sy) - (b[1] - a[1]) / sy * ((x - a[0]) / sx) < " +
            n(-EnvelopeTolerance) + ")\n";
    text += "            outside = 1;\n";
    text += "    }\n";
    return text;
}

std::string pythonEnvelopeTest(const Envelope& e, const ExpressionSyntax& s)
{
    const auto n = [&](double v) { return literalText(v, s); };
    const std::string xTest = "x >= " + n(e.xMin) + " and x <= " + n(e.xMax);
    if (!e.twoVariables) return "    if not extrapolate and not (" + xTest + "):\n        return math.nan\n";
    std::string text = "    if not extrapolate:\n";
    text += "        if not (" + xTest + " and y >= " + n(e.yMin) + " and y <= " + n(e.yMax) + "):\n";
    text += "            return math.nan\n";
    text += "        hull = (";
    for (std::size_t i = 0; i < e.hull.size(); ++i)
        text += std::string(i ? ", " : "") + "(" + n(e.hull[i].x) + ", " + n(e.hull[i].y) + ")";
    text += ")\n";
    text += "        sx, sy = " + n(e.xScale()) + ", " + n(e.yScale()) + "\n";
    text += "        for (ax, ay), (bx, by) in zip(hull, hull[1:] + hull[:1]):\n";
    text += "            if (bx - ax) / sx * ((y - ay) / sy) - (by - ay) / sy * ((x - ax) / sx) < " +
            n(-EnvelopeTolerance) + ":\n";
    text += "                return math.nan\n";
    return text;
}

} // namespace

Checked<std::string> cFunction(const Calculation& c, const std::string& name)
{
    const std::optional<ExportEquation> e = exportEquation(c);
    if (!e) return failed<std::string>(Refusal{RefusalCode::NoExport, {NoEquationMessage}});
    const ExpressionSyntax s = cSyntax();
    const Envelope envelope = pointEnvelope(c);
    const std::string function = identifierName(name);
    std::string text = commentLines("//", c, function);
    text += "// 0 dentro l'inviluppo dei punti, 1 fuori; *value riceve il valore in ogni caso\n";
    text += "int " + function + "(double x, double y, double* value)\n{\n";
    text += cEnvelopeTest(envelope, s);
    text += "    if (value)\n        *value = " + expressionText(*e, s) + ";\n";
    text += "    return outside;\n}\n";
    return succeeded(text);
}

Checked<std::string> pythonFunction(const Calculation& c, const std::string& name)
{
    const std::optional<ExportEquation> e = exportEquation(c);
    if (!e) return failed<std::string>(Refusal{RefusalCode::NoExport, {NoEquationMessage}});
    const ExpressionSyntax s = pythonSyntax();
    const Envelope envelope = pointEnvelope(c);
    const std::string function = identifierName(name);
    std::string text = commentLines("#", c, function);
    text += "def " + function + (envelope.twoVariables ? "(x, y, extrapolate=False):\n" : "(x, extrapolate=False):\n");
    text += "    \"\"\"Equazione adattata con CALVERO1: " + equationTitle(c) + ".\n\n";
    text += "    NaN fuori dall'inviluppo dei punti, salvo con extrapolate=True.\n    \"\"\"\n";
    text += pythonEnvelopeTest(envelope, s);
    text += "    return (" + expressionText(*e, s) + ")\n";
    return succeeded(text);
}

std::string cFunctionHead()
{
    return "// CALVERO1: le curve adattate come funzioni C (C99)\n"
           "#include <math.h>\n";
}

std::string pythonFunctionHead()
{
    return "# CALVERO1: le curve adattate come funzioni Python\n"
           "import math\n";
}

} // namespace calvero
