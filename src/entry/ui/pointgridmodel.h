#pragma once
// The point grid's text model as a Qt table model: 200 rows of x, y and, for
// the surface kind, z. The view's headers are the grid's fixed row and column.
#include "entry/pointgrid.h"

#include <QAbstractTableModel>

namespace calvero {

class PointGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PointGridModel(PointGrid& grid, QObject* parent = nullptr);

    // Whether column Z is shown; its text is kept either way.
    void setShowsZ(bool shows);
    bool showsZ() const { return showsZ_; }
    // The grid was changed behind the model's back (an import, a clear).
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    PointGrid& grid_;
    bool showsZ_ = false;
};

} // namespace calvero
