#include "entry/ui/pointgridmodel.h"

namespace calvero {

PointGridModel::PointGridModel(PointGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

void PointGridModel::setShowsZ(bool shows)
{
    if (shows == showsZ_) return;
    beginResetModel();
    showsZ_ = shows;
    endResetModel();
}

void PointGridModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int PointGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : PointGrid::Rows; }

int PointGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : (showsZ_ ? 3 : 2);
}

QVariant PointGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return QString::fromStdString(grid_.cell(index.row() + 1, index.column() + 1));
}

bool PointGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole) return false;
    grid_.setCell(index.row() + 1, index.column() + 1, value.toString().toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags PointGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant PointGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole) return QStringLiteral("%1").arg(section + 1, 3);
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    if (role != Qt::DisplayRole) return {};
    switch (section) {
    case 0: return QStringLiteral("X");
    case 1: return QStringLiteral("Y");
    case 2: return showsZ_ ? QStringLiteral("Z") : QString();
    default: return {};
    }
}

} // namespace calvero
