#include "graph/ui/graphpicture.h"

#include "common/filewrite.h"
#include "graph/ui/graphimage.h"
#include "graph/ui/screengraph.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace calvero {

namespace {

// Drawn on a vector device at the resolution of the window's image, so that
// the fonts, given in points, keep their size against the lines.
void paintGraph(GraphState& s, QPaintDevice& device, int width, int height)
{
    QPainter painter(&device);
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    paintScreenGraph(s, painter, width, height);
}

QByteArray svgPicture(GraphState& s, int width, int height, int dpi)
{
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setResolution(dpi);
    svg.setTitle(QStringLiteral("CALVERO1"));
    paintGraph(s, svg, width, height);
    return buffer.data();
}

QByteArray pdfPicture(GraphState& s, int width, int height, int dpi)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("CALVERO1"));
        pdf.setResolution(dpi);
        pdf.setPageSize(QPageSize(QSizeF(width, height) * 72.0 / dpi, QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        paintGraph(s, pdf, width, height);
    }
    return buffer.data();
}

QByteArray pngPicture(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) return {};
    return buffer.data();
}

// Written aside and put in place at the end, as every file: a failure keeps
// the old file.
QString writePicture(const QString& fileName, const QByteArray& picture)
{
    if (picture.isEmpty()) return QString::fromStdString(UndrawnGraphMessage);
    if (const auto failure = writeOutputFile(QFile::encodeName(fileName).toStdString(),
                                             std::string_view(picture.constData(), std::size_t(picture.size()))))
        return QString::fromStdString(*failure);
    return {};
}

} // namespace

QString graphPictureFilter()
{
    return QStringLiteral("PNG (*.png);;SVG (*.svg);;PDF (*.pdf)");
}

QString saveGraphPicture(GraphState& s, const QString& fileName, int width, int height)
{
    const QString ending = QFileInfo(fileName).suffix().toLower();
    if (ending != QLatin1String("png") && ending != QLatin1String("svg") && ending != QLatin1String("pdf"))
        return QStringLiteral("il nome del file deve finire in .png, .svg oppure .pdf: ") + fileName;
    if (width < 1 || height < 1) return QStringLiteral("il grafico non ha dimensioni da salvare");
    // The vector pictures take the resolution of the window's image.
    const int imageDpi = QImage(1, 1, QImage::Format_RGB32).logicalDpiX();
    return writePicture(fileName, ending == QLatin1String("png")   ? pngPicture(renderGraphImage(s, width, height))
                                  : ending == QLatin1String("svg") ? svgPicture(s, width, height, imageDpi)
                                                                   : pdfPicture(s, width, height, imageDpi));
}

QByteArray graphPng(GraphState& s, int width, int height)
{
    if (width < 1 || height < 1) return {};
    return pngPicture(renderGraphImage(s, width, height));
}

} // namespace calvero
