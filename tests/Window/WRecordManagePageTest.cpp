#include "Window/WRecordManagePage.h"

#include "CTL/ComboBox.h"
#include "CTL/Report.h"
#include "Data/RecordFile.h"
#include "Data/RecordFileReader.h"
#include "IO/CSVStream.h"
#include "IO/FileStream.h"
#include "RecordSession.h"
#include "Window/WInputAccountDlg.h"
#include "Window/WInputRecordDlg.h"
#include "Window/WMainWnd.h"
#include "WindowTesting.h"
#include "settings/Unique.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace WindowTesting_ns;
using CTL_ns::ComboBox_cl;
using Page_cl = Vorelle_ns::WRecordManagePage_cl;

namespace {

QDateTime At(int year, int month, int day, int hour = 12) { return QDateTime(QDate(year, month, day), QTime(hour, 0)); }

ComboBox_cl* Combo(QWidget& page, int32_t id) { return Control<ComboBox_cl>(page, id); }
QPushButton* Button(QWidget& page, int32_t id) { return Control<QPushButton>(page, id); }
QDateEdit* Picker(QWidget& page, int32_t id) { return Control<QDateEdit>(page, id); }
CTL_ns::Report_cl* List(QWidget& page, int32_t id) { return Control<CTL_ns::Report_cl>(page, id); }

QStringList Items(ComboBox_cl* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

QStringList Row(CTL_ns::Report_cl* list, int32_t row) {
    QStringList texts;
    for (int column = 0; column < list->ColumnCount(); ++column) texts << list->Text(row, column);
    return texts;
}

QList<QStringList> Rows(CTL_ns::Report_cl* list) {
    QList<QStringList> rows;
    for (int32_t i = 0; i < list->RowCount(); ++i) rows << Row(list, i);
    return rows;
}

void ChooseByText(ComboBox_cl* combo, const QString& text) {
    QVERIFY(combo->SelectByText(text));
    Settle();
}

// A custom span, picked as a person would: the custom mode, then both dates.
void PickSpan(QWidget& page, const QDate& begin, const QDate& end) {
    ChooseByText(Combo(page, Page_cl::IdDateMode), QStringLiteral("自定义"));
    Picker(page, Page_cl::IdBeginDate)->setDate(begin);
    Picker(page, Page_cl::IdEndDate)->setDate(end);
    Settle();
}

// Writes rows as a CSV file in the program's own format.
void WriteCsv(const QString& path, const QList<QStringList>& rows) {
    IO_ns::FileStream_tl<IO_ns::CSVStream_cl> stream;
    stream.OpenForWrite(path);
    stream.SetColumnCount(int32_t(rows[0].size()));
    for (const QStringList& row : rows) {
        for (const QString& cell : row) stream.WriteCell(cell);
    }
    stream.Close();
}

const QStringList kHeader = {"日期", "分类", "费用名称", "金额", "用户", "类别", "注释"};

}  // namespace

class WRecordManagePageTest : public QObject {
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

    void UserModesByPower() {
        RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        RecordSession_cl::AddUser(QStringLiteral("独立丙"), 3);
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("老王的"), -100, At(2024, 5, 1));
        {
            Page_cl page;
            QCOMPARE(Items(Combo(page, Page_cl::IdUserMode)), (QStringList{"当前用户", "指定用户", "所有用户"}));
            QVERIFY(Items(Combo(page, Page_cl::IdCategory)).contains(QStringLiteral("餐饮")));
        }
        session->LogIn(QStringLiteral("小李"));
        {
            Page_cl page;
            QCOMPARE(Items(Combo(page, Page_cl::IdUserMode)).size(), 3);
        }
        session->LogIn(QStringLiteral("独立丙"));
        RecordSession_cl::Book(QStringLiteral("零食"), QStringLiteral("薯片"), -500, At(2024, 5, 1));
        Page_cl page;
        QCOMPARE(Items(Combo(page, Page_cl::IdUserMode)), QStringList{"当前用户"});
        // Nor the categories only others made or booked under.
        QCOMPARE(Items(Combo(page, Page_cl::IdCategory)), (QStringList{"全部分类", "零食"}));
    }

    void DateModesAndTheirSteps() {
        Page_cl page;
        page.show();
        Settle();
        const QDate today = QDate::currentDate();
        QDateEdit* begin = Picker(page, Page_cl::IdBeginDate);
        QDateEdit* end = Picker(page, Page_cl::IdEndDate);
        QCOMPARE(begin->date(), today);
        Click(Button(page, Page_cl::IdNext));
        QCOMPARE(begin->date(), today.addDays(1));
        QCOMPARE(end->date(), today.addDays(1));

        ChooseByText(Combo(page, Page_cl::IdDateMode), QStringLiteral("当月"));
        QCOMPARE(Button(page, Page_cl::IdPrevious)->text(), QStringLiteral("前一月(&P)"));
        QCOMPARE(Button(page, Page_cl::IdNext)->text(), QStringLiteral("后一月(&T)"));
        QCOMPARE(begin->date(), QDate(today.year(), today.month(), 1));
        QCOMPARE(end->date(), QDate(today.year(), today.month(), today.daysInMonth()));

        ChooseByText(Combo(page, Page_cl::IdDateMode), QStringLiteral("最近三十天"));
        QCOMPARE(Button(page, Page_cl::IdPrevious)->text(), QStringLiteral("前三十天(&P)"));
        // Thirty days with today; each step the thirty before, sharing no day.
        QCOMPARE(begin->date(), today.addDays(-29));
        QCOMPARE(end->date(), today);
        Click(Button(page, Page_cl::IdPrevious));
        QCOMPARE(end->date(), today.addDays(-30));
        Click(Button(page, Page_cl::IdPrevious));
        QCOMPARE(begin->date(), today.addDays(-89));
        QCOMPARE(end->date(), today.addDays(-60));

        ChooseByText(Combo(page, Page_cl::IdDateMode), QStringLiteral("自定义"));
        QCOMPARE(Button(page, Page_cl::IdPrevious)->text(), QStringLiteral("前一段(&P)"));
        QCOMPARE(begin->date(), today.addDays(-89));
        QVERIFY(begin->isEnabled());
        QVERIFY(!Button(page, Page_cl::IdPrevious)->isEnabled());
    }

    void MonthStepsOverLeapFebruaryAndYearEnds() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("二月末"), -100, At(2024, 2, 29, 23));
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("三月初"), -100, At(2024, 3, 1, 0));
        Page_cl page;
        page.show();
        Settle();
        ChooseByText(Combo(page, Page_cl::IdDateMode), QStringLiteral("当月"));
        QDateEdit* begin = Picker(page, Page_cl::IdBeginDate);
        QDateEdit* end = Picker(page, Page_cl::IdEndDate);
        begin->setDate(QDate(2024, 3, 15));
        Click(Button(page, Page_cl::IdPrevious));
        QCOMPARE(begin->date(), QDate(2024, 2, 1));
        QCOMPARE(end->date(), QDate(2024, 2, 29));
        QCOMPARE(Rows(List(page, Page_cl::IdRecords)).size(), 1);
        QCOMPARE(List(page, Page_cl::IdRecords)->Text(0, 2), QStringLiteral("二月末"));

        begin->setDate(QDate(2024, 12, 10));
        Click(Button(page, Page_cl::IdNext));
        QCOMPARE(begin->date(), QDate(2025, 1, 1));
        QCOMPARE(end->date(), QDate(2025, 1, 31));
        begin->setDate(QDate(2025, 1, 5));
        Click(Button(page, Page_cl::IdPrevious));
        QCOMPARE(begin->date(), QDate(2024, 12, 1));
        QCOMPARE(end->date(), QDate(2024, 12, 31));
    }

    void ListsNewestFirstWithSumsAndTotals() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午饭"), -1250, At(2024, 5, 1), 0,
                               QStringLiteral("食堂"));
        RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("地铁"), -300, At(2024, 5, 3), 1);
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("晚饭"), -2000, At(2024, 5, 2), 2);
        Page_cl page;
        page.show();
        Settle();
        // Nothing booked today: nothing to export.
        QCOMPARE(List(page, Page_cl::IdRecords)->RowCount(), 0);
        QVERIFY(!Button(page, Page_cl::IdExport)->isEnabled());
        PickSpan(page, QDate(2024, 5, 1), QDate(2024, 5, 3));
        QCOMPARE(Rows(List(page, Page_cl::IdRecords)),
                 (QList<QStringList>{{"2024-05-03", "交通", "地铁", "-3.00", RecordSession_cl::SuperName, "年开销", ""},
                                     {"2024-05-02", "餐饮", "晚饭", "-20.00", RecordSession_cl::SuperName, "开销", ""},
                                     {"2024-05-01", "餐饮", "午饭", "-12.50", RecordSession_cl::SuperName, "月开销", "食堂"}}));
        QCOMPARE(Rows(List(page, Page_cl::IdSums)),
                 (QList<QStringList>{{"交通", "-3.00"}, {"餐饮", "-32.50"}, {"【总计开销】", "-35.50"}}));
        QVERIFY(Button(page, Page_cl::IdExport)->isEnabled());

        RecordSession_cl::Book(QStringLiteral("工资"), QString(), 880000, At(2024, 5, 2, 13), 0);
        page.Reload();
        QCOMPARE(Row(List(page, Page_cl::IdRecords), 1),
                 (QStringList{"2024-05-02", "工资", "", "8800.00", RecordSession_cl::SuperName, "月收入", ""}));
        const QList<QStringList> sums = Rows(List(page, Page_cl::IdSums));
        QCOMPARE(sums.mid(sums.size() - 3),
                 (QList<QStringList>{{"【总计开销】", "-35.50"}, {"【总计收入】", "8800.00"}, {"【结余】", "8764.50"}}));
        // Figures read right-aligned, so that their decimals line up.
        CTL_ns::Report_cl* sumList = List(page, Page_cl::IdSums);
        for (CTL_ns::Report_cl* list : {List(page, Page_cl::IdRecords), sumList}) {
            const int column = list == sumList ? 1 : 3;
            QVERIFY(list->model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
            QVERIFY(list->model()->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
        }
        QCOMPARE(Control<QLabel>(page, Page_cl::IdAccount)->text(), QStringLiteral("个人帐户 8764.50"));
    }

    void NamedAndAllUsers() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("老王的"), -100, At(2024, 5, 1));
        RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        session->LogIn(QStringLiteral("小李"));
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("小李的"), -200, At(2024, 5, 1));
        Page_cl page;
        page.show();
        Settle();
        PickSpan(page, QDate(2024, 5, 1), QDate(2024, 5, 1));
        CTL_ns::Report_cl* records = List(page, Page_cl::IdRecords);
        QCOMPARE(records->RowCount(), 1);

        // A named user with no name given, or a name nobody has: nothing is shown, and why.
        ChooseByText(Combo(page, Page_cl::IdUserMode), QStringLiteral("指定用户"));
        QVERIFY(Combo(page, Page_cl::IdUserName)->isEnabled());
        QVERIFY(!Control<QCheckBox>(page, Page_cl::IdShowAccount)->isEnabled());
        QVERIFY(!Control<QLabel>(page, Page_cl::IdAccount)->isVisible());
        QLabel* matches = Control<QLabel>(page, Page_cl::IdMatches);
        const QString unknown = QStringLiteral("无名氏");
        for (const QString& name : {QString(), unknown}) {
            Type(Combo(page, Page_cl::IdUserName), name);
            QTest::keyClick(Combo(page, Page_cl::IdUserName)->lineEdit(), Qt::Key_Return);
            Picker(page, Page_cl::IdBeginDate)->setDate(QDate(2020, 1, 1 + int(name.size())));
            Settle();
            QCOMPARE(records->RowCount(), 0);
            QCOMPARE(List(page, Page_cl::IdSums)->RowCount(), 0);
            QCOMPARE(matches->text(), name.isEmpty() ? QStringLiteral("请输入用户名") : QStringLiteral("没有用户“无名氏”"));
        }

        // The typed name counts once the box loses the focus (the combo box receives the
        // event, as on Tab) or Enter is pressed.
        Type(Combo(page, Page_cl::IdUserName), QStringLiteral("小李"));
        QTest::keyClick(Combo(page, Page_cl::IdUserName)->lineEdit(), Qt::Key_Return);
        Settle();
        QCOMPARE(records->RowCount(), 1);
        QCOMPARE(records->Text(0, 2), QStringLiteral("小李的"));
        Type(Combo(page, Page_cl::IdUserName), RecordSession_cl::SuperName);
        QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(Combo(page, Page_cl::IdUserName), &leaving);
        Settle();
        QCOMPARE(records->RowCount(), 1);
        QCOMPARE(records->Text(0, 2), QStringLiteral("老王的"));
        QCOMPARE(Items(Combo(page, Page_cl::IdUserName)).first(), RecordSession_cl::SuperName);
        QCOMPARE(Unique_ns::GetRecentRecordFromDatabase().List(QStringLiteral("检索用户名")).First().Get(),
                 RecordSession_cl::SuperName);

        ChooseByText(Combo(page, Page_cl::IdUserMode), QStringLiteral("所有用户"));
        QCOMPARE(records->RowCount(), 2);
        QCOMPARE(Control<QLabel>(page, Page_cl::IdAccount)->text(), QStringLiteral("公共帐户 -3.00"));
        // Only the super administrator changes the public account.
        QVERIFY(!Button(page, Page_cl::IdChangeAccount)->isEnabled());
    }

    void DeletesSeveralRowsAtOnce() {
        for (int day = 1; day <= 3; ++day) {
            RecordSession_cl::Book(QStringLiteral("餐饮"), QString::number(day), -100 * day, At(2024, 5, day));
        }
        Page_cl page;
        page.show();
        Settle();
        PickSpan(page, QDate(2024, 5, 1), QDate(2024, 5, 3));
        QCOMPARE(RecordSession_cl::SingleAccount(), -600);
        CTL_ns::Report_cl* records = List(page, Page_cl::IdRecords);
        records->SelectRow(0);
        records->SelectRow(2);
        // Asked first, saying how many and whose; "No" keeps them.
        environment->prompt.answers = {Platform_ns::Answer_en::No};
        QTest::keyClick(records, Qt::Key_Delete);
        QCOMPARE(records->RowCount(), 3);
        QTest::keyClick(records, Qt::Key_Delete);
        QCOMPARE(environment->prompt.shown.size(), 2);
        QCOMPARE(environment->prompt.shown[0].text,
                 QStringLiteral("确定要删除选中的2条费用记录吗？\r\n用户：") + RecordSession_cl::SuperName);
        QCOMPARE(environment->prompt.shown[0].buttons, Platform_ns::Buttons_en::YesNo);
        QCOMPARE(records->RowCount(), 1);
        QCOMPARE(records->Text(0, 2), QStringLiteral("2"));
        QCOMPARE(RecordSession_cl::SingleAccount(), -200);
        QCOMPARE(RecordSession_cl::PublicAccount(), -200);
        QCOMPARE(Control<QLabel>(page, Page_cl::IdAccount)->text(), QStringLiteral("个人帐户 -2.00"));
        QCOMPARE(RecordSession_cl::Count(QStringLiteral("select count(*) from zorb_recycler")), 1);
    }

    void EnterEditsTheFirstSelectedRow() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("早"), -100, At(2024, 5, 1));
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("晚"), -100, At(2024, 5, 2));
        Page_cl page;
        page.show();
        Settle();
        PickSpan(page, QDate(2024, 5, 1), QDate(2024, 5, 2));
        CTL_ns::Report_cl* records = List(page, Page_cl::IdRecords);
        records->SelectRow(1);
        records->SelectRow(0);
        QString edited;
        WhenShown<Vorelle_ns::WInputRecordDlg_cl>([&](Vorelle_ns::WInputRecordDlg_cl& dialog) {
            edited = Control<ComboBox_cl>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdName)->Text();
            Type(Control<ComboBox_cl>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdAmount), QStringLiteral("7"));
            Click(Control<QPushButton>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdOK));
        });
        QTest::keyClick(records, Qt::Key_Return);
        QCOMPARE(edited, QStringLiteral("晚"));
        QCOMPARE(Row(records, 0)[3], QStringLiteral("-7.00"));
    }

    void NewEntriesReachTheVisiblePageThroughTheMainWindow() {
        Vorelle_ns::WMainWnd_cl window;
        window.Create();
        window.GetTabCtrl().SelectPage(&window.GetRecordPage());
        Settle();
        Page_cl& page = window.GetRecordPage();
        QCOMPARE(List(page, Page_cl::IdRecords)->RowCount(), 0);
        int32_t rowsWhileOpen = -1;
        WhenShown<Vorelle_ns::WInputRecordDlg_cl>([&](Vorelle_ns::WInputRecordDlg_cl& dialog) {
            Type(Control<ComboBox_cl>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdCategory), QStringLiteral("餐饮"));
            Type(Control<ComboBox_cl>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdAmount), QStringLiteral("9"));
            Click(Control<QPushButton>(dialog, Vorelle_ns::WInputRecordDlg_cl::IdOK));
            Settle();
            rowsWhileOpen = List(page, Page_cl::IdRecords)->RowCount();
            dialog.reject();
        });
        Click(Button(page, Page_cl::IdNew));
        QCOMPARE(rowsWhileOpen, 1);
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void ChangesTheAccounts() {
        Page_cl page;
        page.show();
        Settle();
        WhenShown<Vorelle_ns::WInputAccountDlg_cl>([](Vorelle_ns::WInputAccountDlg_cl& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("设置个人账户"));
            Type(Control<QLineEdit>(dialog, Vorelle_ns::WInputAccountDlg_cl::IdAmount), QStringLiteral("100.5"));
            Click(Control<QPushButton>(dialog, Vorelle_ns::WInputAccountDlg_cl::IdOK));
        });
        Click(Button(page, Page_cl::IdChangeAccount));
        QCOMPARE(RecordSession_cl::SingleAccount(), 10050);
        QCOMPARE(Control<QLabel>(page, Page_cl::IdAccount)->text(), QStringLiteral("个人帐户 100.50"));

        ChooseByText(Combo(page, Page_cl::IdUserMode), QStringLiteral("所有用户"));
        WhenShown<Vorelle_ns::WInputAccountDlg_cl>([](Vorelle_ns::WInputAccountDlg_cl& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("设置公共账户"));
            Type(Control<QLineEdit>(dialog, Vorelle_ns::WInputAccountDlg_cl::IdAmount), QStringLiteral("-3"));
            Click(Control<QPushButton>(dialog, Vorelle_ns::WInputAccountDlg_cl::IdOK));
        });
        Click(Button(page, Page_cl::IdChangeAccount));
        QCOMPARE(RecordSession_cl::PublicAccount(), -300);
        QCOMPARE(Control<QLabel>(page, Page_cl::IdAccount)->text(), QStringLiteral("公共帐户 -3.00"));

        // Unchecked, the account line goes.
        Click(Control<QCheckBox>(page, Page_cl::IdShowAccount));
        QVERIFY(!Control<QLabel>(page, Page_cl::IdAccount)->isVisible());
        QVERIFY(!Button(page, Page_cl::IdChangeAccount)->isVisible());
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void RemembersItsSettings() {
        {
            Page_cl page;
            page.show();
            Settle();
            PickSpan(page, QDate(2024, 5, 1), QDate(2024, 5, 31));
        }
        {
            // The range set by hand comes back as it was.
            Page_cl page;
            page.show();
            Settle();
            QCOMPARE(Combo(page, Page_cl::IdDateMode)->currentText(), QStringLiteral("自定义"));
            QCOMPARE(Picker(page, Page_cl::IdBeginDate)->date(), QDate(2024, 5, 1));
            QCOMPARE(Picker(page, Page_cl::IdEndDate)->date(), QDate(2024, 5, 31));
            ChooseByText(Combo(page, Page_cl::IdDateMode), QStringLiteral("当月"));
            ChooseByText(Combo(page, Page_cl::IdUserMode), QStringLiteral("所有用户"));
            Click(Control<QCheckBox>(page, Page_cl::IdShowAccount));
            List(page, Page_cl::IdRecords)->setColumnWidth(0, 123);
        }
        Page_cl page;
        page.show();
        Settle();
        QCOMPARE(Combo(page, Page_cl::IdDateMode)->currentText(), QStringLiteral("当月"));
        QCOMPARE(Combo(page, Page_cl::IdUserMode)->currentText(), QStringLiteral("所有用户"));
        QVERIFY(!Control<QCheckBox>(page, Page_cl::IdShowAccount)->isChecked());
        QCOMPARE(List(page, Page_cl::IdRecords)->columnWidth(0), 123);
        QCOMPARE(Picker(page, Page_cl::IdBeginDate)->date().day(), 1);
    }

    void ExportThenImportIntoAnotherDatabase() {
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午饭"), -1250, At(2024, 5, 1), 0,
                               QStringLiteral("食堂, 二楼"));
        RecordSession_cl::Book(QStringLiteral("工资"), QString(), 880000, At(2024, 5, 2), 1);
        RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("打车"), -4321, At(2024, 5, 3), 2,
                               QStringLiteral("说\"快\"\n第二行"));
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("别月"), -1, At(2024, 6, 1));
        const QString path = environment->AppFolder() + QStringLiteral("五月.csv");
        {
            Page_cl page;
            page.show();
            Settle();
            PickSpan(page, QDate(2024, 5, 1), QDate(2024, 5, 31));
            environment->prompt.files << path;
            Click(Button(page, Page_cl::IdExport));
            QVERIFY(environment->prompt.shown.isEmpty());
        }
        QVERIFY(QFile::exists(path));
        QCOMPARE(Unique_ns::GetCustomFromDatabase().ReadString(QStringLiteral("CSV文件目录"), QString()),
                 environment->AppFolder().chopped(1));
        QCOMPARE(environment->prompt.filters.first(), QStringLiteral("CSV文件 (*.csv)|*.csv|"));

        // The same user in another database takes the file in whole.
        RecordSession_cl other(QStringLiteral("另一个"));
        Page_cl page;
        page.show();
        Settle();
        environment->prompt.files << path;
        Click(Button(page, Page_cl::IdImport));
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, QStringLiteral("导入费用记录成功，共导入3条。"));
        QCOMPARE(environment->prompt.shown[0].caption, Vorelle_ns::DataCore_cl::GetProductName());
        QCOMPARE(RecordSession_cl::LiveRecords(), 3);
        QCOMPARE(RecordSession_cl::SingleAccount(), 880000 - 1250 - 4321);
        QCOMPARE(RecordSession_cl::PublicAccount(), 880000 - 1250 - 4321);
        PickSpan(page, QDate(2024, 5, 1), QDate(2024, 5, 31));
        QCOMPARE(Rows(List(page, Page_cl::IdRecords)),
                 (QList<QStringList>{{"2024-05-03", "交通", "打车", "-43.21", RecordSession_cl::SuperName, "开销",
                                      "说\"快\"\n第二行"},
                                     {"2024-05-02", "工资", "", "8800.00", RecordSession_cl::SuperName, "年收入", ""},
                                     {"2024-05-01", "餐饮", "午饭", "-12.50", RecordSession_cl::SuperName, "月开销",
                                      "食堂, 二楼"}}));
    }

    // Text GBK lacks: the export asks, and writes UTF-8 with its mark or nothing at all.
    void ExportOffersUtf8ForTextGbkLacks_data() {
        QTest::addColumn<Platform_ns::Answer_en>("answer");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("yes") << Platform_ns::Answer_en::Yes << QByteArray("\xEF\xBB\xBF\xE6\x97\xA5");
        QTest::newRow("no") << Platform_ns::Answer_en::No << QByteArray();
    }

    void ExportOffersUtf8ForTextGbkLacks() {
        QFETCH(Platform_ns::Answer_en, answer);
        QFETCH(QByteArray, start);
        RecordSession_cl::Book(QStringLiteral("礼物"), QStringLiteral("蛋糕"), -9900, At(2024, 5, 1, 18), 0,
                               QStringLiteral("生日🎂"));
        const QString path = environment->AppFolder() + QStringLiteral("生日.csv");
        Page_cl page;
        page.show();
        Settle();
        PickSpan(page, QDate(2024, 5, 1), QDate(2024, 5, 31));
        environment->prompt.files << path;
        environment->prompt.answers << answer;
        Click(Button(page, Page_cl::IdExport));
        QCOMPARE(environment->prompt.shown.size(), 1);
        QVERIFY(environment->prompt.shown[0].text.contains(QStringLiteral("UTF-8")));
        QFile file(path);
        QCOMPARE(file.open(QIODevice::ReadOnly) ? file.read(6) : QByteArray(), start);
        if (start.isEmpty()) return;
        Vorelle_ns::RecordFileReader_cl reader(path);
        Vorelle_ns::RecordInfo_st read;
        QVERIFY(reader.Next(read));
        QVERIFY(!reader.Next(read));
        QCOMPARE(read.comment, QStringLiteral("生日🎂"));
        QCOMPARE(read.recordTime, Base_ns::DateTime_cl::FromQDateTime(At(2024, 5, 1, 18)));
    }

    void ImportRefusals_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QString>("text");
        const QStringList good = {"2024-05-01", "餐饮", "午饭", "-12.5", RecordSession_cl::SuperName, "月开销", ""};
        const auto with = [&](int column, const QString& value) {
            QStringList row = good;
            row[column] = value;
            return row;
        };
        QTest::newRow("6 columns") << QList<QStringList>{kHeader.mid(0, 6), good.mid(0, 6)}
                                   << "CSV文件内容不正确，列数不一致。";
        QTest::newRow("8 columns") << QList<QStringList>{kHeader + QStringList{"多"}, good + QStringList{""}}
                                   << "CSV文件内容不正确，列数不一致。";
        QStringList blank = kHeader;
        blank[0] = QStringLiteral("日期 ");
        QTest::newRow("header blank") << QList<QStringList>{blank, good} << "CSV文件内容不正确，列头信息有误。";
        QTest::newRow("thousands") << QList<QStringList>{kHeader, good, with(3, "-1,000")}
                                   << "CSV文件内容不正确，金额应该为数字。\r\n第3行";
        QTest::newRow("exponent") << QList<QStringList>{kHeader, with(3, "-1e3")}
                                  << "CSV文件内容不正确，金额应该为数字。\r\n第2行";
        QTest::newRow("beyond 32 bits") << QList<QStringList>{kHeader, with(3, "-21474836.49")}
                                        << "CSV文件内容不正确，金额太大，最多为21474836.47。\r\n第2行";
        QTest::newRow("zero") << QList<QStringList>{kHeader, with(3, "-0.00")}
                              << "CSV文件内容不正确，金额不能为零。\r\n第2行";
        QTest::newRow("a third decimal") << QList<QStringList>{kHeader, with(3, "-0.004")}
                                         << "CSV文件内容不正确，金额应该为数字。\r\n第2行";
        // A positive expense is a refund; a negative income is nothing.
        QTest::newRow("sign and kind") << QList<QStringList>{kHeader, good, good, with(5, "月收入")}
                                       << "CSV文件内容不正确，金额与类别不一致。\r\n第4行";
        QTest::newRow("kind text") << QList<QStringList>{kHeader, with(5, "月开销 ")}
                                   << "CSV文件内容不正确，统计方式不正确。\r\n第2行";
        QTest::newRow("date") << QList<QStringList>{kHeader, with(0, "五月一日")}
                              << "CSV文件内容不正确，日期不正确。\r\n第2行";
        QTest::newRow("category 17") << QList<QStringList>{kHeader, with(1, QString(17, u'类'))}
                                     << "CSV文件内容不正确，分类过长，最多16个字（组合成的表情按其中的每个字计算）。\r\n第2行";
        QTest::newRow("name 17") << QList<QStringList>{kHeader, with(2, QString(17, u'名'))}
                                 << "CSV文件内容不正确，费用名称过长，最多16个字（组合成的表情按其中的每个字计算）。\r\n第2行";
        QTest::newRow("comment 256") << QList<QStringList>{kHeader, with(6, QString(256, u'注'))}
                                     << "CSV文件内容不正确，注释过长，最多255个字（组合成的表情按其中的每个字计算）。\r\n第2行";
        QTest::newRow("apostrophe") << QList<QStringList>{kHeader, good, with(6, "Tom's")}
                                    << "CSV文件内容不正确，有非法字符。\r\n第3行";
        QTest::newRow("line numbers count broken lines")
            << QList<QStringList>{kHeader, with(6, "一\n二"), with(3, "x")}
            << "CSV文件内容不正确，金额应该为数字。\r\n第4行";
        QTest::newRow("not registered") << QList<QStringList>{kHeader, good, with(4, "没这人")}
                                        << "该用户名没有注册。\r\n没这人\r\n第3行";
    }

    void ImportRefusals() {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, text);
        const QString path = environment->AppFolder() + QStringLiteral("坏.csv");
        WriteCsv(path, rows);
        Page_cl page;
        page.show();
        Settle();
        environment->prompt.files << path;
        Click(Button(page, Page_cl::IdImport));
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, text);
        QCOMPARE(environment->prompt.shown[0].caption, QStringLiteral("用户错误"));
        QCOMPARE(RecordSession_cl::LiveRecords(), 0);
        QCOMPARE(RecordSession_cl::SingleAccount(), 0);
    }

    void ImportOfOthersEntriesOnlyBySuperAdministrator() {
        RecordSession_cl::AddUser(QStringLiteral("老张"), 1);
        const QString path = environment->AppFolder() + QStringLiteral("别人.csv");
        WriteCsv(path, {kHeader,
                        {"2024-05-01", "餐饮", "", "-1", "老张", "开销", ""},
                        {"2024-05-01", "餐饮", "", "-2", RecordSession_cl::SuperName, "开销", ""}});
        session->LogIn(QStringLiteral("老张"));
        {
            Page_cl page;
            page.show();
            environment->prompt.files << path;
            Click(Button(page, Page_cl::IdImport));
            QCOMPARE(environment->prompt.shown.size(), 1);
            QCOMPARE(environment->prompt.shown[0].text,
                     QStringLiteral("只有超级管理员才能导入其它用户的费用记录，你只能导入自己的费用记录。\r\n") +
                         RecordSession_cl::SuperName + QStringLiteral("\r\n第3行"));
            QCOMPARE(RecordSession_cl::LiveRecords(), 0);
        }
        session->LogIn(RecordSession_cl::SuperName);
        Page_cl page;
        page.show();
        environment->prompt.files << path;
        Click(Button(page, Page_cl::IdImport));
        QCOMPARE(environment->prompt.shown.last().text, QStringLiteral("导入费用记录成功，共导入2条。"));
        QCOMPARE(RecordSession_cl::LiveRecords(), 2);
        QCOMPARE(RecordSession_cl::SingleAccount(), -200);
        QCOMPARE(RecordSession_cl::PublicAccount(), -300);
    }

    // A file imported once more: what the book holds already is named before anything is
    // booked, and booked again only when the user says so. Two alike rows of one file are
    // two entries.
    void ASecondImportNamesTheEntriesTheBookHoldsAndAsks() {
        const QString path = environment->AppFolder() + QStringLiteral("两次.csv");
        const QString me = RecordSession_cl::SuperName;
        WriteCsv(path, {kHeader,
                        {"2024-05-01", "餐饮", "午饭", "-1", me, "月开销", ""},
                        {"2024-05-01", "餐饮", "午饭", "-1", me, "月开销", ""},
                        {"2024-05-02", "餐饮", "晚饭", "-2", me, "月开销", "二楼"}});
        Page_cl page;
        page.show();
        Settle();
        const struct {
            Platform_ns::Answer_en answer;
            QString first;  // what the user is shown first
            int32_t live;
        } steps[] = {
            {Platform_ns::Answer_en::Yes, QStringLiteral("导入费用记录成功，共导入3条。"), 3},
            {Platform_ns::Answer_en::No,
             QStringLiteral("这3条与账本中已有的记录相同（第一条在第2行），这个文件可能已经导入过。\r\n"
                            "仍然全部导入吗？选择“否”则不导入。"),
             3},
            {Platform_ns::Answer_en::Yes,
             QStringLiteral("这3条与账本中已有的记录相同（第一条在第2行），这个文件可能已经导入过。\r\n"
                            "仍然全部导入吗？选择“否”则不导入。"),
             6},
        };
        for (const auto& step : steps) {
            environment->prompt.shown.clear();
            environment->prompt.files << path;
            environment->prompt.answers << step.answer;
            Click(Button(page, Page_cl::IdImport));
            QVERIFY(!environment->prompt.shown.isEmpty());
            QCOMPARE(environment->prompt.shown.first().text, step.first);
            QCOMPARE(RecordSession_cl::LiveRecords(), step.live);
        }
        QCOMPARE(environment->prompt.shown.last().text, QStringLiteral("导入费用记录成功，共导入3条。"));
        QCOMPARE(RecordSession_cl::SingleAccount(), -800);
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WRecordManagePageTest);

#include "WRecordManagePageTest.moc"
