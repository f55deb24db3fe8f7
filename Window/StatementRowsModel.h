#pragma once

#include <QAbstractTableModel>

namespace Import_ns {
class StatementImport_cl;
struct StatementEntry_st;
}

namespace Vorelle_ns {

// The preview's rows: each statement row with its decision; the category of a row that
// is booked can be changed in place.
class StatementRowsModel_cl : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column_en { Line, Time, Flow, Amount, Counterparty, Product, Status, Decision, Category, Name, ColumnCount };

    explicit StatementRowsModel_cl(Import_ns::StatementImport_cl& statement, QObject* parent = nullptr);

    // After a new preview of the statement.
    void Reload();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The row's decision in words, with the entry of the book it was paired with.
    static QString DecisionText(const Import_ns::StatementEntry_st& entry);

private:
    Import_ns::StatementImport_cl& statement;
};

}  // namespace Vorelle_ns
