#pragma once

#include "Data/RecycleBin.h"
#include "base/Trusteeship.h"

#include <QAbstractTableModel>

namespace Vorelle_ns {

// The recycle bin's rows for a table view: texts made only for the rows on screen, so
// that a hundred thousand deletions show at once.
class RecycleBinModel_cl : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column_en { DeletedAt, DeletedBy, Kind, RecordTime, Type, Name, Amount, Owner, ColumnCount };

    explicit RecycleBinModel_cl(QObject* parent = nullptr);

    void SetRows(const Base_ns::Trusteeship_tl<DeletedRow_st>& rows);
    const DeletedRow_st& Row(int32_t index) const { return rows[index]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Base_ns::Trusteeship_tl<DeletedRow_st> rows;
};

}  // namespace Vorelle_ns
