#include "Control/DataCore.h"
#include "CTL/Report.h"
#include "Data/BookBackup.h"
#include "Window/WRestoreBackupPage.h"
#include "Window/WSetSuperAdminDlg.h"
#include "Window/WStartDlg.h"
#include "WindowTesting.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

using namespace WindowTesting_ns;
using Vorelle_ns::WCreateLocalDBPage_cl;
using Vorelle_ns::WLoginPage_cl;
using Vorelle_ns::WRestoreBackupPage_cl;
using Vorelle_ns::WSetSuperAdminDlg_cl;
using Vorelle_ns::WStartDlg_cl;

class WStartDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

    // A first run, with no saved database, opens on "创建数据库".
    void FirstTab() {
        for (const int32_t known : {0, 1}) {
            if (known != 0)
                AddDatabase(QStringLiteral("家庭"), environment->AppFolder() + QStringLiteral("a.mdb"), QStringLiteral("u"),
                            QStringLiteral("p"));
            WStartDlg_cl dialog;
            dialog.show();
            QCOMPARE(dialog.windowTitle(), QStringLiteral("ZantheVorelle管理软件 v0.1.2"));
            QCOMPARE(dialog.GetTabCtrl().TabBar()->tabText(0), QStringLiteral("用户登录"));
            QCOMPARE(dialog.GetTabCtrl().CurrentIndex(), known != 0 ? 0 : 1);
            QCOMPARE(dialog.GetLoginPage().isVisible(), known != 0);
            QCOMPARE(dialog.GetCreateDBPage().GetLocalPage().isVisible(), known == 0);
        }
    }

    void CreatedDatabaseLandsOnLogin() {
        AddDatabase(QStringLiteral("旧"), environment->AppFolder() + QStringLiteral("a.mdb"), QStringLiteral("u"),
                    QStringLiteral("p"));
        WStartDlg_cl dialog;
        dialog.show();
        dialog.GetTabCtrl().Select(1);
        WCreateLocalDBPage_cl& page = dialog.GetCreateDBPage().GetLocalPage();
        Type(Control<QLineEdit>(page, WCreateLocalDBPage_cl::IdName), QStringLiteral("家庭"));
        Type(Control<QLineEdit>(page, WCreateLocalDBPage_cl::IdPassword), QStringLiteral("pw"));
        Type(Control<QLineEdit>(page, WCreateLocalDBPage_cl::IdConfirm), QStringLiteral("pw"));
        const auto answered = WhenShown<WSetSuperAdminDlg_cl>(
            [](WSetSuperAdminDlg_cl& admin) {
                Type(Control<QLineEdit>(admin, WSetSuperAdminDlg_cl::IdUserName), QStringLiteral("管理员"));
                Type(Control<QLineEdit>(admin, WSetSuperAdminDlg_cl::IdPassword), QStringLiteral("admin"));
                Type(Control<QLineEdit>(admin, WSetSuperAdminDlg_cl::IdConfirm), QStringLiteral("admin"));
                QTest::keyClick(Control<QLineEdit>(admin, WSetSuperAdminDlg_cl::IdConfirm), Qt::Key_Return);
            });
        Click(Control<QPushButton>(page, WCreateLocalDBPage_cl::IdCreate));
        Settle();

        QVERIFY(answered->ran);
        QVERIFY(environment->prompt.shown.isEmpty());
        QCOMPARE(dialog.GetTabCtrl().CurrentIndex(), 0);
        WLoginPage_cl& login = dialog.GetLoginPage();
        auto* databases = Control<CTL_ns::ComboBox_cl>(login, WLoginPage_cl::IdDatabase);
        QCOMPARE(databases->count(), 2);
        QCOMPARE(databases->currentIndex(), 1);
        QCOMPARE(databases->currentText(), QStringLiteral("家庭"));
        QCOMPARE(Control<CTL_ns::ComboBox_cl>(login, WLoginPage_cl::IdUserName)->Text(), QStringLiteral("管理员"));
        QLineEdit* password = Control<QLineEdit>(login, WLoginPage_cl::IdPassword);
        QCOMPARE(password->text(), QString());
        QCOMPARE(dialog.focusWidget(), password);

        // The user goes on with the password and Enter.
        Type(password, QStringLiteral("admin"));
        QTest::keyClick(password, Qt::Key_Return);
        Settle();
        QVERIFY(environment->prompt.shown.isEmpty());
        QVERIFY(dialog.IsLoginSucceeded());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }

    void EnterOnlyOnLoginTab() {
        WStartDlg_cl dialog;
        dialog.show();
        QTest::keyClick(Control<QLineEdit>(dialog.GetCreateDBPage().GetLocalPage(), WCreateLocalDBPage_cl::IdName),
                        Qt::Key_Return);
        QVERIFY(environment->prompt.shown.isEmpty());
        QVERIFY(dialog.isVisible());

        dialog.GetTabCtrl().Select(0);
        QTest::keyClick(Control<QLineEdit>(dialog.GetLoginPage(), WLoginPage_cl::IdPassword), Qt::Key_Return);
        QTest::keyClick(Control<CTL_ns::ComboBox_cl>(dialog.GetLoginPage(), WLoginPage_cl::IdUserName), Qt::Key_Enter);
        QCOMPARE(environment->prompt.shown.size(), 2);
        QCOMPARE(environment->prompt.shown[0].text, QStringLiteral("请选择数据库。"));
        QCOMPARE(environment->prompt.shown[1].text, QStringLiteral("请选择数据库。"));
        QVERIFY(dialog.isVisible());
    }

    // A backup is picked, its entries counted once its password is given, and restored
    // as a new book that the login page then offers; covering the book asks first.
    void RestoresABackup() {
        const int32_t index = AddDatabase(QStringLiteral("家庭"), environment->AppFolder() + QStringLiteral("家庭.mdb"),
                                          QStringLiteral("u"), QStringLiteral("p"));
        Vorelle_ns::DataCore().GetDatabaseManage().OpenLink(index);
        const QString backup = Vorelle_ns::DataCore().GetBookBackup().BackupIfDue(QDateTime::currentDateTime());
        QVERIFY(QFileInfo::exists(backup));
        WStartDlg_cl dialog;
        dialog.show();
        dialog.GetTabCtrl().Select(2);
        Settle();
        WRestoreBackupPage_cl& page = dialog.GetRestorePage();
        auto* list = Control<CTL_ns::Report_cl>(page, WRestoreBackupPage_cl::IdList);
        QCOMPARE(list->RowCount(), 1);
        QCOMPARE(list->Text(0, 0), QStringLiteral("家庭"));
        const struct {
            const char* password;
            const char* refusal;  // shown, or nothing
        } counts[] = {{"", "请先选择一个备份。"}, {"wrong", "打开数据库文件失败"}, {"file", nullptr}};
        for (const auto& count : counts) {
            if (QString::fromUtf8(count.password) != u"") list->SelectRow(0);
            Type(Control<QLineEdit>(page, WRestoreBackupPage_cl::IdPassword), QString::fromUtf8(count.password));
            environment->prompt.shown.clear();
            Click(Control<QPushButton>(page, WRestoreBackupPage_cl::IdCount));
            if (count.refusal != nullptr) {
                QCOMPARE(environment->prompt.shown.size(), 1);
                QVERIFY2(environment->prompt.shown[0].text.contains(QString::fromUtf8(count.refusal)),
                         qPrintable(environment->prompt.shown[0].text));
            } else {
                QVERIFY(environment->prompt.shown.isEmpty());
            }
        }
        bool counted = false;
        for (QLabel* label : page.findChildren<QLabel*>()) counted = counted || label->text() == u"该备份有0条费用记录。";
        QVERIFY(counted);

        // Covering the book is asked first; "No" leaves it and makes no backup of it.
        environment->prompt.answers = {Platform_ns::Answer_en::No};
        Click(Control<QPushButton>(page, WRestoreBackupPage_cl::IdRestoreOver));
        QCOMPARE(Vorelle_ns::BookBackup_cl::List().size(), 1);

        const QString restored = environment->AppFolder() + QStringLiteral("恢复.mdb");
        environment->prompt.files = {restored};
        Click(Control<QPushButton>(page, WRestoreBackupPage_cl::IdRestoreNew));
        Settle();
        QVERIFY(QFileInfo::exists(restored));
        QCOMPARE(dialog.GetTabCtrl().CurrentIndex(), 0);
        auto* databases = Control<CTL_ns::ComboBox_cl>(dialog.GetLoginPage(), WLoginPage_cl::IdDatabase);
        QCOMPARE(databases->count(), 2);
        QCOMPARE(databases->currentText(), QStringLiteral("恢复"));
    }

    void F1ShowsVersion() {
        WStartDlg_cl dialog;
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, QStringLiteral("ZantheVorelle管理软件\r\n\r\nv0.1.2"));
        QCOMPARE(environment->prompt.shown[0].caption, QStringLiteral("ZantheVorelle管理软件"));
        QCOMPARE(environment->prompt.shown[0].buttons, Platform_ns::Buttons_en::OK);
    }

    void WaysOutLeaveNoLogin_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("escape") << 0;
        QTest::newRow("login page exit") << 1;
        QTest::newRow("create page exit") << 2;
        QTest::newRow("close box") << 3;
    }

    void WaysOutLeaveNoLogin() {
        QFETCH(int, way);
        AddDatabase(QStringLiteral("家庭"), environment->AppFolder() + QStringLiteral("a.mdb"), QStringLiteral("u"),
                    QStringLiteral("p"));
        WStartDlg_cl dialog;
        dialog.show();
        switch (way) {
        case 0: QTest::keyClick(Control<QLineEdit>(dialog.GetLoginPage(), WLoginPage_cl::IdPassword), Qt::Key_Escape); break;
        case 1: Click(Control<QPushButton>(dialog.GetLoginPage(), WLoginPage_cl::IdExit)); break;
        case 2:
            dialog.GetTabCtrl().Select(1);
            Click(Control<QPushButton>(dialog.GetCreateDBPage().GetLocalPage(), WCreateLocalDBPage_cl::IdExit));
            break;
        case 3: dialog.close(); break;
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.IsLoginSucceeded());
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(WStartDlgTest);

#include "WStartDlgTest.moc"
