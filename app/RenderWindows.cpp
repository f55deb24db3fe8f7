// Renders each window of the program to a PNG file on the offscreen platform, so that
// its layout can be looked at without a display:
//     vorelle_pictures <folder>
// A temporary application folder and settings folder hold a sample database; the real
// ones are never touched.

#include "Control/DataCore.h"
#include "SystemInfo/Path.h"
#include "VorelleApp.h"
#include "Window/WInputAccountDlg.h"
#include "Window/WInputPasswordDlg.h"
#include "Window/WInputUserDlg.h"
#include "Window/WMainWnd.h"
#include "Window/WSetSuperAdminDlg.h"
#include "Window/WStartDlg.h"
#include "base/Error.h"
#include "settings/Unique.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace {

bool Save(QWidget& window, const QString& folder, const QString& name) {
    window.show();
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A database with its super administrator, remembered as the last login.
void AddSample() {
    using Vorelle_ns::DataCore;
    const QString userName = QStringLiteral("管理员");
    DataCore().AttachLocalDatabase(SystemInfo_ns::GetApplicationFolder() + QStringLiteral("本地库/家庭账本.mdb"),
                                   QStringLiteral("家庭账本"), QStringLiteral("sample"));
    DataCore().InitDatabase(0, userName, QStringLiteral("sample"));
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromFile();
    custom.WriteBoolean(QStringLiteral("记住用户名"), true);
    custom.WriteString(QStringLiteral("数据库"), QStringLiteral("家庭账本"));
    Unique_ns::GetRecentRecordFromFile().Add(QStringLiteral("用户名"), userName);
}

// The main window as the sample's super administrator sees it, with a few more users,
// and the small dialogs over it.
bool RenderMainWindow(const QString& folder) {
    using namespace Vorelle_ns;
    DataCore().GetDatabaseManage().OpenLink(0);
    UserManage_cl& users = DataCore().GetUserManage();
    users.Login(QStringLiteral("管理员"), QStringLiteral("sample"));
    users.AddUser(QStringLiteral("妈妈"), 1, QStringLiteral("sample"));
    users.AddUser(QStringLiteral("小明"), 2, QStringLiteral("sample"));
    users.AddUser(QStringLiteral("奶奶"), 3, QStringLiteral("sample"));
    users.SetPublicAccount(1234550);
    bool saved = true;
    WMainWnd_cl mainWnd;
    mainWnd.Create();
    saved &= Save(mainWnd, folder, QStringLiteral("main-window-users"));
    WInputUserDlg_cl userDlg(&mainWnd);
    saved &= Save(userDlg, folder, QStringLiteral("input-user"));
    WInputPasswordDlg_cl passwordDlg(&mainWnd);
    saved &= Save(passwordDlg, folder, QStringLiteral("input-password"));
    WInputAccountDlg_cl accountDlg(true, &mainWnd);
    saved &= Save(accountDlg, folder, QStringLiteral("input-account"));
    return saved;
}

bool Render(const QString& folder) {
    using namespace Vorelle_ns;
    bool saved = true;
    {
        WStartDlg_cl firstRun;
        saved &= Save(firstRun, folder, QStringLiteral("start-first-run"));
    }
    AddSample();
    WStartDlg_cl start;
    saved &= Save(start, folder, QStringLiteral("start-login"));
    start.GetTabCtrl().Select(1);
    saved &= Save(start, folder, QStringLiteral("start-create-local"));
    start.GetCreateDBPage().GetTabCtrl().Select(1);
    saved &= Save(start, folder, QStringLiteral("start-create-sqlserver"));
    start.hide();
    WSetSuperAdminDlg_cl superAdmin;
    saved &= Save(superAdmin, folder, QStringLiteral("set-super-admin"));
    superAdmin.hide();
    return saved && RenderMainWindow(folder);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CVorelleApp app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    QTemporaryDir appFolder;
    QTemporaryDir settingsFolder;
    SystemInfo_ns::SetApplicationFolder(appFolder.path());
    Unique_ns::SetStorageFolder(settingsFolder.path());
    Unique_ns::InitFileStorage(Vorelle_ns::DataCore_cl::GetProductName());
    bool saved = false;
    try {
        saved = Render(folder);
    } catch (const Base_ns::Error_cl& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Text()));
    }
    Vorelle_ns::DataCore().GetDatabaseManage().Save(appFolder.path() + QStringLiteral("/DatabaseLink.bin"));
    Unique_ns::CloseFileStorage();
    return saved ? 0 : 1;
}
