#pragma once

#include "CTL/ReportRows.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <memory>
#include <vector>

namespace CTL_ns {

// The rows and column titles behind a report list. Rows are either added one by one (each
// with its texts, a data value and an optional data object it owns) or handed over whole
// as a row source, which makes the texts only for the rows on screen.
class ReportModel_cl : public QAbstractTableModel {
    Q_OBJECT

public:
    // A data object of an added row; the row owns it.
    class RowData_cl {
    public:
        virtual ~RowData_cl();
    };

    explicit ReportModel_cl(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A column of figures reads right-aligned, so that their decimals line up.
    void AddTitle(const QString& title, bool figures = false);
    QString Title(int32_t column) const { return titles.value(column); }
    bool IsFigures(int32_t column) const { return figureColumns.value(column); }
    void ClearTitles();

    // Appends an owned row; object may be null.
    void Append(QStringList texts, RowData_cl* object);
    void Remove(int32_t row);
    void Clear();
    // Replaces every row by the source's.
    void SetSource(std::unique_ptr<ReportRows_cl> rows);
    bool HasSource() const { return source != nullptr; }

    QString Text(int32_t row, int32_t column) const;
    int32_t Data(int32_t row) const;
    void SetData(int32_t row, int32_t value) { rows[size_t(row)].data = value; }
    RowData_cl* Object(int32_t row) const { return rows[size_t(row)].object.get(); }

private:
    struct Row_st {
        QStringList texts;
        int32_t data = 0;
        std::unique_ptr<RowData_cl> object;
    };

    QStringList titles;
    QList<bool> figureColumns;
    std::vector<Row_st> rows;
    std::unique_ptr<ReportRows_cl> source;
};

}  // namespace CTL_ns
