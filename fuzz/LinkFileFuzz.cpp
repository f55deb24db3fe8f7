// The links file on any bytes: it loads or is refused, and a loaded list, saved again
// less one link, loads back as the same list less that link.
#include "Data/DatabaseManage.h"
#include "Property.h"
#include "base/Error.h"
#include "base/SysError.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using Vorelle_ns::DatabaseManage_cl;
using Vorelle_ns::LinkInfo_st;

namespace {

QList<LinkInfo_st> Links(const DatabaseManage_cl& manage) {
    QList<LinkInfo_st> links;
    for (int32_t i = 0; i < manage.GetCount(); ++i) links.append(manage.GetLink(i));
    return links;
}

bool Same(const QList<LinkInfo_st>& a, const QList<LinkInfo_st>& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].location != b[i].location ||
            a[i].user != b[i].user || a[i].password != b[i].password) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("DatabaseLink.bin"));
    {
        QFile file(path);
        Fuzz_ns::Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input file is written");
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    DatabaseManage_cl first;
    try {
        first.Load(path);
    } catch (const Base_ns::SysError_cl&) {
        Fuzz_ns::Require(false, "loading raises only user errors");
    } catch (const Base_ns::Error_cl&) {
        Fuzz_ns::Require(first.LoadFailed(), "a refused file is marked as such");
        return 0;
    }
    const QList<LinkInfo_st> loaded = Links(first);
    if (loaded.isEmpty()) return 0;
    // Removing a link writes the file again, merged with what is on disk (the input):
    // every other link must load back as it was.
    first.SaveChangesTo(path);
    const QString removed = loaded.last().name;
    first.RemoveLink(int32_t(loaded.size()) - 1, false);
    QList<LinkInfo_st> kept;
    for (const LinkInfo_st& link : loaded) {
        if (link.name != removed) kept.append(link);
    }
    if (kept.isEmpty()) {
        Fuzz_ns::Require(!QFileInfo::exists(path), "a list emptied leaves no file");
        return 0;
    }
    DatabaseManage_cl second;
    second.Load(path);
    Fuzz_ns::Require(Same(Links(second), kept), "a saved list loads back the same");
    return 0;
}
