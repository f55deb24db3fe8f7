#include "DB/BeginTrans.h"
#include "DB/BoundSQL.h"
#include "DB/IDatabase.h"
#include "base/SysError.h"
#include "base/UserError.h"
#include "support/RecordingPrompt.h"
#include "support/TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace DB_ns;

namespace {

const Base_ns::ErrorInfo_st kTable[] = {{4, "取消事务失败。"}, {101, "first"}};

// Counts transaction calls; each call can be told to fail.
class CountingDB_cl : public IDatabase_cl {
public:
    void BeginTrans() override { ++begins; if (failBegin) throw Fail(); }
    void CommitTrans() override { ++commits; if (failCommit) throw Fail(); }
    void RollbackTrans() override { ++rollbacks; if (failRollback) throw Fail(); }
    int32_t QueryCount(const QString&, int32_t&) override { return 0; }
    int32_t ExecuteNoRecords(const QString&) override { return 0; }
    int32_t Query(const QString&, SimpleOutRecords_cl&) override { return 0; }
    int32_t Query(const BoundSQL_st&, SimpleOutRecords_cl&) override { return 0; }
    bool TableExists(const QString&) override { return false; }
    int32_t GetType() const override { return DB_LOCAL; }

    static Base_ns::SysError_cl Fail() { return Base_ns::SysError_cl(1, "Fake.cpp", "Fake_cl", 4, kTable, 2, "rollback refused"); }

    int begins = 0, commits = 0, rollbacks = 0;
    bool failBegin = false, failCommit = false, failRollback = false;
};

Base_ns::UserError_cl First() { return Base_ns::UserError_cl(7, "Work.cpp", "Work_cl", 101, kTable, 2, {}); }

}  // namespace

TEST(BeginTrans, CommittedGuardBeginsAndCommitsOnce) {
    CountingDB_cl db;
    {
        BeginTrans_cl guard(&db);
        guard.Commit();
    }
    EXPECT_EQ(db.begins, 1);
    EXPECT_EQ(db.commits, 1);
    EXPECT_EQ(db.rollbacks, 0);
}

TEST(BeginTrans, GuardLeftByAnErrorRollsBackAndTheErrorArrives) {
    CountingDB_cl db;
    try {
        BeginTrans_cl guard(&db);
        throw First();
    } catch (const Base_ns::Error_cl& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("first"));
        EXPECT_EQ(error.Line(), 7);
    }
    EXPECT_EQ(db.rollbacks, 1);
    EXPECT_EQ(db.commits, 0);
}

TEST(BeginTrans, SecondCommitRaisesTwo) {
    CountingDB_cl db;
    BeginTrans_cl guard(&db);
    guard.Commit();
    try {
        guard.Commit();
        FAIL();
    } catch (const Base_ns::SysError_cl& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("不能反复关闭事务。"));
        EXPECT_EQ(error.ClassName(), QStringLiteral("BeginTrans_cl"));
        EXPECT_EQ(error.File(), QStringLiteral("BeginTrans.cpp"));
    }
    EXPECT_EQ(db.commits, 1);
}

TEST(BeginTrans, NoDatabaseRaisesOne) {
    try {
        BeginTrans_cl guard(nullptr);
        FAIL();
    } catch (const Base_ns::SysError_cl& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("空指针。"));
        EXPECT_TRUE(error.Remark().isEmpty());
    }
}

TEST(BeginTrans, FailedBeginLeavesNothingToRollBack) {
    CountingDB_cl db;
    db.failBegin = true;
    EXPECT_THROW(BeginTrans_cl guard(&db), Base_ns::SysError_cl);
    EXPECT_EQ(db.rollbacks, 0);
}

TEST(BeginTrans, FailedCommitStillRollsBack) {
    CountingDB_cl db;
    db.failCommit = true;
    try {
        BeginTrans_cl guard(&db);
        guard.Commit();
        FAIL();
    } catch (const Base_ns::SysError_cl&) {
    }
    EXPECT_EQ(db.rollbacks, 1);
}

TEST(BeginTrans, RefusedRollbackDuringAnErrorIsLoggedNotRaised) {
    TempAppFolder_cl folder;
    RecordingPrompt_cl prompt;
    CountingDB_cl db;
    db.failRollback = true;
    try {
        BeginTrans_cl guard(&db);
        throw First();
    } catch (const Base_ns::Error_cl& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("first"));
    }
    EXPECT_EQ(db.rollbacks, 1);
    EXPECT_TRUE(prompt.shown.isEmpty());
    QFile log(folder.Path() + QStringLiteral("Error.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray bytes = log.readAll();
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    EXPECT_TRUE(text.contains(QStringLiteral("rollback refused")));
}

TEST(BeginTrans, RefusedRollbackWithoutAnErrorIsRaised) {
    CountingDB_cl db;
    db.failRollback = true;
    try {
        BeginTrans_cl guard(&db);
    } catch (const Base_ns::SysError_cl& error) {
        EXPECT_EQ(error.Remark(), QStringLiteral("rollback refused"));
        return;
    }
    FAIL();
}
