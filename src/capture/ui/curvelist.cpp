#include "capture/ui/curvelist.h"

#include "capture/pointexport.h"

#include <QHeaderView>
#include <QSignalBlocker>

namespace calvero {

namespace {
enum Column { NameColumn, ColourColumn, ParameterColumn };
}

QColor qColourOf(capture::Rgb colour) { return QColor(colour.red, colour.green, colour.blue); }

QColor readableTextOn(const QColor& background) { return background.lightness() < 128 ? Qt::white : Qt::black; }
capture::Rgb rgbOf(const QColor& colour)
{
    return capture::Rgb{std::uint8_t(colour.red()), std::uint8_t(colour.green()), std::uint8_t(colour.blue())};
}

CurveList::CurveList(QWidget* parent) : QTableWidget(0, 3, parent)
{
    setObjectName(QStringLiteral("CurveList"));
    // The middle column counts the points on the marker colour.
    setHorizontalHeaderLabels({QStringLiteral("nome"), QStringLiteral("punti"), QStringLiteral("parametro")});
    horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(ColourColumn, QHeaderView::ResizeToContents);
    verticalHeader()->setVisible(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(this, &QTableWidget::itemChanged, this, &CurveList::cellEdited);
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column == ColourColumn) emit colourAsked(row);
    });
}

void CurveList::showCurves(const std::vector<capture::Curve>& curves, int current)
{
    const QSignalBlocker quiet(this);
    setRowCount(int(curves.size()));
    // Items are kept and rewritten: this runs inside the signal of an edited one.
    auto cell = [this](int row, int column) {
        QTableWidgetItem* existing = item(row, column);
        if (!existing) setItem(row, column, existing = new QTableWidgetItem);
        return existing;
    };
    for (int row = 0; row < int(curves.size()); ++row) {
        const capture::Curve& curve = curves[std::size_t(row)];
        cell(row, NameColumn)->setText(QString::fromStdString(curve.name));
        QTableWidgetItem* colour = cell(row, ColourColumn);
        colour->setText(QString::number(curve.points.size()));
        colour->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        colour->setBackground(qColourOf(curve.marker));
        colour->setForeground(readableTextOn(qColourOf(curve.marker)));
        colour->setToolTip(QStringLiteral("punti della curva; doppio clic per cambiare il colore"));
        cell(row, ParameterColumn)
            ->setText(curve.parameter ? QString::fromStdString(capture::pointValueText(*curve.parameter)) : QString());
    }
    if (current >= 0 && current < rowCount()) selectRow(current);
}

void CurveList::cellEdited(QTableWidgetItem* item)
{
    if (item->column() == NameColumn) emit renamed(item->row(), item->text());
    if (item->column() == ParameterColumn) emit parameterTyped(item->row(), item->text().trimmed());
}

} // namespace calvero
