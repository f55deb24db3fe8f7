#pragma once

#include "Container/List.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace DB_ns {
class IDatabase_cl;
}

namespace Vorelle_ns {

// One saved database link. type is a database kind: 1 local file, 2 Oracle, 4 SQL Server.
struct LinkInfo_st {
    QString name;      // as the user gave it; unique among the links
    int32_t type = 0;
    QString location;  // local: the file path in stored form; Oracle: service; SQL Server: address
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

    // Replaces the list by the file's links. On failure the links read before it stay,
    // and LoadFailed() tells the shut-down to leave the file as it is.
    void Load(const QString& path);
    bool LoadFailed() const;
    // Writes the list (through a temporary file beside path, replacing path only when
    // complete), or deletes path when the list is empty; after a failed load path is
    // left untouched. Then empties the list and closes the open database, even when
    // writing failed.
    void Save(const QString& path);

    // Opens (creating when missing) the database file once to prove it, then appends
    // the link. path is resolved against the application folder. Returns the new index.
    int32_t AddLocalLink(const QString& name, const QString& path, const QString& password);
    // Connects once to prove the account, then appends a SQL Server link.
    int32_t AddSQLServerLink(const QString& name, const QString& server, const QString& user,
                             const QString& password);
    // Removes the link at index; for a local link with deleteFile the open database is
    // closed and the file deleted (a failure to delete is ignored).
    void RemoveLink(int32_t index, bool deleteFile);

    // Makes the link's database the open one (closing any other first).
    void OpenLink(int32_t index);
    bool IsOpen() const;
    // The open database; raises "数据库还没有连接。" when none is open.
    DB_ns::IDatabase_cl& GetDatabase() const;
    void CloseDatabase();

    int32_t GetCount() const;
    // Raises "空ID不能操作。" for an index outside the list.
    const LinkInfo_st& GetLink(int32_t index) const;
    // The absolute path of a local link's file.
    static QString ResolveLocation(const LinkInfo_st& link);

    // 0 while nobody is logged in.
    int32_t GetLoginUser() const;
    void SetLoginUser(int32_t userSn);

private:
    // Raises "重复链接名称。" when a link of that name exists (case matters).
    void CheckNewName(const QString& name) const;

    Container_ns::List_tl<LinkInfo_st> links;
    std::unique_ptr<DB_ns::IDatabase_cl> database;
    int32_t loginUser = 0;
    bool loadFailed = false;
};

}  // namespace Vorelle_ns
