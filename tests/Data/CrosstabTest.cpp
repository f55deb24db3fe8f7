#include "FinanceFixture.h"
#include "Control/CrosstabFigures.h"

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

TEST_F(CrosstabTest, ARefundOnlyPeriodLowersTheExpenseAndAddsNoIncome) {
    // Bought in January, refunded in February: February's 居家 is positive and is still
    // an expense category's figure.
    Container_ns::List_tl<Vorelle_ns::RecordInfo_st> entries;
    const auto entry = [](const char* type, int32_t expense, const char* time, bool refund) {
        Vorelle_ns::RecordInfo_st info;
        info.recordTime = Time(time);
        info.typeName = QString::fromUtf8(type);
        info.expense = expense;
        info.userName = QStringLiteral("admin");
        info.refund = refund;
        return info;
    };
    entries.Append(entry("居家", -2000, "2024-01-07 10:00:00", false));
    entries.Append(entry("居家", 1500, "2024-02-08 10:00:00", true));
    entries.Append(entry("工资", 10000, "2024-03-09 10:00:00", false));
    records.ImportRecords(entries);
    const Vorelle_ns::CrosstabFigures_cl months(
        records.GetMonthCrosstab(false, "", Time("2024-01-01"), Time("2024-03-31 23:59:59")));
    const Vorelle_ns::CrosstabFigures_cl years(records.GetYearCrosstab(false, ""));
    const auto sums = [&](const char* begin, const char* end) {
        return Vorelle_ns::RecordManage_cl::Totals(records.GetTypeSums(false, "", Time(begin), Time(end)));
    };
    const struct {
        const char* where;
        int64_t expense, income;
        bool anyExpense, anyIncome;
        Vorelle_ns::SumTotals_st got;
    } cases[] = {
        {"month table, January", -2000, 0, true, true, {months.Expense(0), months.Income(0), true, true}},
        {"month table, February", 1500, 0, true, true, {months.Expense(1), months.Income(1), true, true}},
        {"month table, March", 0, 10000, true, true, {months.Expense(2), months.Income(2), true, true}},
        {"year table", -500, 10000, true, true, {years.Expense(0), years.Income(0), years.AnyExpense(), years.AnyIncome()}},
        {"record page, February", 1500, 0, true, false, sums("2024-02-01", "2024-02-29 23:59:59")},
        {"record page, the quarter", -500, 10000, true, true, sums("2024-01-01", "2024-03-31 23:59:59")},
    };
    EXPECT_TRUE(months.AnyExpense() && months.AnyIncome());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(c.got.expense, c.expense);
        EXPECT_EQ(c.got.income, c.income);
        EXPECT_EQ(c.got.anyExpense, c.anyExpense);
        EXPECT_EQ(c.got.anyIncome, c.anyIncome);
    }
}

TEST_F(CrosstabTest, YearCrosstabOfNoEntriesIsEmpty) {
    const auto table = records.GetYearCrosstab(true, "");
    EXPECT_EQ(table.columnCaptions.Count() + table.rowCaptions.Count() + table.cells.Count(), 0);

    AddUser("bob", 2);
    Add("饮食", -100, "2022-03-01 08:00:00");
    EXPECT_EQ(records.GetYearCrosstab(false, "bob").rowCaptions.Count(), 0);
    EXPECT_EQ(Captions(records.GetYearCrosstab(false, "admin").columnCaptions), QStringList({"2022"}));
}

namespace {

// The crosstab as one statement with a column per period (each row tested against every
// column): the reference the grouped scan must match cell for cell.
DB_ns::CrossTable_st ColumnPerPeriod(DB_ns::IDatabase_cl& database, const QString& format, const QStringList& periods,
                                     const QString& modes, const QString& begin, const QString& end, int32_t user) {
    QString sql = QStringLiteral("select zorb_expense_type.type_name");
    for (const QString& period : periods)
        sql += QStringLiteral(",sum(iif(format(zorb_record.record_time, '%1') = '%2', zorb_record.expense, 0)) as [%2]")
                   .arg(format, period);
    sql += QStringLiteral(
               " from zorb_record,zorb_expense_type where zorb_record.valid = '1' and zorb_expense_type.valid = '1' "
               "and zorb_expense_type.sn = zorb_record.type_sn and zorb_record.statistics_mode %1 and "
               "zorb_record.record_time >= #%2# and zorb_record.record_time <= #%3#")
               .arg(modes, begin, end);
    if (user != 0) sql += QStringLiteral(" and zorb_record.user_sn = %1").arg(user);
    sql += QStringLiteral(
        " group by zorb_expense_type.sn,zorb_expense_type.type_name,zorb_expense_type.kind order by "
        "zorb_expense_type.kind,zorb_expense_type.sn");
    DB_ns::SimpleOutRecords_cl records;
    database.Query(sql, records);
    return records.ReadTable();
}

void ExpectSame(const DB_ns::CrossTable_st& got, const DB_ns::CrossTable_st& want) {
    EXPECT_EQ(Captions(got.columnCaptions), Captions(want.columnCaptions));
    EXPECT_EQ(Captions(got.rowCaptions), Captions(want.rowCaptions));
    ASSERT_EQ(got.cells.Count(), want.cells.Count());
    for (int32_t i = 0; i < got.cells.Count(); ++i) EXPECT_EQ(got.cells[i], want.cells[i]) << i;
}

}  // namespace

TEST_F(CrosstabTest, TablesMatchTheColumnPerPeriodStatement) {
    const int32_t bob = AddUser("bob", 2);
    const char* const types[] = {"饮食", "交通", "新类", "工资", "奖金"};
    uint32_t seed = 7;
    const auto next = [&seed](uint32_t n) { return (seed = seed * 1103515245u + 12345u) / 65536u % n; };
    for (int32_t i = 0; i < 120; ++i) {
        const uint32_t type = next(5);
        const int32_t amount = int32_t(1 + next(5000)) * (type >= 3 ? 1 : -1);
        const QString time = QStringLiteral("%1-%2-%3 %4:00:00")
                                 .arg(2021 + next(3))
                                 .arg(1 + next(12), 2, 10, QChar('0'))
                                 .arg(1 + next(28), 2, 10, QChar('0'))
                                 .arg(next(24), 2, 10, QChar('0'));
        records.AddRecord(QString::fromUtf8(types[type]), "", amount, "", Time(time.toUtf8().constData()), int32_t(next(3)),
                          next(2) == 0 ? bob : 0);
    }
    struct Case_st {
        const char* begin;
        const char* end;
        QStringList months;
    };
    const Case_st cases[] = {
        {"2021-01-01", "2021-12-31 23:59:59", {"2021-01", "2021-02", "2021-03", "2021-04", "2021-05", "2021-06",
                                               "2021-07", "2021-08", "2021-09", "2021-10", "2021-11", "2021-12"}},
        {"2022-11-15 12:00:00", "2023-02-10 23:59:59", {"2022-11", "2022-12", "2023-01", "2023-02"}},
        {"2024-01-01", "2024-03-31 23:59:59", {"2024-01", "2024-02", "2024-03"}},
    };
    for (const Case_st& c : cases) {
        for (int32_t user : {0, bob}) {
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.begin).arg(user).toStdString());
            const QString name = user == 0 ? QString() : QStringLiteral("bob");
            ExpectSame(records.GetMonthCrosstab(user == 0, name, Time(c.begin), Time(c.end)),
                       ColumnPerPeriod(Database(), "yyyy-mm", c.months, "= '0'", c.begin, c.end, user));
        }
    }
    for (int32_t user : {0, bob}) {
        const QString name = user == 0 ? QString() : QStringLiteral("bob");
        ExpectSame(records.GetYearCrosstab(user == 0, name),
                   ColumnPerPeriod(Database(), "yyyy", {"2021", "2022", "2023"}, "<> '2'", "2021-01-01",
                                   "2023-12-31 23:59:59", user));
    }
}
