// Renders each window of the program to a PNG file on the offscreen platform, so that
// its layout can be looked at without a display:
//     vorelle_pictures <folder> [<width>x<height>]
// With a screen size the platform has one screen of that size, the main window fills it
// and each file's name ends in the size.
// A temporary application folder and settings folder hold a sample database; the real
// ones are never touched.

#include "CTL/ComboBox.h"
#include "CTL/Report.h"
#include "Control/DataCore.h"
#include "Data/Budget.h"
#include "SystemInfo/Path.h"
#include "VorelleApp.h"
#include "Window/WInputAccountDlg.h"
#include "Window/WInputPasswordDlg.h"
#include "Window/WInputRecordDlg.h"
#include "Window/WInputUserDlg.h"
#include "Window/WDueDlg.h"
#include "Window/WMainWnd.h"
#include "Window/WPhoneDlg.h"
#include "Window/WPhoneSettingsDlg.h"
#include "Window/WScheduleDlg.h"
#include "Window/WSetSuperAdminDlg.h"
#include "Window/WStatementImportDlg.h"
#include "Window/WStartDlg.h"
#include "base/Error.h"
#include "Web/PairingLink.h"
#include "settings/Unique.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// "-1024x600" for a screen of that size, else nothing.
QString screenSuffix;

bool Save(QWidget& window, const QString& folder, const QString& name) {
    window.show();
    // Twice: what the first pass lays out may queue more, such as the lists' widths.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(name + screenSuffix + QStringLiteral(".png"));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A database with its super administrator, remembered as the last login.
void AddSample() {
    using Vorelle_ns::DataCore;
    const QString userName = QStringLiteral("管理员");
    DataCore().AttachLocalDatabase(SystemInfo_ns::GetApplicationFolder() + QStringLiteral("本地库/家庭账本.mdb"),
                                   QStringLiteral("家庭账本"), QStringLiteral("sample"));
    DataCore().InitDatabase(0, userName, QStringLiteral("sample"));
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromFile();
    custom.WriteBoolean(QStringLiteral("记住用户名"), true);
    custom.WriteString(QStringLiteral("数据库"), QStringLiteral("家庭账本"));
    Unique_ns::GetRecentRecordFromFile().Add(QStringLiteral("用户名"), userName);
}

// A month of a household's entries, booked by two of its members.
void BookMonth() {
    using namespace Vorelle_ns;
    struct Entry_st {
        int day;
        int hour;
        const char16_t* owner;
        const char16_t* category;
        const char16_t* name;
        int32_t cents;
        int32_t mode;
        const char16_t* comment;
    };
    const Entry_st entries[] = {
        {1, 9, u"管理员", u"工资", u"月薪", 1250000, 0, u""},
        {1, 20, u"管理员", u"居家", u"房租", -350000, 0, u"按月付"},
        {2, 12, u"妈妈", u"饮食", u"午饭", -2850, 0, u""},
        {3, 19, u"妈妈", u"饮食", u"超市", -18620, 0, u"一周的菜"},
        {5, 8, u"管理员", u"交通", u"地铁月票", -20000, 0, u""},
        {6, 21, u"管理员", u"娱乐", u"电影", -9000, 0, u"两张票"},
        {8, 10, u"妈妈", u"通讯", u"话费", -5800, 0, u""},
        {10, 18, u"管理员", u"饮食", u"晚饭", -12600, 0, u"和朋友"},
        {12, 15, u"妈妈", u"保健", u"体检", -45000, 1, u"一年一次"},
        {14, 11, u"管理员", u"学习", u"网课", -29900, 1, u""},
        {15, 9, u"妈妈", u"工资", u"季度奖", 300000, 1, u""},
        {17, 19, u"管理员", u"社交", u"份子钱", -60000, 2, u"同学婚礼"},
        {19, 12, u"妈妈", u"饮食", u"午饭", -3200, 0, u""},
        {21, 16, u"管理员", u"亲情", u"给父母", -100000, 0, u""},
        {23, 20, u"妈妈", u"居家", u"水电煤", -31250, 0, u""},
        {25, 14, u"妈妈", u"饮食", u"超市", -21480, 0, u""},
        {27, 10, u"管理员", u"交通", u"打车", -4650, 0, u"下雨"},
        {28, 18, u"管理员", u"利息", u"活期", 1523, 2, u""},
    };
    const QDate today = QDate::currentDate();
    for (const Entry_st& entry : entries) {
        const QDateTime time(QDate(today.year(), today.month(), entry.day), QTime(entry.hour, 0));
        DataCore().GetRecordManage().AddRecord(QString::fromUtf16(entry.category), QString::fromUtf16(entry.name),
                                               entry.cents, QString::fromUtf16(entry.comment),
                                               Base_ns::DateTime_cl::FromQDateTime(time), entry.mode,
                                               DataCore().GetUserManage().FindUser(QString::fromUtf16(entry.owner)));
    }
    RecordManage_cl& records = DataCore().GetRecordManage();
    records.AddTemplate(false, QStringLiteral("饮食"), QStringLiteral("午饭"), -2500, QStringLiteral("食堂"), 0);
    records.AddTemplate(false, QStringLiteral("交通"), QStringLiteral("地铁"), -400, QString(), 0);
    records.AddTemplate(false, QStringLiteral("居家"), QString(), 0, QStringLiteral("水电煤"), 0);
}

// The record page with this month of everybody's entries, and the entry dialog over it
// in both modes.
bool RenderRecords(Vorelle_ns::WMainWnd_cl& mainWnd, const QString& folder) {
    using namespace Vorelle_ns;
    BookMonth();
    WRecordManagePage_cl& page = mainWnd.GetRecordPage();
    mainWnd.GetTabCtrl().SelectPage(&page);
    const auto combo = [](QWidget& window, int32_t id) {
        return window.findChild<CTL_ns::ComboBox_cl*>(QString::number(id));
    };
    combo(page, WRecordManagePage_cl::IdDateMode)->SelectByText(QStringLiteral("当月"));
    combo(page, WRecordManagePage_cl::IdUserMode)->SelectByText(QStringLiteral("所有用户"));
    bool saved = Save(mainWnd, folder, QStringLiteral("record-page"));
    // The same month searched: one category, and a text in the names or comments.
    auto* search = page.findChild<QLineEdit*>(QString::number(WRecordManagePage_cl::IdSearch));
    combo(page, WRecordManagePage_cl::IdCategory)->SelectByText(QStringLiteral("饮食"));
    search->setText(QStringLiteral("超市"));
    emit search->editingFinished();
    saved &= Save(mainWnd, folder, QStringLiteral("record-search"));
    combo(page, WRecordManagePage_cl::IdCategory)->Select(0);
    search->clear();
    emit search->editingFinished();

    WInputRecordDlg_cl adding(Base_ns::DateTime_cl::Now(), &page);
    QCoreApplication::processEvents();
    combo(adding, WInputRecordDlg_cl::IdCategory)->setEditText(QStringLiteral("饮食"));
    combo(adding, WInputRecordDlg_cl::IdName)->setEditText(QStringLiteral("早饭"));
    combo(adding, WInputRecordDlg_cl::IdAmount)->setEditText(QStringLiteral("12.5"));
    saved &= Save(adding, folder, QStringLiteral("input-record-new"));
    adding.hide();
    const auto rows = page.findChild<CTL_ns::Report_cl*>(QString::number(WRecordManagePage_cl::IdRecords));
    WInputRecordDlg_cl editing(rows->RowData(0), &page);
    saved &= Save(editing, folder, QStringLiteral("input-record-edit"));
    editing.hide();
    // Three of the month's entries deleted, seen in the recycle bin.
    Container_ns::List_tl<int32_t> deleted;
    for (int32_t row = 0; row < 3; ++row) deleted.Append(rows->RowData(row));
    DataCore().GetControlUser().DeleteRecords(deleted);
    mainWnd.GetTabCtrl().SelectPage(&mainWnd.GetRecyclePage());
    saved &= Save(mainWnd, folder, QStringLiteral("recycle-bin"));
    return saved;
}

// Two years and more of the logged-in user's household entries before this month:
// the same bills every month with prices that move a little, and yearly ones.
void BookYears() {
    using namespace Vorelle_ns;
    struct Monthly_st {
        const char16_t* category;
        const char16_t* name;
        int32_t cents;
        int32_t day;
    };
    const Monthly_st monthly[] = {{u"饮食", u"菜场", -185000, 3},    {u"饮食", u"外出就餐", -62050, 17},
                                  {u"交通", u"公交卡", -20000, 1},   {u"通讯", u"话费", -12800, 8},
                                  {u"居家", u"水电燃气", -46530, 12}, {u"娱乐", u"电影", -9000, 22},
                                  {u"工资", u"月薪", 1250000, 10}};
    RecordManage_cl& records = DataCore().GetRecordManage();
    const QDate today = QDate::currentDate();
    const QDate thisMonth(today.year(), today.month(), 1);
    for (QDate month(today.year() - 2, 1, 1); month < thisMonth; month = month.addMonths(1)) {
        for (const Monthly_st& entry : monthly) {
            const int32_t change = (month.month() * 7 + month.year()) % 11 - 5;
            const int32_t cents = entry.cents < 0 ? entry.cents + entry.cents / 100 * change : entry.cents;
            records.AddRecord(QString::fromUtf16(entry.category), QString::fromUtf16(entry.name), cents, QString(),
                              Base_ns::DateTime_cl::FromParts(month.year(), month.month(), entry.day, 19), 0);
        }
        if (month.month() == 5) {
            records.AddRecord(QStringLiteral("保健"), QStringLiteral("体检"), -88000, QString(),
                              Base_ns::DateTime_cl::FromParts(month.year(), 5, 20, 9), 1);
        }
        if (month.month() == 12) {
            records.AddRecord(QStringLiteral("奖金"), QStringLiteral("年终奖"), 3000000, QString(),
                              Base_ns::DateTime_cl::FromParts(month.year(), 12, 28, 9), 1);
        }
    }
}

// The month statistics from the first of January to today, and the year statistics.
bool RenderCrosstabs(Vorelle_ns::WMainWnd_cl& mainWnd, const QString& folder) {
    BookYears();
    mainWnd.GetTabCtrl().SelectPage(&mainWnd.GetMonthPage());
    bool saved = Save(mainWnd, folder, QStringLiteral("month-crosstab"));
    mainWnd.GetTabCtrl().SelectPage(&mainWnd.GetYearPage());
    saved &= Save(mainWnd, folder, QStringLiteral("year-crosstab"));
    return saved;
}

// Last month's budget over the same entries: plans of a few categories (one carried over
// from January), of the expected wage and of two people.
bool RenderBudget(Vorelle_ns::WMainWnd_cl& mainWnd, const QString& folder) {
    using namespace Vorelle_ns;
    Budget_cl budget(DataCore().GetUserManage());
    const QDate last = QDate::currentDate().addMonths(-1);
    budget.SetTypePlan(QStringLiteral("饮食"), 240000, Rollover_st{true, MonthKey(last.year(), 1)});
    budget.SetTypePlan(QStringLiteral("交通"), 25000);
    budget.SetTypePlan(QStringLiteral("居家"), 45000);
    budget.SetTypePlan(QStringLiteral("娱乐"), 10500);
    budget.SetTypePlan(QStringLiteral("工资"), 1250000);
    budget.SetUserPlan(QStringLiteral("管理员"), 500000);
    budget.SetUserPlan(QStringLiteral("妈妈"), 150000);
    WBudgetPage_cl& page = mainWnd.GetBudgetPage();
    mainWnd.GetTabCtrl().SelectPage(&page);
    page.ShowPeriod(last.year(), last.month());
    return Save(mainWnd, folder, QStringLiteral("budget-page"));
}

// The main window as the sample's super administrator sees it, with a few more users,
// and the small dialogs over it.
// The preview of a WeChat Pay statement with purchases, a refund, a transfer and a
// withdrawal.
bool RenderStatement(Vorelle_ns::WMainWnd_cl& mainWnd, const QString& folder) {
    const QString path = SystemInfo_ns::GetApplicationFolder() + QStringLiteral("微信支付账单.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QString text = QStringLiteral(
        "微信支付账单明细\n微信昵称：[小明]\n起始时间：[2024-03-01 00:00:00] 终止时间：[2024-03-31 23:59:59]\n"
        "共8笔记录\n收入：2笔 ¥220.00\n支出：5笔 ¥531.16\n中性交易：1笔 ¥100.00\n"
        "----------------------微信支付账单明细列表--------------------\n"
        "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n"
        "2024-03-02 08:12:05,商户消费,早餐铺,豆浆油条,支出,¥12.50,零钱,支付成功,4200002024030201\t,1\t,/\n"
        "2024-03-03 12:40:11,商户消费,美团,外卖 黄焖鸡米饭,支出,¥28.16,招商银行,支付成功,4200002024030301\t,2\t,/\n"
        "2024-03-05 19:02:47,商户消费,超市,日用品,支出,¥156.00,零钱,已退款(￥20.00),4200002024030501\t,3\t,/\n"
        "2024-03-06 09:30:00,商户消费-退款,超市,日用品,收入,¥20.00,零钱,已退款,4200002024030601\t,4\t,/\n"
        "2024-03-08 20:15:33,转账,妈妈,/,收入,¥200.00,零钱,已存入零钱,1000052024030801\t,/,/\n"
        "2024-03-10 14:00:00,商户消费,网店,运动鞋,支出,¥299.00,零钱,已全额退款,4200002024031001\t,5\t,/\n"
        "2024-03-12 18:45:10,商户消费,滴滴出行,快车,支出,¥35.50,零钱,支付成功,4200002024031201\t,6\t,/\n"
        "2024-03-15 10:00:00,零钱提现,招商银行,/,/,¥100.00,零钱,提现已到账,1000052024031501\t,/,/\n");
    file.write("\xEF\xBB\xBF" + text.toUtf8());
    file.close();
    Vorelle_ns::WStatementImportDlg_cl dialog(path, &mainWnd);
    return Save(dialog, folder, QStringLiteral("statement-import"));
}

// A household's recurring entries, some of them due since the book was last opened: the
// page, the dialog changing one, and the list of what has come due.
bool RenderSchedules(Vorelle_ns::WMainWnd_cl& mainWnd, const QString& folder) {
    using namespace Vorelle_ns;
    struct Sample_st {
        const char16_t* owner;
        const char16_t* category;
        const char16_t* name;
        int32_t cents;
        ScheduleEvery_en every;
        int32_t interval;
        int32_t day;
        int32_t monthsAgo;
        int32_t count;
        bool paused;
    };
    const Sample_st samples[] = {
        {u"管理员", u"居家", u"房租", -350000, ScheduleEvery_en::Month, 1, 1, 3, 0, false},
        {u"管理员", u"工资", u"月薪", 1250000, ScheduleEvery_en::Month, 1, 31, 2, 0, false},
        {u"妈妈", u"通讯", u"话费", -5800, ScheduleEvery_en::Month, 1, 8, 2, 0, false},
        {u"妈妈", u"保健", u"医疗保险", -98000, ScheduleEvery_en::Year, 1, 15, 14, 0, false},
        {u"小明", u"学习", u"零花钱", -5000, ScheduleEvery_en::Week, 1, 7, 1, 0, false},
        {u"管理员", u"学习", u"网课分期", -29900, ScheduleEvery_en::Month, 1, 20, 5, 12, false},
        {u"管理员", u"娱乐", u"健身卡", -19900, ScheduleEvery_en::Month, 3, 5, 6, 0, true},
    };
    ScheduleManage_cl& schedules = DataCore().GetScheduleManage();
    const QDate today = QDate::currentDate();
    for (const Sample_st& sample : samples) {
        Schedule_st schedule;
        schedule.userName = QString::fromUtf16(sample.owner);
        schedule.typeName = QString::fromUtf16(sample.category);
        schedule.expenseName = QString::fromUtf16(sample.name);
        schedule.expense = sample.cents;
        schedule.every = sample.every;
        schedule.interval = sample.interval;
        schedule.day = sample.day;
        schedule.firstDate = today.addMonths(-sample.monthsAgo);
        schedule.count = sample.count;
        const int32_t sn = schedules.Add(schedule);
        if (sample.paused) schedules.SetPaused(sn, true);
    }
    mainWnd.GetTabCtrl().SelectPage(&mainWnd.GetSchedulePage());
    bool saved = Save(mainWnd, folder, QStringLiteral("schedule-page"));
    WScheduleDlg_cl changing(schedules.GetSchedules()[0].schedule.sn, &mainWnd);
    saved &= Save(changing, folder, QStringLiteral("input-schedule"));
    changing.hide();
    WDueDlg_cl due(today, &mainWnd);
    saved &= Save(due, folder, QStringLiteral("due-list"));
    due.hide();
    return saved;
}

// The phone's pairing: one phone paired earlier, another just added, its link and code
// shown; and where the phone page is served.
bool RenderPhone(Vorelle_ns::WMainWnd_cl& mainWnd, const QString& folder) {
    using namespace Vorelle_ns;
    DataCore().GetDeviceKeys().Prepare();
    (void)DataCore().GetDeviceKeys().Add(QStringLiteral("爸爸的手机"));
    WPhoneDlg_cl phones([](const QString& key) { return Web_ns::PairingLink_cl::Make(false, "0.0.0.0", 8765, key); },
                        &mainWnd);
    phones.findChild<QLineEdit*>(QString::number(WPhoneDlg_cl::IdLabel))->setText(QStringLiteral("妈妈的手机"));
    phones.findChild<QPushButton*>(QString::number(WPhoneDlg_cl::IdAdd))->click();
    bool saved = Save(phones, folder, QStringLiteral("phone-devices"));
    phones.hide();
    WPhoneSettingsDlg_cl settings(&mainWnd);
    saved &= Save(settings, folder, QStringLiteral("phone-settings"));
    settings.hide();
    return saved;
}

bool RenderMainWindow(const QString& folder) {
    using namespace Vorelle_ns;
    DataCore().GetDatabaseManage().OpenLink(0);
    UserManage_cl& users = DataCore().GetUserManage();
    users.Login(QStringLiteral("管理员"), QStringLiteral("sample"));
    users.AddUser(QStringLiteral("妈妈"), 1, QStringLiteral("sample"));
    users.AddUser(QStringLiteral("小明"), 2, QStringLiteral("sample"));
    users.AddUser(QStringLiteral("奶奶"), 3, QStringLiteral("sample"));
    users.SetPublicAccount(1234550);
    bool saved = true;
    WMainWnd_cl mainWnd;
    mainWnd.Create();
    if (!screenSuffix.isEmpty()) mainWnd.showMaximized();
    saved &= Save(mainWnd, folder, QStringLiteral("main-window-users"));
    mainWnd.GetTabCtrl().Select(1);
    saved &= Save(mainWnd, folder, QStringLiteral("main-window-records"));
    WInputUserDlg_cl userDlg(&mainWnd);
    saved &= Save(userDlg, folder, QStringLiteral("input-user"));
    WInputPasswordDlg_cl passwordDlg(&mainWnd);
    saved &= Save(passwordDlg, folder, QStringLiteral("input-password"));
    WInputAccountDlg_cl accountDlg(true, &mainWnd);
    saved &= Save(accountDlg, folder, QStringLiteral("input-account"));
    accountDlg.hide();
    return saved && RenderRecords(mainWnd, folder) && RenderStatement(mainWnd, folder) &&
           RenderCrosstabs(mainWnd, folder) && RenderBudget(mainWnd, folder) && RenderSchedules(mainWnd, folder) &&
           RenderPhone(mainWnd, folder);
}

bool Render(const QString& folder) {
    using namespace Vorelle_ns;
    bool saved = true;
    {
        WStartDlg_cl firstRun;
        saved &= Save(firstRun, folder, QStringLiteral("start-first-run"));
    }
    AddSample();
    WStartDlg_cl start;
    saved &= Save(start, folder, QStringLiteral("start-login"));
    start.GetTabCtrl().Select(1);
    saved &= Save(start, folder, QStringLiteral("start-create-local"));
    start.GetCreateDBPage().GetTabCtrl().Select(1);
    saved &= Save(start, folder, QStringLiteral("start-create-sqlserver"));
    start.GetCreateDBPage().GetTabCtrl().Select(2);
    saved &= Save(start, folder, QStringLiteral("start-create-postgresql"));
    start.GetTabCtrl().Select(2);
    saved &= Save(start, folder, QStringLiteral("start-restore"));
    start.hide();
    WSetSuperAdminDlg_cl superAdmin;
    saved &= Save(superAdmin, folder, QStringLiteral("set-super-admin"));
    superAdmin.hide();
    return saved && RenderMainWindow(folder);
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir screenFolder;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2) {
        const QStringList sides = QString::fromLocal8Bit(argv[2]).split(u'x');
        const int width = sides.value(0).toInt();
        const int height = sides.size() == 2 ? sides[1].toInt() : 0;
        if (width <= 0 || height <= 0) {
            std::fprintf(stderr, "the screen size \"%s\" is not WIDTHxHEIGHT, for example 1024x600\n", argv[2]);
            return 2;
        }
        QFile screen(screenFolder.filePath(QStringLiteral("screen.json")));
        if (!screen.open(QIODevice::WriteOnly) ||
            screen.write(QStringLiteral("{\"screens\": [{\"name\": \"screen\", \"width\": %1, \"height\": %2, \"logicalDpi\": 96}]}")
                             .arg(width)
                             .arg(height)
                             .toUtf8()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(screen.fileName()));
            return 1;
        }
        screen.close();
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screen.fileName()).toLocal8Bit());
        screenSuffix = QLatin1Char('-') + QString::fromLocal8Bit(argv[2]);
    }
    CVorelleApp app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    QTemporaryDir appFolder;
    QTemporaryDir settingsFolder;
    SystemInfo_ns::SetApplicationFolder(appFolder.path());
    Unique_ns::SetStorageFolder(settingsFolder.path());
    Unique_ns::InitFileStorage(Vorelle_ns::DataCore_cl::GetProductName());
    bool saved = false;
    try {
        saved = Render(folder);
    } catch (const Base_ns::Error_cl& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Text()));
    }
    Vorelle_ns::DataCore().GetDatabaseManage().Save(appFolder.path() + QStringLiteral("/DatabaseLink.bin"));
    Unique_ns::CloseFileStorage();
    return saved ? 0 : 1;
}
