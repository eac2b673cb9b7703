#pragma once
// The main window's data set commands once their dialogs have given a path:
// "&Salva i dati su disco", "&Leggi i dati dal disco", "&Esempi", and the
// start-up state of the data set they share with start-up.
#include <string>

namespace calvero {

// Writes the data set file, makes it the current data set, then exports the
// workbook named after it. Returns false when the data set file could not be
// written (the export does not run then). The export shows one message:
// the workbook saved, or why it was not.
bool saveDataSet(const std::string& path);

// Reads the data set file, refills the grid from the data set, counts the
// points and runs the calculation of the file's kind. Returns false when the
// file was not read (nothing is calculated then).
bool readAndCalculate(const std::string& path);

// Empties the data set; kind "POLINOMIO", degree 2, in the fit state and in
// the main window.
void resetDataSet();

// Reads and calculates the six examples in turn; a file that cannot be read
// ends the sequence, a calculation that is refused does not.
void runExamples();

} // namespace calvero
