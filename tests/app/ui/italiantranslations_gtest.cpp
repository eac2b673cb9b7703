// Qt's standard dialogs speak Italian once the program has loaded Qt's own
// translations.
#include "app/ui/italiantranslations.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <gtest/gtest.h>

namespace calvero {
namespace {

struct DialogTexts {
    QString cancel, fileDialogTitle, printDialogTitle;
};

DialogTexts dialogTexts()
{
    QMessageBox box(QMessageBox::Question, "calvero1", "?", QMessageBox::Ok | QMessageBox::Cancel);
    QFileDialog files;
    QPrinter printer;
    QPrintDialog print(&printer);
    return {box.button(QMessageBox::Cancel)->text(), files.windowTitle(), print.windowTitle()};
}

TEST(ItalianTranslations, StandardDialogsSpeakItalian)
{
    const DialogTexts english = dialogTexts();
    ASSERT_TRUE(installItalianTranslations(*QCoreApplication::instance()));
    const DialogTexts italian = dialogTexts();
    EXPECT_EQ(italian.cancel, "Annulla");
    const std::pair<QString, QString> titles[] = {{english.fileDialogTitle, italian.fileDialogTitle},
                                                  {english.printDialogTitle, italian.printDialogTitle}};
    for (const auto& [before, after] : titles) EXPECT_NE(before, after) << before.toStdString();
}

} // namespace
} // namespace calvero
