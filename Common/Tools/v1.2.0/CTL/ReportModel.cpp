#include "CTL/ReportModel.h"

namespace CTL_ns {

ReportRows_cl::~ReportRows_cl() = default;
ReportModel_cl::RowData_cl::~RowData_cl() = default;

ReportModel_cl::ReportModel_cl(QObject* parent) : QAbstractTableModel(parent) {}

int ReportModel_cl::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return source != nullptr ? source->Count() : int(rows.size());
}

int ReportModel_cl::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(titles.size()); }

QVariant ReportModel_cl::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignVCenter | (figureColumns.value(index.column()) ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole) return QVariant();
    return Text(index.row(), index.column());
}

QVariant ReportModel_cl::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return QVariant();
    return titles.value(section);
}

void ReportModel_cl::AddTitle(const QString& title, bool figures) {
    const int column = int(titles.size());
    beginInsertColumns(QModelIndex(), column, column);
    titles.append(title);
    figureColumns.append(figures);
    endInsertColumns();
}

void ReportModel_cl::ClearTitles() {
    beginResetModel();
    titles.clear();
    figureColumns.clear();
    endResetModel();
}

void ReportModel_cl::Append(QStringList texts, RowData_cl* object) {
    const int row = int(rows.size());
    beginInsertRows(QModelIndex(), row, row);
    rows.push_back(Row_st{std::move(texts), 0, std::unique_ptr<RowData_cl>(object)});
    endInsertRows();
}

void ReportModel_cl::Remove(int32_t row) {
    beginRemoveRows(QModelIndex(), row, row);
    rows.erase(rows.begin() + row);
    endRemoveRows();
}

void ReportModel_cl::Clear() {
    beginResetModel();
    rows.clear();
    source.reset();
    endResetModel();
}

void ReportModel_cl::SetSource(std::unique_ptr<ReportRows_cl> rowSource) {
    beginResetModel();
    rows.clear();
    source = std::move(rowSource);
    endResetModel();
}

QString ReportModel_cl::Text(int32_t row, int32_t column) const {
    if (source != nullptr) return source->Text(row, column);
    return rows[size_t(row)].texts.value(column);
}

int32_t ReportModel_cl::Data(int32_t row) const {
    return source != nullptr ? source->Data(row) : rows[size_t(row)].data;
}

}  // namespace CTL_ns
