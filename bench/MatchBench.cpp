// A statement met with the book's own entries: the preview of a year's WeChat Pay
// statement of 10,000 trades against a book of 1,000,000 entries over ten years, every
// trade compared with the user's entries of the statement's days. A fifth of the trades
// have the amount and day of an entry of the book.

#include "BenchBook.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Import/StatementImport.h"

#include <QCoreApplication>
#include <QFile>

namespace {

using namespace Bench_ns;

// The statement: trades through 2024, every fifth one at the amount and time of one of
// the super administrator's entries of that year.
QString WriteStatement(Finance_st& book, int32_t rows) {
    DB_ns::SimpleOutRecords_cl booked;
    const int32_t count = book.links.GetDatabase().Query(
        QStringLiteral("select record_time,expense from zorb_record where user_sn = 1 and expense < 0 order by sn"), booked);
    QList<std::pair<Base_ns::DateTime_cl, int32_t>> entries;
    for (int32_t i = 0; i < count; ++i, booked.MoveNext()) {
        const Base_ns::DateTime_cl time = booked.GetDateTime();
        const int32_t expense = booked.GetInteger();
        if (time.Year() == 2024) entries.append({time, expense});
    }
    const QString path = Folder().path() + QStringLiteral("/match%1.csv").arg(rows);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return path;
    QString text = QStringLiteral("微信支付账单明细\n共%1笔记录\n----------------------微信支付账单明细列表--------------------\n"
                                  "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n")
                       .arg(rows);
    for (int32_t i = 0; i < rows; ++i) {
        Base_ns::DateTime_cl time = Base_ns::DateTime_cl::FromParts(2024, 1 + i % 12, 1 + i % 28, 8 + i % 12, i % 60);
        int32_t cents = 500 + i * 7 % 19000;
        if (i % 5 == 0 && i / 5 < entries.size()) {
            time = entries[i / 5].first;
            cents = -entries[i / 5].second;
        }
        text += QStringLiteral("%1,商户消费,商店%2,商品%3,支出,¥%4.%5,零钱,支付成功,42000%6\t,%6\t,/\n")
                    .arg(time.Format())
                    .arg(i % 97)
                    .arg(i % 31)
                    .arg(cents / 100)
                    .arg(cents % 100, 2, 10, QChar(u'0'))
                    .arg(i, 12, 10, QChar(u'0'));
    }
    file.write("\xEF\xBB\xBF" + text.toUtf8());
    return path;
}

void BM_PreviewMatched(benchmark::State& state) {
    Finance_st& book = Filled(int32_t(state.range(1)));
    static const QString path = WriteStatement(book, int32_t(state.range(0)));
    Guarded(state, [&] {
        for (auto _ : state) {
            Import_ns::StatementImport_cl statement(path, Import_ns::StatementKind_en::Auto, {},
                                                    Import_ns::CategoryRules_cl(), book.users, book.records);
            const Import_ns::StatementSummary_st& summary = statement.Preview(true);
            state.counters["linked"] = summary.decisions[int(Import_ns::Decision_en::Linked)].count;
            state.counters["doubts"] = summary.decisions[int(Import_ns::Decision_en::MaybeDuplicate)].count;
            state.counters["new"] = summary.decisions[int(Import_ns::Decision_en::Import)].count;
        }
    });
}
BENCHMARK(BM_PreviewMatched)->Args({10000, 1000000})->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
