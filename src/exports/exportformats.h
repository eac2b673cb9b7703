#pragma once
// The exports of a fitted equation for the programs that use it, in one
// place for the report window and the batch command: the formats, the
// choices they take, one calculation's piece of a file (an object, a row, a
// formula, a function) and the files they make, of one calculation or of
// many (a piece each, or a comment line saying why there is none).
#include "common/checked.h"
#include "fit/calculation.h"
#include "exports/ahri540export.h"
#include "exports/energyplusexport.h"
#include "exports/exportnames.h"
#include "exports/formulaexport.h"

#include <optional>
#include <string>
#include <string_view>

namespace calvero {

enum class ExportFormat { EnergyPlus, Ahri540, Formula, CFunction, PythonFunction };

inline constexpr ExportFormat ExportFormats[] = {ExportFormat::EnergyPlus, ExportFormat::Ahri540,
                                                 ExportFormat::Formula, ExportFormat::CFunction,
                                                 ExportFormat::PythonFunction};

struct ExportChoices {
    std::string name = DefaultCurveName; // the object's or function's name, before objectName
    std::optional<RatedPoint> rated;     // the simulation object normalized there
    TemperatureUnit units = TemperatureUnit::Celsius; // the compressor coefficients' temperatures
    FormulaCells cells;                  // the spreadsheet formula's parameters
};

// The format's name for programs and the command line ("energyplus",
// "ahri540", "formula", "c-function", "python-function"; calvero1-batch
// takes it after "--"), and the format of a name; nothing for another.
const char* exportFormatName(ExportFormat format);
std::optional<ExportFormat> exportFormatNamed(std::string_view name);

// The format's name in the window: "oggetto EnergyPlus (Curve:...)", ...
const char* exportCaption(ExportFormat format);
// The file name's ending the save dialog proposes: "idf", "csv", "txt", "c", "py".
const char* exportSuffix(ExportFormat format);

// One calculation's piece of the file, or why the format has none for it.
Checked<std::string> exportPiece(ExportFormat format, const Calculation& calculation, const ExportChoices& choices);

// What opens the file once, before its pieces.
std::string exportHead(ExportFormat format, const ExportChoices& choices);

// A comment line of the format holding the text, whatever bytes it came
// from: no line end, nothing the format would read as more than a comment.
std::string exportComment(ExportFormat format, std::string_view text);

// The whole file of one calculation: the head and its piece.
Checked<std::string> exportText(ExportFormat format, const Calculation& calculation, const ExportChoices& choices);

// The file of many calculations, built a piece at a time.
class ExportCollection {
public:
    ExportCollection(ExportFormat format, ExportChoices choices);
    // The calculation's piece under the name, or a comment with the refusal.
    void add(const Calculation& calculation, const std::string& name);
    // A comment that names what has no piece and why (a refused calculation,
    // an unreadable file).
    void addMissing(const std::string& name, const std::string& why);
    const std::string& text() const { return text_; }
    // Whether every calculation had its piece.
    bool complete() const { return complete_; }

private:
    ExportFormat format_;
    ExportChoices choices_;
    std::string text_;
    bool complete_ = true;
};

} // namespace calvero
