#include "Control/DataCore.h"
#include "Window/WCreateSQLServerDBPage.h"
#include "WindowTesting.h"

#include <QLineEdit>
#include <QPushButton>

using namespace WindowTesting_ns;
using Vorelle_ns::WCreateSQLServerDBPage_cl;

namespace {
using Page = WCreateSQLServerDBPage_cl;
}

class WCreateSQLServerDBPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

    void Layout() {
        Page page;
        QCOMPARE(Control<QLineEdit>(page, Page::IdPassword)->echoMode(), QLineEdit::Password);
        QCOMPARE(Control<QLineEdit>(page, Page::IdUser)->echoMode(), QLineEdit::Normal);
        QCOMPARE(Control<QPushButton>(page, Page::IdCreate)->text(), QStringLiteral("创建数据库(&C)"));
        QCOMPARE(Control<QPushButton>(page, Page::IdExit)->text(), QStringLiteral("退出(&E)"));
    }

    void ChecksInOrder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("no name") << "" << "" << "" << "" << "请输入数据库名。" << int(Page::IdName);
        QTest::newRow("no server") << "n" << "" << "u\"" << "" << "请输入服务器地址。" << int(Page::IdServer);
        QTest::newRow("no user") << "n" << "s\"" << "" << "" << "请输入用户名。" << int(Page::IdUser);
        QTest::newRow("no password") << "n" << "s\"" << "u" << "" << "请输入密码。" << int(Page::IdPassword);
        QTest::newRow("quote in server") << "n" << "s\"" << "u\"" << "p\"" << "服务器地址中有非法字符。"
                                         << int(Page::IdServer);
        QTest::newRow("quote in user") << "n" << "s" << "u\"" << "p\"" << "用户名中有非法字符。" << int(Page::IdUser);
        QTest::newRow("quote in password") << "n" << "s" << "u" << "p\"" << "密码中有非法字符。"
                                           << int(Page::IdPassword);
    }

    void ChecksInOrder() {
        QFETCH(QString, name);
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(int, focus);
        Page page;
        page.show();
        Type(Control<QLineEdit>(page, Page::IdName), name);
        Type(Control<QLineEdit>(page, Page::IdServer), server);
        Type(Control<QLineEdit>(page, Page::IdUser), user);
        Type(Control<QLineEdit>(page, Page::IdPassword), password);
        Click(Control<QPushButton>(page, Page::IdCreate));

        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, message);
        QCOMPARE(page.focusWidget(), Control<QLineEdit>(page, focus));
        QCOMPARE(Vorelle_ns::DataCore().GetDatabaseManage().GetCount(), 0);
    }

    // A login name with a single quote passes the page; here no server answers, so the
    // connection's failure is what the user sees, and no link is saved.
    void SingleQuotePassesToConnection() {
        Page page;
        page.show();
        Type(Control<QLineEdit>(page, Page::IdName), QStringLiteral("网络"));
        Type(Control<QLineEdit>(page, Page::IdServer), QStringLiteral("127.0.0.1,1"));
        Type(Control<QLineEdit>(page, Page::IdUser), QStringLiteral("o'neil"));
        Type(Control<QLineEdit>(page, Page::IdPassword), QStringLiteral("pw"));
        Click(Control<QPushButton>(page, Page::IdCreate));

        QCOMPARE(environment->prompt.shown.size(), 1);
        QVERIFY(environment->prompt.shown[0].text != QStringLiteral("用户名中有非法字符。"));
        QCOMPARE(Vorelle_ns::DataCore().GetDatabaseManage().GetCount(), 0);
        QCOMPARE(Control<QLineEdit>(page, Page::IdUser)->text(), QStringLiteral("o'neil"));
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(WCreateSQLServerDBPageTest);

#include "WCreateSQLServerDBPageTest.moc"
