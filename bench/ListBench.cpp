// The record list at 100,000 and 1,000,000 entries, offscreen: reading the entries into the
// list and drawing it once, with the resident memory it takes; beside it the former way of
// one statement for the whole list, and the main window showing such a list on its record
// page; and the oldest way, a widget item per row. Resident figures are the process's own (/proc): run one benchmark per process
// (--benchmark_filter) for figures that no earlier benchmark's freed memory lowers.

#include "BenchBook.h"
#include "CTL/Report.h"
#include "CTL/ReportRows.h"
#include "Control/DataCore.h"
#include "Data/RecordList.h"
#include "SystemInfo/Path.h"
#include "Window/RecordRows.h"
#include "Window/WMainWnd.h"
#include "settings/Unique.h"

#include <QApplication>
#include <QFile>
#include <QTreeWidget>
#include <malloc.h>
#include <unistd.h>

#include <memory>

using Base_ns::DateTime_cl;
using namespace Bench_ns;

namespace {

const CTL_ns::Report_cl::Column_st kColumns[] = {
    {QStringLiteral("日期"), 15}, {QStringLiteral("分类"), 15}, {QStringLiteral("费用名称"), 12}, {QStringLiteral("金额"), 10},
    {QStringLiteral("用户"), 10}, {QStringLiteral("类别"), 10}, {QStringLiteral("注释"), -1}};
const DateTime_cl kBegin = DateTime_cl::FromParts(2015, 1, 1);
const DateTime_cl kEnd = DateTime_cl::FromParts(2025, 12, 31, 23, 59, 59);

// The process's resident memory now, in MB, after handing freed memory back.
double ResidentMB() {
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? double(fields[1].toLongLong()) * double(sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
}

// The highest resident memory since the last ResetPeak, in MB.
double PeakMB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return double(line.mid(6).trimmed().split(' ')[0].toLongLong()) / 1024.0;
    }
    return 0;
}

void ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

// Resident memory from a starting point: what is held now and the most held meanwhile.
struct Resident_st {
    double start = ResidentMB();
    Resident_st() { ResetPeak(); }
    void Report(benchmark::State& state, const char* held, const char* peak) const {
        state.counters[held] = ResidentMB() - start;
        state.counters[peak] = PeakMB() - start;
    }
};

// The list as the record page shows it.
void Show(CTL_ns::Report_cl& list, std::unique_ptr<CTL_ns::ReportRows_cl> rows) {
    list.resize(703, 400);
    list.SetColumns(kColumns, int32_t(std::size(kColumns)));
    list.SetRows(std::move(rows));
    list.show();
    benchmark::DoNotOptimize(list.grab());
}

// All entries of the book read into the list, which is shown and drawn once; "RSS MB" is
// what the process holds more with the list shown ("read RSS MB" of it before showing),
// "peak MB" the most it held meanwhile.
void BM_RecordListShow(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state) {
            state.PauseTiming();
            const Resident_st resident;
            state.ResumeTiming();
            auto rows = std::make_shared<const Vorelle_ns::RecordList_cl>(
                records.GetRecordList(true, QString(), kBegin, kEnd));
            state.PauseTiming();
            state.counters["read RSS MB"] = ResidentMB() - resident.start;
            state.ResumeTiming();
            CTL_ns::Report_cl list;
            Show(list, std::make_unique<Vorelle_ns::RecordRows_cl>(rows));
            state.PauseTiming();
            resident.Report(state, "RSS MB", "peak MB");
            state.counters["rows"] = list.RowCount();
            state.ResumeTiming();
        }
    });
}

// The former way: the whole list read by one statement into full rows.
class WholeRows_cl : public CTL_ns::ReportRows_cl {
public:
    explicit WholeRows_cl(Base_ns::Trusteeship_tl<Vorelle_ns::RecordRow_st> rows) : rows(std::move(rows)) {}
    int32_t Count() const override { return rows.Count(); }
    int32_t ColumnCount() const override { return Vorelle_ns::RecordFile_cl::ColumnCount; }
    QString Text(int32_t row, int32_t column) const override {
        QString texts[Vorelle_ns::RecordFile_cl::ColumnCount];
        Vorelle_ns::RecordFile_cl::RowTexts(rows[row], texts);
        return texts[column];
    }
    int32_t Data(int32_t row) const override { return rows[row].sn; }

private:
    Base_ns::Trusteeship_tl<Vorelle_ns::RecordRow_st> rows;
};

void BM_RecordListWhole(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state) {
            state.PauseTiming();
            const Resident_st resident;
            state.ResumeTiming();
            CTL_ns::Report_cl list;
            Show(list, std::make_unique<WholeRows_cl>(records.GetRecords(true, QString(), kBegin, kEnd)));
            state.PauseTiming();
            resident.Report(state, "RSS MB", "peak MB");
            state.ResumeTiming();
        }
    });
}

// The way before that: one widget item per row, every text made up front.
void BM_RecordListItems(benchmark::State& state) {
    Guarded(state, [&] {
        auto& records = Filled(int32_t(state.range(0))).records;
        for (auto _ : state) {
            state.PauseTiming();
            const WholeRows_cl texts(records.GetRecords(true, QString(), kBegin, kEnd));
            const Resident_st resident;
            state.ResumeTiming();
            QTreeWidget list;
            list.resize(703, 400);
            list.setUniformRowHeights(true);
            list.setRootIsDecorated(false);
            list.setColumnCount(int(std::size(kColumns)));
            for (int32_t i = 0; i < texts.Count(); ++i) {
                auto* item = new QTreeWidgetItem;
                for (int32_t column = 0; column < texts.ColumnCount(); ++column) item->setText(column, texts.Text(i, column));
                item->setData(0, Qt::UserRole, texts.Data(i));
                list.addTopLevelItem(item);
            }
            list.show();
            benchmark::DoNotOptimize(list.grab());
            state.PauseTiming();
            resident.Report(state, "list RSS MB", "list peak MB");
            state.ResumeTiming();
        }
    });
}

// The main window as a user sees it: logged in to the book, its record page showing all
// the book's entries. "window MB" counts from before the window was made, "list MB" from
// the page showing one day.
void BM_RecordPageWindow(benchmark::State& state) {
    Guarded(state, [&] {
        const int32_t count = int32_t(state.range(0));
        Filled(count);
        using Vorelle_ns::DataCore;
        Unique_ns::InitFileStorage(Vorelle_ns::DataCore_cl::GetProductName());
        auto& links = DataCore().GetDatabaseManage();
        links.OpenLink(links.AddLocalLink(QStringLiteral("bench"),
                                          Folder().filePath(FilledFile(count)), QStringLiteral("pw")));
        DataCore().GetUserManage().Login(QStringLiteral("admin"), QStringLiteral("pw"));
        for (auto _ : state) {
            const Resident_st window;
            Vorelle_ns::WMainWnd_cl mainWnd;
            mainWnd.Create();
            Vorelle_ns::WRecordManagePage_cl& page = mainWnd.GetRecordPage();
            mainWnd.GetTabCtrl().SelectPage(&page);
            mainWnd.show();
            QApplication::processEvents();
            state.PauseTiming();
            const Resident_st list;
            state.ResumeTiming();
            page.ShowEntries(QString(), kBegin, kEnd, Vorelle_ns::WRecordFilterBar_cl::AllUsers, QString(),
                             Vorelle_ns::RecordFilter_st::Counted_en::All);
            benchmark::DoNotOptimize(mainWnd.grab());
            state.PauseTiming();
            window.Report(state, "window MB", "window peak MB");
            list.Report(state, "list MB", "list peak MB");
            state.ResumeTiming();
        }
        DataCore().GetUserManage().Logout();
        links.CloseDatabase();
    });
}

}  // namespace

BENCHMARK(BM_RecordListShow)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordListWhole)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordListItems)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordPageWindow)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
