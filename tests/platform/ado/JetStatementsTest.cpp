// Every local-dialect statement the program runs, with its parameters filled as the
// template layer fills them, must run unchanged through the local provider.
#include "JetSupport.h"

#include "base/DateTime.h"

#include <initializer_list>

using namespace Ado_ns;

namespace {

// Fills the ?name? occurrences in order and makes the template layer's local rewrite.
QString Fill(const char* tmpl, std::initializer_list<const char*> values = {}) {
    QString sql = QString::fromUtf8(tmpl);
    sql.replace(QStringLiteral("CMC_GETDATE"), QStringLiteral("date()+time()"));
    for (const char* value : values) {
        const qsizetype open = sql.indexOf(u'?');
        const qsizetype close = sql.indexOf(u'?', open + 1);
        EXPECT_GE(close, 0) << tmpl;
        sql.replace(open, close - open + 1, QString::fromUtf8(value));
    }
    EXPECT_EQ(sql.indexOf(u'?'), -1) << tmpl;
    return sql;
}

}  // namespace

class JetStatementsTest : public JetTest {
protected:
    int64_t Integer(const QString& sql) {
        auto rows = Query(sql);
        EXPECT_FALSE(rows->IsEOF()) << sql.toStdString();
        return rows->Value(0).integer;
    }
    int RowCount(const QString& sql) {
        auto rows = Query(sql);
        int count = 0;
        for (; !rows->IsEOF(); rows->MoveNext())
            ++count;
        return count;
    }
};

TEST_F(JetStatementsTest, ModuleVersionRecords) {
    Run(Fill("create table module_version(module_name text(32) primary key,version varchar(16),update_time datetime,"
             "create_time date default date())"));
    EXPECT_EQ(Run(Fill("insert into module_version(version,module_name,update_time) values('?version?','?module_name?',date())",
                       {"1.0.0.0", "Vorelle"})),
              1);
    EXPECT_EQ(Run(Fill("update module_version set update_time = date(),version = '?version?' where module_name='?module_name?'",
                       {"1.0.0.1", "Vorelle"})),
              1);
    auto rows = Query(Fill("select version from module_version where module_name='?module_name?'", {"Vorelle"}));
    EXPECT_EQ(rows->Value(0).text, QStringLiteral("1.0.0.1"));
    auto times = Query(QStringLiteral("select update_time, create_time from module_version"));
    ASSERT_EQ(times->Value(0).type, VT_DATE);
    EXPECT_EQ(Base_ns::DateTime_cl(times->Value(0).real).Hour(), 0);  // date() has no time of day
    EXPECT_EQ(times->Value(1).type, VT_DATE);
    EXPECT_EQ(Integer(Fill("select count(*) from module_version")), 1);
    EXPECT_EQ(Run(Fill("delete from module_version where module_name='?module_name?'", {"Vorelle"})), 1);
    Run(Fill("drop table module_version"));
    EXPECT_EQ(ResultOf([&] { Run(QStringLiteral("select count(*) from module_version")); }), Result_ns::NoTable);
}

TEST_F(JetStatementsTest, FinanceStatements) {
    // Schema, first user and default categories.
    const char* tables[] = {
        "create table zorb_user(sn counter(1,1) primary key,user_name char(16),power char(1),[password] char(16),"
        "single_account integer,public_account integer,monthly_plan integer,valid char(1),recycler_sn integer,"
        "create_time datetime default date()+time(),alter_time datetime default date()+time(),alter_sn integer)",
        "create table zorb_record(sn counter(1,1) primary key,user_sn integer,type_sn integer,expense_name text(16),"
        "expense integer,comment text(255),statistics_mode char(1),record_time datetime,valid char(1),recycler_sn integer,"
        "create_time datetime default date()+time(),alter_time datetime default date()+time(),alter_sn integer)",
        "create table zorb_expense_type(sn counter(1,1) primary key,type_name text(16),kind char(1),monthly_plan integer,"
        "valid char(1),create_time datetime default date()+time(),alter_time datetime default date()+time(),alter_sn integer)",
        "create table zorb_record_template(sn counter(1,1) primary key,kind char(1),type_name text(16),expense_name text(16),"
        "expense integer,comment text(255),statistics_mode char(1),user_sn integer,valid char(1),recycler_sn integer,"
        "create_time datetime default date()+time(),alter_time datetime default date()+time(),alter_sn integer)",
        "create table zorb_recycler(sn counter(1,1) primary key,info text(255),user_sn integer,"
        "create_time datetime default date()+time(),alter_time datetime default date()+time(),alter_sn integer)",
    };
    connection.BeginTrans();
    for (const char* table : tables)
        EXPECT_EQ(Run(Fill(table)), 0);
    EXPECT_EQ(Run(Fill("insert into zorb_user(user_name,power,[password],single_account,public_account,valid,alter_sn) "
                       "values('?user_name?','0','?password?',0,0,'1',0)",
                       {"admin", "pw;}\"#"})),
              1);
    const char* typeLookup = "select sn from zorb_expense_type where type_name = '?type_name?' and kind = '?kind?' and valid = '1'";
    const char* typeInsert = "insert into zorb_expense_type(type_name,kind,valid,alter_sn) values('?type_name?','?kind?', '1', ?user_sn?)";
    for (const char* name : {"饮食", "娱乐", "交通", "通讯", "社交", "亲情", "居家", "保健", "学习", "恋爱"}) {
        EXPECT_EQ(RowCount(Fill(typeLookup, {name, "0"})), 0);
        Run(Fill(typeInsert, {name, "0", "0"}));
    }
    Run(Fill(typeInsert, {"工资", "1", "0"}));
    connection.CommitTrans();
    EXPECT_EQ(Integer(Fill(typeLookup, {"工资", "1"})), 11);

    // Users and powers.
    EXPECT_EQ(Integer(Fill("select sn from zorb_user where user_name = '?user_name?' and [password] = '?password?' and valid = '1'",
                           {"admin", "pw;}\"#"})),
              1);
    EXPECT_EQ(RowCount(Fill("select sn from zorb_user where valid = '1' and user_name = '?user_name?'", {"bob"})), 0);
    EXPECT_EQ(Integer(Fill("select public_account from zorb_user where valid = '1' and power = '0'")), 0);
    EXPECT_EQ(Run(Fill("insert into zorb_user(user_name,power,[password],single_account,public_account,valid,alter_sn) "
                       "values('?user_name?',?power?,'?password?',0,?public_account?,'1',?user_sn?)",
                       {"bob", "2", "b", "0", "1"})),
              1);
    EXPECT_EQ(Integer(Fill("select sn from zorb_user where user_name = '?user_name?' and valid = '1'", {"bob"})), 2);
    auto power = Query(Fill("select power from zorb_user where sn = ?user_sn? and valid = '1'", {"2"}));
    EXPECT_EQ(power->Value(0).type, VT_BSTR);  // the number given as power is stored as text
    EXPECT_EQ(power->Value(0).text, QStringLiteral("2"));
    auto users = Query(Fill("select sn,user_name,power,create_time from zorb_user where valid = '1' order by create_time"));
    EXPECT_EQ(users->Value(3).type, VT_DATE);
    EXPECT_EQ(Run(Fill("update zorb_user set [password] = '?password_new?' where valid = '1' and password = '?password_old?'and sn = ?user_sn?",
                       {"b2", "b", "2"})),
              1);
    EXPECT_EQ(Run(Fill("update zorb_user set single_account = ?expense? where valid = '1' and sn = ?user_sn?", {"100", "2"})), 1);
    EXPECT_EQ(Integer(Fill("select single_account from zorb_user where valid = '1' and sn = ?user_sn?", {"2"})), 100);
    EXPECT_EQ(Run(Fill("update zorb_user set public_account = ?expense? where valid = '1' and power = '0'", {"5000"})), 1);

    // Entries and the accounts they move.
    const char* recordInsert =
        "insert into zorb_record(user_sn,type_sn,expense_name,expense,comment,statistics_mode,valid,record_time,alter_sn) "
        "values(?user_sn?, ?type_sn?, '?expense_name?', ?expense?, '?comment?', '?statistics_mode?', '1', '?record_time?', ?alter_sn?)";
    connection.BeginTrans();
    Run(Fill(recordInsert, {"1", "1", "午饭", "-1550", "#1 date() CMC_GETDATE", "0", "2021-01-15 12:00:00", "1"}));
    Run(Fill(recordInsert, {"1", "11", "工资", "100000", "", "1", "2023-02-01 09:00:00", "1"}));
    Run(Fill(recordInsert, {"2", "2", "电影", "-3000", "", "2", "2023-02-10 20:00:00", "1"}));
    Run(Fill(recordInsert, {"2", "1", "晚饭", "-2000", "", "0", "2023-03-01 00:00:00", "1"}));
    connection.BeginTrans();
    Run(Fill("update zorb_user set public_account = public_account + ?expense? where valid = '1' and power = '0'", {"-1550"}));
    Run(Fill("update zorb_user set single_account = single_account + ?expense? where valid = '1' and sn = ?user_sn?", {"-1550", "1"}));
    EXPECT_EQ(Integer(Fill("select public_account from zorb_user where valid = '1' and power = '0'")), 3450);
    EXPECT_EQ(Run(Fill("update zorb_user set public_account = ?public_account? where valid = '1' and power <> '0'", {"3450"})), 1);
    connection.CommitTrans();
    connection.CommitTrans();
    auto comment = Query(QStringLiteral("select comment from zorb_record where sn = 1"));
    EXPECT_EQ(comment->Value(0).text, QStringLiteral("#1 date() CMC_GETDATE"));  // values are never rewritten

    auto record = Query(Fill("select zorb_record.record_time,zorb_expense_type.type_name,zorb_record.expense_name,zorb_record.expense,"
                             "zorb_record.statistics_mode,zorb_record.comment,zorb_user.user_name,zorb_record.user_sn "
                             "from zorb_record,zorb_user,zorb_expense_type where zorb_user.valid = '1' and zorb_record.valid = '1' "
                             "and zorb_expense_type.valid = '1' and zorb_user.sn = zorb_record.user_sn and "
                             "zorb_expense_type.sn = zorb_record.type_sn and zorb_record.sn = ?record_sn?",
                             {"1"}));
    ASSERT_EQ(record->Value(0).type, VT_DATE);
    EXPECT_EQ(Base_ns::DateTime_cl(record->Value(0).real).Format(), QStringLiteral("2021-01-15 12:00:00"));
    EXPECT_EQ(record->Value(1).text, QStringLiteral("饮食"));
    EXPECT_EQ(record->Value(3).integer, -1550);
    EXPECT_EQ(Run(Fill("update zorb_record set type_sn = ?type_sn?, expense_name = '?expense_name?', expense = ?expense?, "
                       "comment = '?comment?', statistics_mode = '?statistics_mode?', record_time = '?record_time?', "
                       "alter_sn = ?alter_sn?, alter_time = CMC_GETDATE where valid = '1' and sn = ?record_sn?",
                       {"1", "午饭", "-1500", "", "0", "2021-01-15 12:30:00", "1", "1"})),
              1);
    auto owner = Query(Fill("select user_sn, expense from zorb_record where valid = '1' and sn = ?record_sn?", {"1"}));
    EXPECT_EQ(owner->Value(1).integer, -1500);

    const char* allUsers =
        "select zorb_record.sn,zorb_record.record_time,zorb_expense_type.type_name,zorb_record.expense_name,zorb_record.expense,"
        "zorb_user.user_name,zorb_record.statistics_mode,zorb_record.comment from zorb_record,zorb_user,zorb_expense_type "
        "where zorb_user.valid = '1' and zorb_record.valid = '1' and zorb_expense_type.valid = '1' and "
        "zorb_user.sn = zorb_record.user_sn and zorb_expense_type.sn = zorb_record.type_sn and "
        "zorb_record.record_time >= #?begin_time?# and zorb_record.record_time <= #?end_time?# "
        "order by zorb_record.record_time desc,zorb_record.user_sn,zorb_record.type_sn";
    auto listed = Query(Fill(allUsers, {"2023-01-01 00:00:00", "2023-12-31 23:59:59"}));
    EXPECT_EQ(listed->Value(0).integer, 4);  // newest first
    EXPECT_EQ(RowCount(Fill(allUsers, {"2023-01-01 00:00:00", "2023-12-31 23:59:59"})), 3);
    EXPECT_EQ(RowCount(Fill("select zorb_record.sn,zorb_record.record_time,zorb_expense_type.type_name,zorb_record.expense_name,"
                            "zorb_record.expense,zorb_user.user_name,zorb_record.statistics_mode,zorb_record.comment "
                            "from zorb_record,zorb_user,zorb_expense_type where zorb_user.valid = '1' and zorb_record.valid = '1' "
                            "and zorb_expense_type.valid = '1' and zorb_user.sn = zorb_record.user_sn and "
                            "zorb_expense_type.sn = zorb_record.type_sn and zorb_user.sn = ?user_sn? and "
                            "zorb_record.record_time >= #?begin_time?# and zorb_record.record_time <= #?end_time?# "
                            "order by zorb_record.record_time desc,zorb_record.user_sn,zorb_record.type_sn",
                            {"2", "2023-01-01 00:00:00", "2023-12-31 23:59:59"})),
              2);
    const char* sumsTail = " and zorb_record.record_time >= #?begin_time?# and zorb_record.record_time <= #?end_time?# "
                           "group by zorb_expense_type.sn,zorb_expense_type.type_name,zorb_expense_type.kind "
                           "order by zorb_expense_type.kind,zorb_expense_type.sn";
    const QString sumsHead = QStringLiteral(
        "select zorb_expense_type.sn,zorb_expense_type.type_name,sum(zorb_record.expense) from zorb_record,zorb_expense_type "
        "where zorb_record.valid = '1' and zorb_expense_type.valid = '1' and zorb_expense_type.sn = zorb_record.type_sn");
    auto sums = Query(Fill((sumsHead + QString::fromUtf8(sumsTail)).toUtf8().constData(), {"2021-01-01 00:00:00", "2023-12-31 23:59:59"}));
    EXPECT_EQ(sums->Value(1).text, QStringLiteral("饮食"));
    EXPECT_EQ(sums->Value(2).integer, -3500);
    EXPECT_EQ(RowCount(Fill((sumsHead + QStringLiteral(" and zorb_record.user_sn = ?user_sn?") + QString::fromUtf8(sumsTail)).toUtf8().constData(),
                            {"2", "2021-01-01 00:00:00", "2023-12-31 23:59:59"})),
              2);
    EXPECT_EQ(RowCount(Fill("select type_name from zorb_expense_type where kind = '?kind?' and valid = '1'", {"0"})), 10);
    EXPECT_EQ(Integer(Fill("select count(*) from zorb_record where valid = '1' and user_sn = ?user_sn?", {"2"})), 2);
    EXPECT_EQ(Integer(Fill("select sum(expense) from zorb_record where valid = '1' and user_sn = ?user_sn?", {"2"})), -5000);
    EXPECT_EQ(RowCount(Fill("select sn from zorb_record where sn = ?record_sn? and valid = '1' and (user_sn = ?user_sn? or "
                            "'0' = (select power from zorb_user where valid = '1' and sn = ?user_sn2?) or "
                            "'1' = (select power from zorb_user where valid = '1' and sn = ?user_sn3?))",
                            {"1", "2", "2", "2"})),
              0);  // a normal user may not delete another user's entry

    // Templates.
    const char* templateLookup =
        "select sn from zorb_record_template where kind = '?kind?' and user_sn = ?user_sn? and type_name = '?type_name?' and "
        "expense_name = '?expense_name?' and expense = ?expense? and comment = '?comment?' and statistics_mode = '?statistics_mode?' and valid = '1'";
    EXPECT_EQ(RowCount(Fill(templateLookup, {"0", "1", "饮食", "午饭", "-1500", "", "0"})), 0);
    Run(Fill("insert into zorb_record_template(kind,user_sn,type_name,expense_name,expense,comment,statistics_mode,valid,alter_sn) "
             "values('?kind?', ?user_sn?, '?type_name?', '?expense_name?', ?expense?, '?comment?', '?statistics_mode?', '1', ?user_sn2?)",
             {"0", "1", "饮食", "午饭", "-1500", "", "0", "1"}));
    EXPECT_EQ(RowCount(Fill(templateLookup, {"0", "1", "饮食", "午饭", "-1500", "", "0"})), 1);
    EXPECT_EQ(RowCount(Fill("select sn,type_name,expense_name,expense,statistics_mode,comment from zorb_record_template "
                            "where valid = '1' and user_sn = ?user_sn? and kind = '?kind?' order by sn",
                            {"1", "0"})),
              1);

    // Deleting actions and the recycler.
    connection.BeginTrans();
    Run(Fill("insert into zorb_recycler(info,user_sn,alter_sn) values('?info?', ?user_sn?, ?user_sn2?)", {"删除费用模板。", "1", "1"}));
    EXPECT_EQ(Integer(Fill("select max(sn) from zorb_recycler")), 1);
    EXPECT_EQ(Run(Fill("update zorb_record_template set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, "
                       "alter_sn = ?user_sn? where sn = ?template_sn? and valid = '1' and user_sn = ?user_sn2?",
                       {"1", "1", "1", "1"})),
              1);
    EXPECT_EQ(Run(Fill("update zorb_record set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, "
                       "alter_sn = ?user_sn? where sn = ?record_sn? and valid = '1'",
                       {"1", "1", "1"})),
              1);
    EXPECT_EQ(Run(Fill("update zorb_record_template set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, "
                       "alter_sn = ?alter_sn? where valid = '1' and user_sn = ?user_sn?",
                       {"1", "1", "2"})),
              0);
    EXPECT_EQ(Run(Fill("update zorb_record set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, "
                       "alter_sn = ?alter_sn? where valid = '1' and user_sn = ?user_sn?",
                       {"1", "1", "2"})),
              2);
    EXPECT_EQ(Run(Fill("update zorb_user set valid = '0', alter_time = CMC_GETDATE, recycler_sn = ?recycler_sn?, "
                       "alter_sn = ?alter_sn? where valid = '1' and sn = ?user_sn?",
                       {"1", "1", "2"})),
              1);
    connection.CommitTrans();
    auto altered = Query(QStringLiteral("select alter_time from zorb_user where sn = 2"));
    EXPECT_EQ(altered->Value(0).type, VT_DATE);
}

TEST_F(JetStatementsTest, Crosstabs) {
    Run(QStringLiteral("create table zorb_record(sn counter(1,1) primary key,user_sn integer,type_sn integer,expense_name text(16),"
                       "expense integer,comment text(255),statistics_mode char(1),record_time datetime,valid char(1),recycler_sn integer,"
                       "create_time datetime default date()+time(),alter_time datetime default date()+time(),alter_sn integer)"));
    Run(QStringLiteral("create table zorb_expense_type(sn counter(1,1) primary key,type_name text(16),kind char(1),monthly_plan integer,"
                       "valid char(1),create_time datetime default date()+time(),alter_time datetime default date()+time(),alter_sn integer)"));
    Run(QStringLiteral("insert into zorb_expense_type(type_name,kind,valid,alter_sn) values('饮食','0', '1', 0)"));
    Run(QStringLiteral("insert into zorb_expense_type(type_name,kind,valid,alter_sn) values('工资','1', '1', 0)"));
    const char* entry = "insert into zorb_record(user_sn,type_sn,expense_name,expense,comment,statistics_mode,valid,record_time,alter_sn) "
                        "values(?user_sn?, ?type_sn?, '?expense_name?', ?expense?, '?comment?', '?statistics_mode?', '1', '?record_time?', ?alter_sn?)";
    Run(Fill(entry, {"1", "1", "a", "-100", "", "0", "2024-01-15 09:59:59", "1"}));  // before begin
    Run(Fill(entry, {"1", "1", "b", "-200", "", "0", "2024-01-15 10:00:00", "1"}));
    Run(Fill(entry, {"1", "1", "c", "-300", "", "0", "2024-03-31 23:59:59", "1"}));
    Run(Fill(entry, {"1", "2", "d", "5000", "", "0", "2024-02-01 00:00:00", "1"}));
    Run(Fill(entry, {"2", "1", "e", "-7", "", "1", "2022-06-01 00:00:00", "1"}));  // yearly only
    Run(Fill(entry, {"1", "1", "f", "-9", "", "2", "2024-02-02 00:00:00", "1"}));  // in neither

    // Month crosstab, 2024-01-15 10:00:00 to 2024-03-31 23:59:59, one user.
    QString month = Fill("select zorb_expense_type.type_name");
    for (const char* m : {"2024-01", "2024-02", "2024-03"})
        month += Fill(",sum(iif(format(zorb_record.record_time, 'yyyy-mm') = '?month?', zorb_record.expense, 0)) as [?month2?]", {m, m});
    month += Fill(" from zorb_record,zorb_expense_type where zorb_record.valid = '1' and zorb_expense_type.valid = '1' and "
                  "zorb_expense_type.sn = zorb_record.type_sn and zorb_record.statistics_mode = '0' and "
                  "zorb_record.record_time >= #?begin_time?# and zorb_record.record_time <= #?end_time?#",
                  {"2024-01-15 10:00:00", "2024-03-31 23:59:59"});
    month += Fill(" and zorb_record.user_sn = ?user_sn?", {"1"});
    month += Fill(" group by zorb_expense_type.sn,zorb_expense_type.type_name,zorb_expense_type.kind "
                  "order by zorb_expense_type.kind,zorb_expense_type.sn");
    auto months = Query(month);
    ASSERT_EQ(months->FieldCount(), 4);
    EXPECT_EQ(months->Name(1), QStringLiteral("2024-01"));
    EXPECT_EQ(months->Name(3), QStringLiteral("2024-03"));
    EXPECT_EQ(months->Value(0).text, QStringLiteral("饮食"));
    EXPECT_EQ(months->Value(1).integer, -200);
    EXPECT_EQ(months->Value(2).integer, 0);
    EXPECT_EQ(months->Value(3).integer, -300);
    months->MoveNext();
    EXPECT_EQ(months->Value(0).text, QStringLiteral("工资"));
    EXPECT_EQ(months->Value(2).integer, 5000);
    months->MoveNext();
    EXPECT_TRUE(months->IsEOF());

    // Year crosstab over all users: the span first, read as dates.
    auto span = Query(Fill("select min(record_time), max(record_time) from zorb_record where valid = '1'"));
    ASSERT_EQ(span->Value(0).type, VT_DATE);
    ASSERT_EQ(span->Value(1).type, VT_DATE);
    Base_ns::DateTime_cl begin(span->Value(0).real), end(span->Value(1).real);
    begin.SetTime(0, 0, 0);
    end.SetTime(23, 59, 59);
    QString year = Fill("select zorb_expense_type.type_name");
    for (const char* y : {"2022", "2023", "2024"})
        year += Fill(",sum(iif(format(zorb_record.record_time, 'yyyy') = '?year?', zorb_record.expense, 0)) as [?year2?]", {y, y});
    year += Fill(" from zorb_record,zorb_expense_type where zorb_record.valid = '1' and zorb_expense_type.valid = '1' and "
                 "zorb_expense_type.sn = zorb_record.type_sn and zorb_record.statistics_mode <> '2' and "
                 "zorb_record.record_time >= #?begin_time?# and zorb_record.record_time <= #?end_time?#",
                 {begin.Format().toUtf8().constData(), end.Format().toUtf8().constData()});
    year += Fill(" group by zorb_expense_type.sn,zorb_expense_type.type_name,zorb_expense_type.kind "
                 "order by zorb_expense_type.kind,zorb_expense_type.sn");
    auto years = Query(year);
    ASSERT_EQ(years->FieldCount(), 4);
    EXPECT_EQ(years->Name(1), QStringLiteral("2022"));
    EXPECT_EQ(years->Value(1).integer, -7);
    EXPECT_EQ(years->Value(2).integer, 0);
    EXPECT_EQ(years->Value(3).integer, -600);
    auto one = Query(Fill("select min(record_time), max(record_time) from zorb_record where valid = '1'") +
                     Fill(" and zorb_record.user_sn = ?user_sn?", {"3"}));
    EXPECT_EQ(one->Value(0).type, VT_NULL);  // no entries: an empty span
}
