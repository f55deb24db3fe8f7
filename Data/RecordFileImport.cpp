#include "Data/RecordFileImport.h"

#include "DB/BeginTrans.h"
#include "Data/EntryIdentity.h"
#include "Data/RecordFileReader.h"
#include "Data/RecordManage.h"
#include "Data/TradeLog.h"
#include "Data/UserManage.h"
#include "base/UserError.h"

#include <QCryptographicHash>
#include <QFile>
#include <QList>
#include <iterator>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "导入时账本中同时写入了别的记录，无法分清哪些是这次导入的，没有导入。请稍后再导入一次。"}};
    return Base_ns::UserError_cl(line, __FILE__, RecordFileImport_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

// The digest of the whole file: with a line, the fingerprint of the row booked from it.
QString FileDigest(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly)) hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace

int32_t RecordFileImport_cl::Import(const QString& path, UserManage_cl& users, RecordManage_cl& records,
                                    const std::function<void(int64_t done, int64_t total)>& progress) {
    // Read while booked: a file of any length takes the same memory, but for its lines.
    RecordFileReader_cl reader(path);
    KeptIdentity_st kept;
    kept.fingerprint = FileDigest(path);
    DB_ns::IDatabase_cl& database = users.GetDatabase();
    DB_ns::BeginTrans_cl transaction(&database);
    TradeLog_cl log(database);
    // No other import comes between: its entries are those after the book's last one.
    log.Lock();
    const int32_t userSn = users.GetCurrentUser();
    const int32_t importSn = log.BeginImport(userSn, Source());
    QList<int32_t> lines;
    records.ImportRecords([&](RecordInfo_st& record) {
        if (progress) progress(reader.Position(), reader.Size());
        if (!reader.Next(record)) return false;
        lines.append(record.line);
        return true;
    });
    log.EndImport(importSn);
    const QList<int32_t> booked = log.ImportedEntries(importSn);
    // An entry typed meanwhile in another copy would be taken for one of the file's.
    if (booked.size() != lines.size()) throw UserError(101, __LINE__, path);
    EntryIdentity_cl identities(database);
    for (qsizetype i = 0; i < booked.size(); ++i) {
        kept.recordSn = booked[i];
        identities.Add(userSn, Source(), Identity(importSn, lines[i]), kept);
    }
    transaction.Commit();
    return reader.Count();
}

}  // namespace Vorelle_ns
