#pragma once
// The document's side of data set files (app/datasetformat.h has their
// text): loading a file into the document and the main window, and saving
// the document's data set.
#include "app/datasetformat.h"
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
// then writes the file. The Italian message when it could not be written.
Failure writeDataSetFile(const Workspace& work, const std::string& path);

// Reads the file at path into the document and the main window, fills and
// sorts the point grid; does not calculate. A file that cannot be read or
// does not hold a data set changes nothing and gives the Italian message.
Failure loadDataSetFile(const Workspace& work, const std::string& path);

} // namespace calvero
