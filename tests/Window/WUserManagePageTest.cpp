#include "Window/WUserManagePage.h"
#include "Window/WInputUserDlg.h"

#include "UserSession.h"
#include "settings/Unique.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace WindowTesting_ns;
using Platform_ns::Answer_en;
using Vorelle_ns::WInputUserDlg_cl;
using Vorelle_ns::DataCore;
using Vorelle_ns::WUserManagePage_cl;

class WUserManagePageTest : public QObject {
    Q_OBJECT

    static QStringList Names(WUserManagePage_cl& page) {
        QStringList names;
        for (int32_t i = 0; i < page.GetList().RowCount(); ++i) names << page.GetList().Text(i, 0);
        return names;
    }
    static void SelectUser(WUserManagePage_cl& page, const QString& userName) {
        for (int32_t i = 0; i < page.GetList().RowCount(); ++i) {
            if (page.GetList().Text(i, 0) == userName) page.GetList().SelectRow(i);
        }
    }
    static QList<int> Widths(WUserManagePage_cl& page) {
        QList<int> widths;
        for (int i = 0; i < page.GetList().ColumnCount(); ++i) widths << page.GetList().columnWidth(i);
        return widths;
    }
    static int32_t UserRows(const char* table, int32_t userSn) {
        return UserSession_cl::Count(QStringLiteral("select count(*) from %1 where valid = '1' and user_sn = %2")
                                         .arg(QLatin1String(table))
                                         .arg(userSn));
    }
    static int32_t UserRecyclerRows() {
        return UserSession_cl::Count(QStringLiteral("select count(*) from zorb_recycler where info = '删除用户。'"));
    }

private slots:
    void init() { session = std::make_unique<UserSession_cl>(); }
    void cleanup() { session.reset(); }

    void ListsTheUsersWithPowerAndCreationTime() {
        const int32_t sn = session->AddUser(QStringLiteral("独立丙"), 3);
        WUserManagePage_cl page;
        QCOMPARE(page.GetList().RowCount(), 0);
        page.show();
        CTL_ns::Report_cl& list = page.GetList();
        QCOMPARE(list.Title(0), QStringLiteral("用户名"));
        QCOMPARE(list.Title(1), QStringLiteral("权限"));
        QCOMPARE(list.Title(2), QStringLiteral("创建时间"));
        QCOMPARE(Names(page), (QStringList{UserSession_cl::SuperName, QStringLiteral("独立丙")}));
        QCOMPARE(list.Text(0, 1), QStringLiteral("超级管理员"));
        QCOMPARE(list.Text(1, 1), QStringLiteral("独立"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$"))
                    .match(list.Text(1, 2))
                    .hasMatch());
        QCOMPARE(list.RowData(1), sn);
        QCOMPARE(list.selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(list.isEnabled());
        QVERIFY(page.findChild<QPushButton*>(QString::number(WUserManagePage_cl::IdNew))->isEnabled());
    }

    void NewRunsTheUserDialogAndReloads() {
        WUserManagePage_cl page;
        page.show();
        const auto watch = WhenShown<WInputUserDlg_cl>([](WInputUserDlg_cl& dialog) {
            Control<QLineEdit>(dialog, WInputUserDlg_cl::IdUserName)->setText(QStringLiteral("普通乙"));
            Type(Control<QLineEdit>(dialog, WInputUserDlg_cl::IdPassword), QStringLiteral("pw"));
            Type(Control<QLineEdit>(dialog, WInputUserDlg_cl::IdConfirm), QStringLiteral("pw"));
            Click(Control<QPushButton>(dialog, WInputUserDlg_cl::IdOK));
        });
        QTest::mouseClick(page.findChild<QPushButton*>(QString::number(WUserManagePage_cl::IdNew)), Qt::LeftButton);
        QCOMPARE(Names(page), (QStringList{UserSession_cl::SuperName, QStringLiteral("普通乙")}));
        QVERIFY(watch->ran);
        QCOMPARE(page.GetList().Text(1, 1), QStringLiteral("普通"));
        QVERIFY(session->Prompt().shown.isEmpty());
    }

    void DeleteAsksThenRemovesTheUserWithHisData() {
        const int32_t sn = session->AddUser(QStringLiteral("普通乙"), 2);
        session->LogIn(QStringLiteral("普通乙"), QStringLiteral("pw"));
        DataCore().GetRecordManage().AddRecord(QStringLiteral("餐饮"), QStringLiteral("午饭"), -1250, QString(),
                                               Base_ns::DateTime_cl::Now(), 0);
        DataCore().GetRecordManage().AddTemplate(false, QStringLiteral("餐饮"), QStringLiteral("午饭"), -1250,
                                                 QString(), 0);
        session->LogIn(UserSession_cl::SuperName, UserSession_cl::SuperPassword);
        const int32_t publicBefore = DataCore().GetUserManage().GetPublicAccount();

        session->Prompt().answers << Answer_en::Cancel << Answer_en::OK;
        WUserManagePage_cl page;
        page.show();
        SelectUser(page, QStringLiteral("普通乙"));
        QTest::keyClick(&page.GetList(), Qt::Key_Delete);
        QCOMPARE(session->Prompt().shown.size(), 1);
        // Names the user and says where his entries go.
        QCOMPARE(session->Prompt().shown[0].text,
                 QStringLiteral("确定要删除用户“普通乙”吗？\r\n该用户的1条费用记录将移到回收站，用户和记录都可以在回收站恢复。"));
        QCOMPARE(session->Prompt().shown[0].buttons, Platform_ns::Buttons_en::OKCancel);
        QCOMPARE(Names(page).size(), 2);
        QCOMPARE(UserRows("zorb_record", sn), 1);
        QCOMPARE(UserRecyclerRows(), 0);

        // The same with the mouse: the button, which only a selection enables.
        auto* remove = Control<QPushButton>(page, WUserManagePage_cl::IdDelete);
        page.GetList().clearSelection();
        QVERIFY(!remove->isEnabled());
        SelectUser(page, QStringLiteral("普通乙"));
        QVERIFY(remove->isEnabled());
        QTest::mouseClick(remove, Qt::LeftButton);
        QCOMPARE(session->Prompt().shown.size(), 2);
        QCOMPARE(Names(page), QStringList{UserSession_cl::SuperName});
        QCOMPARE(UserRows("zorb_record", sn), 0);
        QCOMPARE(UserRows("zorb_record_template", sn), 0);
        QCOMPARE(UserRecyclerRows(), 1);
        QCOMPARE(DataCore().GetUserManage().GetPublicAccount(), publicBefore + 1250);
    }

    void RefusesDeletingOneself() {
        session->AddUser(QStringLiteral("普通乙"), 2);
        WUserManagePage_cl page;
        page.show();
        QTest::keyClick(&page.GetList(), Qt::Key_Delete);
        QVERIFY(session->Prompt().shown.isEmpty());  // nothing selected, nothing asked

        SelectUser(page, UserSession_cl::SuperName);
        QTest::keyClick(&page.GetList(), Qt::Key_Delete);
        QCOMPARE(session->Prompt().shown.size(), 2);
        QCOMPARE(session->Prompt().shown[1].text, QStringLiteral("不允许删除当前用户。"));
        QCOMPARE(session->Prompt().shown[1].caption, QStringLiteral("用户错误"));
        QCOMPARE(Names(page).size(), 2);
        QCOMPARE(UserRecyclerRows(), 0);
    }

    void RemembersTheColumnWidths() {
        QList<int> defaults;
        {
            WUserManagePage_cl page;
            defaults = Widths(page);
            page.GetList().setColumnWidth(0, 90);
            page.GetList().setColumnWidth(2, 170);
        }
        QCOMPARE(Unique_ns::GetCustomFromDatabase().ReadString(QStringLiteral("用户列表"), QString()),
                 QStringLiteral("90,%1,170").arg(defaults[1]));
        WUserManagePage_cl page;
        QCOMPARE(Widths(page), (QList<int>{90, defaults[1], 170}));
    }

    void StaleWidthsKeepTheDefaults_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("fewer columns") << "80,120";
        QTest::newRow("more columns") << "80,120,60,40";
        QTest::newRow("damaged") << "80,x,60";
        QTest::newRow("negative") << "80,-1,60";
    }
    void StaleWidthsKeepTheDefaults() {
        QFETCH(QString, stored);
        QList<int> defaults;
        {
            WUserManagePage_cl page;
            defaults = Widths(page);
        }
        Unique_ns::GetCustomFromDatabase().WriteString(QStringLiteral("用户列表"), stored);
        WUserManagePage_cl page;
        QCOMPARE(Widths(page), defaults);
        QVERIFY(session->Prompt().shown.isEmpty());
    }

    void TheListGrowsWithThePage() {
        WUserManagePage_cl page;
        page.show();
        const QRect before = page.GetList().geometry();
        const QPoint button = page.findChild<QPushButton*>(QString::number(WUserManagePage_cl::IdNew))->pos();
        page.resize(page.width() + 100, page.height() + 40);
        QCOMPARE(page.GetList().geometry(), before.adjusted(0, 0, 100, 40));
        QCOMPARE(page.findChild<QPushButton*>(QString::number(WUserManagePage_cl::IdNew))->pos(), button);
    }

private:
    std::unique_ptr<UserSession_cl> session;
};

WINDOW_TEST(WUserManagePageTest);

#include "WUserManagePageTest.moc"
