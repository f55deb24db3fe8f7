#include "Control/BudgetText.h"
#include "Control/DataCore.h"
#include "DB/VersionRecord.h"
#include "Data/Budget.h"
#include "Data/RecycleBin.h"
#include "FinanceFixture.h"
#include "Window/ConvertInfo.h"
#include "support/BudgetCases.h"

#include <QProcess>

namespace {

using Vorelle_ns::Budget_cl;
using Vorelle_ns::BudgetView_st;

class BudgetTest : public FinanceTest {
protected:
    void SetUp() override {
        FinanceTest::SetUp();
        // Marked as the program's book, so that the command line opens it.
        DB_ns::VersionRecord_cl record(&Database(), Vorelle_ns::DataCore_cl::GetModuleName());
        record.SetVersion(Vorelle_ns::DataCore_cl::GetDataVersion());
        AddUser("小李", 2);
        AddUser("小王", 3);
    }

    // The command line on the same book, as the viewer; its standard output.
    QString Cli(const char* viewer, QStringList arguments, int& exitCode) {
        QStringList head;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (OnPostgreSQL()) {
            head << "--connect" << "postgresql://book@" + PostgresServer_cl::Shared().Address() + "/book";
        } else {
            head << "--book" << app.Path() + QStringLiteral("finance.mdb");
        }
        head << "--user" << QString::fromUtf8(viewer);
        environment.insert("VORELLE_BOOK_PASSWORD", "pw");
        environment.insert("VORELLE_PASSWORD", QString::fromUtf8(viewer) == "admin" ? "secret" : "pw");
        environment.insert("XDG_CONFIG_HOME", settingsFolder.path());
        environment.insert("XDG_DATA_HOME", settingsFolder.path());
        QProcess cli;
        cli.setProcessEnvironment(environment);
        cli.start(QStringLiteral(VORELLE_CLI), head + arguments);
        EXPECT_TRUE(cli.waitForFinished(120000));
        exitCode = cli.exitCode();
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        EXPECT_TRUE(exitCode != 0 || err.isEmpty()) << err.toStdString();
        return exitCode == 0 ? QString::fromUtf8(cli.readAllStandardOutput()) : err;
    }

    Budget_cl budget{users};
    Vorelle_ns::RecycleBin_cl bin{users, records};
};

class BudgetCaseTest : public BudgetTest, public ::testing::WithParamInterface<BudgetCase_st> {};

TEST_P(BudgetCaseTest, DataLayerAndCommandLineGiveTheSameFigures) {
    const BudgetCase_st& c = GetParam();
    const int32_t balance = users.GetPublicAccount();
    EXPECT_TRUE(BookBudgetCase(c, QStringLiteral("admin"), users, records, bin)) << "a deleted category still shows";
    int32_t entries = 0;
    for (const BudgetEntry_st& entry : c.entries) entries += entry.cents;
    EXPECT_EQ(users.GetPublicAccount(), balance + entries) << "a plan changed the balance";
    if (QString::fromUtf8(c.viewer) != "admin") LoginAs(QString::fromUtf8(c.viewer));

    const BudgetView_st view = BudgetCaseView(budget, c.period);
    QString rows, people;
    const auto money = [](int64_t cents) { return Vorelle_ns::ConvertInfo_cl::MoneyToText(cents); };
    for (const Vorelle_ns::BudgetLine_st& line : view.lines) {
        QStringList cells{line.typeName, money(line.plan), money(line.carried)};
        if (view.month == 0) {
            for (const int64_t month : line.months) cells << money(month);
            cells << money(line.yearly);
        }
        cells << money(line.spent) << money(line.plan + line.carried - line.spent);
        rows += cells.join(u',') + u'\n';
    }
    for (const Vorelle_ns::PersonBudget_st& person : view.people)
        people += QStringList{person.userName, money(person.plan), money(person.spent), money(person.plan - person.spent)}.join(u',') + u'\n';
    EXPECT_EQ(rows.toStdString(), c.rows);
    EXPECT_EQ(people.toStdString(), c.people);

    const QString period = QString::fromUtf8(c.period);
    QStringList arguments{"report", "budget"};
    arguments << (period.size() == 4 ? QStringList{"--year", period} : QStringList{period}) << "--format" << "csv";
    int exitCode = 0;
    const QString csv = Cli(c.viewer, arguments, exitCode);
    ASSERT_EQ(exitCode, 0) << csv.toStdString();
    const QString header = Vorelle_ns::BudgetText_cl::Rows(view).first().join(u',');
    QString expected = header + u'\n' + QString::fromUtf8(c.rows);
    EXPECT_EQ(csv.toStdString(), expected.replace("\n", "\r\n").toStdString());
}

INSTANTIATE_TEST_SUITE_P(Cases, BudgetCaseTest, ::testing::ValuesIn(BudgetCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The notice after booking counts as the month does: a monthly expense only; an
// independent user hears of his own plan, never of the family's category.
TEST_F(BudgetTest, NoticesAfterBookingCountAsTheMonthCounts) {
    budget.SetTypePlan(QStringLiteral("饮食"), 50000);
    budget.SetUserPlan(QStringLiteral("小王"), 20000);
    const Base_ns::DateTime_cl when = Base_ns::DateTime_cl::Parse(QStringLiteral("2026-03-10 12:00:00"));
    records.AddRecord(QStringLiteral("饮食"), QStringLiteral("午饭"), -3000, QString(), when, 0, users.FindUser("admin"));
    records.AddRecord(QStringLiteral("饮食"), QStringLiteral("午饭"), -880, QString(), when, 0, users.FindUser("小王"));
    const struct {
        const char* viewer;
        bool income;
        int32_t mode;
        const char* notice;
    } rows[] = {{"admin", false, 0, "饮食本月还剩 ¥461.20"}, {"admin", false, 1, ""}, {"admin", false, 2, ""},
                {"admin", true, 0, ""}, {"小王", false, 0, "个人预算本月还剩 ¥191.20"}, {"小王", false, 1, ""}};
    for (const auto& row : rows) {
        LoginAs(QString::fromUtf8(row.viewer));
        EXPECT_EQ(Vorelle_ns::BudgetText_cl::BookingNotice(budget, QStringLiteral("饮食"), row.income, when, row.mode),
                  QString::fromUtf8(row.notice))
            << row.viewer << " mode " << row.mode;
    }
}

// Percentages are rounded, not cut: 100.7 % over the plan reads 101 %.
TEST(BudgetLevel, PercentIsRoundedToTheNearest) {
    const struct {
        int64_t spent, available;
        int32_t percent;
    } rows[] = {{1007, 1000, 101}, {596, 10000, 6}, {5, 1000, 1}, {4, 1000, 0}, {1000, 1000, 100}, {-50, 1000, 0}};
    for (const auto& row : rows) {
        int32_t percent = -1;
        (void)Vorelle_ns::BudgetText_cl::Level(row.spent, row.available, percent);
        EXPECT_EQ(percent, row.percent) << row.spent << "/" << row.available;
    }
}

// Who may set which plan: administrators a category's, the super administrator or the
// person himself a person's. A refusal changes nothing.
struct PowerCase_st {
    const char* name;
    const char* actor;
    const char* target;  // a category, or a user's name for a person's plan
    bool person;
    bool allowed;
};

const PowerCase_st powerCases[] = {
    {"SuperSetsCategory", "admin", "饮食", false, true},   {"AdministratorSetsCategory", "老张", "饮食", false, true},
    {"NormalSetsCategory", "小李", "饮食", false, false},  {"AloneSetsCategory", "小王", "饮食", false, false},
    {"SuperSetsPerson", "admin", "小李", true, true},       {"NormalSetsHimself", "小李", "小李", true, true},
    {"NormalSetsOther", "小李", "小王", true, false},       {"AdministratorSetsOther", "老张", "小李", true, false},
    {"AloneSetsHimself", "小王", "小王", true, true},
};

void PrintTo(const PowerCase_st& c, std::ostream* os) { *os << c.name; }

class BudgetPowerTest : public BudgetTest, public ::testing::WithParamInterface<PowerCase_st> {};

TEST_P(BudgetPowerTest, PlansAreSetOnlyByThoseWhoMay) {
    const PowerCase_st& c = GetParam();
    AddUser("老张", 1);
    LoginAs(QString::fromUtf8(c.actor));
    const QString target = QString::fromUtf8(c.target);
    const QString sql = c.person ? QStringLiteral("select count(*) from zorb_user where monthly_plan = 12345")
                                 : QStringLiteral("select count(*) from zorb_expense_type where monthly_plan = 12345");
    const Raised_st raised = Raise([&] {
        if (c.person) budget.SetUserPlan(target, 12345);
        else budget.SetTypePlan(target, 12345, Vorelle_ns::Rollover_st{true, Vorelle_ns::MonthKey(2026, 1)});
    });
    EXPECT_EQ(raised.raised, !c.allowed) << raised.message.toStdString();
    EXPECT_FALSE(raised.system) << raised.message.toStdString();
    EXPECT_EQ(Integer(sql), c.allowed ? 1 : 0);
    // The command line refuses the same, exit status 1, saying why.
    int exitCode = 0;
    const QString out = Cli(c.actor, c.person ? QStringList{"budget", "set", "--user", target, "200"}
                                              : QStringList{"budget", "set", target, "200"},
                            exitCode);
    EXPECT_EQ(exitCode, c.allowed ? 0 : 1) << out.toStdString();
    if (!c.allowed) {
        EXPECT_TRUE(out.contains(raised.message)) << out.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Powers, BudgetPowerTest, ::testing::ValuesIn(powerCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
