#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>

namespace Vorelle_ns {

class DatabaseManage_cl;
struct LinkInfo_st;

// One backup file found in the backup folder.
struct BackupFile_st {
    QString path;
    QString book;  // the book file's name without its extension
    QDateTime time;
    qint64 size = 0;
};

// Backups of local books: consistent online copies encrypted with the book's password,
// kept in the "备份" folder of the application folder as "<book>_<yyyyMMdd-HHmmss>.mdb";
// the automatic one at most once a day, the last ten and the newest of each of the last
// twelve months kept. Restoring copies a backup to a new book file, or over a book only
// after that book was itself backed up.
class BookBackup_cl {
public:
    explicit BookBackup_cl(DatabaseManage_cl& databaseManage);
    BookBackup_cl(const BookBackup_cl&) = delete;
    BookBackup_cl& operator=(const BookBackup_cl&) = delete;

    static QString ClassName() { return QStringLiteral("BookBackup_cl"); }
    static QString Folder();
    static QString FileName(const QString& book, const QDateTime& time);

    // Raises the refusal of a book on a server, which its server backs up.
    [[noreturn]] static void RefuseServerBook();
    // Copies the open book to destination; an existing destination and a server book
    // are refused.
    void BackupTo(const QString& destination);
    // Backs the open local book up into the folder unless it already has a backup of
    // now's day, then removes the backups the rotation lets go. Returns the new file,
    // empty when none was due (or the book is on a server).
    QString BackupIfDue(const QDateTime& now);

    // Every backup in the folder, newest first.
    static QList<BackupFile_st> List();
    // Of one book's backup times, newest first: the indexes to remove.
    [[nodiscard]] static QList<int32_t> Expired(const QList<QDateTime>& newestFirst, const QDateTime& now);
    // The valid entries of a backup, read with its password (a wrong one is refused).
    [[nodiscard]] static int32_t CountEntries(const QString& backup, const QString& password);
    // A new book file at destination with the backup's contents.
    static void RestoreAsNew(const QString& backup, const QString& password, const QString& destination);
    // Replaces the local book of link by the backup after backing the book up; returns
    // that backup. The book must not be open; the passwords must agree.
    static QString RestoreOver(const QString& backup, const QString& password, const LinkInfo_st& link,
                               const QDateTime& now);

private:
    static void Rotate(const QString& book, const QDateTime& now);

    DatabaseManage_cl& databaseManage;
};

}  // namespace Vorelle_ns
