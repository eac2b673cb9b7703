// digitora's window: pictures in, points out, sessions.
#include "capture/ui/capturewindow.h"

#include "common/captureinbox.h"

#include "capture/pointexport.h"
#include "capture/sessionfile.h"
#include "common/captureinbox.h"
#include "common/filewrite.h"
#include "common/systemerror.h"
#include "capture/ui/digitoraparts.h"
#include "capture/ui/pictureload.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>

#include <algorithm>
#include <functional>

namespace calvero {

using namespace capture;
using digitora::text;

// ---- pictures ---------------------------------------------------------------

bool CaptureWindow::openPicture(const QString& chosen)
{
    const QString path = chosen.isEmpty() && fileChooser_ ? fileChooser_(FileRequest::OpenPicture) : chosen;
    if (path.isEmpty()) return false;
    int page = 1;
    double dpi = dpi_;
    if (isPdfFile(path.toStdString())) {
        const Checked<int> pages = pdfPageCount(path.toStdString());
        if (!pages) {
            showMessage(text(pages.failure()));
            return false;
        }
        if (*pages > 1) {
            const std::optional<int> asked = pageAsker_ ? pageAsker_(*pages) : std::optional<int>(1);
            if (!asked) return false;
            page = *asked;
        }
        const std::optional<double> resolution = resolutionAsker_ ? resolutionAsker_(dpi_) : std::optional<double>(dpi_);
        if (!resolution) return false;
        dpi = *resolution;
    }
    if (!confirmLosingWork()) return false;
    Checked<PixelBuffer> loaded = loadPicture(path.toStdString(), page, dpi);
    if (!loaded) {
        showMessage(text(loaded.failure()));
        return false;
    }
    takePicture(std::move(*loaded), QFileInfo(path).absoluteFilePath(), page, dpi);
    return true;
}

bool CaptureWindow::pastePicture()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data && !data->hasImage() && data->hasUrls() && data->urls().first().isLocalFile())
        return openPicture(data->urls().first().toLocalFile()); // a file copied in the file manager
    const QImage image = data && data->hasImage() ? QApplication::clipboard()->image() : QImage();
    if (image.isNull()) {
        showMessage(QStringLiteral("gli appunti non contengono un'immagine"));
        return false;
    }
    if (!confirmLosingWork()) return false;
    Checked<PixelBuffer> pasted = pictureFromImage(image);
    if (!pasted) {
        showMessage(text(pasted.failure()));
        return false;
    }
    takePicture(std::move(*pasted), QString(), 1, dpi_);
    return true;
}

void CaptureWindow::takePicture(PixelBuffer picture, const QString& path, int page, double dpi,
                            std::optional<CaptureState> capture)
{
    // The view draws straight from the pixels, so it lets go of them first.
    view_->setImage(QImage());
    picture_ = std::move(picture);
    picturePath_ = path;
    page_ = page;
    dpi_ = dpi;
    view_->setImage(imageOf(picture_));
    const QSize room = scroll_->viewport()->size();
    view_->setZoom(std::min({1.0, double(room.width()) / picture_.width(), double(room.height()) / picture_.height()}));
    if (!capture) {
        capture.emplace();
        capture->curves.push_back(digitora::newCurve(0));
    }
    {
        // A new picture starts with linear axes; a session's axes set them again.
        const QSignalBlocker quietX(logX_), quietY(logY_);
        logX_->setChecked(false);
        logY_->setChecked(false);
    }
    document_.reset(*capture);
    currentCurve_ = 0;
    pickedColour_.reset();
    colourSwatch_->setText(QStringLiteral("nessuno"));
    colourSwatch_->setPalette(QPalette());
    placing_ = -1;
    unsaved_ = false;
    const QString name = path.isEmpty() ? QStringLiteral("immagine incollata") : QFileInfo(path).fileName();
    setWindowTitle(QStringLiteral("digitora - %1").arg(name) + (page > 1 ? QStringLiteral(" (pagina %1)").arg(page) : QString()));
    setTool(CaptureView::Tool::AddPoint);
}

void CaptureWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile()) event->acceptProposedAction();
}

void CaptureWindow::dropEvent(QDropEvent* event)
{
    const QString path = event->mimeData()->urls().first().toLocalFile();
    event->acceptProposedAction();
    // The drop ends before any message box opens.
    QMetaObject::invokeMethod(this, [this, path] { openPicture(path); }, Qt::QueuedConnection);
}

void CaptureWindow::closeEvent(QCloseEvent* event)
{
    if (confirmLosingWork()) event->accept();
    else event->ignore();
}

// ---- points out and sessions ---------------------------------------------------

QString CaptureWindow::sessionPicture(const QString& sessionPath, const QString& saved)
{
    // A picture named relative to the session file is looked for beside it;
    // one that has moved, beside the session under its own name.
    const QString folder = QFileInfo(sessionPath).absolutePath();
    const QString named = QFileInfo(saved).isRelative() ? folder + '/' + saved : saved;
    if (QFileInfo::exists(named)) return named;
    const QString beside = folder + '/' + QFileInfo(saved).fileName();
    if (QFileInfo::exists(beside)) return beside;
    const QString question =
        QStringLiteral("l'immagine della sessione non è più in %1: cercarla in un'altra cartella?").arg(named);
    if (!confirmer_ || !confirmer_(question)) return {};
    return fileChooser_ ? fileChooser_(FileRequest::OpenPicture) : QString();
}

void CaptureWindow::setPointFormat(char decimalMark, bool header, char separator)
{
    pointFormat_.decimalMark = decimalMark;
    pointFormat_.header = header;
    pointFormat_.separator = separator;
    const QSignalBlocker quietComma(decimalComma_), quietHeader(headerLine_), quietTab(tabSeparator_);
    decimalComma_->setChecked(decimalMark == ',');
    headerLine_->setChecked(header);
    tabSeparator_->setChecked(separator == '\t');
}

void CaptureWindow::savePoints()
{
    const Checked<std::string> content = pointFileText(document_.state(), pointFormat_);
    if (!content) return showMessage(text(content.failure()));
    QString path = fileChooser_ ? fileChooser_(FileRequest::SavePoints) : QString();
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    if (const int error = writeWholeFileError(path.toStdString(), *content))
        showMessage(QStringLiteral("impossibile scrivere il file %1: %2").arg(path, text(systemErrorText(error))));
}

void CaptureWindow::sendToCalvero()
{
    const Checked<std::string> content = pointFileText(document_.state()); // the format CALVERO1 reads
    if (!content) return showMessage(text(content.failure()));
    const QString path = QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
                             .filePath(QStringLiteral("digitora-punti-%1.txt").arg(QCoreApplication::applicationPid()));
    if (const int error = writeWholeFileError(path.toStdString(), *content))
        return showMessage(QStringLiteral("impossibile scrivere il file %1: %2").arg(path, text(systemErrorText(error))));
    // The CALVERO1 that started us takes them into its point grid.
    const QString inbox = qEnvironmentVariable(CaptureInboxVariable);
    if (!inbox.isEmpty()) {
        QLocalSocket socket;
        socket.connectToServer(inbox);
        if (socket.waitForConnected(2000)) {
            socket.write(QFile::encodeName(path) + '\n');
            const bool sent = socket.waitForBytesWritten(2000) || socket.bytesToWrite() == 0;
            socket.disconnectFromServer();
            if (sent) {
                statusBar()->showMessage(QStringLiteral("punti inviati a CALVERO1"), 4000);
                return;
            }
        }
    }
    // None waiting: a new CALVERO1 opens with the points in its grid.
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/calvero1");
    if (!(calveroStarter_ ? calveroStarter_(program, path) : QProcess::startDetached(program, {path})))
        showMessage(QStringLiteral("impossibile avviare CALVERO1: %1").arg(program));
}

namespace {

void copyToClipboard(const CaptureState& state, QStatusBar* bar, const QString& done,
                     const std::function<void(const QString&)>& refuse)
{
    const Checked<std::string> content = clipboardText(state);
    if (!content) return refuse(text(content.failure()));
    QApplication::clipboard()->setText(text(*content));
    bar->showMessage(done, 4000);
}

} // namespace

void CaptureWindow::copyPoints()
{
    copyToClipboard(document_.state(), statusBar(), QStringLiteral("punti copiati negli appunti"),
                    [this](const QString& m) { showMessage(m); });
}

void CaptureWindow::copyCurvePoints()
{
    if (currentCurve_ < 0 || currentCurve_ >= int(document_.curves().size()))
        return showMessage(QStringLiteral("nessuna curva scelta"));
    CaptureState chosen = document_.state();
    chosen.curves = {chosen.curves[std::size_t(currentCurve_)]};
    copyToClipboard(chosen, statusBar(),
                    QStringLiteral("punti della curva «%1» copiati negli appunti").arg(text(chosen.curves[0].name)),
                    [this](const QString& m) { showMessage(m); });
}

void CaptureWindow::saveSession()
{
    if (picture_.empty()) return showMessage(QStringLiteral("aprire prima l'immagine del grafico"));
    QString path = fileChooser_ ? fileChooser_(FileRequest::SaveSession) : QString();
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QString::fromLatin1(SessionExtension);
    QString picturePath = picturePath_;
    if (picturePath.isEmpty()) {
        // A pasted picture is kept beside the session, which names it.
        const QFileInfo session(path);
        picturePath = session.absolutePath() + '/' + session.completeBaseName() + QStringLiteral(".png");
        if (!imageOf(picture_).save(picturePath, "PNG"))
            return showMessage(QStringLiteral("impossibile scrivere il file: %1").arg(picturePath));
    }
    const CaptureSession session{picturePath.toStdString(), page_, dpi_, document_.state()};
    if (const std::optional<std::string> problem = writeSessionFile(path.toStdString(), session))
        return showMessage(text(*problem));
    picturePath_ = picturePath;
    unsaved_ = false;
}

void CaptureWindow::openSession()
{
    const QString path = fileChooser_ ? fileChooser_(FileRequest::OpenSession) : QString();
    if (path.isEmpty()) return;
    const Checked<CaptureSession> session = readSessionFile(path.toStdString());
    if (!session) return showMessage(text(session.failure()));
    const QString picturePath = sessionPicture(path, text(session->picturePath));
    if (picturePath.isEmpty()) return;
    Checked<PixelBuffer> loaded = loadPicture(picturePath.toStdString(), session->page, session->dpi);
    if (!loaded) return showMessage(QStringLiteral("immagine della sessione: %1").arg(text(loaded.failure())));
    if (!confirmLosingWork()) return;
    takePicture(std::move(*loaded), picturePath, session->page, session->dpi, session->state);
}

} // namespace calvero
