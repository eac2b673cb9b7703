#pragma once
// The report on paper: Courier New at 10 points, one printed line for each
// line of the report, as many pages as it takes.
#include "common/ui/printdialog.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPrinter;

namespace calvero {

// Lays the printer's sheet upright or across so that the widest line fits
// (reportpage.h) and prints the lines. False when the printer refuses the job.
bool printReport(QPrinter& printer, const std::vector<std::string>& lines);

// Where a window prints: whether there is a printer, its dialog, and the PDF
// file to print into when there is none (empty: cancelled).
struct PrintChoices {
    std::function<bool()> printerQuery;
    PrintDialogRunner printDialog;
    std::function<QString()> pdfFileChooser;
};

// The lines printed as a report under the job's name, after the print dialog,
// or into the PDF file chosen. The Italian message when it failed; nothing
// when it was printed or the user cancelled.
std::optional<QString> printLines(const PrintChoices& choices, const std::vector<std::string>& lines,
                                  const QString& jobName);

} // namespace calvero
