#pragma once
// Qt's own Italian texts, so that the standard dialogs (files, messages,
// printing) speak the program's language, with the few texts of the print
// dialog that Qt's translation leaves in English supplied here.
class QCoreApplication;

namespace calvero {

// Loads qtbase_it from Qt's translations folder into app, and the texts it
// lacks. False when the translations are not installed: the dialogs then stay
// in English.
bool installItalianTranslations(QCoreApplication& app);

} // namespace calvero
