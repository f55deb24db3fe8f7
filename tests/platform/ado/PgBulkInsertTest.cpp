// Inserts of many rows, as the program writes them, run on a PostgreSQL server the test
// starts: whether or not one is sent as arrays, it writes every row with its values exact.
#include "PgSession.h"
#include "platform/ado/ProviderError.h"

using Ado_ns::Variant_st;

namespace {

class PgBulkInsert : public PgSession {
protected:
    void SetUp() override {
        PgSession::SetUp();
        if (!HasFatalFailure()) Run(QStringLiteral("create table t(a integer,b nvarchar(40),c char(1))"));
    }
};

TEST_F(PgBulkInsert, EveryRowIsWrittenWithItsValuesExact) {
    const Variant_st text = Variant_st::Text(QStringLiteral("say \"hi\""));
    const Variant_st braces = Variant_st::Text(QStringLiteral("a\\b{c},NULL"));
    const struct {
        const char* sql;
        Ado_ns::VariantList_tl parameters;
        QStringList rows;  // the table afterwards, ordered
    } cases[] = {
        {"insert into t(a,b,c) values(?,?,'1'),(?,?,'1'),(?,?,'1')",
         {Variant_st::Integer(-7), text, Variant_st::Integer(123), braces, Variant_st::Null(),
          Variant_st::Text(QString())},
         {"NULL||1", "-7|say \"hi\"|1", "123|a\\b{c},NULL|1"}},
        {"INSERT INTO T (A, b) VALUES (?, '),(x'),(?, '),(x')", {Variant_st::Integer(1), Variant_st::Integer(2)},
         {"1|),(x|NULL", "2|),(x|NULL"}},
        {"insert into t(a,b) values(?,?)", {Variant_st::Integer(1), text}, {"1|say \"hi\"|NULL"}},
        {"insert into t(a,b) values(?,?),(?,'x')", {Variant_st::Integer(1), braces, Variant_st::Integer(2)},
         {"1|a\\b{c},NULL|NULL", "2|x|NULL"}},
        {"insert into t(a,b) values(?,upper(?)),(?,upper(?))",
         {Variant_st::Integer(1), Variant_st::Text(QStringLiteral("ab")), Variant_st::Integer(2), text},
         {"1|AB|NULL", "2|SAY \"HI\"|NULL"}},
        // Not whole rows: written as the statement says, or refused by the server.
        {"insert into t(a,b) values(?,?),(?,?)", {Variant_st::Integer(1), text, Variant_st::Integer(2)}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        Run(QStringLiteral("delete from t"));
        int32_t written = -1;
        try {
            written = Run(QString::fromUtf8(c.sql), c.parameters);
        } catch (const Ado_ns::ProviderError_cl&) {
        }
        EXPECT_EQ(written, c.rows.isEmpty() ? -1 : int32_t(c.rows.size()));
        EXPECT_EQ(Rows(QStringLiteral("select a,b,c from t order by a nulls first,b")), c.rows);
    }
}

}  // namespace
