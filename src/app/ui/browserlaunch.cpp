#include "app/ui/browserlaunch.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace calvero {

void openInBrowser(const QString& address, QObject* owner, std::function<void()> onFailure)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl(address)) && onFailure) onFailure();
        return;
    }
    // The opener may stay while the browser it started runs; its messages go
    // where the program's own go.
    auto* process = new QProcess(owner);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::errorOccurred, process, [process, onFailure](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        if (onFailure) onFailure();
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, onFailure](int code, QProcess::ExitStatus status) {
        if ((status != QProcess::NormalExit || code != 0) && onFailure) onFailure();
        process->deleteLater();
    });
    process->start(opener, {address});
}

} // namespace calvero
