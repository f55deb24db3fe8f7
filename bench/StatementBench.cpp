// Speed of statement imports on a local database: the preview of a year of a
// household's WeChat Pay trades (3,000 rows) and the import of an Alipay statement of
// 100,000 rows, with the peak memory it took, beside the import of the same entries from
// the record page's file; and statements imported again, into a book that has them. Files and databases are made in a
// temporary folder; nothing outside it is touched.

#include "DB/BeginTrans.h"
#include "Data/DatabaseManage.h"
#include "Data/RecordFileReader.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "Import/StatementImport.h"
#include "SystemInfo/Path.h"
#include "base/Error.h"
#include "settings/Unique.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

// The app's kind of trade, shop and goods, and the book's category the import files it under.
const char* const kShops[][4] = {{"餐饮美食", "早餐铺", "豆浆油条", "饮食"}, {"交通出行", "滴滴出行", "快车", "交通"},
                                 {"日用百货", "超市", "日用品", "居家"},     {"充值缴费", "中国移动", "话费", "通讯"},
                                 {"服饰装扮", "网店", "T恤", "服饰"},        {"文化休闲", "影城", "电影票", "娱乐"}};

// A statement of rows trades in the shape of the app: header, then one trade per line;
// in a WeChat one, every refundEvery-th trade is the refund of a yuan of the goods before.
QString WriteStatement(const QString& name, int32_t rows, bool weChat, int32_t refundEvery = 0) {
    const QString path = Folder().path() + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return path;
    QString text = weChat ? QStringLiteral("微信支付账单明细\n共%1笔记录\n----------------------微信支付账单明细列表--------------------\n"
                                           "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n")
                                .arg(rows)
                          : QStringLiteral("支付宝交易明细\n共%1笔记录\n------------------------------------\n"
                                           "交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注,\n")
                                .arg(rows);
    file.write(weChat ? QByteArray("\xEF\xBB\xBF") : QByteArray());
    for (int32_t i = 0; i < rows; ++i) {
        const auto& shop = kShops[i % 6];
        const QString time = QStringLiteral("2024-%1-%2 %3:%4:00")
                                 .arg(1 + i % 12, 2, 10, QChar(u'0'))
                                 .arg(1 + i % 28, 2, 10, QChar(u'0'))
                                 .arg(8 + i % 12, 2, 10, QChar(u'0'))
                                 .arg(i % 60, 2, 10, QChar(u'0'));
        const QString amount = QStringLiteral("%1.%2").arg(5 + i % 200).arg(i % 100, 2, 10, QChar(u'0'));
        const QString status = i % 20 == 0 ? QStringLiteral("交易关闭") : QStringLiteral("交易成功");
        if (weChat && refundEvery > 0 && i % refundEvery == refundEvery - 1) {
            text += QStringLiteral("%1,商户消费-退款,%2,%3,收入,¥1.00,零钱,已退款,42R%4\t,/,/\n")
                        .arg(time, QString::fromUtf8(shop[1]), QString::fromUtf8(shop[2]))
                        .arg(i, 12, 10, QChar(u'0'));
        } else if (weChat) {
            text += QStringLiteral("%1,商户消费,%2,%3,支出,¥%4,零钱,支付成功,42000%5\t,%5\t,/\n")
                        .arg(time, QString::fromUtf8(shop[1]), QString::fromUtf8(shop[2]), amount)
                        .arg(i, 12, 10, QChar(u'0'));
        } else {
            text += QStringLiteral("%1,%2,%3,/,%4,支出,%5,余额,%6,20240%7\t,M%7\t,,\n")
                        .arg(time, QString::fromUtf8(shop[0]), QString::fromUtf8(shop[1]), QString::fromUtf8(shop[2]),
                             amount, status)
                        .arg(i, 16, 10, QChar(u'0'));
        }
        if (text.size() > (1 << 20)) {
            file.write(text.toUtf8());
            text.clear();
        }
    }
    file.write(text.toUtf8());
    return path;
}

struct Book_st {
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("ZantheVorelle管理软件")};
    Vorelle_ns::RecordManage_cl records{users};

    explicit Book_st(const QString& file) {
        links.AddLocalLink(QStringLiteral("bench"), Folder().path() + u'/' + file, QStringLiteral("pw"));
        links.OpenLink(0);
        DB_ns::BeginTrans_cl transaction(&links.GetDatabase());
        users.CreateUserTable(QStringLiteral("admin"), QStringLiteral("pw"));
        records.CreateTables();
        transaction.Commit();
        users.Login(QStringLiteral("admin"), QStringLiteral("pw"));
    }
    ~Book_st() {
        users.Logout();
        links.CloseDatabase();
    }
};

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_PreviewYear(benchmark::State& state) {
    // Called again for each round of iterations: file and book are made once.
    static const QString path = WriteStatement(QStringLiteral("year.csv"), int32_t(state.range(0)), true);
    static Book_st book(QStringLiteral("preview.mdb"));
    for (auto _ : state) {
        Import_ns::StatementImport_cl statement(path, Import_ns::StatementKind_en::Auto, {}, Import_ns::CategoryRules_cl(),
                                                book.users, book.records);
        benchmark::DoNotOptimize(statement.Preview(true).rows);
    }
}
BENCHMARK(BM_PreviewYear)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State& state) {
    const int32_t rows = int32_t(state.range(0));
    const QString path = WriteStatement(QStringLiteral("big%1.csv").arg(rows), rows, false);
    static int32_t run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<Book_st>(QStringLiteral("import%1-%2.mdb").arg(rows).arg(run++));
        const long before = PeakKilobytes();
        state.ResumeTiming();
        Import_ns::StatementImport_cl statement(path, Import_ns::StatementKind_en::Auto, {}, Import_ns::CategoryRules_cl(),
                                                book->users, book->records);
        const Import_ns::StatementSummary_st summary = statement.Import();
        state.PauseTiming();
        state.counters["booked"] = summary.decisions[int(Import_ns::Decision_en::Import)].count;
        state.counters["peak_growth_MB"] = double(PeakKilobytes() - before) / 1024.0;
        book.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Import)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Times the import of path into a new book that has imported bookPath before: what a
// statement imported again costs. The trades found booked go in the "found" counter.
void ImportAgain(benchmark::State& state, const QString& bookPath, const QString& path, const QString& bookName) {
    static int32_t run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<Book_st>(QStringLiteral("%1-%2.mdb").arg(bookName).arg(run++));
        Import_ns::StatementImport_cl(bookPath, Import_ns::StatementKind_en::Auto, {}, Import_ns::CategoryRules_cl(),
                                      book->users, book->records)
            .Import();
        state.ResumeTiming();
        Import_ns::StatementImport_cl statement(path, Import_ns::StatementKind_en::Auto, {}, Import_ns::CategoryRules_cl(),
                                                book->users, book->records);
        const Import_ns::StatementSummary_st summary = statement.Import();
        state.PauseTiming();
        state.counters["found"] = summary.decisions[int(Import_ns::Decision_en::AlreadyImported)].count;
        book.reset();
        state.ResumeTiming();
    }
}

// A statement of rows trades imported into a book that has booked the first bookRows of
// the same trades already: every one is found booked and nothing is written. A book that
// keeps more trades than the file has rows is asked a batch of rows at a time.
void BM_ImportAgain(benchmark::State& state) {
    const int32_t rows = int32_t(state.range(0));
    const int32_t bookRows = int32_t(state.range(1));
    const QString path = WriteStatement(QStringLiteral("big%1.csv").arg(rows), rows, false);
    const QString bookPath = WriteStatement(QStringLiteral("big%1.csv").arg(bookRows), bookRows, false);
    ImportAgain(state, bookPath, path, QStringLiteral("again%1-%2").arg(rows).arg(bookRows));
}
BENCHMARK(BM_ImportAgain)->Args({100000, 100000})->Args({10000, 100000})->Iterations(1)->Unit(benchmark::kMillisecond);

// A WeChat statement of rows trades, a refund in place of every fiftieth, imported again:
// the refunds are matched to purchases booked before, and only those are looked for in
// the book.
void BM_WeChatAgain(benchmark::State& state) {
    const int32_t rows = int32_t(state.range(0));
    const QString path = WriteStatement(QStringLiteral("refunds%1.csv").arg(rows), rows, true, 50);
    ImportAgain(state, path, path, QStringLiteral("wechat%1").arg(rows));
}
BENCHMARK(BM_WeChatAgain)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The entries BM_Import books from its Alipay statement of rows trades (all but the
// closed ones: category, name, amount, time and comment as the statement import makes
// them), as the record page's file, and their import into a new book: what the statement
// import is measured against.
QString WriteSameEntries(int32_t rows) {
    const QString path = Folder().path() + QStringLiteral("/same%1.csv").arg(rows);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return path;
    QString text = QStringLiteral("日期,分类,费用名称,金额,用户,类别,注释\r\n");
    for (int32_t i = 0; i < rows; ++i) {
        if (i % 20 == 0) continue;  // closed: not booked
        const auto& shop = kShops[i % 6];
        text += QStringLiteral("2024-%1-%2 %3:%4:00,%5,%6,-%7.%8,admin,月开销,支付宝 订单号20240%9 %10 %6\r\n")
                    .arg(1 + i % 12, 2, 10, QChar(u'0'))
                    .arg(1 + i % 28, 2, 10, QChar(u'0'))
                    .arg(8 + i % 12, 2, 10, QChar(u'0'))
                    .arg(i % 60, 2, 10, QChar(u'0'))
                    .arg(QString::fromUtf8(shop[3]), QString::fromUtf8(shop[2]))
                    .arg(5 + i % 200)
                    .arg(i % 100, 2, 10, QChar(u'0'))
                    .arg(i, 16, 10, QChar(u'0'))
                    .arg(QString::fromUtf8(shop[1]));
        if (text.size() > (1 << 20)) {
            file.write(text.toUtf8());
            text.clear();
        }
    }
    file.write(text.toUtf8());
    return path;
}

void BM_ImportSameEntries(benchmark::State& state) {
    const int32_t rows = int32_t(state.range(0));
    const QString path = WriteSameEntries(rows);
    static int32_t run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<Book_st>(QStringLiteral("same%1-%2.mdb").arg(rows).arg(run++));
        state.ResumeTiming();
        Vorelle_ns::RecordFileReader_cl reader(path);
        book->records.ImportRecords([&reader](Vorelle_ns::RecordInfo_st& record) { return reader.Next(record); });
        state.PauseTiming();
        state.counters["booked"] = reader.Count();
        book.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportSameEntries)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SystemInfo_ns::SetApplicationFolder(Folder().path());
    Unique_ns::SetStorageFolder(Folder().path());
    benchmark::Initialize(&argc, argv);
    try {
        benchmark::RunSpecifiedBenchmarks();
    } catch (const Base_ns::Error_cl& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Text()));
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
