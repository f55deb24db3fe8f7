#include "BookAddress.h"

#include "UsageError.h"

#include <QFileInfo>
#include <QUrl>

namespace Cli_ns {


BookAddress_st BookAddress_cl::Local(const QString& path) {
    BookAddress_st address;
    address.path = QFileInfo(path).absoluteFilePath();
    return address;
}

BookAddress_st BookAddress_cl::PostgreSQL(const QUrl& url, const QString& uri) {
    BookAddress_st address;
    address.kind = BookAddress_st::Kind_en::PostgreSQL;
    address.login = url.userName(QUrl::FullyDecoded);
    QString host = url.host(QUrl::FullyDecoded);
    address.database = url.path(QUrl::FullyDecoded).mid(1);
    if (address.login.isEmpty() || host.isEmpty() || address.database.contains(u'/') || !url.query().isEmpty())
        throw Usage(115, __LINE__, uri);
    if (host.contains(u':')) host = u'[' + host + u']';
    address.address = url.port() < 0 ? host : host + u':' + QString::number(url.port());
    return address;
}

BookAddress_st BookAddress_cl::Parse(const QString& uri) {
    const QUrl url(uri, QUrl::StrictMode);
    // A password never stands in the address (others can read a command line), nor is it
    // repeated in the message.
    if (!url.password().isEmpty()) throw Usage(115, __LINE__);
    if (!url.isValid()) throw Usage(115, __LINE__, uri);
    const QString scheme = url.scheme().toLower();
    if (scheme == QStringLiteral("postgresql") || scheme == QStringLiteral("postgres")) return PostgreSQL(url, uri);
    if (scheme != QStringLiteral("mssql")) throw Usage(115, __LINE__, uri);
    BookAddress_st address;
    address.kind = BookAddress_st::Kind_en::SqlServer;
    address.login = url.userName(QUrl::FullyDecoded);
    const QString host = url.host(QUrl::FullyDecoded);
    if (address.login.isEmpty() || host.isEmpty() || (!url.path().isEmpty() && url.path() != u'/')) {
        throw Usage(115, __LINE__, uri);
    }
    address.address = url.port() < 0 ? host : host + u',' + QString::number(url.port());
    return address;
}

}  // namespace Cli_ns
