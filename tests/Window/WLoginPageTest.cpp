#include "Control/DataCore.h"
#include "Window/WLoginPage.h"
#include "WindowTesting.h"
#include "settings/Unique.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace WindowTesting_ns;
using Page = Vorelle_ns::WLoginPage_cl;
using Combo = CTL_ns::ComboBox_cl;

namespace {

Vorelle_ns::DatabaseManage_cl& Links() { return Vorelle_ns::DataCore().GetDatabaseManage(); }

// Logs in through the page as a user would; database -1 chooses none.
void LogIn(Page& page, int32_t database, const QString& userName, const QString& password) {
    if (database >= 0) Control<Combo>(page, Page::IdDatabase)->Select(database);
    Type(Control<Combo>(page, Page::IdUserName), userName);
    Type(Control<QLineEdit>(page, Page::IdPassword), password);
    Click(Control<QPushButton>(page, Page::IdLogin));
}

int32_t RememberedNames() { return Unique_ns::GetRecentRecordFromFile().List(QStringLiteral("用户名")).Count(); }

}  // namespace

class WLoginPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        AddDatabase(QStringLiteral("家庭"), environment->AppFolder() + QStringLiteral("本地库/家庭.mdb"),
                    QStringLiteral("管理员"), QStringLiteral("pw\""));
        AddDatabase(QStringLiteral("公司"), environment->AppFolder() + QStringLiteral("本地库/公司.mdb"),
                    QStringLiteral("老板"), QStringLiteral("boss"));
    }
    void cleanup() { environment.reset(); }

    void ChecksInOrder_data() {
        QTest::addColumn<int>("database");
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("no database") << -1 << "" << "" << "请选择数据库。" << int(Page::IdDatabase);
        QTest::newRow("no name") << 0 << "" << "p'" << "请输入用户名。" << int(Page::IdUserName);
        QTest::newRow("quote in name") << 0 << "a'b" << "" << "用户名中有非法字符（'）。" << int(Page::IdUserName);
        QTest::newRow("no password") << 0 << "管理员" << "" << "请输入密码。" << int(Page::IdPassword);
        QTest::newRow("quote in password") << 0 << "管理员" << "p'w" << "密码中有非法字符。" << int(Page::IdPassword);
        QTest::newRow("wrong password") << 0 << "管理员" << "pw" << "用户名或密码错误。" << int(Page::IdLogin);
        QTest::newRow("other database") << 1 << "管理员" << "pw\"" << "用户名或密码错误。" << int(Page::IdLogin);
    }

    void ChecksInOrder() {
        QFETCH(int, database);
        QFETCH(QString, userName);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(int, focus);
        Page page;
        page.show();
        QSignalSpy succeeded(&page, &Page::LoginSucceeded);
        Click(Control<QCheckBox>(page, Page::IdRememberName));
        LogIn(page, database, userName, password);
        Settle();

        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, message);
        QCOMPARE(environment->prompt.shown[0].caption, QStringLiteral("用户错误"));
        QCOMPARE(page.focusWidget(), Control<QWidget>(page, focus));
        QCOMPARE(succeeded.size(), 0);
        QCOMPARE(Links().GetLoginUser(), 0);
        QCOMPARE(RememberedNames(), 0);  // nothing is remembered from a failed attempt
    }

    void RememberedOnNextStart() {
        {
            Page page;
            page.show();
            QCOMPARE(Control<Combo>(page, Page::IdDatabase)->currentIndex(), -1);  // "默认" names none
            Click(Control<QCheckBox>(page, Page::IdRememberName));
            Click(Control<QCheckBox>(page, Page::IdRememberPassword));
            QSignalSpy succeeded(&page, &Page::LoginSucceeded);
            LogIn(page, 1, QStringLiteral("老板"), QStringLiteral("boss"));
            QCOMPARE(succeeded.size(), 0);  // queued
            Settle();
            QCOMPARE(succeeded.size(), 1);
            QVERIFY(environment->prompt.shown.isEmpty());
            QVERIFY(Links().GetLoginUser() != 0);
        }
        environment->ReopenSettings();
        Page page;
        page.show();
        Settle();  // the page's own choice of the remembered name arrives and forgets nothing
        QVERIFY(Control<QCheckBox>(page, Page::IdRememberName)->isChecked());
        QVERIFY(Control<QCheckBox>(page, Page::IdRememberPassword)->isChecked());
        QCOMPARE(Control<Combo>(page, Page::IdUserName)->Text(), QStringLiteral("老板"));
        QCOMPARE(Control<Combo>(page, Page::IdDatabase)->currentText(), QStringLiteral("公司"));
        QLineEdit* password = Control<QLineEdit>(page, Page::IdPassword);
        QCOMPARE(password->text(), QStringLiteral("boss"));
        // The name is there: what is left to type is the password.
        QCOMPARE(page.focusWidget(), password);

        QTest::keyClick(Control<Combo>(page, Page::IdUserName)->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(password->text(), QString());
    }

    void ChoosingAnotherNameForgetsPassword() {
        Unique_ns::GetRecentRecordFromFile().Add(QStringLiteral("用户名"), QStringLiteral("甲"));
        Unique_ns::GetRecentRecordFromFile().Add(QStringLiteral("用户名"), QStringLiteral("乙"));
        Unique_ns::GetCustomFromFile().WriteString(QStringLiteral("上次密码"), QStringLiteral("secret"));
        Unique_ns::GetCustomFromFile().WriteString(QStringLiteral("数据库"), QStringLiteral("公司 "));
        Page page;
        page.show();
        Settle();
        QCOMPARE(Control<Combo>(page, Page::IdDatabase)->currentIndex(), -1);  // matched exactly or not at all
        Combo* names = Control<Combo>(page, Page::IdUserName);
        QCOMPARE(names->Text(), QStringLiteral("乙"));
        QCOMPARE(Control<QLineEdit>(page, Page::IdPassword)->text(), QStringLiteral("secret"));
        QTest::keyClick(names, Qt::Key_Down);
        QCOMPARE(names->Text(), QStringLiteral("甲"));
        QCOMPARE(Control<QLineEdit>(page, Page::IdPassword)->text(), QString());
    }

    void PasswordNotRememberedWithoutName() {
        Unique_ns::GetCustomFromFile().WriteString(QStringLiteral("上次密码"), QStringLiteral("old"));
        Page page;
        page.show();
        QCheckBox* rememberName = Control<QCheckBox>(page, Page::IdRememberName);
        QCheckBox* rememberPassword = Control<QCheckBox>(page, Page::IdRememberPassword);
        page.EnableControls();
        QVERIFY(!rememberPassword->isEnabled());
        Click(rememberName);
        Click(rememberPassword);
        Click(rememberName);
        QVERIFY(!rememberPassword->isEnabled());
        QVERIFY(rememberPassword->isChecked());

        LogIn(page, 0, QStringLiteral("管理员"), QStringLiteral("pw\""));
        Settle();
        Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromFile();
        QCOMPARE(custom.ReadBoolean(QStringLiteral("记住用户名"), true), false);
        QCOMPARE(custom.ReadBoolean(QStringLiteral("记住密码"), false), true);
        QCOMPARE(custom.ReadString(QStringLiteral("上次密码"), QStringLiteral("x")), QString());
        QCOMPARE(RememberedNames(), 0);
        // The book is offered again though the name is not.
        Page next;
        QCOMPARE(Control<Combo>(next, Page::IdDatabase)->currentText(), QStringLiteral("家庭"));
        QCOMPARE(Control<Combo>(next, Page::IdUserName)->Text(), QString());
    }

    void DeleteAnsweredNoThenYes() {
        Page page;
        page.show();
        Combo* databases = Control<Combo>(page, Page::IdDatabase);
        Click(Control<QPushButton>(page, Page::IdDelete));  // nothing selected: nothing asked
        QVERIFY(environment->prompt.shown.isEmpty());

        databases->Select(0);
        Type(Control<Combo>(page, Page::IdUserName), QStringLiteral("管理员"));
        Type(Control<QLineEdit>(page, Page::IdPassword), QStringLiteral("pw"));
        environment->prompt.answers = {Platform_ns::Answer_en::No};
        Click(Control<QPushButton>(page, Page::IdDelete));
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text,
                 QStringLiteral("需要删除数据库文件吗？\r\n选择删除文件的话，该数据库的所有数据都会丢失。"));
        QCOMPARE(environment->prompt.shown[0].buttons, Platform_ns::Buttons_en::YesNo);
        QCOMPARE(databases->count(), 1);
        QCOMPARE(databases->itemText(0), QStringLiteral("公司"));
        QCOMPARE(databases->ItemData(0), 0);  // positions follow the links again
        QCOMPARE(databases->currentIndex(), -1);
        QCOMPARE(Control<Combo>(page, Page::IdUserName)->Text(), QString());
        QCOMPARE(Control<QLineEdit>(page, Page::IdPassword)->text(), QString());
        QVERIFY(QFile::exists(environment->AppFolder() + QStringLiteral("本地库/家庭.mdb")));

        databases->Select(0);
        environment->prompt.answers = {Platform_ns::Answer_en::Yes};
        Click(Control<QPushButton>(page, Page::IdDelete));
        QCOMPARE(databases->count(), 0);
        QCOMPARE(Links().GetCount(), 0);
        QVERIFY(!QFile::exists(environment->AppFolder() + QStringLiteral("本地库/公司.mdb")));
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(WLoginPageTest);

#include "WLoginPageTest.moc"
