#pragma once

#include "DB/BoundSQL.h"
#include "base/DateTime.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace DB_ns {
class IDatabase_cl;
}

namespace Vorelle_ns {

// An entry booked from a statement's purchase.
struct BookedPurchase_st {
    QString tradeId;
    QString typeName;
    int64_t expense = 0;
};

// An entry of the book no trade is linked to: one a trade may be the same purchase as.
struct BookEntry_st {
    int32_t sn = 0;
    Base_ns::DateTime_cl time;
    int64_t expense = 0;  // signed hundredths as booked
    bool income = false;  // of an income category (a refund is money back in an expense one)
    QString typeName;
    QString name;
    QString comment;
    QString source;  // the statement that booked it ("支付宝"…); empty for one typed
};

// One statement import, as undo finds it.
struct TradeImport_st {
    int32_t sn = 0;
    QString source;
    int32_t firstSn = 0;  // the book's last entry before it: what it booked lies after
    int32_t lastSn = 0;   // and up to this one
    Base_ns::DateTime_cl time;
};

// A trade linked to an entry of the book, as unlinking it finds it.
struct TradeLink_st {
    int32_t sn = 0;  // of the trade's row
    QString source;
    QString tradeId;
    QString typeName;
    QString entry;  // the entry it would have booked, as the link keeps it; empty when an older copy linked it
};

// What a refund that names no purchase looks for: the goods its purchase's remark ends
// with (" 网店 鞋子"), bought no later than it.
struct SoughtPurchase_st {
    QString goods;
    Base_ns::DateTime_cl before;
};

// The trades of downloaded statements already booked: one row per source ("支付宝",
// "微信支付", "银行") and trade id, with the category it went to and the trade's amount.
// Kept in a table of its own, zorb_trade, so that the five finance tables stay as older
// copies of the program know them; made with the book, and on the first login to a book
// made before it. Older copies cut ids at 128 characters and keep no amount: both still
// work with the wider table. A trade that met an entry already in the book keeps that
// entry's serial number (record_sn) and books nothing, with the entry it would have booked
// (trade_entry) for when the link is undone; each trade keeps the import that
// brought it (import_sn, a row of zorb_trade_import), so that an import can be undone
// whole. Older copies leave both empty.
class TradeLog_cl {
public:
    explicit TradeLog_cl(DB_ns::IDatabase_cl& database) : database(database) {}

    static QString ClassName() { return QStringLiteral("TradeLog_cl"); }
    // Longest trade id kept as it is; a longer one is kept as a digest of it.
    static constexpr int32_t MaxTradeId = 255;
    // The amount of a trade kept by an older copy of the program.
    static constexpr int64_t UnknownAmount = -1;

    // Whether the book has the tables yet. Ask outside any transaction: on some servers a
    // failing statement spoils the transaction it runs in.
    [[nodiscard]] bool Exists();
    // Whether the book has the trade table at all, of this copy or an older one.
    [[nodiscard]] bool ExistsAny();
    // Makes the table and its unique index, in a transaction of its own (nested in the
    // caller's, if any).
    void CreateTable();
    // Makes the table, or widens one an older copy made; outside any transaction. Two
    // copies doing it at once are fine: the one that comes second finds it done.
    void Prepare();
    // The id as the table keeps it.
    [[nodiscard]] static QString Key(const QString& tradeId);
    // Whether the trade is booked; amount: the hundredths kept with it, or UnknownAmount.
    [[nodiscard]] bool Find(const QString& source, const QString& tradeId, int64_t& amount);
    // Which of tradeIds are booked, in one look-up: each one found, as Key makes it, with
    // the amount Find would tell.
    [[nodiscard]] QHash<QString, int64_t> FindMany(const QString& source, const QStringList& tradeIds);
    // Every trade of source booked, as FindMany finds them, when there are at most limit;
    // false, and nothing read, when there are more.
    [[nodiscard]] bool FindAll(const QString& source, int64_t limit, QHash<QString, int64_t>& found);
    // The category of the booked trade whose id is the longest proper beginning of
    // refundId (a refund's id starts with its original's); empty when none is booked.
    [[nodiscard]] QString FindOriginalType(const QString& source, const QString& refundId);
    // The amount of the entry still booked with a trade, found by the remark it begins
    // with ("微信支付 订单号…"); false when there is none (deleted since, say). An earlier
    // copy of the program booked some trades less their refunds: this tells how much.
    [[nodiscard]] bool FindEntryExpense(const QString& remark, int64_t& expense);
    // For each sought, the latest entry up to its time whose remark is start, a trade id
    // and its goods ("微信支付 订单号" 4200… " 网店 鞋子"): the purchase a refund that names
    // none belongs to; a tradeId left empty where there is none. Many are found in one
    // pass over the entries.
    [[nodiscard]] QList<BookedPurchase_st> FindPurchases(const QString& start, const QList<SoughtPurchase_st>& sought);
    // Holds other imports off the table until the caller's transaction ends, so that two
    // copies importing the same statement at once book it once: the second one waits and
    // then finds its trades booked. Readers are not held up.
    void Lock();
    // Inside the caller's transaction, with the entry it belongs to. Rows are written a
    // group at a time: Find and FindOriginalType see those not yet written, and the caller
    // calls Flush() before it commits.
    // recordSn: the entry the trade is linked to, 0 when it booked one of its own;
    // importSn: the import it came with, 0 for none; entry: of a linked trade, the entry it
    // would have booked, so that the link can be undone.
    void Add(const QString& source, const QString& tradeId, const QString& typeName, int32_t userSn, int64_t amount,
             int32_t recordSn = 0, int32_t importSn = 0, const QString& entry = QString());
    // Writes the rows Add holds.
    void Flush();
    // Forgets them: the caller's transaction is rolled back.
    void Discard();

    // The entries of a user from..to no trade is linked to, typed or booked from a
    // statement, in one read by the time index.
    [[nodiscard]] QList<BookEntry_st> FindOpenEntries(int32_t userSn, const Base_ns::DateTime_cl& from,
                                                      const Base_ns::DateTime_cl& to);
    // The source of the statement an entry was booked from, by its remark ("微信支付 订单号…");
    // empty for an entry typed.
    [[nodiscard]] static QString TradeSource(const QString& comment);

    // Inside the caller's locked transaction: a new import of a user and a source, whose
    // entries are those booked after the book's present last one.
    [[nodiscard]] int32_t BeginImport(int32_t userSn, const QString& source);
    // Its entries end with the book's present last one.
    void EndImport(int32_t importSn);
    // The user's latest import not undone; false when there is none.
    [[nodiscard]] bool LastImport(int32_t userSn, TradeImport_st& found);
    // Every entry booked within an import's span, by serial number, whoever booked it.
    [[nodiscard]] QList<int32_t> ImportedEntries(int32_t importSn);
    // The entries of userSn an import booked, still in the book.
    [[nodiscard]] QList<int32_t> BookedEntries(const TradeImport_st& import, int32_t userSn);
    // The entries an import linked its trades to.
    [[nodiscard]] QList<int32_t> LinkedEntries(int32_t importSn);
    // The trade linked to an entry; false when none is.
    [[nodiscard]] bool FindLink(int32_t recordSn, TradeLink_st& found);
    // The trade is linked no more: it has an entry of its own.
    void Unlink(int32_t tradeSn);
    // What the recycle bin calls the deletion of an undone statement import's entries.
    static QString UndoneImportInfo() { return QStringLiteral("撤销账单导入。"); }
    // The import's trades are forgotten (they may be imported again) and it is marked undone.
    void ForgetImport(int32_t importSn);

private:
    [[nodiscard]] bool HasColumn(const char* column);
    [[nodiscard]] bool IsCurrent();
    void Widen();

    DB_ns::IDatabase_cl& database;
    DB_ns::BoundSQL_st pending;        // rows added and not yet written, five values each
    QHash<QString, int64_t> held;      // their sources and keys, with their amounts
};

}  // namespace Vorelle_ns
