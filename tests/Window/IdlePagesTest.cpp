#include "DB/ADODatabase.h"
#include "RecordSession.h"
#include "Window/WMainWnd.h"
#include "Window/WMonthCrosstabPage.h"
#include "Window/WRecordManagePage.h"
#include "Window/WRecycleBinPage.h"
#include "Window/WUserManagePage.h"
#include "Window/WYearCrosstabPage.h"
#include "WindowTesting.h"
#include "settings/Unique.h"

using namespace WindowTesting_ns;

namespace {

// A page as the user leaves it: its remembered choices, then the page.
struct Case_st {
    QString userMode;
    QString category;
    std::function<std::unique_ptr<QWidget>()> make;
};

template <typename Page>
std::unique_ptr<QWidget> Make() {
    return std::make_unique<Page>();
}

const Case_st kCases[] = {
    {QStringLiteral("当前用户"), QString(), Make<Vorelle_ns::WRecordManagePage_cl>},
    {QStringLiteral("所有用户"), QStringLiteral("餐饮"), Make<Vorelle_ns::WRecordManagePage_cl>},
    {QStringLiteral("指定用户"), QStringLiteral("餐饮"), Make<Vorelle_ns::WRecordManagePage_cl>},
    {QStringLiteral("当前用户"), QString(), Make<Vorelle_ns::WMonthCrosstabPage_cl>},
    {QStringLiteral("指定用户"), QString(), Make<Vorelle_ns::WYearCrosstabPage_cl>},
    {QStringLiteral("所有用户"), QString(), Make<Vorelle_ns::WYearCrosstabPage_cl>},
    {QStringLiteral("当前用户"), QString(), Make<Vorelle_ns::WRecycleBinPage_cl>},
    {QStringLiteral("当前用户"), QString(), Make<Vorelle_ns::WUserManagePage_cl>},
    {QStringLiteral("所有用户"), QStringLiteral("餐饮"), [] {
         auto window = std::make_unique<Vorelle_ns::WMainWnd_cl>();
         return std::unique_ptr<QWidget>(std::move(window));
     }},
};

}  // namespace

class IdlePagesTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    void APageLeftAloneAsksNothing_data() {
        QTest::addColumn<int>("index");
        const char* names[] = {"record page", "record page, everybody's, one category",
                               "record page, a named user", "month statistics", "year statistics, a named user",
                               "year statistics, everybody's", "recycle bin", "user page", "main window"};
        static_assert(std::size(names) == std::size(kCases));
        for (int i = 0; i < int(std::size(kCases)); ++i) QTest::newRow(names[i]) << i;
    }
    void APageLeftAloneAsksNothing() {
        QFETCH(int, index);
        const Case_st& test = kCases[index];
        RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        const QDateTime today(QDate::currentDate(), QTime(8, 0));
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("早饭"), -650, today);
        RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("地铁"), -400, today.addMonths(-1));
        const int32_t gone = RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午饭"), -1250, today);
        Container_ns::List_tl<int32_t> sns;
        sns.Append(gone);
        Vorelle_ns::DataCore().GetControlUser().DeleteRecords(sns);
        Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
        custom.WriteString(QStringLiteral("用户模式"), test.userMode);
        if (!test.category.isEmpty()) custom.WriteString(QStringLiteral("分类筛选"), test.category);
        for (const QString& key : {QStringLiteral("检索用户名"), QStringLiteral("年统计检索用户名")}) {
            Unique_ns::GetRecentRecordFromDatabase().Add(key, QStringLiteral("小李"));
        }

        const std::unique_ptr<QWidget> page = test.make();
        page->show();
        const int64_t shown = DB_ns::ADODatabase_cl::StatementsRun();
        QTest::qWait(2000);
        QCOMPARE(DB_ns::ADODatabase_cl::StatementsRun() - shown, 0);
        QVERIFY(environment->prompt.shown.isEmpty());
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(IdlePagesTest);
#include "IdlePagesTest.moc"
