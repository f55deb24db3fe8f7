#pragma once

#include "Import/BankProfile.h"
#include "Import/SheetRows.h"
#include "Import/StatementRow.h"

#include <QHash>
#include <QList>
#include <QString>
#include <memory>

namespace Base_ns {
class Error_cl;
}

namespace Import_ns {

// Which statements a file may be taken for.
enum class StatementKind_en { Auto, Alipay, WeChat, Bank };

// A downloaded statement: its shape found by its content (the header line of its
// table), its own stated counts and totals, and its trades one at a time. Reads the file
// again from the start on Rewind, so memory stays flat however long it is.
class StatementReader_cl {
public:
    // Raises a user error saying what was expected when the file fits no shape allowed
    // by wanted; the file's I/O errors pass through.
    StatementReader_cl(const QString& path, StatementKind_en wanted, const QList<BankProfile_st>& profiles);
    ~StatementReader_cl();

    static QString ClassName() { return QStringLiteral("StatementReader_cl"); }
    // Whether error is the refusal of a file that fits no known shape (a bank whose
    // columns the user has not described yet, say).
    static bool IsUnknownShape(const Base_ns::Error_cl& error);

    // Back to the first trade.
    void Rewind();
    // The next trade; false at the end. A damaged row raises a user error whose remark
    // names its line ("第N行") and the cell at fault.
    [[nodiscard]] bool Next(StatementRow_st& row);

    // Whether some trade may be a refund: false only when none can be (a layout that has
    // no refund rows, or a file that never says 退). Reads the file again where asked.
    [[nodiscard]] bool MayHoldRefunds();
    // Whether a refund's id begins with its purchase's (Alipay); WeChat's names no purchase.
    bool RefundIdsNamePurchases() const { return shape != Shape_en::WeChat; }
    // "支付宝", "微信支付" or "银行": the source kept with each booked trade.
    QString Source() const;
    // The shape in words ("支付宝账单（旧版）", "银行账单（交易金额）"…) and the encoding.
    QString FormatName() const;
    // What the statement states about itself; complete after a whole pass.
    const StatementTotals_st& Stated() const { return stated; }
    int64_t Position() const { return rows->Position(); }
    int64_t Size() const { return rows->Size(); }

private:
    enum class Shape_en { AlipayNew, AlipayOld, WeChat, Bank };
    bool FindHeader(StatementKind_en wanted, const QList<BankProfile_st>& profiles);
    bool TryShape(Shape_en shape, const QStringList& cells, const BankProfile_st* profile);
    void ReadTrade(const QStringList& cells, int32_t line, StatementRow_st& row);
    void ReadBankTrade(const QStringList& cells, int32_t line, StatementRow_st& row);
    QString Cell(const QStringList& cells, const QString& title) const;

    std::unique_ptr<SheetRows_cl> rows;
    Shape_en shape = Shape_en::AlipayNew;
    BankProfile_st profile;
    QHash<QString, qsizetype> columns;  // header title -> column
    qsizetype width = 0;                // cells a trade needs
    int32_t headerLine = 0;
    bool trailer = false;  // past the table: only notes and totals follow
    StatementTotals_st stated;
    QHash<QString, int32_t> bankKeys;  // occurrences of an id made from a bank row
};

}  // namespace Import_ns
