#include "Control/DataCore.h"
#include "Window/WCreateLocalDBPage.h"
#include "Window/WSetSuperAdminDlg.h"
#include "WindowTesting.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace WindowTesting_ns;
using Page = Vorelle_ns::WCreateLocalDBPage_cl;
using Vorelle_ns::WSetSuperAdminDlg_cl;

namespace {

// A null path leaves the path box following the name.
void Fill(Page& page, const QString& name, const QString& path, const QString& password, const QString& confirm) {
    Type(Control<QLineEdit>(page, Page::IdName), name);
    if (!path.isNull()) Type(Control<QLineEdit>(page, Page::IdPath), path);
    Type(Control<QLineEdit>(page, Page::IdPassword), password);
    Type(Control<QLineEdit>(page, Page::IdConfirm), confirm);
}

// Answers the super administrator dialog with a name and password, or cancels it when
// the name is empty.
std::shared_ptr<Watch_st> AnswerSuperAdmin(const QString& userName, const QString& password) {
    return WhenShown<WSetSuperAdminDlg_cl>([userName, password](WSetSuperAdminDlg_cl& dialog) {
        if (userName.isEmpty()) return Click(Control<QPushButton>(dialog, WSetSuperAdminDlg_cl::IdCancel));
        Type(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdUserName), userName);
        Type(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdPassword), password);
        Type(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdConfirm), password);
        Click(Control<QPushButton>(dialog, WSetSuperAdminDlg_cl::IdOK));
    });
}

Vorelle_ns::DatabaseManage_cl& Links() { return Vorelle_ns::DataCore().GetDatabaseManage(); }

}  // namespace

class WCreateLocalDBPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

    void PathFollowsNameUntilChosen() {
        Page page;
        page.show();
        QLineEdit* path = Control<QLineEdit>(page, Page::IdPath);
        Type(Control<QLineEdit>(page, Page::IdName), QStringLiteral("家庭"));
        QCOMPARE(path->text(), QStringLiteral("本地库/家庭.mdb"));
        Type(Control<QLineEdit>(page, Page::IdName), QString());
        QCOMPARE(path->text(), QString());

        QTemporaryDir elsewhere;
        const QString outside = elsewhere.path() + QStringLiteral("/a.mdb");
        environment->prompt.files = {environment->AppFolder() + QStringLiteral("数据/账本.mdb"), outside};
        Click(Control<QPushButton>(page, Page::IdBrowse));
        QCOMPARE(path->text(), QStringLiteral("数据/账本.mdb"));  // inside the application folder: relative
        Type(Control<QLineEdit>(page, Page::IdName), QStringLiteral("公司"));
        QCOMPARE(path->text(), QStringLiteral("数据/账本.mdb"));
        Click(Control<QPushButton>(page, Page::IdBrowse));
        QCOMPARE(path->text(), outside);
        Click(Control<QPushButton>(page, Page::IdBrowse));  // cancelled: nothing changes
        QCOMPARE(path->text(), outside);
        QCOMPARE(environment->prompt.filters.value(0), QStringLiteral("数据库文件 (*.mdb)|*.mdb|"));
    }

    void ChecksInOrder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("no name") << "" << "x.mdb" << "" << "" << "请输入数据库名。" << int(Page::IdName);
        QTest::newRow("no path") << "家" << "" << "" << "" << "请输入数据库文件路径。" << int(Page::IdPath);
        QTest::newRow("no password") << "家" << QString() << "" << "p" << "请输入密码。" << int(Page::IdPassword);
        QTest::newRow("no confirmation") << "家" << QString() << "p" << "" << "请输入密码确认。" << int(Page::IdConfirm);
        QTest::newRow("differ") << "家" << QString() << "p\"" << "q" << "两次密码不一致。" << int(Page::IdPassword);
        QTest::newRow("double quote") << "家" << QString() << "p\"" << "p\"" << "密码中有非法字符。"
                                      << int(Page::IdPassword);
    }

    void ChecksInOrder() {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QFETCH(QString, password);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(int, focus);
        Page page;
        page.show();
        Fill(page, name, path, password, confirm);
        Click(Control<QPushButton>(page, Page::IdCreate));

        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, message);
        QCOMPARE(page.focusWidget(), Control<QLineEdit>(page, focus));
        QCOMPARE(Links().GetCount(), 0);
    }

    void NewDatabaseWithSuperAdmin() {
        Page page;
        page.show();
        QSignalSpy userNames(&page, &Page::UserNameSet);
        QSignalSpy created(&page, &Page::DatabaseCreated);
        Fill(page, QStringLiteral("家庭"), QString(), QStringLiteral("库'密"), QStringLiteral("库'密"));
        const auto answered = AnswerSuperAdmin(QStringLiteral("管理员"), QStringLiteral("pw"));
        Click(Control<QPushButton>(page, Page::IdCreate));

        QVERIFY(answered->ran);
        QVERIFY(environment->prompt.shown.isEmpty());
        QCOMPARE(userNames.size(), 1);
        QCOMPARE(userNames[0][0].toString(), QStringLiteral("管理员"));
        QCOMPARE(created.size(), 0);  // queued: after the handler has returned
        Settle();
        QCOMPARE(created.size(), 1);
        QCOMPARE(created[0][0].toInt(), 0);
        QCOMPARE(Links().GetLink(0).location, QStringLiteral("本地库/家庭.mdb"));
        for (int32_t id : {Page::IdName, Page::IdPath, Page::IdPassword, Page::IdConfirm})
            QCOMPARE(Control<QLineEdit>(page, id)->text(), QString());
        Type(Control<QLineEdit>(page, Page::IdName), QStringLiteral("二"));  // following the name again
        QCOMPARE(Control<QLineEdit>(page, Page::IdPath)->text(), QStringLiteral("本地库/二.mdb"));

        Links().OpenLink(0);
        Vorelle_ns::DataCore().GetUserManage().Login(QStringLiteral("管理员"), QStringLiteral("pw"));
    }

    void CancelledSuperAdminLeavesNothing() {
        // A file that was there before has no data of this program, but belongs to the user.
        const QString earlier = environment->AppFolder() + QStringLiteral("旧.mdb");
        Links().AddLocalLink(QStringLiteral("旧"), earlier, QStringLiteral("pw"));
        Links().RemoveLink(0, false);
        Page page;
        page.show();
        QSignalSpy created(&page, &Page::DatabaseCreated);

        for (const QString& path : {QString(), QStringLiteral("旧.mdb")}) {
            Fill(page, QStringLiteral("家庭"), path, QStringLiteral("pw"), QStringLiteral("pw"));
            const auto answered = AnswerSuperAdmin(QString(), QString());
            Click(Control<QPushButton>(page, Page::IdCreate));
            Settle();
            QVERIFY(answered->ran);
            QCOMPARE(Links().GetCount(), 0);
            QCOMPARE(Control<QLineEdit>(page, Page::IdName)->text(), QStringLiteral("家庭"));
        }
        QVERIFY(environment->prompt.shown.isEmpty());
        QCOMPARE(created.size(), 0);
        QVERIFY(!QFile::exists(environment->AppFolder() + QStringLiteral("本地库/家庭.mdb")));
        QVERIFY(QFile::exists(earlier));
    }

    void InitialisedDatabaseNeedsNoSuperAdmin() {
        AddDatabase(QStringLiteral("家庭"), environment->AppFolder() + QStringLiteral("本地库/家庭.mdb"),
                    QStringLiteral("管理员"), QStringLiteral("pw"));
        Page page;
        page.show();
        QSignalSpy userNames(&page, &Page::UserNameSet);
        QSignalSpy created(&page, &Page::DatabaseCreated);
        Fill(page, QStringLiteral("家庭"), QStringLiteral("本地库/家庭.mdb"), QStringLiteral("file"),
             QStringLiteral("file"));
        Click(Control<QPushButton>(page, Page::IdCreate));  // the name is taken
        QCOMPARE(environment->prompt.shown.value(0).text, QStringLiteral("重复链接名称。"));

        Fill(page, QStringLiteral("家庭2"), QStringLiteral("本地库/家庭.mdb"), QStringLiteral("file"),
             QStringLiteral("file"));
        Click(Control<QPushButton>(page, Page::IdCreate));
        Settle();
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(userNames.size(), 0);
        QCOMPARE(created.size(), 1);
        QCOMPARE(created[0][0].toInt(), 1);
        QCOMPARE(Links().GetCount(), 2);
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(WCreateLocalDBPageTest);

#include "WCreateLocalDBPageTest.moc"
