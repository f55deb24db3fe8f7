#include "platform/ado/JetDialect.h"
#include "platform/ado/ProviderError.h"

#include <gtest/gtest.h>

using namespace Ado_ns;

namespace {

QString T(const char* sql) { return JetDialect_cl::Translate(QString::fromUtf8(sql)); }

}  // namespace

TEST(JetDialect, DateLiteralsBecomeFullDateTimeTexts) {
    EXPECT_EQ(T("select 1 where t >= #2024-01-15 10:00:00# and t <= #2024-03-31#"),
              QStringLiteral("select 1 where t >= '2024-01-15 10:00:00' and t <= '2024-03-31 00:00:00'"));
}

TEST(JetDialect, RefusesDateLiteralsThatAreNoDates) {
    for (const char* bad : {"select ##", "select #2024-02-30#", "select #abc#", "select #2024-01-01"}) {
        try {
            T(bad);
            ADD_FAILURE() << bad;
        } catch (const ProviderError_cl& e) {
            EXPECT_EQ(e.Result(), Result_ns::ErrorsInCommand) << bad;
        }
    }
}

TEST(JetDialect, CurrentDateFunctionsBecomeLocalTime) {
    EXPECT_EQ(T("update t set a = date()+time(), b = date ( ) + time( ), c = now()"),
              QStringLiteral("update t set a = (datetime('now','localtime')), b = (datetime('now','localtime')), "
                             "c = (datetime('now','localtime'))"));
    EXPECT_EQ(T("update t set a = DATE()"), QStringLiteral("update t set a = (datetime('now','localtime','start of day'))"));
    EXPECT_EQ(T("update t set a = time()"),
              QStringLiteral("update t set a = (strftime('1899-12-30 %H:%M:%S','now','localtime'))"));
    // Names that only look like the functions stay.
    EXPECT_EQ(T("select date, update_time, t.date from t"), QStringLiteral("select date, update_time, t.date from t"));
}

TEST(JetDialect, CounterKeysAndDefaults) {
    EXPECT_EQ(T("create table t(sn counter(1,1) primary key,a datetime default date()+time(),b date default date(),c integer)"),
              QStringLiteral("create table t(sn integer primary key autoincrement,a datetime default ((datetime('now','localtime'))),"
                             "b date default ((datetime('now','localtime','start of day'))),c integer)"));
    EXPECT_EQ(T("create table t(a integer default 0 not null, b text(4) default 'x,y')"),
              QStringLiteral("create table t(a integer default (0) not null, b text(4) default ('x,y'))"));
    EXPECT_EQ(T("create table t(a integer default (1+2)*3)"), QStringLiteral("create table t(a integer default ((1+2)*3))"));
}

TEST(JetDialect, QuotedTextAndBracketedNamesAreNeverTouched) {
    const char* untouched[] = {
        "insert into t values('#2024-01-01#', 'date()+time()', 'CMC_GETDATE', 'it''s date() #', 'counter(1,1) primary key')",
        "select [date()] from [#t#] where a = \"date()\"",
        "select 'default date()' from t",
        "select * from t where a = '##' and b = '#'",
        "select CMC_GETDATE from t",
    };
    for (const char* sql : untouched)
        EXPECT_EQ(T(sql), QString::fromUtf8(sql)) << sql;
    EXPECT_EQ(T("select '#', #2008-03-05#, '#'"), QStringLiteral("select '#', '2008-03-05 00:00:00', '#'"));
}
