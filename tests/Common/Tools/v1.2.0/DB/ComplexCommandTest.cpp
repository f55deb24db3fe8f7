#include "DB/ComplexCommand.h"
#include "DB/IDatabase.h"
#include "base/DateTime.h"
#include "base/SysError.h"

#include <gtest/gtest.h>
#include <iterator>

using namespace DB_ns;

namespace {

// Runs work and expects ComplexCommand_cl's system error code with remark.
template <typename Work>
void ExpectError(Work work, const char* message, const QString& remark = QString()) {
    try {
        work();
        ADD_FAILURE() << "no error; expected " << message;
    } catch (const Base_ns::SysError_cl& error) {
        EXPECT_EQ(error.Message(), QString::fromUtf8(message));
        EXPECT_EQ(error.Remark(), remark);
        EXPECT_EQ(error.ClassName(), QStringLiteral("ComplexCommand_cl"));
        EXPECT_EQ(error.File(), QStringLiteral("ComplexCommand.cpp"));
    }
}

const char* kNotSet = "还没有设置模板SQL语句。";
const char* kUnfilled = "模板SQL语句的参数未设置完。";
const char* kUnpaired = "模板SQL语句参数格式不正确，问号必须成对出现。";
const char* kIllegal = "参数值中不能有非法字符。";
const char* kBadIndex = "参数索引不正确。";

const SQLTemplate_st kDelete[] = {{DB_ALL, "delete from module_version where module_name='?module_name?'"}};

}  // namespace

TEST(ComplexCommand, FillsTheExampleTemplate) {
    ComplexCommand_cl command(DB_ORACLE);
    command.SetTemplates(kDelete, 1);
    command.SetParam(0, QStringLiteral("abc"));
    EXPECT_EQ(command.GetSQL(), QStringLiteral("delete from module_version where module_name='abc'"));
}

TEST(ComplexCommand, TemplateWithoutParametersIsCompleteAtOnce) {
    const SQLTemplate_st table[] = {{DB_ALL, "select count(*) from module_version"}};
    ComplexCommand_cl command(DB_LOCAL);
    ExpectError([&] { command.GetSQL(); }, kNotSet);
    command.SetTemplates(table, 1);
    EXPECT_EQ(command.GetSQL(), QStringLiteral("select count(*) from module_version"));
}

TEST(ComplexCommand, ChoosesTheTemplateByMask) {
    const SQLTemplate_st table[] = {{DB_LOCAL, "local"}, {DB_ORACLE, "oracle"}, {DB_SQLSERVER, "server"}};
    for (const auto& [kind, text] : {std::pair{DB_LOCAL, "local"}, {DB_ORACLE, "oracle"}, {DB_SQLSERVER, "server"}}) {
        ComplexCommand_cl command(kind);
        command.SetTemplates(table, 3);
        EXPECT_EQ(command.GetSQL(), QString::fromUtf8(text));
    }
    // PostgreSQL runs the SQL Server entry in its dialect unless the table has its own.
    const SQLTemplate_st own[] = {{DB_SQLSERVER, "server"}, {DB_POSTGRESQL, "postgres"}, {DB_LOCAL, "local"}};
    for (const auto& [rows, count, text] : {std::tuple{table, 3, "server"}, {own, 3, "postgres"}}) {
        ComplexCommand_cl postgres(DB_POSTGRESQL);
        postgres.SetTemplates(rows, count);
        EXPECT_EQ(postgres.GetSQL(), QString::fromUtf8(text));
    }
    ComplexCommand_cl local(DB_LOCAL);
    ExpectError([&] { local.SetTemplates(table, 0); }, "没有一条SQL语句与当前数据库匹配。");
    ExpectError([&] { local.SetTemplates(table, -1); }, "没有一条SQL语句与当前数据库匹配。");
    ExpectError([&] { local.SetTemplates(nullptr, 3); }, "空指针。");
}

TEST(ComplexCommand, RefusesNoMatchAndSeveralMatches) {
    const SQLTemplate_st localAndServer[] = {{DB_LOCAL, "a"}, {DB_SQLSERVER, "b"}};
    ComplexCommand_cl oracle(DB_ORACLE);
    ExpectError([&] { oracle.SetTemplates(localAndServer, 2); }, "没有一条SQL语句与当前数据库匹配。");
    const SQLTemplate_st twice[] = {{DB_ALL, "a"}, {DB_ALL, "b"}};
    ComplexCommand_cl local(DB_LOCAL);
    ExpectError([&] { local.SetTemplates(twice, 2); }, "有多条SQL语句与当前数据库匹配。");
}

TEST(ComplexCommand, RewritesTheDialect) {
    const SQLTemplate_st table[] = {{DB_ALL, "insert into t values(CMC_GETDATE,#?t?#,'a#b')"}};
    ComplexCommand_cl local(DB_LOCAL);
    local.SetTemplates(table, 1);
    local.SetParam(0, QStringLiteral("x"));
    EXPECT_EQ(local.GetSQL(), QStringLiteral("insert into t values(date()+time(),#x#,'a#b')"));
    ComplexCommand_cl server(DB_SQLSERVER);
    server.SetTemplates(table, 1);
    server.SetParam(0, QStringLiteral("x"));
    EXPECT_EQ(server.GetSQL(), QStringLiteral("insert into t values(getdate(),'x','a'b')"));
    ComplexCommand_cl postgres(DB_POSTGRESQL);
    postgres.SetTemplates(table, 1);
    postgres.SetParam(0, QStringLiteral("x"));
    EXPECT_EQ(postgres.GetSQL(), server.GetSQL());
    ComplexCommand_cl oracle(DB_ORACLE);
    oracle.SetTemplates(table, 1);
    oracle.SetParam(0, QStringLiteral("x"));
    EXPECT_EQ(oracle.GetSQL(), QStringLiteral("insert into t values(CMC_GETDATE,#x#,'a#b')"));
}

TEST(ComplexCommand, ValuesAreNeitherScannedNorRewritten) {
    const SQLTemplate_st table[] = {{DB_ALL, "?a?,?b?"}};
    ComplexCommand_cl command(DB_SQLSERVER);
    command.SetTemplates(table, 1);
    command.SetParam(0, QStringLiteral("?x?#CMC_GETDATE"));
    command.SetParam(1, QStringLiteral("y"));
    EXPECT_EQ(command.GetSQL(), QStringLiteral("?x?#CMC_GETDATE,y"));
}

TEST(ComplexCommand, EmptyNameAndUnpairedMarks) {
    const SQLTemplate_st empty[] = {{DB_ALL, "a??b"}};
    ComplexCommand_cl command(DB_LOCAL);
    command.SetTemplates(empty, 1);
    ExpectError([&] { command.GetSQL(); }, kUnfilled);
    command.SetParam(0, QStringLiteral("XYZ"));
    EXPECT_EQ(command.GetSQL(), QStringLiteral("aXYZb"));
    for (const char* text : {"a?b?c?", "x?", "?"}) {
        const SQLTemplate_st odd[] = {{DB_ALL, text}};
        ComplexCommand_cl bad(DB_LOCAL);
        ExpectError([&] { bad.SetTemplates(odd, 1); }, kUnpaired);
    }
}

TEST(ComplexCommand, FillsOutOfOrderRefillsAndKeepsNeighbours) {
    const SQLTemplate_st table[] = {{DB_ALL, "update t set a='?a?',b=?b? where c='?a?'"}};
    ComplexCommand_cl command(DB_LOCAL);
    command.SetTemplates(table, 1);
    command.SetParam(1, -5);
    ExpectError([&] { command.GetSQL(); }, kUnfilled);
    command.SetParam(2, QStringLiteral("third"));
    ExpectError([&] { command.GetSQL(); }, kUnfilled);
    command.SetParam(0, QStringLiteral("a much longer first value"));
    EXPECT_EQ(command.GetSQL(), QStringLiteral("update t set a='a much longer first value',b=-5 where c='third'"));
    command.SetParam(0, QString());
    command.SetParam(1, 2147483647);
    EXPECT_EQ(command.GetSQL(), QStringLiteral("update t set a='',b=2147483647 where c='third'"));
    command.SetParam(2, QStringLiteral("third"));
    command.SetParam(0, QStringLiteral("中文"));
    EXPECT_EQ(command.GetSQL(), QStringLiteral("update t set a='中文',b=2147483647 where c='third'"));
}

TEST(ComplexCommand, RefusesBadIndexAndSingleQuotes) {
    const SQLTemplate_st table[] = {{DB_ALL, "select ?a? from t where n='?b?'"}};
    ComplexCommand_cl command(DB_LOCAL);
    ExpectError([&] { command.SetParam(0, 1); }, kBadIndex);
    command.SetTemplates(table, 1);
    ExpectError([&] { command.SetParam(-1, 1); }, kBadIndex);
    ExpectError([&] { command.SetParam(2, 1); }, kBadIndex);
    command.SetParam(0, 1);
    command.SetParam(1, QStringLiteral("ok"));
    for (const QString& text : {QStringLiteral("O'Brien"), QStringLiteral("'x"), QStringLiteral("x'"), QStringLiteral("a") + QChar(0) + u'b'})
        ExpectError([&] { command.SetParam(1, text); }, kIllegal, text);
    EXPECT_EQ(command.GetSQL(), QStringLiteral("select 1 from t where n='ok'"));
    command.SetParam(1, QStringLiteral("say \"hi\""));
    EXPECT_EQ(command.GetSQL(), QStringLiteral("select 1 from t where n='say \"hi\"'"));
}

TEST(ComplexCommand, FillsDateTimes) {
    const SQLTemplate_st table[] = {{DB_ALL, "x >= #?begin?# and x <= #?end?#"}};
    ComplexCommand_cl command(DB_SQLSERVER);
    command.SetTemplates(table, 1);
    command.SetParam(0, Base_ns::DateTime_cl::FromParts(2008, 3, 5, 0, 0, 0));
    command.SetParam(1, Base_ns::DateTime_cl());
    EXPECT_EQ(command.GetSQL(), QStringLiteral("x >= '2008-03-05 00:00:00' and x <= ''"));
}

TEST(ComplexCommand, ChoosingAgainStartsOver) {
    const SQLTemplate_st first[] = {{DB_ALL, "?a??b?"}};
    const SQLTemplate_st second[] = {{DB_ALL, "select ?c? from t"}};
    ComplexCommand_cl command(DB_LOCAL);
    command.SetTemplates(first, 1);
    command.SetParam(0, 1);
    command.SetTemplates(second, 1);
    ExpectError([&] { command.SetParam(1, 1); }, kBadIndex);
    ExpectError([&] { command.GetSQL(); }, kUnfilled);
    command.SetParam(0, 7);
    EXPECT_EQ(command.GetSQL(), QStringLiteral("select 7 from t"));
}

// A bound value leaves a marker in the text and travels beside it, in marker order; a
// value pasted over it again takes the marker back.
TEST(ComplexCommand, BoundValuesTravelBesideTheText) {
    const SQLTemplate_st table[] = {{DB_ALL, "select ?a? from t where s = ?b? and n < ?c? and m = '?d?'"}};
    ComplexCommand_cl command(DB_LOCAL);
    command.SetTemplates(table, 1);
    command.SetParam(0, QStringLiteral("x"));
    command.SetParam(1, Ado_ns::Variant_st::Text(QStringLiteral("O'Brien")));
    command.SetParam(2, Ado_ns::Variant_st::Integer(5));
    command.SetParam(3, QStringLiteral("?"));
    ExpectError([&] { command.GetSQL(); }, "模板SQL语句有绑定的参数，不能只取语句文本。");
    BoundSQL_st statement = command.GetStatement();
    EXPECT_EQ(statement.sql, QStringLiteral("select x from t where s = ? and n < ? and m = '?'"));
    ASSERT_EQ(statement.parameters.size(), 2u);
    EXPECT_EQ(statement.parameters[0].text, QStringLiteral("O'Brien"));
    EXPECT_EQ(statement.parameters[1].integer, 5);
    command.SetParam(1, QStringLiteral("plain"));
    statement = command.GetStatement();
    EXPECT_EQ(statement.sql, QStringLiteral("select x from t where s = plain and n < ? and m = '?'"));
    ASSERT_EQ(statement.parameters.size(), 1u);
    EXPECT_EQ(statement.parameters[0].integer, 5);
}
