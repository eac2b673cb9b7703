#include "entry/ui/gridclipboard.h"

#include "entry/clipboardtext.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

namespace calvero {

namespace {

// The rectangle of the selected cells; the current cell when none is selected.
QRect selectedArea(const QTableView& view)
{
    QRect area;
    for (const QModelIndex& index : view.selectionModel()->selectedIndexes())
        area = area.united(QRect(index.column(), index.row(), 1, 1));
    const QModelIndex current = view.currentIndex();
    if (area.isEmpty() && current.isValid()) area = QRect(current.column(), current.row(), 1, 1);
    return area;
}

QAction* gridAction(QTableView* view, const QString& caption, QKeySequence::StandardKey key)
{
    auto* action = new QAction(caption, view);
    action->setShortcut(key);
    // Only while the grid itself has the focus: a cell being typed in keeps its own keys.
    action->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(action);
    return action;
}

} // namespace

PointGridClipboard::PointGridClipboard(QTableView* view, MessageSink sink)
    : QObject(view), view_(view), messageSink_(std::move(sink))
{
    copyAction = gridAction(view, QStringLiteral("copia"), QKeySequence::Copy);
    pasteAction = gridAction(view, QStringLiteral("incolla"), QKeySequence::Paste);
    deleteAction = gridAction(view, QStringLiteral("cancella"), QKeySequence::Delete);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copyAction, &QAction::triggered, this, &PointGridClipboard::copy);
    connect(pasteAction, &QAction::triggered, this, &PointGridClipboard::paste);
    connect(deleteAction, &QAction::triggered, this, &PointGridClipboard::clearCells);
}

void PointGridClipboard::copy()
{
    const QRect area = selectedArea(*view_);
    if (area.isEmpty()) return;
    CellBlock block;
    for (int row = area.top(); row <= area.bottom(); ++row) {
        auto& cells = block.emplace_back();
        for (int column = area.left(); column <= area.right(); ++column)
            cells.push_back(view_->model()->index(row, column).data(Qt::EditRole).toString().toStdString());
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(joinCopiedCells(block)));
}

void PointGridClipboard::paste()
{
    QAbstractItemModel* model = view_->model();
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) {
        if (messageSink_) messageSink_(QStringLiteral("negli appunti non c'\u00e8 testo da incollare"));
        return;
    }
    const QModelIndex current = view_->currentIndex();
    const int firstRow = current.isValid() ? current.row() : 0;
    const int firstColumn = current.isValid() ? current.column() : 0;
    const PastedBlock block = splitPastedText(text.toStdString(), static_cast<std::size_t>(model->rowCount() - firstRow),
                                              static_cast<std::size_t>(model->columnCount() - firstColumn));
    int widest = 0;
    for (std::size_t r = 0; r < block.cells.size(); ++r) {
        const auto& cells = block.cells[r];
        widest = std::max(widest, static_cast<int>(cells.size()));
        // Through the model, as a typed text goes.
        for (std::size_t c = 0; c < cells.size(); ++c)
            model->setData(model->index(firstRow + static_cast<int>(r), firstColumn + static_cast<int>(c)),
                           QString::fromStdString(cells[c]), Qt::EditRole);
    }
    if (!block.cells.empty() && widest > 0) {
        const QModelIndex last = model->index(firstRow + static_cast<int>(block.cells.size()) - 1, firstColumn + widest - 1);
        view_->selectionModel()->select(QItemSelection(model->index(firstRow, firstColumn), last),
                                        QItemSelectionModel::ClearAndSelect);
    }
    const std::string message = pasteMessage(block);
    if (!message.empty() && messageSink_) messageSink_(QString::fromStdString(message));
}

void PointGridClipboard::clearCells()
{
    const QRect area = selectedArea(*view_);
    QAbstractItemModel* model = view_->model();
    for (int row = area.top(); row <= area.bottom(); ++row)
        for (int column = area.left(); column <= area.right(); ++column)
            model->setData(model->index(row, column), QString(), Qt::EditRole);
}

} // namespace calvero
