#include "Control/DataCore.h"
#include "Window/WCreateLocalDBPage.h"
#include "Window/WSetSuperAdminDlg.h"
#include "WindowTesting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <unistd.h>

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

// Every entry of a folder, hidden ones too: what a creation may have left.
QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
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

        const QString book = environment->AppFolder() + QStringLiteral("本地库/家庭.mdb");
        QCOMPARE(FilesIn(QFileInfo(book).absolutePath()), QStringList{QStringLiteral("家庭.mdb")});
        QCOMPARE(QFile::permissions(book), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        Links().OpenLink(0);
        Vorelle_ns::DataCore().GetUserManage().Login(QStringLiteral("管理员"), QStringLiteral("pw"));
    }

    void CancelledSuperAdminLeavesNothing() {
        Page page;
        page.show();
        QSignalSpy created(&page, &Page::DatabaseCreated);
        Fill(page, QStringLiteral("家庭"), QString(), QStringLiteral("pw"), QStringLiteral("pw"));
        const auto answered = AnswerSuperAdmin(QString(), QString());
        Click(Control<QPushButton>(page, Page::IdCreate));
        Settle();

        QVERIFY(answered->ran);
        QVERIFY(environment->prompt.shown.isEmpty());
        QCOMPARE(created.size(), 0);
        QCOMPARE(Links().GetCount(), 0);
        QCOMPARE(Control<QLineEdit>(page, Page::IdName)->text(), QStringLiteral("家庭"));
        QCOMPARE(FilesIn(environment->AppFolder() + QStringLiteral("本地库")), QStringList());
    }

    // A creation that fails leaves no file and no link, says which file, and keeps what
    // stood there before.
    void FailedCreationLeavesNothing_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("earlier");
        QTest::addColumn<QString>("message");
        QTest::newRow("a file that is no book") << "旧.mdb" << true
                                                << "这个文件是以前一次没有完成的创建留下的，里面没有账本。"
                                                   "确认不再需要后删除这个文件，再重新创建。";
        // The superuser writes anywhere but in /sys.
        QTest::newRow("a folder that may not be written")
            << (::geteuid() == 0 ? QStringLiteral("/sys/家庭.mdb") : QStringLiteral("只读/家庭.mdb")) << false
            << "无法在数据库文件所在的文件夹中创建账本。";
    }

    void FailedCreationLeavesNothing() {
        QFETCH(QString, path);
        QFETCH(bool, earlier);
        QFETCH(QString, message);
        const QString app = environment->AppFolder();
        const QString absolute = QDir(app).absoluteFilePath(path);
        const QString folder = QFileInfo(absolute).absolutePath();
        if (earlier) {
            Links().AddLocalLink(QStringLiteral("旧"), absolute, QStringLiteral("pw"));
            Links().RemoveLink(0, false);
        }
        if (folder.startsWith(app)) {
            QVERIFY(QDir().mkpath(folder));
            if (!earlier) QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        }
        const QStringList before = FilesIn(folder);
        Page page;
        page.show();
        QSignalSpy created(&page, &Page::DatabaseCreated);
        Fill(page, QStringLiteral("家庭"), path, QStringLiteral("pw"), QStringLiteral("pw"));
        const auto answered = AnswerSuperAdmin(QStringLiteral("管理员"), QStringLiteral("pw"));
        Click(Control<QPushButton>(page, Page::IdCreate));
        Settle();

        QCOMPARE(environment->prompt.shown.size(), 1);
        const QString shown = environment->prompt.shown[0].text;
        QVERIFY2(shown.startsWith(message + QStringLiteral("\r\n") + absolute), qPrintable(shown));
        QCOMPARE(created.size(), 0);
        QCOMPARE(Links().GetCount(), 0);
        QCOMPARE(FilesIn(folder), before);
        QCOMPARE(QFileInfo(absolute).exists(), earlier);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
