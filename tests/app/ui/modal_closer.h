#pragma once
// What the window tests share: a closer of the modal windows a command opens.
#include "viewers/ui/reportwindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QTextEdit>
#include <QTimer>

namespace calvero::testing {

// Closes every modal window as soon as it is shown, remembering which it
// was (a report with its first line, a message box with its icon).
class ModalCloser : public QObject {
public:
    ModalCloser()
    {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == last_) return;
            last_ = modal;
            QString what = modal->metaObject()->className();
            if (auto* report = qobject_cast<ReportWindow*>(modal))
                what += ":" + report->reportText()->toPlainText().section('\n', 0, 0);
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                what += box->icon() == QMessageBox::Warning ? ":warning" : box->icon() == QMessageBox::Information ? ":information" : ":other";
            shown << what;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                QTimer::singleShot(0, dialog, [dialog, this] {
                    dialog->reject();
                    last_ = nullptr;
                });
            }
        });
        timer_.start();
    }
    QStringList shown;

private:
    QTimer timer_;
    QWidget* last_ = nullptr;
};

} // namespace calvero::testing
