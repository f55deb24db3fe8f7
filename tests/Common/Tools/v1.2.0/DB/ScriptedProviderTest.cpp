// What no real engine produces on demand: diagnostics left by a successful statement,
// failing transaction calls, and the provider calls made under simulated nesting.
#include "DB/ADODatabase.h"
#include "DB/BeginTrans.h"
#include "DB/OracleDB.h"
#include "DB/SQLServerDB.h"
#include "DB/SimpleOutRecords.h"
#include "Support.h"
#include "base/UserError.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Engine.h"
#include "platform/ado/ProviderError.h"
#include "support/RecordingPrompt.h"
#include "support/TempFolder.h"

#include <QFile>
#include <QList>
#include <gtest/gtest.h>

using namespace DB_ns;

namespace {

struct Script_st {
    QList<Ado_ns::ErrorRecord_st> records;  // left in the error list by the next statement
    bool failBegin = false, failCommit = false;
    int begins = 0, commits = 0, rollbacks = 0, level = 0;
};

class ScriptedEngine_cl : public Ado_ns::Engine_cl {
public:
    ScriptedEngine_cl(Ado_ns::ErrorList_cl& errors, Script_st& script) : errors(errors), script(script) {}

    std::shared_ptr<Ado_ns::Recordset_cl> Execute(const QString&, const Ado_ns::VariantList_tl&,
                                                  int32_t& recordsAffected) override {
        for (const auto& record : script.records) errors.Add(record);
        script.records.clear();
        // Every statement yields one row holding 1.
        recordsAffected = -1;
        Base_ns::Trusteeship_tl<QString> names;
        names.Allocate(1);
        auto rows = std::make_shared<Ado_ns::Recordset_cl>(names);
        Ado_ns::Recordset_cl::Row_tl row;
        row.Allocate(1);
        row[0] = Ado_ns::Variant_st::Integer(1);
        rows->AppendRow(row);
        return rows;
    }
    int32_t BeginTrans() override {
        ++script.begins;
        if (script.failBegin) throw Ado_ns::ProviderError_cl(Ado_ns::Result_ns::Fail, QStringLiteral("begin refused"));
        return ++script.level;
    }
    void CommitTrans() override {
        ++script.commits;
        if (script.failCommit) throw Ado_ns::ProviderError_cl(Ado_ns::Result_ns::Fail, QStringLiteral("commit refused"));
        End();
    }
    void RollbackTrans() override {
        ++script.rollbacks;
        End();
    }

private:
    void End() {
        if (script.level == 0) throw Ado_ns::ProviderError_cl(Ado_ns::Result_ns::NoTransaction, QStringLiteral("no transaction"));
        --script.level;
    }

    Ado_ns::ErrorList_cl& errors;
    Script_st& script;
};

// A database of the given kind over the scripted engine; the server kinds simulate
// nesting as theirs do.
class ScriptedDB_cl : public ADODatabase_cl {
public:
    explicit ScriptedDB_cl(int32_t kind, const QString& connectionString = QString())
        : ADODatabase_cl(kind != DB_LOCAL), kind(kind) {
        Ado_ns::Connection_cl& fresh = NewConnection();
        fresh.Attach(std::make_unique<ScriptedEngine_cl>(fresh.Errors(), script), connectionString);
    }
    int32_t GetType() const override { return kind; }
    QString GetClassName() const override { return QStringLiteral("ScriptedDB_cl"); }

    int32_t kind;
    Script_st script;
};

const int32_t kErrorsOccurred = 0x00040EDA;
const int32_t kErrorsInCommand = int32_t(0x80040E14);

}  // namespace

TEST(ScriptedProvider, ErrorsOccurredStatusRaisesNothing) {
    ScriptedDB_cl db(DB_LOCAL);
    db.script.records = {{kErrorsOccurred, QStringLiteral("status"), 0, {}, {}}, {kErrorsInCommand, QStringLiteral("x"), 0, {}, {}}};
    EXPECT_FALSE(Catch([&] { db.ExecuteNoRecords(QStringLiteral("update t set n = 1")); }).thrown);
    db.script.records = {{kErrorsInCommand, QStringLiteral("x"), 0, {}, {}}, {kErrorsOccurred, {}, 0, {}, {}}};
    EXPECT_FALSE(Catch([&] { db.ExecuteNoRecords(QStringLiteral("update t set n = 1")); }).thrown)
        << "the status wins over what was collected before it";
}

TEST(ScriptedProvider, EveryItemBecomesAGroupOfLabelledLines) {
    ScriptedDB_cl db(DB_LOCAL);
    db.script.records = {
        {kErrorsInCommand, QStringLiteral("line one\nline two"), 5, QStringLiteral("42000"), QStringLiteral("Jet")},
        {0, QString(), -1, QString(), QStringLiteral("src")},
    };
    const QString sql = QStringLiteral("update t set n = 1");
    const Caught_st error = Catch([&] { db.ExecuteNoRecords(sql); });
    EXPECT_TRUE(error.system);
    EXPECT_EQ(error.message, QStringLiteral("错误的SQL语句。"));
    EXPECT_EQ(error.className, QStringLiteral("ScriptedDB_cl"));
    EXPECT_EQ(error.remark, sql + QStringLiteral("\r\n[ErrorNumber]-2147217900"
                                                 "\r\n[Description]line one\r\nline two"
                                                 "\r\n[NativeError]5"
                                                 "\r\n[SQLState   ]42000"
                                                 "\r\n[Source     ]Jet"
                                                 "\r\n[NativeError]-1"
                                                 "\r\n[Source     ]src"));
}

TEST(ScriptedProvider, LeftoverDiagnosticsFailEveryStatementKind) {
    ScriptedDB_cl db(DB_LOCAL);
    const Ado_ns::ErrorRecord_st item{0, QStringLiteral("warning"), 0, {}, {}};
    SimpleOutRecords_cl records;
    int32_t count = 0;
    db.script.records = {item};
    EXPECT_EQ(Catch([&] { db.Query(QStringLiteral("q"), records); }).remark, QStringLiteral("q\r\n[Description]warning"));
    db.script.records = {item};
    EXPECT_EQ(Catch([&] { db.TableExists(QStringLiteral("t")); }).remark,
              QStringLiteral("select 1 from t where 1 = 0\r\n[Description]warning"));
    db.script.records = {item};
    EXPECT_EQ(Catch([&] { db.QueryCount(QStringLiteral("c"), count); }).remark, QStringLiteral("c\r\n[Description]warning"));
    EXPECT_FALSE(Catch([&] { db.ExecuteNoRecords(QStringLiteral("u")); }).thrown) << "the list is cleared before each statement";
}

TEST(ScriptedProvider, SimulatedNestingSpansOneProviderTransaction) {
    ScriptedDB_cl db(DB_SQLSERVER);
    db.BeginTrans();
    db.BeginTrans();
    db.CommitTrans();
    EXPECT_EQ(db.script.commits, 0);
    db.CommitTrans();
    EXPECT_EQ(db.script.begins, 1);
    EXPECT_EQ(db.script.commits, 1);

    db.BeginTrans();
    db.BeginTrans();
    const Caught_st inner = Catch([&] { db.RollbackTrans(); });
    EXPECT_EQ(inner.message, QStringLiteral("模拟嵌套事务不能使用取消内层事务。"));
    EXPECT_TRUE(inner.remark.isEmpty());
    EXPECT_EQ(db.script.rollbacks, 0);
    db.RollbackTrans();
    EXPECT_EQ(db.script.rollbacks, 1);
    EXPECT_EQ(db.script.level, 0);
}

TEST(ScriptedProvider, LocalNestingGoesStraightToTheProvider) {
    ScriptedDB_cl db(DB_LOCAL);
    db.BeginTrans();
    db.BeginTrans();
    db.RollbackTrans();
    db.RollbackTrans();
    EXPECT_EQ(db.script.begins, 2);
    EXPECT_EQ(db.script.rollbacks, 2);
}

TEST(ScriptedProvider, FailedTransactionCallsCarryTheDescription) {
    ScriptedDB_cl db(DB_SQLSERVER);
    db.script.failBegin = true;
    const Caught_st begin = Catch([&] { db.BeginTrans(); });
    EXPECT_EQ(begin.message, QStringLiteral("启用事务失败。"));
    EXPECT_EQ(begin.remark, QStringLiteral("begin refused"));
    db.script.failBegin = false;
    db.BeginTrans();  // nothing was begun before: this one reaches the provider
    EXPECT_EQ(db.script.begins, 2);

    ScriptedDB_cl other(DB_SQLSERVER);
    other.BeginTrans();
    other.script.failCommit = true;
    const Caught_st commit = Catch([&] { other.CommitTrans(); });
    EXPECT_EQ(commit.message, QStringLiteral("保存事务失败。"));
    EXPECT_EQ(commit.remark, QStringLiteral("commit refused"));
    other.RollbackTrans();  // the failed commit lowered the count: this reaches the provider
    EXPECT_EQ(other.script.rollbacks, 1);
}

TEST(ScriptedProvider, AStrayCommitDoesNotSpoilLaterNesting) {
    ScriptedDB_cl db(DB_SQLSERVER);
    EXPECT_EQ(Catch([&] { db.CommitTrans(); }).message, QStringLiteral("保存事务失败。"));
    db.BeginTrans();
    db.BeginTrans();
    db.CommitTrans();
    db.CommitTrans();
    EXPECT_EQ(db.script.begins, 1);
    EXPECT_EQ(db.script.commits, 2);
    EXPECT_EQ(db.script.level, 0);
}

TEST(ScriptedProvider, NestedGuardsUnderSimulationRollBackOnceAndKeepTheFirstError) {
    TempAppFolder_cl folder;
    RecordingPrompt_cl prompt;
    ScriptedDB_cl db(DB_SQLSERVER);
    static const Base_ns::ErrorInfo_st table[] = {{101, "first"}};
    const Caught_st error = Catch([&] {
        BeginTrans_cl outer(&db);
        BeginTrans_cl inner(&db);
        throw Base_ns::UserError_cl(1, "Work.cpp", QString(), 101, table, 1, QString());
    });
    EXPECT_EQ(error.message, QStringLiteral("first"));
    EXPECT_EQ(db.script.begins, 1);
    EXPECT_EQ(db.script.rollbacks, 1) << "the outer guard reached the provider";
    EXPECT_EQ(db.script.level, 0);
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_TRUE(QFile::exists(folder.Path() + QStringLiteral("Error.log"))) << "the inner refusal was logged";
}

TEST(ScriptedProvider, GuardWithAFailedCommitRollsBack) {
    ScriptedDB_cl db(DB_SQLSERVER);
    db.script.failCommit = true;
    const Caught_st error = Catch([&] {
        BeginTrans_cl guard(&db);
        guard.Commit();
    });
    EXPECT_EQ(error.message, QStringLiteral("保存事务失败。"));
    EXPECT_EQ(db.script.rollbacks, 1);
    EXPECT_EQ(db.script.level, 0);
}

TEST(ScriptedProvider, ServerIdentityIsProviderAddressAndLogin) {
    ScriptedDB_cl server(DB_SQLSERVER, SQLServerDB_cl::ConnectionString(QStringLiteral("sa"), QStringLiteral("host,1433"),
                                                                        QString(), QStringLiteral("secret")));
    EXPECT_EQ(server.Identity(), QStringLiteral("SQLOLEDB;host,1433;sa"));
    ScriptedDB_cl oracle(DB_ORACLE, OracleDB_cl::ConnectionString(QStringLiteral("scott"), QStringLiteral("orcl"),
                                                                  QStringLiteral("secret")));
    EXPECT_EQ(oracle.Identity(), QStringLiteral("Oraoledb.Oracle;orcl;scott"));
}
