#include "exports/exportformats.h"

#include "common/utf8.h"
#include "exports/functionexport.h"

namespace calvero {

const char* exportCaption(ExportFormat format)
{
    switch (format) {
    case ExportFormat::EnergyPlus: return "oggetto EnergyPlus (Curve:...)";
    case ExportFormat::Ahri540: return "coefficienti AHRI 540 / EN 12900";
    case ExportFormat::Formula: return "formula del foglio di calcolo";
    case ExportFormat::CFunction: return "funzione C";
    case ExportFormat::PythonFunction: return "funzione Python";
    }
    return "";
}

const char* exportSuffix(ExportFormat format)
{
    switch (format) {
    case ExportFormat::EnergyPlus: return "idf";
    case ExportFormat::Ahri540: return "csv";
    case ExportFormat::Formula: return "txt";
    case ExportFormat::CFunction: return "c";
    case ExportFormat::PythonFunction: return "py";
    }
    return "";
}

const char* exportFormatName(ExportFormat format)
{
    switch (format) {
    case ExportFormat::EnergyPlus: return "energyplus";
    case ExportFormat::Ahri540: return "ahri540";
    case ExportFormat::Formula: return "formula";
    case ExportFormat::CFunction: return "c-function";
    case ExportFormat::PythonFunction: return "python-function";
    }
    return "";
}

std::optional<ExportFormat> exportFormatNamed(std::string_view name)
{
    for (ExportFormat format : ExportFormats)
        if (name == exportFormatName(format)) return format;
    return std::nullopt;
}

Checked<std::string> exportPiece(ExportFormat format, const Calculation& c, const ExportChoices& choices)
{
    switch (format) {
    case ExportFormat::EnergyPlus: return energyPlusObject(c, choices.name, choices.rated);
    case ExportFormat::Ahri540: return ahri540Coefficients(c, choices.name, choices.units);
    case ExportFormat::Formula: return spreadsheetFormulas(c, choices.name, choices.cells);
    case ExportFormat::CFunction: return cFunction(c, choices.name);
    case ExportFormat::PythonFunction: return pythonFunction(c, choices.name);
    }
    return failed<std::string>(Refusal{RefusalCode::UnknownFormat, {"formato sconosciuto"}});
}

std::string exportHead(ExportFormat format, const ExportChoices& choices)
{
    switch (format) {
    case ExportFormat::EnergyPlus: return energyPlusHead();
    case ExportFormat::Ahri540: return ahri540Head(choices.units);
    case ExportFormat::Formula: return formulaHead();
    case ExportFormat::CFunction: return cFunctionHead();
    case ExportFormat::PythonFunction: return pythonFunctionHead();
    }
    return {};
}

std::string exportComment(ExportFormat format, std::string_view text)
{
    std::string line = validText(text);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    if (format == ExportFormat::CFunction) {
        // A backslash at the end would carry the comment onto the next line,
        // and so would the trigraph ??/ that C99 reads as one.
        for (char& c : line)
            if (c == '\\') c = '/';
        for (std::size_t at = line.find("??"); at != std::string::npos; at = line.find("??", at)) line[at + 1] = '-';
        return "// " + line + "\n";
    }
    return std::string(format == ExportFormat::EnergyPlus ? "! " : "# ") + line + "\n";
}

namespace {

// Between the head and a piece and between two pieces: a blank line, but
// none inside the table of coefficients.
const char* pieceSeparator(ExportFormat format) { return format == ExportFormat::Ahri540 ? "" : "\n"; }

} // namespace

Checked<std::string> exportText(ExportFormat format, const Calculation& c, const ExportChoices& choices)
{
    const Checked<std::string> piece = exportPiece(format, c, choices);
    if (!piece) return piece;
    return succeeded(exportHead(format, choices) + pieceSeparator(format) + *piece);
}

ExportCollection::ExportCollection(ExportFormat format, ExportChoices choices)
    : format_(format), choices_(std::move(choices)), text_(exportHead(format_, choices_))
{
}

void ExportCollection::add(const Calculation& c, const std::string& name)
{
    ExportChoices choices = choices_;
    choices.name = name;
    const Checked<std::string> piece = exportPiece(format_, c, choices);
    if (!piece) return addMissing(name, piece.failure());
    text_ += pieceSeparator(format_) + *piece;
}

void ExportCollection::addMissing(const std::string& name, const std::string& why)
{
    text_ += pieceSeparator(format_) + exportComment(format_, objectName(name) + ": " + why);
    complete_ = false;
}

} // namespace calvero
