#pragma once
// Opening the documentation.
#include <string>

class QWidget;

namespace calvero {

// Makes a new help window with the given caption, shows it modally on its
// first page (calvero1.htm in programFolder) and returns when the user has closed it; the window is gone then.
void showHelpPage(const std::string& caption, const std::string& programFolder, QWidget* parent = nullptr);

} // namespace calvero
