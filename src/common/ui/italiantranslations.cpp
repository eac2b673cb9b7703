#include "common/ui/italiantranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

namespace calvero {

namespace {

struct MissingText {
    const char* context;
    const char* source;
    const char* italian;
};

// The texts of the print dialog that Debian's qtbase_it.qm (Qt 6.4) leaves in
// English, with Qt's own source texts.
constexpr MissingText MissingTexts[] = {
    {"QPrintSettingsOutput", "Pages", "Pagine"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. "
     "E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "Pagine o intervalli separati da virgole; un intervallo \u00e8 dato da due numeri separati da un trattino. "
     "Per esempio 3,5-7,9 stampa le pagine 3, 5, 6, 7 e 9."},
    {"QPrintSettingsOutput", "Double Sided Printing", "Stampa fronte/retro"},
    {"QPrintSettingsOutput", "Off", "No"},
    {"QPrintSettingsOutput", "Long side binding", "Rilegatura sul lato lungo"},
    {"QPrintSettingsOutput", "Short side binding", "Rilegatura sul lato corto"},
    {"QPrintDialog", "Invalid Pages Definition", "Pagine non valide"},
    {"QPrintDialog",
     "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to define ranges and "
     "make sure ranges do not intersect with each other.",
     "%1 non \u00e8 scritto correttamente: separare pagine e intervalli con ',', indicare gli intervalli con '-' "
     "e fare in modo che non si sovrappongano."},
    {"QPrintPropertiesWidget", "Advanced", "Avanzate"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     "Alcune opzioni sono in conflitto: correggerle."},
    {"QPrintPropertiesDialog", "Advanced Option Conflicts", "Opzioni avanzate in conflitto"},
    {"QPrintPropertiesDialog", "There are conflicts in some advanced options. Do you want to fix them?",
     "Alcune opzioni avanzate sono in conflitto. Correggerle?"},
    {"QPPDOptionsModel", "Name", "Nome"},
    {"QPPDOptionsModel", "Value", "Valore"},
};

// Answers only for the texts above; Qt then asks the translators installed
// before it, qtbase_it among them.
class MissingItalianTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override
    {
        (void)disambiguation;
        (void)n;
        if (context == nullptr || sourceText == nullptr) return {};
        for (const MissingText& text : MissingTexts)
            if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, sourceText) == 0)
                return QString::fromUtf8(text.italian);
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

bool installItalianTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    // Installed last, it is asked first.
    return QCoreApplication::installTranslator(translator) &&
           QCoreApplication::installTranslator(new MissingItalianTexts(&app));
}

} // namespace calvero
