#include "FinanceFixture.h"

#include "DB/LocalDB.h"
#include "Data/BookBackup.h"
#include "support/BookDamage.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

using Vorelle_ns::BookBackup_cl;

namespace {

QDateTime At(const char* text) { return QDateTime::fromString(QString::fromUtf8(text), Qt::ISODate); }

// One text a statement yields from a file opened with the engine directly, or the
// engine's complaint.
QString Scalar(const QString& path, const char* key, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (key != nullptr) sqlite3_key(db, key, int(strlen(key)));
    sqlite3_stmt* stmt = nullptr;
    QString result;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    else
        result = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    return result;
}

// Another program writing to the book: batches of entries with the balance, each one
// transaction, until told to stop.
[[noreturn]] void WriteUntil(const QString& book, const QString& stop) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(book).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, "pw", 2);
    sqlite3_busy_timeout(db, 10000);
    for (int batch = 0; batch < 2000 && !QFile::exists(stop); ++batch) {
        QByteArray sql = "begin immediate;";
        for (int i = 0; i < 50; ++i)
            sql += "insert into zorb_record(user_sn,type_sn,expense_name,expense,comment,statistics_mode,valid,"
                   "record_time,alter_sn) values(1,3,'写入',-7,'','0','1','2024-05-01 08:00:00',1);";
        sql += "update zorb_user set public_account = public_account - 350, single_account = single_account - 350 "
               "where sn = 1; commit;";
        if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) _exit(1);
    }
    sqlite3_close_v2(db);
    _exit(0);
}

struct RotationCase_st {
    const char* name;
    QList<const char*> times;  // newest first
    QList<int32_t> expired;
};

const char* const now = "2026-12-08T10:00:00";

const RotationCase_st rotationCases[] = {
    {"TenOrFewerAllStay", {"2026-12-08T09:00:00", "2020-01-01T00:00:00"}, {}},
    {"EleventhOfTheSameMonthGoes",
     {"2026-12-08T09:00:00", "2026-12-07T09:00:00", "2026-12-06T09:00:00", "2026-12-05T09:00:00",
      "2026-12-04T09:00:00", "2026-12-03T09:00:00", "2026-12-02T09:00:00", "2026-12-01T09:00:00",
      "2026-11-30T09:00:00", "2026-11-29T09:00:00", "2026-11-28T09:00:00"},
     {10}},
    {"NewestOfEachOlderMonthStaysForAYear",
     {"2026-12-08T09:00:00", "2026-12-07T09:00:00", "2026-12-06T09:00:00", "2026-12-05T09:00:00",
      "2026-12-04T09:00:00", "2026-12-03T09:00:00", "2026-12-02T09:00:00", "2026-12-01T09:00:00",
      "2026-12-01T08:00:00", "2026-12-01T07:00:00", "2026-10-31T09:00:00", "2026-10-02T09:00:00",
      "2026-01-15T09:00:00", "2025-12-31T23:00:00", "2025-06-01T09:00:00"},
     {11, 13, 14}},
};

void PrintTo(const RotationCase_st& c, std::ostream* os) { *os << c.name; }

}  // namespace

class BookBackupTest : public FinanceTest {
protected:
    QString BookPath() const { return app.Path() + QStringLiteral("finance.mdb"); }
    BookBackup_cl backup{links};
};

class BookBackupRotationTest : public ::testing::TestWithParam<RotationCase_st> {};

TEST_P(BookBackupRotationTest, KeepsTheLastTenAndTheNewestOfEachMonthForAYear) {
    QList<QDateTime> times;
    for (const char* time : GetParam().times) times.append(At(time));
    EXPECT_EQ(BookBackup_cl::Expired(times, At(now)), GetParam().expired);
}

INSTANTIATE_TEST_SUITE_P(Cases, BookBackupRotationTest, ::testing::ValuesIn(rotationCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BookBackupTest, CopyWhileAnotherProgramWritesOpensChecksOutAndGivesTheSameReports) {
    records.AddRecord("娱乐", "", -1200, "", Time("2024-05-02 09:00:00"), 0);
    records.AddRecord("工资", "", 900000, "", Time("2024-05-03 09:00:00"), 0);
    const QString stop = app.Path() + QStringLiteral("stop");
    const pid_t writer = fork();
    ASSERT_GE(writer, 0) << "could not start the writing process";
    if (writer == 0) WriteUntil(BookPath(), stop);
    while (Count("zorb_record", "expense_name = '写入'") < 500) QThread::msleep(5);
    const QString copy = app.Path() + QStringLiteral("copy.mdb");
    backup.BackupTo(copy);
    QFile(stop).open(QIODevice::WriteOnly);
    int status = -1;
    waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the writing process failed";

    EXPECT_EQ(Scalar(copy, "pw", "pragma integrity_check"), "ok");
    EXPECT_EQ(Scalar(copy, nullptr, "select count(*) from sqlite_master"), "file is encrypted or is not a database");
    const int32_t written = Scalar(copy, "pw", "select count(*) from zorb_record where expense_name = '写入'").toInt();
    EXPECT_GT(written, 0);
    EXPECT_EQ(written % 50, 0) << "a copy in the middle of a transaction";

    const auto bookSums = records.GetTypeSums(true, "", Time("2024-01-01"), Time("2024-12-31 23:59:59"));
    users.Logout();
    links.AddLocalLink("副本", copy, "pw");
    links.OpenLink(1);
    LoginAs("admin");
    const auto copySums = records.GetTypeSums(true, "", Time("2024-01-01"), Time("2024-12-31 23:59:59"));
    ASSERT_EQ(copySums.Count(), bookSums.Count());
    for (int32_t i = 0; i < copySums.Count(); ++i) {
        const bool writers = copySums[i].typeName == "交通";  // category 3
        EXPECT_EQ(copySums[i].typeName, bookSums[i].typeName);
        EXPECT_EQ(copySums[i].sum, writers ? -7 * written : bookSums[i].sum) << copySums[i].typeName.toStdString();
    }
    EXPECT_EQ(users.GetPublicAccount(), 900000 - 1200 - 7 * written);
}

TEST_F(BookBackupTest, AutomaticBackupOncePerDayRotatedAndNeverOverAnEarlierFileOrBlockedFolder) {
    QDir().mkpath(BookBackup_cl::Folder());
    QList<QDateTime> old = {At("2025-01-01T09:00:00"), At("2025-12-01T09:00:00"), At("2025-12-02T09:00:00")};
    for (int day = 1; day <= 10; ++day) old.append(QDateTime(QDate(2026, 11, day), QTime(9, 0)));
    for (const QDateTime& time : old)
        QFile(BookBackup_cl::Folder() + BookBackup_cl::FileName("finance", time)).open(QIODevice::WriteOnly);
    // Another book's backups, one made today: this book's is still due.
    for (const char* time : {"2020-01-01T00:00:00", "2026-12-08T20:00:00"})
        QFile(BookBackup_cl::Folder() + BookBackup_cl::FileName("other", At(time))).open(QIODevice::WriteOnly);

    const QString first = backup.BackupIfDue(At("2026-12-08T21:00:00"));
    EXPECT_EQ(first, BookBackup_cl::Folder() + "finance_20261208-210000.mdb");
    EXPECT_EQ(Scalar(first, "pw", "select count(*) from zorb_user"), "1");
    EXPECT_EQ(backup.BackupIfDue(At("2026-12-08T23:59:00")), "");
    EXPECT_FALSE(backup.BackupIfDue(At("2026-12-09T08:00:00")).isEmpty());
    QStringList names;
    for (const auto& file : BookBackup_cl::List()) names.append(QFileInfo(file.path).fileName());
    QStringList kept = {"finance_20261209-080000.mdb", "finance_20261208-210000.mdb", "other_20261208-200000.mdb"};
    for (int day = 10; day >= 3; --day) kept.append(QStringLiteral("finance_202611%1-090000.mdb").arg(day, 2, 10, QChar('0')));
    kept.append("other_20200101-000000.mdb");
    EXPECT_EQ(names, kept);

    const QByteArray earlier = [&] { QFile f(first); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    EXPECT_EQ(Raise([&] { backup.BackupTo(first); }).message, "备份失败，已经有同名的文件存在。");
    QFile f(first);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), earlier);

    const QString blocked = app.Path() + QStringLiteral("file/backup.mdb");
    QFile(app.Path() + QStringLiteral("file")).open(QIODevice::WriteOnly);
    const Raised_st raised = Raise([&] { backup.BackupTo(blocked); });
    EXPECT_EQ(raised.message, "备份失败，无法写入备份文件。");
    EXPECT_TRUE(raised.remark.startsWith(blocked));
    EXPECT_EQ(users.GetPublicAccount(), 0);  // the book still answers
}

TEST_F(BookBackupTest, RestoreMakesANewBookOrReplacesABookAfterBackingItUp) {
    records.AddRecord("交通", "", -1200, "", Time("2024-05-02 09:00:00"), 0);
    const QString saved = app.Path() + QStringLiteral("saved.mdb");
    backup.BackupTo(saved);
    records.AddRecord("交通", "", -300, "", Time("2024-05-02 10:00:00"), 0);
    EXPECT_EQ(BookBackup_cl::CountEntries(saved, "pw"), 1);
    EXPECT_EQ(Raise([&] { (void)BookBackup_cl::CountEntries(saved, "wrong"); }).message, "打开数据库文件失败，文件已损坏或密码错误。");
    EXPECT_EQ(Raise([&] { (void)BookBackup_cl::CountEntries(app.Path() + "none.mdb", "pw"); }).message,
              "备份文件不存在。");

    const QString fresh = app.Path() + QStringLiteral("restored/new.mdb");
    BookBackup_cl::RestoreAsNew(saved, "pw", fresh);
    EXPECT_EQ(Scalar(fresh, "pw", "select count(*) from zorb_record"), "1");
    EXPECT_EQ(Raise([&] { BookBackup_cl::RestoreAsNew(saved, "pw", fresh); }).message,
              "备份失败，已经有同名的文件存在。");

    const Vorelle_ns::LinkInfo_st link = links.GetLink(0);
    users.Logout();
    links.CloseDatabase();
    EXPECT_EQ(Raise([&] { BookBackup_cl::RestoreOver(saved, "other", link, At("2026-12-08T10:00:00")); })
                  .message,
              "备份的密码与该账本的密码不同，不能覆盖该账本，请恢复为新账本。");
    const QString before = BookBackup_cl::RestoreOver(saved, "pw", link, At("2026-12-08T10:00:00"));
    EXPECT_EQ(Scalar(before, "pw", "select count(*) from zorb_record"), "2");
    EXPECT_EQ(Scalar(BookPath(), "pw", "select count(*) from zorb_record"), "1");
    EXPECT_EQ(Scalar(BookPath(), "pw", "select public_account from zorb_user where sn = 1"), "-1200");
    links.OpenLink(0);
    LoginAs("admin");
}

TEST_F(BookBackupTest, NewBookFilesAreTheOwnersAlone) {
    const QString copy = app.Path() + QStringLiteral("copy.mdb");
    backup.BackupTo(copy);
    const QString restored = app.Path() + QStringLiteral("restored.mdb");
    BookBackup_cl::RestoreAsNew(copy, "pw", restored);
    for (const QString& path : {BookPath(), copy, restored}) {
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0) << path.toStdString();
        EXPECT_EQ(status.st_mode & 0777, 0600u) << path.toStdString();
    }
}

// A damaged book is refused at opening, naming the file, whatever page is damaged: its
// balance is never read from it nor an entry booked into it. The sound copy opens.
TEST_F(BookBackupTest, ADamagedBookIsRefusedAtOpeningNamingTheFile) {
    {
        DB_ns::BeginTrans_cl pages(&Database());
        for (int i = 0; i < 400; ++i) records.AddRecord("交通", "", -(i + 1), "填满几页", Time("2024-05-02 09:00:00"), 0);
        pages.Commit();
    }
    const QString sound = app.Path() + QStringLiteral("sound.mdb");
    backup.BackupTo(sound);
    DB_ns::LocalDB_cl book;
    const Raised_st opened = Raise([&] { book.Open("pw", sound); });
    EXPECT_FALSE(opened.raised) << opened.message.toStdString();
    for (const BookDamage_ns::Damage_st& damage : BookDamage_ns::kDamages) {
        SCOPED_TRACE(damage.title);
        const QString damaged = app.Path() + QStringLiteral("damaged.mdb");
        ASSERT_TRUE(BookDamage_ns::WriteDamaged(sound, damaged, damage));
        const Raised_st refused = Raise([&] { DB_ns::LocalDB_cl().Open("pw", damaged); });
        EXPECT_TRUE(refused.raised);
        EXPECT_FALSE(refused.system);
        EXPECT_EQ(refused.message, QString::fromUtf8(damage.message));
        EXPECT_EQ(refused.remark, damaged);
        ASSERT_TRUE(QFile::remove(damaged));
    }
}

// A book with a damaged page is named as what is at fault; the destination is left as
// it was.
TEST_F(BookBackupTest, ABackupOfADamagedBookBlamesTheBook) {
    {
        DB_ns::BeginTrans_cl pages(&Database());
        for (int i = 0; i < 400; ++i) records.AddRecord("交通", "", -(i + 1), "填满几页", Time("2024-05-02 09:00:00"), 0);
        pages.Commit();
    }
    const QString damaged = app.Path() + QStringLiteral("damaged.mdb");
    backup.BackupTo(damaged);
    // Damaged while it is open: opening refuses a damaged book.
    DB_ns::LocalDB_cl book;
    const Raised_st opened = Raise([&] { book.Open("pw", damaged); });
    ASSERT_FALSE(opened.raised) << opened.message.toStdString() << opened.remark.toStdString();
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_GT(file.size(), 8 * 4096);
        file.seek(file.size() / 2);
        file.write(QByteArray(512, 'x'));
    }
    const QString folder = app.Path() + QStringLiteral("to/");
    const Raised_st raised = Raise([&] { book.Backup(folder + QStringLiteral("copy.mdb")); });
    EXPECT_EQ(raised.message, "备份失败，要备份的账本文件已损坏，读不出完整的账本。");
    EXPECT_EQ(raised.remark, damaged);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
}
