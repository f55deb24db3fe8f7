#include "Import/StatementImport.h"

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "Data/EntryIdentity.h"
#include "Data/RecordFileImport.h"
#include "Data/RecordManage.h"
#include "Data/TradeLog.h"
#include "Data/UserManage.h"
#include "Import/EntryText.h"
#include "Window/ConvertInfo.h"
#include "base/UserError.h"
#include "settings/ICustom.h"

#include <QScopeGuard>
#include <algorithm>
#include <cmath>
#include <utility>

namespace Import_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "账单写明的笔数或金额与文件中的交易对不上（文件可能不完整），没有导入。"},
        {102, "没有可以撤销的账单导入。"},
        {103, "账本中的账单交易表是旧版的，需要用能修改账本结构的用户登录一次后再导入。"},
        {104, "账单中有退款超过原交易可退的金额，没有导入。"},
        {105, "这条记录没有与账单中的交易匹配，没有可以取消的。"},
        {106, "这条记录与账单的匹配是较早的版本做的，没有保存交易的内容，无法取消匹配。"}};
    return Base_ns::UserError_cl(line, __FILE__, StatementImport_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

QString Money(int64_t hundredths) {
    return Vorelle_ns::ConvertInfo_cl::MoneyToText(hundredths, Vorelle_ns::ConvertInfo_cl::Decimals_en::Two) + u'元';
}

const char16_t* const kFlowNames[kFlowCount] = {u"支出", u"收入", u"不计收支"};

// Rows read ahead: the book is asked about their trades in one look-up.
constexpr qsizetype kRowsAhead = 100;
// The book's trades of a source are read whole for a pass when there are at most
// these many, or one for each so many bytes of the file.
constexpr int64_t kFewTrades = 1000;
constexpr int64_t kBytesPerTrade = 128;

}  // namespace

QStringList StatementSummary_st::DecisionLines() const {
    QStringList lines;
    for (int32_t i = 0; i < kDecisionCount; ++i) {
        if (decisions[i].count == 0) continue;
        lines << DecisionText(Decision_en(i)) + QStringLiteral("  ") + QString::number(decisions[i].count) +
                     QStringLiteral("笔  ") + Money(decisions[i].sum);
    }
    return lines;
}

QStringList StatementSummary_st::ComparisonLines() const {
    QStringList lines;
    const auto mark = [](bool same) { return same ? QStringLiteral("一致") : QStringLiteral("不一致"); };
    if (stated.rows >= 0)
        lines << QStringLiteral("记录数：账单写明%1笔，文件中%2笔，%3").arg(stated.rows).arg(rows).arg(mark(stated.rows == rows));
    for (int32_t i = 0; i < kFlowCount; ++i) {
        if (!stated.has[i]) continue;
        const bool same = stated.count[i] == flowCount[i] && stated.sum[i] == flowSum[i];
        lines << QString::fromUtf16(kFlowNames[i]) +
                     QStringLiteral("：账单写明%1笔 %2，文件中%3笔 %4，%5")
                         .arg(stated.count[i])
                         .arg(Money(stated.sum[i]))
                         .arg(flowCount[i])
                         .arg(Money(flowSum[i]))
                         .arg(mark(same));
    }
    if (lines.isEmpty()) lines << QStringLiteral("账单没有写明笔数和金额，无法核对。");
    return lines;
}

QStringList StatementSummary_st::Disagreements() const {
    QStringList lines = ComparisonLines();
    lines.removeIf([](const QString& line) { return !line.endsWith(QStringLiteral("不一致")); });
    return lines;
}

bool StatementSummary_st::Agrees() const {
    if (stated.rows >= 0 && stated.rows != rows) return false;
    for (int32_t i = 0; i < kFlowCount; ++i) {
        if (stated.has[i] && (stated.count[i] != flowCount[i] || stated.sum[i] != flowSum[i])) return false;
    }
    return true;
}

StatementImport_cl::StatementImport_cl(const QString& path, StatementKind_en kind,
                                       const QList<BankProfile_st>& profiles, CategoryRules_cl rules,
                                       Vorelle_ns::UserManage_cl& users, Vorelle_ns::RecordManage_cl& records,
                                       QString owner)
    : reader(path, kind, profiles), rules(std::move(rules)), users(users), records(records),
      log(std::make_unique<Vorelle_ns::TradeLog_cl>(users.GetDatabase())), owner(std::move(owner)) {
    logReady = log->Exists();
}

StatementImport_cl::~StatementImport_cl() = default;

StatementSummary_st StatementImport_cl::NewSummary() const {
    StatementSummary_st fresh;
    fresh.formatName = reader.FormatName();
    fresh.source = reader.Source();
    return fresh;
}

namespace {

// The sources of the wallets' statements, whose trades cards pay.
const QStringList kWalletSources = {QStringLiteral("支付宝"), QStringLiteral("微信支付")};

// Whether a card's row says it paid a wallet ("财付通-早餐店", "支付宝-网店").
bool NamesWallet(const QString& text) {
    static const char16_t* const kWallets[] = {u"支付宝", u"财付通", u"微信", u"云闪付", u"京东支付", u"美团支付"};
    return std::any_of(std::begin(kWallets), std::end(kWallets),
                       [&](const char16_t* wallet) { return text.contains(QStringView(wallet)); });
}

// What a refund that names no purchase has in common with it.
QString Goods(const StatementRow_st& row) { return row.counterparty + u'\n' + row.product; }

// Earlier copies booked a WeChat purchase less what its row said was refunded, and kept
// its refunds out: what the entry of a trade of amount lacks is what was refunded then.
int64_t Netted(int64_t amount, int64_t expense) { return std::clamp(amount + expense, int64_t(0), amount); }

}  // namespace

void StatementImport_cl::FindRefunds() {
    // A refund may stand before or after its original: first the refunds, then the
    // originals: those whose ids the refunds' ids begin with (Alipay), or those of the
    // same shop and goods (WeChat).
    refundIds.clear();
    originals.clear();
    refundedHere.clear();
    // A purchase is the book's whether booked now or linked to an entry there: its refunds
    // follow it either way, so the purchases are decided as if nothing were linked.
    matches.clear();
    walletLines.clear();
    netted.clear();
    bookedBefore.clear();
    // A statement that cannot hold a refund is read once, not twice.
    if (!reader.MayHoldRefunds()) return;
    QHash<QString, QList<StatementRow_st>> apart;  // goods -> refunds naming no purchase
    StatementRow_st row;
    Rewind();
    while (reader.Next(row)) {
        if (!row.refund || row.tradeId.isEmpty()) continue;
        if (reader.RefundIdsNamePurchases()) refundIds.append(row.tradeId);
        else apart[Goods(row)].append(row);
    }
    if (refundIds.isEmpty() && apart.isEmpty()) return;
    std::sort(refundIds.begin(), refundIds.end());
    QHash<QString, QList<Purchase_st>> purchases;
    Rewind();
    // The purchases are decided as the entries will be, each checked against the book.
    AskBook();
    while (reader.Next(row)) {
        if (row.refund || row.tradeId.isEmpty()) continue;
        const bool sameGoods = row.flow == Flow_en::Expense && apart.contains(Goods(row));
        auto it = std::lower_bound(refundIds.cbegin(), refundIds.cend(), row.tradeId);
        if (!sameGoods && (it == refundIds.cend() || !it->startsWith(row.tradeId))) continue;
        const StatementEntry_st decided = Decide(row);
        const Original_st original{decided.typeName,
                                   Books(decided.decision) || decided.decision == Decision_en::AlreadyImported, row.line,
                                   row.tradeId, row.amount - row.refunded};
        for (; it != refundIds.cend() && it->startsWith(row.tradeId); ++it) {
            if (*it != row.tradeId) originals.insert(*it, original);
        }
        if (sameGoods && original.booked) {
            purchases[Goods(row)].append({row.time, row.amount, row.refundedApart, 0, original});
            if (decided.decision == Decision_en::AlreadyImported) bookedBefore.insert(row.tradeId, row.amount);
        }
    }
    MatchRefunds(apart, purchases);
    if (logReady) FindBookedPurchases(apart);
    // Only the purchases refunds were given to are looked for in the book.
    for (const Original_st& original : std::as_const(originals)) NetBookedBefore(original.tradeId);
    bookedBefore.clear();
}

void StatementImport_cl::NetBookedBefore(const QString& tradeId) {
    const auto amount = bookedBefore.constFind(tradeId);
    if (amount == bookedBefore.cend()) return;
    // An entry no longer there takes its refunds with it.
    int64_t booked = 0;
    netted.insert(tradeId, log->FindEntryExpense(OrderRemark(tradeId), booked) ? Netted(*amount, booked) : *amount);
    bookedBefore.erase(amount);
}

void StatementImport_cl::FindBookedPurchases(const QHash<QString, QList<StatementRow_st>>& refunds) {
    // A refund whose purchase is not in this statement: the latest entry of the same
    // shop and goods from an earlier one, all looked for at once.
    const QString start = OrderRemark(QString());
    QList<const StatementRow_st*> apart;
    QList<Vorelle_ns::SoughtPurchase_st> sought;
    for (const QList<StatementRow_st>& rows : refunds) {
        for (const StatementRow_st& refund : rows) {
            const QString goods = WithoutApostrophe(GoodsRemark(refund));
            if (originals.contains(refund.tradeId) || goods.isEmpty()) continue;
            apart.append(&refund);
            sought.append({goods, refund.time});
        }
    }
    if (sought.isEmpty()) return;
    const QList<Vorelle_ns::BookedPurchase_st> purchases = log->FindPurchases(start, sought);
    for (qsizetype i = 0; i < apart.size(); ++i) {
        const Vorelle_ns::BookedPurchase_st& found = purchases[i];
        if (found.tradeId.isEmpty() || originals.contains(apart[i]->tradeId)) continue;
        originals.insert(apart[i]->tradeId, {found.typeName, true, 0, found.tradeId});
        // A trade kept without its amount tells nothing of what was taken off.
        int64_t amount = Vorelle_ns::TradeLog_cl::UnknownAmount;
        NetBookedBefore(found.tradeId);
        if (!netted.contains(found.tradeId) &&
            log->Find(reader.Source(), Vorelle_ns::TradeLog_cl::Key(found.tradeId), amount) &&
            amount != Vorelle_ns::TradeLog_cl::UnknownAmount)
            netted.insert(found.tradeId, Netted(amount, found.expense));
    }
}

void StatementImport_cl::MatchRefunds(const QHash<QString, QList<StatementRow_st>>& refunds,
                                      QHash<QString, QList<Purchase_st>>& purchases) {
    for (auto goods = refunds.cbegin(); goods != refunds.cend(); ++goods) {
        QList<Purchase_st>& candidates = purchases[goods.key()];
        // Earliest refund first, each to the latest purchase before it that it fits in,
        // one that says it was refunded rather than one that does not.
        QList<StatementRow_st> rows = goods.value();
        std::sort(rows.begin(), rows.end(),
                  [](const StatementRow_st& a, const StatementRow_st& b) { return a.time.IsEarlierThan(b.time); });
        for (const StatementRow_st& refund : rows) {
            Purchase_st* best = nullptr;
            bool bestSays = false;
            for (Purchase_st& candidate : candidates) {
                if (refund.time.IsEarlierThan(candidate.time) || candidate.amount - candidate.matched < refund.amount)
                    continue;
                const bool says = candidate.refundedApart - candidate.matched >= refund.amount;
                if (best == nullptr || (says && !bestSays) ||
                    (says == bestSays && best->time.IsEarlierThan(candidate.time))) {
                    best = &candidate;
                    bestSays = says;
                }
            }
            if (best == nullptr) continue;
            best->matched += refund.amount;
            refundedHere[best->original.line] += refund.amount;
            originals.insert(refund.tradeId, best->original);
        }
    }
}

QString StatementImport_cl::OrderRemark(const QString& tradeId) const {
    return WithoutApostrophe(reader.Source() + QStringLiteral(" 订单号") + tradeId);
}

QString StatementImport_cl::GoodsRemark(const StatementRow_st& row) const {
    QString remark;
    if (!row.counterparty.isEmpty()) remark += QStringLiteral(" ") + row.counterparty;
    if (!row.product.isEmpty() && row.product != row.counterparty) remark += QStringLiteral(" ") + row.product;
    return remark;
}

QString StatementImport_cl::TradeKey(const StatementRow_st& row) const {
    if (!row.tradeId.isEmpty()) return Vorelle_ns::TradeLog_cl::Key(WithoutApostrophe(row.tradeId));
    return row.time.Format() + u'|' + QString::number(row.amount) + u'|' + row.counterparty.left(20) + u'|' +
           row.product.left(20);
}

StatementEntry_st StatementImport_cl::Decide(const StatementRow_st& row) {
    StatementEntry_st entry;
    entry.row = row;
    Decide(entry);
    return entry;
}

void StatementImport_cl::Decide(StatementEntry_st& entry) {
    const StatementRow_st& row = entry.row;
    const std::optional<CategoryRule_st> rule = describe ? rules.Match(row) : std::nullopt;
    // The kind of trade is no category: without one the entry goes to 开销 or 收入. A
    // refund's own category column names the kind ("退款"), never what was bought.
    QString category = rule ? rule->category : row.refund ? QString() : row.category;
    entry.mode = rule && rule->mode >= 0 ? rule->mode : 0;
    const QString name = rule && !rule->name.isEmpty() ? rule->name
                         : !row.product.isEmpty()                 ? row.product
                         : !row.counterparty.isEmpty()            ? row.counterparty
                         : !row.category.isEmpty()                ? row.category
                                                                  : row.kind;
    entry.decision = Decision_en::Import;
    entry.expense = 0;
    const int64_t net = row.amount - row.refunded;
    if (row.refund) {
        const auto found = originals.constFind(row.tradeId);
        if (found != originals.cend()) {
            if (!found->booked) entry.decision = Decision_en::OriginalSkipped;
            category = found->typeName;
            // A purchase linked to the family's entry: its refund goes to that entry's category.
            if (found->line > 0 && Choice(found->line) == MatchChoice_en::Link)
                category = matches.value(found->line).entry.typeName;
            // More back than was left of the purchase is no refund of it alone.
            if (found->amount > 0) {
                int64_t& given = refundsGiven[found->tradeId];
                entry.refundLeft = std::max(int64_t(0), found->amount - given);
                entry.excess = std::max(int64_t(0), row.amount - entry.refundLeft);
                given += row.amount;
            }
            const auto left = netted.find(found->tradeId);
            if (left != netted.end() && *left >= row.amount) {
                *left -= row.amount;
                entry.decision = Decision_en::RefundCounted;
            }
        } else if (describe && logReady && reader.RefundIdsNamePurchases()) {
            const QString booked = log->FindOriginalType(reader.Source(), TradeKey(row));
            if (!booked.isEmpty()) category = booked;
        }
        entry.expense = row.amount;
        if (entry.decision == Decision_en::Import) entry.decision = Decision_en::Refund;
    } else if (row.amount > 0 && net <= 0) {
        entry.decision = Decision_en::FullyRefunded;
    } else if (row.closed) {
        entry.decision = Decision_en::Closed;
    } else if (row.pending) {
        entry.decision = Decision_en::Pending;
    } else if (row.flow == Flow_en::Neutral) {
        entry.decision = Decision_en::Neutral;
    } else if (row.amount == 0) {
        entry.decision = Decision_en::Zero;
    } else {
        entry.expense = row.flow == Flow_en::Expense ? -net : net;
        entry.refundLater = std::max(int64_t(0), row.refundedApart - refundedHere.value(row.line));
    }
    if (chosen.contains(row.line)) category = chosen.value(row.line);
    if (describe) {
        entry.typeName = ClipName(WithoutApostrophe(category));
        entry.expenseName = ClipName(WithoutApostrophe(name));
        entry.comment = ClipComment(OrderRemark(row.tradeId) + WithoutApostrophe(GoodsRemark(row)));
    }
    if (Books(entry.decision)) FindBooked(TradeKey(row), row.amount, entry);
    if (Books(entry.decision)) Pair(entry);
}

MatchChoice_en StatementImport_cl::Choice(int32_t line) const {
    const auto match = matches.constFind(line);
    if (match == matches.cend()) return MatchChoice_en::New;
    return choices.value(line, match->clear ? MatchChoice_en::Link : matchMode);
}

void StatementImport_cl::Pair(StatementEntry_st& entry) const {
    const auto match = matches.constFind(entry.row.line);
    if (match == matches.cend()) {
        // Paid to a wallet whose own statement is not in yet: booked once that comes, unless
        // the user books it now.
        if (walletLines.contains(entry.row.line) && choices.value(entry.row.line, matchMode) != MatchChoice_en::New)
            entry.decision = Decision_en::Unpaired;
        return;
    }
    entry.pairedWith = match->entry;
    const MatchChoice_en choice = Choice(entry.row.line);
    if (choice == MatchChoice_en::New) return;
    entry.decision = choice == MatchChoice_en::Link ? Decision_en::Linked : Decision_en::MaybeDuplicate;
    // The family's entry keeps its category: a refund of the trade later goes there too.
    if (entry.decision == Decision_en::Linked) {
        entry.ownType = entry.typeName;
        entry.typeName = match->entry.typeName;
    }
}

void StatementImport_cl::MatchBook() {
    matches.clear();
    walletLines.clear();
    if (!logReady) return;
    // A card's statement pays the wallets; a wallet's trades may be paid by card.
    const bool card = !kWalletSources.contains(reader.Source());
    // Deciding takes refunds off what is left to net: this pass leaves it as it found it.
    const QHash<QString, int64_t> keepNetted = netted;
    // Only what is booked matters here, not how it is described.
    describe = false;
    const auto described = qScopeGuard([this] { describe = true; });
    QList<MatchTrade_st> trades;
    double first = 0, last = 0;
    Rewind();
    AskBook();
    StatementRow_st row;
    while (NextRow(row)) {
        const StatementEntry_st entry = Decide(row);
        if (!Books(entry.decision)) continue;
        bookedKeys.insert(qHash(TradeKey(row)), row.amount);
        const double day = std::floor(row.time.Value());
        if (trades.isEmpty() || day < first) first = day;
        if (trades.isEmpty() || day > last) last = day;
        MatchTrade_st trade{row.line, row.time, entry.expense, entry.expense > 0 && entry.decision != Decision_en::Refund,
                            row.counterparty + u' ' + row.product, {}};
        if (!card) trade.partners = {QStringLiteral("银行")};
        else if (NamesWallet(trade.text)) {
            trade.partners = kWalletSources;
            walletLines.insert(row.line);
        }
        trades.append(trade);
    }
    bookedKeys.clear();
    netted = keepNetted;
    if (trades.isEmpty()) return;
    QList<Vorelle_ns::BookEntry_st> book = log->FindOpenEntries(
        users.FindUser(OwnerName(users, owner)), Base_ns::DateTime_cl(first - matchDays),
        Base_ns::DateTime_cl(last + matchDays + 1 - 1.0 / 86400));
    // A card's entry is a wallet's trade only when it says it paid a wallet.
    book.removeIf([](const Vorelle_ns::BookEntry_st& entry) {
        return !entry.source.isEmpty() && !kWalletSources.contains(entry.source) &&
               !NamesWallet(entry.name + u' ' + entry.comment);
    });
    matches = StatementMatcher_cl(matchDays).Match(trades, book);
}

void StatementImport_cl::FindBooked(const QString& key, int64_t amount, StatementEntry_st& entry) {
    int64_t kept = Vorelle_ns::TradeLog_cl::UnknownAmount;
    const auto seen = bookedKeys.constFind(qHash(key));
    bool found = seen != bookedKeys.cend();
    if (found) {
        kept = *seen;
    } else if (knownAhead || knownAll) {
        const auto booked = known.constFind(key);
        found = booked != known.cend();
        if (found) kept = *booked;
    } else if (logReady) {
        found = log->Find(reader.Source(), key, kept);
    }
    if (!found) return;
    // The same id with another amount is another trade, or a damaged file: say so
    // rather than take it for the one booked.
    entry.decision = kept == amount || kept == Vorelle_ns::TradeLog_cl::UnknownAmount ? Decision_en::AlreadyImported
                                                                                      : Decision_en::Conflict;
}

void StatementImport_cl::Rewind() {
    reader.Rewind();
    refundsGiven.clear();
    ahead.clear();
    taken = 0;
    aheadError = nullptr;
    known.clear();
    knownAhead = knownAll = false;
}

void StatementImport_cl::AskBook() {
    // Read whole when there are no more than the file could hold: memory stays of the
    // file's own size, and a first import asks nothing more.
    if (logReady) knownAll = log->FindAll(reader.Source(), std::max(kFewTrades, reader.Size() / kBytesPerTrade), known);
}

void StatementImport_cl::ReadAhead() {
    ahead.clear();
    taken = 0;
    if (!knownAll) {
        known.clear();
        knownAhead = false;
    }
    try {
        StatementRow_st row;
        while (ahead.size() < kRowsAhead && reader.Next(row)) ahead.append(std::move(row));
    } catch (...) {
        aheadError = std::current_exception();
    }
    if (!logReady || knownAll || ahead.isEmpty()) return;
    QStringList keys;
    keys.reserve(ahead.size());
    for (const StatementRow_st& row : std::as_const(ahead)) keys.append(TradeKey(row));
    known = log->FindMany(reader.Source(), keys);
    knownAhead = true;
}

bool StatementImport_cl::NextRow(StatementRow_st& row) {
    if (taken == ahead.size()) {
        if (aheadError) std::rethrow_exception(std::exchange(aheadError, nullptr));
        ReadAhead();
        if (ahead.isEmpty()) {
            if (aheadError) std::rethrow_exception(std::exchange(aheadError, nullptr));
            return false;
        }
    }
    row = std::move(ahead[taken++]);
    return true;
}

void StatementImport_cl::Count(StatementSummary_st& counted, const StatementEntry_st& entry) const {
    const StatementRow_st& row = entry.row;
    ++counted.rows;
    // A closed trade moved no money: the statements leave it out of their totals.
    if (!row.closed) {
        ++counted.flowCount[int(row.flow)];
        counted.flowSum[int(row.flow)] += row.amount;
    }
    if (entry.excess > 0) {
        counted.excessRefunds << QStringLiteral("第%1行：退款%2，原交易只剩%3可退，多出%4")
                                     .arg(row.line)
                                     .arg(Money(row.amount), Money(entry.refundLeft), Money(entry.excess));
    }
    DecisionTotal_st& total = counted.decisions[int(entry.decision)];
    ++total.count;
    total.sum += entry.Amount();
}

const StatementSummary_st& StatementImport_cl::Preview(bool keep, const Progress_fn& progress) {
    FindRefunds();
    MatchBook();
    entries.clear();
    doubts.clear();
    bookedKeys.clear();
    summary = NewSummary();
    Rewind();
    AskBook();
    StatementRow_st row;
    while (NextRow(row)) {
        const StatementEntry_st entry = Decide(row);
        if (Books(entry.decision) || entry.decision == Decision_en::Linked)
            bookedKeys.insert(qHash(TradeKey(row)), row.amount);
        if (entry.decision == Decision_en::MaybeDuplicate || entry.decision == Decision_en::Unpaired) doubts.append(entry);
        Count(summary, entry);
        if (keep) entries.append(entry);
        if (progress) progress(reader.Position(), reader.Size());
    }
    summary.stated = reader.Stated();
    bookedKeys.clear();
    return summary;
}

void StatementImport_cl::SetCategory(int32_t line, const QString& category) {
    chosen.insert(line, category);
    for (Original_st& original : originals) {
        if (original.line == line) original.typeName = ClipName(WithoutApostrophe(category));
    }
    // The kept rows follow, a refund with its original.
    for (StatementEntry_st& entry : entries) {
        const auto original = originals.constFind(entry.row.tradeId);
        if (entry.row.line == line || (entry.row.refund && original != originals.cend() && original->line == line))
            entry.typeName = ClipName(WithoutApostrophe(category));
    }
}

int32_t StatementImport_cl::MatchDays(Unique_ns::ICustom_cl& custom) {
    return std::clamp(custom.ReadInteger(QStringLiteral("statement/matchDays"), kMatchDays), 0, 30);
}

QString StatementImport_cl::OwnerName(Vorelle_ns::UserManage_cl& users, const QString& owner) {
    if (!owner.isEmpty()) return owner;
    const Base_ns::Trusteeship_tl<Vorelle_ns::UserInfo_st> all = users.GetUsers();
    for (int32_t i = 0; i < all.Count(); ++i) {
        if (all[i].sn == users.GetCurrentUser()) return all[i].userName;
    }
    return QString();
}

StatementSummary_st StatementImport_cl::Import(const Progress_fn& progress, bool acceptMismatch) {
    const QString ownerName = OwnerName(users, owner);
    const int32_t ownerSn = users.FindUser(ownerName);
    StatementSummary_st done = NewSummary();
    DB_ns::BeginTrans_cl transaction(&users.GetDatabase());
    // Made with the book, or at login to an older one; if that could not be done, here,
    // so that a refused import leaves no table behind. One an older copy made is widened
    // at login only: on some servers a failed look at it would spoil this transaction.
    const bool made = !logReady;
    if (made && log->ExistsAny()) throw UserError(103, __LINE__, QString());
    if (made) log->CreateTable();
    logReady = true;
    int32_t importSn = 0;
    const auto importNow = [&] {
        if (importSn == 0) importSn = log->BeginImport(ownerSn, reader.Source());
        return importSn;
    };
    doubts.clear();
    try {
        // Another copy importing now finishes first; its trades are then found booked.
        log->Lock();
        FindRefunds();
        MatchBook();
        bookedKeys.clear();
        Rewind();
        AskBook();
        // The entries go to the book as the rows are read, in one booking: memory stays
        // flat, and the book keeps one undo state for the whole statement, not one a part.
        const auto next = [&](Vorelle_ns::RecordInfo_st& record) {
            StatementRow_st row;
            while (NextRow(row)) {
                const StatementEntry_st entry = Decide(row);
                Count(done, entry);
                if (progress) progress(reader.Position(), reader.Size());
                if (entry.decision == Decision_en::MaybeDuplicate || entry.decision == Decision_en::Unpaired) doubts.append(entry);
                const bool linked = entry.decision == Decision_en::Linked;
                if (!Books(entry.decision) && !linked) continue;
                // A repeated id later in the file finds the trade row, written or held.
                const QString key = TradeKey(row);
                log->Add(reader.Source(), key, entry.typeName, ownerSn, row.amount, linked ? entry.pairedWith.sn : 0,
                         importNow(), linked ? KeptEntry(entry, ownerName) : QString());
                bookedKeys.insert(qHash(key), row.amount);
                if (linked) continue;
                record = AsRecord(entry, entry.typeName, ownerName);
                return true;
            }
            return false;
        };
        records.ImportRecords(next);
        log->Flush();
        if (importSn != 0) log->EndImport(importSn);
        bookedKeys.clear();
        done.stated = reader.Stated();
        if (!acceptMismatch && !done.Agrees())
            throw UserError(101, __LINE__, done.Disagreements().join(QStringLiteral("；")));
        if (!acceptMismatch && !done.excessRefunds.isEmpty())
            throw UserError(104, __LINE__, done.excessRefunds.join(QStringLiteral("；")));
    } catch (...) {
        log->Discard();
        if (made) logReady = false;
        throw;
    }
    transaction.Commit();
    return done;
}

namespace {

// The fields of an entry a link keeps, apart: none of them holds this character.
constexpr QChar kKeptSeparator = QChar(0x1f);

}  // namespace

Vorelle_ns::RecordInfo_st StatementImport_cl::AsRecord(const StatementEntry_st& entry, const QString& typeName,
                                                       const QString& ownerName) {
    Vorelle_ns::RecordInfo_st record;
    record.recordTime = entry.row.time;
    record.typeName = typeName;
    record.expenseName = entry.expenseName;
    record.expense = int32_t(entry.expense);
    record.refund = entry.decision == Decision_en::Refund;
    record.userName = ownerName;
    record.statisticsMode = entry.mode;
    record.comment = entry.comment;
    record.line = entry.row.line;
    return record;
}

QString StatementImport_cl::KeptEntry(const StatementEntry_st& entry, const QString& ownerName) {
    const Vorelle_ns::RecordInfo_st record = AsRecord(entry, entry.ownType, ownerName);
    return QStringList{record.recordTime.Format(), QString::number(record.expense), QString(QChar(record.refund ? u'1' : u'0')),
                       QString::number(record.statisticsMode), record.typeName, record.expenseName, record.userName,
                       record.comment}
        .join(kKeptSeparator);
}

void StatementImport_cl::Unlink(Vorelle_ns::UserManage_cl& users, Vorelle_ns::RecordManage_cl& records, int32_t recordSn) {
    const QString entrySn = QString::number(recordSn);
    Vorelle_ns::TradeLog_cl log(users.GetDatabase());
    if (!log.Exists()) throw UserError(105, __LINE__, entrySn);
    DB_ns::BeginTrans_cl transaction(&users.GetDatabase());
    log.Lock();
    Vorelle_ns::TradeLink_st link;
    if (!log.FindLink(recordSn, link)) throw UserError(105, __LINE__, entrySn);
    const QStringList kept = link.entry.split(kKeptSeparator);
    if (kept.size() != 8) throw UserError(106, __LINE__, entrySn);
    Vorelle_ns::RecordInfo_st record;
    record.recordTime = Base_ns::DateTime_cl::ParseFormatted(kept[0]);
    record.expense = kept[1].toInt();
    record.refund = kept[2] == u"1";
    record.statisticsMode = kept[3].toInt();
    record.typeName = kept[4];
    record.expenseName = kept[5];
    record.userName = kept[6];
    record.comment = kept[7];
    Container_ns::List_tl<Vorelle_ns::RecordInfo_st> booked;
    booked.Append(record);
    records.ImportRecords(booked);
    log.Unlink(link.sn);
    transaction.Commit();
}

ImportUndone_st StatementImport_cl::UndoLast(Vorelle_ns::UserManage_cl& users, Vorelle_ns::RecordManage_cl& records,
                                             const QString& owner) {
    const QString ownerName = OwnerName(users, owner);
    const int32_t ownerSn = users.FindUser(ownerName);
    Vorelle_ns::TradeLog_cl log(users.GetDatabase());
    if (!log.Exists()) throw UserError(102, __LINE__, ownerName);
    DB_ns::BeginTrans_cl transaction(&users.GetDatabase());
    // No import of another copy comes between.
    log.Lock();
    Vorelle_ns::TradeImport_st last;
    if (!log.LastImport(ownerSn, last)) throw UserError(102, __LINE__, ownerName);
    ImportUndone_st done;
    done.source = last.source;
    done.time = last.time;
    Container_ns::List_tl<int32_t> booked;
    // A record file's entries are known by their identities, a statement's by their remarks.
    const bool recordFile = last.source == Vorelle_ns::RecordFileImport_cl::Source();
    const QList<int32_t> sns =
        recordFile ? Vorelle_ns::EntryIdentity_cl(users.GetDatabase())
                         .BookedEntries(ownerSn, last.source, Vorelle_ns::RecordFileImport_cl::Prefix(last.sn))
                   : log.BookedEntries(last, ownerSn);
    for (const int32_t sn : sns) booked.Append(sn);
    done.removed = int32_t(booked.Count());
    done.unlinked = int32_t(log.LinkedEntries(last.sn).size());
    if (done.removed > 0) records.DeleteRecords(booked, recordFile ? QStringLiteral("撤销记录文件导入。") : Vorelle_ns::TradeLog_cl::UndoneImportInfo());
    log.ForgetImport(last.sn);
    transaction.Commit();
    return done;
}

}  // namespace Import_ns

namespace Import_ns {

QString ImportUndone_st::Text(bool dryRun) const {
    if (source == Vorelle_ns::RecordFileImport_cl::Source())
        return (dryRun ? QStringLiteral("检查通过，将撤销%1导入的%2：%3条记录移入回收站，没有写入。")
                       : QStringLiteral("已撤销%1导入的%2：%3条记录移入回收站。"))
            .arg(time.Format(), source)
            .arg(removed);
    return (dryRun ? QStringLiteral("检查通过，将撤销%1导入的%2账单：%3条记录移入回收站，%4条已有记录取消匹配，没有写入。")
                   : QStringLiteral("已撤销%1导入的%2账单：%3条记录移入回收站，%4条已有记录取消匹配。"))
        .arg(time.Format(), source)
        .arg(removed)
        .arg(unlinked);
}

}  // namespace Import_ns
