#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace Vorelle_ns {

class RecordManage_cl;
class UserManage_cl;

// Books a record page's CSV file as one import of the logged-in user: the entries, a row
// of zorb_trade_import (source "记录文件") and each entry's identity (the file's digest,
// the import and the line it came from) go into the book in one transaction, so that
// the import can be undone whole like a statement's.
class RecordFileImport_cl {
public:
    static QString ClassName() { return QStringLiteral("RecordFileImport_cl"); }
    // The source its import and identities are kept under.
    static QString Source() { return QStringLiteral("记录文件"); }
    // The identity of the entry booked from a line of an import, "<import>:<line>", and
    // what all of one import's begin with.
    static QString Identity(int32_t importSn, int32_t line) { return Prefix(importSn) + QString::number(line); }
    static QString Prefix(int32_t importSn) { return QString::number(importSn) + u':'; }

    // Books the whole file or nothing; returns the entries booked. progress is told how
    // far reading has come and the file's size, in bytes.
    [[nodiscard]] static int32_t Import(const QString& path, UserManage_cl& users, RecordManage_cl& records,
                                        const std::function<void(int64_t done, int64_t total)>& progress = {});
};

}  // namespace Vorelle_ns
