#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace DB_ns {
class IDatabase_cl;
}

namespace Vorelle_ns {

// The trades of downloaded statements already booked: one row per source ("支付宝",
// "微信支付", "银行") and trade id, with the category it went to. Kept in a table of its
// own, zorb_trade, so that the five finance tables stay as older copies of the program
// know them; made on first use.
class TradeLog_cl {
public:
    explicit TradeLog_cl(DB_ns::IDatabase_cl& database) : database(database) {}

    static QString ClassName() { return QStringLiteral("TradeLog_cl"); }
    // Longest trade id the table holds.
    static constexpr int32_t MaxTradeId = 128;

    // Whether the book has the table yet. Ask outside any transaction: on some servers a
    // failing statement spoils the transaction it runs in.
    [[nodiscard]] bool Exists();
    // Makes the table and its unique index, in a transaction of its own (nested in the
    // caller's, if any).
    void CreateTable();
    [[nodiscard]] bool Has(const QString& source, const QString& tradeId);
    // The category of the booked trade whose id is the longest proper beginning of
    // refundId (a refund's id starts with its original's); empty when none is booked.
    [[nodiscard]] QString FindOriginalType(const QString& source, const QString& refundId);
    // Inside the caller's transaction, with the entry it belongs to.
    void Add(const QString& source, const QString& tradeId, const QString& typeName, int32_t userSn);

private:
    DB_ns::IDatabase_cl& database;
};

}  // namespace Vorelle_ns
