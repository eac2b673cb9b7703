#pragma once
// The standard print dialog (printer, copies, pages) before a print job.
#include <functional>

class QPrinter;
class QWidget;

namespace calvero {

// Shows the dialog for the printer; true when the user chose to print.
// Tests replace it with a function of the same shape.
using PrintDialogRunner = std::function<bool(QPrinter&)>;
PrintDialogRunner standardPrintDialog(QWidget* parent);

} // namespace calvero
