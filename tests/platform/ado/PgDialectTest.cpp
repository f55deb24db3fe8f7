// The SQL Server statements the program writes, run through the translation on a
// PostgreSQL server the test starts: what they return and write is checked, not how the
// translation spells them.
#include "PgSession.h"
#include "platform/ado/ProviderError.h"

using namespace Ado_ns;

namespace {

class PgDialect : public PgSession {
protected:
    void SetUp() override {
        PgSession::SetUp();
        if (HasFatalFailure()) return;
        for (const char* sql :
             {"create table r(sn integer identity(1,1) primary key,name nvarchar(16),k nchar(4),[password] char(16),"
              "record_time datetime,expense integer,alter_time datetime default getdate())",
              "insert into r(name,k,[password],record_time,expense) values('午饭','a','x','2024-01-05 12:30:00',-300)",
              "insert into r(name,k,[password],record_time,expense) values('it''s [x]','b','y','2024-01-31 23:59:59',-200)",
              "insert into r(name,k,[password],record_time,expense) values('Fan','c','z','2024-02-01 00:00:00',1000)"})
            Run(QString::fromUtf8(sql));
    }
};

TEST_F(PgDialect, StatementsReturnWhatTheyReturnOnSqlServer) {
    const struct {
        const char* sql;
        QStringList rows;
    } cases[] = {
        // The month as style-120 text, also as a group; the last second of a month stays in it.
        {"select convert(char(7), record_time, 120), sum(expense) from r group by convert(char(7), record_time, 120) "
         "order by convert(char(7), record_time, 120)",
         {"2024-01|-500", "2024-02|1000"}},
        {"select sum(case when convert(char(7), r.record_time, 120) = '2024-01' then r.expense else 0 end) as [2024-01] "
         "from r",
         {"-500"}},
        {"select convert(varchar(19), record_time, 120), convert(char(10), record_time, 121) from r where sn = 1",
         {"2024-01-05 12:30:00|2024-01-05"}},
        {"select datename(yyyy, record_time) from r where sn = 3", {"2024"}},
        {"select 'a' + name + 'b', isnull(len(name), 0), convert(integer, '42') from r where sn = 1", {"a午饭b|2|42"}},
        {"select top 2 sn from r where sn in (select top 1 sn from r order by sn desc) or sn = 1 order by sn", {"1", "3"}},
        {"select top 1 [password] from r order by sn desc", {"z"}},
        {"select sn from r where charindex('FAN', name) > 0 or charindex('[X]', [name]) > 0 order by sn", {"2", "3"}},
        {"select count(*) from r where alter_time <= getdate() and alter_time > '2024-02-01'", {"3"}},
    };
    for (const auto& c : cases) {
        QStringList rows;
        try {
            rows = Rows(QString::fromUtf8(c.sql));
        } catch (const ProviderError_cl& error) {
            rows = {error.Description()};
        }
        for (QString& row : rows) row = row.trimmed();
        EXPECT_EQ(rows, c.rows) << c.sql;
    }
}

// Changes write the rows they name, with texts that look like the dialect's own words
// left as they are.
TEST_F(PgDialect, ChangesWriteWhatTheyNameOnly) {
    EXPECT_EQ(Run(QStringLiteral("update r set [password] = 'top 1+getdate()', alter_time = getdate ( ) "
                                 "where name = 'it''s [x]'")),
              1);
    EXPECT_EQ(Rows(QStringLiteral("select [password] from r where sn = 2")).value(0).trimmed(),
              QStringLiteral("top 1+getdate()"));
    EXPECT_EQ(Run(QStringLiteral("delete from r where charindex(?, name) > 0"), {Variant_st::Text(QStringLiteral("午"))}), 1);
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from r")), QStringList{"2"});
}

// A style of another date text is left for the server to refuse, never cut to a length
// that could happen to look right.
TEST_F(PgDialect, AnUnknownDateStyleIsRefusedNotGuessed) {
    EXPECT_THROW(Rows(QStringLiteral("select convert(char(7), record_time, 102) from r")), ProviderError_cl);
}

}  // namespace
