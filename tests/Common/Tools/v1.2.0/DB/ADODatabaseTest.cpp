#include "DB/LocalDB.h"
#include "DB/SimpleOutRecords.h"
#include "Support.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace DB_ns;

namespace {

const char* kWrongSQL = "错误的SQL语句。";

// An open local database with table t(n) holding 1, 2 and 3.
class ADODatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateAndOpen(db, QStringLiteral("pw"), folder.Path(QStringLiteral("a.mdb")));
        db.ExecuteNoRecords(QStringLiteral("create table t(n integer, s text(16))"));
        for (int n = 1; n <= 3; ++n) db.ExecuteNoRecords(QStringLiteral("insert into t(n) values(%1)").arg(n));
    }

    int32_t Count(const QString& sql = QStringLiteral("select count(*) from t")) {
        int32_t count = -1;
        db.QueryCount(sql, count);
        return count;
    }

    // A statement's failure remark: the SQL text, a line break and the provider's
    // description with Windows line ends.
    static void ExpectStatementRemark(const Caught_st& error, const QString& sql) {
        EXPECT_TRUE(error.system);
        EXPECT_EQ(error.message, QString::fromUtf8(kWrongSQL));
        EXPECT_EQ(error.className, QStringLiteral("LocalDB_cl"));
        EXPECT_EQ(error.file, QStringLiteral("ADODatabase.cpp"));
        EXPECT_TRUE(error.remark.startsWith(sql + QStringLiteral("\r\n"))) << error.remark.toStdString();
        EXPECT_GT(error.remark.size(), sql.size() + 2);
        EXPECT_EQ(error.remark.count(u'\n'), error.remark.count(QStringLiteral("\r\n")));
    }

    DBFolder_cl folder;
    LocalDB_cl db;
};

}  // namespace

TEST(ADODatabase, EveryOperationNeedsAConnection) {
    LocalDB_cl db;
    SimpleOutRecords_cl records;
    int32_t count = 0;
    const std::function<void()> operations[] = {
        [&] { db.BeginTrans(); },
        [&] { db.CommitTrans(); },
        [&] { db.RollbackTrans(); },
        [&] { db.QueryCount(QStringLiteral("select 1"), count); },
        [&] { db.ExecuteNoRecords(QStringLiteral("select 1")); },
        [&] { db.Query(QStringLiteral("select 1"), records); },
        [&] { db.TableExists(QStringLiteral("t")); },
    };
    for (const auto& operation : operations) {
        const Caught_st error = Catch(operation);
        EXPECT_TRUE(error.system);
        EXPECT_EQ(error.message, QStringLiteral("没有链接数据库。"));
        EXPECT_TRUE(error.remark.isEmpty());
        EXPECT_EQ(error.className, QStringLiteral("LocalDB_cl"));
    }
}

TEST_F(ADODatabaseTest, QueryReturnsTheRowCountAndStandsOnTheFirstRow) {
    SimpleOutRecords_cl records;
    EXPECT_EQ(db.Query(QStringLiteral("select n from t order by n desc"), records), 3);
    EXPECT_EQ(records.GetRowCount(), 3);
    EXPECT_EQ(records.GetInteger(), 3);
}

TEST_F(ADODatabaseTest, QueryWithoutRowsEmptiesTheReader) {
    for (const QString& sql : {QStringLiteral("select n from t where n > 10"), QStringLiteral("update t set n = n where n > 10")}) {
        SimpleOutRecords_cl records;
        ASSERT_EQ(db.Query(QStringLiteral("select n from t"), records), 3);
        EXPECT_EQ(db.Query(sql, records), 0);
        EXPECT_EQ(Catch([&] { records.GetRowCount(); }).message, QStringLiteral("没有记录存在。"));
        Ado_ns::Variant_st value;
        EXPECT_EQ(Catch([&] { records.GetValue(value); }).message, QStringLiteral("没有记录存在。"));
    }
}

TEST_F(ADODatabaseTest, FailingStatementsRaiseOneWithTheStatement) {
    const QString wrong = QStringLiteral("selec n from t");
    SimpleOutRecords_cl records;
    int32_t count = 0;
    ExpectStatementRemark(Catch([&] { db.Query(wrong, records); }), wrong);
    ExpectStatementRemark(Catch([&] { db.ExecuteNoRecords(wrong); }), wrong);
    ExpectStatementRemark(Catch([&] { db.QueryCount(wrong, count); }), wrong);
    const QString missing = QStringLiteral("select n from missing");
    ExpectStatementRemark(Catch([&] { db.Query(missing, records); }), missing);
    // The database stays usable.
    EXPECT_EQ(Count(), 3);
}

TEST_F(ADODatabaseTest, ExecuteNoRecordsReturnsTheAffectedRows) {
    EXPECT_EQ(db.ExecuteNoRecords(QStringLiteral("update t set s = 'x' where n >= 2")), 2);
    EXPECT_EQ(db.ExecuteNoRecords(QStringLiteral("delete from t where n > 10")), 0);
}

TEST_F(ADODatabaseTest, QueryCountReadsOneIntegerOnly) {
    EXPECT_EQ(Count(), 3);
    EXPECT_EQ(Count(QStringLiteral("select max(n) from t")), 3);
    for (const char* sql : {"select n, n from t", "select s from t", "select n from t where n > 10",
                            "select 3000000000", "select 1.5", "update t set s = 'y'"}) {
        int32_t count = 77;
        const Caught_st error = Catch([&] { db.QueryCount(QString::fromUtf8(sql), count); });
        EXPECT_TRUE(error.system) << sql;
        EXPECT_EQ(error.message, QStringLiteral("该接口只能用于取得数量。")) << sql;
        EXPECT_TRUE(error.remark.isEmpty());
    }
}

TEST_F(ADODatabaseTest, TableExistsAnswersWithoutRaising) {
    EXPECT_TRUE(db.TableExists(QStringLiteral("t")));
    EXPECT_FALSE(db.TableExists(QStringLiteral("missing")));
    EXPECT_FALSE(db.TableExists(QStringLiteral("t where")));
    EXPECT_EQ(Count(), 3);
}

TEST_F(ADODatabaseTest, LocalTransactionsNestAtTheProvider) {
    db.BeginTrans();
    db.ExecuteNoRecords(QStringLiteral("insert into t(n) values(4)"));
    db.BeginTrans();
    db.ExecuteNoRecords(QStringLiteral("insert into t(n) values(5)"));
    db.RollbackTrans();
    EXPECT_EQ(Count(), 4) << "the inner rollback undoes the inner level only";
    db.RollbackTrans();
    EXPECT_EQ(Count(), 3);

    db.BeginTrans();
    db.ExecuteNoRecords(QStringLiteral("insert into t(n) values(4)"));
    db.BeginTrans();
    db.ExecuteNoRecords(QStringLiteral("insert into t(n) values(5)"));
    db.CommitTrans();
    db.RollbackTrans();
    EXPECT_EQ(Count(), 3) << "an inner commit is undone by the outer rollback";

    db.BeginTrans();
    db.BeginTrans();
    db.ExecuteNoRecords(QStringLiteral("insert into t(n) values(4)"));
    db.CommitTrans();
    db.CommitTrans();
    EXPECT_EQ(Count(), 4);
}

TEST_F(ADODatabaseTest, TransactionCallsWithoutATransactionFail) {
    const Caught_st commit = Catch([&] { db.CommitTrans(); });
    EXPECT_EQ(commit.message, QStringLiteral("保存事务失败。"));
    EXPECT_FALSE(commit.remark.isEmpty());
    const Caught_st rollback = Catch([&] { db.RollbackTrans(); });
    EXPECT_EQ(rollback.message, QStringLiteral("取消事务失败。"));
    db.BeginTrans();
    db.ExecuteNoRecords(QStringLiteral("insert into t(n) values(4)"));
    db.CommitTrans();
    EXPECT_EQ(Count(), 4);
}

// Causes the user can act on reach him in words, naming the file, never as a wrong statement.
TEST(ADODatabaseCauses, BusyReadOnlyFullAndDamagedAreToldInWordsNamingTheFile) {
    struct Case_st {
        const char* cause;
        std::function<void(LocalDB_cl& db, LocalDB_cl& other, const QString& path)> prepare;
        const char* message;
    } cases[] = {
        {"another writer",
         [](LocalDB_cl& db, LocalDB_cl& other, const QString& path) {
             other.Open(QStringLiteral("pw"), path);
             other.BeginTrans();
             other.ExecuteNoRecords(QStringLiteral("insert into t(n) values(9)"));
             db.ExecuteNoRecords(QStringLiteral("pragma busy_timeout = 0"));
         },
         "数据库正被其他用户使用，等待超时，本次操作没有保存。请稍后再试。"},
        {"read-only", [](LocalDB_cl& db, LocalDB_cl&, const QString&) { db.ExecuteNoRecords(QStringLiteral("pragma query_only = 1")); },
         "数据库文件是只读的，或所在文件夹不允许写入，本次操作没有保存。"},
        {"disk full", [](LocalDB_cl& db, LocalDB_cl&, const QString&) { db.ExecuteNoRecords(QStringLiteral("pragma max_page_count = 1")); },
         "磁盘空间已满，本次操作没有保存。"},
        {"damaged",
         [](LocalDB_cl& db, LocalDB_cl&, const QString& path) {
             db.ExecuteNoRecords(QStringLiteral("insert into t(n) values(zeroblob(20000))"));
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.seek(1024);  // the table's first page
             file.write(QByteArray(1024, '\xff'));
             file.close();
             db.Open(QStringLiteral("pw"), path);
         },
         "数据库文件已损坏，或不是本软件的数据库文件。"},
    };
    for (const Case_st& c : cases) {
        DBFolder_cl folder;
        const QString path = folder.Path(QStringLiteral("账本.mdb"));
        LocalDB_cl db, other;
        CreateAndOpen(db, QStringLiteral("pw"), path);
        db.ExecuteNoRecords(QStringLiteral("create table t(n integer)"));
        // A damaged file is refused when it is opened again, the others when written.
        const Caught_st error = Catch([&] {
            c.prepare(db, other, path);
            db.BeginTrans();
            db.ExecuteNoRecords(QStringLiteral("select count(*) from t"));
            db.ExecuteNoRecords(QStringLiteral("insert into t(n) values(zeroblob(20000))"));
            db.CommitTrans();
        });
        EXPECT_FALSE(error.system) << c.cause;
        EXPECT_EQ(error.message, QString::fromUtf8(c.message)) << c.cause;
        EXPECT_EQ(error.remark, path) << c.cause;
        EXPECT_EQ(error.className, QStringLiteral("LocalDB_cl")) << c.cause;
    }
}
