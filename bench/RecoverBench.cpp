// Speed of recovering: the backup of a book of 100,000 entries, opening it (with the
// check of its pages), and the recycle bin listing 100,000 deleted entries into its table
// model. The book is made in a temporary
// folder once per run; nothing outside it is touched.

#include "DB/BeginTrans.h"
#include "DB/IDatabase.h"
#include "DB/LocalDB.h"
#include "Data/BookBackup.h"
#include "Data/DatabaseManage.h"
#include "Data/RecordManage.h"
#include "Data/RecycleBin.h"
#include "Data/UserManage.h"
#include "Window/RecycleBinModel.h"
#include "base/Error.h"
#include "settings/Unique.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int32_t kEntries = 100000;

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

// A book of kEntries entries over ten years, logged in as its super administrator.
struct Book_st {
    Vorelle_ns::DatabaseManage_cl links;
    Vorelle_ns::UserManage_cl users{links, QStringLiteral("ZantheVorelle管理软件")};
    Vorelle_ns::RecordManage_cl records{users};
    Vorelle_ns::RecycleBin_cl bin{users, records};
    Vorelle_ns::BookBackup_cl backup{links};

    Book_st() {
        links.AddLocalLink(QStringLiteral("bench"), Folder().path() + QStringLiteral("/book.mdb"), QStringLiteral("pw"));
        links.OpenLink(0);
        DB_ns::IDatabase_cl& database = links.GetDatabase();
        DB_ns::BeginTrans_cl transaction(&database);
        users.CreateUserTable(QStringLiteral("admin"), QStringLiteral("pw"));
        records.CreateTables();
        for (int32_t i = 0; i < kEntries; ++i) {
            database.ExecuteNoRecords(
                QStringLiteral("insert into zorb_record(user_sn,type_sn,expense_name,expense,comment,statistics_mode,"
                               "valid,record_time,alter_sn) values(1,%1,'午饭',%2,'','0','1',#%3#,1)")
                    .arg(1 + i % 10)
                    .arg(-(100 + i % 5000))
                    .arg(QDateTime(QDate(2015, 1, 1).addDays(i % 3650), QTime(12, 0))
                             .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        }
        transaction.Commit();
        users.Login(QStringLiteral("admin"), QStringLiteral("pw"));
    }
    ~Book_st() {
        users.Logout();
        links.CloseDatabase();
    }
    // Every entry deleted, as one deletion would.
    void DeleteAll() {
        DB_ns::IDatabase_cl& database = links.GetDatabase();
        const int32_t recycler = records.NewRecycler(QStringLiteral("删除费用记录。"));
        database.ExecuteNoRecords(
            QStringLiteral("update zorb_record set valid = '0', recycler_sn = %1 where valid = '1'").arg(recycler));
    }
};

Book_st& Book() {
    static Book_st book;
    return book;
}

void BM_Backup100k(benchmark::State& state) {
    Book_st& book = Book();  // made before the timing
    int32_t n = 0;
    for (auto _ : state) {
        const QString copy = Folder().path() + QStringLiteral("/copy%1.mdb").arg(n++);
        book.backup.BackupTo(copy);
        state.PauseTiming();
        state.counters["bytes"] = double(QFile(copy).size());
        QFile::remove(copy);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Backup100k)->Unit(benchmark::kMillisecond);

// Opening the book as a second connection does (its key is derived once per process).
void BM_Open100k(benchmark::State& state) {
    const QString path = Folder().path() + QStringLiteral("/book.mdb");
    Book();  // made before the timing
    for (auto _ : state) {
        DB_ns::LocalDB_cl opened;
        opened.Open(QStringLiteral("pw"), path);
    }
    state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(BM_Open100k)->Unit(benchmark::kMillisecond);

// Reading the deletions and showing the first screen of the bin.
void BM_RecycleList100k(benchmark::State& state) {
    static const bool deleted = (Book().DeleteAll(), true);
    static_cast<void>(deleted);
    Vorelle_ns::RecycleBinModel_cl model;
    for (auto _ : state) {
        model.SetRows(Book().bin.GetDeletions());
        for (int row = 0; row < 40; ++row) {
            for (int column = 0; column < model.columnCount(); ++column)
                benchmark::DoNotOptimize(model.index(row, column).data());
        }
    }
    state.counters["rows"] = model.rowCount();
}
BENCHMARK(BM_RecycleList100k)->Unit(benchmark::kMillisecond);

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
