// Speed of the recurring entries: what has come due over 1,000 schedules started ten
// years ago, with nothing booked yet and with everything booked but the last month. The
// book is made in a temporary folder once per run; nothing outside it is touched.

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "Data/DatabaseManage.h"
#include "Data/RecordManage.h"
#include "Data/ScheduleDates.h"
#include "Data/ScheduleManage.h"
#include "Data/UserManage.h"
#include "base/Error.h"
#include "settings/Unique.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int32_t kSchedules = 1000;
const QDate kFirst(2016, 1, 1);
const QDate kToday(2025, 12, 31);

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

// Mostly monthly bills, some fortnightly and some yearly ones, each from a day of 2016.
Vorelle_ns::Schedule_st Generated(int32_t i) {
    Vorelle_ns::Schedule_st schedule;
    schedule.typeName = QStringLiteral("居家");
    schedule.expenseName = QStringLiteral("账单%1").arg(i);
    schedule.expense = -(100 + i);
    schedule.firstDate = kFirst.addDays(i % 365);
    if (i % 10 < 7) {
        schedule.every = Vorelle_ns::ScheduleEvery_en::Month;
        schedule.day = 1 + i % 31;
    } else if (i % 10 < 9) {
        schedule.every = Vorelle_ns::ScheduleEvery_en::Week;
        schedule.interval = 2;
        schedule.day = 1 + i % 7;
    } else {
        schedule.every = Vorelle_ns::ScheduleEvery_en::Year;
        schedule.day = 1 + i % 28;
    }
    return schedule;
}

struct Book_st {
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("ZantheVorelle管理软件")};
    Vorelle_ns::RecordManage_cl records{users};
    Vorelle_ns::ScheduleManage_cl schedules{users, records};
    int64_t occurrences = 0;

    explicit Book_st(const QString& name) {
        links.AddLocalLink(name, Folder().path() + u'/' + name + QStringLiteral(".mdb"), QStringLiteral("pw"));
        links.OpenLink(0);
        DB_ns::BeginTrans_cl transaction(&links.GetDatabase());
        users.CreateUserTable(QStringLiteral("admin"), QStringLiteral("pw"));
        records.CreateTables();
        schedules.CreateTables();
        transaction.Commit();
        users.Login(QStringLiteral("admin"), QStringLiteral("pw"));
        DB_ns::BeginTrans_cl adding(&links.GetDatabase());
        for (int32_t i = 0; i < kSchedules; ++i) (void)schedules.Add(Generated(i));
        adding.Commit();
    }
    ~Book_st() {
        users.Logout();
        links.CloseDatabase();
    }
    // Marks every occurrence before the last month booked, as ten years of use would.
    void BookAllButTheLastMonth() {
        DB_ns::IDatabase_cl& database = links.GetDatabase();
        DB_ns::BeginTrans_cl transaction(&database);
        for (int32_t i = 0; i < kSchedules; ++i) {
            QDate last;
            Vorelle_ns::ScheduleDates_cl::Each(Generated(i), kToday.addMonths(-1), [&](const QDate& date) {
                last = date;
                database.ExecuteNoRecords(
                    QStringLiteral("insert into zorb_schedule_occurrence(schedule_sn,occur_date,state,moved_date,alter_sn) "
                                   "values(%1,'%2','B','%2',1)")
                        .arg(i + 1)
                        .arg(date.toString(Qt::ISODate)));
                ++occurrences;
                return true;
            });
            // As booking them one after the other leaves it.
            database.ExecuteNoRecords(QStringLiteral("update zorb_schedule set settled_until = '%1' where sn = %2")
                                          .arg(last.toString(Qt::ISODate))
                                          .arg(i + 1));
        }
        transaction.Commit();
    }
};

void Measure(benchmark::State& state, Book_st& book) {
    int32_t due = 0;
    for (auto _ : state) due = book.schedules.GetDue(kToday).Count();
    state.counters["due"] = due;
    state.counters["booked"] = double(book.occurrences);
}

void BM_DueNothingBooked(benchmark::State& state) {
    static Book_st book(QStringLiteral("fresh"));
    Measure(state, book);
}
BENCHMARK(BM_DueNothingBooked)->Unit(benchmark::kMillisecond);

void BM_DueTenYearsBooked(benchmark::State& state) {
    static Book_st book(QStringLiteral("used"));
    static const bool booked = (book.BookAllButTheLastMonth(), true);
    static_cast<void>(booked);
    Measure(state, book);
}
BENCHMARK(BM_DueTenYearsBooked)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir settings;
    Unique_ns::SetStorageFolder(settings.path());
    ::benchmark::Initialize(&argc, argv);
    try {
        ::benchmark::RunSpecifiedBenchmarks();
    } catch (const Base_ns::Error_cl& error) {
        fprintf(stderr, "%s\n%s\n", qPrintable(error.Message()), qPrintable(error.Remark()));
        return 1;
    }
    return 0;
}
