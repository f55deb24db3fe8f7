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

QString OdbcLink_cl::PostgreSQL(const ConnectionString_cl& settings) {
    QString host = settings.Value(kSource).trimmed();
    QString port;
    if (host.startsWith(u'[')) {  // an IPv6 address, perhaps with a port after it
        const qsizetype close = host.indexOf(u']');
        const QString rest = close < 0 ? QString() : host.mid(close + 1).trimmed();
        if (rest.startsWith(u':')) port = rest.mid(1).trimmed();
        host = host.mid(1, close < 0 ? -1 : close - 1);
    } else if (host.count(u':') == 1) {
        const qsizetype colon = host.indexOf(u':');
        port = host.mid(colon + 1).trimmed();
        host = host.left(colon).trimmed();
    }
    bool number = false;
    if (!port.isEmpty() && (port.toUShort(&number), !number))
        throw ProviderError_cl(Result_ns::Fail, QStringLiteral("The port \"%1\" is not a number from 1 to 65535.").arg(port));
    QString driver = FindDriver(QStringLiteral("PostgreSQL Unicode"));
    if (driver.isEmpty())
        driver = QStringLiteral("PostgreSQL Unicode");
    const QString user = settings.Value(kUser);
    QString database = settings.Value(QStringLiteral("Database"));
    if (database.isEmpty())
        database = user;
    // psqlODBC takes a value up to the next ";" as it stands, braces included, except for
    // the password, which it reads braced: a ";" elsewhere cannot be passed on.
    const QString plain[][2] = {{QStringLiteral("Server"), host.isEmpty() ? QStringLiteral("localhost") : host},
                                {QStringLiteral("Port"), port},
                                {QStringLiteral("Database"), database},
                                {QStringLiteral("UID"), user}};
    QString text = Pair("Driver", driver);
    for (const auto& [key, value] : plain) {
        if (value.isEmpty()) continue;
        if (value.contains(u';') || value.startsWith(u'{'))
            throw ProviderError_cl(Result_ns::Fail,
                                   QStringLiteral("The %1 \"%2\" cannot be passed to the PostgreSQL driver.").arg(key, value));
        text += key + u'=' + value + u';';
    }
    // The driver's own logs stay off whatever the driver list says; texts are not cut at
    // the driver's default length. A failed statement fails its whole transaction
    // (Protocol 7.4-1), as every change here is all or nothing anyway: the driver then
    // sets no savepoint around each statement, which cost two more round trips apiece.
    return text + Pair("PWD", settings.Value(kPassword)) +
           QStringLiteral("CommLog=0;Debug=0;MaxVarcharSize=65535;TextAsLongVarchar=0;Protocol=7.4-1;");
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
