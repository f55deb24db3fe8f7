#pragma once

#include "Control/DataCore.h"
#include "DB/IDatabase.h"
#include "support/TempFolder.h"
#include "support/TempSettings.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <cstdint>

// A new local database in a temporary application folder with settings in a temporary
// folder, its super administrator logged in. Leaves the data core as it found it.
class UserSession_cl {
public:
    static inline const QString SuperName = QStringLiteral("老王");
    static inline const QString SuperPassword = QStringLiteral("wang");

    UserSession_cl() {
        Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
        core.AttachLocalDatabase(QStringLiteral("本地库/家庭.mdb"), QStringLiteral("家庭"), QStringLiteral("key"));
        link = core.GetDatabaseManage().GetCount() - 1;
        core.InitDatabase(link, SuperName, SuperPassword);
        LogIn(SuperName, SuperPassword);
    }
    ~UserSession_cl() {
        Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
        if (core.GetDatabaseManage().GetLoginUser() != 0) core.GetUserManage().Logout();
        core.GetDatabaseManage().RemoveLink(link, false);
    }

    void LogIn(const QString& userName, const QString& password) {
        Vorelle_ns::DataCore().GetDatabaseManage().OpenLink(link);
        Vorelle_ns::DataCore().GetUserManage().Login(userName, password);
    }
    // Added by whoever is logged in; returns the new user's serial number.
    int32_t AddUser(const QString& userName, int32_t power, const QString& password = QStringLiteral("pw")) {
        Vorelle_ns::DataCore().GetUserManage().AddUser(userName, power, password);
        return Vorelle_ns::DataCore().GetUserManage().FindUser(userName);
    }
    static int32_t Count(const QString& sql) {
        int32_t count = -1;
        Vorelle_ns::DataCore().GetDatabaseManage().GetDatabase().QueryCount(sql, count);
        return count;
    }

private:
    TempAppFolder_cl folder;
    TempSettings_cl settings;
    int32_t link = -1;
};

// Acts on the next modal dialog once it runs; a dialog the action leaves open is
// cancelled, so that a failing test cannot hang.
template <typename Action>
void OnNextModal(Action action, int32_t tries = 100) {
    QTimer::singleShot(0, [action, tries] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (tries > 0) OnNextModal(action, tries - 1);
            return;
        }
        action(dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}
