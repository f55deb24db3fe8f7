#include "BeginTrans.h"

#include "IDatabase.h"
#include "base/SysError.h"

#include <exception>
#include <iterator>

namespace DB_ns {

namespace {
Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "空指针。"}, {2, "不能反复关闭事务。"}};
    return Base_ns::SysError_cl(line, __FILE__, BeginTrans_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}
}  // namespace

BeginTrans_cl::BeginTrans_cl(IDatabase_cl* database)
    : database(database), uncaughtAtStart(std::uncaught_exceptions()) {
    if (database == nullptr) throw SysError(1, __LINE__);
    database->BeginTrans();
}

BeginTrans_cl::~BeginTrans_cl() noexcept(false) {
    if (database == nullptr) return;
    if (std::uncaught_exceptions() <= uncaughtAtStart) {
        database->RollbackTrans();
        return;
    }
    // Another error is on its way to the caller and must arrive unchanged; a refused
    // rollback (an inner level under simulated nesting, or a provider failure) is only
    // written to the log. The outermost guard still reaches the provider, since a
    // refused inner rollback has already lowered the nesting count.
    try {
        database->RollbackTrans();
    } catch (const Base_ns::SysError_cl& error) {
        error.AppendToLog();
    } catch (const Base_ns::Error_cl&) {
    }
}

void BeginTrans_cl::Commit() {
    if (database == nullptr) throw SysError(2, __LINE__);
    database->CommitTrans();
    database = nullptr;
}

}  // namespace DB_ns
