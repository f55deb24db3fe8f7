#include "DB/LocalDB.h"
#include "DB/SimpleOutRecords.h"
#include "Support.h"

#include <gtest/gtest.h>

using namespace DB_ns;

namespace {

// A local database with a table of every kind of column the program reads.
class SimpleOutRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateAndOpen(db, QString(), folder.Path(QStringLiteral("r.mdb")));
        db.ExecuteNoRecords(QStringLiteral(
            "create table r(id counter(1,1) primary key, name char(16), amount integer, kind char(1), "
            "ratio double, at datetime, note text(32))"));
        db.ExecuteNoRecords(QStringLiteral(
            "insert into r(name, amount, kind, ratio, at, note) values('abc             ', 1250, '2', 2.5, #2008-03-05 09:07:02#, '  a b  ')"));
        db.ExecuteNoRecords(QStringLiteral(
            "insert into r(name, amount, kind, ratio, at, note) values(null, null, '-1', 3.5, #1899-12-30 00:00:00#, '')"));
    }

    // Runs sql and expects rows.
    SimpleOutRecords_cl Rows(const QString& sql) {
        SimpleOutRecords_cl records;
        EXPECT_GT(db.Query(sql, records), 0) << sql.toStdString();
        return records;
    }

    static void ExpectError(const Caught_st& error, const char* message, const char* remark = "") {
        EXPECT_TRUE(error.system);
        EXPECT_EQ(error.message, QString::fromUtf8(message));
        EXPECT_EQ(error.remark, QString::fromUtf8(remark));
        EXPECT_EQ(error.className, QStringLiteral("SimpleOutRecords_cl"));
        EXPECT_EQ(error.file, QStringLiteral("SimpleOutRecords.cpp"));
    }

    DBFolder_cl folder;
    LocalDB_cl db;
};

const char* kWrongType = "取得的值类型和预想的不一致。";
const char* kNoNull = "该取值类型不能接受空值。";

}  // namespace

TEST(SimpleOutRecords, EmptyReaderHasNoRows) {
    SimpleOutRecords_cl records;
    Ado_ns::Variant_st value;
    EXPECT_EQ(Catch([&] { records.GetRowCount(); }).message, QStringLiteral("没有记录存在。"));
    EXPECT_EQ(Catch([&] { records.GetFieldCount(); }).message, QStringLiteral("没有记录存在。"));
    EXPECT_EQ(Catch([&] { records.GetFieldName(0); }).message, QStringLiteral("没有记录存在。"));
    EXPECT_EQ(Catch([&] { records.GetValue(value); }).message, QStringLiteral("没有记录存在。"));
    EXPECT_EQ(Catch([&] { records.MoveNext(); }).message, QStringLiteral("没有记录存在。"));
    records.MoveFirst();  // nothing to move, nothing raised
    const CrossTable_st table = records.ReadTable();
    EXPECT_EQ(table.columnCaptions.Count(), 0);
    EXPECT_EQ(table.rowCaptions.Count(), 0);
    EXPECT_EQ(table.cells.Count(), 0);
}

TEST_F(SimpleOutRecordsTest, TypedReadsWalkTheColumnsInOrder) {
    SimpleOutRecords_cl records = Rows(QStringLiteral("select name, amount, kind from r order by id"));
    EXPECT_EQ(records.GetFieldCount(), 3);
    EXPECT_EQ(records.GetFieldName(1), QStringLiteral("amount"));
    QString name;
    records.GetString(name);
    EXPECT_EQ(name, QStringLiteral("abc")) << "padding spaces are trimmed";
    EXPECT_EQ(records.GetInteger(), 1250);
    EXPECT_EQ(records.GetEnum(), 2);
    Ado_ns::Variant_st value;
    const Caught_st past = Catch([&] { records.GetValue(value); });
    EXPECT_EQ(past.message, QStringLiteral("取值失败。"));
    EXPECT_FALSE(past.remark.isEmpty()) << "carries the provider's description";
    records.MoveNext();
    records.GetString(name);
    EXPECT_EQ(name, QString()) << "a null text reads as empty";
    ExpectError(Catch([&] { records.GetInteger(); }), kNoNull, "Integer");
    EXPECT_EQ(records.GetEnum(), -1) << "the failed read still consumed its column";
}

TEST_F(SimpleOutRecordsTest, ReadsPastTheLastRowFail) {
    SimpleOutRecords_cl records = Rows(QStringLiteral("select amount from r"));
    EXPECT_TRUE(records.MoveNext());
    EXPECT_TRUE(records.MoveNext());  // onto the end is allowed
    const Caught_st read = Catch([&] { records.GetInteger(); });
    EXPECT_EQ(read.message, QStringLiteral("取值失败。"));
    EXPECT_FALSE(read.remark.isEmpty()) << "carries the provider's description";
    const Caught_st move = Catch([&] { records.MoveNext(); });
    EXPECT_EQ(move.message, QStringLiteral("向后移动记录失败。"));
    EXPECT_FALSE(move.remark.isEmpty());
    records.MoveFirst();
    EXPECT_EQ(records.GetInteger(), 1250);
    EXPECT_EQ(Catch([&] { records.GetFieldName(1); }).message, QStringLiteral("取值失败。"));
}

TEST_F(SimpleOutRecordsTest, IntegersRoundHalvesToEven) {
    SimpleOutRecords_cl records = Rows(QStringLiteral("select ratio, -ratio, 1 = 1, name from r order by id"));
    EXPECT_EQ(records.GetInteger(), 2);
    EXPECT_EQ(records.GetInteger(), -2);
    EXPECT_EQ(records.GetInteger(), 1);
    ExpectError(Catch([&] { records.GetInteger(); }), kWrongType, "Integer");
    records.MoveNext();
    EXPECT_EQ(records.GetInteger(), 4);
    EXPECT_EQ(records.GetInteger(), -4);
}

TEST_F(SimpleOutRecordsTest, IntegerBeyond32BitsCannotBeRead) {
    SimpleOutRecords_cl records = Rows(QStringLiteral("select 3000000000"));
    ExpectError(Catch([&] { records.GetInteger(); }), "取值失败。");
}

TEST_F(SimpleOutRecordsTest, EnumsFollowTheDigitRule) {
    SimpleOutRecords_cl records = Rows(QStringLiteral("select '', 'x', amount, null, '1A', ' 1' from r order by id"));
    ExpectError(Catch([&] { records.GetEnum(); }), kWrongType, "Enum");
    ExpectError(Catch([&] { records.GetEnum(); }), kWrongType, "Enum");
    ExpectError(Catch([&] { records.GetEnum(); }), kWrongType, "Enum");
    ExpectError(Catch([&] { records.GetEnum(); }), kNoNull, "Enum");
    EXPECT_EQ(records.GetEnum(), 26);
    ExpectError(Catch([&] { records.GetEnum(); }), kWrongType, "Enum");
}

TEST_F(SimpleOutRecordsTest, DatesReadAsValuesOrText) {
    SimpleOutRecords_cl records = Rows(QStringLiteral("select at, at, at, null, null, note, note from r order by id"));
    const Base_ns::DateTime_cl at = records.GetDateTime();
    EXPECT_EQ(at.Format(), QStringLiteral("2008-03-05 09:07:02"));
    Base_ns::DateTime_cl out;
    records.GetDateTime(out);
    EXPECT_TRUE(out == at);
    QString text;
    records.GetString(text);
    EXPECT_EQ(text, QStringLiteral("2008-03-05 09:07:02"));
    EXPECT_TRUE(records.GetDateTime().IsNull()) << "null gives a null value from the returning form";
    out = at;
    records.GetDateTime(out);
    EXPECT_EQ(out.Status(), Base_ns::DateTime_cl::Invalid) << "and an invalid one from the out form";
    ExpectError(Catch([&] { records.GetDateTime(); }), kWrongType, "DataTime");
    records.GetString(text);
    EXPECT_EQ(text, QStringLiteral("a b")) << "only spaces are trimmed, inner ones stay";
    records.MoveNext();
    EXPECT_TRUE(records.GetDateTime().IsNull()) << "day 0.0 is the null date";
    records.GetDateTime(out);
    EXPECT_TRUE(out.IsNull());
}

TEST_F(SimpleOutRecordsTest, StringsRefuseNumbers) {
    SimpleOutRecords_cl records = Rows(QStringLiteral("select amount from r"));
    QString text = QStringLiteral("kept");
    ExpectError(Catch([&] { records.GetString(text); }), kWrongType, "String");
    EXPECT_EQ(text, QStringLiteral("kept"));
}

TEST_F(SimpleOutRecordsTest, CopiesShareTheRows) {
    SimpleOutRecords_cl records = Rows(QStringLiteral("select amount from r order by id"));
    SimpleOutRecords_cl copy = records;
    copy.MoveNext();
    records.MoveFirst();
    EXPECT_EQ(copy.GetRowCount(), 2);
    EXPECT_EQ(copy.GetInteger(), 1250) << "the copy stands where the shared rows stand";
}

TEST_F(SimpleOutRecordsTest, ReadTableGivesCaptionsAndCellsInRowOrder) {
    db.ExecuteNoRecords(QStringLiteral("create table c(category text(16), a integer, b integer, sn integer)"));
    db.ExecuteNoRecords(QStringLiteral("insert into c values('food', 10, 20, 1)"));
    db.ExecuteNoRecords(QStringLiteral("insert into c values('pay', -30, 0, 2)"));
    SimpleOutRecords_cl records = Rows(QStringLiteral("select category, a as [2008-01], b as [2008-02] from c order by sn"));
    QString skipped;
    records.GetString(skipped);  // ReadTable starts over from the first row and column
    const CrossTable_st table = records.ReadTable();
    ASSERT_EQ(table.columnCaptions.Count(), 2);
    EXPECT_EQ(table.columnCaptions[0], QStringLiteral("2008-01"));
    EXPECT_EQ(table.columnCaptions[1], QStringLiteral("2008-02"));
    ASSERT_EQ(table.rowCaptions.Count(), 2);
    EXPECT_EQ(table.rowCaptions[0], QStringLiteral("food"));
    EXPECT_EQ(table.rowCaptions[1], QStringLiteral("pay"));
    ASSERT_EQ(table.cells.Count(), 4);
    EXPECT_EQ(table.cells[0], 10);
    EXPECT_EQ(table.cells[1], 20);
    EXPECT_EQ(table.cells[2], -30);
    EXPECT_EQ(table.cells[3], 0);
}

TEST_F(SimpleOutRecordsTest, ReadTableOfRowsWithoutCellsKeepsTheRowCaptions) {
    SimpleOutRecords_cl records = Rows(QStringLiteral("select kind from r order by id"));
    const CrossTable_st table = records.ReadTable();
    EXPECT_EQ(table.columnCaptions.Count(), 0);
    ASSERT_EQ(table.rowCaptions.Count(), 2);
    EXPECT_EQ(table.rowCaptions[1], QStringLiteral("-1"));
    EXPECT_EQ(table.cells.Count(), 0);
}
