#include "Import/StatementReader.h"

#include "Import/CsvRows.h"
#include "Import/EntryText.h"
#include "Import/XlsxRows.h"
#include "Window/ConvertInfo.h"
#include "base/Text.h"
#include "base/UserError.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace Import_ns {

namespace {

const Base_ns::ErrorInfo_st kErrors[] = {{101, "无法识别账单格式。"},
                                         {102, "账单内容不正确，金额不是数字。"},
                                         {103, "账单内容不正确，日期不存在。"},
                                         {104, "账单内容不正确，列数不够。"},
                                         {105, "账单内容不正确，金额太大，最多为21474836.47。"}};
constexpr int32_t kErrorCount = int32_t(std::size(kErrors));

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark) {
    return Base_ns::UserError_cl(line, __FILE__, StatementReader_cl::ClassName(), code, kErrors, kErrorCount, remark);
}

// The line and the text at fault, cut short: a damaged file may hold a whole file's
// worth of text in one cell.
QString At(int32_t line, const QString& what) {
    constexpr int32_t shown = 40;
    const QString clipped = Base_ns::LeftCharacters(what, shown);
    return QStringLiteral("第") + QString::number(line) + QStringLiteral("行：") + clipped +
           (clipped.size() < what.size() ? QStringLiteral("…") : QString());
}

// An amount that cannot be read: too large, or not a number at all.
Base_ns::UserError_cl AmountError(int32_t sourceLine, int32_t line, const QString& text) {
    QString bare = text;
    bare.remove(u'¥').remove(u'￥').remove(u',').remove(u' ');
    return UserError(Vorelle_ns::ConvertInfo_cl::IsMoneyTooLarge(bare) ? 105 : 102, sourceLine, At(line, text));
}

// The header titles each shape's table must have.
const QStringList kAlipayNew = {"交易时间", "交易分类", "交易对方", "商品说明", "收/支", "金额", "交易状态", "交易订单号"};
const QStringList kAlipayOld = {"交易号",   "交易创建时间", "交易对方", "商品名称",    "金额（元）",
                                "收/支",    "交易状态",     "类型",     "成功退款（元）"};
const QStringList kWeChat = {"交易时间", "交易类型", "交易对方", "商品", "收/支", "金额(元)", "当前状态", "交易单号"};

QStringList BankTitles(const BankProfile_st& p) {
    QStringList titles;
    for (const QString& title : {p.dateTitle, p.amountTitle, p.incomeTitle, p.expenseTitle, p.descriptionTitle,
                                 p.counterpartyTitle, p.balanceTitle, p.idTitle}) {
        if (!title.isEmpty()) titles.append(title);
    }
    return titles;
}

// "共N笔记录", "收入：N笔 X元", "支出：N笔 ¥1,322.56", "不计收支：…", "中性交易：…" anywhere in the
// notes around the table; the older Alipay layout's "已收入:N笔,X元" and "已支出:N笔,X元"
// (its "待…" lines are trades not finished).
void ReadStated(const QStringList& cells, StatementTotals_st& stated) {
    static const QRegularExpression rows(QStringLiteral("^共\\s*(\\d+)\\s*笔记录"));
    static const QRegularExpression flow(
        QStringLiteral("^已?(收入|支出|不计收支|中性交易)[：:]\\s*(\\d+)\\s*笔\\s*[,，]?\\s*[¥￥]?\\s*([\\d,]+(?:\\.\\d+)?)"));
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString& cell = cells[i];
        if (cell.isEmpty()) continue;
        const QRegularExpressionMatch all = rows.match(cell);
        if (all.hasMatch()) stated.rows = all.captured(1).toInt();
        // A CSV reader splits "已支出:1笔,40.00元" and "支出：2笔 ¥1,322.56" at their commas:
        // the line is read whole from this cell on.
        const QRegularExpressionMatch one = flow.match(cells.mid(i).join(u','));
        if (!one.hasMatch()) continue;
        const QString which = one.captured(1);
        const int index = which == u"收入" ? int(Flow_en::Income) : which == u"支出" ? int(Flow_en::Expense)
                                                                                      : int(Flow_en::Neutral);
        int64_t sum = 0;
        if (!ReadAmount(one.captured(3), sum)) continue;
        stated.has[index] = true;
        stated.count[index] = one.captured(2).toInt();
        stated.sum[index] = sum;
    }
}

bool AllEmpty(const QStringList& cells) {
    return std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.isEmpty(); });
}

qsizetype Filled(const QStringList& cells) {
    return std::count_if(cells.begin(), cells.end(), [](const QString& c) { return !c.isEmpty(); });
}

// A statement's time as the apps write it; a workbook's dates come as such text too. A
// bare number ("45000") is no time.
Base_ns::DateTime_cl ReadTime(const QString& text) { return Base_ns::DateTime_cl::Parse(text); }

Base_ns::DateTime_cl ReadBankDate(QString text, const QString& format) {
    if (format == u"yyyyMMdd") {
        static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})(\\s.*)?$"));
        const QRegularExpressionMatch match = compact.match(text);
        if (!match.hasMatch()) return Base_ns::DateTime_cl::MakeInvalid();
        text = match.captured(1) + u'-' + match.captured(2) + u'-' + match.captured(3) + match.captured(4);
    }
    return ReadTime(text);
}

Flow_en ReadFlow(const QString& text) {
    if (text == u"支出") return Flow_en::Expense;
    if (text == u"收入") return Flow_en::Income;
    return Flow_en::Neutral;
}

bool IsClosed(const QString& status) {
    return status.contains(u"关闭") || status.contains(u"失败") || status.contains(u"撤销") ||
           status.contains(u"取消");
}

bool IsPending(const QString& status) {
    return status.startsWith(u"等待") || status.startsWith(u"待") || status.contains(u"处理中");
}

}  // namespace

StatementReader_cl::StatementReader_cl(const QString& path, StatementKind_en wanted,
                                       const QList<BankProfile_st>& profiles) {
    if (XlsxRows_cl::LooksLikeZip(path)) rows = std::make_unique<XlsxRows_cl>(path);
    else rows = std::make_unique<CsvRows_cl>(path);
    if (FindHeader(wanted, profiles)) return;
    QStringList expected;
    if (wanted == StatementKind_en::Auto || wanted == StatementKind_en::Alipay)
        expected << QStringLiteral("支付宝账单（列头含 ") + kAlipayNew.join(u',') + QStringLiteral("，或旧版的 ") +
                        kAlipayOld.join(u',') + u'）';
    if (wanted == StatementKind_en::Auto || wanted == StatementKind_en::WeChat)
        expected << QStringLiteral("微信支付账单（列头含 ") + kWeChat.join(u',') + u'）';
    if (wanted == StatementKind_en::Auto || wanted == StatementKind_en::Bank) {
        for (const BankProfile_st& p : profiles)
            expected << QStringLiteral("银行账单“") + p.name + QStringLiteral("”（列头含 ") +
                            BankTitles(p).join(u',') + u'）';
    }
    throw UserError(101, __LINE__, path + QStringLiteral("；应为：") + expected.join(QStringLiteral("；")));
}

StatementReader_cl::~StatementReader_cl() = default;

bool StatementReader_cl::IsUnknownShape(const Base_ns::Error_cl& error) {
    return error.ClassName() == ClassName() && error.Message() == Base_ns::Error_cl::LookUp(101, kErrors, kErrorCount);
}

bool StatementReader_cl::TryShape(Shape_en candidate, const QStringList& cells, const BankProfile_st* bank) {
    const QStringList& titles = candidate == Shape_en::AlipayNew   ? kAlipayNew
                                : candidate == Shape_en::AlipayOld ? kAlipayOld
                                : candidate == Shape_en::WeChat    ? kWeChat
                                                                   : BankTitles(*bank);
    QHash<QString, qsizetype> found;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (!found.contains(cells[i])) found.insert(cells[i], i);
    }
    width = 0;
    for (const QString& title : titles) {
        if (!found.contains(title)) return false;
        width = std::max(width, found.value(title) + 1);
    }
    shape = candidate;
    columns = found;
    if (bank != nullptr) profile = *bank;
    return true;
}

bool StatementReader_cl::FindHeader(StatementKind_en wanted, const QList<BankProfile_st>& profiles) {
    const bool any = wanted == StatementKind_en::Auto;
    QStringList cells;
    int32_t line = 0;
    while (rows->Next(cells, line)) {
        const bool found =
            ((any || wanted == StatementKind_en::Alipay) &&
             (TryShape(Shape_en::AlipayNew, cells, nullptr) || TryShape(Shape_en::AlipayOld, cells, nullptr))) ||
            ((any || wanted == StatementKind_en::WeChat) && TryShape(Shape_en::WeChat, cells, nullptr)) ||
            ((any || wanted == StatementKind_en::Bank) &&
             std::any_of(profiles.begin(), profiles.end(),
                         [&](const BankProfile_st& p) { return TryShape(Shape_en::Bank, cells, &p); }));
        if (found) {
            headerLine = line;
            return true;
        }
        ReadStated(cells, stated);
    }
    return false;
}

void StatementReader_cl::Rewind() {
    rows->Rewind();
    stated = StatementTotals_st();
    trailer = false;
    bankKeys.clear();
    QStringList cells;
    int32_t line = 0;
    while (rows->Next(cells, line) && line != headerLine) ReadStated(cells, stated);
}

QString StatementReader_cl::Source() const {
    switch (shape) {
    case Shape_en::AlipayNew:
    case Shape_en::AlipayOld: return QStringLiteral("支付宝");
    case Shape_en::WeChat: return QStringLiteral("微信支付");
    case Shape_en::Bank: break;
    }
    return QStringLiteral("银行");
}

QString StatementReader_cl::FormatName() const {
    QString name;
    switch (shape) {
    case Shape_en::AlipayNew: name = QStringLiteral("支付宝账单"); break;
    case Shape_en::AlipayOld: name = QStringLiteral("支付宝账单（旧版）"); break;
    case Shape_en::WeChat: name = QStringLiteral("微信支付账单"); break;
    case Shape_en::Bank: name = QStringLiteral("银行账单（") + profile.name + u'）'; break;
    }
    return name + QStringLiteral("，") + rows->Encoding();
}

bool StatementReader_cl::MayHoldRefunds() {
    // Refunds are the rows whose status says 退款成功 (Alipay) or whose kind ends in
    // -退款 (WeChat); the older Alipay layout and the banks have none. One character:
    // no quote of the file can stand inside it.
    return (shape == Shape_en::AlipayNew || shape == Shape_en::WeChat) && rows->MayContain(QStringLiteral("退"));
}

QString StatementReader_cl::Cell(const QStringList& cells, const QString& title) const {
    const qsizetype column = columns.value(title, -1);
    return column >= 0 && column < cells.size() ? cells[column] : QString();
}

bool StatementReader_cl::Next(StatementRow_st& row) {
    QStringList cells;
    int32_t line = 0;
    while (rows->Next(cells, line)) {
        if (AllEmpty(cells)) continue;
        // The table ends at a line of dashes; notes and totals may follow it. A lone note
        // inside the table is read for totals and passed over.
        if (cells[0].startsWith(QStringLiteral("---"))) trailer = true;
        if (trailer || Filled(cells) == 1) {
            ReadStated(cells, stated);
            continue;
        }
        // Banks close with total lines ("人民币合计").
        if (shape == Shape_en::Bank && std::any_of(cells.begin(), cells.end(), [](const QString& c) {
                return c.contains(u"合计") || c.contains(u"总计");
            }))
            continue;
        if (cells.size() < width) throw UserError(104, __LINE__, At(line, cells.join(u',')));
        row = StatementRow_st();
        row.line = line;
        if (shape == Shape_en::Bank) ReadBankTrade(cells, line, row);
        else ReadTrade(cells, line, row);
        return true;
    }
    return false;
}

void StatementReader_cl::ReadTrade(const QStringList& cells, int32_t line, StatementRow_st& row) {
    const bool old = shape == Shape_en::AlipayOld;
    const bool weChat = shape == Shape_en::WeChat;
    QString timeText = old ? Cell(cells, QStringLiteral("付款时间")) : Cell(cells, QStringLiteral("交易时间"));
    if (old && timeText.isEmpty()) timeText = Cell(cells, QStringLiteral("交易创建时间"));
    row.time = ReadTime(timeText);
    if (!row.time.IsValid()) throw UserError(103, __LINE__, At(line, timeText));
    const QString amountText = old ? Cell(cells, QStringLiteral("金额（元）"))
                                   : Cell(cells, weChat ? QStringLiteral("金额(元)") : QStringLiteral("金额"));
    if (!ReadAmount(amountText, row.amount) || amountText.isEmpty())
        throw AmountError(__LINE__, line, amountText);
    row.amount = std::abs(row.amount);
    // Only the newer Alipay layout has a spending category; the others name the kind of
    // trade, which says nothing of what was bought.
    if (old || weChat) row.kind = Cell(cells, old ? QStringLiteral("类型") : QStringLiteral("交易类型"));
    else row.category = Cell(cells, QStringLiteral("交易分类"));
    row.counterparty = Cell(cells, QStringLiteral("交易对方"));
    row.product = Cell(cells, old ? QStringLiteral("商品名称") : weChat ? QStringLiteral("商品") : QStringLiteral("商品说明"));
    if (row.product == u"/") row.product.clear();
    if (row.counterparty == u"/") row.counterparty.clear();
    row.flow = ReadFlow(Cell(cells, QStringLiteral("收/支")));
    row.status = Cell(cells, weChat ? QStringLiteral("当前状态") : QStringLiteral("交易状态"));
    row.tradeId = Cell(cells, old ? QStringLiteral("交易号") : weChat ? QStringLiteral("交易单号") : QStringLiteral("交易订单号"));
    row.closed = IsClosed(row.status);
    row.pending = IsPending(row.status);
    if (old) {
        const QString refundText = Cell(cells, QStringLiteral("成功退款（元）"));
        if (!ReadAmount(refundText, row.refunded)) throw AmountError(__LINE__, line, refundText);
    } else if (weChat) {
        static const QRegularExpression partly(QStringLiteral("^已退款\\s*[(（]\\s*(.*?)\\s*[)）]$"));
        const QRegularExpressionMatch match = partly.match(row.status);
        if (row.status.contains(u"全额退款")) {
            row.refundedApart = row.amount;
        } else if (match.hasMatch() && !ReadAmount(match.captured(1), row.refundedApart)) {
            throw AmountError(__LINE__, line, row.status);
        }
        row.refundedApart = std::abs(row.refundedApart);
        // A refund has a row of its own, on its own day, that names no purchase.
        row.refund = row.kind.endsWith(QStringLiteral("-退款"));
    } else {
        row.refund = row.status.contains(u"退款成功");
    }
}

void StatementReader_cl::ReadBankTrade(const QStringList& cells, int32_t line, StatementRow_st& row) {
    const QString dateText = Cell(cells, profile.dateTitle);
    row.time = ReadBankDate(dateText, profile.dateFormat);
    if (!row.time.IsValid()) throw UserError(103, __LINE__, At(line, dateText));
    int64_t amount = 0;
    if (!profile.amountTitle.isEmpty()) {
        const QString text = Cell(cells, profile.amountTitle);
        if (text.isEmpty() || !ReadAmount(text, amount)) throw AmountError(__LINE__, line, text);
    } else {
        int64_t income = 0, expense = 0;
        const QString incomeText = Cell(cells, profile.incomeTitle);
        const QString expenseText = Cell(cells, profile.expenseTitle);
        if (!ReadAmount(incomeText, income)) throw AmountError(__LINE__, line, incomeText);
        if (!ReadAmount(expenseText, expense)) throw AmountError(__LINE__, line, expenseText);
        amount = std::abs(income) - std::abs(expense);
    }
    row.flow = amount > 0 ? Flow_en::Income : amount < 0 ? Flow_en::Expense : Flow_en::Neutral;
    row.amount = std::abs(amount);
    row.product = Cell(cells, profile.descriptionTitle);
    row.counterparty = Cell(cells, profile.counterpartyTitle);
    row.tradeId = Cell(cells, profile.idTitle);
    if (!row.tradeId.isEmpty()) return;
    // Without the bank's own number a trade is known by what it shows; the same trade
    // twice on one statement (two coffees one morning, no balance column) is counted.
    QString key = row.time.FormatDate() + u'|' + QString::number(amount) + u'|' + row.product + u'|' +
                  Cell(cells, profile.balanceTitle);
    const int32_t seen = ++bankKeys[key];
    if (seen > 1) key += u'#' + QString::number(seen);
    row.tradeId = key.size() <= 64
                      ? key
                      : QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex());
}

}  // namespace Import_ns
