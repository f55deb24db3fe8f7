#include "platform/ado/PgBulkInsert.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using Ado_ns::PgBulkInsert_cl;
using Ado_ns::Variant_st;

namespace {

const QHash<QString, QString> kTypes = {{"a", "integer"}, {"b", "character varying(40)"}, {"c", "character(1)"}};

// Only an insert whose rows are one text again and again is rewritten; anything else
// is left as written (an empty expectation).
TEST(PgBulkInsert, RewritesOnlyRowsThatRepeatOneText) {
    const struct {
        const char *sql, *rewritten;
    } cases[] = {
        {"insert into t(a,b,c) values(?,?,'1'),(?,?,'1'),(?,?,'1')",
         "insert into t(a,b,c) select x.v1,x.v2,'1' from unnest(cast(? as integer[]),cast(? as character varying(40)[])) "
         "as x(v1,v2)"},
        {"INSERT INTO T (A, c) VALUES (?, '),(x'),(?, '),(x')",
         "insert into T(A,c) select x.v1,'),(x' from unnest(cast(? as integer[])) as x(v1)"},
        {"insert into t(a,b) values(?,?)", ""},
        {"insert into t(a,b) values(?,?),(?,'x')", ""},
        {"insert into t(a,b) values(?,upper(?)),(?,upper(?))", ""},
        {"insert into t(a,d) values(?,?),(?,?)", ""},
        {"insert into t(a,b) values(?,?),(?,?) returning a", ""},
        {"insert into \"t\"(a,b) values(?,?),(?,?)", ""},
        {"insert into t(a,b) select a,b from u", ""},
        {"update t set a = ?", ""},
    };
    for (const auto& c : cases) {
        const auto shape = PgBulkInsert_cl::Parse(QString::fromUtf8(c.sql));
        const auto statement = shape ? shape->Statement(kTypes) : std::nullopt;
        EXPECT_EQ(statement.value_or(QString()), QString::fromUtf8(c.rewritten)) << c.sql;
    }
}

// Each marker's values of all rows become one array text the server reads back exactly.
TEST(PgBulkInsert, PutsEachMarkersValuesInOneArray) {
    const auto shape = PgBulkInsert_cl::Parse(QStringLiteral("insert into t(a,b) values(?,?),(?,?),(?,?)"));
    ASSERT_TRUE(shape);
    const auto arrays = shape->Arrays({Variant_st::Integer(-7), Variant_st::Text(QStringLiteral("say \"hi\"")),
                                       Variant_st::Decimal(12345, 2), Variant_st::Text(QStringLiteral("a\\b{c},NULL")),
                                       Variant_st::Null(), Variant_st::Text(QString())});
    ASSERT_TRUE(arrays);
    ASSERT_EQ(arrays->size(), 2u);
    EXPECT_EQ((*arrays)[0].text, QStringLiteral("{\"-7\",\"123.45\",NULL}"));
    EXPECT_EQ((*arrays)[1].text, QStringLiteral("{\"say \\\"hi\\\"\",\"a\\\\b{c},NULL\",\"\"}"));
    // Not whole rows, or a value without a faithful text: left to the insert as written.
    EXPECT_FALSE(shape->Arrays({Variant_st::Integer(1), Variant_st::Integer(2), Variant_st::Integer(3)}));
    EXPECT_FALSE(shape->Arrays({Variant_st::Bool(true), Variant_st::Integer(2), Variant_st::Integer(3), Variant_st::Integer(4)}));
}

}  // namespace
