#include "graph/ui/graphpicture.h"

#include "graph/ui/graphimage.h"
#include "graph/ui/screengraph.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace calvero {

namespace {

// Drawn on a vector device at the resolution of the window's image, so that
// the fonts, given in points, keep their size against the lines.
void paintGraph(QPaintDevice& device, int width, int height)
{
    QPainter painter(&device);
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    paintScreenGraph(painter, width, height);
}

QByteArray svgPicture(int width, int height, int dpi)
{
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setResolution(dpi);
    svg.setTitle(QStringLiteral("CALVERO1"));
    paintGraph(svg, width, height);
    return buffer.data();
}

QByteArray pdfPicture(int width, int height, int dpi)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("CALVERO1"));
        pdf.setResolution(dpi);
        pdf.setPageSize(QPageSize(QSizeF(width, height) * 72.0 / dpi, QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        paintGraph(pdf, width, height);
    }
    return buffer.data();
}

QByteArray pngPicture(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

} // namespace

QString graphPictureFilter()
{
    return QStringLiteral("PNG (*.png);;SVG (*.svg);;PDF (*.pdf)");
}

QString saveGraphPicture(const QString& fileName, int width, int height)
{
    const QString ending = QFileInfo(fileName).suffix().toLower();
    if (ending != QLatin1String("png") && ending != QLatin1String("svg") && ending != QLatin1String("pdf"))
        return QStringLiteral("il nome del file deve finire in .png, .svg oppure .pdf: ") + fileName;
    const QImage image = renderGraphImage(width, height);
    if (image.isNull()) return QStringLiteral("il grafico non ha dimensioni da salvare");
    const QByteArray picture = ending == QLatin1String("png")   ? pngPicture(image)
                               : ending == QLatin1String("svg") ? svgPicture(width, height, image.logicalDpiX())
                                                                : pdfPicture(width, height, image.logicalDpiX());
    // Written aside and put in place at the end: a failure keeps the old file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(picture) != picture.size() || !file.commit())
        return QStringLiteral("errore di scrittura del file ") + fileName + QStringLiteral(": ") + file.errorString();
    return {};
}

} // namespace calvero
