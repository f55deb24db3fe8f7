// The record list at 100,000 and 1,000,000 entries, offscreen: handing the read entries to
// the list and drawing it once, with the memory it holds; beside it the former way of one
// widget item per row.

#include "BenchBook.h"
#include "CTL/Report.h"
#include "SystemInfo/Path.h"
#include "Window/RecordRows.h"
#include "settings/Unique.h"

#include <QApplication>
#include <QTreeWidget>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <memory>

using Base_ns::DateTime_cl;
using namespace Bench_ns;

namespace {

const CTL_ns::Report_cl::Column_st kColumns[] = {
    {QStringLiteral("日期"), 15}, {QStringLiteral("分类"), 15}, {QStringLiteral("费用名称"), 12}, {QStringLiteral("金额"), 10},
    {QStringLiteral("用户"), 10}, {QStringLiteral("类别"), 10}, {QStringLiteral("注释"), -1}};
const DateTime_cl kBegin = DateTime_cl::FromParts(2015, 1, 1);
const DateTime_cl kEnd = DateTime_cl::FromParts(2025, 12, 31, 23, 59, 59);

// The heap memory in use now, in MB: what is held, not the high-water mark that the
// resident size keeps after a large query's rows are freed.
double HeapMB() {
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / 1048576.0;
}

// All entries of the book handed to the list, which is shown and drawn once. Reading the
// entries is outside the timing (it is the entry list's benchmark in vorelle_bench);
// "entries MB" is what the read entries hold, "list MB" what the shown list adds.
void BM_RecordListShow(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        double entries = 0, held = 0;
        for (auto _ : state) {
            state.PauseTiming();
            const double start = HeapMB();
            auto rows = std::make_unique<Vorelle_ns::RecordRows_cl>(records.GetRecords(true, QString(), kBegin, kEnd));
            const double before = HeapMB();
            entries = before - start;
            state.ResumeTiming();
            CTL_ns::Report_cl list;
            list.resize(703, 400);
            list.SetColumns(kColumns, int32_t(std::size(kColumns)));
            list.SetRows(std::move(rows));
            list.show();
            benchmark::DoNotOptimize(list.grab());
            state.PauseTiming();
            held = HeapMB() - before;
            state.counters["rows"] = list.RowCount();
            state.ResumeTiming();
        }
        state.counters["entries MB"] = entries;
        state.counters["list MB"] = held;
    });
}

// The former way: one widget item per row, every text made up front.
void BM_RecordListItems(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        double held = 0;
        for (auto _ : state) {
            state.PauseTiming();
            const auto rows = records.GetRecords(true, QString(), kBegin, kEnd);
            const Vorelle_ns::RecordRows_cl texts(rows);
            const double before = HeapMB();
            state.ResumeTiming();
            QTreeWidget list;
            list.resize(703, 400);
            list.setUniformRowHeights(true);
            list.setRootIsDecorated(false);
            list.setColumnCount(int(std::size(kColumns)));
            for (int32_t i = 0; i < rows.Count(); ++i) {
                auto* item = new QTreeWidgetItem;
                for (int32_t column = 0; column < texts.ColumnCount(); ++column) item->setText(column, texts.Text(i, column));
                item->setData(0, Qt::UserRole, texts.Data(i));
                list.addTopLevelItem(item);
            }
            list.show();
            benchmark::DoNotOptimize(list.grab());
            state.PauseTiming();
            held = HeapMB() - before;
            state.ResumeTiming();
        }
        state.counters["list MB"] = held;
    });
}

}  // namespace

BENCHMARK(BM_RecordListShow)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordListItems)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
