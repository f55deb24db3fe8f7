// Speed of the budget page's figures on a local book of 1,000,000 entries over ten years:
// a month, a month whose categories carry over from January, and a year, each with the
// texts the page and the command line show.

#include "BenchBook.h"
#include "Control/BudgetText.h"
#include "Data/Budget.h"

#include <QCoreApplication>

using namespace Bench_ns;

namespace {

constexpr int32_t kEntries = 1000000;

// The filled book with a plan on every expense category, carried over from January when
// rollover is on.
Vorelle_ns::Budget_cl& Planned(bool rollover) {
    Finance_st& finance = Filled(kEntries);
    static Vorelle_ns::Budget_cl budget(finance.users);
    const Base_ns::Trusteeship_tl<QString> names = finance.records.GetTypeNames(false);
    for (int32_t i = 0; i < names.Count(); ++i)
        budget.SetTypePlan(names[i], 100000 + i * 5000, Vorelle_ns::Rollover_st{rollover, Vorelle_ns::MonthKey(2024, 1)});
    return budget;
}

void Measure(benchmark::State& state, bool rollover, int32_t month) {
    Guarded(state, [&] {
        Vorelle_ns::Budget_cl& budget = Planned(rollover);
        for (auto _ : state) {
            const Vorelle_ns::BudgetView_st view = month == 0 ? budget.GetYear(2024) : budget.GetMonth(2024, month);
            benchmark::DoNotOptimize(Vorelle_ns::BudgetText_cl::Rows(view));
            benchmark::DoNotOptimize(Vorelle_ns::BudgetText_cl::TotalRows(view));
            benchmark::DoNotOptimize(Vorelle_ns::BudgetText_cl::PeopleRows(view));
        }
    });
}

void BM_BudgetMonth(benchmark::State& state) { Measure(state, false, 6); }
void BM_BudgetMonthRolloverFromJanuary(benchmark::State& state) { Measure(state, true, 6); }
void BM_BudgetYear(benchmark::State& state) { Measure(state, false, 0); }
void BM_BudgetYearRollover(benchmark::State& state) { Measure(state, true, 0); }

}  // namespace

BENCHMARK(BM_BudgetMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BudgetMonthRolloverFromJanuary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BudgetYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BudgetYearRollover)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
