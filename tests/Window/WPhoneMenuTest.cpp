#include "Window/WMainWnd.h"
#include "Window/WPhoneDlg.h"
#include "Window/WPhoneSettingsDlg.h"

#include "UserSession.h"
#include "Web/QrCode.h"
#include "settings/Unique.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <httplib.h>

using namespace WindowTesting_ns;
using Vorelle_ns::WMainWnd_cl;
using Vorelle_ns::WPhoneDlg_cl;
using Vorelle_ns::WPhoneSettingsDlg_cl;

namespace {

// Opens the menu that holds the action with a click on the menu bar, then clicks the action.
void ClickMenu(WMainWnd_cl& window, int32_t id) {
    QAction* action = window.GetAction(id);
    QMenuBar* bar = window.menuBar();
    QAction* title = nullptr;
    for (QAction* candidate : bar->actions()) {
        if (candidate->menu() != nullptr && candidate->menu()->actions().contains(action)) title = candidate;
    }
    QVERIFY(title != nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
    QMenu* menu = title->menu();
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

// What the status bar says the phone opens: empty while nothing is served.
QString Address(WMainWnd_cl& window) {
    auto* label = window.findChild<QLabel*>(QString::number(WMainWnd_cl::IdPhoneAddress));
    if (label == nullptr) return QString();
    return label->text().remove(QStringLiteral("手机记账："));
}

// A GET of path at the address shown, as a phone sends it; status -1 when nothing answers.
struct Answer_st {
    int status = -1;
    std::string body;
};

Answer_st Get(const QString& address, const std::string& path, const QString& key = QString()) {
    const QUrl url(address);
    std::unique_ptr<httplib::ClientImpl> client;
    if (url.scheme() == QStringLiteral("https")) {
        auto secure = std::make_unique<httplib::SSLClient>(url.host().toStdString(), url.port());
        secure->enable_server_certificate_verification(false);  // the test's own certificate
        client = std::move(secure);
    } else {
        client = std::make_unique<httplib::ClientImpl>(url.host().toStdString(), url.port());
    }
    client->set_connection_timeout(5);
    httplib::Headers headers;
    if (!key.isEmpty()) headers.emplace("Authorization", "Bearer " + key.toStdString());
    const httplib::Result result = client->Get(path, headers);
    if (!result) return {};
    return {result->status, result->body};
}

// Makes a self-signed certificate for 127.0.0.1 and its key, as name.crt and name.key.
void MakeCertificate(const QString& folder, const QString& name) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-keyout",
                   folder + u'/' + name + QStringLiteral(".key"), "-out", folder + u'/' + name + QStringLiteral(".crt")});
    QVERIFY2(openssl.waitForFinished(60000), "openssl did not finish");
    QVERIFY2(openssl.exitCode() == 0, openssl.readAllStandardError().constData());
}

}  // namespace

class WPhoneMenuTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        session = std::make_unique<UserSession_cl>();
        // A free port on the loopback, as a user could set it.
        Unique_ns::GetCustomFromFile().WriteString(QStringLiteral("手机记账监听地址"), QStringLiteral("127.0.0.1:0"));
    }
    void cleanup() { session.reset(); }

    // On serves the page, a device's key works until revoked, off stops serving.
    void ServeAddADeviceRevokeAndStop() {
        WMainWnd_cl window;
        window.Create();
        QCOMPARE(Address(window), QString());
        ClickMenu(window, WMainWnd_cl::IdPhoneServe);
        QVERIFY(window.GetAction(WMainWnd_cl::IdPhoneServe)->isChecked());
        const QString address = Address(window);
        QVERIFY2(address.startsWith(QStringLiteral("http://127.0.0.1:")), qPrintable(address));
        const Answer_st page = Get(address, "/");
        QCOMPARE(page.status, 200);
        QVERIFY(page.body.find("<html") != std::string::npos);
        QCOMPARE(Get(address, "/api/v1/me").status, 401);

        QString key;
        const auto paired = WhenShown<WPhoneDlg_cl>([&](WPhoneDlg_cl& dialog) {
            Type(Control<QLineEdit>(dialog, WPhoneDlg_cl::IdLabel), QStringLiteral("妈妈的手机"));
            Click(Control<QPushButton>(dialog, WPhoneDlg_cl::IdAdd));
            const QString link = Control<QLineEdit>(dialog, WPhoneDlg_cl::IdLink)->text();
            QVERIFY2(link.startsWith(address + QStringLiteral("#k=")), qPrintable(link));
            key = link.mid(link.indexOf(QStringLiteral("#k=")) + 3);
            // The code of exactly that link: its modules five pixels wide, four of margin.
            const QPixmap code = Control<QLabel>(dialog, WPhoneDlg_cl::IdQrCode)->pixmap();
            QCOMPARE(code.width(), (Web_ns::QrCode_cl(link).Width() + 8) * 5);
            const Answer_st me = Get(address, "/api/v1/me", key);
            QCOMPARE(me.status, 200);
            QVERIFY(me.body.find(UserSession_cl::SuperName.toStdString()) != std::string::npos);

            auto* keys = Control<QListWidget>(dialog, WPhoneDlg_cl::IdKeys);
            QCOMPARE(keys->count(), 1);
            QVERIFY(keys->item(0)->text().contains(QStringLiteral("妈妈的手机")));
            QTest::mouseClick(keys->viewport(), Qt::LeftButton, {}, keys->visualItemRect(keys->item(0)).center());
            Click(Control<QPushButton>(dialog, WPhoneDlg_cl::IdRevoke));
            QCOMPARE(keys->count(), 0);
            QCOMPARE(Get(address, "/api/v1/me", key).status, 401);
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        ClickMenu(window, WMainWnd_cl::IdPhoneDevices);
        QTRY_VERIFY(paired->ran);
        QVERIFY(!key.isEmpty());

        ClickMenu(window, WMainWnd_cl::IdPhoneServe);
        QVERIFY(!window.GetAction(WMainWnd_cl::IdPhoneServe)->isChecked());
        QCOMPARE(Address(window), QString());
        QCOMPARE(Get(address, "/").status, -1);
        QVERIFY(session->Prompt().shown.isEmpty());
    }

    // A certificate and key chosen in the settings make the page HTTPS; a bad file is
    // named with what is wrong and nothing is kept.
    void HttpsSettings_data() {
        QTest::addColumn<QString>("cert");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("refusal");  // {dir} stands for the folder of the files
        QTest::newRow("good") << "a.crt" << "a.key" << "";
        QTest::newRow("no certificate file") << "无.crt" << "a.key" << "找不到这个文件。\r\n{dir}/无.crt";
        QTest::newRow("a key as certificate") << "a.key" << "a.key" << "这个文件不是PEM格式的证书。\r\n{dir}/a.key";
        QTest::newRow("a certificate as key") << "a.crt" << "a.crt"
                                              << "这个文件不是PEM格式的私钥（私钥不能设口令）。\r\n{dir}/a.crt";
        QTest::newRow("another pair's key") << "a.crt" << "b.key" << "这个私钥和证书不是一对。\r\n{dir}/b.key";
        QTest::newRow("the key alone") << "" << "a.key" << "证书和私钥文件要一起给出。\r\n{dir}/a.key";
    }

    void HttpsSettings() {
        QFETCH(QString, cert);
        QFETCH(QString, key);
        QFETCH(QString, refusal);
        QTemporaryDir folder;
        MakeCertificate(folder.path(), QStringLiteral("a"));
        MakeCertificate(folder.path(), QStringLiteral("b"));
        refusal.replace(QStringLiteral("{dir}"), folder.path());
        WMainWnd_cl window;
        window.Create();
        // The certificate is chosen with the file dialog, the key typed.
        if (!cert.isEmpty()) session->Prompt().files = {folder.filePath(cert)};
        const auto set = WhenShown<WPhoneSettingsDlg_cl>([&](WPhoneSettingsDlg_cl& dialog) {
            Click(Control<QPushButton>(dialog, WPhoneSettingsDlg_cl::IdCertBrowse));
            Type(Control<QLineEdit>(dialog, WPhoneSettingsDlg_cl::IdKey), folder.filePath(key));
            Click(Control<QPushButton>(dialog, WPhoneSettingsDlg_cl::IdOK));
            if (dialog.isVisible()) dialog.reject();
        });
        ClickMenu(window, WMainWnd_cl::IdPhoneSettings);
        QTRY_VERIFY(set->ran);
        QCOMPARE(session->Prompt().shown.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty()) {
            QVERIFY2(session->Prompt().shown[0].text.startsWith(refusal), qPrintable(session->Prompt().shown[0].text));
            QCOMPARE(WPhoneSettingsDlg_cl::Saved().certFile, QString());
            return;
        }
        QCOMPARE(WPhoneSettingsDlg_cl::Saved().certFile, folder.filePath(cert));
        QCOMPARE(WPhoneSettingsDlg_cl::Saved().keyFile, folder.filePath(key));

        ClickMenu(window, WMainWnd_cl::IdPhoneServe);
        const QString address = Address(window);
        QVERIFY2(address.startsWith(QStringLiteral("https://127.0.0.1:")), qPrintable(address));
        QCOMPARE(Get(address, "/").status, 200);
        QString link;
        const auto paired = WhenShown<WPhoneDlg_cl>([&](WPhoneDlg_cl& dialog) {
            Type(Control<QLineEdit>(dialog, WPhoneDlg_cl::IdLabel), QStringLiteral("phone"));
            Click(Control<QPushButton>(dialog, WPhoneDlg_cl::IdAdd));
            link = Control<QLineEdit>(dialog, WPhoneDlg_cl::IdLink)->text();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        ClickMenu(window, WMainWnd_cl::IdPhoneDevices);
        QTRY_VERIFY(paired->ran);
        QVERIFY2(link.startsWith(address + QStringLiteral("#k=")), qPrintable(link));
        QCOMPARE(Get(address, "/api/v1/me", link.mid(link.indexOf(QStringLiteral("#k=")) + 3)).status, 200);
        QVERIFY(session->Prompt().shown.isEmpty());
    }

private:
    std::unique_ptr<UserSession_cl> session;
};

WINDOW_TEST(WPhoneMenuTest);

#include "WPhoneMenuTest.moc"
