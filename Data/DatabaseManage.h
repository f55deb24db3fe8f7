#pragma once

#include "Container/List.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace DB_ns {
class IDatabase_cl;
}

namespace Vorelle_ns {

// One saved database link. type is a database kind: 1 local file, 2 Oracle, 4 SQL Server,
// 8 PostgreSQL.
struct LinkInfo_st {
    QString name;      // as the user gave it; unique among the links
    int32_t type = 0;
    QString location;  // local: the file path in stored form; Oracle: service; SQL Server: address;
                       // PostgreSQL: "address/database" (PostgreSQLLocation)
    QString user;      // empty for a local file
    QString password;  // as typed
};

// The databases the program knows ("DatabaseLink.bin"), the one that is open, and the
// serial number of the user logged in to it.
class DatabaseManage_cl {
public:
    DatabaseManage_cl();
    ~DatabaseManage_cl();
    DatabaseManage_cl(const DatabaseManage_cl&) = delete;
    DatabaseManage_cl& operator=(const DatabaseManage_cl&) = delete;

    static QString ClassName();
    // "DatabaseLink.bin" in the application folder.
    static QString LinkFilePath();

    // Replaces the list by the file's links. A file with a wrong tag, a record count
    // that is negative or larger than its records, or bytes after them is damaged and
    // refused naming the file; the links read before the damage stay, and LoadFailed()
    // keeps every later write away from the file.
    void Load(const QString& path);
    bool LoadFailed() const;
    // From now on each change to the list is saved to path at once, merged with what
    // other copies of the program saved there meanwhile. Without it (the command line)
    // changes stay in memory.
    void SaveChangesTo(const QString& path);
    // Ends the list's use: every change was saved when it was made, so nothing is left
    // to write to path but the deletion of a file another copy emptied. Then empties the
    // list, stops saving changes and closes the open database.
    void Save(const QString& path);

    // Opens (creating when missing) the database file once to prove it, then appends
    // the link and saves the change. path is resolved against the application folder. Returns
    // the new index. Like the other Add…Link, keeps the proving connection for the link's
    // next OpenLink: opening an encrypted book costs a key derivation, a server a login.
    int32_t AddLocalLink(const QString& name, const QString& path, const QString& password);
    // Connects once to prove the account, then appends a SQL Server link and saves the change.
    int32_t AddSQLServerLink(const QString& name, const QString& server, const QString& user,
                             const QString& password);
    // Connects once to prove the account, then appends a PostgreSQL link and saves the
    // change. server is "host[:port]"; an empty database is the one named like the login.
    int32_t AddPostgreSQLLink(const QString& name, const QString& server, const QString& database,
                              const QString& user, const QString& password);
    // The stored location of a PostgreSQL link, and back.
    static QString PostgreSQLLocation(const QString& server, const QString& database);
    static void SplitPostgreSQLLocation(const QString& location, QString& server, QString& database);
    // Removes the link at index and saves that; for a local link with deleteFile the
    // open database is closed and the file deleted (a failure to delete is ignored).
    void RemoveLink(int32_t index, bool deleteFile);

    // Makes the link's database the open one (closing any other first); a connection kept
    // for the link by its check or KeepChecked() is taken as it is.
    void OpenLink(int32_t index);
    // Sets the open database aside, unused, for its link's next OpenLink; nothing is open
    // meanwhile. Any other OpenLink or CloseDatabase() closes it.
    void KeepChecked();
    bool IsOpen() const;
    // The open database; raises "数据库还没有连接。" when none is open.
    DB_ns::IDatabase_cl& GetDatabase() const;
    void CloseDatabase();
    // The link of the open database (a copy: the list may change meanwhile); raises
    // "数据库还没有连接。" when none is open.
    const LinkInfo_st& GetOpenLink() const;

    int32_t GetCount() const;
    // Raises "空ID不能操作。" for an index outside the list.
    const LinkInfo_st& GetLink(int32_t index) const;
    // The absolute path of a local link's file.
    static QString ResolveLocation(const LinkInfo_st& link);

    // 0 while nobody is logged in.
    int32_t GetLoginUser() const;
    void SetLoginUser(int32_t userSn);

    // Raises "重复链接名称。" when a link of that name exists (case matters).
    void CheckNewName(const QString& name) const;

private:
    // Saves one change to the file of SaveChangesTo(): the links another copy saved there
    // stay, the added one joins them, the removed one (by name) leaves them. Nothing is
    // written after a failed load. Raises when the file cannot be read or written; the
    // list here is then left as it was.
    void SaveChange(const LinkInfo_st* added, const QString& removedName);
    // Appends the links of path to list; raises when the file is damaged or unreadable.
    static void ReadLinks(const QString& path, Container_ns::List_tl<LinkInfo_st>& list);
    // Writes list to path through a temporary file, or deletes path for an empty list.
    static void WriteLinks(const QString& path, const Container_ns::List_tl<LinkInfo_st>& list);
    // Saves and appends a link that probe has just proved, keeping probe for its OpenLink.
    int32_t AppendChecked(const LinkInfo_st& link, std::unique_ptr<DB_ns::IDatabase_cl> probe);

    Container_ns::List_tl<LinkInfo_st> links;
    std::unique_ptr<DB_ns::IDatabase_cl> database;
    int32_t openLink = -1;  // the link of database
    std::unique_ptr<DB_ns::IDatabase_cl> checked;  // set aside for its link's next OpenLink
    int32_t checkedLink = -1;
    LinkInfo_st openInfo;  // a copy of the open link, kept while its list changes
    int32_t loginUser = 0;
    bool loadFailed = false;
    QString changesFile;  // where changes are saved; empty: nowhere
};

}  // namespace Vorelle_ns
