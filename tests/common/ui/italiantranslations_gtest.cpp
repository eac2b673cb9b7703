// Qt's standard dialogs speak Italian once the program has loaded Qt's own
// translations.
#include "common/ui/italiantranslations.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <gtest/gtest.h>

namespace calvero {
namespace {

// The Cancel button of a message box and the titles of the file and print dialogs.
QStringList dialogTexts()
{
    QMessageBox box(QMessageBox::Question, "calvero1", "?", QMessageBox::Ok | QMessageBox::Cancel);
    QPrinter printer;
    return {box.button(QMessageBox::Cancel)->text(), QFileDialog().windowTitle(), QPrintDialog(&printer).windowTitle()};
}

TEST(ItalianTranslations, StandardDialogsSpeakItalian)
{
    const QStringList english = dialogTexts();
    ASSERT_TRUE(installItalianTranslations(*QCoreApplication::instance()));
    const QStringList italian = dialogTexts();
    EXPECT_EQ(italian[0], "Annulla");
    for (int i = 1; i < english.size(); ++i) EXPECT_NE(english[i], italian[i]) << english[i].toStdString();
}

} // namespace
} // namespace calvero
