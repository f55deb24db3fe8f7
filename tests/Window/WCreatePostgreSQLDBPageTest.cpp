#include "Control/DataCore.h"
#include "Window/WCreatePostgreSQLDBPage.h"
#include "WindowTesting.h"
#include "platform/ado/Environment.h"
#include "support/PostgresServer.h"

#include <QLineEdit>
#include <QPushButton>

using namespace WindowTesting_ns;
using Page = Vorelle_ns::WCreatePostgreSQLDBPage_cl;

class WCreatePostgreSQLDBPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

    void ChecksInOrder_data() {
        for (const char* column : {"name", "server", "port", "database", "user", "password", "message"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<int>("focus");
        QTest::newRow("no name") << "" << "" << "x" << "" << "" << "" << "请输入数据库名。" << int(Page::IdName);
        QTest::newRow("no server") << "n" << "" << "x" << "" << "u;" << "" << "请输入服务器地址。" << int(Page::IdServer);
        QTest::newRow("no user") << "n" << "s:1" << "" << "" << "" << "" << "请输入用户名。" << int(Page::IdUser);
        QTest::newRow("no password") << "n" << "s:1" << "" << "" << "u" << "" << "请输入密码。" << int(Page::IdPassword);
        QTest::newRow("port in the address") << "n" << "s:1" << "" << "" << "u" << "p" << "服务器地址中有非法字符。"
                                             << int(Page::IdServer);
        QTest::newRow("port not a number") << "n" << "s" << "70000" << "" << "u" << "p" << "端口必须是1到65535之间的数字。"
                                           << int(Page::IdPort);
        QTest::newRow("semicolon in database") << "n" << "s" << "5432" << "d;x" << "u" << "p" << "数据库中有非法字符。"
                                               << int(Page::IdDatabase);
        QTest::newRow("semicolon in user") << "n" << "s" << "" << "" << "u;" << "p" << "用户名中有非法字符。" << int(Page::IdUser);
        QTest::newRow("quote in password") << "n" << "s" << "" << "" << "u" << "p\"" << "密码中有非法字符。"
                                           << int(Page::IdPassword);
        // Every check passed: the server itself refuses the password, in its own words.
        QTest::newRow("wrong password") << "n" << "server" << "" << "book" << "book" << "wrong"
                                        << "password authentication failed" << 0;
    }

    void ChecksInOrder() {
        QFETCH(QString, name);
        QFETCH(QString, server);
        QFETCH(QString, port);
        QFETCH(QString, database);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(int, focus);
        if (server == u"server") {
            PostgresServer_cl& test = PostgresServer_cl::Shared();
            QVERIFY2(test.Start() && test.MakeBook("book", "pw", "book"), qPrintable(test.Why()));
            Ado_ns::Environment_cl::Startup();
            server = QStringLiteral("127.0.0.1");
            port = QString::number(test.Port());
        }
        Page page;
        page.show();
        Type(Control<QLineEdit>(page, Page::IdName), name);
        Type(Control<QLineEdit>(page, Page::IdServer), server);
        Type(Control<QLineEdit>(page, Page::IdPort), port);
        Type(Control<QLineEdit>(page, Page::IdDatabase), database);
        Type(Control<QLineEdit>(page, Page::IdUser), user);
        Type(Control<QLineEdit>(page, Page::IdPassword), password);
        Click(Control<QPushButton>(page, Page::IdCreate));

        QCOMPARE(environment->prompt.shown.size(), 1);
        const QString shown = environment->prompt.shown[0].text;
        if (focus == 0) {
            QVERIFY2(shown.contains(message), qPrintable(shown));
        } else {
            QCOMPARE(shown, message);
            QCOMPARE(page.focusWidget(), Control<QLineEdit>(page, focus));
        }
        QVERIFY(!shown.contains(QStringLiteral("wrong")));
        QCOMPARE(Vorelle_ns::DataCore().GetDatabaseManage().GetCount(), 0);
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(WCreatePostgreSQLDBPageTest);

#include "WCreatePostgreSQLDBPageTest.moc"
