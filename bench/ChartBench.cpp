// How long the statistics charts take to draw: ten years of monthly figures of a dozen
// categories, built into the charts and painted, as the month page does after a query.
#include "Control/CrosstabFigures.h"
#include "Window/WCrosstabChart.h"

#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>

namespace {

DB_ns::CrossTable_st TenYearsOfMonths(int32_t categories) {
    constexpr int32_t kMonths = 120;
    DB_ns::CrossTable_st table;
    table.columnCaptions.Allocate(kMonths);
    table.rowCaptions.Allocate(categories);
    table.cells.Allocate(kMonths * categories);
    for (int32_t j = 0; j < kMonths; ++j) table.columnCaptions[j] = QString::asprintf("%04d-%02d", 2015 + j / 12, j % 12 + 1);
    for (int32_t i = 0; i < categories; ++i) {
        table.rowCaptions[i] = QStringLiteral("分类%1").arg(i);
        // The last category is the income.
        for (int32_t j = 0; j < kMonths; ++j) {
            table.cells[i * kMonths + j] = i + 1 == categories ? 1200000 : -((i * 7919 + j * 104729) % 90000) - 100;
        }
    }
    return table;
}

void BM_ChartTenYearsMonthly(benchmark::State& state) {
    const Vorelle_ns::CrosstabFigures_cl figures(TenYearsOfMonths(int32_t(state.range(0))));
    Vorelle_ns::WCrosstabChart_cl chart;
    chart.resize(1000, 400);
    QPixmap canvas(chart.size());
    for (auto _ : state) {
        chart.Show(figures);
        chart.render(&canvas);
    }
}

}  // namespace

BENCHMARK(BM_ChartTenYearsMonthly)->Arg(12)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
