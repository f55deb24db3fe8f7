#pragma once

#include <QString>

namespace DB_ns {

class IDatabase_cl;

// Ties one transaction to a scope: begun on construction, rolled back on leaving the
// scope unless committed.
class BeginTrans_cl {
public:
    explicit BeginTrans_cl(IDatabase_cl* database);
    // May raise the rollback's error, but only when no other error is propagating.
    ~BeginTrans_cl() noexcept(false);

    BeginTrans_cl(const BeginTrans_cl&) = delete;
    BeginTrans_cl& operator=(const BeginTrans_cl&) = delete;

    void Commit();

    static QString ClassName() { return QStringLiteral("BeginTrans_cl"); }

private:
    IDatabase_cl* database;  // not owned; empty once committed
    int uncaughtAtStart;     // errors already propagating when the guard was made
};

}  // namespace DB_ns
