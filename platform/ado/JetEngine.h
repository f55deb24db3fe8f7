#pragma once

#include "ConnectionString.h"
#include "Container/List.h"
#include "Engine.h"
#include "ErrorList.h"
#include "ProviderError.h"

struct sqlite3;
struct sqlite3_stmt;

namespace Ado_ns {

// "Microsoft.Jet.OLEDB.4.0": a local database file in the SQLite format through
// SQLCipher. The database password is the encryption key; an empty password leaves the
// file unencrypted. Statements pass through the Jet dialect translation. Date-times are
// stored as "%Y-%m-%d %H:%M:%S" texts and read back as VT_DATE from columns declared as
// dates or times, and from expression columns whose text has exactly that form. Nested
// transactions are savepoints.
class JetEngine_cl : public Engine_cl {
public:
    // Opens the file of "Data Source" with "Jet OLEDB:Database Password".
    JetEngine_cl(const ConnectionString_cl& settings, ErrorList_cl& errors);
    ~JetEngine_cl() override;

    // Creates an empty database file; an existing file gives DataSourceExists.
    static void Create(const ConnectionString_cl& settings);

    // How much of a file opening checks: Whole reads every page of its tables and indexes
    // (0.2 s for 100,000 entries) once for each state of the file in the process, up to
    // 64 MiB (some 200,000 entries), and weighs a larger file as Length does; Length only
    // weighs the file against the pages its header counts, for a short read that is not
    // worth reading the whole book for. Whole unless set.
    enum class PageCheck_en { Whole, Length };
    static void SetPageCheck(PageCheck_en check);

    std::shared_ptr<Recordset_cl> Execute(const QString& sql, const VariantList_tl& parameters,
                                          int32_t& recordsAffected) override;
    int32_t BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;
    // Through the engine's backup interface, encrypted with the same password. Written
    // beside destination under another name and renamed when complete, so that a failed
    // copy leaves nothing and an existing file (DataSourceExists) is never replaced.
    bool Backup(const QString& destination) override;

private:
    void CopyTo(const QString& temporary);
    // A statement prepared from text that has passed the checks, reset; the last few are
    // kept by their text, since preparing costs more than running most statements and an
    // import repeats some (balances, transaction steps) for every entry.
    sqlite3_stmt* Prepare(const QString& text);
    QString Translate(const QString& sql);
    std::shared_ptr<Recordset_cl> Run(const QString& sql, const VariantList_tl& parameters, int32_t& recordsAffected);
    void RunTransactionStep(const QString& sql);
    // The engine's last failure as a provider failure; remembers its native code.
    ProviderError_cl EngineError(int rc);
    // Puts the failure into the error list; notes a transaction the engine rolled back.
    void Record(const ProviderError_cl& error);

    struct Kept_st {
        QString text;
        sqlite3_stmt* stmt;
    };
    Container_ns::List_tl<Kept_st> kept;  // least recently used first
    struct Translated_st {
        QString sql, text;
    };
    // The last few statements run, and their translations: an import takes turns between
    // a few long ones.
    Container_ns::List_tl<Translated_st> translated;  // least recently used first
    sqlite3* db = nullptr;
    QString password;  // the key in use, empty for a plain file: a backup gets the same
    QByteArray salt;   // the file's, which a backup gets too
    ErrorList_cl& errors;
    int32_t level = 0;     // transaction nesting depth
    bool aborted = false;  // the engine rolled the open transaction back after a failure
    int32_t nativeError = 0;
};

}  // namespace Ado_ns
