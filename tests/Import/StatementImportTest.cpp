#include "Data/FinanceFixture.h"
#include "Data/RecycleBin.h"
#include "Data/TradeLog.h"
#include "Import/StatementImport.h"
#include "StatementFiles.h"

#include <QRegularExpression>

using namespace Import_ns;
using namespace StatementFiles_ns;

namespace {

// Every shape the tests write, by name.
QString Make(const QString& folder, const QString& shape) {
    const QString path = folder + shape;
    if (shape == u"alipay.csv") Write(path, Gb18030(AlipayText()));
    else if (shape == u"alipay-utf8.csv") Write(path, AlipayText().toUtf8());
    else if (shape == u"alipay-old.csv") Write(path, Gb18030(AlipayOldText()));
    else if (shape == u"wechat.csv") Write(path, Utf8Bom(CsvText(WeChatRows(false))));
    else if (shape == u"wechat.xlsx") WriteXlsx(path, WeChatRows(true));
    else if (shape == u"wechat-gap.xlsx") {
        // No product: the sheet leaves the cell out, and the cells after it keep their columns.
        QList<QStringList> rows = WeChatRows(true);
        rows[8][3].clear();
        WriteXlsx(path, rows);
    }
    else if (shape == u"bank-split.csv") Write(path, Gb18030(BankSplitText()));
    else if (shape == u"bank-signed.csv") Write(path, BankSignedText().toUtf8());
    else if (shape == u"alipay-quotes.csv") {
        // A quote inside a quoted cell is written twice; the cells after it keep their places.
        Write(path, Gb18030(AlipayText().replace(QStringLiteral("\"纸巾, 大包\""),
                                                 QStringLiteral("\"纸巾\"\"加厚\"\", 大包\""))));
    } else if (shape == u"alipay-quoted-name.csv") {
        // A quoted name ending in a quote: three quotes at its end.
        Write(path, Gb18030(AlipayText().replace(QStringLiteral(",午餐,"), QStringLiteral(",\"茶叶 \"\"礼盒装\"\"\","))));
    } else if (shape == u"wechat-bare-quotes.csv") {
        // WeChat quotes no cells: a quote inside one is written as it is, even alone.
        QList<QStringList> rows = WeChatRows(false);
        rows[8][3] = QStringLiteral("茶叶 \"礼盒装\"");
        rows[9][3] = QStringLiteral("显示器 27\" 高清");
        Write(path, Utf8Bom(CsvText(rows)));
    } else if (shape == u"alipay-refund-only.csv") {
        // A refund whose purchase no statement holds.
        Write(path, AlipayText().section(u'\n', 0, 7).toUtf8() +
                        QStringLiteral("\n2024-02-01 10:00:00,退款,某某,/,退款,不计收支,10.00,余额,退款成功,"
                                       "2024020122001_R1\t,,,\n")
                            .toUtf8());
    }
    else if (shape == u"records.csv") Write(path, Gb18030(QStringLiteral("日期,分类,费用名称,金额,用户,类别,注释\n")));
    return path;
}

}  // namespace

class StatementTest : public FinanceTest {
protected:
    std::unique_ptr<StatementImport_cl> Open(const QString& shape, StatementKind_en kind = StatementKind_en::Auto) {
        return std::make_unique<StatementImport_cl>(Make(app.Path(), shape), kind, BankProfiles_cl::BuiltIn(),
                                                    CategoryRules_cl(), users, records);
    }
};

TEST_F(StatementTest, EachShapeIsFoundByItsContentAndCheckedAgainstItsOwnTotals) {
    const struct {
        const char* shape;
        const char* format;
        int32_t rows;
        bool stated;
    } cases[] = {{"alipay.csv", "支付宝账单，GB18030", 8, true},
                 {"alipay-utf8.csv", "支付宝账单，UTF-8", 8, true},
                 {"alipay-old.csv", "支付宝账单（旧版），GB18030", 2, true},
                 {"wechat.csv", "微信支付账单，UTF-8", 5, true},
                 {"wechat.xlsx", "微信支付账单，XLSX", 5, true},
                 {"bank-split.csv", "银行账单（收支分列），GB18030", 2, false},
                 {"bank-signed.csv", "银行账单（交易金额），UTF-8", 3, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shape);
        const StatementSummary_st summary = Open(QString::fromUtf8(c.shape))->Preview(false);
        EXPECT_EQ(summary.formatName, QString::fromUtf8(c.format));
        EXPECT_EQ(summary.rows, c.rows);
        EXPECT_TRUE(summary.Agrees()) << summary.ComparisonLines().join(u'\n').toStdString();
        EXPECT_EQ(!summary.ComparisonLines()[0].startsWith(u"账单没有写明"), c.stated);
    }
}

// The entries of an import undone have lost their trades: brought back from the recycle
// bin, the statement imported again would book them twice. The bin refuses them, saying
// why; the statement imported again books them once.
TEST_F(StatementTest, EntriesOfAnUndoneImportStayInTheRecycleBin) {
    Open("wechat.csv")->Import();
    const int booked = Count("zorb_record");
    (void)StatementImport_cl::UndoLast(users, records);
    Container_ns::List_tl<int32_t> undone;
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count = users.GetDatabase().Query(QStringLiteral("select sn from zorb_record where valid = '0'"), rows);
    for (int32_t i = 0; i < count; ++i, rows.MoveNext()) undone.Append(rows.GetInteger());
    ASSERT_EQ(count, booked);
    const Raised_st refused = Raise([&] { Vorelle_ns::RecycleBin_cl(users, records).RestoreRecords(undone); });
    EXPECT_TRUE(refused.message.contains(QStringLiteral("撤销账单导入"))) << refused.message.toStdString();
    Open("wechat.csv")->Import();
    EXPECT_EQ(Count("zorb_record", "valid = '1'"), booked);
}

TEST_F(StatementTest, StatedCountsAndTotalsAreReadAsWritten) {
    const struct {
        const char* title;
        QByteArray file;
        bool agrees;
        int64_t statedExpense;
    } cases[] = {
        {"the older Alipay layout", Gb18030(AlipayOldText()), true, 4000},
        {"the older Alipay layout, its sum off", Gb18030(AlipayOldText().replace("已支出:1笔,40.00元", "已支出:1笔,41.00元")),
         false, 4100},
        // Unquoted, the CSV reader splits the sum at its separator.
        {"WeChat's total with thousands separators",
         Utf8Bom(QStringLiteral("微信支付账单明细\n共2笔记录\n收入：0笔 ¥0.00\n支出：2笔 ¥1,322.56\n"
                                "----------------------微信支付账单明细列表--------------------\n"
                                "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n"
                                "2024-01-03 08:00:00,商户消费,电器店,电视,支出,\"¥1,300.00\",零钱,支付成功,4201\t,1\t,/\n"
                                "2024-01-04 08:00:00,商户消费,早餐店,包子,支出,¥22.56,零钱,支付成功,4202\t,2\t,/\n")),
         true, 132256},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        Write(app.Path() + "stated.csv", c.file);
        const StatementSummary_st summary =
            StatementImport_cl(app.Path() + "stated.csv", StatementKind_en::Auto, {}, CategoryRules_cl(), users, records)
                .Preview(false);
        EXPECT_EQ(summary.Agrees(), c.agrees) << summary.ComparisonLines().join(u'\n').toStdString();
        EXPECT_TRUE(summary.stated.has[int(Flow_en::Expense)]);
        EXPECT_EQ(summary.stated.sum[int(Flow_en::Expense)], c.statedExpense);
    }
}

TEST_F(StatementTest, RefundsBeyondTheirPurchaseAreShownAndBookedOnlyWhenAccepted) {
    const QString purchase = QStringLiteral("2024-01-07 10:00:00,日用百货,超市,/,纸巾,支出,50.00,余额,交易成功,2024010722001\t,M3\t,,");
    const auto refund = [](const char* amount, const char* suffix) {
        return QStringLiteral("2024-01-08 10:00:00,退款,超市,/,退款-纸巾,不计收支,%1,余额,退款成功,2024010722001_%2\t,M3\t,,")
            .arg(QString::fromUtf8(amount), QString::fromUtf8(suffix));
    };
    const struct {
        const char* title;
        QStringList rows;
        const char* excess;  // empty: none
    } cases[] = {
        {"80 back on 50", {purchase, refund("80.00", "R1")}, "第4行：退款80.00元，原交易只剩50.00元可退，多出30.00元"},
        {"30 and 30 back on 50", {purchase, refund("30.00", "R1"), refund("30.00", "R2")},
         "第5行：退款30.00元，原交易只剩20.00元可退，多出10.00元"},
        {"20 and 30 back on 50", {purchase, refund("20.00", "R1"), refund("30.00", "R2")}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const QString path = app.Path() + "excess.csv";
        Write(path, Gb18030(QStringLiteral("支付宝交易明细\n交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,"
                                           "交易状态,交易订单号,商家订单号,备注,\n") +
                            c.rows.join(u'\n') + u'\n'));
        const auto statement = [&] {
            return StatementImport_cl(path, StatementKind_en::Auto, {}, CategoryRules_cl(), users, records);
        };
        const QString excess = QString::fromUtf8(c.excess);
        EXPECT_EQ(statement().Preview(false).excessRefunds.join(u';'), excess);
        const Raised_st refused = Raise([&] { statement().Import(); });
        EXPECT_EQ(refused.raised, !excess.isEmpty());
        EXPECT_TRUE(refused.remark.contains(excess)) << refused.remark.toStdString();
        EXPECT_EQ(Count("zorb_record"), excess.isEmpty() ? c.rows.size() : 0);
        if (!excess.isEmpty()) {
            statement().Import({}, true);
            EXPECT_EQ(Count("zorb_record"), c.rows.size());
        }
        users.GetDatabase().ExecuteNoRecords(QStringLiteral("delete from zorb_record"));
        users.GetDatabase().ExecuteNoRecords(QStringLiteral("delete from zorb_trade"));
    }
}

TEST_F(StatementTest, AFileOfAnotherShapeIsRefusedSayingWhatWasExpected) {
    const struct {
        const char* shape;
        StatementKind_en kind;
        const char* expected;  // in the remark
    } cases[] = {{"records.csv", StatementKind_en::Auto, "微信支付账单（列头含 交易时间"},
                 {"alipay.csv", StatementKind_en::WeChat, "微信支付账单"},
                 {"wechat.csv", StatementKind_en::Bank, "银行账单“收支分列”"}};
    for (const auto& c : cases) {
        const Raised_st raised = Raise([&] { Open(QString::fromUtf8(c.shape), c.kind); });
        EXPECT_EQ(raised.message, "无法识别账单格式。") << c.shape;
        EXPECT_TRUE(raised.remark.contains(QString::fromUtf8(c.expected))) << raised.remark.toStdString();
    }
}

TEST_F(StatementTest, EveryRowIsDecidedByStatusFlowAndRefund) {
    const struct {
        const char* shape;
        int32_t line;
        Decision_en decision;
        int64_t expense;
        const char* type;
        const char* name;
    } cases[] = {
        {"alipay.csv", 9, Decision_en::Import, -3550, "饮食", "午餐"},
        {"alipay.csv", 10, Decision_en::Closed, 0, "交通", "车票"},
        {"alipay.csv", 11, Decision_en::Import, -2000, "居家", "纸巾, 大包"},
        {"alipay.csv", 12, Decision_en::Refund, 2000, "居家", "退款-纸巾"},  // the original's category
        {"alipay.csv", 13, Decision_en::Import, 10000, "社交", "转账"},
        {"alipay.csv", 14, Decision_en::Neutral, 0, "投资理财", "转入"},
        {"alipay.csv", 15, Decision_en::OriginalSkipped, 500, "交通", "退款"},
        // An apostrophe becomes a typographic one; 16 characters, the emoji left out whole.
        {"alipay.csv", 16, Decision_en::Pending, 0, "居家", "McDonald’s手机壳壳壳壳"},
        // The apps' kinds of trade are no categories: the shop or the goods say it, or
        // the entry goes to the book's plain 开销.
        {"alipay-old.csv", 5, Decision_en::Import, -2500, "学习", "书"},
        {"alipay-old.csv", 6, Decision_en::FullyRefunded, 0, "", "衣"},
        {"wechat.csv", 9, Decision_en::Import, -2816, "饮食", "包子"},
        // WeChat: a purchase at what was paid, a refund on its own day; one refunded
        // after the statement's last day comes with a later one.
        {"wechat.csv", 10, Decision_en::Import, -5000, "", "衣服"},
        {"wechat.csv", 11, Decision_en::Import, -5000, "服饰", "鞋子"},
        {"wechat.csv", 12, Decision_en::Refund, 2000, "服饰", "鞋子"},
        {"wechat.csv", 13, Decision_en::Neutral, 0, "", "招商银行"},
        {"wechat-gap.xlsx", 9, Decision_en::Import, -2816, "饮食", "早餐店"},
        {"alipay-quotes.csv", 11, Decision_en::Import, -2000, "居家", "纸巾\"加厚\", 大包"},
        {"alipay-quotes.csv", 12, Decision_en::Refund, 2000, "居家", "退款-纸巾"},
        {"alipay-quoted-name.csv", 9, Decision_en::Import, -3550, "饮食", "茶叶 \"礼盒装\""},
        {"wechat-bare-quotes.csv", 9, Decision_en::Import, -2816, "饮食", "茶叶 \"礼盒装\""},
        {"wechat-bare-quotes.csv", 10, Decision_en::Import, -5000, "", "显示器 27\" 高清"},
        {"wechat-bare-quotes.csv", 11, Decision_en::Import, -5000, "服饰", "鞋子"},
        // The kind of trade ("退款") is no category: the rules decide, or the plain one.
        {"alipay-refund-only.csv", 9, Decision_en::Refund, 1000, "", "退款"},
        {"bank-split.csv", 3, Decision_en::Import, 800000, "", "工资"},
        {"bank-split.csv", 4, Decision_en::Import, -12850, "居家", "消费"},
        {"bank-signed.csv", 2, Decision_en::Import, -3500, "饮食", "咖啡"},
        {"bank-signed.csv", 3, Decision_en::Import, -3500, "饮食", "咖啡"},  // the same again, not a repeat
        {"bank-signed.csv", 4, Decision_en::Import, 150, "", "利息"}};
    QString openShape;
    std::unique_ptr<StatementImport_cl> statement;
    for (const auto& c : cases) {
        if (openShape != QString::fromUtf8(c.shape)) {
            openShape = QString::fromUtf8(c.shape);
            statement = Open(openShape);
            statement->Preview(true);
        }
        const QList<StatementEntry_st>& entries = statement->Entries();
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](const StatementEntry_st& e) { return e.row.line == c.line; });
        ASSERT_NE(found, entries.end()) << c.shape << " " << c.line;
        SCOPED_TRACE(std::string(c.shape) + " line " + std::to_string(c.line));
        EXPECT_EQ(DecisionText(found->decision), DecisionText(c.decision));
        if (Books(c.decision)) {
            EXPECT_EQ(found->expense, c.expense);
        }
        EXPECT_EQ(found->typeName, QString::fromUtf8(c.type));
        EXPECT_EQ(found->expenseName, QString::fromUtf8(c.name));
        EXPECT_TRUE(found->comment.contains(found->row.tradeId));
    }
}

TEST_F(StatementTest, ATradeIsBookedOnceAcrossFilesAndADamagedRowWritesNothing) {
    const auto count = [&] { return Count("zorb_record"); };
    // A book whose trade table is not there yet: a refused import does not make it.
    users.GetDatabase().ExecuteNoRecords(QStringLiteral("drop table zorb_trade"));
    // Damaged in the middle: nothing of the rows before it stays.
    QList<QStringList> damaged = WeChatRows(false);
    damaged[10][5] = QStringLiteral("¥5O.00");
    Write(app.Path() + "damaged.csv", Utf8Bom(CsvText(damaged)));
    const Raised_st refused = Raise([&] {
        StatementImport_cl(app.Path() + "damaged.csv", StatementKind_en::Auto, {}, CategoryRules_cl(), users, records)
            .Import();
    });
    EXPECT_EQ(refused.message, "账单内容不正确，金额不是数字。");
    EXPECT_TRUE(refused.remark.startsWith(u"第11行")) << refused.remark.toStdString();
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(users.GetDatabase().TableExists(QStringLiteral("zorb_trade")));

    const StatementSummary_st first = Open("wechat.csv")->Import();
    EXPECT_EQ(first.decisions[int(Decision_en::Import)].count, 3);
    EXPECT_EQ(first.decisions[int(Decision_en::Import)].sum, -12816);
    EXPECT_EQ(first.decisions[int(Decision_en::Refund)].sum, 2000);
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(SingleAccount(users.GetCurrentUser()), -10816);
    // The workbook of the same trades adds nothing and says so, in preview and import.
    auto workbook = Open("wechat.xlsx");
    EXPECT_EQ(workbook->Preview(true).decisions[int(Decision_en::AlreadyImported)].count, 4);
    EXPECT_EQ(workbook->Entries()[0].row.time.Format(), "2024-01-03 08:00:00");  // a day count in the sheet
    const StatementSummary_st again = Open("wechat.xlsx")->Import();
    EXPECT_EQ(again.decisions[int(Decision_en::Import)].count, 0);
    EXPECT_EQ(again.decisions[int(Decision_en::AlreadyImported)].count, 4);
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(Count("zorb_trade"), 4);

    // A refund of a trade booked earlier goes to that trade's category.
    Open("alipay.csv")->Import();
    Write(app.Path() + "refund.csv",
          AlipayText().section(u'\n', 0, 7).toUtf8() +
              QStringLiteral("\n2024-02-01 10:00:00,退款,某餐厅,/,退款,不计收支,10.00,余额,退款成功,2024010522001_R9,,,\n")
                  .toUtf8());
    auto refund = std::make_unique<StatementImport_cl>(app.Path() + "refund.csv", StatementKind_en::Alipay,
                                                       QList<BankProfile_st>(), CategoryRules_cl(), users, records);
    refund->Preview(true);
    ASSERT_EQ(refund->Entries().size(), 1);
    EXPECT_EQ(refund->Entries()[0].decision, Decision_en::Refund);
    EXPECT_EQ(refund->Entries()[0].typeName, "饮食");
}

TEST_F(StatementTest, ADamagedRowRefusesTheFileNamingItsLine) {
    const struct {
        const char* from;
        const char* to;
        const char* message;
        const char* remark;
    } cases[] = {{"2024-01-07 10:00:00,日用百货", "2024-02-30 10:00:00,日用百货", "账单内容不正确，日期不存在。",
                  "第11行：2024-02-30 10:00:00"},
                 {",35.50,", ",3x.50,", "账单内容不正确，金额不是数字。", "第9行"},
                 {"2024-01-09 10:00:00,转账红包,张三,/,转账,收入,100.00,余额,交易成功,2024010922001\t,,,",
                  "2024-01-09 10:00:00,转账红包", "账单内容不正确，列数不够。", "第13行"}};
    for (const auto& c : cases) {
        Write(app.Path() + "bad.csv", Gb18030(AlipayText().replace(QString::fromUtf8(c.from), QString::fromUtf8(c.to))));
        const Raised_st raised = Raise([&] {
            StatementImport_cl(app.Path() + "bad.csv", StatementKind_en::Auto, {}, CategoryRules_cl(), users, records)
                .Preview(false);
        });
        EXPECT_EQ(raised.message, QString::fromUtf8(c.message)) << c.to;
        EXPECT_TRUE(raised.remark.startsWith(QString::fromUtf8(c.remark))) << raised.remark.toStdString();
    }
}

TEST_F(StatementTest, RulesAndBankColumnsAreKeptOnlyWhenUsable) {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    const struct {
        CategoryRule_st rule;
        const char* refusal;  // empty: kept
    } cases[] = {{{"", "饮食", "", -1}, "分类规则不完整：关键字和分类都不能为空。"},
                 {{"咖啡", "饮'食", "", -1}, "分类规则中不能有单引号。"},
                 {{"咖啡", "一二三四五六七八九十一二三四五六七", "", -1}, "分类规则的分类或名称过长，最多16个字。"},
                 {{"咖啡", "饮食", "拿铁", 1}, ""}};
    for (const auto& c : cases) {
        CategoryRules_cl rules;
        rules.Put(c.rule);
        EXPECT_EQ(Raise([&] { rules.Save(custom); }).message, QString::fromUtf8(c.refusal)) << c.rule.category.toStdString();
    }
    // The one kept wins over the defaults and carries its name and mode.
    StatementRow_st row;
    row.counterparty = QStringLiteral("星巴克咖啡");
    row.category = QStringLiteral("餐饮美食");
    EXPECT_EQ(CategoryRules_cl::Load(custom).Match(row), (CategoryRule_st{"咖啡", "饮食", "拿铁", 1}));

    BankProfile_st both = BankProfiles_cl::BuiltIn()[0];
    both.name = QStringLiteral("两种金额");
    both.amountTitle = QStringLiteral("交易金额");
    EXPECT_EQ(Raise([&] { BankProfiles_cl::Save(custom, both); }).remark,
              "应给出一个带符号的金额列，或者收入列和支出列两列。");
    BankProfile_st mine = BankProfiles_cl::BuiltIn()[1];
    mine.name = QStringLiteral("我的银行");
    BankProfiles_cl::Save(custom, mine);
    EXPECT_EQ(BankProfiles_cl::Load(custom).first().name, "我的银行");
    EXPECT_EQ(BankProfiles_cl::Load(custom).size(), 3);
}

TEST_F(StatementTest, AStatementThatDisagreesWithItselfIsRefusedUnlessAccepted) {
    const QString path = app.Path() + "told.csv";
    const struct {
        const char* title;
        const char* from;
        const char* to;
        bool agrees;
        int32_t booked;  // when it agrees, or is accepted
    } cases[] = {
        {"as downloaded", "", "", true, 4},
        {"the right count, a wrong sum", "支出：3笔 65.40元", "支出：3笔 65.41元", false, 4},
        {"a wrong count, the right sum", "支出：3笔 65.40元", "支出：4笔 65.40元", false, 4},
        {"a row count too many", "共8笔记录", "共9笔记录", false, 4},
        {"cut off after the first trades",
         "2024-01-09 10:00:00,转账红包,张三,/,转账,收入,100.00,余额,交易成功,2024010922001\t,,,\n", "", false, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        QString text = AlipayText();
        if (*c.from != 0) {
            const qsizetype at = text.indexOf(QString::fromUtf8(c.from));
            ASSERT_GE(at, 0);
            text = text.left(at) + QString::fromUtf8(c.to) + (c.to[0] == 0 ? QString() : text.mid(at + QString::fromUtf8(c.from).size()));
        }
        Write(path, Gb18030(text));
        const auto statement = [&] {
            return StatementImport_cl(path, StatementKind_en::Auto, {}, CategoryRules_cl(), users, records);
        };
        EXPECT_EQ(statement().Preview(false).Agrees(), c.agrees);
        const Raised_st refused = Raise([&] { statement().Import(); });
        EXPECT_EQ(refused.raised, !c.agrees) << refused.message.toStdString();
        EXPECT_EQ(Count("zorb_record"), c.agrees ? c.booked : 0);
        EXPECT_EQ(Count("zorb_trade"), Count("zorb_record"));
        if (!c.agrees) {
            EXPECT_TRUE(refused.remark.contains(u"不一致")) << refused.remark.toStdString();
            statement().Import({}, true);
            EXPECT_EQ(Count("zorb_record"), c.booked);
        }
        users.GetDatabase().ExecuteNoRecords(QStringLiteral("delete from zorb_record"));
        users.GetDatabase().ExecuteNoRecords(QStringLiteral("delete from zorb_trade"));
    }
}

// A bank statement with its own trade numbers, whose rows the tests choose.
QString NumberedBankText(const QStringList& rows) {
    return QStringLiteral("交易日期,交易金额,联机余额,摘要,对方户名,流水号\n") + rows.join(u'\n') + u'\n';
}

TEST_F(StatementTest, EveryTradeIsBookedOnceByItsWholeIdAndItsAmount) {
    BankProfile_st numbered = BankProfiles_cl::BuiltIn()[1];
    numbered.name = QStringLiteral("带流水号");
    numbered.idTitle = QStringLiteral("流水号");
    const QString longId = QString(200, u'7');
    const struct {
        const char* title;
        QStringList first;   // imported first
        QStringList second;  // then this
        int32_t booked[2];
        Decision_en secondDecision;  // of the second file's last row
    } cases[] = {
        {"ids differing after 128 characters",
         {"2024-01-02,-35.00,,咖啡,咖啡馆," + longId + "1"}, {"2024-01-02,-35.00,,咖啡,咖啡馆," + longId + "2"}, {1, 1},
         Decision_en::Import},
        {"the same long id again", {"2024-01-02,-35.00,,咖啡,咖啡馆," + longId}, {"2024-01-02,-35.00,,咖啡,咖啡馆," + longId},
         {1, 0}, Decision_en::AlreadyImported},
        {"an id again with another amount", {"2024-01-02,-35.00,,咖啡,咖啡馆,B1"}, {"2024-01-02,-53.00,,咖啡,咖啡馆,B1"},
         {1, 0}, Decision_en::Conflict},
        {"an id twice in one file with another amount", {}, {"2024-01-02,-35.00,,咖啡,咖啡馆,B2", "2024-01-03,-36.00,,茶,茶馆,B2"},
         {0, 1}, Decision_en::Conflict},
        {"no ids, only the amount differs", {"2024-01-02,-35.00,,咖啡,咖啡馆,", "2024-01-02,-36.00,,咖啡,咖啡馆,"},
         {"2024-01-02,-35.00,,咖啡,咖啡馆,", "2024-01-02,-36.00,,咖啡,咖啡馆,"}, {2, 0}, Decision_en::AlreadyImported},
        {"no ids, only the balance differs", {"2024-01-02,-35.00,100.00,咖啡,咖啡馆,"}, {"2024-01-02,-35.00,65.00,咖啡,咖啡馆,"},
         {1, 1}, Decision_en::Import},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        int32_t before = Count("zorb_record");
        for (int32_t pass = 0; pass < 2; ++pass) {
            const QStringList& rows = pass == 0 ? c.first : c.second;
            if (rows.isEmpty()) continue;
            Write(app.Path() + "numbered.csv", NumberedBankText(rows).toUtf8());
            StatementImport_cl statement(app.Path() + "numbered.csv", StatementKind_en::Bank, {numbered},
                                         CategoryRules_cl(), users, records);
            statement.Preview(true);
            if (pass == 1) {
                EXPECT_EQ(DecisionText(statement.Entries().last().decision), DecisionText(c.secondDecision));
            }
            const StatementSummary_st done = statement.Import();
            EXPECT_EQ(done.decisions[int(Decision_en::Import)].count, c.booked[pass]) << pass;
            EXPECT_EQ(Count("zorb_record") - before, c.booked[pass]) << pass;
            before = Count("zorb_record");
        }
    }
}

TEST_F(StatementTest, ARefundGoesBackIntoThePurchasesExpenseCategory) {
    Open("alipay.csv")->Import();
    // 纸巾 -20.00 and its refund +20.00: one 居家 category, of the expense kind.
    EXPECT_EQ(Count("zorb_expense_type", "type_name = '居家'"), 1);
    EXPECT_EQ(Count("zorb_expense_type", "type_name = '居家' and kind = '1'"), 0);
    EXPECT_EQ(Integer("select sum(expense) from zorb_record, zorb_expense_type where zorb_record.type_sn = "
                      "zorb_expense_type.sn and type_name = '居家'"),
              0);
    // Booked again, the trades count as they were booked: the shoes at the 50.00 paid
    // and their refund of 20.00.
    Open("wechat.csv")->Import();
    const StatementSummary_st again = Open("wechat.csv")->Import();
    EXPECT_EQ(again.decisions[int(Decision_en::AlreadyImported)].count, 4);
    EXPECT_EQ(again.decisions[int(Decision_en::AlreadyImported)].sum, -10816);
}

// A WeChat statement of the given trades: time, kind, shop, goods, flow, amount, status, id.
QString WeChatText(const QList<QStringList>& trades) {
    QString text = QStringLiteral("微信支付账单明细\n交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n");
    for (const QStringList& t : trades)
        text += QStringList{t[0], t[1], t[2], t[3], t[4], u'¥' + t[5], "零钱", t[6], t[7] + u'\t', "/", "/"}.join(u',') + u'\n';
    return text;
}

TEST_F(StatementTest, AWeChatRefundIsBookedOnItsOwnDayInThePurchasesCategoryOnce) {
    const QStringList paid = {"2024-01-05 08:00:00", "商户消费", "网店", "鞋子", "支出", "50.00", "支付成功", "4201"};
    QStringList refunded = paid;
    refunded[6] = QStringLiteral("已退款(￥20.00)");
    const QStringList refund = {"2024-01-20 09:00:00", "商户消费-退款", "网店", "鞋子", "收入", "20.00", "已退款", "4202"};
    const QStringList paidAgain = {"2024-01-10 08:00:00", "商户消费", "网店", "鞋子", "支出", "50.00", "支付成功", "4205"};
    // The same goods bought again after the refund, and refunded after the statement's
    // last day: not what this refund was for.
    const QStringList later = {"2024-01-25 08:00:00", "商户消费", "网店", "鞋子", "支出", "60.00", "已退款(￥20.00)", "4203"};
    const QStringList laterRefund = {"2024-01-28 09:00:00", "商户消费-退款", "网店", "鞋子", "收入", "20.00", "已退款", "4204"};
    const struct {
        const char* title;
        bool nettedBefore;  // an earlier copy booked the purchase less its refund
        QList<QList<QStringList>> statements;
        const char* chosenId;  // the purchase given a category of the user's choice where it is imported
        const char* chosen;
        const char* entries;
        int32_t refunds, skipped;  // in the last import: refunds booked, refunds counted before
    } cases[] = {
        {"purchase and refund in one statement", false, {{refund, refunded}}, "", "", "01-05 服饰 -5000;01-20 服饰 2000", 1, 0},
        {"in two statements, in order", false, {{paid}, {refund}}, "", "", "01-05 服饰 -5000;01-20 服饰 2000", 1, 0},
        {"the same statement again", false, {{refund, refunded}, {refund, refunded}}, "", "", "01-05 服饰 -5000;01-20 服饰 2000", 0, 0},
        {"a later statement with both", false, {{paid}, {refunded, refund}}, "", "", "01-05 服饰 -5000;01-20 服饰 2000", 1, 0},
        {"a purchase after the refund", false, {{later, refund, refunded}}, "4203", "礼物", "01-05 服饰 -5000;01-20 服饰 2000;01-25 礼物 -6000", 1, 0},
        {"the category chosen for the purchase", false, {{refund, refunded}}, "4201", "礼物", "01-05 礼物 -5000;01-20 礼物 2000", 1, 0},
        {"the category chosen in an earlier statement", false, {{paid}, {refund}}, "4201", "礼物", "01-05 礼物 -5000;01-20 礼物 2000", 1, 0},
        {"two purchases before the refund: the later one's", false, {{paid, paidAgain, refund}}, "4205", "礼物",
         "01-05 服饰 -5000;01-10 礼物 -5000;01-20 礼物 2000", 1, 0},
        {"refunds of purchases in earlier statements, each to the latest before it", false, {{paid}, {later}, {refund, laterRefund}},
         "4203", "礼物", "01-05 服饰 -5000;01-20 服饰 2000;01-25 礼物 -6000;01-28 礼物 2000", 2, 0},
        {"netted by an earlier copy", true, {{refund, refunded}}, "", "", "01-05 服饰 -3000", 0, 1},
        {"netted by an earlier copy, the refund in a later statement", true, {{refund}}, "", "", "01-05 服饰 -3000", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        if (c.nettedBefore) {
            Container_ns::List_tl<Vorelle_ns::RecordInfo_st> entry;
            Vorelle_ns::RecordInfo_st record;
            record.recordTime = Base_ns::DateTime_cl::Parse(paid[0]);
            record.typeName = QStringLiteral("服饰");
            record.expenseName = QStringLiteral("鞋子");
            record.expense = -3000;
            record.userName = QStringLiteral("admin");
            record.comment = QStringLiteral("微信支付 订单号4201 网店 鞋子");
            entry.Append(record);
            records.ImportRecords(entry);
            Vorelle_ns::TradeLog_cl log(users.GetDatabase());
            log.Add(QStringLiteral("微信支付"), QStringLiteral("4201"), QStringLiteral("服饰"), users.GetCurrentUser(), 5000);
            log.Flush();
        }
        StatementSummary_st last;
        for (const QList<QStringList>& trades : c.statements) {
            Write(app.Path() + "refunds.csv", WeChatText(trades).toUtf8());
            StatementImport_cl statement(app.Path() + "refunds.csv", StatementKind_en::WeChat, {}, CategoryRules_cl(),
                                         users, records);
            statement.Preview(true);
            if (*c.chosen != 0) {
                for (const StatementEntry_st& e : statement.Entries())
                    if (e.row.tradeId == QString::fromUtf8(c.chosenId)) statement.SetCategory(e.row.line, QString::fromUtf8(c.chosen));
            }
            last = statement.Import();
        }
        EXPECT_EQ(last.decisions[int(Decision_en::Refund)].count, c.refunds);
        EXPECT_EQ(last.decisions[int(Decision_en::RefundCounted)].count, c.skipped);
        const auto rows = records.GetRecords(true, "", Base_ns::DateTime_cl::Parse("2024-01-01"),
                                             Base_ns::DateTime_cl::Parse("2024-12-31 23:59:59"));
        QStringList booked;
        for (int32_t i = rows.Count() - 1; i >= 0; --i)
            booked << rows[i].recordTime.Format().mid(5, 5) + u' ' + rows[i].typeName + u' ' + QString::number(rows[i].expense);
        EXPECT_EQ(booked.join(u';'), QString::fromUtf8(c.entries));
        users.GetDatabase().ExecuteNoRecords(QStringLiteral("delete from zorb_record"));
        users.GetDatabase().ExecuteNoRecords(QStringLiteral("delete from zorb_trade"));
    }
}

TEST_F(StatementTest, EveryBookableTradeIsBookedWhateverTheirNumber) {
    // 1501: the book then keeps more trades than are read whole, and they are asked for
    // a batch of rows at a time.
    for (const int32_t trades : {1, 501, 1501}) {
        SCOPED_TRACE(trades);
        QStringList rows;
        for (int32_t i = 0; i < trades; ++i)
            rows << QStringLiteral("2024-01-02,-1.00,,咖啡,咖啡馆,N%1-%2").arg(trades).arg(i);
        BankProfile_st numbered = BankProfiles_cl::BuiltIn()[1];
        numbered.idTitle = QStringLiteral("流水号");
        Write(app.Path() + "many.csv", NumberedBankText(rows).toUtf8());
        const int32_t before = Count("zorb_record");
        StatementImport_cl(app.Path() + "many.csv", StatementKind_en::Bank, {numbered}, CategoryRules_cl(), users, records)
            .Import();
        EXPECT_EQ(Count("zorb_record") - before, trades);
        // Again: every one of them is found booked, none booked twice.
        const StatementSummary_st again =
            StatementImport_cl(app.Path() + "many.csv", StatementKind_en::Bank, {numbered}, CategoryRules_cl(), users,
                               records)
                .Import();
        EXPECT_EQ(again.decisions[int(Decision_en::AlreadyImported)].count, trades);
        EXPECT_EQ(Count("zorb_record") - before, trades);
    }
}
