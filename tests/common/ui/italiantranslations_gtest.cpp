// Qt's standard dialogs speak Italian once the program has loaded Qt's own
// translations.
#include "common/ui/italiantranslations.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
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

// Every caption and tip of the print dialog's page choices and options.
QStringList printDialogCaptions()
{
    QPrinter printer;
    QPrintDialog dialog(&printer);
    QStringList captions;
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        captions << button->text() << button->toolTip();
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) captions << group->title();
    for (const QWidget* widget : dialog.findChildren<QWidget*>()) captions << widget->toolTip();
    return captions;
}

TEST(ItalianTranslations, StandardDialogsSpeakItalian)
{
    const QStringList english = dialogTexts();
    ASSERT_TRUE(installItalianTranslations(*QCoreApplication::instance()));
    const QStringList italian = dialogTexts();
    EXPECT_EQ(italian[0], "Annulla");
    for (int i = 1; i < english.size(); ++i) EXPECT_NE(english[i], italian[i]) << english[i].toStdString();

    // The texts Qt's own translation leaves out, by the source texts the dialog really uses.
    const QStringList captions = printDialogCaptions();
    EXPECT_TRUE(captions.contains("Pagine"));
    for (const char* untranslated : {"Pages", "Double Sided Printing", "Off", "Long side binding", "Short side binding"})
        EXPECT_FALSE(captions.contains(untranslated)) << untranslated;
    for (const QString& caption : captions) EXPECT_FALSE(caption.startsWith("Specify pages")) << caption.toStdString();
}

} // namespace
} // namespace calvero
