#include "Book.h"

#include "Control/DataCore.h"
#include "Control/LocalBookMaker.h"
#include "Data/UserInput.h"
#include "UsageError.h"
#include "base/UserError.h"

#include <QFileInfo>
#include <iterator>

namespace Cli_ns {

namespace {

using Vorelle_ns::DataCore;

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "数据库文件不存在。"},
                                                  {103, "数据库还没有创建，请先用create命令创建。"},
                                                  {104, "数据库中已经有账本。"}};
    return Base_ns::UserError_cl(line, __FILE__, Book_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

// The name of the link held in memory; never saved.
const QString kLinkName = QStringLiteral("vorelle-cli");

}  // namespace

Book_cl::Book_cl(std::optional<BookAddress_st> address, const QString& userName, const Secrets_st& secrets)
    : address(std::move(address)), userName(userName), secrets(secrets) {}

Book_cl::~Book_cl() {
    Vorelle_ns::DataCore_cl& core = DataCore();
    try {
        if (loggedIn) core.GetUserManage().Logout();
    } catch (const Base_ns::Error_cl&) {
        // Closing the settings of a book being left: nothing is lost.
    }
    core.GetDatabaseManage().CloseDatabase();
}

const BookAddress_st& Book_cl::Address() const {
    if (!address) throw Usage(109, __LINE__);
    return *address;
}

bool Book_cl::Attach() {
    const BookAddress_st& where = Address();
    Vorelle_ns::DataCore_cl& core = DataCore();
    bool current = false;
    switch (where.kind) {
    case BookAddress_st::Kind_en::Local:
        // A file that cannot be opened is named in the error line.
        subject = where.path;
        current = core.AttachLocalDatabase(where.path, kLinkName, secrets.bookPassword);
        subject.clear();
        break;
    case BookAddress_st::Kind_en::SqlServer:
        current = core.AttachSQLServerDatabase(where.address, kLinkName, where.login, secrets.bookPassword);
        break;
    case BookAddress_st::Kind_en::PostgreSQL:
        current = core.AttachPostgreSQLDatabase(where.address, where.database, kLinkName, where.login,
                                                secrets.bookPassword);
        break;
    }
    link = core.GetDatabaseManage().GetCount() - 1;
    return current;
}

void Book_cl::Create(const QString& adminName) {
    const BookAddress_st& where = Address();
    Vorelle_ns::UserInput_cl::CheckNewAccount(adminName, secrets.password, secrets.password);
    Vorelle_ns::DataCore_cl& core = DataCore();
    if (where.kind != BookAddress_st::Kind_en::Local) {
        if (Attach()) throw UserError(104, __LINE__);
        core.InitDatabase(link, adminName, secrets.password);
        return;
    }
    Vorelle_ns::LocalBookMaker_cl::Make(core, where.path, secrets.bookPassword, adminName, secrets.password);
}

void Book_cl::Open() {
    const BookAddress_st& where = Address();
    if (userName.isEmpty()) throw Usage(110, __LINE__);
    Vorelle_ns::UserInput_cl::CheckName(userName);
    Vorelle_ns::UserInput_cl::CheckPassword(secrets.password);
    if (where.kind == BookAddress_st::Kind_en::Local && !QFileInfo(where.path).isFile()) {
        throw UserError(101, __LINE__, where.path);
    }
    bool current = false;
    try {
        current = Attach();
    } catch (const Base_ns::UserError_cl&) {
        // A file whose making was cut short is named as such, not as damaged.
        const bool local = where.kind == BookAddress_st::Kind_en::Local;
        if (local && Vorelle_ns::LocalBookMaker_cl::IsHalfMade(where.path, secrets.bookPassword))
            Vorelle_ns::LocalBookMaker_cl::RefuseHalfMade(where.path);
        throw;
    }
    if (!current) {
        if (where.kind == BookAddress_st::Kind_en::Local) Vorelle_ns::LocalBookMaker_cl::RefuseHalfMade(where.path);
        throw UserError(103, __LINE__);
    }
    Vorelle_ns::DataCore_cl& core = DataCore();
    core.Login(link, userName, secrets.password);
    loggedIn = true;
}

Vorelle_ns::LinkInfo_st Book_cl::Link() {
    const BookAddress_st& where = Address();
    if (where.kind == BookAddress_st::Kind_en::Local && !QFileInfo(where.path).isFile()) {
        throw UserError(101, __LINE__, where.path);
    }
    if (!Attach()) throw UserError(103, __LINE__);
    return DataCore().GetDatabaseManage().GetLink(link);
}

}  // namespace Cli_ns
