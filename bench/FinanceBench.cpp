// Speed of the finance data on realistic local databases: imports, entry lists, sums and
// crosstabs at 100,000 and 1,000,000 entries, beside the bare grouped scan of the same rows
// that the crosstabs are held against.

#include "BenchBook.h"
#include "Data/RecordFile.h"
#include "Data/RecordFileReader.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "SystemInfo/Path.h"
#include "settings/Unique.h"

#include <QCoreApplication>
#include <QFile>
#include <sys/resource.h>

#include <cstdio>
#include <memory>

using Base_ns::DateTime_cl;
using namespace Bench_ns;

namespace {

// Each run imports into a new database, made and closed outside the timing.
void BM_ImportRecords(benchmark::State& state) {
    const int32_t count = int32_t(state.range(0));
    const auto list = ImportList(count);
    std::unique_ptr<Finance_st> finance;
    int32_t run = 0;
    Guarded(state, [&] {
        for (auto _ : state) {
            state.PauseTiming();
            finance.reset();
            finance = std::make_unique<Finance_st>(QStringLiteral("import%1-%2.mdb").arg(count).arg(run++), true);
            state.ResumeTiming();
            finance->records.ImportRecords(list);
        }
    });
    finance.reset();
    state.SetItemsProcessed(state.iterations() * count);
}

// The record page's file of every entry of a filled book, read and imported into a new
// book as the page does it; the file is written once, outside the timing.
void BM_ImportFile(benchmark::State& state) {
    const int32_t count = int32_t(state.range(0));
    std::unique_ptr<Finance_st> finance;
    int32_t run = 0;
    Guarded(state, [&] {
        const QString path = Folder().filePath(QStringLiteral("entries%1.csv").arg(count));
        if (!QFile::exists(path)) {
            Vorelle_ns::RecordFile_cl::Write(
                path, Filled(count).records.GetRecords(true, QString(), DateTime_cl::FromParts(2000, 1, 1),
                                                       DateTime_cl::FromParts(2030, 12, 31, 23, 59, 59)));
        }
        for (auto _ : state) {
            state.PauseTiming();
            finance.reset();
            finance = std::make_unique<Finance_st>(QStringLiteral("file%1-%2.mdb").arg(count).arg(run++), true);
            state.ResumeTiming();
            Vorelle_ns::RecordFileReader_cl reader(path);
            finance->records.ImportRecords([&reader](Vorelle_ns::RecordInfo_st& record) { return reader.Next(record); });
        }
    });
    finance.reset();
    state.SetItemsProcessed(state.iterations() * count);
}

const DateTime_cl kMonthBegin = DateTime_cl::FromParts(2020, 6, 1);
const DateTime_cl kMonthEnd = DateTime_cl::FromParts(2020, 6, 30, 23, 59, 59);
const DateTime_cl kYearBegin = DateTime_cl::FromParts(2020, 1, 1);
const DateTime_cl kYearEnd = DateTime_cl::FromParts(2020, 12, 31, 23, 59, 59);

void BM_GetRecordsMonth(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state) benchmark::DoNotOptimize(records.GetRecords(true, QString(), kMonthBegin, kMonthEnd));
    });
}

void BM_GetRecordsYear(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state) benchmark::DoNotOptimize(records.GetRecords(true, QString(), kYearBegin, kYearEnd));
    });
}

void BM_GetTypeSumsMonth(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state) benchmark::DoNotOptimize(records.GetTypeSums(true, QString(), kMonthBegin, kMonthEnd));
    });
}

void BM_GetTypeSumsYear(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state) benchmark::DoNotOptimize(records.GetTypeSums(true, QString(), kYearBegin, kYearEnd));
    });
}

void BM_MonthCrosstab12(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state)
            benchmark::DoNotOptimize(records.GetMonthCrosstab(true, QString(), kYearBegin, kYearEnd));
    });
}

void BM_YearCrosstab10(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state) benchmark::DoNotOptimize(records.GetYearCrosstab(true, QString()));
    });
}

// What the record page runs for a search over a year: the list and the sums. Argument 0
// searches a text in many entry names, 1 one found nowhere (every field read), 2 adds an
// amount range to the first.
void BM_SearchYear(benchmark::State& state) {
    Vorelle_ns::RecordFilter_st filter;
    filter.text = state.range(1) == 1 ? QStringLiteral("Xyz") : QStringLiteral("饭");
    if (state.range(1) == 2) {
        filter.minimum = 1000;
        filter.maximum = 5000;
    }
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state) {
            benchmark::DoNotOptimize(records.GetRecords(true, QString(), kYearBegin, kYearEnd, filter));
            benchmark::DoNotOptimize(records.GetTypeSums(true, QString(), kYearBegin, kYearEnd, filter));
        }
    });
}

// The bare grouped scans the crosstabs are held against: the same rows summed per category
// and period straight from the entry table, with no join, no checks and no layout.
void BareScan(benchmark::State& state, const QString& sql) {
    Guarded(state, [&] {
        DB_ns::IDatabase_cl& database = Filled(int32_t(state.range(0))).links.GetDatabase();
        for (auto _ : state) {
            DB_ns::SimpleOutRecords_cl rows;
            benchmark::DoNotOptimize(database.Query(sql, rows));
        }
    });
}

void BM_BareMonthScan12(benchmark::State& state) {
    BareScan(state, QStringLiteral("select type_sn, substr(record_time, 1, 7), sum(expense) from zorb_record where "
                                   "record_time >= '2020-01-01' and record_time <= '2020-12-31 23:59:59' group by "
                                   "type_sn, substr(record_time, 1, 7)"));
}

void BM_BareYearScan10(benchmark::State& state) {
    BareScan(state, QStringLiteral("select type_sn, substr(record_time, 1, 4), sum(expense) from zorb_record group by "
                                   "type_sn, substr(record_time, 1, 4)"));
}

}  // namespace

BENCHMARK(BM_ImportRecords)->Arg(10000)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportFile)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetRecordsMonth)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTypeSumsMonth)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetRecordsYear)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTypeSumsYear)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthCrosstab12)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearCrosstab10)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareMonthScan12)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareYearScan10)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchYear)->ArgsProduct({{1000000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
