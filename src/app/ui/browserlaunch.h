#pragma once
// Opening a web address in the desktop's browser, with an answer when no
// browser takes it. Qt's own opener starts the desktop's opener (xdg-open)
// detached and reports success as soon as it runs, even when that finds no
// browser; here the opener runs as a child whose exit status is watched.
#include <QString>

#include <functional>

class QObject;

namespace calvero {

// Starts the desktop's opener for address and returns at once. onFailure runs
// later, from the event loop, when the opener cannot be started or ends
// saying that nothing could open the address. The opener lives as long as
// owner. Without xdg-open on the path, Qt's own opener is asked instead.
void openInBrowser(const QString& address, QObject* owner, std::function<void()> onFailure);

} // namespace calvero
