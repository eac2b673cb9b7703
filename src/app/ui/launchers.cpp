#include "app/ui/launchers.h"

#include "app/launches.h"
#include "fit/frontend.h"
#include "fit/session.h"
#include "viewers/ui/helppage.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QString>
#include <QUrl>

namespace calvero {

namespace {
void tellUser(QWidget* parent, const std::string& text)
{
    if (Presenter* shown = presenter()) {
        shown->showMessage(text);
        return;
    }
    QMessageBox::information(parent, "calvero1", QString::fromStdString(text));
}

std::string programFolder()
{
    // Set by the main window at start-up; before that, the binary's own folder.
    const std::string& folder = session().programFolder;
    return folder.empty() ? QCoreApplication::applicationDirPath().toStdString() + "/" : folder;
}

bool startCaptureTool(const CaptureToolLookup& tool)
{
    const QString path = QString::fromStdString(tool.path);
    if (tool.openedByDesktop)
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    // Its own process, not waited for, and nothing exchanged with it.
    return QProcess::startDetached(path, {});
}
} // namespace

void openDocumentation(QWidget* parent) { showHelpPage(DocumentationCaption, parent); }

void launchCaptureTool(QWidget* parent)
{
    const CaptureToolLookup tool = findCaptureTool(programFolder());
    if (!tool.found) {
        tellUser(parent, tool.message);
        return;
    }
    if (!startCaptureTool(tool))
        tellUser(parent, captureToolStartFailure(tool.path));
}

void openMakerWebSite(QWidget* parent) { openWebPage(MakerWebAddress, parent); }

bool openWebPage(const std::string& address, QWidget* parent)
{
    if (QDesktopServices::openUrl(QUrl(QString::fromStdString(address))))
        return true;
    tellUser(parent, webPageFailure(address));
    return false;
}

} // namespace calvero
