#include "FinanceFixture.h"

#include <QStringList>

namespace {

QStringList Captions(const Base_ns::Trusteeship_tl<QString>& captions) {
    QStringList list;
    for (int32_t i = 0; i < captions.Count(); ++i) list.append(captions[i]);
    return list;
}

// Row of the table whose caption is name, as its cells.
QList<int32_t> Row(const DB_ns::CrossTable_st& table, const QString& name) {
    const int32_t columns = table.columnCaptions.Count();
    for (int32_t i = 0; i < table.rowCaptions.Count(); ++i) {
        if (table.rowCaptions[i] != name) continue;
        QList<int32_t> cells;
        for (int32_t j = 0; j < columns; ++j) cells.append(table.cells[i * columns + j]);
        return cells;
    }
    return {};
}

}  // namespace

class CrosstabTest : public FinanceTest {
protected:
    void Add(const char* type, int32_t expense, const char* time, int32_t mode = 0) {
        records.AddRecord(QString::fromUtf8(type), "", expense, "", Time(time), mode);
    }
};

TEST_F(CrosstabTest, MonthColumnsRunFromBeginsMonthToEndsAndCountFromBeginItself) {
    Add("饮食", -100, "2024-01-01 08:00:00");
    Add("饮食", -200, "2024-01-15 09:59:59");
    Add("饮食", -300, "2024-01-15 10:00:00");
    Add("饮食", -400, "2024-03-31 23:59:59");
    Add("交通", -50, "2024-02-10 12:00:00");
    Add("工资", 9000, "2024-02-28 12:00:00");
    Add("工资", 1, "2024-04-01 00:00:00");
    Add("饮食", -7, "2024-02-11 12:00:00", 1);
    Add("饮食", -9, "2024-02-12 12:00:00", 2);

    const auto table = records.GetMonthCrosstab(false, "", Time("2024-01-15 10:00:00"), Time("2024-03-31 23:59:59"));
    EXPECT_EQ(Captions(table.columnCaptions), QStringList({"2024-01", "2024-02", "2024-03"}));
    EXPECT_EQ(Captions(table.rowCaptions), QStringList({"饮食", "交通", "工资"}));
    EXPECT_EQ(Row(table, "饮食"), QList<int32_t>({-300, 0, -400}));
    EXPECT_EQ(Row(table, "交通"), QList<int32_t>({0, -50, 0}));
    EXPECT_EQ(Row(table, "工资"), QList<int32_t>({0, 9000, 0}));
}

TEST_F(CrosstabTest, AnEndAtAMonthsFirstInstantAddsNoColumnForIt) {
    Add("饮食", -100, "2024-01-10 08:00:00");
    const auto table = records.GetMonthCrosstab(true, "", Time("2024-01-01"), Time("2024-03-01 00:00:00"));
    EXPECT_EQ(Captions(table.columnCaptions), QStringList({"2024-01", "2024-02"}));

    // An end that is not later than the begin gives rows without cells.
    const auto flat = records.GetMonthCrosstab(true, "", Time("2024-01-10 08:00:00"), Time("2024-01-10 08:00:00"));
    EXPECT_EQ(flat.columnCaptions.Count(), 0);
    EXPECT_EQ(Captions(flat.rowCaptions), QStringList({"饮食"}));
    EXPECT_EQ(flat.cells.Count(), 0);
}

TEST_F(CrosstabTest, MonthCrosstabFiltersByUser) {
    AddUser("bob", 2);
    Add("饮食", -100, "2024-05-10 08:00:00");
    LoginAs("bob");
    Add("饮食", -1, "2024-05-11 08:00:00");
    Add("交通", -2, "2024-05-11 08:00:00");
    const auto begin = Time("2024-05-01"), end = Time("2024-05-31 23:59:59");
    EXPECT_EQ(Row(records.GetMonthCrosstab(false, "", begin, end), "饮食"), QList<int32_t>({-1}));
    EXPECT_EQ(Row(records.GetMonthCrosstab(false, "admin", begin, end), "饮食"), QList<int32_t>({-100}));
    EXPECT_EQ(records.GetMonthCrosstab(false, "admin", begin, end).rowCaptions.Count(), 1);
    EXPECT_EQ(Row(records.GetMonthCrosstab(true, "", begin, end), "饮食"), QList<int32_t>({-101}));
}

TEST_F(CrosstabTest, YearColumnsSpanEveryYearBetweenTheEarliestAndLatestEntry) {
    Add("饮食", -100, "2021-03-01 08:00:00");
    Add("饮食", -10, "2021-12-31 23:59:59", 1);
    Add("工资", 500, "2023-06-30 00:00:00");
    Add("交通", -7, "2023-07-01 00:00:00", 2);
    // Only the mode-2 entry lies in 2025: it widens the span but counts nowhere.
    Add("交通", -8, "2025-01-01 00:00:00", 2);

    const auto table = records.GetYearCrosstab(false, "");
    EXPECT_EQ(Captions(table.columnCaptions), QStringList({"2021", "2022", "2023", "2024", "2025"}));
    EXPECT_EQ(Captions(table.rowCaptions), QStringList({"饮食", "工资"}));
    EXPECT_EQ(Row(table, "饮食"), QList<int32_t>({-110, 0, 0, 0, 0}));
    EXPECT_EQ(Row(table, "工资"), QList<int32_t>({0, 0, 500, 0, 0}));

    // The month crosstab counts the monthly entries only.
    const auto months = records.GetMonthCrosstab(false, "", Time("2021-12-01"), Time("2021-12-31 23:59:59"));
    EXPECT_EQ(months.rowCaptions.Count(), 0);
}

TEST_F(CrosstabTest, YearCrosstabOfNoEntriesIsEmpty) {
    const auto table = records.GetYearCrosstab(true, "");
    EXPECT_EQ(table.columnCaptions.Count() + table.rowCaptions.Count() + table.cells.Count(), 0);

    AddUser("bob", 2);
    Add("饮食", -100, "2022-03-01 08:00:00");
    EXPECT_EQ(records.GetYearCrosstab(false, "bob").rowCaptions.Count(), 0);
    EXPECT_EQ(Captions(records.GetYearCrosstab(false, "admin").columnCaptions), QStringList({"2022"}));
}
