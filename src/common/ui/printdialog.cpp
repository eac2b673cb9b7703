#include "common/ui/printdialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace calvero {

PrintDialogRunner standardPrintDialog(QWidget* parent)
{
    return [parent](QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
}

} // namespace calvero
