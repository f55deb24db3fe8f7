// The ODBC engine against the SQLite ODBC driver. This program is linked without
// SQLCipher, so that the driver's own SQLite is the only one in the process.
#include "platform/ado/Environment.h"
#include "platform/ado/OdbcEngine.h"

#include "base/DateTime.h"

#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace Ado_ns;

namespace {

class OdbcEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        Environment_cl::Startup();
        engine = Connect();
    }
    void TearDown() override {
        engine.reset();
        Environment_cl::Shutdown();
    }
    std::unique_ptr<OdbcEngine_cl> Connect() {
        // This driver reads its values without braces.
        return std::make_unique<OdbcEngine_cl>(QStringLiteral("Driver=SQLite3;Database=%1/test.db;").arg(folder.path()), 5,
                                               QStringLiteral("SQLOLEDB"), errors);
    }
    int32_t Run(const QString& sql) {
        int32_t affected = 0;
        engine->Execute(sql, {}, affected);
        return affected;
    }
    std::shared_ptr<Recordset_cl> Query(const QString& sql) {
        int32_t affected = 0;
        auto rows = engine->Execute(sql, {}, affected);
        EXPECT_EQ(affected, -1);
        return rows;
    }
    template <typename F>
    static uint32_t ResultOf(F f) {
        try {
            f();
        } catch (const ProviderError_cl& e) {
            return e.Result();
        }
        return 0;
    }

    QTemporaryDir folder;
    ErrorList_cl errors;
    std::unique_ptr<OdbcEngine_cl> engine;
};

}  // namespace

TEST(OdbcProgram, HasNoSecondSqliteLoaded) {
    EXPECT_EQ(dlopen("libsqlcipher.so.0", RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST_F(OdbcEngineTest, RunsStatementsAndTypesTheirValues) {
    EXPECT_EQ(Run(QStringLiteral("create table t(i integer, r double, s varchar(16), d datetime)")), 0);
    EXPECT_EQ(Run(QStringLiteral("insert into t values(42, 2.5, '饮食', '2008-03-05 09:07:02')")), 1);
    EXPECT_EQ(Run(QStringLiteral("insert into t values(4294967296, null, null, null)")), 1);
    EXPECT_EQ(Run(QStringLiteral("update t set r = 1.5")), 2);
    auto rows = Query(QStringLiteral("select i, r, s, d from t order by i"));
    ASSERT_EQ(rows->FieldCount(), 4);
    EXPECT_EQ(rows->Name(2), QStringLiteral("s"));
    EXPECT_EQ(rows->Value(0).type, VT_I4);
    EXPECT_EQ(rows->Value(0).integer, 42);
    EXPECT_EQ(rows->Value(1).type, VT_R8);
    EXPECT_EQ(rows->Value(1).real, 1.5);
    EXPECT_EQ(rows->Value(2).type, VT_BSTR);
    EXPECT_EQ(rows->Value(2).text, QStringLiteral("饮食"));
    ASSERT_EQ(rows->Value(3).type, VT_DATE);
    EXPECT_EQ(Base_ns::DateTime_cl(rows->Value(3).real).Format(), QStringLiteral("2008-03-05 09:07:02"));
    rows->MoveNext();
    EXPECT_EQ(rows->Value(0).type, VT_DECIMAL);
    EXPECT_EQ(rows->Value(0).integer, 4294967296LL);
    EXPECT_EQ(rows->Value(2).type, VT_NULL);
    EXPECT_EQ(rows->Value(3).type, VT_NULL);
    rows->MoveNext();
    EXPECT_TRUE(rows->IsEOF());
    rows->MoveFirst();
    EXPECT_EQ(rows->Value(0).integer, 42);
}

TEST_F(OdbcEngineTest, ReadsLongTextsWhole) {
    Run(QStringLiteral("create table t(s text)"));
    const QString text = QString(1500, u'账') + QString(1500, u'b');
    Run(QStringLiteral("insert into t values('%1')").arg(text));
    errors.Clear();
    EXPECT_EQ(Query(QStringLiteral("select s from t"))->Value(0).text, text);
    // The driver announces each cut piece with a success-with-info record: no error.
    EXPECT_EQ(errors.Count(), 0);
}

TEST_F(OdbcEngineTest, EmptyResultsAndStatementsWithoutRows) {
    Run(QStringLiteral("create table t(n integer)"));
    auto empty = Query(QStringLiteral("select n from t"));
    ASSERT_TRUE(empty->IsOpen());
    EXPECT_EQ(ResultOf([&] { empty->MoveFirst(); }), Result_ns::NoCurrentRecord);
    int32_t affected = 7;
    auto closed = engine->Execute(QStringLiteral("delete from t"), {}, affected);
    EXPECT_EQ(affected, 0);
    EXPECT_FALSE(closed->IsOpen());
}

TEST_F(OdbcEngineTest, FailuresFillTheErrorList) {
    EXPECT_EQ(ResultOf([&] { Run(QStringLiteral("selec 1")); }), Result_ns::ErrorsInCommand);
    ASSERT_GE(errors.Count(), 1);
    const ErrorRecord_st first = errors.Item(0);
    EXPECT_EQ(first.number, int32_t(Result_ns::ErrorsInCommand));
    EXPECT_EQ(first.sqlState.size(), 5);
    EXPECT_FALSE(first.description.isEmpty());
    EXPECT_EQ(first.source, QStringLiteral("SQLOLEDB"));
    // A later success leaves the list as the caller cleared it.
    errors.Clear();
    Run(QStringLiteral("create table t(n integer)"));
    EXPECT_EQ(errors.Count(), 0);
}

TEST_F(OdbcEngineTest, OneTransactionAtATime) {
    Run(QStringLiteral("create table t(n integer)"));
    auto count = [&] { return Query(QStringLiteral("select count(*) from t"))->Value(0).integer; };
    EXPECT_EQ(engine->BeginTrans(), 1);
    EXPECT_EQ(ResultOf([&] { engine->BeginTrans(); }), Result_ns::TransactionExists);
    Run(QStringLiteral("insert into t values(1)"));
    engine->RollbackTrans();
    EXPECT_EQ(count(), 0);
    engine->BeginTrans();
    Run(QStringLiteral("insert into t values(1)"));
    engine->CommitTrans();
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(ResultOf([&] { engine->CommitTrans(); }), Result_ns::NoTransaction);
    EXPECT_EQ(ResultOf([&] { engine->RollbackTrans(); }), Result_ns::NoTransaction);
    // Closing with a transaction open rolls it back.
    engine->BeginTrans();
    Run(QStringLiteral("insert into t values(2)"));
    engine = Connect();
    EXPECT_EQ(count(), 1);
}

// A bound value reaches the database as it is, whatever it holds, and comes back the same.
struct BoundCase_st {
    const char* name;
    const char* column;
    Variant_st value;
    const char* expected;  // as text; nullptr for null
};

class OdbcBindingTest : public OdbcEngineTest, public ::testing::WithParamInterface<BoundCase_st> {};

TEST_P(OdbcBindingTest, BoundValueComesBack) {
    Run(QStringLiteral("create table t(k integer, i integer, r double, s varchar(64), d datetime)"));
    const BoundCase_st& row = GetParam();
    int32_t affected = 0;
    engine->Execute(QStringLiteral("insert into t(k, %1) values(?, ?)").arg(QLatin1StringView(row.column)),
                    {Variant_st::Integer(7), row.value}, affected);
    EXPECT_EQ(affected, 1);
    auto rows = engine->Execute(QStringLiteral("select %1 from t where k = ?").arg(QLatin1StringView(row.column)),
                                {Variant_st::Integer(7)}, affected);
    ASSERT_FALSE(rows->IsEOF());
    QString text;
    EXPECT_EQ(rows->Value(0).ToText(text), row.expected != nullptr);
    if (row.expected != nullptr) {
        EXPECT_EQ(text, QString::fromUtf8(row.expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, OdbcBindingTest,
    ::testing::Values(BoundCase_st{"Integer", "i", Variant_st::Integer(-12345), "-12345"},
                      BoundCase_st{"Real", "r", Variant_st::Real(2.5), "2.5"},
                      BoundCase_st{"Quote", "s", Variant_st::Text(QStringLiteral("O'Brien'); drop table t; --")),
                                   "O'Brien'); drop table t; --"},
                      BoundCase_st{"ChineseAndWildcards", "s", Variant_st::Text(QStringLiteral("饮食 ？%_")), "饮食 ？%_"},
                      BoundCase_st{"EmptyText", "s", Variant_st::Text(QString()), ""},
                      BoundCase_st{"Null", "s", Variant_st::Null(), nullptr},
                      BoundCase_st{"Date", "d", Variant_st::Date(Base_ns::DateTime_cl::FromParts(2008, 3, 5, 9, 7, 2).Value()),
                                   "2008-03-05 09:07:02"}),
    [](const ::testing::TestParamInfo<BoundCase_st>& info) { return std::string(info.param.name); });

TEST_F(OdbcEngineTest, ValuesMustMatchTheMarkers) {
    Run(QStringLiteral("create table t(n integer)"));
    int32_t affected = 0;
    EXPECT_EQ(ResultOf([&] { engine->Execute(QStringLiteral("select n from t where n = ?"), {}, affected); }),
              Result_ns::ErrorsInCommand);
    EXPECT_EQ(ResultOf([&] {
                  engine->Execute(QStringLiteral("select n from t where n = ?"),
                                  {Variant_st::Integer(1), Variant_st::Integer(2)}, affected);
              }),
              Result_ns::ErrorsInCommand);
}
