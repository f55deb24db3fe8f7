#include "DB/BoundSQL.h"
#include "DB/LocalDB.h"
#include "DB/SimpleOutRecords.h"
#include "DB/VersionRecord.h"
#include "Support.h"

#include <QStringList>
#include <memory>
#include <gtest/gtest.h>

using namespace DB_ns;
using Base_ns::Version_st;

namespace {

// A database of another kind that records what runs. With a stored version it has the
// table and answers the read with that text.
class RecordingDB_cl : public IDatabase_cl {
public:
    explicit RecordingDB_cl(int32_t kind, const QString& stored = QString()) : kind(kind), stored(stored) {}
    void BeginTrans() override { run << QStringLiteral("begin"); }
    void CommitTrans() override { run << QStringLiteral("commit"); }
    void RollbackTrans() override { run << QStringLiteral("rollback"); }
    int32_t QueryCount(const QString& sql, int32_t&) override { run << sql; return 0; }
    int32_t ExecuteNoRecords(const QString& sql) override { run << sql; return 1; }
    int32_t Query(const QString& sql, SimpleOutRecords_cl& records) override {
        run << sql;
        Base_ns::Trusteeship_tl<QString> names;
        names.Allocate(1);
        names[0] = QStringLiteral("version");
        auto rows = std::make_shared<Ado_ns::Recordset_cl>(names);
        Ado_ns::Recordset_cl::Row_tl row;
        row.Allocate(1);
        row[0] = Ado_ns::Variant_st::Text(stored);
        rows->AppendRow(row);
        records.Attach(rows);
        return records.GetRowCount();
    }
    int32_t Query(const BoundSQL_st& statement, SimpleOutRecords_cl& records) override {
        return Query(statement.sql, records);
    }
    bool TableExists(const QString& table) override {
        run << QStringLiteral("exists ") + table;
        return !stored.isEmpty();
    }
    int32_t GetType() const override { return kind; }

    int32_t kind;
    QString stored;
    QStringList run;
};

class VersionRecordTest : public ::testing::Test {
protected:
    void SetUp() override { CreateAndOpen(db, QStringLiteral("pw"), folder.Path(QStringLiteral("v.mdb"))); }

    int32_t Rows() {
        int32_t count = -1;
        db.QueryCount(QStringLiteral("select count(*) from module_version"), count);
        return count;
    }

    DBFolder_cl folder;
    LocalDB_cl db;
};

const Version_st kOne(0x01000000);

}  // namespace

TEST_F(VersionRecordTest, NewDatabaseGetsTableAndRow) {
    VersionRecord_cl fresh(&db, QStringLiteral("Vorelle"));
    EXPECT_FALSE(fresh.HasVersion());
    const Caught_st error = Catch([&] { fresh.GetVersion(); });
    EXPECT_EQ(error.message, QStringLiteral("无法取得版本。"));
    EXPECT_EQ(error.className, QStringLiteral("VersionRecord_cl"));
    fresh.SetVersion(kOne);
    EXPECT_FALSE(fresh.HasVersion()) << "the object keeps what it read";

    VersionRecord_cl read(&db, QStringLiteral("Vorelle"));
    ASSERT_TRUE(read.HasVersion());
    EXPECT_TRUE(read.GetVersion() == kOne);
    EXPECT_FALSE(VersionRecord_cl(&db, QStringLiteral("Other")).HasVersion());

    read.SetVersion(Version_st(0x01020304));
    EXPECT_EQ(VersionRecord_cl(&db, QStringLiteral("Vorelle")).GetVersion().ToString(), QStringLiteral("1.2.3.4"));
    EXPECT_EQ(Rows(), 1);
}

TEST_F(VersionRecordTest, LocalWritesStoreDatesOnly) {
    VersionRecord_cl(&db, QStringLiteral("Vorelle")).SetVersion(kOne);
    SimpleOutRecords_cl records;
    ASSERT_EQ(db.Query(QStringLiteral("select update_time, create_time from module_version"), records), 1);
    const Base_ns::DateTime_cl updated = records.GetDateTime();
    const Base_ns::DateTime_cl created = records.GetDateTime();
    const Base_ns::DateTime_cl today = Base_ns::DateTime_cl::Now();
    EXPECT_EQ(updated.Format(), today.FormatDate() + QStringLiteral(" 00:00:00"));
    EXPECT_EQ(created.FormatDate(), today.FormatDate()) << "the column default fills the creation date";
}

TEST_F(VersionRecordTest, SecondSetOnANewDatabaseObjectFailsAndRollsBack) {
    VersionRecord_cl fresh(&db, QStringLiteral("Vorelle"));
    fresh.SetVersion(kOne);
    const Caught_st error = Catch([&] { fresh.SetVersion(Version_st(0x02000000)); });
    EXPECT_TRUE(error.system);
    EXPECT_EQ(error.message, QStringLiteral("错误的SQL语句。"));
    EXPECT_TRUE(error.remark.startsWith(QStringLiteral("create table module_version(")));
    EXPECT_TRUE(VersionRecord_cl(&db, QStringLiteral("Vorelle")).GetVersion() == kOne);
    EXPECT_EQ(Rows(), 1);
}

TEST_F(VersionRecordTest, InsertMeetingAnotherWritersRowRollsBackTheCreatedTable) {
    VersionRecord_cl early(&db, QStringLiteral("Vorelle"));
    VersionRecord_cl(&db, QStringLiteral("Other")).SetVersion(kOne);
    VersionRecord_cl beforeRow(&db, QStringLiteral("Vorelle"));
    VersionRecord_cl(&db, QStringLiteral("Vorelle")).SetVersion(kOne);
    EXPECT_TRUE(Catch([&] { beforeRow.SetVersion(Version_st(0x02000000)); }).system);
    EXPECT_TRUE(VersionRecord_cl(&db, QStringLiteral("Vorelle")).GetVersion() == kOne);
    EXPECT_TRUE(Catch([&] { early.SetVersion(kOne); }).system);
    EXPECT_EQ(Rows(), 2);
}

TEST_F(VersionRecordTest, ChecksTheModuleNameBeforeAnySQL) {
    const QString longest(32, u'模');
    VersionRecord_cl(&db, longest).SetVersion(kOne);
    EXPECT_TRUE(VersionRecord_cl(&db, longest).HasVersion());
    struct Case_st {
        IDatabase_cl* database;
        QString name;
        const char* message;
    } cases[] = {
        {nullptr, QStringLiteral("Vorelle"), "空指针。"},
        {&db, QString(), "模块名称为空。"},
        {&db, QStringLiteral("O'Brien"), "模块名称中有非法字符。"},
        {&db, QString(33, u'x'), "模块名称太长。"},
    };
    for (const Case_st& c : cases) {
        const Caught_st error = Catch([&] { VersionRecord_cl record(c.database, c.name); });
        EXPECT_TRUE(error.system);
        EXPECT_EQ(error.message, QString::fromUtf8(c.message));
        EXPECT_TRUE(error.remark.isEmpty());
    }
    RecordingDB_cl recording(DB_SQLSERVER);
    EXPECT_TRUE(Catch([&] { VersionRecord_cl record(&recording, QString(33, u'x')); }).thrown);
    EXPECT_TRUE(recording.run.isEmpty());
}

TEST_F(VersionRecordTest, AStoredTextThatIsNoVersionIsRefused) {
    VersionRecord_cl(&db, QStringLiteral("Vorelle")).SetVersion(kOne);
    db.ExecuteNoRecords(QStringLiteral("update module_version set version = '1.2.3'"));
    const Caught_st error = Catch([&] { VersionRecord_cl record(&db, QStringLiteral("Vorelle")); });
    EXPECT_EQ(error.message, QStringLiteral("表示版本号的字符串不正确。"));
    EXPECT_EQ(error.className, QStringLiteral("Version_st"));
}

TEST(VersionRecord, WritesEveryDialect) {
    RecordingDB_cl oracle(DB_ORACLE);
    VersionRecord_cl(&oracle, QStringLiteral("Vorelle")).SetVersion(kOne);
    EXPECT_EQ(oracle.run, QStringList({
        QStringLiteral("exists module_version"), QStringLiteral("begin"),
        QStringLiteral("create table module_version(module_name nvarchar2(32) primary key,version varchar(16),update_time date,create_time date default sysdate)"),
        QStringLiteral("insert into module_version(version,module_name,update_time) values('1.0.0.0','Vorelle',sysdate)"),
        QStringLiteral("commit")}));

    RecordingDB_cl server(DB_SQLSERVER);
    VersionRecord_cl(&server, QStringLiteral("Vorelle")).SetVersion(kOne);
    EXPECT_EQ(server.run, QStringList({
        QStringLiteral("exists module_version"), QStringLiteral("begin"),
        QStringLiteral("create table module_version(module_name nvarchar(32) primary key,version varchar(16),update_time datetime,create_time datetime default getdate())"),
        QStringLiteral("insert into module_version(version,module_name,update_time) values('1.0.0.0','Vorelle',getdate())"),
        QStringLiteral("commit")}));
}

TEST(VersionRecord, UpdatesEveryDialect) {
    for (const auto& [kind, now] : {std::pair{DB_ORACLE, "sysdate"}, {DB_SQLSERVER, "getdate()"}}) {
        RecordingDB_cl database(kind, QStringLiteral(" 1.0.0.0 "));
        VersionRecord_cl record(&database, QStringLiteral("Vorelle"));
        EXPECT_TRUE(record.GetVersion() == kOne);
        record.SetVersion(Version_st(0x01000001));
        EXPECT_EQ(database.run, QStringList({
            QStringLiteral("exists module_version"),
            QStringLiteral("select version from module_version where module_name='Vorelle'"), QStringLiteral("begin"),
            QStringLiteral("update module_version set update_time = %1,version = '1.0.0.1' where module_name='Vorelle'").arg(QString::fromUtf8(now)),
            QStringLiteral("commit")}));
    }
}
