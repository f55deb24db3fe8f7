// The saved book password in the desktop's keyring when one runs, in the links file (as
// before) when none does. Run by support/keyring-session.sh in a private D-Bus session
// with a real Secret Service.
#include "Data/DatabaseManage.h"
#include "platform/keyring/Keyring.h"
#include "support/TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(KeyringTest, TheSavedBookPasswordGoesWhereTheDesktopKeepsSecrets) {
    const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_TRUE(Platform_ns::Keyring_cl::Running())
        << "no Secret Service on the session bus (" << bus.constData()
        << "): this test runs through tests/support/keyring-session.sh";
    const QString password = QStringLiteral("Pa55-钥匙圈");
    const struct {
        const char* title;
        bool keyring;
    } cases[] = {{"a keyring runs", true}, {"no keyring runs", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        if (c.keyring) qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
        else qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        TempAppFolder_cl app;
        const QString links = app.Path() + QStringLiteral("DatabaseLink.bin");
        {
            Vorelle_ns::DatabaseManage_cl manage;
            manage.SaveChangesTo(links);
            manage.AddLocalLink(QStringLiteral("家"), app.Path() + QStringLiteral("家.mdb"), password);
        }
        QFile file(links);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const bool inFile = bytes.contains(password.toUtf8()) ||
                            bytes.contains(QByteArray(reinterpret_cast<const char*>(password.utf16()), password.size() * 2));
        EXPECT_EQ(inFile, !c.keyring);
        EXPECT_EQ(file.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
        QString kept;
        EXPECT_EQ(Platform_ns::Keyring_cl::Lookup(links, QStringLiteral("家"), kept), c.keyring);
        // Read back, the link opens its book.
        Vorelle_ns::DatabaseManage_cl again;
        again.Load(links);
        ASSERT_EQ(again.GetCount(), 1);
        EXPECT_EQ(again.GetLink(0).password, password);
        again.OpenLink(0);
        EXPECT_TRUE(again.IsOpen());
        again.CloseDatabase();
        // A removed link leaves nothing behind in the keyring.
        again.SaveChangesTo(links);
        again.RemoveLink(0, false);
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
        EXPECT_FALSE(Platform_ns::Keyring_cl::Lookup(links, QStringLiteral("家"), kept));
    }
}

}  // namespace
