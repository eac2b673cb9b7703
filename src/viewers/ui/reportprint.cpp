#include "viewers/ui/reportprint.h"

#include "common/numtext.h"
#include "common/systemerror.h"
#include "viewers/reportpage.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <cerrno>

namespace calvero {

namespace {

QFont reportFont(double points)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    // Points, not pixels: the same size at every printer resolution.
    font.setPointSizeF(points);
    return font;
}

ReportPage layPage(QPrinter& printer, const std::vector<std::string>& lines)
{
    QPageSize sheet = printer.pageLayout().pageSize();
    if (!sheet.isValid()) sheet = QPageSize(QPageSize::A4);
    const QSizeF upright = sheet.size(QPageSize::Point);
    const ReportPage page = reportPage(widestLine(lines), std::min(upright.width(), upright.height()),
                                       std::max(upright.width(), upright.height()));
    const double side = page.sideMarginPoints, end = page.endMarginPoints;
    printer.setPageLayout(QPageLayout(sheet, page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(side, end, side, end), QPageLayout::Point));
    return page;
}

} // namespace

bool printReport(QPrinter& printer, const std::vector<std::string>& lines)
{
    const ReportPage page = layPage(printer, lines);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setFont(reportFont(page.fontPoints));
    const QFontMetricsF metrics(painter.font(), &printer);
    const double pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    double baseline = metrics.ascent();
    for (const std::string& line : lines) {
        if (baseline + metrics.descent() > pageHeight && baseline > metrics.ascent()) {
            printer.newPage();
            baseline = metrics.ascent();
        }
        painter.drawText(QPointF(0, baseline), QString::fromStdString(trimRight(line)));
        baseline += metrics.lineSpacing();
    }
    return painter.end();
}

std::optional<QString> printLines(const PrintChoices& choices, const std::vector<std::string>& lines,
                                  const QString& jobName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(jobName);
    if (choices.printerQuery && choices.printerQuery()) {
        if (!(choices.printDialog && choices.printDialog(printer))) return std::nullopt;
    } else {
        QString file = choices.pdfFileChooser ? choices.pdfFileChooser() : QString();
        if (file.isEmpty()) return std::nullopt;
        if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) file += QStringLiteral(".pdf");
        // The printing itself says nothing when it cannot open its file: try it first.
        QFile probe(file);
        errno = 0;
        if (!probe.open(QIODevice::WriteOnly))
            return QStringLiteral("errore di scrittura del file ") + file + QStringLiteral(": ") +
                   QString::fromStdString(systemErrorText(errno != 0 ? errno : EIO));
        probe.close();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    }
    if (!printReport(printer, lines)) return QStringLiteral("la stampante non ha accettato la stampa");
    return std::nullopt;
}

} // namespace calvero
