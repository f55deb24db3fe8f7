#pragma once

#include "IDatabase.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace Ado_ns {
class Connection_cl;
class ProviderError_cl;
}

namespace DB_ns {

// Runs the interface over one provider connection and turns every provider failure into
// a system error whose remark carries the SQL text and the provider's diagnostics, except
// the causes the user can act on (the database busy, read-only, the disk full, the file
// damaged or unreadable), which become user errors naming the file.
// Subclasses make the connection and tell the kind.
class ADODatabase_cl : public IDatabase_cl {
public:
    ~ADODatabase_cl() override;

    void BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;
    int32_t QueryCount(const QString& sql, int32_t& count) override;
    int32_t ExecuteNoRecords(const QString& sql) override;
    int32_t Query(const QString& sql, SimpleOutRecords_cl& records) override;
    int32_t Query(const BoundSQL_st& statement, SimpleOutRecords_cl& records) override;
    bool TableExists(const QString& table) override;

    virtual QString GetClassName() const { return QStringLiteral("ADODatabase_cl"); }

    // Who this database is, for remembering per-database values: the local file's
    // absolute path, or the provider, address and login; empty while unconnected.
    QString Identity() const;

    // How many statements all databases of the process have sent: what a test watches to
    // see that a window left alone asks nothing.
    static int64_t StatementsRun();
    // While into is set, appends to it the text of every statement any database of the
    // process sends: what a test reads to check the statements a dialect really gets.
    static void RecordStatements(QStringList* into);

protected:
    explicit ADODatabase_cl(bool simulateNesting);

    // Replaces any earlier connection by a new, unopened one.
    Ado_ns::Connection_cl& NewConnection();
    // Lets go of the connection (a failed open leaves none).
    void DropConnection();
    // Raises the user error for a failure the user can act on, naming place; returns
    // for any other failure.
    void RaiseUserCause(const Ado_ns::ProviderError_cl& error, const QString& place) const;

    std::unique_ptr<Ado_ns::Connection_cl> connection;
    int32_t nestCount = 0;
    bool simulateNesting;

private:
    Ado_ns::Connection_cl& Connected();
    void CheckErrors(const QString& sql);
    // The file or address the connection reaches.
    QString Place() const;
    // A failing statement or transaction step: a user error for a cause the user can act
    // on, otherwise the system error code with remark.
    [[noreturn]] void Fail(const Ado_ns::ProviderError_cl& error, int32_t code, int32_t line, const QString& remark) const;
};

// The interface code of a provider failure: its result code less 0x80040200 when it lies
// in the providers' range 0x80040200-0x8004FFFF, otherwise 0.
int32_t InterfaceCode(const Ado_ns::ProviderError_cl& error);
// Provider descriptions end lines with "\n"; remarks use "\r\n".
QString WindowsLines(const QString& text);

}  // namespace DB_ns
