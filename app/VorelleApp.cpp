#include "VorelleApp.h"

#include "QtTranslator.h"

#include "Control/DataCore.h"
#include "Window/WDueDlg.h"
#include "Window/WMainWnd.h"
#include "Window/WStartDlg.h"
#include "base/Error.h"
#include "platform/ado/Environment.h"
#include "settings/Unique.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QFont>
#include <QLocale>

using Vorelle_ns::DataCore;
using Vorelle_ns::DataCore_cl;

namespace {

// Runs step and shows what it raises, so that the steps after it still run.
template <typename Step>
void ShowFailure(Step step) {
    try {
        step();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(nullptr);
    }
}

}  // namespace

CVorelleApp::CVorelleApp(int& argc, char** argv) : QApplication(argc, argv) {
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    // Qt's own texts (file dialogs) in Chinese too, where the translations are installed.
    auto* translator = new QtTranslator_cl(this);
    if (translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    // The pages were drawn for a small Chinese dialog font: at 11 pixels this one gives base
    // units of 6 × 16, so the 522-unit pages fit the 799-pixel main window.
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(11);
    setFont(font);
    Q_INIT_RESOURCE(Vorelle);
    QIcon icon;
    for (const int size : {16, 32, 48, 256}) icon.addFile(QStringLiteral(":/icons/Vorelle-%1.png").arg(size));
    setWindowIcon(icon);
    Platform_ns::SetPrompt(&prompt);
    // Between the start dialog and the main window no window is open: that is no reason to stop.
    setQuitOnLastWindowClosed(false);
}

CVorelleApp::~CVorelleApp() { Platform_ns::SetPrompt(nullptr); }

bool CVorelleApp::InitInstance() {
    Ado_ns::Environment_cl::Startup();
    try {
        Unique_ns::InitFileStorage(DataCore_cl::GetProductName());
        const QFileInfo linkFile(Vorelle_ns::DatabaseManage_cl::LinkFilePath());
        DataCore().GetDatabaseManage().SaveChangesTo(linkFile.filePath());
        if (linkFile.exists() && !linkFile.isDir()) DataCore().GetDatabaseManage().Load(linkFile.filePath());
        RunPasses();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(nullptr);
    }
    return true;
}

void CVorelleApp::RunPasses() {
    bool switchUser = false;
    do {
        Vorelle_ns::WStartDlg_cl startDlg;
        startDlg.exec();
        switchUser = false;
        if (startDlg.IsLoginSucceeded()) {
            Vorelle_ns::WMainWnd_cl mainWnd;
            QEventLoop loop;
            connect(&mainWnd, &Vorelle_ns::WMainWnd_cl::Closed, &loop, &QEventLoop::quit);
            mainWnd.Create();
            mainWnd.raise();
            mainWnd.activateWindow();
            // What came due while the program was closed is offered before anything else.
            Vorelle_ns::WDueDlg_cl::OfferDue(&mainWnd);
            loop.exec();
            switchUser = mainWnd.IsSwitchUser();
        }
    } while (switchUser);
}

int CVorelleApp::ExitInstance() {
    Vorelle_ns::DatabaseManage_cl& links = DataCore().GetDatabaseManage();
    if (links.GetLoginUser() != 0) ShowFailure([] { DataCore().GetUserManage().Logout(); });
    // Shown once and passed over: a backup that fails never keeps the program from closing.
    if (links.IsOpen()) ShowFailure([] { (void)DataCore().GetBookBackup().BackupIfDue(QDateTime::currentDateTime()); });
    ShowFailure([&links] { links.Save(Vorelle_ns::DatabaseManage_cl::LinkFilePath()); });
    Unique_ns::CloseFileStorage();
    Ado_ns::Environment_cl::Shutdown();
    return 0;
}
