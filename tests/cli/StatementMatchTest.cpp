// Statements meeting the entries a family typed by hand, from the command line, on a local
// book and on a PostgreSQL one: each case judged by the month's figures and the entries
// the book holds afterwards.
#include "support/PostgresServer.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kPassword = QStringLiteral("pw-admin");
const QString kBookPassword = QStringLiteral("pw-book");

// A trade of a WeChat Pay statement: time, shop, goods, amount, id; a purchase unless told.
struct Trade_st {
    const char* time;
    const char* shop;
    const char* goods;
    const char* amount;
    const char* id;
    const char* status = "支付成功";
    bool refund = false;
};

// The statement as the app writes it: a byte order mark, its notes with the count and the
// total, ids with a tab after them.
QByteArray WeChatStatement(const QList<Trade_st>& trades) {
    int64_t cents[2] = {0, 0};  // spent, received
    int count[2] = {0, 0};
    QString rows;
    for (const Trade_st& t : trades) {
        cents[t.refund] += qRound64(QString::fromUtf8(t.amount).toDouble() * 100);
        ++count[t.refund];
        rows += QStringLiteral("%1,%2,%3,%4,%5,¥%6,零钱,%7,%8\t,%9\t,/\n")
                    .arg(QString::fromUtf8(t.time), t.refund ? QStringLiteral("商户消费-退款") : QStringLiteral("商户消费"),
                         QString::fromUtf8(t.shop), QString::fromUtf8(t.goods),
                         t.refund ? QStringLiteral("收入") : QStringLiteral("支出"), QString::fromUtf8(t.amount),
                         QString::fromUtf8(t.status), QString::fromUtf8(t.id), QString::fromUtf8(t.id).right(4));
    }
    const QString head = QStringLiteral(
                             "微信支付账单明细\n微信昵称：[某人]\n起始时间：[2026-03-01 00:00:00] 终止时间：[2026-03-31 23:59:59]\n"
                             "导出类型：[全部]\n共%1笔记录\n收入：%2笔 ¥%3\n支出：%4笔 ¥%5\n中性交易：0笔 ¥0.00\n"
                             "----------------------微信支付账单明细列表--------------------\n"
                             "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n")
                             .arg(trades.size())
                             .arg(count[1])
                             .arg(QString::number(double(cents[1]) / 100, 'f', 2))
                             .arg(count[0])
                             .arg(QString::number(double(cents[0]) / 100, 'f', 2));
    return "\xEF\xBB\xBF" + (head + rows).toUtf8();
}

// Entries typed by hand, as the record page writes them (GBK).
QByteArray HandEntries(const QStringList& rows) {
    QStringEncoder gbk("GB18030");
    return gbk.encode(QStringLiteral("日期,分类,费用名称,金额,用户,类别,注释\r\n") + rows.join(QStringLiteral("\r\n")) +
                      QStringLiteral("\r\n"));
}

const Trade_st kBreakfast = {"2026-03-01 08:01:12", "早餐店", "包子", "8.16", "4200000101"};
const Trade_st kDinner = {"2026-03-03 19:20:00", "饭馆", "晚饭", "25.00", "4200000103"};
const Trade_st kLunch = {"2026-03-05 12:10:00", "食堂", "午饭", "20.00", "4200000105"};
const Trade_st kGym = {"2026-03-02 07:00:00", "健身房", "会员周卡", "30.00", "4200000201"};
const Trade_st kGymAgain = {"2026-03-09 07:00:00", "健身房", "会员周卡", "30.00", "4200000202"};
const Trade_st kCoffee = {"2026-03-06 09:00:00", "咖啡馆", "拿铁", "35.00", "4200000301"};
const Trade_st kShoes = {"2026-03-10 20:00:00", "网店", "鞋子", "50.00", "4200000401", "已退款(￥20.00)"};
const Trade_st kShoesBack = {"2026-03-15 10:00:00", "网店", "鞋子", "20.00", "4200000402", "已退款", true};
const Trade_st kCoffeeToo = {"2026-03-06 09:00:00", "咖啡馆", "拿铁", "35.00", "4200000302"};

// A card's statement as the bank writes it (GBK, a signed amount, the balance after), its
// payment to WeChat Pay for the breakfast above.
const QString kCardPaysWallet = QStringLiteral(
    "交易日期,交易金额,联机余额,摘要,对方户名\n"
    "2026-03-01,-8.16,1991.84,财付通-早餐店,财付通支付科技有限公司\n");

struct Step_st {
    QStringList arguments;
    QString out;  // standard output holds this
};

struct Case_st {
    const char* title;
    QStringList hand;  // typed first
    QList<Trade_st> statement;
    QString card;      // a card's statement
    QList<Step_st> steps;
    const char* total;  // the month's expense after the steps
    int entries;        // entries of the month after the steps
};

class StatementMatchTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        program = folder.filePath(QStringLiteral("vorelle-cli"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VORELLE_CLI), program)) << "cannot copy " << VORELLE_CLI;
    }

    // A fresh empty book for a case.
    void NewBook(int number) {
        if (std::string(GetParam()) == "postgresql") {
            PostgresServer_cl& server = PostgresServer_cl::Shared();
            ASSERT_TRUE(server.Start()) << "The PostgreSQL test server did not start: " << server.Why().toStdString();
            ASSERT_TRUE(server.MakeBook("matching", kBookPassword, "matching")) << server.Why().toStdString();
            where = QStringLiteral("--connect=postgresql://matching@%1/matching").arg(server.Address());
        } else {
            where = QStringLiteral("--book=") + folder.filePath(QStringLiteral("家%1.book").arg(number));
        }
        Run({QStringLiteral("create"), QStringLiteral("--admin=老王")});
    }

    struct Result_st {
        int exitCode = -1;
        QString out, err;
    };

    Result_st Run(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), folder.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("VORELLE_PASSWORD"), kPassword);
        environment.insert(QStringLiteral("VORELLE_BOOK_PASSWORD"), kBookPassword);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path());
        QStringList all{where, QStringLiteral("--user=老王")};
        for (QString argument : arguments) all << argument.replace(QStringLiteral("{dir}"), folder.path());
        process.start(program, all);
        Result_st result;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "vorelle-cli did not end";
            return result;
        }
        result.exitCode = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The month's total expense as the report prints it, and how many entries it holds.
    QString Total() {
        const Result_st report = Run({"report", "month", "--from", "2026-03", "--to", "2026-03", "--format", "csv"});
        static const QRegularExpression total(QStringLiteral("【总计开销】,([^\r\n]*)"));
        return total.match(report.out).captured(1);
    }
    int Entries() {
        const Result_st exported = Run({"export", "{dir}/out.csv", "--from", "2026-03-01", "--to", "2026-03-31"});
        static const QRegularExpression count(QStringLiteral("共导出(\\d+)条"));
        return count.match(exported.out).captured(1).toInt();
    }

    QTemporaryDir folder;
    QString program;
    QString where;
};

TEST_P(StatementMatchTest, EachTradeIsCountedOnceWhicheverDoorItCameThrough) {
    const QString import = QStringLiteral("import");
    const QString s = QStringLiteral("{dir}/statement.csv"), card = QStringLiteral("{dir}/card.csv");
    const Case_st cases[] = {
        {"typed by hand, then the statement",
         {"2026-03-01,饮食,早饭,-8.16,老王,月开销,"},
         {kBreakfast, kDinner},
         QString(),
         {{{import, s, "--dry-run"}, "匹配：已有记录1笔\n"},
          {{import, s, "--dry-run"}, "检查通过，将导入1条，以前已导入0条，没有写入。"},
          {{import, s}, "导入账单成功，共导入1条，以前已导入0条。"},
          {{import, s}, "共导入0条，以前已导入2条。"}},
         "-33.16",
         2},
        {"two entries alike: asked, then linked",
         {"2026-03-05,饮食,午饭,-20,老王,月开销,", "2026-03-05,饮食,午饭,-20,老王,月开销,"},
         {kLunch},
         QString(),
         {{{import, s}, "可能重复：1笔\n  第11行 2026-03-05 午饭 -20元，可能是已有记录 2026-03-05 午饭 -20元（饮食）"},
          {{import, s}, "导入账单成功，共导入0条"},
          {{import, s, "--match", "link"}, "匹配：已有记录1笔\n"},
          {{import, s, "--match", "link"}, "以前已导入1条"}},
         "-40",
         2},
        {"two entries alike, booked as new when told",
         {"2026-03-05,饮食,午饭,-20,老王,月开销,", "2026-03-05,饮食,午饭,-20,老王,月开销,"},
         {kLunch},
         QString(),
         {{{import, s, "--match", "new"}, "共导入1条"}},
         "-60",
         3},
        {"of two entries of the amount, the one whose text is alike",
         {"2026-03-05,交通,打车,-20,老王,月开销,", "2026-03-05,饮食,食堂午饭,-20,老王,月开销,"},
         {kLunch},
         QString(),
         {{{import, s, "--match", "new"}, "匹配：已有记录1笔\n"}},
         "-40",
         2},
        {"typed three days before: at the window's edge, asked",
         {"2026-03-02,饮食,午饭,-20,老王,月开销,"},
         {kLunch},
         QString(),
         {{{import, s}, "可能重复：1笔\n"}, {{import, s, "--match", "link"}, "匹配：已有记录1笔\n"}},
         "-20",
         1},
        {"a weekly payment of the same amount eats no other week",
         {"2026-03-02,健身,会员,-30,老王,月开销,"},
         {kGym, kGymAgain},
         QString(),
         {{{import, s}, "匹配：已有记录1笔\n"}, {{import, s}, "共导入0条，以前已导入2条"}},
         "-60",
         2},
        {"identical trades in one file are both booked",
         {},
         {kCoffee, kCoffeeToo},
         QString(),
         {{{import, s}, "共导入2条"}},
         "-70",
         2},
        {"an import undone, then made again",
         {"2026-03-01,饮食,早饭,-8.16,老王,月开销,"},
         {kBreakfast, kDinner},
         QString(),
         {{{import, s}, "匹配：已有记录1笔\n"},
          {{import, "undo", "--dry-run"}, "1条记录移入回收站，1条已有记录取消匹配，没有写入。"},
          {{"report", "month", "--from", "2026-03", "--to", "2026-03", "--format", "csv"}, "【总计开销】,-33.16"},
          {{import, "undo"}, "1条记录移入回收站，1条已有记录取消匹配"},
          {{"report", "month", "--from", "2026-03", "--to", "2026-03", "--format", "csv"}, "【总计开销】,-8.16"},
          {{import, s}, "共导入1条，以前已导入0条"}},
         "-33.16",
         2},
        {"a record file's import and a statement's, undone last first",
         {"2026-03-01,饮食,早饭,-8.16,老王,月开销,"},
         {kDinner},
         QString(),
         {{{import, s}, "共导入1条"},
          {{import, "{dir}/hand.csv", "--again"}, "共导入1条"},
          {{import, "undo", "--dry-run"}, "导入的记录文件：1条记录移入回收站，没有写入。"},
          {{import, "undo"}, "导入的记录文件：1条记录移入回收站。"},
          {{import, "undo"}, "导入的微信支付账单：1条记录移入回收站，0条已有记录取消匹配"}},
         "-8.16",
         1},
        {"a link undone: the trade is an entry of its own again, and still booked once",
         {"2026-03-01,饮食,早饭,-8.16,老王,月开销,"},
         {kBreakfast, kDinner},
         QString(),
         {{{import, s}, "匹配：已有记录1笔\n"},
          {{import, "unlink", "1"}, "已取消记录1与账单的匹配"},
          {{import, s}, "共导入0条，以前已导入2条"}},
         "-41.32",
         3},
        {"a purchase typed by hand, its refund with the statement: to the hand's category",
         {"2026-03-10,礼物,给小李的鞋,-50,老王,月开销,"},
         {kShoes, kShoesBack},
         QString(),
         {{{import, s}, "匹配：已有记录1笔\n"},
          {{"report", "month", "--from", "2026-03", "--to", "2026-03", "--format", "csv"}, "礼物,-30\r\n"}},
         "-30",
         2},
        {"the wallet's statement, then the card's",
         {},
         {kBreakfast},
         kCardPaysWallet,
         {{{import, s}, "共导入1条"}, {{import, card}, "匹配：已有记录1笔\n"}, {{import, card}, "共导入0条，以前已导入1条"}},
         "-8.16",
         1},
        {"the card's statement, then the wallet's",
         {},
         {kBreakfast},
         kCardPaysWallet,
         {{{import, card}, "待配对：1笔\n  第2行 2026-03-01 财付通-早餐店 -8.16元"},
          {{import, card}, "共导入0条"},
          {{import, s}, "共导入1条"},
          {{import, card}, "匹配：已有记录1笔\n"}},
         "-8.16",
         1},
        {"the card's payment booked first, then the wallet's statement",
         {},
         {kBreakfast},
         kCardPaysWallet,
         {{{import, card, "--match", "new"}, "共导入1条"}, {{import, s}, "匹配：已有记录1笔\n"}},
         "-8.16",
         1},
    };
    int number = 0;
    for (const Case_st& c : cases) {
        SCOPED_TRACE(c.title);
        NewBook(++number);
        if (!c.hand.isEmpty()) {
            Write(QStringLiteral("hand.csv"), HandEntries(c.hand));
            ASSERT_EQ(Run({import, "{dir}/hand.csv"}).exitCode, 0);
        }
        Write(QStringLiteral("statement.csv"), WeChatStatement(c.statement));
        if (!c.card.isEmpty()) {
            QStringEncoder gbk("GB18030");
            Write(QStringLiteral("card.csv"), gbk.encode(c.card));
        }
        for (const Step_st& step : c.steps) {
            const Result_st result = Run(step.arguments);
            EXPECT_EQ(result.exitCode, 0) << step.arguments.join(u' ').toStdString() << "\n" << result.err.toStdString();
            EXPECT_TRUE(result.out.contains(step.out)) << step.arguments.join(u' ').toStdString() << "\n"
                                                       << result.out.toStdString();
        }
        EXPECT_EQ(Total(), QString::fromUtf8(c.total));
        EXPECT_EQ(Entries(), c.entries);
    }
}

INSTANTIATE_TEST_SUITE_P(Books, StatementMatchTest, ::testing::Values("local", "postgresql"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
