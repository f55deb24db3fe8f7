#include "Window/StatementRowsModel.h"

#include "Import/EntryText.h"
#include "Import/StatementImport.h"
#include "Window/ConvertInfo.h"
#include "base/Text.h"

#include <QBrush>

namespace Vorelle_ns {

namespace {

const char16_t* const kTitles[StatementRowsModel_cl::ColumnCount] = {
    u"行", u"时间", u"收/支", u"金额", u"交易对方", u"商品", u"状态", u"处理", u"分类", u"名称"};

}  // namespace

QString StatementRowsModel_cl::DecisionText(const Import_ns::StatementEntry_st& entry) {
    QString text = Import_ns::DecisionText(entry.decision);
    const BookEntry_st& paired = entry.pairedWith;
    if (entry.decision == Import_ns::Decision_en::Linked || entry.decision == Import_ns::Decision_en::MaybeDuplicate)
        text += QStringLiteral("：") + paired.time.FormatDate() + u' ' + paired.name + u' ' +
                ConvertInfo_cl::MoneyToText(paired.expense, ConvertInfo_cl::Decimals_en::Two);
    // A purchase whose refund comes with a later statement.
    if (entry.refundLater > 0)
        text += QStringLiteral("（已退款") + ConvertInfo_cl::MoneyToText(entry.refundLater, ConvertInfo_cl::Decimals_en::Two) +
                QStringLiteral("，退款将随下一份账单记入）");
    return text;
}

StatementRowsModel_cl::StatementRowsModel_cl(Import_ns::StatementImport_cl& statement, QObject* parent)
    : QAbstractTableModel(parent), statement(statement) {}

void StatementRowsModel_cl::Reload() {
    beginResetModel();
    endResetModel();
}

int StatementRowsModel_cl::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(statement.Entries().size());
}

int StatementRowsModel_cl::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant StatementRowsModel_cl::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QVariant();
    return QString::fromUtf16(kTitles[section]);
}

Qt::ItemFlags StatementRowsModel_cl::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == Category && Import_ns::Books(statement.Entries()[index.row()].decision))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant StatementRowsModel_cl::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    const Import_ns::StatementEntry_st& entry = statement.Entries()[index.row()];
    const Import_ns::StatementRow_st& row = entry.row;
    const bool books = Import_ns::Books(entry.decision);
    if (role == Qt::ForegroundRole && !books) return QBrush(Qt::gray);
    if (role == Qt::TextAlignmentRole && (index.column() == Amount || index.column() == Line))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole) return QVariant();
    switch (index.column()) {
    case Line: return row.line;
    case Time: return row.time.Format();
    case Flow:
        return row.flow == Import_ns::Flow_en::Expense  ? QStringLiteral("支出")
               : row.flow == Import_ns::Flow_en::Income ? QStringLiteral("收入")
                                                        : QStringLiteral("不计");
    case Amount: return ConvertInfo_cl::MoneyToText(entry.Amount(), ConvertInfo_cl::Decimals_en::Two);
    case Counterparty: return row.counterparty;
    case Product: return row.product;
    case Status: return row.status;
    case Decision: return DecisionText(entry);
    // What is really booked: a row no rule names goes to the plain category of its kind.
    case Category:
        return !books && entry.decision != Import_ns::Decision_en::Linked ? QString()
               : !entry.typeName.isEmpty()                                ? entry.typeName
               : entry.expense > 0 && entry.decision != Import_ns::Decision_en::Refund ? QStringLiteral("收入")
                                                                                       : QStringLiteral("开销");
    case Name: return books ? entry.expenseName : QString();
    default: return QVariant();
    }
}

bool StatementRowsModel_cl::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != Category) return false;
    // The name goes between single quotes in SQL and into a 16-character column.
    const QString category = Import_ns::ClipName(value.toString().trimmed());
    if (Base_ns::HasIllegalSqlChar(category)) return false;
    statement.SetCategory(statement.Entries()[index.row()].row.line, category);
    emit dataChanged(this->index(0, Category), this->index(rowCount() - 1, Category));
    return true;
}

}  // namespace Vorelle_ns
