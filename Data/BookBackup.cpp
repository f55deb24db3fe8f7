#include "Data/BookBackup.h"

#include "DB/IDatabase.h"
#include "DB/LocalDB.h"
#include "Data/DatabaseManage.h"
#include "SystemInfo/Path.h"
#include "base/UserError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cstdio>
#include <iterator>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "只有本地账本可以这样备份，服务器上的账本请用数据库自己的备份。"},
        {102, "备份的密码与该账本的密码不同，不能覆盖该账本，请恢复为新账本。"},
        {103, "无法用备份替换账本文件。"},
        {104, "备份文件中没有费用记录表，它不是本软件的账本。"},
        {105, "备份文件不存在。"}};
    return Base_ns::UserError_cl(line, __FILE__, BookBackup_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

const QString timeFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString extension = QStringLiteral(".mdb");
constexpr int32_t keptLatest = 10;
constexpr int32_t keptMonths = 12;

int32_t MonthNumber(const QDate& date) { return date.year() * 12 + date.month() - 1; }

// The book and time a backup's name tells; an invalid time for any other file.
BackupFile_st Parse(const QFileInfo& file) {
    BackupFile_st found;
    const QString name = file.fileName();
    const qsizetype separator = name.lastIndexOf(u'_');
    if (!name.endsWith(extension) || separator <= 0) return found;
    found.time = QDateTime::fromString(name.mid(separator + 1, name.size() - separator - 1 - extension.size()),
                                       timeFormat);
    found.book = name.left(separator);
    found.path = file.filePath();
    found.size = file.size();
    return found;
}

// Opening a missing file would create an empty book in its place.
void Open(DB_ns::LocalDB_cl& database, const QString& path, const QString& password) {
    if (!QFileInfo(path).isFile()) throw UserError(105, __LINE__, path);
    database.Open(password, path);
}

}  // namespace

BookBackup_cl::BookBackup_cl(DatabaseManage_cl& databaseManage) : databaseManage(databaseManage) {}

QString BookBackup_cl::Folder() { return SystemInfo_ns::GetApplicationFolder() + QStringLiteral("备份/"); }

QString BookBackup_cl::FileName(const QString& book, const QDateTime& time) {
    return book + u'_' + time.toString(timeFormat) + extension;
}

void BookBackup_cl::RefuseServerBook() { throw UserError(101, __LINE__); }

void BookBackup_cl::BackupTo(const QString& destination) {
    auto* local = dynamic_cast<DB_ns::LocalDB_cl*>(&databaseManage.GetDatabase());
    if (local == nullptr) RefuseServerBook();
    SystemInfo_ns::MakeFolders(destination);
    local->Backup(destination);
}

QString BookBackup_cl::BackupIfDue(const QDateTime& now) {
    auto* local = dynamic_cast<DB_ns::LocalDB_cl*>(&databaseManage.GetDatabase());
    if (local == nullptr) return QString();
    const QString book = QFileInfo(local->Identity()).completeBaseName();
    for (const BackupFile_st& file : List()) {
        if (file.book == book && file.time.date() == now.date()) return QString();
    }
    const QString destination = Folder() + FileName(book, now);
    BackupTo(destination);
    Rotate(book, now);
    return destination;
}

QList<BackupFile_st> BookBackup_cl::List() {
    QList<BackupFile_st> files;
    const QFileInfoList found = QDir(Folder()).entryInfoList(QDir::Files, QDir::Name | QDir::Reversed);
    for (const QFileInfo& file : found) {
        const BackupFile_st backup = Parse(file);
        if (backup.time.isValid()) files.append(backup);
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const BackupFile_st& a, const BackupFile_st& b) { return a.time > b.time; });
    return files;
}

QList<int32_t> BookBackup_cl::Expired(const QList<QDateTime>& newestFirst, const QDateTime& now) {
    QList<int32_t> expired;
    QSet<int32_t> months;
    const int32_t thisMonth = MonthNumber(now.date());
    for (int32_t i = 0; i < int32_t(newestFirst.size()); ++i) {
        const int32_t month = MonthNumber(newestFirst[i].date());
        const bool monthly = thisMonth - month < keptMonths && !months.contains(month);
        months.insert(month);
        if (i >= keptLatest && !monthly) expired.append(i);
    }
    return expired;
}

void BookBackup_cl::Rotate(const QString& book, const QDateTime& now) {
    QList<BackupFile_st> files;
    for (const BackupFile_st& file : List()) {
        if (file.book == book) files.append(file);
    }
    QList<QDateTime> times;
    for (const BackupFile_st& file : files) times.append(file.time);
    // Removing is tidying: a file that will not go stays for the next time.
    for (const int32_t index : Expired(times, now)) QFile::remove(files[index].path);
}

int32_t BookBackup_cl::CountEntries(const QString& backup, const QString& password) {
    DB_ns::LocalDB_cl database;
    Open(database, backup, password);
    if (!database.TableExists(QStringLiteral("zorb_record"))) throw UserError(104, __LINE__, backup);
    int32_t count = 0;
    database.QueryCount(QStringLiteral("select count(*) from zorb_record where valid = '1'"), count);
    return count;
}

void BookBackup_cl::RestoreAsNew(const QString& backup, const QString& password, const QString& destination) {
    DB_ns::LocalDB_cl database;
    Open(database, backup, password);
    SystemInfo_ns::MakeFolders(destination);
    database.Backup(destination);
}

QString BookBackup_cl::RestoreOver(const QString& backup, const QString& password, const LinkInfo_st& link,
                                   const QDateTime& now) {
    if (link.type != DB_ns::DB_LOCAL) RefuseServerBook();
    if (link.password != password) throw UserError(102, __LINE__);
    const QString book = DatabaseManage_cl::ResolveLocation(link);
    QString saved;
    {
        DB_ns::LocalDB_cl live;
        Open(live, book, link.password);
        saved = Folder() + FileName(QFileInfo(book).completeBaseName(), now);
        SystemInfo_ns::MakeFolders(saved);
        live.Backup(saved);
    }
    // The copy is made beside the book and replaces it in one step.
    const QString incoming = book + QStringLiteral(".restoring");
    QFile::remove(incoming);
    RestoreAsNew(backup, password, incoming);
    if (std::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(book).constData()) != 0) {
        QFile::remove(incoming);
        throw UserError(103, __LINE__, book);
    }
    return saved;
}

}  // namespace Vorelle_ns
