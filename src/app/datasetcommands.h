#pragma once
// The main window's data set commands once their dialogs have given a path:
// "&Salva i dati su disco", "&Leggi i dati dal disco" (with its offer to
// import a point file), "&Esempi", "&Cancella i dati", the start-up state of
// the data set they share with start-up, and whether leaving would lose what
// the user typed.
#include "app/frontend.h"

#include <optional>
#include <string>

namespace calvero {

struct Document;
struct ExportSource;

// What the workbook of the document is written from.
ExportSource exportSource(const Document& document);

// Writes the data set file, makes it the current data set, then exports the
// workbook named after it. The failure when the data set file could not be
// written (the export does not run then). The export tells one message: the
// workbook saved, or why it was not.
Failure saveDataSet(const Workspace& work, const std::string& path);

// What the save command asks before writing the data set file, its options
// file or its workbook over the point file the points were imported from;
// nothing when it writes none of them.
std::optional<std::string> saveOverImportQuestion(const Document& document, const std::string& path);

// Reads the data set file, refills the grid from the data set, counts the
// points and runs the calculation of the file's kind. The failure when the
// file was not read (nothing is calculated then) or the calculation's refusal.
Failure readAndCalculate(const Workspace& work, const std::string& path);

// "calvero1 FILE": a data set file is read and calculated as by
// readAndCalculate; a point file or workbook is imported into the point grid
// by importPoints. The failure when a data set file was not read, the
// calculation's refusal, or what the import says.
Failure openFile(const Workspace& work, const std::string& path);

// Whether the file holds points to import rather than a data set: a point
// file or a workbook by its ending, whose first lines are not a data set's.
bool holdsPointsOnly(const std::string& path);

// Imports a point file or workbook into the point grid as the point-entry
// window imports it (a workbook from its row 2); what the import says.
Failure importPoints(const Workspace& work, const std::string& path);

// The question "&Leggi i dati dal disco" asks of a point file.
std::string importInsteadQuestion(const std::string& path);

// Whether leaving now would lose what the user typed, pasted or imported:
// the points the grid holds (read as a calculation reads them) or the two
// temperature fields differ from what the data set file last saved or read
// holds. An empty grid with empty fields has nothing to lose.
bool hasUnsavedData(const Workspace& work);

// Zeroes the points, empties the point grid and the two temperature fields.
// Kind, degree, counts and the kept coefficients stay.
void clearDataSet(const Workspace& work);

// Empties the data set; kind "POLINOMIO", degree 2, in the document and in
// the main window; no fit option.
void resetDataSet(const Workspace& work);

// Reads and calculates the six examples in turn; a file that cannot be read
// ends the sequence and is its failure, a calculation that is refused is told
// there and then and the sequence goes on.
Failure runExamples(const Workspace& work);

} // namespace calvero
