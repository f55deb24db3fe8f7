#include "Control/ControlUser.h"

#include "Control/DataCore.h"
#include "DB/ADODatabase.h"
#include "DB/BeginTrans.h"
#include "Data/DatabaseManage.h"
#include "base/UserError.h"
#include "platform/prompt/Prompt.h"

#include <utility>
#include <iterator>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "当前用户没有权限查看公共帐户。"},
                                                  {102, "没有可以撤销的删除。"}};
    return Base_ns::UserError_cl(line, __FILE__, ControlUser_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

// Who the open database is, so that a deletion is undone only where it was made.
QString OpenIdentity(const DatabaseManage_cl& databaseManage) {
    if (!databaseManage.IsOpen()) return QString();
    const auto* connected = dynamic_cast<const DB_ns::ADODatabase_cl*>(&databaseManage.GetDatabase());
    return connected != nullptr ? connected->Identity() : QString();
}

}  // namespace

ControlUser_cl::ControlUser_cl(DatabaseManage_cl& databaseManage, UserManage_cl& userManage,
                               RecordManage_cl& recordManage, RecycleBin_cl& recycleBin)
    : databaseManage(databaseManage), userManage(userManage), recordManage(recordManage), recycleBin(recycleBin) {}

QString ControlUser_cl::ClassName() { return QStringLiteral("ControlUser_cl"); }

void ControlUser_cl::DeleteRecords(const Container_ns::List_tl<int32_t>& recordSns) {
    recordManage.DeleteRecords(recordSns);
    lastDeleted = recordSns;
    lastDeleter = userManage.GetCurrentUser();
    lastDatabase = OpenIdentity(databaseManage);
}

Base_ns::Trusteeship_tl<QString> ControlUser_cl::GetTypeNames(bool income) { return recordManage.GetTypeNames(income); }

Base_ns::Trusteeship_tl<RecordRow_st> ControlUser_cl::GetRecords(bool allUsers, const QString& userName,
                                                                 const Base_ns::DateTime_cl& begin,
                                                                 const Base_ns::DateTime_cl& end,
                                                                 const RecordFilter_st& filter) {
    return recordManage.GetRecords(allUsers, userName, begin, end, filter);
}

RecordList_cl ControlUser_cl::GetRecordList(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                                            const Base_ns::DateTime_cl& end, const RecordFilter_st& filter) {
    return recordManage.GetRecordList(allUsers, userName, begin, end, filter);
}

int32_t ControlUser_cl::EachRecord(bool allUsers, const QString& userName, const Base_ns::DateTime_cl& begin,
                                   const Base_ns::DateTime_cl& end,
                                   const std::function<void(const RecordRow_st&)>& take) {
    return recordManage.EachRecord(allUsers, userName, begin, end, {}, take);
}

Base_ns::Trusteeship_tl<TypeSum_st> ControlUser_cl::GetTypeSums(bool allUsers, const QString& userName,
                                                                const Base_ns::DateTime_cl& begin,
                                                                const Base_ns::DateTime_cl& end,
                                                                const RecordFilter_st& filter) {
    return recordManage.GetTypeSums(allUsers, userName, begin, end, filter);
}

void ControlUser_cl::AddTemplate(bool income, const QString& typeName, const QString& expenseName, int32_t expense,
                                 const QString& comment, int32_t statisticsMode) {
    recordManage.AddTemplate(income, typeName, expenseName, expense, comment, statisticsMode);
}

Base_ns::Trusteeship_tl<TemplateRow_st> ControlUser_cl::GetTemplates(bool income) {
    return recordManage.GetTemplates(income);
}

DB_ns::CrossTable_st ControlUser_cl::GetMonthCrosstab(bool allUsers, const QString& userName,
                                                    const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end) {
    return recordManage.GetMonthCrosstab(allUsers, userName, begin, end);
}

DB_ns::CrossTable_st ControlUser_cl::GetYearCrosstab(bool allUsers, const QString& userName) {
    return recordManage.GetYearCrosstab(allUsers, userName);
}

Base_ns::Trusteeship_tl<UserInfo_st> ControlUser_cl::GetUsers() { return userManage.GetUsers(); }

bool ControlUser_cl::CanUndoDelete() const {
    return lastDeleted.Count() != 0 && lastDeleter != 0 && lastDeleter == databaseManage.GetLoginUser() &&
           lastDatabase == OpenIdentity(databaseManage);
}

Container_ns::List_tl<int32_t> ControlUser_cl::UndoDelete() {
    if (!CanUndoDelete()) throw UserError(102, __LINE__);
    recycleBin.RestoreRecords(lastDeleted);
    Container_ns::List_tl<int32_t> restored = std::move(lastDeleted);
    lastDeleted.Clear();
    return restored;
}

bool ControlUser_cl::DeleteUser(int32_t userSn, QWidget* owner) {
    // Refused before the question, so that nobody confirms an action he may not take.
    userManage.CheckManageUsers();
    QString name;
    const Base_ns::Trusteeship_tl<UserInfo_st> users = userManage.GetUsers();
    for (int32_t i = 0; i < users.Count(); ++i) {
        if (users[i].sn == userSn) name = users[i].userName;
    }
    const int32_t count = recordManage.CountUserRecords(userSn);
    QString question = QStringLiteral("确定要删除用户“%1”吗？\r\n").arg(name);
    question += count == 0 ? QStringLiteral("该用户没有费用记录。用户可以在回收站恢复。")
                           : QStringLiteral("该用户的%1条费用记录将移到回收站，用户和记录都可以在回收站恢复。").arg(count);
    if (Platform_ns::Prompt().Message(owner, question, DataCore_cl::GetProductName(), Platform_ns::Buttons_en::OKCancel) !=
        Platform_ns::Answer_en::OK)
        return false;

    DB_ns::BeginTrans_cl transaction(&databaseManage.GetDatabase());
    const int32_t recyclerSn = recordManage.NewRecycler(QStringLiteral("删除用户。"));
    recordManage.DeleteUserTemplates(userSn, recyclerSn);
    if (count != 0) recordManage.DeleteUserRecords(userSn, recyclerSn);
    userManage.RemoveUser(userSn, recyclerSn);
    transaction.Commit();
    return true;
}

int32_t ControlUser_cl::GetPublicAccount() {
    if (!userManage.CanViewOthers()) throw UserError(101, __LINE__);
    return userManage.GetPublicAccount();
}

QString ControlUser_cl::NamedUserGap(const QString& userName) {
    if (userName.isEmpty()) return QStringLiteral("请输入用户名");
    if (userManage.FindUser(userName) == 0) return QStringLiteral("没有用户“%1”").arg(userName);
    return QString();
}

}  // namespace Vorelle_ns
