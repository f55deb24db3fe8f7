// How often a login through the start dialog derives the book's key from its password:
// the derivation is slow on purpose, so the program's start, login and main window do it
// once, and closing with its backup no more. Counted by the library that interposes the crypto library's derivation, which
// ctest loads into this test (see KeyDerivationTest for the command line).
#include "Control/DataCore.h"
#include "Window/WMainWnd.h"
#include "Window/WStartDlg.h"
#include "Window/WindowTesting.h"
#include "app/VorelleApp.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <dlfcn.h>

using namespace WindowTesting_ns;
using Vorelle_ns::DatabaseManage_cl;
using Vorelle_ns::WLoginPage_cl;
using Vorelle_ns::WMainWnd_cl;
using Vorelle_ns::WStartDlg_cl;

namespace {

CVorelleApp& App() { return *static_cast<CVorelleApp*>(qApp); }

using Count_tl = int (*)();

}  // namespace

class WindowKeyDerivationTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

    void LoginDerivesTheKeyOnce() {
        const auto count = reinterpret_cast<Count_tl>(dlsym(RTLD_DEFAULT, "KeyDerivationCount"));
        QVERIFY2(count != nullptr, "the counting library is not loaded: run this test through ctest");
        // A link saved by an earlier run, to a book this process has never keyed: the
        // process keeps the keys it derived, so the book is made by another one (the
        // command line) and put where the link points.
        DatabaseManage_cl& links = Vorelle_ns::DataCore().GetDatabaseManage();
        const QString book = environment->AppFolder() + QStringLiteral("家庭.mdb");
        links.SaveChangesTo(DatabaseManage_cl::LinkFilePath());
        links.AddLocalLink(QStringLiteral("家庭"), book, QStringLiteral("file"));
        links.Save(DatabaseManage_cl::LinkFilePath());
        QVERIFY(QFile::remove(book));
        QProcess cli;
        QProcessEnvironment cliEnvironment = QProcessEnvironment::systemEnvironment();
        cliEnvironment.insert(QStringLiteral("VORELLE_BOOK_PASSWORD"), QStringLiteral("file"));
        cliEnvironment.insert(QStringLiteral("VORELLE_PASSWORD"), QStringLiteral("pw"));
        cliEnvironment.insert(QStringLiteral("XDG_CONFIG_HOME"), environment->AppFolder());
        cliEnvironment.insert(QStringLiteral("XDG_DATA_HOME"), environment->AppFolder());
        cli.setProcessEnvironment(cliEnvironment);
        cli.start(QStringLiteral(VORELLE_CLI), {QStringLiteral("--book"), book, QStringLiteral("create"),
                                                QStringLiteral("--admin"), QStringLiteral("管理员")});
        QVERIFY(cli.waitForFinished(120000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());

        const int before = count();
        int derivations = -1;
        WhenShown<WStartDlg_cl>([&](WStartDlg_cl& dialog) {
            WhenShown<WMainWnd_cl>([&](WMainWnd_cl& window) {
                Settle();  // the pages fill themselves
                derivations = count() - before;
                window.findChild<QAction*>(QString::number(WMainWnd_cl::IdExit))->trigger();
            });
            WLoginPage_cl& page = dialog.GetLoginPage();
            Control<CTL_ns::ComboBox_cl>(page, WLoginPage_cl::IdDatabase)->Select(0);
            Type(Control<CTL_ns::ComboBox_cl>(page, WLoginPage_cl::IdUserName), QStringLiteral("管理员"));
            Type(Control<QLineEdit>(page, WLoginPage_cl::IdPassword), QStringLiteral("pw"));
            Click(Control<QPushButton>(page, WLoginPage_cl::IdLogin));
        });
        QVERIFY(App().InitInstance());
        QCOMPARE(derivations, 1);
        QCOMPARE(App().ExitInstance(), 0);
        QVERIFY(environment->prompt.shown.isEmpty());
        QVERIFY2(QDir(environment->AppFolder() + QStringLiteral("备份")).count() > 2, "closing made the backup");
        QCOMPARE(count() - before, 1);  // the backup is keyed with the key at hand
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(WindowKeyDerivationTest);

#include "WindowKeyDerivationTest.moc"
