#include "JetEngine.h"

#include "JetDialect.h"
#include "JetFunctions.h"
#include "JetKey.h"
#include "SystemInfo/PartialFile.h"
#include "base/DateTime.h"

#include <QFile>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QFileInfo>
#include <QUtf8StringView>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <mutex>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

namespace Ado_ns {

namespace {

const QString kPathKey = QStringLiteral("Data Source");
const QString kPasswordKey = QStringLiteral("Jet OLEDB:Database Password");
const char kPlainHeader[] = "SQLite format 3";  // 16 bytes with its terminating zero
constexpr int kBusyMilliseconds = 5000;        // another program may hold the file briefly
// Pages stay decrypted in memory between statements up to this size: reading a page of an
// encrypted file again costs its decryption.
const char kCacheSize[] = "pragma cache_size = -32768";  // KiB

QString EngineMessage(sqlite3* db) {
    return QString::fromUtf16(static_cast<const char16_t*>(sqlite3_errmsg16(db)));
}

constexpr int32_t kKeptStatements = 16;
constexpr int32_t kKeptTranslations = 4;

// The cause a file that cannot be made or renamed gives, as errno tells it.
uint32_t FileResult(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return Result_ns::ReadOnly;
    case ENOSPC:
    case EDQUOT:
        return Result_ns::DiskFull;
    default:
        return Result_ns::FileAccess;
    }
}

// Resets a kept statement when the scope ends, however it ends, so that it holds no lock
// between runs.
struct Reset_st {
    sqlite3_stmt* stmt;
    ~Reset_st() {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
};

// Binds the values to the statement's markers; a date as the text the engine keeps dates in.
int BindAll(sqlite3_stmt* stmt, const VariantList_tl& parameters) {
    int rc = SQLITE_OK;
    for (int i = 0; i < int(parameters.size()) && rc == SQLITE_OK; ++i) {
        const Variant_st& value = parameters[size_t(i)];
        QString text;
        switch (value.type) {
        case VT_I2:
        case VT_I4:
        case VT_BOOL:
            rc = sqlite3_bind_int64(stmt, i + 1, value.integer);
            break;
        case VT_DECIMAL:
            rc = value.scale == 0 ? sqlite3_bind_int64(stmt, i + 1, value.integer)
                                  : sqlite3_bind_double(stmt, i + 1, double(value.integer) / std::pow(10.0, value.scale));
            break;
        case VT_R8:
            rc = sqlite3_bind_double(stmt, i + 1, value.real);
            break;
        case VT_BSTR:
        case VT_DATE:
            if (!value.ToText(text))
                throw ProviderError_cl(Result_ns::ErrorsInCommand,
                                       QStringLiteral("Parameter %1 is a date out of range.").arg(i + 1));
            rc = sqlite3_bind_text16(stmt, i + 1, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
            break;
        default:
            rc = sqlite3_bind_null(stmt, i + 1);
        }
    }
    return rc;
}

bool IsDateType(const void* declared) {
    if (declared == nullptr)
        return false;
    const QString type = QString::fromUtf16(static_cast<const char16_t*>(declared)).toLower();
    return type.contains(u"date") || type.contains(u"time");
}

// declared: the column is declared as a date or time; expression: it has no declared type.
// Texts are read as the engine keeps them, in UTF-8, so that a date costs no conversion.
Variant_st ColumnValue(sqlite3_stmt* stmt, int column, bool declared, bool expression) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return Variant_st::Null();
    case SQLITE_INTEGER:
        return declared ? Variant_st::Date(double(sqlite3_column_int64(stmt, column)))
                        : Variant_st::Integer(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
        return declared ? Variant_st::Date(sqlite3_column_double(stmt, column))
                        : Variant_st::Real(sqlite3_column_double(stmt, column));
    default: {
        const char* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        const QUtf8StringView text(bytes, bytes == nullptr ? 0 : sqlite3_column_bytes(stmt, column));
        if (declared || expression) {
            const Base_ns::DateTime_cl date =
                declared ? Base_ns::DateTime_cl::Parse(text) : Base_ns::DateTime_cl::ParseFormatted(text);
            if (date.IsValid())
                return Variant_st::Date(date.Value());
        }
        return Variant_st::Text(text.toString());
    }
    }
}

// Some library code leaves the upper halves of the AVX registers in use without clearing
// them (seen after Qt's settings classes ran). Until something clears them, every SSE
// instruction of the engine waits on that state: a large crosstab ran 60 % slower.
void ClearUpperVectorState() {
#if defined(__x86_64__)
    static const bool avx = (__builtin_cpu_init(), __builtin_cpu_supports("avx"));
    if (avx)
        __asm__ volatile("vzeroupper");
#endif
}

// Whether a file that the engine cannot read looks like an encrypted database: it is
// not a plain database and consists of whole encrypted pages.
bool LooksEncrypted(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(sizeof kPlainHeader);
    return head != QByteArray(kPlainHeader, sizeof kPlainHeader) && file.size() > 0 && file.size() % 1024 == 0;
}

bool IsPlainDatabase(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(sizeof kPlainHeader) == QByteArray(kPlainHeader, sizeof kPlainHeader);
}

// Whether the engine's own check of every page finds nothing wrong.
bool IsSound(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    bool sound = sqlite3_prepare_v2(db, "pragma quick_check(1)", -1, &stmt, nullptr) == SQLITE_OK &&
                 sqlite3_step(stmt) == SQLITE_ROW &&
                 QUtf8StringView(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) == "ok";
    sqlite3_finalize(stmt);
    return sound;
}

// One number a statement yields; -1 when it yields none.
int64_t Number(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    int64_t number = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        number = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return number;
}

// salt: the file's, or the one a new file gets.
int ApplyKey(sqlite3* db, const QString& password, const QByteArray& salt) {
    if (password.isEmpty())
        return SQLITE_OK;
    const QByteArray key = JetKey_cl::For(password, salt);
    return sqlite3_key(db, key.constData(), int(key.size()));
}

std::atomic<JetEngine_cl::PageCheck_en> pageCheck{JetEngine_cl::PageCheck_en::Whole};

// The files this process found whole, each with its length and time of change then: a
// later connection to the file unchanged is not worth reading it all again for.
struct Checked_st {
    qint64 size;
    QDateTime changed;
};
std::mutex checkedGuard;
QHash<QString, Checked_st> checkedFiles;

bool CheckedBefore(const QFileInfo& file) {
    const std::lock_guard lock(checkedGuard);
    const auto found = checkedFiles.constFind(file.absoluteFilePath());
    return found != checkedFiles.cend() && found->size == file.size() && found->changed == file.lastModified();
}

void RememberChecked(const QFileInfo& file) {
    const std::lock_guard lock(checkedGuard);
    checkedFiles.insert(file.absoluteFilePath(), {file.size(), file.lastModified()});
}

// Whether the file holds the pages its header counts, and every page of its tables and
// indexes reads back as written: the engine's check reads each of them, and a page of an
// encrypted book that was changed on the disk fails its code when it is read. A page
// appended, or pages cut off, leave the file's length and the count apart. On a
// connection of its own, in one read transaction: a writer of another program is never
// caught half-way, and the book's connection keeps no pages of the check in its cache.
// SQLITE_OK when whole, SQLITE_CORRUPT when not, else why it could not be checked (a
// writer holding the file too long).
int CheckPages(const QString& path, const QString& password, const QByteArray& salt) {
    const QFileInfo file(path);  // how much to read; the length is weighed under the read lock
    // Reading every page costs about 4 s of a book of a million entries (350 MB of 1 KB
    // pages): a book that large is weighed by its length only, its pages checked as read.
    constexpr qint64 kWholeCheckBytes = 64 << 20;
    const bool whole = pageCheck == JetEngine_cl::PageCheck_en::Whole && file.size() <= kWholeCheckBytes;
    if (whole && CheckedBefore(file)) return SQLITE_OK;
    sqlite3* check = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &check, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK)
        rc = ApplyKey(check, password, salt);
    if (rc == SQLITE_OK)
        rc = JetFunctions_cl::Register(check);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(check, kBusyMilliseconds);
        rc = sqlite3_exec(check, "begin; select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) {
        // Taken now, while no writer can change the file.
        const QFileInfo locked(path);
        if (Number(check, "pragma page_count") * Number(check, "pragma page_size") != locked.size() ||
            (whole && !IsSound(check)))
            rc = SQLITE_CORRUPT;
        else if (whole)
            RememberChecked(locked);
    }
    if ((rc & 0xFF) == SQLITE_NOTADB || (rc & 0xFF) == SQLITE_CORRUPT)
        rc = SQLITE_CORRUPT;
    sqlite3_close_v2(check);  // ends the read transaction
    return rc;
}

}  // namespace

void JetEngine_cl::SetPageCheck(PageCheck_en check) { pageCheck = check; }

JetEngine_cl::JetEngine_cl(const ConnectionString_cl& settings, ErrorList_cl& errors) : errors(errors) {
    const QString path = settings.Value(kPathKey);
    try {
        if (!QFileInfo(path).isFile())
            throw ProviderError_cl(Result_ns::Fail, QStringLiteral("Could not find file '%1'.").arg(path));
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK)
            throw ProviderError_cl(Result_ns::FileAccess, EngineMessage(db));
        // A file without encryption opens whatever password is given, as an unprotected
        // Jet file does.
        password = IsPlainDatabase(path) ? QString() : settings.Value(kPasswordKey);
        salt = JetKey_cl::SaltOf(path);
        if (ApplyKey(db, password, salt) != SQLITE_OK || JetFunctions_cl::Register(db) != SQLITE_OK)
            throw EngineError(sqlite3_errcode(db));
        sqlite3_busy_timeout(db, kBusyMilliseconds);
        // The key is only tried by the first read.
        const int read = sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
        if (read == SQLITE_NOTADB || QFileInfo(path).size() == 0) {
            if (LooksEncrypted(path))
                throw ProviderError_cl(Result_ns::AuthFailed, QStringLiteral("Not a valid password."));
            throw ProviderError_cl(Result_ns::Damaged, QStringLiteral("Unrecognized database format '%1'.").arg(path));
        }
        if (read != SQLITE_OK)
            throw EngineError(read);
        const int checked = CheckPages(path, password, salt);
        if (checked == SQLITE_CORRUPT)
            throw ProviderError_cl(Result_ns::Damaged, QStringLiteral("The database file '%1' is damaged.").arg(path));
        if (checked != SQLITE_OK) {
            const int cause = checked & 0xFF;
            throw ProviderError_cl(cause == SQLITE_BUSY || cause == SQLITE_LOCKED ? Result_ns::Busy : Result_ns::FileAccess,
                                   QString::fromUtf8(sqlite3_errstr(checked)));
        }
        const int cache = sqlite3_exec(db, kCacheSize, nullptr, nullptr, nullptr);
        if (cache != SQLITE_OK)
            throw EngineError(cache);
    } catch (const ProviderError_cl& error) {
        Record(error);
        sqlite3_close_v2(db);
        throw;
    }
}

JetEngine_cl::~JetEngine_cl() {
    for (auto id = kept.First(); !id.IsEmpty(); id.Next())
        sqlite3_finalize(id.Get().stmt);
    // Closing rolls back a transaction still open.
    sqlite3_close_v2(db);
}

void JetEngine_cl::Create(const ConnectionString_cl& settings) {
    const QString path = settings.Value(kPathKey);
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        throw ProviderError_cl(Result_ns::DataSourceExists, QStringLiteral("Database already exists."));
    // Made exclusively, so that a file appearing meanwhile is never taken over.
    // Readable by its owner only: it holds the household's money.
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner)) {
        if (file.exists() && !info.isDir())
            throw ProviderError_cl(Result_ns::DataSourceExists, QStringLiteral("Database already exists."));
        throw ProviderError_cl(Result_ns::Fail, QStringLiteral("Could not create the database file '%1'. %2").arg(path, file.errorString()));
    }
    file.close();
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = ApplyKey(db, settings.Value(kPasswordKey), JetKey_cl::NewSalt());
    // Writing the header makes the file a database (an encrypted one with a key).
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "pragma user_version = 0", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db == nullptr ? QString::fromUtf8(sqlite3_errstr(rc)) : EngineMessage(db);
        sqlite3_close_v2(db);
        QFile::remove(path);  // only the file made above
        throw ProviderError_cl(Result_ns::Fail, message);
    }
    sqlite3_close_v2(db);
}

bool JetEngine_cl::Backup(const QString& destination) {
    try {
        // What a killed backup into this folder left is cleared first.
        SystemInfo_ns::PartialFile_cl::RemoveLeftovers(destination);
        if (QFileInfo::exists(destination))
            throw ProviderError_cl(Result_ns::DataSourceExists, QStringLiteral("Database already exists."));
        SystemInfo_ns::PartialFile_cl file(destination);
        if (!file.IsOpen())
            throw ProviderError_cl(FileResult(file.Error()), QStringLiteral("Could not create a file beside '%1'. %2")
                                                                 .arg(destination, QString::fromLocal8Bit(std::strerror(file.Error()))));
        CopyTo(file.Path());
        // Renaming never replaces a file that appeared meanwhile.
        if (!file.Commit()) {
            throw ProviderError_cl(file.Error() == EEXIST ? Result_ns::DataSourceExists : FileResult(file.Error()),
                                   QStringLiteral("Could not rename '%1' to '%2'. %3")
                                       .arg(file.Path(), destination, QString::fromLocal8Bit(std::strerror(file.Error()))));
        }
    } catch (const ProviderError_cl& error) {
        Record(error);
        throw;
    }
    return true;
}

void JetEngine_cl::CopyTo(const QString& temporary) {
    sqlite3* copy = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(temporary).constData(), &copy, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        // With the book's salt the copy has the book's key: nothing is derived again.
        rc = ApplyKey(copy, password, salt);
    sqlite3_backup* backup = rc == SQLITE_OK ? sqlite3_backup_init(copy, "main", db, "main") : nullptr;
    if (backup != nullptr) {
        // One step copies every page under one read lock: the copy is one consistent state.
        // A writer of another program holding the file is waited for, as statements wait.
        // The read lock can only be had between that writer's commits, a gap of well under a
        // millisecond when it writes without pause: asked for every millisecond, not every
        // twenty, the copy finds such a gap instead of starving.
        QElapsedTimer waited;
        waited.start();
        do {
            rc = sqlite3_backup_step(backup, -1);
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                sqlite3_sleep(1);
        } while ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited.elapsed() < kBusyMilliseconds);
        const int finished = sqlite3_backup_finish(backup);
        if (rc == SQLITE_DONE)
            rc = finished;
    } else if (rc == SQLITE_OK) {
        rc = sqlite3_errcode(copy);
    }
    const QString message = copy == nullptr ? QString::fromUtf8(sqlite3_errstr(rc)) : EngineMessage(copy);
    const int closed = sqlite3_close_v2(copy);
    if (rc == SQLITE_OK || rc == SQLITE_DONE)
        rc = closed;
    if (rc == SQLITE_OK)
        return;
    // The copy is new: a damaged page can only be the book's. The engine reports a page
    // of an encrypted book that fails its check as a bare error of the copying; the book's
    // own check then tells whether it is damaged.
    int cause = rc & 0xFF;
    if (cause == SQLITE_ERROR && !IsSound(db))
        cause = SQLITE_CORRUPT;
    uint32_t result = Result_ns::Fail;
    switch (cause) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        result = Result_ns::Damaged;
        break;
    case SQLITE_FULL:
        result = Result_ns::DiskFull;
        break;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        result = Result_ns::ReadOnly;
        break;
    case SQLITE_IOERR:
        result = Result_ns::FileAccess;
        break;
    default:
        break;
    }
    throw ProviderError_cl(result, QStringLiteral("Could not copy the database to '%1'. %2").arg(temporary, message));
}

ProviderError_cl JetEngine_cl::EngineError(int rc) {
    nativeError = sqlite3_extended_errcode(db);
    const QString message = db == nullptr ? QString::fromUtf8(sqlite3_errstr(rc)) : EngineMessage(db);
    switch (rc & 0xFF) {
    case SQLITE_CONSTRAINT:
        return ProviderError_cl(Result_ns::IntegrityViolation, message);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ProviderError_cl(Result_ns::Busy, message);
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:  // the journal beside the file cannot be made
        return ProviderError_cl(Result_ns::ReadOnly, message);
    case SQLITE_FULL:
        return ProviderError_cl(Result_ns::DiskFull, message);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return ProviderError_cl(Result_ns::Damaged, message);
    case SQLITE_IOERR:
    case SQLITE_PERM:
        return ProviderError_cl(Result_ns::FileAccess, message);
    default:
        break;
    }
    if (message.startsWith(u"no such table"))
        return ProviderError_cl(Result_ns::NoTable, message);
    // Every other failure of a statement stays within the interface codes, so that a
    // caller never takes it for an empty result.
    return ProviderError_cl(Result_ns::ErrorsInCommand, message);
}

void JetEngine_cl::Record(const ProviderError_cl& error) {
    if (level > 0 && db != nullptr && sqlite3_get_autocommit(db))
        aborted = true;
    errors.Clear();
    errors.Add({int32_t(error.Result()), error.Description(), nativeError, QString(), ProviderName_ns::Jet.toString()});
    nativeError = 0;
}

std::shared_ptr<Recordset_cl> JetEngine_cl::Execute(const QString& sql, const VariantList_tl& parameters,
                                                   int32_t& recordsAffected) {
    try {
        return Run(sql, parameters, recordsAffected);
    } catch (const ProviderError_cl& error) {
        Record(error);
        throw;
    }
}

sqlite3_stmt* JetEngine_cl::Prepare(const QString& text) {
    for (auto id = kept.First(); !id.IsEmpty(); id.Next()) {
        if (id.Get().text == text) {
            const Kept_st used = id.Get();
            kept.Remove(id);
            kept.Append(used);
            return used.stmt;
        }
    }
    sqlite3_stmt* stmt = nullptr;
    const void* tail = nullptr;
    const int prepared = sqlite3_prepare16_v2(db, text.utf16(), int(text.size() * 2), &stmt, &tail);
    if (prepared != SQLITE_OK)
        throw EngineError(prepared);
    if (stmt == nullptr)
        throw ProviderError_cl(Result_ns::ErrorsInCommand,
                               QStringLiteral("Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."));
    const qsizetype rest = static_cast<const char16_t*>(tail) - reinterpret_cast<const char16_t*>(text.utf16());
    for (const QChar c : QStringView(text).mid(rest)) {
        if (!c.isSpace() && c != u';') {
            sqlite3_finalize(stmt);
            throw ProviderError_cl(Result_ns::ErrorsInCommand, QStringLiteral("Characters found after end of SQL statement."));
        }
    }
    if (kept.Count() == kKeptStatements) {
        auto oldest = kept.First();
        sqlite3_finalize(oldest.Get().stmt);
        kept.Remove(oldest);
    }
    kept.Append({text, stmt});
    return stmt;
}

QString JetEngine_cl::Translate(const QString& sql) {
    for (auto id = translated.First(); !id.IsEmpty(); id.Next()) {
        if (id.Get().sql == sql) {
            const Translated_st used = id.Get();
            translated.Remove(id);
            translated.Append(used);
            return used.text;
        }
    }
    if (translated.Count() == kKeptTranslations) {
        auto oldest = translated.First();
        translated.Remove(oldest);
    }
    const Translated_st made{sql, JetDialect_cl::Translate(sql)};
    translated.Append(made);
    return made.text;
}

std::shared_ptr<Recordset_cl> JetEngine_cl::Run(const QString& sql, const VariantList_tl& parameters,
                                               int32_t& recordsAffected) {
    if (aborted)
        throw ProviderError_cl(Result_ns::ErrorsInCommand,
                               QStringLiteral("The transaction was rolled back after an error; roll it back before going on."));
    const QString text = Translate(sql);
    ClearUpperVectorState();
    const Reset_st statement{Prepare(text)};
    if (sqlite3_bind_parameter_count(statement.stmt) != int(parameters.size()))
        throw ProviderError_cl(Result_ns::ErrorsInCommand,
                               QStringLiteral("The statement has %1 parameters but %2 values were given.")
                                   .arg(sqlite3_bind_parameter_count(statement.stmt))
                                   .arg(parameters.size()));
    if (const int bound = BindAll(statement.stmt, parameters); bound != SQLITE_OK)
        throw EngineError(bound);
    const int before = sqlite3_total_changes(db);
    // The first step comes before the columns are read: a kept statement is prepared again
    // there if the tables changed meanwhile.
    int rc = sqlite3_step(statement.stmt);
    const int columns = sqlite3_column_count(statement.stmt);
    if (columns == 0) {
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(statement.stmt);
        if (rc != SQLITE_DONE)
            throw EngineError(rc);
        recordsAffected = sqlite3_total_changes(db) - before;
        return std::make_shared<Recordset_cl>();
    }

    Base_ns::Trusteeship_tl<QString> names;
    Base_ns::Trusteeship_tl<bool> declared, expression;
    names.Allocate(columns);
    declared.Allocate(columns);
    expression.Allocate(columns);
    for (int i = 0; i < columns; ++i) {
        names[i] = QString::fromUtf16(static_cast<const char16_t*>(sqlite3_column_name16(statement.stmt, i)));
        const void* type = sqlite3_column_decltype16(statement.stmt, i);
        declared[i] = IsDateType(type);
        expression[i] = type == nullptr;
    }
    auto rows = std::make_shared<Recordset_cl>(names);
    Recordset_cl::Row_tl row;  // one buffer for all rows: the row set copies the values
    row.Allocate(columns);
    for (; rc == SQLITE_ROW; rc = sqlite3_step(statement.stmt)) {
        for (int i = 0; i < columns; ++i)
            row[i] = ColumnValue(statement.stmt, i, declared[i], expression[i]);
        rows->AppendRow(row);
    }
    if (rc != SQLITE_DONE)
        throw EngineError(rc);
    recordsAffected = -1;
    return rows;
}

void JetEngine_cl::RunTransactionStep(const QString& sql) {
    const Reset_st statement{Prepare(sql)};
    const int rc = sqlite3_step(statement.stmt);
    if (rc != SQLITE_DONE)
        throw EngineError(rc);
}

int32_t JetEngine_cl::BeginTrans() {
    try {
        if (!aborted)
            // The write lock is taken at once, where the busy wait applies: a transaction
            // that read first and then asked for it would be refused at once by a
            // concurrent writer, to avoid a deadlock.
            RunTransactionStep(level == 0 ? QStringLiteral("begin immediate")
                                          : QStringLiteral("savepoint level_%1").arg(level + 1));
        return ++level;
    } catch (const ProviderError_cl& error) {
        Record(error);
        throw;
    }
}

void JetEngine_cl::CommitTrans() {
    try {
        if (level == 0)
            throw ProviderError_cl(Result_ns::NoTransaction, QStringLiteral("You tried to commit or rollback a transaction "
                                                                            "without first beginning a transaction."));
        // Committing what the engine has already undone would report lost work as saved.
        if (aborted)
            throw ProviderError_cl(Result_ns::ErrorsInCommand,
                                   QStringLiteral("The transaction was rolled back after an error and cannot be committed."));
        RunTransactionStep(level == 1 ? QStringLiteral("commit") : QStringLiteral("release level_%1").arg(level));
        --level;
    } catch (const ProviderError_cl& error) {
        Record(error);
        throw;
    }
}

void JetEngine_cl::RollbackTrans() {
    try {
        if (level == 0)
            throw ProviderError_cl(Result_ns::NoTransaction, QStringLiteral("You tried to commit or rollback a transaction "
                                                                            "without first beginning a transaction."));
        if (!aborted && level == 1) {
            RunTransactionStep(QStringLiteral("rollback"));
        } else if (!aborted) {
            RunTransactionStep(QStringLiteral("rollback to level_%1").arg(level));
            RunTransactionStep(QStringLiteral("release level_%1").arg(level));
        }
        if (--level == 0)
            aborted = false;
    } catch (const ProviderError_cl& error) {
        Record(error);
        throw;
    }
}

}  // namespace Ado_ns
