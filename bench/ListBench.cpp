// The record list at 100,000 and 1,000,000 entries, offscreen: reading the entries, handing
// them to the list and drawing it once, with the memory the list holds; beside it the former
// way of one widget item per row.

#include "BenchBook.h"
#include "CTL/Report.h"
#include "SystemInfo/Path.h"
#include "Window/ConvertInfo.h"
#include "Window/RecordRows.h"
#include "settings/Unique.h"

#include <QApplication>
#include <QFile>
#include <QTreeWidget>
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

// The resident memory of the process now, in MB.
double ResidentMB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? double(fields[1].toLongLong()) * 4096.0 / 1048576.0 : 0;
}

// All entries of the book read, shown in the list and drawn once; the memory counter is
// what the shown list holds (entries and list), measured while it is on screen.
void BM_RecordListShow(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        double held = 0;
        for (auto _ : state) {
            const double before = ResidentMB();
            CTL_ns::Report_cl list;
            list.resize(703, 400);
            list.SetColumns(kColumns, int32_t(std::size(kColumns)));
            list.SetRows(std::make_unique<Vorelle_ns::RecordRows_cl>(records.GetRecords(true, QString(), kBegin, kEnd)));
            list.show();
            benchmark::DoNotOptimize(list.grab());
            held = ResidentMB() - before;
            state.counters["rows"] = list.RowCount();
        }
        state.counters["MB"] = held;
    });
}

// The former way: one widget item per row, every text made up front.
void BM_RecordListItems(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        double held = 0;
        for (auto _ : state) {
            const double before = ResidentMB();
            QTreeWidget list;
            list.resize(703, 400);
            list.setUniformRowHeights(true);
            list.setRootIsDecorated(false);
            list.setColumnCount(int(std::size(kColumns)));
            const auto rows = records.GetRecords(true, QString(), kBegin, kEnd);
            const Vorelle_ns::RecordRows_cl texts(rows);
            for (int32_t i = 0; i < rows.Count(); ++i) {
                auto* item = new QTreeWidgetItem;
                for (int32_t column = 0; column < texts.ColumnCount(); ++column) item->setText(column, texts.Text(i, column));
                item->setData(0, Qt::UserRole, texts.Data(i));
                list.addTopLevelItem(item);
            }
            list.show();
            benchmark::DoNotOptimize(list.grab());
            held = ResidentMB() - before;
        }
        state.counters["MB"] = held;
    });
}

}  // namespace

BENCHMARK(BM_RecordListShow)->Arg(100000)->Arg(1000000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordListItems)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SystemInfo_ns::SetApplicationFolder(Folder().path());
    Unique_ns::SetStorageFolder(Folder().path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseFilled();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Peak memory of the process: %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    return 0;
}
