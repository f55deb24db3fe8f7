#pragma once

#include "Control/DataCore.h"
#include "DB/IDatabase.h"
#include "WindowTesting.h"

#include <QDateTime>
#include <cstdint>

// A window-test environment with a new local database whose super administrator is
// logged in, and short ways to book entries and look at what the database holds.
class RecordSession_cl {
public:
    static inline const QString SuperName = QStringLiteral("老王");
    static inline const QString Password = QStringLiteral("pw");

    explicit RecordSession_cl(const QString& database = QStringLiteral("家庭")) {
        link = WindowTesting_ns::AddDatabase(database, QStringLiteral("本地库/") + database + QStringLiteral(".mdb"),
                                             SuperName, Password);
        LogIn(SuperName);
    }

    int32_t Link() const { return link; }

    // Logs in to this session's database; every user has the password Password.
    void LogIn(const QString& userName) const {
        Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
        if (core.GetDatabaseManage().GetLoginUser() != 0) core.GetUserManage().Logout();
        core.GetDatabaseManage().OpenLink(link);
        core.GetUserManage().Login(userName, Password);
    }
    // Added by the logged-in user; returns the new user's serial number.
    static int32_t AddUser(const QString& userName, int32_t power) {
        Vorelle_ns::DataCore().GetUserManage().AddUser(userName, power, Password);
        return Vorelle_ns::DataCore().GetUserManage().FindUser(userName);
    }

    // Books an entry for the logged-in user; returns its serial number.
    static int32_t Book(const QString& category, const QString& name, int32_t cents, const QDateTime& time,
                        int32_t mode = 0, const QString& comment = QString()) {
        Vorelle_ns::DataCore().GetRecordManage().AddRecord(category, name, cents, comment,
                                                           Base_ns::DateTime_cl::FromQDateTime(time), mode);
        return NewestSn();
    }

    static int32_t Count(const QString& sql) {
        int32_t count = -1;
        Vorelle_ns::DataCore().GetDatabaseManage().GetDatabase().QueryCount(sql, count);
        return count;
    }
    static int32_t LiveRecords() { return Count(QStringLiteral("select count(*) from zorb_record where valid = '1'")); }
    static int32_t NewestSn() { return Count(QStringLiteral("select max(sn) from zorb_record")); }
    // The newest entry as the records layer reads it.
    static Vorelle_ns::RecordDetail_st Newest() { return Vorelle_ns::DataCore().GetRecordManage().GetRecord(NewestSn()); }
    static int32_t SingleAccount() { return Vorelle_ns::DataCore().GetUserManage().GetSingleAccount(); }
    static int32_t PublicAccount() { return Vorelle_ns::DataCore().GetUserManage().GetPublicAccount(); }

private:
    int32_t link = -1;
};
