#pragma once

#include "Container/List.h"
#include "DB/BoundSQL.h"
#include "DB/ComplexCommand.h"
#include "DB/SimpleOutRecords.h"
#include "Data/RecordFilter.h"
#include "base/DateTime.h"
#include "base/Trusteeship.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace Vorelle_ns {

class RecordList_cl;
class UserManage_cl;

// One entry to import, as read from a CSV file.
struct RecordInfo_st {
    Base_ns::DateTime_cl recordTime;
    QString typeName;
    QString expenseName;
    int32_t expense = 0;  // hundredths; > 0 income, < 0 expense
    QString userName;     // the owner
    int32_t statisticsMode = 0;
    QString comment;
    int32_t line = 0;  // the line of the file it was read from, named in refusals; 0: none
    // Money back from a purchase: a positive amount in an expense category, which the
    // category's sums take off its spending.
    bool refund = false;
};

// One row of an entry list.
struct RecordRow_st {
    int32_t sn = 0;
    Base_ns::DateTime_cl recordTime;
    QString typeName;
    QString expenseName;
    int32_t expense = 0;
    QString userName;  // the owner
    int32_t statisticsMode = 0;
    QString comment;
    bool refund = false;  // money back in an expense category
};

// One entry read for altering.
struct RecordDetail_st {
    QString typeName;
    QString expenseName;
    int32_t expense = 0;
    bool refund = false;  // money back in an expense category
    QString comment;
    Base_ns::DateTime_cl recordTime;
    int32_t statisticsMode = 0;
    bool mayAlter = false;  // whether the logged-in user may change it
};

// The sum of one category's entries over a period.
struct TypeSum_st {
    int32_t sn = 0;
    QString typeName;
    bool income = false;  // the category's kind: a refund-only period gives an expense category a positive sum
    int32_t sum = 0;
};

// The totals under a list of category sums, split by the categories' kind: refunds lower
// the expense (which may end above zero) and never count as income. Totals of many
// categories can pass 32 bits where no single sum does.
struct SumTotals_st {
    int64_t expense = 0;
    int64_t income = 0;
    bool anyExpense = false;  // whether any expense category is listed
    bool anyIncome = false;
};

// One template (a frequently used entry of the logged-in user).
struct TemplateRow_st {
    int32_t sn = 0;
    QString typeName;
    QString expenseName;
    int32_t expense = 0;
    int32_t statisticsMode = 0;
    QString comment;
};

// Books, alters, lists, sums, imports and deletes entries; creates categories on demand;
// keeps templates; writes the recycler; builds the month and year crosstabs. Keeps no
// state: the open database and the logged-in user come from the user manager.
class RecordManage_cl {
public:
    explicit RecordManage_cl(UserManage_cl& userManage);
    RecordManage_cl(const RecordManage_cl&) = delete;
    RecordManage_cl& operator=(const RecordManage_cl&) = delete;

    static QString ClassName() { return QStringLiteral("RecordManage_cl"); }

    // The entry, category, template and recycler tables with the default categories.
    void CreateTables();
    // Adds to a local or PostgreSQL book made by an earlier version the indexes this one
    // reads with (once: the first opening of a large book takes a few seconds; copies
    // opening it at once take turns). A book that cannot be written, or a server login
    // without the right, is left as it is and the reason logged.
    void AddMissingIndexes();

    // statisticsMode: 0 monthly, 1 yearly, anything else neither. ownerSn 0: the
    // logged-in user.
    // Returns the new entry's serial number.
    int32_t AddRecord(const QString& typeName, const QString& expenseName, int32_t expense, const QString& comment,
                      const Base_ns::DateTime_cl& recordTime, int32_t statisticsMode, int32_t ownerSn = 0);
    void AlterRecord(int32_t recordSn, const QString& typeName, const QString& expenseName, int32_t expense,
                     const QString& comment, const Base_ns::DateTime_cl& recordTime, int32_t statisticsMode);
    RecordDetail_st GetRecord(int32_t recordSn);
    // All or nothing: the rights are checked for the whole list before anything changes.
    // info: the deletion as the recycle bin names it.
    void DeleteRecords(const Container_ns::List_tl<int32_t>& recordSns,
                       const QString& info = QStringLiteral("删除费用记录。"));
    // Raises what DeleteRecords would for an entry the logged-in user may not delete, so
    // that nobody is asked to confirm what he is then refused.
    void CheckDeletable(const Container_ns::List_tl<int32_t>& recordSns);
    // All or nothing.
    void ImportRecords(const Container_ns::List_tl<RecordInfo_st>& records);
    // The same for entries read one at a time: next fills the next entry and returns true,
    // or returns false at the end; what it raises undoes the import. Nothing is kept but
    // the entry at hand, so a file of any length imports in the same memory.
    void ImportRecords(const std::function<bool(RecordInfo_st&)>& next);

    Base_ns::Trusteeship_tl<QString> GetTypeNames(bool income);
    // The same, those the logged-in user booked most often since "since" first, then the
    // others in the order GetTypeNames gives.
    Base_ns::Trusteeship_tl<QString> GetTypeNamesByUse(bool income, const Base_ns::DateTime_cl& since);
    // The categories the logged-in user's lists can be narrowed to: all of them, or for a
    // user who sees only his own entries, those he made or booked under.
    Base_ns::Trusteeship_tl<QString> GetFilterTypeNames(bool income);
    // allUsers, or the named user (empty name: the logged-in user), narrowed by filter.
    // Newest first.
    Base_ns::Trusteeship_tl<RecordRow_st> GetRecords(bool allUsers, const QString& userName,
                                                     const Base_ns::DateTime_cl& begin,
                                                     const Base_ns::DateTime_cl& end,
                                                     const RecordFilter_st& filter = {});
    // The same entries held compactly, read piece rows at a time: a long list never has
    // the whole result of its statement in memory.
    RecordList_cl GetRecordList(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                                const Base_ns::DateTime_cl& end, const RecordFilter_st& filter = {},
                                int32_t piece = 16384);
    // The same entries handed to take one by one as they are read, for a writer that
    // keeps none of them; the number taken.
    int32_t EachRecord(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                       const Base_ns::DateTime_cl& end, const RecordFilter_st& filter,
                       const std::function<void(const RecordRow_st&)>& take, int32_t piece = 16384);
    // The sums of the entries GetRecords lists. Expense categories first, each kind by
    // category serial number.
    Base_ns::Trusteeship_tl<TypeSum_st> GetTypeSums(bool allUsers, const QString& userName,
                                                    const Base_ns::DateTime_cl& begin,
                                                    const Base_ns::DateTime_cl& end,
                                                    const RecordFilter_st& filter = {});
    [[nodiscard]] static SumTotals_st Totals(const Base_ns::Trusteeship_tl<TypeSum_st>& sums);

    // One column per month from begin's month to end's; monthly entries only.
    DB_ns::CrossTable_st GetMonthCrosstab(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                                        const Base_ns::DateTime_cl& end);
    // One column per year from the earliest entry to the latest; monthly and yearly entries.
    DB_ns::CrossTable_st GetYearCrosstab(bool allUsers, const QString& userName);

    void AddTemplate(bool income, const QString& typeName, const QString& expenseName, int32_t expense,
                     const QString& comment, int32_t statisticsMode);
    void DeleteTemplate(int32_t templateSn);
    Base_ns::Trusteeship_tl<TemplateRow_st> GetTemplates(bool income);

    // Writes the recycler row of one deleting action and returns its serial number.
    int32_t NewRecycler(const QString& info);

    // Used when a user is deleted with all his data.
    int32_t CountUserRecords(int32_t userSn);
    void DeleteUserTemplates(int32_t userSn, int32_t recyclerSn);
    void DeleteUserRecords(int32_t userSn, int32_t recyclerSn);

    // The serial number of the category of that name and kind, created when missing;
    // an empty name stands for "收入" or "开销".
    int32_t GetTypeSn(const QString& typeName, bool income);
    // Whether a valid category of that name and kind is there (made by nobody meanwhile).
    [[nodiscard]] bool HasType(const QString& typeName, bool income);
    // The user filter of the lists, sums and crosstabs: 0 for all users or an empty
    // name, else the named user's serial number. Refuses other users to whoever may not
    // see them.
    int32_t CheckViewUser(bool allUsers, const QString& userName);

private:
    // The serial number to filter by when not all users are shown.
    int32_t FilterUser(bool allUsers, const QString& userName);
    // head, the user filter, the filter's pieces, tail.
    template <std::size_t Head, std::size_t Tail>
    DB_ns::BoundSQL_st FilteredStatement(const DB_ns::SQLTemplate_st (&head)[Head], const DB_ns::SQLTemplate_st (&tail)[Tail],
                                         bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                                         const Base_ns::DateTime_cl& end, const RecordFilter_st& filter);
    // The category's serial number, made with alterSn as its author when missing.
    int32_t FindOrAddType(const QString& typeName, bool income, int32_t alterSn);
    // Inserts one checked entry of owner and moves the balances; the caller holds the
    // transaction.
    void BookRecord(int32_t typeSn, const QString& expenseName, int32_t expense, const QString& comment,
                    const Base_ns::DateTime_cl& recordTime, int32_t statisticsMode, int32_t ownerSn);

    UserManage_cl& userManage;
};

}  // namespace Vorelle_ns
