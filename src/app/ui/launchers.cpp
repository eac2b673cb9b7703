#include "app/ui/launchers.h"

#include "app/launches.h"
#include "app/ui/browserlaunch.h"
#include "app/document.h"
#include "app/frontend.h"
#include "common/captureinbox.h"
#include "viewers/ui/helppage.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QUrl>

namespace calvero {

namespace {
// The browser's answer comes later, from the event loop: the main window's
// presenter shows it, or a box of its own when there is none.
void tellUser(QWidget* parent, Presenter* presenter, const std::string& text)
{
    if (presenter) {
        presenter->showMessage(text);
        return;
    }
    QMessageBox::warning(parent, "calvero1", QString::fromStdString(text));
}

std::string programFolder(const Document& document)
{
    // Set by the main window at start-up; before that, the binary's own folder.
    const std::string& folder = document.programFolder;
    return folder.empty() ? QCoreApplication::applicationDirPath().toStdString() + "/" : folder;
}

bool startCaptureTool(const CaptureToolLookup& tool, const QString& inbox)
{
    const QString path = QString::fromStdString(tool.path);
    if (tool.openedByDesktop)
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    // Its own process, not waited for; it may send its points to our inbox.
    QProcess process;
    process.setProgram(path);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!inbox.isEmpty()) environment.insert(QString::fromLatin1(CaptureInboxVariable), inbox);
    process.setProcessEnvironment(environment);
    return process.startDetached();
}
} // namespace

void openDocumentation(QWidget* parent, const Workspace& work)
{
    showHelpPage(DocumentationCaption, work.document.programFolder, parent);
}

Failure launchCaptureTool(const Workspace& work, const QString& inbox)
{
    const CaptureToolLookup tool = findCaptureTool(programFolder(work.document));
    if (!tool.found) return tool.message;
    if (!startCaptureTool(tool, inbox)) return captureToolStartFailure(tool.path);
    return std::nullopt;
}

void openMakerWebSite(QWidget* parent, const Workspace& work) { openWebPage(MakerWebAddress, parent, work.presenter); }

void openWebPage(const std::string& address, QWidget* parent, Presenter* presenter)
{
    openInBrowser(QString::fromStdString(address), parent,
                  [parent, presenter, address] { tellUser(parent, presenter, webPageFailure(address)); });
}

} // namespace calvero
