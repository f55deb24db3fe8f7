// Speed of the local engine's hot paths, apart from the finance data: date cells, the Jet
// functions a crosstab calls per row and column, statement translation and statements
// that repeat. Everything is made in a temporary folder.

#include "base/DateTime.h"
#include "platform/ado/Catalog.h"
#include "platform/ado/Connection.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/Recordset.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int32_t kRows = 100000;

// One database of kRows dated rows, made on first use.
Ado_ns::Connection_cl& Filled() {
    static QTemporaryDir folder;
    static std::unique_ptr<Ado_ns::Connection_cl> connection;
    if (!connection) {
        const QString settings = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=pw;Data Source=%1")
                                     .arg(folder.path() + QStringLiteral("/provider.mdb"));
        Ado_ns::Catalog_cl::Create(settings);
        connection = std::make_unique<Ado_ns::Connection_cl>();
        connection->Open(settings);
        int32_t affected = 0;
        connection->Execute(QStringLiteral("create table t(d datetime, s text(16), n integer)"), affected, Ado_ns::adCmdText);
        // Ten years of rows, a row every 53 minutes, by a recursive statement in one go.
        connection->Execute(QStringLiteral("insert into t(d, s, n) select datetime('2015-01-01', (k * 3180) || ' seconds'), "
                                           "'名称' || k, k % 1000 - 500 from (with recursive c(k) as (select 0 union all "
                                           "select k + 1 from c where k + 1 < %1) select k from c)")
                                .arg(kRows),
                            affected, Ado_ns::adCmdText);
    }
    return *connection;
}

std::shared_ptr<Ado_ns::Recordset_cl> Query(const QString& sql) {
    int32_t affected = 0;
    return Filled().Execute(sql, affected, Ado_ns::adCmdText);
}

// Date cells of a declared column and texts, read into a row set.
void BM_ReadDateRows(benchmark::State& state) {
    Filled();
    for (auto _ : state) benchmark::DoNotOptimize(Query(QStringLiteral("select d, s from t")));
    state.SetItemsProcessed(state.iterations() * kRows);
}

// A year crosstab's columns: format and iif once per row and column.
void BM_FormatColumns(benchmark::State& state) {
    QString sql = QStringLiteral("select count(*)");
    for (int year = 2015; year < 2025; ++year)
        sql += QStringLiteral(",sum(iif(format(d, 'yyyy') = '%1', n, 0))").arg(year);
    sql += QStringLiteral(" from t");
    Filled();
    for (auto _ : state) benchmark::DoNotOptimize(Query(sql));
    state.SetItemsProcessed(state.iterations() * kRows * 10);
}

// The date forms the program writes, and one that needs the general reader.
void BM_ParseDate(benchmark::State& state) {
    const QString texts[] = {QStringLiteral("2020-06-30 23:59:59"), QStringLiteral("2020-06-30"),
                             QStringLiteral("2020/6/30 23:59")};
    const QString& text = texts[state.range(0)];
    for (auto _ : state) benchmark::DoNotOptimize(Base_ns::DateTime_cl::Parse(text));
}

void BM_TranslateStatement(benchmark::State& state) {
    const QString sql = QStringLiteral(
        "update zorb_record set type_sn = 3, expense_name = '午饭', expense = -1500, comment = '', statistics_mode = "
        "'0', record_time = '2020-06-30 12:00:00', alter_sn = 1, alter_time = date()+time() where valid = '1' and sn = 42");
    for (auto _ : state) benchmark::DoNotOptimize(Ado_ns::JetDialect_cl::Translate(sql));
}

// A statement run again and again, as an import reads the balances for every entry.
void BM_RepeatedSelect(benchmark::State& state) {
    Filled();
    for (auto _ : state) benchmark::DoNotOptimize(Query(QStringLiteral("select n, s from t where rowid = 4242")));
}

}  // namespace

BENCHMARK(BM_ReadDateRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseDate)->DenseRange(0, 2);
BENCHMARK(BM_TranslateStatement);
BENCHMARK(BM_RepeatedSelect);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
