#pragma once

#include "Data/RecordList.h"
#include "Data/RecordManage.h"
#include "Data/RecycleBin.h"
#include "Data/UserManage.h"

#include <QString>
#include <cstdint>

class QWidget;

namespace Vorelle_ns {

class DatabaseManage_cl;

// The thin layer the windows call: forwards to the record and user managers, and adds
// deleting a user with all his data and reading the public account with a power check.
class ControlUser_cl {
public:
    ControlUser_cl(DatabaseManage_cl& databaseManage, UserManage_cl& userManage, RecordManage_cl& recordManage,
                   RecycleBin_cl& recycleBin);
    ControlUser_cl(const ControlUser_cl&) = delete;
    ControlUser_cl& operator=(const ControlUser_cl&) = delete;

    static QString ClassName();

    // Remembers the entries as the last deletion, for UndoDelete.
    void DeleteRecords(const Container_ns::List_tl<int32_t>& recordSns);
    // Whether the logged-in user deleted entries in the open database since the start
    // that are not restored yet.
    bool CanUndoDelete() const;
    // Restores the last deletion through the recycle bin, and tells which entries came
    // back; raises when there is none.
    Container_ns::List_tl<int32_t> UndoDelete();
    Base_ns::Trusteeship_tl<QString> GetTypeNames(bool income);
    Base_ns::Trusteeship_tl<RecordRow_st> GetRecords(bool allUsers, const QString& userName,
                                                     const Base_ns::DateTime_cl& begin,
                                                     const Base_ns::DateTime_cl& end,
                                                     const RecordFilter_st& filter = {});
    RecordList_cl GetRecordList(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                                const Base_ns::DateTime_cl& end, const RecordFilter_st& filter = {});
    // The same entries handed to take as they are read, none kept; the number taken.
    int32_t EachRecord(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                       const Base_ns::DateTime_cl& end, const std::function<void(const RecordRow_st&)>& take);
    Base_ns::Trusteeship_tl<TypeSum_st> GetTypeSums(bool allUsers, const QString& userName,
                                                    const Base_ns::DateTime_cl& begin,
                                                    const Base_ns::DateTime_cl& end,
                                                    const RecordFilter_st& filter = {});
    void AddTemplate(bool income, const QString& typeName, const QString& expenseName, int32_t expense,
                     const QString& comment, int32_t statisticsMode);
    Base_ns::Trusteeship_tl<TemplateRow_st> GetTemplates(bool income);
    DB_ns::CrossTable_st GetMonthCrosstab(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                                        const Base_ns::DateTime_cl& end);
    DB_ns::CrossTable_st GetYearCrosstab(bool allUsers, const QString& userName);
    Base_ns::Trusteeship_tl<UserInfo_st> GetUsers();
    // Why a named user's entries cannot be shown: no name given yet, or nobody of that
    // name. Empty when the user is there.
    QString NamedUserGap(const QString& userName);

    // Asks first (OK / Cancel); then deletes the user's templates, entries (taking their
    // sum off the balances) and the user row under one recycler row, as one transaction.
    // Returns false when the question was not answered with OK.
    bool DeleteUser(int32_t userSn, QWidget* owner = nullptr);
    // The public balance, for users who may see other users' data.
    int32_t GetPublicAccount();

private:
    DatabaseManage_cl& databaseManage;
    UserManage_cl& userManage;
    RecordManage_cl& recordManage;
    RecycleBin_cl& recycleBin;
    // The last deletion: its entries, who deleted them and in which database.
    Container_ns::List_tl<int32_t> lastDeleted;
    int32_t lastDeleter = 0;
    QString lastDatabase;
};

}  // namespace Vorelle_ns
