#pragma once
// The document's side of data set files (app/datasetformat.h has their
// text): loading a file into the document and the main window, and saving
// the document's data set.
#include "formats/datasetformat.h"
#include "app/frontend.h"
#include "common/checked.h"

#include <string>

namespace calvero {

// The first steps of a save, shared with the workbook export: counts the
// stored points and takes the kind and the degree from the main window into
// the document.
void takeSaveChoices(const Workspace& work);

// Saves the document's data set at path (created or overwritten): counts the
// stored points, takes kind, degree and temperatures from the main window,
// then writes the file, and beside it the file of the fit options (or removes
// an earlier one when no option is on) and, when the last fit was a typed
// equation, NAME.equazione.json. The Italian message when one could not be
// written (or the equation does not give what the chosen kind holds).
Failure writeDataSetFile(const Workspace& work, const std::string& path);

// Reads the file at path into the document and the main window, fills and
// sorts the point grid, and takes the fit options and the typed equation
// saved beside it (none when there is no such file); does not calculate. A
// file that cannot be read or does not hold a data set, or whose options or
// equation file is not valid, changes nothing and gives the Italian message.
Failure loadDataSetFile(const Workspace& work, const std::string& path);

} // namespace calvero
