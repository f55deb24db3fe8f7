#include "Import/StatementEntry.h"

namespace Import_ns {

QString DecisionText(Decision_en decision) {
    switch (decision) {
    case Decision_en::Import: return QStringLiteral("导入");
    case Decision_en::Refund: return QStringLiteral("导入退款");
    case Decision_en::Closed: return QStringLiteral("跳过：交易关闭或失败");
    case Decision_en::Pending: return QStringLiteral("跳过：交易未完成");
    case Decision_en::Neutral: return QStringLiteral("跳过：不计收支");
    case Decision_en::FullyRefunded: return QStringLiteral("跳过：已全额退款");
    case Decision_en::RefundCounted: return QStringLiteral("跳过：退款已从原交易扣除");
    case Decision_en::OriginalSkipped: return QStringLiteral("跳过：原交易未入账");
    case Decision_en::Zero: return QStringLiteral("跳过：金额为零");
    case Decision_en::AlreadyImported: return QStringLiteral("跳过：以前已导入");
    case Decision_en::Conflict: return QStringLiteral("跳过：交易号以前导入过，金额不同");
    case Decision_en::Linked: return QStringLiteral("匹配已有记录");
    case Decision_en::MaybeDuplicate: return QStringLiteral("可能重复");
    case Decision_en::Unpaired: return QStringLiteral("待配对");
    }
    return QString();
}

int64_t StatementEntry_st::Amount() const {
    const bool bookable = Books(decision) || decision == Decision_en::AlreadyImported || decision == Decision_en::Conflict ||
                          decision == Decision_en::Linked || decision == Decision_en::MaybeDuplicate ||
                          decision == Decision_en::Unpaired;
    return bookable ? expense : row.flow == Flow_en::Expense ? -row.amount : row.amount;
}

}  // namespace Import_ns
