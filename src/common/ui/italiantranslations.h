#pragma once
// Qt's own Italian texts, so that the standard dialogs (files, messages,
// printing) speak the program's language.
class QCoreApplication;

namespace calvero {

// Loads qtbase_it from Qt's translations folder into app. False when the
// translations are not installed: the dialogs then stay in English.
bool installItalianTranslations(QCoreApplication& app);

} // namespace calvero
