#include "JetSupport.h"

#include "base/DateTime.h"

using namespace Ado_ns;

namespace {

// A bound value reaches the file as it is, whatever it holds, and comes back the same.
struct BoundCase_st {
    const char* name;
    const char* column;
    Variant_st value;
    const char* expected;  // as text; nullptr for null
};

class JetParameterTest : public JetTest, public ::testing::WithParamInterface<BoundCase_st> {};

TEST_P(JetParameterTest, BoundValueComesBack) {
    Run(QStringLiteral("create table t(k integer, i integer, r double, s text(64), d datetime)"));
    const BoundCase_st& row = GetParam();
    int32_t affected = 0;
    connection.Execute(QStringLiteral("insert into t(k, %1) values(?, ?)").arg(QLatin1StringView(row.column)),
                       {Variant_st::Integer(7), row.value}, affected, adCmdText);
    EXPECT_EQ(affected, 1);
    auto rows = connection.Execute(QStringLiteral("select %1 from t where k = ?").arg(QLatin1StringView(row.column)),
                                   {Variant_st::Integer(7)}, affected, adCmdText);
    ASSERT_FALSE(rows->IsEOF());
    QString text;
    EXPECT_EQ(rows->Value(0).ToText(text), row.expected != nullptr);
    if (row.expected != nullptr) {
        EXPECT_EQ(text, QString::fromUtf8(row.expected));
    }
    // Markers without values are refused, not run with nulls.
    EXPECT_EQ(ResultOf([&] { connection.Execute(QStringLiteral("select k from t where k = ?"), {}, affected, adCmdText); }),
              Result_ns::ErrorsInCommand);
}

INSTANTIATE_TEST_SUITE_P(
    Values, JetParameterTest,
    ::testing::Values(BoundCase_st{"Integer", "i", Variant_st::Integer(-12345), "-12345"},
                      BoundCase_st{"Real", "r", Variant_st::Real(2.5), "2.5"},
                      BoundCase_st{"Quote", "s", Variant_st::Text(QStringLiteral("O'Brien'); drop table t; --")),
                                   "O'Brien'); drop table t; --"},
                      BoundCase_st{"ChineseAndWildcards", "s", Variant_st::Text(QStringLiteral("饮食 ？%_#1#")), "饮食 ？%_#1#"},
                      BoundCase_st{"EmptyText", "s", Variant_st::Text(QString()), ""},
                      BoundCase_st{"Null", "s", Variant_st::Null(), nullptr},
                      BoundCase_st{"Date", "d", Variant_st::Date(Base_ns::DateTime_cl::FromParts(2008, 3, 5, 9, 7, 2).Value()),
                                   "2008-03-05 09:07:02"}),
    [](const ::testing::TestParamInfo<BoundCase_st>& info) { return std::string(info.param.name); });

}  // namespace
