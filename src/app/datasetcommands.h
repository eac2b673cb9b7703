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
// workbook named after it. The points saved are the grid's, read as a
// calculation reads them, and the coefficients saved those of their
// calculation, made now: when it is refused, the file's coefficient lines
// are zero and the workbook has no coefficients, and the message says so.
// The failure when the data set file could not be written (the export does
// not run then), when a cell of the grid is not a number, or when the path
// is a point file (which a data set would overwrite); nothing is written
// then. The export tells one message: the workbook saved, or why it was not.
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
// window imports it (a workbook from its row 2): its points replace the whole
// point set, as pointsImported then records. What the import says.
Failure importPoints(const Workspace& work, const std::string& path);

// After the points of a file replaced the grid's: no data set file is
// current any more (so that "Salva" asks for a name), the titles name the
// point file, and the surface's weights of the points before are dropped.
// Kind, degree and fit options stay.
void pointsImported(Document& document, const std::string& path);

// What the report's and the graph's titles name: the data set file, or the
// point file imported followed by " (punti importati)"; empty for points
// only typed.
std::string pointsCaption(const Document& document);

// The question "&Leggi i dati dal disco" asks of a point file.
std::string importInsteadQuestion(const std::string& path);

// Whether leaving now would lose what the user typed, pasted or imported:
// the points the grid holds (read as a calculation reads them) or the two
// temperature fields differ from what the data set file last saved or read
// holds. An empty grid with empty fields has nothing to lose.
bool hasUnsavedData(const Workspace& work);

// Zeroes the points, empties the point grid and the two temperature fields,
// and forgets the point file imported. Kind, degree, counts and the kept
// coefficients stay.
void clearDataSet(const Workspace& work);

// Empties the data set; kind "POLINOMIO", degree 2, in the document and in
// the main window; no fit option.
void resetDataSet(const Workspace& work);

// Reads and calculates the six examples in turn; a file that cannot be read
// ends the sequence and is its failure, a calculation that is refused is told
// there and then and the sequence goes on.
Failure runExamples(const Workspace& work);

} // namespace calvero
