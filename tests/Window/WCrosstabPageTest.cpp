#include "Window/WCrosstabPage.h"

#include "CTL/ComboBox.h"
#include "CTL/Report.h"
#include "IO/CSVStream.h"
#include "IO/FileStream.h"
#include "RecordSession.h"
#include "Window/WMainWnd.h"
#include "Window/WMonthCrosstabPage.h"
#include "Window/WYearCrosstabPage.h"
#include "WindowTesting.h"
#include "settings/Unique.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace WindowTesting_ns;
using CTL_ns::ComboBox_cl;
using Month_cl = Vorelle_ns::WMonthCrosstabPage_cl;
using Year_cl = Vorelle_ns::WYearCrosstabPage_cl;
using Page_cl = Vorelle_ns::WCrosstabPage_cl;

namespace {

QDateTime At(int year, int month, int day, int hour = 12) { return QDateTime(QDate(year, month, day), QTime(hour, 0)); }

ComboBox_cl* Combo(QWidget& page, int32_t id) { return Control<ComboBox_cl>(page, id); }
QDateEdit* Picker(QWidget& page, int32_t id) { return Control<QDateEdit>(page, id); }
CTL_ns::Report_cl* Table(QWidget& page) { return Control<CTL_ns::Report_cl>(page, Page_cl::IdCrosstab); }
QLabel* Nothing(QWidget& page) { return Control<QLabel>(page, Page_cl::IdNothing); }
QPushButton* ExportButton(QWidget& page) { return Control<QPushButton>(page, Page_cl::IdExport); }

QStringList Items(ComboBox_cl* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

QStringList Titles(CTL_ns::Report_cl* list) {
    QStringList titles;
    for (int column = 0; column < list->ColumnCount(); ++column) titles << list->Title(column);
    return titles;
}

QList<QStringList> Rows(CTL_ns::Report_cl* list) {
    QList<QStringList> rows;
    for (int32_t row = 0; row < list->RowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < list->ColumnCount(); ++column) texts << list->Text(row, column);
        rows << texts;
    }
    return rows;
}

void Choose(ComboBox_cl* combo, const QString& text) {
    QVERIFY(combo->SelectByText(text));
    Settle();
}

// Picks both dates as a person would, one after the other.
void PickSpan(QWidget& page, const QDate& begin, const QDate& end) {
    Picker(page, Month_cl::IdBeginDate)->setDate(begin);
    Picker(page, Month_cl::IdEndDate)->setDate(end);
    Settle();
}

// Enters a user name and leaves the box, which searches for it. (Qt Test types only
// Latin keys, so the Chinese name is set.)
void Search(QWidget& page, const QString& name) {
    ComboBox_cl* combo = Combo(page, Page_cl::IdUserName);
    Type(combo, name);
    // Leaving the box: the combo box receives the focus event, as on Tab.
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(combo, &leaving);
    Settle();
}

QString StoredText(const QString& key) {
    return Unique_ns::GetCustomFromDatabase().ReadString(key, QStringLiteral("无"));
}

}  // namespace

class WCrosstabPageTest : public QObject {
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

    // From a begin in mid-January to the end of March: January, February and March, with
    // the entries before the begin's first second left out.
    void MonthColumnsAndTotals() {
        RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("早"), -1000, At(2024, 1, 14, 23));
        RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("午"), -2000, At(2024, 1, 15, 0));
        RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("晚"), -550, At(2024, 3, 31, 23));
        RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("车"), -300, At(2024, 3, 2));
        RecordSession_cl::Book(QStringLiteral("工资"), QStringLiteral("二月"), 1000000, At(2024, 2, 5));
        RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("四月"), -100, At(2024, 4, 1, 0));
        Month_cl page;
        page.show();
        Settle();
        PickSpan(page, QDate(2024, 1, 15), QDate(2024, 3, 31));
        CTL_ns::Report_cl* table = Table(page);
        QCOMPARE(Titles(table), (QStringList{"分类", "2024-01", "2024-02", "2024-03"}));
        // The widths set, whatever a wider list lends them while it shows.
        QCOMPARE(table->ColumnWidthsText(), QStringLiteral("%1,%2,%2,%2").arg(Page_cl::CategoryWidth).arg(Page_cl::PeriodWidth));
        QCOMPARE(Rows(table), (QList<QStringList>{{"饮食", "-20.00", "0.00", "-5.50"},
                                                  {"交通", "0.00", "0.00", "-3.00"},
                                                  {"工资", "0.00", "10000.00", "0.00"},
                                                  {"【总计开销】", "-20.00", "0.00", "-8.50"},
                                                  {"【总计收入】", "0.00", "10000.00", "0.00"},
                                                  {"【结余】", "-20.00", "10000.00", "-8.50"}}));
        // On screen the amounts stand right-aligned, the categories left.
        for (int column = 0; column < 4; ++column) {
            const int alignment = table->model()->index(0, column).data(Qt::TextAlignmentRole).toInt();
            QCOMPARE(alignment & Qt::AlignHorizontal_Mask, int(column == 0 ? Qt::AlignLeft : Qt::AlignRight));
        }
        QVERIFY(ExportButton(page)->isEnabled());
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    // An end before the begin gives no month at all; the list then has no rows to count.
    void MonthEndBeforeBegin() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午"), -2000, At(2024, 1, 20));
        Month_cl page;
        page.show();
        Settle();
        PickSpan(page, QDate(2024, 2, 1), QDate(2024, 1, 1));
        QCOMPARE(Titles(Table(page)), QStringList{"分类"});
        QCOMPARE(Table(page)->RowCount(), 0);
        QVERIFY(!ExportButton(page)->isEnabled());
    }

    // Monthly entries count in both tables, yearly ones in the year table only, the others
    // in neither, though they still widen the span of years; years between show zeros.
    void StatisticsModesAndYearSpan() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("月"), -1200, At(2021, 6, 1), 0);
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("年"), -800, At(2021, 7, 1), 1);
        RecordSession_cl::Book(QStringLiteral("保险"), QStringLiteral("年"), -5000, At(2023, 3, 1), 1);
        RecordSession_cl::Book(QStringLiteral("礼金"), QStringLiteral("不计"), -9900, At(2025, 1, 1), 2);
        {
            Year_cl page;
            page.show();
            Settle();
            QCOMPARE(Titles(Table(page)), (QStringList{"分类", "2021", "2022", "2023", "2024", "2025"}));
            QCOMPARE(Rows(Table(page)), (QList<QStringList>{{"餐饮", "-20.00", "0.00", "0.00", "0.00", "0.00"},
                                                            {"保险", "0.00", "0.00", "-50.00", "0.00", "0.00"},
                                                            {"【总计开销】", "-20.00", "0.00", "-50.00", "0.00", "0.00"}}));
        }
        Month_cl page;
        page.show();
        Settle();
        PickSpan(page, QDate(2021, 1, 1), QDate(2025, 12, 31));
        QCOMPARE(Table(page)->ColumnCount(), 1 + 5 * 12);
        QCOMPARE(Table(page)->RowCount(), 2);
        QCOMPARE(Table(page)->Text(0, 0), QStringLiteral("餐饮"));
        QCOMPARE(Table(page)->Text(0, 6), QStringLiteral("-12.00"));
        QCOMPARE(Table(page)->Text(0, 7), QStringLiteral("0.00"));
        QCOMPARE(Table(page)->Text(1, 0), QStringLiteral("【总计开销】"));
    }

    // Income alone gives its total row alone; a database without entries an empty table.
    void IncomeOnlyAndNothing() {
        Year_cl page;
        page.show();
        Settle();
        QCOMPARE(Table(page)->RowCount(), 0);
        QVERIFY(!ExportButton(page)->isEnabled());
        RecordSession_cl::Book(QStringLiteral("工资"), QStringLiteral("一月"), 800000, At(2022, 1, 10));
        RecordSession_cl::Book(QStringLiteral("奖金"), QStringLiteral("年终"), 250050, At(2023, 12, 31));
        page.hide();
        page.show();
        Settle();
        QCOMPARE(Rows(Table(page)), (QList<QStringList>{{"工资", "8000.00", "0.00"},
                                                        {"奖金", "0.00", "2500.50"},
                                                        {"【总计收入】", "8000.00", "2500.50"}}));
        QVERIFY(ExportButton(page)->isEnabled());
    }

    // Totals add up beyond 32 bits where no single cell does.
    void LargeTotals() {
        Vorelle_ns::UserManage_cl& users = Vorelle_ns::DataCore().GetUserManage();
        RecordSession_cl::Book(QStringLiteral("工资"), QStringLiteral("甲"), 2000000005, At(2022, 1, 10));
        // The balances are set back so that the next entry fits them.
        users.SetSingleAccount(0);
        users.SetPublicAccount(0);
        RecordSession_cl::Book(QStringLiteral("奖金"), QStringLiteral("乙"), 2000000000, At(2022, 2, 10));
        Year_cl page;
        page.show();
        Settle();
        QCOMPARE(Rows(Table(page)).last(), (QStringList{"【总计收入】", "40000000.05"}));
    }

    void UserModesByPower() {
        RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        RecordSession_cl::AddUser(QStringLiteral("独立丙"), 3);
        {
            Month_cl month;
            QCOMPARE(Items(Combo(month, Page_cl::IdUserMode)), (QStringList{"当前用户", "指定用户", "所有用户"}));
            QLineEdit* name = Combo(month, Page_cl::IdUserName)->lineEdit();
            name->insert(QString(15, u'长') + QStringLiteral("🎂🎂"));
            QCOMPARE(name->text(), QString(15, u'长') + QStringLiteral("🎂"));
            name->clear();
            Choose(Combo(month, Page_cl::IdUserMode), QStringLiteral("所有用户"));
        }
        QCOMPARE(StoredText(QStringLiteral("用户模式")), QStringLiteral("所有用户"));
        session->LogIn(QStringLiteral("小李"));
        {
            Year_cl year;
            QCOMPARE(Items(Combo(year, Page_cl::IdUserMode)).size(), 3);
        }
        session->LogIn(QStringLiteral("独立丙"));
        Unique_ns::GetCustomFromDatabase().WriteString(QStringLiteral("用户模式"), QStringLiteral("所有用户"));
        // A mode that is not offered falls back to the one that is.
        Year_cl year;
        QCOMPARE(Items(Combo(year, Page_cl::IdUserMode)), QStringList{"当前用户"});
        QCOMPARE(Combo(year, Page_cl::IdUserMode)->currentText(), QStringLiteral("当前用户"));
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void SearchByUser() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("老王的"), -100, At(2024, 5, 1));
        RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        session->LogIn(QStringLiteral("小李"));
        RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("小李的"), -200, At(2024, 5, 1));
        Month_cl page;
        page.show();
        Settle();
        PickSpan(page, QDate(2024, 5, 1), QDate(2024, 5, 31));
        CTL_ns::Report_cl* table = Table(page);
        QCOMPARE(table->Text(0, 0), QStringLiteral("交通"));
        QVERIFY(!Combo(page, Page_cl::IdUserName)->isEnabled());

        // A named user without a name: the table and the charts show nothing but why,
        // whatever dates are picked.
        Choose(Combo(page, Page_cl::IdUserMode), QStringLiteral("指定用户"));
        QVERIFY(Combo(page, Page_cl::IdUserName)->isEnabled());
        PickSpan(page, QDate(2020, 1, 1), QDate(2024, 5, 31));
        QCOMPARE(table->RowCount(), 0);
        QCOMPARE(Nothing(page)->text(), QStringLiteral("请输入用户名"));
        QVERIFY(Nothing(page)->isVisible());
        QVERIFY(!ExportButton(page)->isEnabled());

        Search(page, RecordSession_cl::SuperName);
        QCOMPARE(Titles(table).size(), 1 + 4 * 12 + 5);
        QCOMPARE(table->Text(0, 0), QStringLiteral("餐饮"));
        QCOMPARE(Items(Combo(page, Page_cl::IdUserName)), QStringList{RecordSession_cl::SuperName});
        // The searched names are one list with the record page's, as the user mode is one.
        QCOMPARE(Unique_ns::GetRecentRecordFromDatabase().List(QStringLiteral("检索用户名")).First().Get(),
                 RecordSession_cl::SuperName);
        QCOMPARE(Unique_ns::GetRecentRecordFromDatabase().List(QStringLiteral("月统计检索用户名")).Count(), 0);
        Search(page, QStringLiteral("小李"));
        QCOMPARE(Items(Combo(page, Page_cl::IdUserName)), (QStringList{"小李", RecordSession_cl::SuperName}));

        Choose(Combo(page, Page_cl::IdUserMode), QStringLiteral("所有用户"));
        QCOMPARE(Rows(table).size(), 3);  // two categories and the expense total
        QVERIFY(!Combo(page, Page_cl::IdUserName)->isEnabled());
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    // A name typed and entered: nobody's, none or a user's. Only a user's shows a table.
    void NamedUserTyped_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("nothing");
        QTest::newRow("nobody's") << "wer" << 0 << "没有用户“wer”";
        QTest::newRow("none") << "  " << 0 << "请输入用户名";
        QTest::newRow("a user's") << RecordSession_cl::SuperName << 2 << "";
    }

    void NamedUserTyped() {
        QFETCH(QString, name);
        QFETCH(int, rows);
        QFETCH(QString, nothing);
        RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("午"), -100, At(2023, 5, 1));
        for (const bool year : {false, true}) {
            // The user mode is shared by the pages: each starts on the logged-in user.
            Unique_ns::GetCustomFromDatabase().WriteString(QStringLiteral("用户模式"), QStringLiteral("当前用户"));
            std::unique_ptr<Page_cl> page;
            if (year)
                page = std::make_unique<Year_cl>();
            else
                page = std::make_unique<Month_cl>();
            page->show();
            Settle();
            if (!year) PickSpan(*page, QDate(2023, 5, 1), QDate(2023, 5, 31));
            QCOMPARE(Table(*page)->RowCount(), 2);
            Choose(Combo(*page, Page_cl::IdUserMode), QStringLiteral("指定用户"));
            Type(Combo(*page, Page_cl::IdUserName), name);
            QTest::keyClick(Combo(*page, Page_cl::IdUserName)->lineEdit(), Qt::Key_Return);
            Settle();
            QCOMPARE(Table(*page)->RowCount(), rows);
            QCOMPARE(ExportButton(*page)->isEnabled(), rows > 0);
            QCOMPARE(Nothing(*page)->isVisible(), !nothing.isEmpty());
            if (!nothing.isEmpty()) QCOMPARE(Nothing(*page)->text(), nothing);
        }
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    // A failing query is shown over the page as the system error it is.
    void FailureShown() {
        RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("午"), -100, At(2023, 5, 1));
        Year_cl page;
        page.show();
        Settle();
        Vorelle_ns::DataCore().GetDatabaseManage().CloseDatabase();
        page.hide();
        page.show();
        Settle();
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, QStringLiteral("出现严重错误，详细信息请看日志。"));
        QVERIFY(QFile::exists(environment->AppFolder() + QStringLiteral("Error.log")));
        // The list stays as it was, and so do the controls that fit it.
        QCOMPARE(Table(page)->RowCount(), 2);
        QVERIFY(ExportButton(page)->isEnabled());
    }

    // The user mode is chosen while the page is hidden: it reloads only once shown.
    void ReloadsWhenShown() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午"), -100, At(2023, 5, 1));
        Year_cl page;
        Choose(Combo(page, Page_cl::IdUserMode), QStringLiteral("所有用户"));
        QCOMPARE(Table(page)->RowCount(), 0);
        QVERIFY(!ExportButton(page)->isEnabled());
        page.show();
        Settle();
        QCOMPARE(Table(page)->RowCount(), 2);
        QVERIFY(ExportButton(page)->isEnabled());
    }

    // The main window's statistics tabs hold the pages, each filled when its tab is chosen.
    void InTheMainWindow() {
        const QDateTime today(QDate::currentDate(), QTime(0, 0));
        RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("今天"), -100, today);
        Vorelle_ns::WMainWnd_cl window;
        window.Create();
        Settle();
        Month_cl& month = window.GetMonthPage();
        Year_cl& year = window.GetYearPage();
        QCOMPARE(Table(month)->RowCount(), 0);
        QVERIFY(!ExportButton(month)->isEnabled());
        window.GetTabCtrl().SelectPage(&month);
        Settle();
        QCOMPARE(Table(month)->RowCount(), 2);
        QCOMPARE(Table(year)->RowCount(), 0);
        window.GetTabCtrl().SelectPage(&year);
        Settle();
        QCOMPARE(Titles(Table(year)), (QStringList{"分类", QString::number(QDate::currentDate().year())}));
        QVERIFY(ExportButton(year)->isEnabled());
        window.close();
    }

    // The begin date is the user's own on this database, back at his next login; the end
    // date starts at today.
    void BeginDateRemembered() {
        const QDate newYear(QDate::currentDate().year(), 1, 1);
        {
            Month_cl page;
            QCOMPARE(Picker(page, Month_cl::IdBeginDate)->date(), newYear);
            QCOMPARE(Picker(page, Month_cl::IdEndDate)->date(), QDate::currentDate());
            QVERIFY(Picker(page, Month_cl::IdBeginDate)->isEnabled());
            page.show();
            Settle();
            PickSpan(page, QDate(2023, 4, 5), QDate(2023, 9, 9));
        }
        QCOMPARE(StoredText(QStringLiteral("月统计起始日期")), QStringLiteral("2023-04-05"));
        RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        session->LogIn(QStringLiteral("小李"));
        {
            Month_cl page;
            QCOMPARE(Picker(page, Month_cl::IdBeginDate)->date(), newYear);
        }
        session->LogIn(RecordSession_cl::SuperName);
        {
            Month_cl page;
            QCOMPARE(Picker(page, Month_cl::IdBeginDate)->date(), QDate(2023, 4, 5));
            QCOMPARE(Picker(page, Month_cl::IdEndDate)->date(), QDate::currentDate());
        }
        // A remembered text that is no date gives the first of January again.
        Unique_ns::GetCustomFromDatabase().WriteString(QStringLiteral("月统计起始日期"), QStringLiteral("不是日期"));
        Month_cl page;
        QCOMPARE(Picker(page, Month_cl::IdBeginDate)->date(), newYear);
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void ExportReadsBack() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午"), -1250, At(2024, 1, 20));
        RecordSession_cl::Book(QStringLiteral("工资"), QStringLiteral("二月"), 500000, At(2024, 2, 5));
        Month_cl page;
        page.show();
        Settle();
        PickSpan(page, QDate(2024, 1, 1), QDate(2024, 2, 29));
        const QString folder = environment->AppFolder() + QStringLiteral("导出");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/月统计.csv");
        environment->prompt.files << path;
        Click(ExportButton(page));
        QCOMPARE(environment->prompt.filters, QStringList{"CSV文件 (*.csv)|*.csv|"});
        QCOMPARE(StoredText(QStringLiteral("CSV文件目录")), folder);

        IO_ns::FileStream_tl<IO_ns::CSVStream_cl> stream;
        stream.OpenForRead(path);
        QCOMPARE(stream.ColumnCount(), 3);
        QList<QStringList> lines;
        QString cell;
        while (stream.TryReadCell(cell)) {
            QStringList line{cell};
            for (int i = 1; i < 3; ++i) line << stream.ReadCell();
            lines << line;
        }
        stream.Close();
        QCOMPARE(lines, (QList<QStringList>{{"分类", "2024-01", "2024-02"},
                                            {"餐饮", "-12.5", "0"},
                                            {"工资", "0", "5000"},
                                            {"【总计开销】", "-12.5", "0"},
                                            {"【总计收入】", "0", "5000"},
                                            {"【结余】", "-12.5", "5000"}}));

        // Cancelling the file chooser writes nothing and keeps the folder.
        Click(ExportButton(page));
        QCOMPARE(StoredText(QStringLiteral("CSV文件目录")), folder);
        QVERIFY(environment->prompt.shown.isEmpty());
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WCrosstabPageTest);

#include "WCrosstabPageTest.moc"
