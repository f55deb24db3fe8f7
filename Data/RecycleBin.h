#pragma once

#include "Container/List.h"
#include "base/DateTime.h"
#include "base/Trusteeship.h"

#include <QString>
#include <cstdint>

namespace Vorelle_ns {

class RecordManage_cl;
class UserManage_cl;

// What a row of the recycle bin holds.
enum class DeletedKind_en : int32_t { Record = 0, Template = 1, User = 2, Schedule = 3 };

// One deleted item with the deletion it belongs to.
struct DeletedRow_st {
    DeletedKind_en kind = DeletedKind_en::Record;
    int32_t sn = 0;          // of the entry, template or user
    int32_t recyclerSn = 0;  // the deleting action
    Base_ns::DateTime_cl deletedAt;
    QString deletedBy;
    QString action;  // the deletion's description
    Base_ns::DateTime_cl recordTime;  // entries only
    QString typeName;                 // entries, templates and schedules
    QString expenseName;              // entries, templates and schedules
    int32_t expense = 0;              // entries, templates and schedules
    QString ownerName;                // the owner; for a user, his own name
};

// Lists and restores what was deleted. Whoever may not alter other users' entries sees
// and restores only his own; users are restored only by whoever may manage users, and
// without their entries. Every restore is one transaction, logged in the recycler.
class RecycleBin_cl {
public:
    RecycleBin_cl(UserManage_cl& userManage, RecordManage_cl& recordManage);
    RecycleBin_cl(const RecycleBin_cl&) = delete;
    RecycleBin_cl& operator=(const RecycleBin_cl&) = delete;

    static QString ClassName() { return QStringLiteral("RecycleBin_cl"); }

    // Newest deletion first; within a deletion users, templates, entries.
    Base_ns::Trusteeship_tl<DeletedRow_st> GetDeletions();
    // All or nothing. Moves the balances back; a category deleted meanwhile is restored
    // too (or the entry moved to a valid category of the same name and kind); an entry
    // whose owner is deleted is refused.
    void RestoreRecords(const Container_ns::List_tl<int32_t>& recordSns);
    void RestoreTemplate(int32_t templateSn);
    // A recurring entry, as it was when deleted.
    void RestoreSchedule(int32_t scheduleSn);
    // The user alone; a valid user of the same name refuses it.
    void RestoreUser(int32_t userSn);

private:
    void RestoreRecord(int32_t recordSn, int32_t recyclerSn);

    UserManage_cl& userManage;
    RecordManage_cl& recordManage;
};

}  // namespace Vorelle_ns
