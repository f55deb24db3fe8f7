// What a login pays for the password hash: one check at the rounds every hash is made
// with, and the making of one (a new user, a changed password, a password moving from an
// older book).
#include "Data/PasswordHash.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PasswordCheck(benchmark::State& state) {
    const QString stored = Vorelle_ns::PasswordHash_cl::Make(QStringLiteral("Pa55-wang"));
    for (auto _ : state) benchmark::DoNotOptimize(Vorelle_ns::PasswordHash_cl::Matches(QStringLiteral("Pa55-wang"), stored));
    state.SetLabel(std::to_string(Vorelle_ns::PasswordHash_cl::RoundsOf(stored)) + " rounds");
}
BENCHMARK(BM_PasswordCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PasswordHash(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Vorelle_ns::PasswordHash_cl::Make(QStringLiteral("Pa55-wang")));
}
BENCHMARK(BM_PasswordHash)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
