#include "Control/DataCore.h"
#include "Window/WCreateSQLServerDBPage.h"
#include "WindowTesting.h"

#include <QLineEdit>
#include <QPushButton>

using namespace WindowTesting_ns;
using Page = Vorelle_ns::WCreateSQLServerDBPage_cl;

class WCreateSQLServerDBPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

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
        // A single quote passes the page; with no server to answer, the connection's
        // failure is what the user sees.
        QTest::newRow("no server answers") << "n" << "127.0.0.1,1" << "o'neil" << "pw" << QString() << 0;
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
        const QString shown = environment->prompt.shown[0].text;
        if (focus == 0) {
            QVERIFY2(!shown.contains(QStringLiteral("非法字符")), qPrintable(shown));
        } else {
            QCOMPARE(shown, message);
            QCOMPARE(page.focusWidget(), Control<QLineEdit>(page, focus));
        }
        QCOMPARE(Vorelle_ns::DataCore().GetDatabaseManage().GetCount(), 0);
        QCOMPARE(Control<QLineEdit>(page, Page::IdUser)->text(), user);
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(WCreateSQLServerDBPageTest);

#include "WCreateSQLServerDBPageTest.moc"
