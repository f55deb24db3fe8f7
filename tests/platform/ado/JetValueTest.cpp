#include "JetSupport.h"

#include "base/DateTime.h"

#include <QDateTime>

using namespace Ado_ns;

TEST_F(JetTest, ValuesComeWithTheirVariantTypes) {
    Run(QStringLiteral("create table t(i integer, r double, s text(16), c char(1), d datetime, e date, x integer)"));
    Run(QStringLiteral("insert into t(i, r, s, c, d, e) values(42, 2.5, '饮食', 3, '2008-03-05 09:07:02', #2008-03-05#)"));
    Run(QStringLiteral("insert into t(i) values(4294967296)"));
    auto rows = Query(QStringLiteral("select i, r, s, c, d, e, x from t order by i"));
    EXPECT_EQ(rows->Value(0).type, VT_I4);
    EXPECT_EQ(rows->Value(0).integer, 42);
    EXPECT_EQ(rows->Value(1).type, VT_R8);
    EXPECT_EQ(rows->Value(1).real, 2.5);
    EXPECT_EQ(rows->Value(2).type, VT_BSTR);
    EXPECT_EQ(rows->Value(2).text, QStringLiteral("饮食"));
    EXPECT_EQ(rows->Value(3).type, VT_BSTR);  // a number stored into a text column reads as text
    EXPECT_EQ(rows->Value(3).text, QStringLiteral("3"));
    ASSERT_EQ(rows->Value(4).type, VT_DATE);
    EXPECT_EQ(Base_ns::DateTime_cl(rows->Value(4).real).Format(), QStringLiteral("2008-03-05 09:07:02"));
    ASSERT_EQ(rows->Value(5).type, VT_DATE);
    EXPECT_EQ(Base_ns::DateTime_cl(rows->Value(5).real).Format(), QStringLiteral("2008-03-05 00:00:00"));
    EXPECT_EQ(rows->Value(6).type, VT_NULL);
    rows->MoveNext();
    EXPECT_EQ(rows->Value(0).type, VT_DECIMAL);
    EXPECT_EQ(rows->Value(0).integer, 4294967296LL);
}

TEST_F(JetTest, ExpressionColumnsAreDatesOnlyInTheExactForm) {
    Run(QStringLiteral("create table t(d datetime, s text(32))"));
    Run(QStringLiteral("insert into t(d, s) values('2024-01-15 10:00:00', '2024-01-15 10:00:00')"));
    Run(QStringLiteral("insert into t(d, s) values('2024-03-31 23:59:59', '2024-03-31')"));
    auto rows = Query(QStringLiteral("select min(d), max(d), max(s), min(s), count(*), '2024-1-5 1:02:03' from t"));
    ASSERT_EQ(rows->Value(0).type, VT_DATE);
    EXPECT_EQ(Base_ns::DateTime_cl(rows->Value(0).real).Format(), QStringLiteral("2024-01-15 10:00:00"));
    ASSERT_EQ(rows->Value(1).type, VT_DATE);
    EXPECT_EQ(Base_ns::DateTime_cl(rows->Value(1).real).Format(), QStringLiteral("2024-03-31 23:59:59"));
    EXPECT_EQ(rows->Value(2).type, VT_BSTR);  // "2024-03-31" has no time of day
    EXPECT_EQ(rows->Value(3).type, VT_DATE);
    EXPECT_EQ(rows->Value(4).type, VT_I4);
    EXPECT_EQ(rows->Value(5).type, VT_BSTR);
    // A text column keeps its texts, whatever they look like.
    auto plain = Query(QStringLiteral("select s from t order by s desc"));
    EXPECT_EQ(plain->Value(0).type, VT_BSTR);
    // Over no rows an aggregate is null.
    EXPECT_EQ(Query(QStringLiteral("select min(d) from t where s = 'none'"))->Value(0).type, VT_NULL);
}

TEST_F(JetTest, DefaultsAndCurrentDatesAreLocalTime) {
    Run(QStringLiteral("create table t(sn counter(1,1) primary key, n integer, a datetime default date()+time(), "
                       "b date default date())"));
    const Base_ns::DateTime_cl before = Base_ns::DateTime_cl::Now();
    Run(QStringLiteral("insert into t(n) values(1)"));
    Run(QStringLiteral("insert into t(n) values(2)"));
    const Base_ns::DateTime_cl after = Base_ns::DateTime_cl::Now();
    auto rows = Query(QStringLiteral("select sn, a, b from t order by sn"));
    EXPECT_EQ(rows->Value(0).integer, 1);
    const Base_ns::DateTime_cl stamped(rows->Value(1).real);
    ASSERT_EQ(rows->Value(1).type, VT_DATE);
    EXPECT_FALSE(stamped.IsEarlierThan(before));
    EXPECT_FALSE(stamped.IsLaterThan(after));
    Base_ns::DateTime_cl today = before;
    today.SetTime(0, 0, 0);
    ASSERT_EQ(rows->Value(2).type, VT_DATE);
    if (before.Day() == after.Day()) {  // not across midnight
        EXPECT_TRUE(Base_ns::DateTime_cl(rows->Value(2).real) == today);
    }
    rows->MoveNext();
    EXPECT_EQ(rows->Value(0).integer, 2);
}

TEST_F(JetTest, IifAndFormatWorkAsInJet) {
    Run(QStringLiteral("create table t(d datetime, n integer)"));
    Run(QStringLiteral("insert into t(d, n) values('2024-03-05 09:07:02', 5)"));
    Run(QStringLiteral("insert into t(d, n) values(null, null)"));
    auto rows = Query(QStringLiteral("select format(d, 'yyyy-mm'), format(d, 'yyyy'), format(d, 'dd hh:nn:ss'), "
                                     "iif(n > 1, 'big', 'small'), iif(n, 1, 0), format('text', 'yyyy') from t order by n desc"));
    EXPECT_EQ(rows->Value(0).text, QStringLiteral("2024-03"));
    EXPECT_EQ(rows->Value(1).text, QStringLiteral("2024"));
    EXPECT_EQ(rows->Value(2).text, QStringLiteral("05 09:07:02"));
    EXPECT_EQ(rows->Value(3).text, QStringLiteral("big"));
    EXPECT_EQ(rows->Value(4).integer, 1);
    EXPECT_EQ(rows->Value(5).text, QStringLiteral("text"));
    rows->MoveNext();
    EXPECT_EQ(rows->Value(0).type, VT_NULL);
    EXPECT_EQ(rows->Value(3).text, QStringLiteral("small"));  // a null condition is false
    EXPECT_EQ(rows->Value(4).integer, 0);
}

TEST_F(JetTest, FormatReadsEveryDateFormAndKeepsOtherText) {
    Run(QStringLiteral("create table t(k integer, d datetime)"));
    Run(QStringLiteral("insert into t(k, d) values(1, '2024-03-05 09:07:02')"));
    Run(QStringLiteral("insert into t(k, d) values(2, '2024/3/5 9:07')"));
    Run(QStringLiteral("insert into t(k, d) values(3, '2024-02-30 10:00:00')"));
    Run(QStringLiteral("insert into t(k, d) values(4, 45356.25)"));
    Run(QStringLiteral("insert into t(k, d) values(5, '')"));
    // The same date formatted by several columns, with a pattern between two uses of another.
    auto rows = Query(QStringLiteral("select format(d, 'YYYY年MM月DD日 Hh:Nn:sS'), d, d || '', format(d, 'yyyy'), "
                                     "format(d, 'YYYY年MM月DD日 Hh:Nn:sS') from t order by k"));
    const char* const expected[] = {"2024年03月05日 09:07:02", "2024年03月05日 09:07:00", "2024-02-30 10:00:00",
                                    "2024年03月05日 06:00:00", ""};
    const char* const years[] = {"2024", "2024", "2024-02-30 10:00:00", "2024", ""};
    const uint16_t declared[] = {VT_DATE, VT_DATE, VT_BSTR, VT_DATE, VT_BSTR};
    const uint16_t expression[] = {VT_DATE, VT_BSTR, VT_BSTR, VT_BSTR, VT_BSTR};
    for (int i = 0; i < 5; ++i, rows->MoveNext()) {
        ASSERT_FALSE(rows->IsEOF());
        EXPECT_EQ(rows->Value(0).type, VT_BSTR) << i;
        EXPECT_EQ(rows->Value(0).text, QString::fromUtf8(expected[i])) << i;
        EXPECT_EQ(rows->Value(1).type, declared[i]) << i;
        EXPECT_EQ(rows->Value(2).type, expression[i]) << i;
        EXPECT_EQ(rows->Value(3).text, QString::fromUtf8(years[i])) << i;
        EXPECT_EQ(rows->Value(4).text, QString::fromUtf8(expected[i])) << i;
    }
    EXPECT_TRUE(rows->IsEOF());
}

// instr with compare 1 finds the sought text whatever the case of its letters, in any
// script; with 0 only as written.
TEST_F(JetTest, InStrComparesTextsOfAnyScript) {
    const struct {
        const char* text;
        const char* sought;
        int start, compare, place;
    } rows[] = {{"Coffee Shop", "shop", 1, 1, 8},   {"Coffee Shop", "shop", 1, 0, 0},
                {"ÄPFEL und Öl", "äpfel", 1, 1, 1}, {"ΣΟΦΊΑ", "σοφία", 1, 1, 1},
                {"午饭 饮食", "饮食", 1, 1, 4},       {"aXa", "a", 2, 1, 3},
                {"abc", "", 1, 1, 1},               {"abc", "d", 1, 1, 0},
                {"午饭Coffee", "COFFEE", 1, 1, 3},   {"饭a饭A", "a", 3, 1, 4},
                {"饭a饭A", "A", 3, 0, 4},            {"饭", "饭", 2, 1, 0}};
    for (const auto& row : rows) {
        int32_t affected = 0;
        auto result = connection.Execute(QStringLiteral("select instr(?, ?, ?, ?)"),
                                         {Variant_st::Integer(row.start), Variant_st::Text(QString::fromUtf8(row.text)),
                                          Variant_st::Text(QString::fromUtf8(row.sought)), Variant_st::Integer(row.compare)},
                                         affected, adCmdText);
        EXPECT_EQ(result->Value(0).integer, row.place) << row.text << " / " << row.sought;
    }
    EXPECT_EQ(Query(QStringLiteral("select instr(1, null, 'a', 1)"))->Value(0).type, VT_NULL);
}
