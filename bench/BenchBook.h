#pragma once

// The generated books the benchmarks measure: local databases of many realistic entries,
// made in a temporary folder once per run; nothing outside it is touched.

#include "Data/DatabaseManage.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"
#include "base/Error.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdint>

namespace Bench_ns {

// The temporary folder of this run.
QTemporaryDir& Folder();

// One open database with the managers over it, logged in as the super administrator;
// create makes the tables, the users and the categories first.
struct Finance_st {
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("ZantheVorelle管理软件")};
    Vorelle_ns::RecordManage_cl records{users};

    Finance_st(const QString& file, bool create);
    ~Finance_st();
};

// The entries a book asked for with count has: count, or VORELLE_BENCH_ENTRIES when it is
// set, which makes every book that small so that a short run tries every benchmark.
int32_t Entries(int32_t count);
// A database of Entries(count) generated entries over ten years (2015-2024), made on first
// use, in the file FilledFile(count).
Finance_st& Filled(int32_t count);
QString FilledFile(int32_t count);
// Lets go of the filled databases.
void CloseFilled();
// count generated entries as an import reads them from a file.
Container_ns::List_tl<Vorelle_ns::RecordInfo_st> ImportList(int32_t count);

// Runs the benchmarks chosen on the command line in the temporary folder, then lets go of
// the filled databases and prints the peak memory of the process. The caller makes the
// application object first.
int RunBenchmarks(int argc, char** argv);

// Runs body, turning the program's errors into a benchmark failure.
template <typename Body>
void Guarded(benchmark::State& state, Body body) {
    try {
        body();
    } catch (const Base_ns::Error_cl& error) {
        state.SkipWithError(error.Text().toUtf8().constData());
    }
}


}  // namespace Bench_ns
