// Speed of the finance data on realistic local databases: imports, entry lists, sums and
// crosstabs at 100,000 and 1,000,000 entries. Databases are made in a temporary folder
// once per run; nothing outside it is touched.

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/SimpleOutRecords.h"
#include "Data/DatabaseManage.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "SystemInfo/Path.h"
#include "base/Error.h"
#include "settings/Unique.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <vector>

using Base_ns::DateTime_cl;

namespace {

const char* const kUsers[] = {"admin", "王芳", "李强", "张伟", "刘洋"};
const int32_t kPowers[] = {0, 1, 2, 2, 3};
const char* const kNames[] = {"午饭", "晚饭", "地铁", "电话费", "聚餐", "超市", "房租", "药", "书", "电影", "奖金", ""};
constexpr int32_t kExtraTypes = 36;
// Entries spread over ten years.
const DateTime_cl kFirstDay = DateTime_cl::FromParts(2015, 1, 1);
constexpr int64_t kSpanSeconds = int64_t(3653) * 86400;

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

// One open database with the managers over it, logged in as the super administrator.
struct Finance_st {
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("ZantheVorelle管理软件")};
    Vorelle_ns::RecordManage_cl records{users};

    explicit Finance_st(const QString& file, bool create) {
        links.AddLocalLink(QStringLiteral("bench"), Folder().path() + "/" + file, QStringLiteral("pw"));
        links.OpenLink(0);
        if (create) {
            DB_ns::BeginTrans_cl transaction(&links.GetDatabase());
            users.CreateUserTable(kUsers[0], QStringLiteral("pw"));
            records.CreateTables();
            transaction.Commit();
        }
        users.Login(kUsers[0], QStringLiteral("pw"));
        if (!create) return;
        for (int32_t i = 1; i < 5; ++i) users.AddUser(kUsers[i], kPowers[i], QStringLiteral("pw"));
        for (int32_t i = 0; i < kExtraTypes; ++i)
            records.GetTypeSn(QStringLiteral("分类%1").arg(i + 1, 2, 10, QChar('0')), i % 4 == 0);
    }
    ~Finance_st() {
        users.Logout();
        links.CloseDatabase();
    }
};

// Serial numbers of the categories of one kind.
std::vector<int32_t> TypeSns(DB_ns::IDatabase_cl& database, bool income) {
    DB_ns::SimpleOutRecords_cl rows;
    const int32_t count = database.Query(
        QStringLiteral("select sn from zorb_expense_type where kind = '%1' order by sn").arg(income ? 1 : 0), rows);
    std::vector<int32_t> sns;
    for (int32_t i = 0; i < count; ++i) {
        sns.push_back(rows.GetInteger());
        rows.MoveNext();
    }
    return sns;
}

// A realistic entry: mostly expenses, a tenth incomes, half with a comment.
struct Generator_st {
    std::mt19937 random{20240501};

    int32_t Pick(int32_t count) { return std::uniform_int_distribution<int32_t>(0, count - 1)(random); }
    // Incomes are rarer and larger, so that the balances stay near where they started.
    bool Income() { return Pick(10) == 0; }
    int32_t Amount(bool income) {
        return income ? std::uniform_int_distribution<int32_t>(10000, 170000)(random)
                      : -std::uniform_int_distribution<int32_t>(100, 20000)(random);
    }
    // Entries are booked roughly in the order they happen: entry i of count lies near
    // its share of the ten years, a few days either way.
    DateTime_cl Time(int32_t i, int32_t count) {
        constexpr int64_t kJitter = 3 * 86400;
        int64_t second = kSpanSeconds * i / count + std::uniform_int_distribution<int64_t>(-kJitter, kJitter)(random);
        second = std::clamp<int64_t>(second, 0, kSpanSeconds - 1);
        return kFirstDay + Base_ns::DateTimeSpan_cl(double(second) / 86400.0);
    }
    int32_t Mode() {
        const int32_t n = Pick(10);
        return n < 7 ? 0 : n < 9 ? 1 : 2;
    }
    QString Comment(int32_t i) { return i % 2 == 0 ? QStringLiteral("备注%1").arg(i) : QString(); }
};

// Fills the database with count entries, many rows per statement, in one transaction.
void FillEntries(DB_ns::IDatabase_cl& database, int32_t count) {
    const std::vector<int32_t> expenseTypes = TypeSns(database, false), incomeTypes = TypeSns(database, true);
    Generator_st generate;
    DB_ns::BeginTrans_cl transaction(&database);
    constexpr int32_t kBatch = 500;
    for (int32_t done = 0; done < count;) {
        QString sql = QStringLiteral(
            "insert into zorb_record(user_sn,type_sn,expense_name,expense,comment,statistics_mode,valid,"
            "record_time,alter_sn) values");
        for (int32_t i = 0; i < kBatch && done < count; ++i, ++done) {
            const bool income = generate.Income();
            const std::vector<int32_t>& types = income ? incomeTypes : expenseTypes;
            sql += QStringLiteral("%1(%2,%3,'%4',%5,'%6','%7','1','%8',1)")
                       .arg(i == 0 ? "" : ",")
                       .arg(1 + generate.Pick(5))
                       .arg(types[generate.Pick(int32_t(types.size()))])
                       .arg(QString::fromUtf8(kNames[generate.Pick(int32_t(std::size(kNames)))]))
                       .arg(generate.Amount(income))
                       .arg(generate.Comment(done))
                       .arg(generate.Mode())
                       .arg(generate.Time(done, count).Format());
        }
        database.ExecuteNoRecords(sql);
    }
    transaction.Commit();
}

// The filled databases by their number of entries, made on first use.
std::map<int32_t, std::unique_ptr<Finance_st>> filled;

Finance_st& Filled(int32_t count) {
    auto& finance = filled[count];
    if (!finance) {
        const QString file = QStringLiteral("filled%1.mdb").arg(count);
        {
            Finance_st fresh(file, true);
            FillEntries(fresh.links.GetDatabase(), count);
        }
        finance = std::make_unique<Finance_st>(file, false);
    }
    return *finance;
}

Container_ns::List_tl<Vorelle_ns::RecordInfo_st> ImportList(int32_t count) {
    Generator_st generate;
    Container_ns::List_tl<Vorelle_ns::RecordInfo_st> list;
    for (int32_t i = 0; i < count; ++i) {
        Vorelle_ns::RecordInfo_st info;
        const bool income = generate.Income();
        info.recordTime = generate.Time(i, count);
        const int32_t type = generate.Pick(11 + kExtraTypes);
        info.typeName = type < 11 ? QString() : QStringLiteral("分类%1").arg(type - 10, 2, 10, QChar('0'));
        info.expenseName = QString::fromUtf8(kNames[generate.Pick(int32_t(std::size(kNames)))]);
        info.expense = generate.Amount(income);
        info.userName = QString::fromUtf8(kUsers[generate.Pick(5)]);
        info.statisticsMode = generate.Mode();
        info.comment = generate.Comment(i);
        list.Append(info);
    }
    return list;
}

// Runs body, turning the program's errors into a benchmark failure.
template <typename Body>
void Guarded(benchmark::State& state, Body body) {
    try {
        body();
    } catch (const Base_ns::Error_cl& error) {
        state.SkipWithError(error.Text().toUtf8().constData());
    }
}

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

}  // namespace

BENCHMARK(BM_ImportRecords)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetRecordsMonth)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTypeSumsMonth)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetRecordsYear)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTypeSumsYear)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthCrosstab12)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearCrosstab10)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchYear)->ArgsProduct({{1000000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SystemInfo_ns::SetApplicationFolder(Folder().path());
    Unique_ns::SetStorageFolder(Folder().path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    filled.clear();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Peak memory of the process: %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}
