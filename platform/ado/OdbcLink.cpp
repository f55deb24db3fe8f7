#include "OdbcLink.h"

#include "Environment.h"
#include "ProviderError.h"

#include <sql.h>
#include <sqlext.h>

namespace Ado_ns {

namespace {

const QString kUser = QStringLiteral("User ID");
const QString kPassword = QStringLiteral("Password");
const QString kSource = QStringLiteral("Data Source");
constexpr int kDefaultTimeout = 15;

QString Pair(const char* key, const QString& value) {
    return QString::fromLatin1(key) + u'=' + OdbcLink_cl::Quote(value) + u';';
}

}  // namespace

QString OdbcLink_cl::Quote(const QString& value) {
    if (value.contains(QStringLiteral("};")))
        throw ProviderError_cl(Result_ns::Fail, QStringLiteral("A connection value cannot contain \"};\"."));
    return u'{' + value + u'}';
}

QString OdbcLink_cl::SqlServer(const ConnectionString_cl& settings) {
    const QString source = settings.Value(kSource);
    QString text = Pair("Driver", QStringLiteral("FreeTDS"));
    const qsizetype comma = source.indexOf(u',');
    if (comma >= 0)
        text += Pair("Server", source.left(comma).trimmed()) + Pair("Port", source.mid(comma + 1).trimmed());
    else
        text += Pair("Server", source);  // the driver finds the port of an instance by itself
    text += Pair("UID", settings.Value(kUser)) + Pair("PWD", settings.Value(kPassword));
    const QString database = settings.Value(QStringLiteral("Database"));
    if (!database.isEmpty())
        text += Pair("Database", database);
    return text + Pair("ClientCharset", QStringLiteral("UTF-8"));
}

QString OdbcLink_cl::Oracle(const ConnectionString_cl& settings) {
    // Without an installed driver the driver manager itself reports that none was found.
    QString driver = FindDriver(QStringLiteral("Oracle"));
    if (driver.isEmpty())
        driver = QStringLiteral("Oracle");
    return Pair("Driver", driver) + Pair("DBQ", settings.Value(kSource)) + Pair("UID", settings.Value(kUser)) +
           Pair("PWD", settings.Value(kPassword));
}

int OdbcLink_cl::LoginTimeout(const ConnectionString_cl& settings) {
    bool ok = false;
    const int seconds = settings.Value(QStringLiteral("Connect Timeout")).toInt(&ok);
    return ok && seconds >= 0 ? seconds : kDefaultTimeout;
}

QString OdbcLink_cl::FindDriver(const QString& part) {
    const SQLHENV environment = static_cast<SQLHENV>(Environment_cl::Handle());
    if (environment == SQL_NULL_HENV)
        return QString();
    SQLWCHAR name[256];
    SQLWCHAR attributes[1024];
    SQLSMALLINT nameLength = 0, attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDriversW(environment, direction, name, SQLSMALLINT(std::size(name)), &nameLength, attributes,
                                     SQLSMALLINT(std::size(attributes)), &attributesLength))) {
        direction = SQL_FETCH_NEXT;
        const QString driver = QString::fromUtf16(reinterpret_cast<const char16_t*>(name),
                                                  std::min<qsizetype>(nameLength, qsizetype(std::size(name)) - 1));
        if (driver.contains(part, Qt::CaseInsensitive))
            return driver;
    }
    return QString();
}

}  // namespace Ado_ns
