#include "capture/ui/pictureload.h"

#include "capture/pdffile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <poppler-qt6.h>

#include <cstring>
#include <memory>

namespace calvero {

using capture::PixelBuffer;

namespace {

Checked<PixelBuffer> failure(const QString& message) { return failed<PixelBuffer>(message.toStdString()); }

// A JPEG cut short still decodes (libjpeg fills the missing rows with grey and
// only warns), so a file that does not end with its end-of-image marker is
// taken as truncated. A few bytes of padding after the marker are allowed.
bool jpegEndsProperly(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 tail = qMin<qint64>(file.size(), 1024);
    file.seek(file.size() - tail);
    return file.read(tail).contains("\xFF\xD9");
}

std::unique_ptr<Poppler::Document> openPdf(const QString& path, std::string& error)
{
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document) {
        error = QStringLiteral("impossibile aprire il PDF: %1").arg(path).toStdString();
        return nullptr;
    }
    if (document->isLocked()) {
        error = QStringLiteral("il PDF è protetto da password: %1").arg(path).toStdString();
        return nullptr;
    }
    if (document->numPages() < 1) {
        error = QStringLiteral("il PDF non ha pagine: %1").arg(path).toStdString();
        return nullptr;
    }
    return document;
}

Checked<PixelBuffer> loadPdfPage(const QString& path, int page, double dpi)
{
    if (!(dpi >= capture::MinDpi && dpi <= capture::MaxDpi))
        return failure(QStringLiteral("risoluzione non ammessa: %1 punti per pollice (da %2 a %3)")
                           .arg(dpi)
                           .arg(capture::MinDpi)
                           .arg(capture::MaxDpi));
    std::string error;
    const std::unique_ptr<Poppler::Document> document = openPdf(path, error);
    if (!document) return failed<PixelBuffer>(error);
    const int pages = document->numPages();
    if (page < 1 || page > pages)
        return failure(QStringLiteral("pagina %1 inesistente: il PDF ha %2")
                           .arg(page)
                           .arg(QString::fromStdString(capture::pagesText(pages))));
    const std::unique_ptr<Poppler::Page> pdfPage = document->page(page - 1);
    if (!pdfPage) return failure(QStringLiteral("impossibile leggere la pagina %1 del PDF: %2").arg(page).arg(path));
    // Page sizes are in points, 72 to the inch.
    const QSizeF points = pdfPage->pageSizeF();
    if (auto problem = capture::pictureSizeProblem(qint64(points.width() / 72.0 * dpi), qint64(points.height() / 72.0 * dpi)))
        return failed<PixelBuffer>(*problem);
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    const QImage rendered = pdfPage->renderToImage(dpi, dpi);
    if (rendered.isNull())
        return failure(QStringLiteral("impossibile disegnare la pagina %1 del PDF: %2").arg(page).arg(path));
    return pictureFromImage(rendered);
}

// Transparent pixels, as read (0xAARRGGBB, not premultiplied), drawn over white paper in place.
void overWhite(PixelBuffer& picture)
{
    for (int y = 0; y < picture.height(); ++y) {
        std::uint32_t* row = picture.row(y);
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = row[x];
            const int a = qAlpha(p);
            if (a == 255) continue;
            const auto over = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            row[x] = qRgb(over(qRed(p)), over(qGreen(p)), over(qBlue(p)));
        }
    }
}

// Reads the picture straight into its pixels when the reader gives 32-bit
// RGB or ARGB of the announced size (JPEG, PNG with or without transparency),
// so that a large picture is held once, not twice or three times, while it
// is read; otherwise copies the reader's own image.
Checked<PixelBuffer> decode(QImageReader& reader, const QString& damaged)
{
    const QSize size = reader.size();
    const QImage::Format format = reader.imageFormat();
    if (size.isValid() && (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32)) {
        Checked<PixelBuffer> picture = PixelBuffer::create(size.width(), size.height());
        if (!picture) return picture;
        auto* pixels = reinterpret_cast<uchar*>(picture->row(0));
        QImage image(pixels, size.width(), size.height(), qsizetype(size.width()) * 4, format);
        if (!reader.read(&image) || image.isNull()) return failure(damaged);
        if (image.constBits() != pixels) return pictureFromImage(image); // the reader chose memory of its own (a turned photograph)
        if (format == QImage::Format_ARGB32) overWhite(*picture);
        return picture;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) return failure(damaged);
    return pictureFromImage(image);
}

Checked<PixelBuffer> loadRaster(const QString& path)
{
    // Qt's readers refuse less than this program holds.
    QImageReader::setAllocationLimit(int(capture::MaxPicturePixels * 4 / (1024 * 1024)) + 64);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true); // a photographed page keeps the camera's turn
    if (!reader.canRead()) return failure(QStringLiteral("il file non è un'immagine: %1").arg(path));
    const QSize size = reader.size();
    if (size.isValid())
        if (auto problem = capture::pictureSizeProblem(size.width(), size.height()))
            return failed<PixelBuffer>(*problem);
    const QString damaged = QStringLiteral("immagine danneggiata o incompleta: %1").arg(path);
    const bool jpeg = reader.format() == "jpeg" || reader.format() == "jpg";
    Checked<PixelBuffer> picture = decode(reader, damaged);
    if (picture && jpeg && !jpegEndsProperly(path)) return failure(damaged);
    return picture;
}

} // namespace

Checked<PixelBuffer> loadPicture(const std::string& path, int page, double dpi)
{
    const QString name = QString::fromStdString(path);
    const QFileInfo file(name);
    if (!file.exists()) return failure(QStringLiteral("file non trovato: %1").arg(name));
    if (!file.isFile() || !file.isReadable()) return failure(QStringLiteral("impossibile leggere il file: %1").arg(name));
    if (isPdfFile(path)) return loadPdfPage(name, page, dpi);
    return loadRaster(name);
}

Checked<PixelBuffer> pictureFromImage(const QImage& image)
{
    if (image.isNull()) return failure(QStringLiteral("nessuna immagine"));
    Checked<PixelBuffer> picture = PixelBuffer::create(image.width(), image.height());
    if (!picture) return picture;
    if (!image.hasAlphaChannel()) {
        const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y)
            std::memcpy(picture->row(y), rgb.constScanLine(y), std::size_t(rgb.width()) * 4);
        return picture;
    }
    // Premultiplied colour over white: add what the transparency leaves out.
    const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < premultiplied.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(premultiplied.constScanLine(y));
        std::uint32_t* out = picture->row(y);
        for (int x = 0; x < premultiplied.width(); ++x) {
            const int white = 255 - qAlpha(in[x]);
            out[x] = qRgb(qRed(in[x]) + white, qGreen(in[x]) + white, qBlue(in[x]) + white);
        }
    }
    return picture;
}

QImage imageOf(const PixelBuffer& picture)
{
    if (picture.empty()) return {};
    return QImage(reinterpret_cast<const uchar*>(picture.row(0)), picture.width(), picture.height(),
                  qsizetype(picture.width()) * 4, QImage::Format_RGB32);
}

bool isPdfFile(const std::string& path) { return capture::isPdfFile(path); }

Checked<int> pdfPageCount(const std::string& path)
{
    std::string error;
    const std::unique_ptr<Poppler::Document> document = openPdf(QString::fromStdString(path), error);
    if (!document) return failed<int>(error);
    return succeeded(document->numPages());
}

} // namespace calvero
