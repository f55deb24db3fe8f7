#include "Control/DataCore.h"
#include "Window/WMainWnd.h"
#include "Window/WStartDlg.h"
#include "Window/WindowTesting.h"
#include "app/VorelleApp.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

using namespace WindowTesting_ns;
using Vorelle_ns::DatabaseManage_cl;
using Vorelle_ns::WLoginPage_cl;
using Vorelle_ns::WMainWnd_cl;
using Vorelle_ns::WStartDlg_cl;

namespace {

CVorelleApp& App() { return *static_cast<CVorelleApp*>(qApp); }

DatabaseManage_cl& Links() { return Vorelle_ns::DataCore().GetDatabaseManage(); }

QString LinkFile() { return DatabaseManage_cl::LinkFilePath(); }

// A saved links file with one database, as an earlier run leaves it.
void SaveOneLink(const QString& appFolder) {
    Links().SaveChangesTo(LinkFile());  // as the program does at start
    AddDatabase(QStringLiteral("家庭"), appFolder + QStringLiteral("本地库/家庭.mdb"), QStringLiteral("管理员"),
                QStringLiteral("pw"));
    Links().Save(LinkFile());
}

void LogIn(WStartDlg_cl& dialog) {
    WLoginPage_cl& page = dialog.GetLoginPage();
    Control<CTL_ns::ComboBox_cl>(page, WLoginPage_cl::IdDatabase)->Select(0);
    Type(Control<CTL_ns::ComboBox_cl>(page, WLoginPage_cl::IdUserName), QStringLiteral("管理员"));
    Type(Control<QLineEdit>(page, WLoginPage_cl::IdPassword), QStringLiteral("pw"));
    Click(Control<QPushButton>(page, WLoginPage_cl::IdLogin));
}

void Trigger(WMainWnd_cl& window, int32_t id) { window.findChild<QAction*>(QString::number(id))->trigger(); }

}  // namespace

class VorelleAppTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

    // Qt's own file dialog speaks Chinese: its column titles and the kind of a folder.
    void TheFileDialogIsInChinese() {
        QDir(environment->AppFolder()).mkdir(QStringLiteral("账单"));
        QFileDialog dialog(nullptr, QStringLiteral("导入"), environment->AppFolder());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setViewMode(QFileDialog::Detail);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(view != nullptr);
        const QAbstractItemModel* model = view->model();
        QStringList shown;
        for (int column = 0; column < model->columnCount(); ++column)
            shown << model->headerData(column, Qt::Horizontal).toString();
        QTRY_COMPARE(model->rowCount(view->rootIndex()), 1);
        shown << model->index(0, 2, view->rootIndex()).data().toString();
        QCOMPARE(shown.join(u' '), QStringLiteral("名称 体积 类型 修改日期 文件夹"));
    }

    // No links file, or a folder in its place: the first run opens on "创建数据库", and
    // closing the start dialog ends the program leaving no links file behind.
    void FirstRunEndsWhenStartClosed() {
        for (const bool folder : {false, true}) {
            if (folder) QVERIFY(QDir().mkdir(LinkFile()));
            int32_t tab = -1;
            const auto closed = WhenShown<WStartDlg_cl>([&tab](WStartDlg_cl& dialog) {
                tab = dialog.GetTabCtrl().CurrentIndex();
                dialog.close();
            });
            QVERIFY(App().InitInstance());
            QVERIFY(closed->ran);
            QCOMPARE(tab, 1);
            QCOMPARE(App().ExitInstance(), 0);
            QCOMPARE(QFileInfo(LinkFile()).isDir(), folder);
            QCOMPARE(QFileInfo::exists(LinkFile()), folder);
            QVERIFY(environment->prompt.shown.isEmpty());
            environment->ReopenSettings();
        }
    }

    void SwitchUserThenExit() {
        SaveOneLink(environment->AppFolder());
        QStringList seen;
        int32_t logins = 0;
        std::function<void(WMainWnd_cl&)> leave;
        std::function<void(WStartDlg_cl&)> start = [&](WStartDlg_cl& dialog) {
            seen << QStringLiteral("start %1").arg(dialog.GetTabCtrl().CurrentIndex());
            WhenShown<WMainWnd_cl>(leave);
            LogIn(dialog);
            ++logins;
        };
        leave = [&](WMainWnd_cl& window) {
            seen << window.windowTitle();
            if (logins == 1) {
                WhenShown<WStartDlg_cl>(start);
                Trigger(window, WMainWnd_cl::IdSwitchUser);
            } else {
                Trigger(window, WMainWnd_cl::IdExit);
            }
        };
        WhenShown<WStartDlg_cl>(start);
        QVERIFY(App().InitInstance());

        const QString title = QStringLiteral("ZantheVorelle管理软件 v0.1.2");
        QCOMPARE(seen, (QStringList{QStringLiteral("start 0"), title, QStringLiteral("start 0"), title}));
        QVERIFY(Links().GetLoginUser() != 0);
        QCOMPARE(App().ExitInstance(), 0);
        QCOMPARE(Links().GetLoginUser(), 0);
        QCOMPARE(Links().GetCount(), 0);
        QVERIFY(!Links().IsOpen());
        Links().Load(LinkFile());
        QCOMPARE(Links().GetCount(), 1);
        QCOMPARE(Links().GetLink(0).name, QStringLiteral("家庭"));
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void LastLinkRemovedDeletesFile() {
        SaveOneLink(environment->AppFolder());
        environment->prompt.answers = {Platform_ns::Answer_en::No};
        WhenShown<WStartDlg_cl>([](WStartDlg_cl& dialog) {
            WLoginPage_cl& page = dialog.GetLoginPage();
            Control<CTL_ns::ComboBox_cl>(page, WLoginPage_cl::IdDatabase)->Select(0);
            Click(Control<QPushButton>(page, WLoginPage_cl::IdDelete));
            Click(Control<QPushButton>(page, WLoginPage_cl::IdExit));
        });
        App().InitInstance();
        App().ExitInstance();
        QVERIFY(!QFile::exists(LinkFile()));
        QVERIFY(QFile::exists(environment->AppFolder() + QStringLiteral("本地库/家庭.mdb")));
    }

    void DamagedLinkFileShownAndKept() {
        QFile file(LinkFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray damaged("DBLX\x00\x00\x00\x01\x00\x00\x00\x00", 12);
        file.write(damaged);
        file.close();
        const auto started = WhenShown<WStartDlg_cl>([](WStartDlg_cl& dialog) { dialog.reject(); });

        QVERIFY(App().InitInstance());
        QVERIFY(!started->ran);
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text,
                 QStringLiteral("数据库链接信息文件被破坏，无法加载链接信息。\r\n") + LinkFile());
        App().ExitInstance();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), damaged);
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(VorelleAppTest);

#include "VorelleAppTest.moc"
