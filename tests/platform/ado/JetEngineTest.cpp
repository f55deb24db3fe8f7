#include "JetSupport.h"

#include <QFile>
#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

using namespace Ado_ns;

namespace {

bool InInterfaceRange(uint32_t result) { return result >= 0x80040200u && result <= 0x8004FFFFu; }

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

}  // namespace

TEST_F(JetTest, CreateRefusesAnExistingFile) {
    const QByteArray before = ReadAll(path);
    EXPECT_EQ(ResultOf([&] { Catalog_cl::Create(ConnectionString(path, QStringLiteral("other"))); }), Result_ns::DataSourceExists);
    EXPECT_EQ(ReadAll(path), before);

    const QString text = PathOf("note.txt");
    QFile note(text);
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.write("keep me");
    note.close();
    EXPECT_EQ(ResultOf([&] { Catalog_cl::Create(ConnectionString(text, QString())); }), Result_ns::DataSourceExists);
    EXPECT_EQ(ReadAll(text), QByteArray("keep me"));
    // A folder is no database file either, and is not reported as one.
    const uint32_t folderResult = ResultOf([&] { Catalog_cl::Create(ConnectionString(folder.path(), QString())); });
    EXPECT_NE(folderResult, 0u);
    EXPECT_NE(folderResult, Result_ns::DataSourceExists);
}

TEST_F(JetTest, PasswordEncryptsTheFile) {
    Run(QStringLiteral("create table t(name text(16))"));
    Run(QStringLiteral("insert into t(name) values('plainly visible')"));
    const QByteArray bytes = ReadAll(path);
    EXPECT_GT(bytes.size(), 0);
    EXPECT_FALSE(bytes.contains("SQLite format 3"));
    EXPECT_FALSE(bytes.contains("plainly visible"));

    Connection_cl wrong;
    EXPECT_EQ(ResultOf([&] { wrong.Open(ConnectionString(path, QStringLiteral("Secret"))); }), Result_ns::AuthFailed);
    EXPECT_FALSE(wrong.IsOpen());
    ASSERT_EQ(wrong.Errors().Count(), 1);
    EXPECT_EQ(uint32_t(wrong.Errors().Item(0).number), Result_ns::AuthFailed);
    Connection_cl none;
    EXPECT_EQ(ResultOf([&] { none.Open(ConnectionString(path, QString())); }), Result_ns::AuthFailed);
    Connection_cl right;
    right.Open(ConnectionString(path, QStringLiteral("secret")));
    int32_t affected = 0;
    auto rows = right.Execute(QStringLiteral("select name from t"), affected, adCmdText);
    EXPECT_EQ(rows->Value(0).text, QStringLiteral("plainly visible"));
}

TEST_F(JetTest, EmptyPasswordGivesAnUnprotectedFile) {
    const QString plain = PathOf("plain.mdb");
    Catalog_cl::Create(ConnectionString(plain, QString()));
    EXPECT_TRUE(ReadAll(plain).startsWith("SQLite format 3"));
    Connection_cl any;  // an unprotected file opens whatever password is given
    any.Open(ConnectionString(plain, QStringLiteral("whatever")));
    EXPECT_TRUE(any.IsOpen());
}

TEST_F(JetTest, FilesThatAreNoDatabasesFailOrdinarily) {
    const QString text = PathOf("note.txt");
    QFile note(text);
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.write("this is not a database at all");
    note.close();
    const QString empty = PathOf("empty.mdb");
    QFile(empty).open(QIODevice::WriteOnly);
    for (const QString& file : {text, empty, PathOf("missing.mdb")}) {
        Connection_cl other;
        const uint32_t result = ResultOf([&] { other.Open(ConnectionString(file, QString())); });
        EXPECT_NE(result, 0u) << file.toStdString();
        EXPECT_NE(result, Result_ns::AuthFailed) << file.toStdString();
        EXPECT_FALSE(other.IsOpen());
    }
    EXPECT_FALSE(QFileInfo::exists(PathOf("missing.mdb")));  // opening never creates
}

TEST_F(JetTest, ReportsChangedRowsAndReturnsRowSets) {
    EXPECT_EQ(Run(QStringLiteral("create table t(sn counter(1,1) primary key, n integer)")), 0);
    EXPECT_EQ(Run(QStringLiteral("insert into t(n) values(5)")), 1);
    EXPECT_EQ(Run(QStringLiteral("insert into t(n) values(6)")), 1);
    EXPECT_EQ(Run(QStringLiteral("update t set n = n + 1")), 2);
    EXPECT_EQ(Run(QStringLiteral("update t set n = 0 where n > 100")), 0);
    EXPECT_EQ(Run(QStringLiteral("create table u(a integer)")), 0);  // not the last update's count

    int32_t affected = 0;
    EXPECT_EQ(connection.Execute(QStringLiteral("select n from t"), affected, adCmdText | adExecuteNoRecords), nullptr);
    auto rows = connection.Execute(QStringLiteral("select sn, n from t order by sn"), affected, adCmdText);
    EXPECT_EQ(affected, -1);
    ASSERT_TRUE(rows->IsOpen());
    ASSERT_EQ(rows->FieldCount(), 2);
    EXPECT_EQ(rows->Name(0), QStringLiteral("sn"));
    EXPECT_EQ(rows->Name(1), QStringLiteral("n"));
    // Walk to the end, then back to the first row, as the result reader does.
    int count = 0;
    for (rows->MoveFirst(); !rows->IsEOF(); rows->MoveNext())
        ++count;
    EXPECT_EQ(count, 2);
    rows->MoveFirst();
    EXPECT_EQ(rows->Value(0).integer, 1);
    EXPECT_EQ(rows->Value(1).integer, 6);
    EXPECT_EQ(ResultOf([&] { rows->Value(2); }), Result_ns::ItemNotFound);
    EXPECT_EQ(ResultOf([&] { rows->Name(-1); }), Result_ns::ItemNotFound);
}

TEST_F(JetTest, EmptyAndClosedRowSetsRefuseToMoveOutsideTheInterfaceRange) {
    Run(QStringLiteral("create table t(n integer)"));
    auto empty = Query(QStringLiteral("select n from t"));
    ASSERT_TRUE(empty->IsOpen());
    EXPECT_TRUE(empty->IsEOF());
    for (const uint32_t result : {ResultOf([&] { empty->MoveFirst(); }), ResultOf([&] { empty->MoveNext(); }),
                                  ResultOf([&] { empty->Value(0); })}) {
        EXPECT_EQ(result, Result_ns::NoCurrentRecord);
        EXPECT_FALSE(InInterfaceRange(result));
    }
    auto closed = Query(QStringLiteral("insert into t(n) values(1)"));
    ASSERT_NE(closed, nullptr);
    EXPECT_FALSE(closed->IsOpen());
    const uint32_t result = ResultOf([&] { closed->MoveFirst(); });
    EXPECT_EQ(result, Result_ns::ObjectClosed);
    EXPECT_FALSE(InInterfaceRange(result));
    auto rows = Query(QStringLiteral("select n from t"));
    rows->MoveNext();
    EXPECT_TRUE(rows->IsEOF());
    EXPECT_EQ(ResultOf([&] { rows->MoveNext(); }), Result_ns::NoCurrentRecord);
}

TEST_F(JetTest, FailuresFillTheErrorListWithInterfaceCodes) {
    Run(QStringLiteral("create table t(sn counter(1,1) primary key, n integer)"));
    const struct {
        const char* sql;
        uint32_t result;
    } failures[] = {
        {"selec n from t", Result_ns::ErrorsInCommand},
        {"select n from missing", Result_ns::NoTable},
        {"insert into t(sn, n) values(1, 1); insert into t(n) values(2)", Result_ns::ErrorsInCommand},
        {"", Result_ns::ErrorsInCommand},
    };
    for (const auto& f : failures) {
        connection.Errors().Clear();
        EXPECT_EQ(ResultOf([&] { Query(QString::fromUtf8(f.sql)); }), f.result) << f.sql;
        ASSERT_EQ(connection.Errors().Count(), 1) << f.sql;
        const ErrorRecord_st error = connection.Errors().Item(0);
        EXPECT_EQ(error.number, int32_t(f.result));
        EXPECT_FALSE(error.description.isEmpty());
        EXPECT_EQ(error.source, QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    }
    EXPECT_EQ(Query(QStringLiteral("select count(*) from t"))->Value(0).integer, 0);  // nothing of the refused batch ran
    Run(QStringLiteral("insert into t(sn, n) values(1, 1)"));
    EXPECT_EQ(ResultOf([&] { Run(QStringLiteral("insert into t(sn, n) values(1, 2)")); }), Result_ns::IntegrityViolation);
    EXPECT_NE(connection.Errors().Item(0).nativeError, 0);
    EXPECT_EQ(ResultOf([&] { connection.Errors().Item(1); }), Result_ns::ItemNotFound);
    // A later success leaves the list as the caller cleared it.
    connection.Errors().Clear();
    Run(QStringLiteral("insert into t(n) values(3)"));
    EXPECT_EQ(connection.Errors().Count(), 0);
}

TEST_F(JetTest, NestedTransactionsAreSavepoints) {
    Run(QStringLiteral("create table t(n integer)"));
    auto count = [&] {
        auto rows = Query(QStringLiteral("select count(*) from t"));
        return rows->Value(0).integer;
    };
    // begin, begin, rollback, rollback: both levels undone.
    EXPECT_EQ(connection.BeginTrans(), 1);
    Run(QStringLiteral("insert into t(n) values(1)"));
    EXPECT_EQ(connection.BeginTrans(), 2);
    Run(QStringLiteral("insert into t(n) values(2)"));
    connection.RollbackTrans();
    EXPECT_EQ(count(), 1);
    connection.RollbackTrans();
    EXPECT_EQ(count(), 0);
    // An inner rollback keeps the outer level's work; an inner commit waits for the outer.
    connection.BeginTrans();
    Run(QStringLiteral("insert into t(n) values(1)"));
    connection.BeginTrans();
    Run(QStringLiteral("insert into t(n) values(2)"));
    connection.RollbackTrans();
    connection.BeginTrans();
    Run(QStringLiteral("insert into t(n) values(3)"));
    connection.CommitTrans();
    connection.CommitTrans();
    auto rows = Query(QStringLiteral("select sum(n) from t"));
    EXPECT_EQ(rows->Value(0).integer, 4);
    connection.BeginTrans();
    connection.BeginTrans();
    Run(QStringLiteral("insert into t(n) values(10)"));
    connection.CommitTrans();
    connection.RollbackTrans();
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(ResultOf([&] { connection.CommitTrans(); }), Result_ns::NoTransaction);
    EXPECT_EQ(ResultOf([&] { connection.RollbackTrans(); }), Result_ns::NoTransaction);
}

TEST_F(JetTest, ClosingRollsBackAnOpenTransaction) {
    Run(QStringLiteral("create table t(n integer)"));
    {
        Connection_cl other;
        other.Open(ConnectionString(path, QStringLiteral("secret")));
        other.BeginTrans();
        int32_t affected = 0;
        other.Execute(QStringLiteral("insert into t(n) values(1)"), affected, adCmdText);
    }
    EXPECT_EQ(Query(QStringLiteral("select count(*) from t"))->Value(0).integer, 0);
}

TEST_F(JetTest, OpeningTwiceAndUsingUnopenedConnectionsFail) {
    EXPECT_EQ(ResultOf([&] { connection.Open(ConnectionString(path, QStringLiteral("secret"))); }), Result_ns::ObjectOpen);
    Connection_cl unopened;
    int32_t affected = 0;
    EXPECT_EQ(ResultOf([&] { unopened.Execute(QStringLiteral("select 1"), affected, adCmdText); }), Result_ns::ObjectClosed);
    EXPECT_EQ(ResultOf([&] { unopened.Open(QStringLiteral("Provider=Nobody;Data Source=x")); }), Result_ns::ProviderNotFound);
    EXPECT_EQ(ResultOf([&] { unopened.Open(QStringLiteral("Provider=\"Microsoft.Jet.OLEDB.4.0;Data Source=x")); }),
              Result_ns::Fail);
    EXPECT_EQ(unopened.Errors().Count(), 1);
}

TEST_F(JetTest, ATransactionTheEngineRolledBackIsNeverReportedAsCommitted) {
    Run(QStringLiteral("create table t(s text(16))"));
    connection.BeginTrans();
    connection.BeginTrans();
    Run(QStringLiteral("insert into t(s) values('a')"));
    Run(QStringLiteral("pragma max_page_count = 3"));
    // A full file makes the engine give up the whole transaction.
    EXPECT_NE(ResultOf([&] { Run(QStringLiteral("insert into t(s) values(zeroblob(100000))")); }), 0u);
    EXPECT_EQ(ResultOf([&] { Run(QStringLiteral("insert into t(s) values('b')")); }), Result_ns::ErrorsInCommand);
    connection.RollbackTrans();  // the inner level
    EXPECT_EQ(ResultOf([&] { connection.CommitTrans(); }), Result_ns::ErrorsInCommand);
    connection.RollbackTrans();  // the outer level, after the refused commit
    EXPECT_EQ(ResultOf([&] { connection.RollbackTrans(); }), Result_ns::NoTransaction);
    EXPECT_EQ(Query(QStringLiteral("select count(*) from t"))->Value(0).integer, 0);
    Run(QStringLiteral("insert into t(s) values('c')"));  // usable again
}

// Statements are kept prepared by their text; running one again must behave as a freshly
// prepared one would.
TEST_F(JetTest, RepeatedStatementsSeeChangedRowsAndTables) {
    Run(QStringLiteral("create table t(n integer)"));
    const QString count = QStringLiteral("select count(*) from t");
    EXPECT_EQ(Query(count)->Value(0).integer, 0);
    Run(QStringLiteral("insert into t(n) values(1)"));
    EXPECT_EQ(Query(count)->Value(0).integer, 1);
    EXPECT_EQ(Run(QStringLiteral("insert into t(n) values(1)")), 1);  // the same insert again

    // A table changed in between, here and by another connection: the same text reads the
    // new columns.
    const QString all = QStringLiteral("select * from t");
    EXPECT_EQ(Query(all)->FieldCount(), 1);
    Run(QStringLiteral("drop table t"));
    EXPECT_EQ(ResultOf([&] { Query(all); }), Result_ns::NoTable);
    Run(QStringLiteral("create table t(a integer, b text(8))"));
    Run(QStringLiteral("insert into t(a, b) values(7, 'x')"));
    auto rows = Query(all);
    ASSERT_EQ(rows->FieldCount(), 2);
    EXPECT_EQ(rows->Name(1), QStringLiteral("b"));
    EXPECT_EQ(rows->Value(1).text, QStringLiteral("x"));
    {
        Connection_cl other;
        other.Open(ConnectionString(path, QStringLiteral("secret")));
        int32_t affected = 0;
        other.Execute(QStringLiteral("alter table t add column c integer"), affected, adCmdText);
    }
    rows = Query(all);
    ASSERT_EQ(rows->FieldCount(), 3);
    EXPECT_EQ(rows->Name(2), QStringLiteral("c"));
    EXPECT_EQ(rows->Value(0).integer, 7);

    // Far more statements than are kept, then the first ones again.
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(Query(QStringLiteral("select %1 + a from t").arg(i))->Value(0).integer, 7 + i);
    EXPECT_EQ(Query(QStringLiteral("select 0 + a from t"))->Value(0).integer, 7);
    EXPECT_EQ(Query(count)->Value(0).integer, 1);
}

TEST_F(JetTest, AFailedStatementRunsAgainOnceItsCauseIsGone) {
    Run(QStringLiteral("create table t(n integer primary key)"));
    const QString insert = QStringLiteral("insert into t(n) values(1)");
    Run(insert);
    EXPECT_EQ(ResultOf([&] { Run(insert); }), Result_ns::IntegrityViolation);
    Run(QStringLiteral("delete from t"));
    EXPECT_EQ(Run(insert), 1);
}

TEST_F(JetTest, StatementsRunHereLeaveTheFileFreeForOthers) {
    Run(QStringLiteral("create table t(n integer)"));
    Run(QStringLiteral("insert into t(n) values(1)"));
    Run(QStringLiteral("insert into t(n) values(2)"));
    EXPECT_EQ(Query(QStringLiteral("select n from t order by n"))->Value(0).integer, 1);
    connection.BeginTrans();
    connection.CommitTrans();
    // Another program writes at once; a lock kept here would make it wait and fail.
    Connection_cl other;
    other.Open(ConnectionString(path, QStringLiteral("secret")));
    int32_t affected = 0;
    other.Execute(QStringLiteral("pragma busy_timeout = 0"), affected, adCmdText);
    other.BeginTrans();
    other.Execute(QStringLiteral("insert into t(n) values(3)"), affected, adCmdText);
    other.CommitTrans();
    EXPECT_EQ(Query(QStringLiteral("select count(*) from t"))->Value(0).integer, 3);
}

// Statements are kept prepared for reuse, but only a few: a program that runs ever new
// statement texts (each entry's own values) must not grow with them.
TEST_F(JetTest, KeepsOnlyAFewPreparedStatements) {
    Run(QStringLiteral("create table t(sn integer, name text(16))"));
    const auto distinct = [this](int from, int count) {
        for (int i = from; i < from + count; ++i) Query(QStringLiteral("select name from t where sn = %1").arg(i));
    };
    // A few more than are kept: from here on each new statement replaces a kept one.
    distinct(0, 20);
    const sqlite3_int64 settled = sqlite3_memory_used();
    distinct(20, 3000);
    // A prepared statement of this kind holds a few kilobytes: a handful more kept than
    // the cap already shows, 3000 would be megabytes.
    EXPECT_LT(sqlite3_memory_used() - settled, 8 * 1024);
}
