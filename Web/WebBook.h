#pragma once

#include "Data/DatabaseManage.h"
#include "Data/DeviceKeys.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"

#include <QString>
#include <cstdint>
#include <mutex>

namespace Web_ns {

// The book as the web server reaches it: a connection of its own (the desktop's stays
// with the desktop), used by one request at a time, each acting as the user its device
// key belongs to. Every change is one transaction of the data layer, so a request either
// books all of itself or nothing.
class WebBook_cl {
public:
    WebBook_cl();
    ~WebBook_cl();
    WebBook_cl(const WebBook_cl&) = delete;
    WebBook_cl& operator=(const WebBook_cl&) = delete;

    // Connects to the book of link (a link already proven by the data core) and makes the
    // device-key table of a book made by an older copy.
    void Open(const Vorelle_ns::LinkInfo_st& link);

    // The managers, for the length of one call of Run.
    struct Managers_st {
        Vorelle_ns::UserManage_cl& users;
        Vorelle_ns::RecordManage_cl& records;
        Vorelle_ns::DeviceKeys_cl& keys;
    };

    static QString ClassName() { return QStringLiteral("WebBook_cl"); }

    // Runs action alone on the book, as userSn (0: nobody, for authenticating). A local
    // book whose file was replaced (a backup restored) is opened anew first: nothing is
    // ever booked into a file that is no longer the book.
    template <typename Action>
    auto Run(int32_t userSn, Action action) {
        std::lock_guard<std::mutex> hold(lock);
        FollowFile();
        databaseManage.SetLoginUser(userSn);
        Managers_st managers{userManage, recordManage, deviceKeys};
        return action(managers);
    }

private:
    // The identity of the local book's file: its device and inode.
    struct FileId_st {
        unsigned long long device = 0, inode = 0;
        bool operator==(const FileId_st& other) const { return device == other.device && inode == other.inode; }
    };
    // The identity of the file at path; raises a user error when there is none.
    static FileId_st Identify(const QString& path);
    // Opens the file now at the book's path when it is not the one open; the lock held.
    void FollowFile();

    std::mutex lock;
    QString path;  // a local book's file; empty for a server's book
    FileId_st opened;
    bool isOpen = false;
    Vorelle_ns::DatabaseManage_cl databaseManage;
    Vorelle_ns::UserManage_cl userManage;
    Vorelle_ns::RecordManage_cl recordManage;
    Vorelle_ns::DeviceKeys_cl deviceKeys;
};

}  // namespace Web_ns
