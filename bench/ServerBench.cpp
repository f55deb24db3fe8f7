// A book on a PostgreSQL server beside a local book: the same 100,000-entry import and
// the same reports on each. The server is a throwaway one started here, on this machine;
// nothing outside a temporary folder is touched.

#include "BenchBook.h"
#include "DB/BeginTrans.h"
#include "Data/DatabaseManage.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "SystemInfo/Path.h"
#include "base/Error.h"
#include "platform/ado/Environment.h"
#include "settings/Unique.h"
#include "support/PostgresServer.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>

using Base_ns::DateTime_cl;
using Bench_ns::Folder;
using Bench_ns::Guarded;

namespace {

const char* const kUsers[] = {"admin", "王芳", "李强", "张伟", "刘洋"};
constexpr int32_t kEntries = 100000;

PostgresServer_cl& Server() {
    PostgresServer_cl& server = PostgresServer_cl::Shared();
    if (!server.Start()) {
        std::fprintf(stderr, "The PostgreSQL server did not start: %s\n", qPrintable(server.Why()));
        std::exit(1);
    }
    return server;
}

// A new book of the kind, logged in as its super administrator, with four more users.
struct Book_st {
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("ZantheVorelle管理软件")};
    Vorelle_ns::RecordManage_cl records{users};

    Book_st(bool onServer, const QString& name) {
        if (onServer) {
            PostgresServer_cl& server = Server();
            if (!server.MakeBook("bench", "pw", name)) throw std::runtime_error(qPrintable(server.Why()));
            links.AddPostgreSQLLink(name, server.Address(), name, "bench", "pw");
        } else {
            links.AddLocalLink(name, Folder().path() + "/" + name + ".mdb", QStringLiteral("pw"));
        }
        links.OpenLink(0);
        DB_ns::BeginTrans_cl transaction(&links.GetDatabase());
        users.CreateUserTable(kUsers[0], QStringLiteral("pw"));
        records.CreateTables();
        transaction.Commit();
        users.Login(kUsers[0], QStringLiteral("pw"));
        for (int32_t i = 1; i < 5; ++i) users.AddUser(kUsers[i], 1 + i % 3, QStringLiteral("pw"));
    }
};

// Ten years of a household's entries: mostly expenses over a dozen categories.
Container_ns::List_tl<Vorelle_ns::RecordInfo_st> Entries() {
    std::mt19937 random(20240501);
    auto pick = [&random](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(random); };
    const DateTime_cl first = DateTime_cl::FromParts(2015, 1, 1);
    Container_ns::List_tl<Vorelle_ns::RecordInfo_st> list;
    for (int32_t i = 0; i < kEntries; ++i) {
        const bool income = pick(10) == 0;
        list.Append({first + Base_ns::DateTimeSpan_cl(3652.0 * i / kEntries), QStringLiteral("分类%1").arg(pick(12)),
                     QStringLiteral("项目%1").arg(pick(40)), income ? 10000 + pick(160000) : -(100 + pick(20000)),
                     QString::fromUtf8(kUsers[pick(5)]), pick(3), i % 2 ? QString() : QStringLiteral("备注%1").arg(i)});
    }
    return list;
}

// The filled books, one per kind, made on first use.
std::map<bool, std::unique_ptr<Book_st>> filled;

Book_st& Filled(bool onServer) {
    auto& book = filled[onServer];
    if (!book) {
        book = std::make_unique<Book_st>(onServer, QStringLiteral("filled"));
        book->records.ImportRecords(Entries());
    }
    return *book;
}

void BM_Import100k(benchmark::State& state) {
    const auto list = Entries();
    static int32_t run = 0;  // a new book for every run, across repetitions too
    Guarded(state, [&] {
        for (auto _ : state) {
            state.PauseTiming();
            auto book = std::make_unique<Book_st>(state.range(0) != 0, QStringLiteral("import%1").arg(run++));
            state.ResumeTiming();
            book->records.ImportRecords(list);
        }
    });
}

const DateTime_cl kYearBegin = DateTime_cl::FromParts(2020, 1, 1);
const DateTime_cl kYearEnd = DateTime_cl::FromParts(2020, 12, 31, 23, 59, 59);
const DateTime_cl kMonthEnd = DateTime_cl::FromParts(2020, 1, 31, 23, 59, 59);

void BM_MonthList(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(state.range(0) != 0).records;
        for (auto _ : state) benchmark::DoNotOptimize(records.GetRecords(true, QString(), kYearBegin, kMonthEnd));
    });
}

void BM_YearSums(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(state.range(0) != 0).records;
        for (auto _ : state) benchmark::DoNotOptimize(records.GetTypeSums(true, QString(), kYearBegin, kYearEnd));
    });
}

void BM_MonthCrosstab12(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(state.range(0) != 0).records;
        for (auto _ : state) benchmark::DoNotOptimize(records.GetMonthCrosstab(true, QString(), kYearBegin, kYearEnd));
    });
}

void BM_YearCrosstab10(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(state.range(0) != 0).records;
        for (auto _ : state) benchmark::DoNotOptimize(records.GetYearCrosstab(true, QString()));
    });
}

}  // namespace

// Argument: 0 a local book, 1 a book on the PostgreSQL server.
BENCHMARK(BM_Import100k)->ArgName("server")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthList)->ArgName("server")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearSums)->ArgName("server")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthCrosstab12)->ArgName("server")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearCrosstab10)->ArgName("server")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SystemInfo_ns::SetApplicationFolder(Folder().path());
    Unique_ns::SetStorageFolder(Folder().path());
    Ado_ns::Environment_cl::Startup();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    filled.clear();
    return 0;
}
