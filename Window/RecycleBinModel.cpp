#include "RecycleBinModel.h"

#include "Window/ConvertInfo.h"

namespace Vorelle_ns {

RecycleBinModel_cl::RecycleBinModel_cl(QObject* parent) : QAbstractTableModel(parent) {}

void RecycleBinModel_cl::SetRows(const Base_ns::Trusteeship_tl<DeletedRow_st>& fresh) {
    beginResetModel();
    rows = fresh;
    endResetModel();
}

int RecycleBinModel_cl::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows.Count(); }

int RecycleBinModel_cl::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant RecycleBinModel_cl::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows.Count()) return QVariant();
    const DeletedRow_st& row = rows[index.row()];
    if (role == Qt::TextAlignmentRole && index.column() == Amount)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return QVariant();
    const bool user = row.kind == DeletedKind_en::User;
    switch (index.column()) {
    case DeletedAt: return row.deletedAt.Format();
    case DeletedBy: return row.deletedBy;
    case Kind:
        switch (row.kind) {
        case DeletedKind_en::User: return QStringLiteral("用户");
        case DeletedKind_en::Template: return QStringLiteral("费用模板");
        case DeletedKind_en::Schedule: return QStringLiteral("定期记录");
        case DeletedKind_en::Record: return QStringLiteral("费用记录");
        }
        return QVariant();
    case RecordTime: return row.kind == DeletedKind_en::Record ? row.recordTime.Format() : QString();
    case Type: return row.typeName;
    case Name: return row.expenseName;
    case Amount: return user ? QString() : ConvertInfo_cl::MoneyToText(row.expense, ConvertInfo_cl::Decimals_en::Two);
    case Owner: return row.ownerName;
    default: return QVariant();
    }
}

QVariant RecycleBinModel_cl::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const titles[] = {"删除时间", "删除人", "类型", "日期", "分类", "名称", "金额", "所有者"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf8(titles[section]);
}

}  // namespace Vorelle_ns
