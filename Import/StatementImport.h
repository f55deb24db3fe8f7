#pragma once

#include "Import/CategoryRules.h"
#include "Import/StatementEntry.h"
#include "Import/StatementMatcher.h"
#include "Import/StatementReader.h"

#include <QHash>
#include <QSet>
#include <QList>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

namespace Unique_ns {
class ICustom_cl;
}

namespace Vorelle_ns {
class RecordManage_cl;
class UserManage_cl;
class TradeLog_cl;
struct RecordInfo_st;
}  // namespace Vorelle_ns

namespace Import_ns {

struct DecisionTotal_st {
    int32_t count = 0;
    int64_t sum = 0;  // signed hundredths as booked; for skipped rows, the rows' amounts
};

// The rows of one pass over a statement, by decision and by the statement's own flows,
// and what the statement states about itself.
struct StatementSummary_st {
    QString formatName;
    QString source;
    int32_t rows = 0;
    DecisionTotal_st decisions[kDecisionCount];
    int32_t flowCount[kFlowCount] = {0, 0, 0};
    int64_t flowSum[kFlowCount] = {0, 0, 0};
    StatementTotals_st stated;
    // Refunds beyond what was left of their purchase, one line each ("第12行：退款80.00元，
    // 原交易只剩50.00元可退，多出30.00元"): booked only when the user accepts them.
    QStringList excessRefunds;

    // One line per decision that occurred: "导入 12笔 -345.60元".
    QStringList DecisionLines() const;
    // One line per flow the statement states: its count and sum beside the rows', and
    // whether they agree; the row count likewise.
    QStringList ComparisonLines() const;
    // Whether every stated figure agrees with the rows.
    bool Agrees() const;
    // The comparison lines that do not agree.
    QStringList Disagreements() const;
};

// What undoing an import did.
struct ImportUndone_st {
    QString source;             // "支付宝", "微信支付", "银行" or "记录文件"
    Base_ns::DateTime_cl time;  // when the import was made
    int32_t removed = 0;        // entries it booked, now in the recycle bin
    int32_t unlinked = 0;       // entries it linked, kept and unlinked

    // What it did, or would do in a dry run, as the household reads it.
    QString Text(bool dryRun) const;
};

// Called with how far a pass has come.
using Progress_fn = std::function<void(int64_t done, int64_t total)>;

// Turns a downloaded statement into entries of one user: reads it, decides every row,
// and books the rows to import in one transaction together with their trade ids, so
// that no trade is ever booked twice. Nothing is written until Import; a damaged row
// refuses the whole file.
class StatementImport_cl {
public:
    // owner: the user the entries belong to; empty for the logged-in user.
    StatementImport_cl(const QString& path, StatementKind_en kind, const QList<BankProfile_st>& profiles,
                       CategoryRules_cl rules, Vorelle_ns::UserManage_cl& users, Vorelle_ns::RecordManage_cl& records,
                       QString owner = QString());
    ~StatementImport_cl();

    static QString ClassName() { return QStringLiteral("StatementImport_cl"); }

    // Reads the whole statement and decides every row without writing. keep: the rows
    // are kept for Entries (a preview list); a command line run keeps none.
    const StatementSummary_st& Preview(bool keep, const Progress_fn& progress = {});
    const QList<StatementEntry_st>& Entries() const { return entries; }
    // The user's own category for one row (by its line); it goes with a refund of it.
    void SetCategory(int32_t line, const QString& category);
    void SetRules(const CategoryRules_cl& newRules) { rules = newRules; }
    void SetOwner(const QString& name) { owner = name; }
    // Trades that may be entries already in the book: what becomes of the unclear ones
    // (by default they wait for the user), and within how many days an entry is one.
    void SetMatch(MatchChoice_en choice) { matchMode = choice; }
    void SetMatchDays(int32_t days) { matchDays = days; }
    // The user's decision for one row (by its line) paired with an entry.
    void Choose(int32_t line, MatchChoice_en choice) { choices.insert(line, choice); }
    // The rows of the last pass left for the user: "可能重复" with the entries they may be,
    // and "待配对".
    const QList<StatementEntry_st>& Doubts() const { return doubts; }
    static constexpr int32_t kMatchDays = 3;
    // The days the user set for this book ("statement/matchDays"), 0 to 30; 3 unless set.
    static int32_t MatchDays(Unique_ns::ICustom_cl& custom);

    // Sends every entry the user's last import booked to the recycle bin and unlinks
    // what it linked, in one transaction; its trades may then be imported again.
    // owner: empty for the logged-in user.
    static ImportUndone_st UndoLast(Vorelle_ns::UserManage_cl& users, Vorelle_ns::RecordManage_cl& records,
                                    const QString& owner = QString());

    // The trade linked to the entry recordSn becomes an entry of its own again, booked as
    // it would have been without the link; the family's entry stays as it is.
    static void Unlink(Vorelle_ns::UserManage_cl& users, Vorelle_ns::RecordManage_cl& records, int32_t recordSn);

    // Books every row to import in one transaction and returns that pass's summary.
    // Any failure rolls all of it back; so does a statement whose own counts and totals
    // disagree with its rows (cut off, say), unless the user accepted that.
    StatementSummary_st Import(const Progress_fn& progress = {}, bool acceptMismatch = false);

private:
    // The entry a row books under typeName.
    static Vorelle_ns::RecordInfo_st AsRecord(const StatementEntry_st& entry, const QString& typeName,
                                              const QString& ownerName);
    // What a link keeps of the entry its trade would have booked alone.
    static QString KeptEntry(const StatementEntry_st& entry, const QString& ownerName);
    struct Original_st {
        QString typeName;
        bool booked = false;
        int32_t line = 0;  // 0: booked from an earlier statement
        QString tradeId;
        int64_t amount = 0;  // what was paid; 0: not known
    };
    // A purchase a refund may belong to, found by its shop and goods.
    struct Purchase_st {
        Base_ns::DateTime_cl time;
        int64_t amount = 0;
        int64_t refundedApart = 0;
        int64_t matched = 0;  // refunds of this file given to it
        Original_st original;
    };
    void FindRefunds();
    void MatchRefunds(const QHash<QString, QList<StatementRow_st>>& refunds,
                      QHash<QString, QList<Purchase_st>>& purchases);
    void FindBookedPurchases(const QHash<QString, QList<StatementRow_st>>& refunds);
    // Works out what an earlier copy took off a purchase of this file booked before,
    // from the entry booked with it; once, and only for one a refund is given to.
    void NetBookedBefore(const QString& tradeId);
    // An entry's remark is the source's words and the order number ("微信支付 订单号42…"),
    // then the shop and the goods, each after a space.
    QString OrderRemark(const QString& tradeId) const;
    QString GoodsRemark(const StatementRow_st& row) const;
    StatementEntry_st Decide(const StatementRow_st& row);
    void Decide(StatementEntry_st& entry);
    // Pairs a row to book with the entry the book may already hold for it.
    void Pair(StatementEntry_st& entry) const;
    // What becomes of the trade of a line paired with an entry: New when it is paired with none.
    MatchChoice_en Choice(int32_t line) const;
    // One pass over the rows to book and one read of the book's entries over their days;
    // then every trade is paired at once.
    void MatchBook();
    static QString OwnerName(Vorelle_ns::UserManage_cl& users, const QString& owner);
    QString TradeKey(const StatementRow_st& row) const;
    void Count(StatementSummary_st& summary, const StatementEntry_st& entry) const;
    StatementSummary_st NewSummary() const;
    void FindBooked(const QString& key, int64_t amount, StatementEntry_st& entry);
    // From the first trade again, with nothing read ahead.
    void Rewind();
    // The next trade; rows are read a batch ahead and the book asked once per batch
    // which of their trades it has. A damaged row raises its error in its turn.
    [[nodiscard]] bool NextRow(StatementRow_st& row);
    void ReadAhead();
    // Reads the book's trades of this source once for the pass when they are few.
    void AskBook();

    StatementReader_cl reader;
    CategoryRules_cl rules;
    Vorelle_ns::UserManage_cl& users;
    Vorelle_ns::RecordManage_cl& records;
    std::unique_ptr<Vorelle_ns::TradeLog_cl> log;
    QString owner;
    bool logReady = false;                  // the book has the trade table (asked when opened)
    QStringList refundIds;                  // sorted
    QHash<QString, Original_st> originals;  // refund id -> its original, in this file or booked before
    QHash<QString, int64_t> netted;         // purchase id -> refunds an earlier copy took off it, left to skip
    QHash<QString, int64_t> bookedBefore;   // purchase id -> its amount: booked before, netted not yet worked out
    QHash<int32_t, QString> chosen;         // line -> category the user chose
    QHash<int32_t, int64_t> refundedHere;   // purchase line -> its refunds in this file
    QHash<QString, int64_t> refundsGiven;   // purchase id -> the refunds of this pass given to it so far
    QHash<size_t, int64_t> bookedKeys;      // hash of a trade key booked in this pass -> its amount
    QList<StatementRow_st> ahead;           // rows read and not yet taken
    qsizetype taken = 0;
    std::exception_ptr aheadError;          // the error of the row after them
    QHash<QString, int64_t> known;          // trades the book has -> their amounts, of those asked about:
    bool knownAhead = false;                // the rows read ahead
    bool knownAll = false;                  // every trade of the source, read once for the pass
    QList<StatementEntry_st> entries;
    StatementSummary_st summary;
    MatchChoice_en matchMode = MatchChoice_en::Ask;
    int32_t matchDays = kMatchDays;
    QHash<int32_t, Match_st> matches;        // line -> the entry its trade was paired with
    QHash<int32_t, MatchChoice_en> choices;  // line -> the user's decision
    QSet<int32_t> walletLines;               // lines of a card's payments to a wallet
    QList<StatementEntry_st> doubts;
    bool describe = true;  // rows are decided with their category, name and remark
};

}  // namespace Import_ns
