#pragma once

#include "Control/DataCore.h"
#include "DB/IDatabase.h"
#include "WindowTesting.h"

#include <cstdint>

// A window test's environment with a new local database whose super administrator is
// logged in.
class UserSession_cl {
public:
    static inline const QString SuperName = QStringLiteral("老王");
    static inline const QString SuperPassword = QStringLiteral("wang");

    UserSession_cl()
        : link(WindowTesting_ns::AddDatabase(QStringLiteral("家庭"), environment.AppFolder() + QStringLiteral("本地库/家庭.mdb"),
                                             SuperName, SuperPassword)) {
        LogIn(SuperName, SuperPassword);
    }

    RecordingPrompt_cl& Prompt() { return environment.prompt; }

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
    WindowTesting_ns::Environment_cl environment;
    int32_t link;
};
